#include "platform/db/VariantDataSet.h"

#include "platform/db/BlobStream.h"
#include "platform/db/DBConsts.h"
#include "platform/rtl/Format.h"

namespace zv {

ZV_DEFINE_CLASS(TVariantDataSet, TDataSet)

int TVariantDataSet::ColumnOf(const TField* field) const {
  if (!field || field->FieldKind() != fkData) return -1;
  const int column = field->FieldNo() - 1;
  return column >= 0 && static_cast<std::size_t>(column) < ColumnCount() ? column : -1;
}

TRecordBufferPtr TVariantDataSet::AllocRecordBuffer() {
  auto buffer = std::make_unique<TVariantRecordBuffer>();
  buffer->ClearValues(ColumnCount(), false);
  return buffer;
}

void TVariantDataSet::InternalInitRecord(TRecordBuffer& buffer) {
  Values(buffer).ClearValues(ColumnCount(), State() == dsEdit);
}

bool TVariantDataSet::GetFieldDataStart(const TField* field, Variant& value) const {
  const TRecordBuffer* buffer = GetActiveRecordBuffer();
  if (!buffer) return false;
  const int column = ColumnOf(field);
  const std::vector<Variant>& values = Values(*buffer).Values;
  if (column < 0 || static_cast<std::size_t>(column) >= values.size()) return false;
  const Variant& v = values[static_cast<std::size_t>(column)];
  if (v.IsNull() || v.IsEmpty()) return false;
  value = v;
  return true;
}

bool TVariantDataSet::GetFieldData(const TField* field, Variant& value) const {
  const TRecordBuffer* buffer = GetActiveRecordBuffer();
  const int column = ColumnOf(field);
  if (buffer && column >= 0 && Values(*buffer).HoldsStart(static_cast<std::size_t>(column))) {
    // Not kept: a window of such values would hold them all.
    if (!ReadWholeValue(*buffer, column, value) || value.IsNull() || value.IsEmpty()) return false;
    return true;
  }
  return GetFieldDataStart(field, value);
}

std::int64_t TVariantDataSet::GetFieldDataLength(const TField* field) const {
  const TRecordBuffer* buffer = GetActiveRecordBuffer();
  const int column = ColumnOf(field);
  if (!buffer || column < 0 || !Values(*buffer).HoldsStart(static_cast<std::size_t>(column))) return -1;
  return Values(*buffer).Lengths[static_cast<std::size_t>(column)];
}

void TVariantDataSet::SetFieldData(TField* field, const Variant& value) {
  if (!dsWriteModes.Contains(State())) DatabaseError(SNotEditing, this);
  TRecordBuffer* buffer = GetActiveRecordBuffer();
  if (!buffer) DatabaseError(SNotEditing, this);
  TVariantRecordBuffer& record = Values(*buffer);
  const int column = ColumnOf(field);
  if (column < 0 || static_cast<std::size_t>(column) >= record.Values.size())
    DatabaseErrorFmt(SFieldReadOnly, {field->DisplayName()});
  const auto c = static_cast<std::size_t>(column);
  record.Values[c] = value;
  if (c < record.Changed.size()) record.Changed[c] = 1;
  if (record.HoldsStart(c)) record.Lengths[c] = -1;
  const TDataSetState state = State();
  if (state != dsCalcFields && state != dsFilter && state != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(field));
}

std::unique_ptr<TStream> TVariantDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
  return field ? CreateRecordBlobStream(*this, *field, mode) : nullptr;
}

}  // namespace zv
