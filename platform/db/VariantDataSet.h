#pragma once
// TVariantDataSet: the record buffer that datasets holding their values as Variants share (one
// Variant per column), with the field data and blob access over it written once.
//
// A descendant says how many columns a buffer has (ColumnCount) and which column a field reads
// (ColumnOf: the data field's FieldNo by default, a name lookup for a dataset whose columns are
// not its field definitions' order). It fills Values as it reads records, and finds in Changed
// the columns written since, which is what an update needs to write. A descendant whose buffer
// carries more (a sort key, a row identity) derives its buffer from TVariantRecordBuffer and
// allocates it itself.

#include "platform/db/DataSet.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace zv {

struct TVariantRecordBuffer : TRecordBuffer {
  std::vector<Variant> Values;  // one per column; Null is no value
  std::vector<char> Changed;    // per column: written since the record was read or initialised
  // Per column (empty when every value is whole): the stored length in bytes of a long value of
  // which Values holds only the start; -1 for a whole one.
  std::vector<std::int64_t> Lengths;
  // Every column empty, marked changed or not.
  void ClearValues(std::size_t columns, bool changed) {
    Values.assign(columns, Variant::Null());
    Changed.assign(columns, changed ? 1 : 0);
    Lengths.clear();
  }
  bool HoldsStart(std::size_t column) const { return column < Lengths.size() && Lengths[column] >= 0; }
};

class TVariantDataSet : public TDataSet {
  ZV_CLASS(TVariantDataSet, TDataSet)

public:
  using TDataSet::TDataSet;

  // False for a field with no column and for a Null (or unassigned) value. A value the buffer
  // holds only the start of is read whole (ReadWholeValue), each time.
  bool GetFieldData(const TField* field, Variant& value) const override;
  bool GetFieldDataStart(const TField* field, Variant& value) const override;
  std::int64_t GetFieldDataLength(const TField* field) const override;
  // Stores into the active buffer and marks the column changed; a field with no column raises
  // SFieldReadOnly, a state that does not write raises SNotEditing. The controls hear of it
  // except while a record is being calculated or filtered.
  void SetFieldData(TField* field, const Variant& value) override;
  // A memory stream over the value (CreateRecordBlobStream).
  std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode) override;

protected:
  virtual std::size_t ColumnCount() const = 0;
  // The column of a field in a buffer's Values; -1 for calculated and lookup fields and for a
  // field the columns do not have.
  virtual int ColumnOf(const TField* field) const;
  // The whole stored value of a column of which the buffer holds only the start (the row is
  // found by what the buffer knows of it); false when the row is gone.
  virtual bool ReadWholeValue(const TRecordBuffer&, int, Variant&) const { return false; }

  // A TVariantRecordBuffer of ColumnCount() empty columns.
  TRecordBufferPtr AllocRecordBuffer() override;
  // Empties every column; clearing a record being edited marks every column changed, so that
  // the update writes the Nulls.
  void InternalInitRecord(TRecordBuffer& buffer) override;

  static TVariantRecordBuffer& Values(TRecordBuffer& buffer) { return static_cast<TVariantRecordBuffer&>(buffer); }
  static const TVariantRecordBuffer& Values(const TRecordBuffer& buffer) {
    return static_cast<const TVariantRecordBuffer&>(buffer);
  }
};

}  // namespace zv
