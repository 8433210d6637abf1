// The columns of a quick record set: definitions, cells and the "Data" stream form.

#include "platform/classes/Reader.h"
#include "platform/classes/TypeInfo.h"
#include "platform/classes/Writer.h"
#include "platform/db/DBConsts.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "runtime/db/QuickRecordSet.h"
#include "runtime/db/detail/QrsColumnCells.h"
#include "runtime/rtm/ZvErrors.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TvpQRSField, TCollectionItem)
ZV_DEFINE_CLASS(TvpQRSFields, TOwnedCollection)

// ---------------------------------------------------------------------------------------------
// TvpQRSField

void TvpQRSField::DeclareProperties(TPropTable<TvpQRSField>& t) {
  t.Prop("FieldName", &TvpQRSField::FieldName, &TvpQRSField::SetFieldName);
  t.Prop("DataType", &TvpQRSField::DataType, &TvpQRSField::SetDataType).Default(ftUnknown);
  t.Prop("Size", &TvpQRSField::Size, &TvpQRSField::SetSize).Default(0);
  t.Prop("Precision", &TvpQRSField::Precision, &TvpQRSField::SetPrecision).Default(0);
}

TvpQRSField::TvpQRSField(TCollection* collection)
    : TCollectionItem(collection), fCells(std::make_unique<qrsdetail::TQrsColumnCells>(*this, ftUnknown)) {
  // A column made with its collection joined it before this body ran (while it was still a
  // bare item); one made first and put in later is sized by the collection's notification.
  if (TvpQuickRecordSet* recordSet = GetRecordSet()) recordSet->ColumnJoined(*this);
}

TvpQRSField::~TvpQRSField() {
  // Out of the collection before the cells go, so that the record set sees a whole column leave.
  SetCollection(nullptr);
}

TvpQuickRecordSet* TvpQRSField::GetRecordSet() const {
  auto* fields = dynamic_cast<TvpQRSFields*>(Collection());
  return fields ? fields->RecordSet() : nullptr;
}

String TvpQRSField::DisplayName() const { return fFieldName.empty() ? TCollectionItem::DisplayName() : fFieldName; }

void TvpQRSField::SetFieldName(const String& name) {
  if (name == fFieldName) return;
  if (!name.empty()) {
    if (auto* fields = dynamic_cast<TvpQRSFields*>(Collection())) {
      for (int i = 0; i < fields->Count(); ++i) {
        const TvpQRSField* other = fields->Items(i);
        if (other != this && AnsiSameText(other->fFieldName, name))
          DatabaseErrorFmt(SDuplicateFieldName, {name});
      }
    }
  }
  fFieldName = name;
  Changed(false);
}

void TvpQRSField::SetDataType(TFieldType dataType) {
  if (dataType == fDataType) return;
  // Cells keep their first type for life: a new type needs new cells.
  const int count = Count();
  auto cells = std::make_unique<qrsdetail::TQrsColumnCells>(*this, dataType);
  cells->Append(count);
  if (TvpQuickRecordSet* recordSet = GetRecordSet()) recordSet->ColumnLeaving(*this);
  fDataType = dataType;
  fCells = std::move(cells);
  Changed(false);
}

void TvpQRSField::SetSize(int size) {
  if (size == fSize) return;
  CheckForPositiveAndZero(size);
  fSize = size;
  Changed(false);
}

void TvpQRSField::SetPrecision(int precision) {
  if (precision == fPrecision) return;
  CheckForPositiveAndZero(precision);
  fPrecision = precision;
  Changed(false);
}

void TvpQRSField::CheckRow(int row, int count) const {
  if (row < 0 || row >= count) throw EListError(Format(SListIndexError, {row}));
}

int TvpQRSField::Count() const { return fCells->Count(); }

TvpUniValue* TvpQRSField::Cells(int row) const {
  CheckRow(row, Count());
  return fCells->Cell(row);
}

TvpUniValue* TvpQRSField::GetRowData(int pos) const {
  if (const TvpQuickRecordSet* recordSet = GetRecordSet()) return Cells(recordSet->RowOf(pos));
  return Cells(pos);
}

void TvpQRSField::CopyRowData(int pos, TvpUniValue& dest) const {
  const TvpQuickRecordSet* recordSet = GetRecordSet();
  const int row = recordSet ? recordSet->RowOf(pos) : pos;
  CheckRow(row, Count());
  fCells->CopyTo(row, dest);
}

void TvpQRSField::CellWritten(int row) {
  if (TvpQuickRecordSet* recordSet = GetRecordSet()) recordSet->CellWritten(*this, row);
}

std::unique_ptr<TvpUniValue> TvpQRSField::CreateValue() const {
  auto value = std::make_unique<TvpUniValue>(false, false);
  value->SetStoreDataType(false);
  value->SetDataType(fDataType);
  return value;
}

