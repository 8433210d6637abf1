#pragma once
// What a column of a quick record set keeps its cells in. A typed column keeps them compactly
// (TQrsCellStore) and makes a TvpUniValue only for a caller that asks for the cell: a view,
// kept until the column's records next change in number or place, that writes every change back
// and reports it to the record set. A column of the variant or of no type (whose cells each
// take their own kind) keeps one value per cell, and so does a typed column once a cell was
// made to take another kind through its view: those cells are the storage, and report their
// changes the same way.

#include "runtime/db/UniValue.h"
#include "runtime/db/detail/QrsCellStore.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace zv {
class TvpQRSField;
}

namespace zv::qrsdetail {

class TQrsColumnCells;

// A cell handed out: a view of a compact cell, or a stored cell of a per-cell column.
class TQrsCell final : public TvpUniValue {
public:
  TQrsCell(TQrsColumnCells& owner, TFieldType dataType, int row);
  int Row() const { return fRow; }
  void SetRow(int row) { fRow = row; }
  // From now on every write goes to the column (set once the value holds the cell).
  void Observe() { SetObserved(true); }

protected:
  void ValueWritten() override;

private:
  TQrsColumnCells* fOwner;
  int fRow;
};

class TQrsColumnCells {
public:
  TQrsColumnCells(TvpQRSField& field, TFieldType dataType);

  int Count() const { return fPerCell ? static_cast<int>(fCells.size()) : fStore.Count(); }
  TFieldType DataType() const { return fDataType; }
  // The cell at a row, made when needed.
  TvpUniValue* Cell(int row);
  // The stored cell of a per-cell column; null for a compact one.
  const TvpUniValue* StoredCell(int row) const { return fPerCell ? fCells[static_cast<std::size_t>(row)].get() : nullptr; }
  bool IsNull(int row) const;
  // The cell's bytes (a per-cell column: the cell's own).
  std::span<const std::uint8_t> Bytes(int row) const;
  // dest takes the cell's value (TvpUniValue::Assign) without a view being made.
  void CopyTo(int row, TvpUniValue& dest) const;
  // An unobserved value of the column's type holding the cell.
  void Load(int row, TvpUniValue& value) const;
  // The cell for reading: the stored one, or scratch (an unobserved value of the column's
  // type) loaded with it.
  const TvpUniValue& Peek(int row, TvpUniValue& scratch) const {
    if (const TvpUniValue* stored = StoredCell(row)) return *stored;
    Load(row, scratch);
    return scratch;
  }

  void Append(int count);
  void Insert(int row);
  void Erase(int row);
  void Move(int from, int to);
  void Resize(int count);
  void Clear();
  // A cell read from a stream (an unobserved value of the column's type or, for a column of
  // no type, of its own kind) appended at the end.
  void AppendRead(std::unique_ptr<TvpUniValue> cell);

private:
  friend class TQrsCell;

  void CellWritten(TQrsCell& cell);
  void ToPerCell();
  void ReleaseViews() {
    if (!fViews.empty()) fViews.clear();
  }
  void Renumber(int from);  // per-cell: rows from `from` on
  std::unique_ptr<TQrsCell> NewCell(int row);

  TvpQRSField* fField;
  TFieldType fDataType;
  bool fPerCell;
  TQrsCellStore fStore;                                             // compact
  std::unordered_map<int, std::unique_ptr<TQrsCell>> fViews;        // compact: by row
  std::vector<std::unique_ptr<TQrsCell>> fCells;                    // per-cell: by row
};

}  // namespace zv::qrsdetail
