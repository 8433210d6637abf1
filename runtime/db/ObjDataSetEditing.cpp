// TObjDataSet: field data in the record buffers, posting, inserting, deleting, cancelling and
// blob streams.

#include "runtime/db/ObjDataSet.h"

#include "platform/db/BlobStream.h"
#include "platform/db/DBConsts.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Format.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"

namespace zv {

namespace {

bool IsMemoType(TFieldType type) { return type == ftMemo || type == ftFmtMemo || type == ftOraClob; }

// The Variant a field class takes: blobs as byte arrays, memos as text, the rest as the value's
// own variant.
Variant ToVariant(const TvpUniValue& value) {
  const TFieldType type = value.DataType();
  if (IsMemoType(type)) return Variant(value.AsString());
  if (IsBlobField(type)) return value.AsByteArray();
  return value.AsVariant();
}

void FromVariant(TvpUniValue& value, const Variant& v) {
  if (v.IsNull() || v.IsEmpty())
    value.Clear();
  else if (v.IsArray() && IsBlobField(value.DataType()) && !IsMemoType(value.DataType()))
    value.SetAsByteArray(v);
  else if (IsMemoType(value.DataType()) || value.DataType() == ftString)
    value.SetAsString(VarToStr(v));
  else
    value.SetAsVariant(v);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Field data

bool TObjDataSet::GetFieldData(const TField* field, Variant& value) const {
  if (!fProvider || !fCursorOpen) return false;
  const TRecordBuffer* buffer = GetActiveRecordBuffer();
  if (!buffer) return false;
  if (ProviderCount() <= 0 && State() != dsInsert) return false;
  const TodsFieldValue* cell = ValueOf(Ods(*buffer), field);
  if (!cell || cell->IsNull()) return false;
  value = ToVariant(*cell);
  return true;
}

void TObjDataSet::SetFieldData(TField* field, const Variant& value) {
  const TDataSetState state = State();
  if (!dsWriteModes.Contains(state)) DatabaseError(SNotEditing, this);
  if (field->ReadOnly() && state != dsCalcFields && state != dsInternalCalc)
    DatabaseErrorFmt(SFieldReadOnly, {field->DisplayName()});
  TRecordBuffer* buffer = GetActiveRecordBuffer();
  if (!buffer) DatabaseError(SNotEditing, this);
  TodsFieldValue* cell = ValueOf(Ods(*buffer), field);
  if (!cell) DatabaseErrorFmt(SFieldReadOnly, {field->DisplayName()});
  FromVariant(*cell, value);
  AddModifiedField(field);
  if (!fUseEditBuffer && state == dsEdit) SetRecordData(Ods(*buffer));
  if (auto* blob = dynamic_cast<TBlobField*>(field)) blob->SetModified(true);
  if (state != dsCalcFields && state != dsFilter && state != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(field));
}

void TObjDataSet::AddModifiedField(const TField* field) {
  if (field) fModifiedFields = lioAdd(fModifiedFields, field->FieldName());
}

std::unique_ptr<TStream> TObjDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
  return field ? CreateRecordBlobStream(*this, *field, mode) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Posting

int TObjDataSet::InsertPosition(const TodsRecordBuffer& buffer) const {
  const int count = ProviderCount();
  switch (buffer.BookmarkFlag) {
    case bfEOF:
      return -1;
    case bfBOF:
      return count > 0 ? 0 : -1;
    default:
      // Inserted before the record whose bookmark the new one carries.
      if (!buffer.Bookmark.empty()) {
        const int index = GetIndexOfBookmark(buffer.Bookmark);
        if (index >= 0) return index;
      }
      return fCursorPos != -1 && fCursorPos != count ? fCursorPos : -1;
  }
}

void TObjDataSet::SetRecordData(TodsRecordBuffer& buffer) {
  if (!fProvider) throw EZVError(SENoDataProvider.Text());
  const bool inserting = State() == dsInsert;
  const int savedCursor = fCursorPos;
  int pos = GetRealCurPos();
  if (inserting) {
    if (!fProvider->IsMultiRecord())
      throw EZVError(Format(SEInternal.Text(), {SEUnableToInsertDate.Text()}));
    pos = fProvider->AddItem(InsertPosition(buffer));
    fCursorPos = pos;
  }
  String written;
  if (!fModifiedFields.empty()) {
    try {
      for (std::string_view name : lioSplit(fModifiedFields)) {
        const TodsFieldValue* cell = buffer.FindValue(name);
        if (!cell) continue;
        fProvider->SetFieldData(cell->FieldName(), pos, *cell);
        written = lioAdd(written, name);
      }
    } catch (...) {
      // What the user typed stays in the buffer for another try; a half-added record goes, so
      // that the corrected post adds exactly one.
      if (inserting) {
        try {
          fProvider->DeleteItem(pos);
        } catch (...) {
        }
        fCursorPos = savedCursor;
      }
      throw;
    }
    GetRecordData(buffer);
  }
  fModifiedFields.clear();
  if (State() != dsEdit && written.empty()) return;
  const int settled = fProvider->Notification(inserting ? rsaInsert : rsaUpdate, written, pos);
  if (settled >= 0 && settled != pos) fCursorPos = settled;
}

void TObjDataSet::InternalPost() {
  TDataSet::InternalPost();
  fCursorLocked = true;
  try {
    if (fUseEditBuffer || State() == dsInsert) SetRecordData(Ods(*ActiveBuffer()));
  } catch (...) {
    fCursorLocked = false;
    throw;
  }
  fCursorLocked = false;
}

void TObjDataSet::InternalAddRecord(TRecordBuffer& buffer, bool append) {
  if (append) InternalLast();
  SetRecordData(Ods(buffer));
}

void TObjDataSet::InternalDelete() {
  if (ProviderCount() < 1) return;
  fProvider->DeleteItem(fCursorPos);
  fProvider->Notification(rsaDelete, String(), fCursorPos);
  MoveCursor(0);
}

void TObjDataSet::InternalCancel() { fModifiedFields.clear(); }

}  // namespace zv