void TvpQRSField::Init(int count) {
  CheckForPositiveAndZero(count);
  fCells->Append(count);
}

void TvpQRSField::Add() { fCells->Append(1); }

void TvpQRSField::Insert(int row) {
  CheckRow(row, Count() + 1);
  fCells->Insert(row);
}

void TvpQRSField::Delete(int row) {
  CheckRow(row, Count());
  fCells->Erase(row);
}

void TvpQRSField::Clear() { fCells->Clear(); }

void TvpQRSField::ResizeTo(int count) { fCells->Resize(count); }

void TvpQRSField::MoveCell(int from, int to) {
  if (from != to) fCells->Move(from, to);
}

void TvpQRSField::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TvpQRSField*>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  if (other == this) return;
  SetFieldName(other->fFieldName);
  SetDataType(other->fDataType);
  SetSize(other->fSize);
  SetPrecision(other->fPrecision);
}

void TvpQRSField::DefineProperties(TFiler& filer) {
  TCollectionItem::DefineProperties(filer);
  filer.DefineProperty(
      "Data", [this](TReader& reader) { ReadCells(reader); }, [this](TWriter& writer) { WriteCells(writer); },
      Count() != 0);
}

void TvpQRSField::WriteCells(TWriter& writer) const {
  writer.WriteListBegin();
  const auto value = CreateValue();
  for (int row = 0; row < Count(); ++row) {
    const TvpUniValue* cell = fCells->StoredCell(row);
    if (!cell) {
      fCells->Load(row, *value);
      cell = value.get();
    }
    if (cell->HasData())
      cell->WriteData(writer);
    else
      writer.WriteValue(vaNil);
  }
  writer.WriteListEnd();
}

void TvpQRSField::ReadCells(TReader& reader) {
  // Read aside: a corrupt entry leaves the column (and its record set) as it was.
  auto cells = std::make_unique<qrsdetail::TQrsColumnCells>(*this, fDataType);
  reader.ReadListBegin();
  while (!reader.EndOfList()) {
    auto cell = CreateValue();
    if (reader.NextValue() == vaNil)
      reader.ReadValue();
    else if (fDataType == ftUnknown)
      cell->SetAsVariant(reader.ReadVariant());  // an untyped column's cells each had their own kind
    else
      cell->ReadData(reader);
    cells->AppendRead(std::move(cell));
  }
  reader.ReadListEnd();
  if (TvpQuickRecordSet* recordSet = GetRecordSet())
    recordSet->ColumnCellsRead(*this, std::move(cells));
  else
    fCells = std::move(cells);
}

// ---------------------------------------------------------------------------------------------
// TvpQRSFields

TvpQRSFields::TvpQRSFields(TvpQuickRecordSet* recordSet)
    : TOwnedCollection(recordSet, TvpQRSField::StaticClass()), fRecordSet(recordSet) {}

TvpQRSField* TvpQRSFields::Add(const String& fieldName, TFieldType dataType, int size) {
  if (!fieldName.empty() && Find(fieldName)) DatabaseErrorFmt(SDuplicateFieldName, {fieldName});
  CheckForPositiveAndZero(size);
  auto* column = static_cast<TvpQRSField*>(TCollection::Add());
  column->SetFieldName(fieldName);
  column->SetDataType(dataType);
  column->SetSize(size);
  return column;
}

TvpQRSField* TvpQRSFields::Find(std::string_view fieldName) const {
  for (int i = 0; i < Count(); ++i) {
    TvpQRSField* column = Items(i);
    if (AnsiSameText(column->FieldName(), fieldName)) return column;
  }
  return nullptr;
}

void TvpQRSFields::Notify(TCollectionItem* item, TCollectionNotification action) {
  TOwnedCollection::Notify(item, action);
  if (!fRecordSet || fRecordSet->fDestroying) return;
  if (action == cnAdded) {
    // While the item is still being constructed it is no column yet; its constructor sizes it.
    if (auto* column = dynamic_cast<TvpQRSField*>(item)) fRecordSet->ColumnJoined(*column);
  } else {
    // A key column leaving takes the sort keys with it, at once (a collection bracket may
    // hold back the update that re-applies the order).
    if (auto* column = dynamic_cast<TvpQRSField*>(item)) fRecordSet->ColumnLeaving(*column);
  }
  if (action != cnAdded && Count() == 1) {
    // The last column is leaving: no column, no records, at once (not only when an update
    // bracket of the collection closes), so that cells and RecordCount never disagree.
    fRecordSet->LastColumnGone();
  }
}

void TvpQRSFields::Update(TCollectionItem* item) {
  TOwnedCollection::Update(item);
  if (!fRecordSet || fRecordSet->fDestroying) return;
  if (!item && Count() == 0)
    fRecordSet->Clear();
  else
    fRecordSet->ColumnsChanged();
}

}  // namespace zv
