// What a quick record set exchanges with others: text search and lookup, records appended from
// another set, field definitions both ways, the current record of a host dataset.

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "runtime/db/QuickRecordSet.h"
#include "runtime/db/detail/QrsColumnCells.h"
#include "runtime/db/detail/QrsOrder.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"

namespace zv {

namespace {

// Lower case as AnsiLowerCase, without the round trip through UTF-16 for plain ASCII.
String LowerText(String text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return AnsiLowerCase(text);
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return text;
}

std::vector<TvpQRSField*> ColumnsOf(const TvpQuickRecordSet& recordSet, const String& names) {
  std::vector<TvpQRSField*> columns;
  for (std::string_view name : lioSplit(names)) columns.push_back(recordSet.FieldByName(name));
  return columns;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Search

int TvpQuickRecordSet::IndexOfRec(const String& keyFields, const Variant& keyValues, TLocateOptions options,
                                  int startPos, int span) const {
  const std::vector<TvpQRSField*> columns = ColumnsOf(*this, keyFields);
  const int keyCount = static_cast<int>(columns.size());
  std::vector<String> keys;
  keys.reserve(columns.size());
  if (keyCount == 1) {
    keys.push_back(keyValues.IsNull() ? String() : VarToStr(keyValues));
  } else {
    const int given = VarIsArray(keyValues) ? VarArrayHighBound(keyValues, 1) - VarArrayLowBound(keyValues, 1) + 1 : 1;
    if (given != keyCount) throw EZVError(Format(SEInvalidIndex, {given, keyCount}));
    const int low = VarArrayLowBound(keyValues, 1);
    for (int i = 0; i < keyCount; ++i) {
      const Variant key = VarArrayGet(keyValues, low + i);
      keys.push_back(key.IsNull() ? String() : VarToStr(key));
    }
  }
  const bool caseInsensitive = options.Contains(loCaseInsensitive);
  const bool partial = options.Contains(loPartialKey);
  if (caseInsensitive)
    for (auto& key : keys) key = LowerText(std::move(key));
  if (partial)
    for (const auto& key : keys)
      if (key.empty()) return -1;  // an empty key begins nothing

  if (startPos < 0 || startPos > fRecordCount) throw EListError(Format(SListIndexError, {startPos}));
  if (span < -1) throw EListError(Format(SListIndexError, {span}));
  const int last = span == -1 ? fRecordCount - 1 : static_cast<int>(std::min<std::int64_t>(std::int64_t{startPos} + span, fRecordCount - 1));

  // Cells are read, never handed out: a search makes no cells.
  std::vector<std::unique_ptr<TvpUniValue>> scratch;
  for (const TvpQRSField* column : columns) scratch.push_back(column->CreateValue());
  String text;
  int found = -1;
  fOrder->ForEach(startPos, last, [&](int pos, std::int32_t row) {
    bool match = true;
    for (int k = 0; k < keyCount && match; ++k) {
      const auto c = static_cast<std::size_t>(k);
      text = columns[c]->fCells->Peek(row, *scratch[c]).AsString();
      if (caseInsensitive) text = LowerText(std::move(text));
      const String& key = keys[c];
      match = partial ? text.starts_with(key) : text == key;
    }
    if (match) found = pos;
    return !match;
  });
  return found;
}

Variant TvpQuickRecordSet::Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields) const {
  const std::vector<TvpQRSField*> results = ColumnsOf(*this, resultFields);
  const int pos = IndexOfRec(keyFields, keyValues, {}, 0, -1);
  if (pos < 0) return Null();
  const int row = RowOf(pos);
  auto cellOf = [row](const TvpQRSField* column) {
    const auto scratch = column->CreateValue();
    return column->fCells->Peek(row, *scratch).AsVariant();
  };
  if (results.size() == 1) return cellOf(results[0]);
  Variant values = VarArrayCreate(0, static_cast<int>(results.size()) - 1, varVariant);
  for (std::size_t i = 0; i < results.size(); ++i) VarArrayPut(values, cellOf(results[i]), static_cast<int>(i));
  return values;
}

// ---------------------------------------------------------------------------------------------
// Records from another set

void TvpQuickRecordSet::Append(const TvpQuickRecordSet& source, int startPos, int count) {
  if (count <= 0 || source.RecordCount() == 0) return;
  if (startPos < 0 || startPos >= source.RecordCount()) throw EListError(Format(SListIndexError, {startPos}));
  if (count > source.RecordCount() - startPos) throw EListError(Format(SListIndexError, {startPos + count - 1}));
  // Pairs of (source column, column here) matched by name once, not per record.
  std::vector<std::pair<const TvpQRSField*, TvpQRSField*>> pairs;
  for (int i = 0; i < source.Fields()->Count(); ++i) {
    const TvpQRSField* from = source.Fields()->Items(i);
    if (TvpQRSField* to = FindField(from->FieldName())) pairs.emplace_back(from, to);
  }
  // Source positions are taken before anything is added: appending a set to itself must not
  // read the records it adds.
  std::vector<std::int32_t> sourceRows;
  sourceRows.reserve(static_cast<std::size_t>(count));
  for (int k = startPos; k < startPos + count; ++k) sourceRows.push_back(source.RowOf(k));
  BeginUpdate();
  try {
    for (const std::int32_t sourceRow : sourceRows) {
      AddRecord();
      const int row = fRecordCount - 1;  // inside the bracket a new record stays last
      for (const auto& [from, to] : pairs) from->fCells->CopyTo(sourceRow, *to->Cells(row));
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TvpQuickRecordSet::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TvpQuickRecordSet*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  TFieldDefs defs;
  String names;
  other->ExportFieldDefs(defs, names);
  fFields->Clear();
  Clear();
  ImportFieldDefs(defs);
  Append(*other, 0, other->RecordCount());
}

// ---------------------------------------------------------------------------------------------
// Field definitions and host datasets

void TvpQuickRecordSet::ImportFieldDefs(const TFieldDefs& fieldDefs) {
  for (int i = 0; i < fieldDefs.Count(); ++i) {
    const TFieldDef* def = fieldDefs.Items(i);
    fFields->Add(def->Name(), def->DataType(), def->Size())->SetPrecision(def->Precision());
  }
}

void TvpQuickRecordSet::ExportFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) const {
  fieldNames.clear();
  fieldDefs.BeginUpdate();
  try {
    for (int i = 0; i < fFields->Count(); ++i) {
      const TvpQRSField* column = fFields->Items(i);
      fieldDefs.Add(column->FieldName(), column->DataType(), column->Size());
      fieldDefs.Items(fieldDefs.Count() - 1)->SetPrecision(column->Precision());
      fieldNames = lioAdd3(fieldNames, column->FieldName());
    }
  } catch (...) {
    fieldDefs.EndUpdate();
    throw;
  }
  fieldDefs.EndUpdate();
}

void TvpQuickRecordSet::ImportFromDataSet(TDataSet& dataSet, int pos) {
  const int row = RowOf(pos);
  std::vector<std::pair<TField*, TvpQRSField*>> pairs;
  for (TField* field : dataSet.Fields()) pairs.emplace_back(field, FieldByName(field->FieldName()));
  for (const auto& [field, column] : pairs) column->Cells(row)->Assign(field);
}

}  // namespace zv
