// How a quick record set's columns keep their cells: compactly by kind, or one value per cell
// (see detail/QrsColumnCells.h and detail/QrsCellStore.h).

#include "runtime/db/QuickRecordSet.h"
#include "runtime/db/detail/QrsCellStore.h"
#include "runtime/db/detail/QrsColumnCells.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace zv::qrsdetail {

// ---------------------------------------------------------------------------------------------
// TQrsCellStore

namespace {
// Values up to this size that all have one size are kept in slots; larger ones (blobs) never.
constexpr int MaxSlotWidth = 64;
}  // namespace

bool TQrsCellStore::IsNull(int row) const {
  switch (fLayout) {
    case TLayout::None:
      return true;
    case TLayout::Fixed:
      return !fPresent[static_cast<std::size_t>(row)];
    case TLayout::Variable:
      return fSpans[static_cast<std::size_t>(row)].Size == 0;
  }
  return true;
}

std::span<const std::uint8_t> TQrsCellStore::Bytes(int row) const {
  const auto r = static_cast<std::size_t>(row);
  switch (fLayout) {
    case TLayout::None:
      break;
    case TLayout::Fixed:
      if (fPresent[r]) return {fSlots.data() + r * static_cast<std::size_t>(fWidth), static_cast<std::size_t>(fWidth)};
      break;
    case TLayout::Variable:
      return {fArena.data() + fSpans[r].Offset, fSpans[r].Size};
  }
  return {};
}

void TQrsCellStore::Set(int row, std::span<const std::uint8_t> bytes) {
  const auto r = static_cast<std::size_t>(row);
  const auto size = bytes.size();
  if (fLayout == TLayout::None) {
    if (size == 0) return;
    if (size <= MaxSlotWidth) {
      fLayout = TLayout::Fixed;
      fWidth = static_cast<int>(size);
      fSlots.assign(static_cast<std::size_t>(fCount) * size, 0);
      fPresent.assign(static_cast<std::size_t>(fCount), false);
    } else {
      fLayout = TLayout::Variable;
      fSpans.assign(static_cast<std::size_t>(fCount), TSpan{0, 0});
    }
  }
  if (fLayout == TLayout::Fixed) {
    if (size == 0) {
      fPresent[r] = false;
      return;
    }
    if (size == static_cast<std::size_t>(fWidth)) {
      std::memmove(fSlots.data() + r * size, bytes.data(), size);
      fPresent[r] = true;
      return;
    }
    ToVariable();
  }
  TSpan& span = fSpans[r];
  if (size <= span.Size) {
    // In place: what it does not reuse is left behind.
    if (size) std::memmove(fArena.data() + span.Offset, bytes.data(), size);
    fHoles += span.Size - size;
    span.Size = static_cast<std::uint32_t>(size);
    if (size == 0) span.Offset = 0;
  } else {
    if (fArena.size() + size > UINT32_MAX) {
      CompactArena();
      if (fArena.size() + size > UINT32_MAX) throw std::length_error("the cells of a column exceed 4 GB");
    }
    // bytes may lie in the arena (a cell copied from another of the column): copy before growing.
    const std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    fHoles += fSpans[r].Size;
    fSpans[r] = {static_cast<std::uint32_t>(fArena.size()), static_cast<std::uint32_t>(size)};
    fArena.insert(fArena.end(), copy.begin(), copy.end());
  }
  if (fHoles > 4096 && fHoles * 2 > fArena.size()) CompactArena();
}

void TQrsCellStore::ToVariable() {
  std::vector<TSpan> spans(static_cast<std::size_t>(fCount), TSpan{0, 0});
  std::vector<std::uint8_t> arena;
  for (std::size_t r = 0; r < spans.size(); ++r) {
    if (!fPresent[r]) continue;
    spans[r] = {static_cast<std::uint32_t>(arena.size()), static_cast<std::uint32_t>(fWidth)};
    arena.insert(arena.end(), fSlots.begin() + static_cast<std::ptrdiff_t>(r * static_cast<std::size_t>(fWidth)),
                 fSlots.begin() + static_cast<std::ptrdiff_t>((r + 1) * static_cast<std::size_t>(fWidth)));
  }
  fSpans = std::move(spans);
  fArena = std::move(arena);
  fHoles = 0;
  fSlots = {};
  fPresent = {};
  fWidth = 0;
  fLayout = TLayout::Variable;
}

void TQrsCellStore::CompactArena() {
  std::vector<std::uint8_t> arena;
  arena.reserve(fArena.size() - fHoles);
  for (TSpan& span : fSpans) {
    const auto offset = static_cast<std::uint32_t>(arena.size());
    arena.insert(arena.end(), fArena.begin() + span.Offset, fArena.begin() + span.Offset + span.Size);
    span.Offset = span.Size ? offset : 0;
  }
  fArena = std::move(arena);
  fHoles = 0;
}

void TQrsCellStore::Append(int count) {
  const auto n = static_cast<std::size_t>(fCount + count);
  switch (fLayout) {
    case TLayout::None:
      break;
    case TLayout::Fixed:
      fSlots.resize(n * static_cast<std::size_t>(fWidth));
      fPresent.resize(n, false);
      break;
    case TLayout::Variable:
      fSpans.resize(n, TSpan{0, 0});
      break;
  }
  fCount += count;
}

void TQrsCellStore::Insert(int row) {
  const auto r = static_cast<std::size_t>(row);
  switch (fLayout) {
    case TLayout::None:
      break;
    case TLayout::Fixed:
      fSlots.insert(fSlots.begin() + static_cast<std::ptrdiff_t>(r * static_cast<std::size_t>(fWidth)),
                    static_cast<std::size_t>(fWidth), 0);
      fPresent.insert(fPresent.begin() + row, false);
      break;
    case TLayout::Variable:
      fSpans.insert(fSpans.begin() + row, TSpan{0, 0});
      break;
  }
  ++fCount;
}

void TQrsCellStore::Erase(int row) {
  const auto r = static_cast<std::size_t>(row);
  switch (fLayout) {
    case TLayout::None:
      break;
    case TLayout::Fixed: {
      const auto w = static_cast<std::ptrdiff_t>(fWidth);
      fSlots.erase(fSlots.begin() + static_cast<std::ptrdiff_t>(r) * w, fSlots.begin() + static_cast<std::ptrdiff_t>(r + 1) * w);
      fPresent.erase(fPresent.begin() + row);
      break;
    }
    case TLayout::Variable:
      fHoles += fSpans[r].Size;
      fSpans.erase(fSpans.begin() + row);
      break;
  }
  --fCount;
  if (fCount == 0) Clear();
}

void TQrsCellStore::Move(int from, int to) {
  if (from == to) return;
  auto rotate = [from, to](auto& v, std::size_t width) {
    const auto w = static_cast<std::ptrdiff_t>(width);
    const auto f = v.begin() + from * w, t = v.begin() + to * w;
    if (from < to)
      std::rotate(f, f + w, t + w);
    else
      std::rotate(t, f, f + w);
  };
  switch (fLayout) {
    case TLayout::None:
      break;
    case TLayout::Fixed:
      rotate(fSlots, static_cast<std::size_t>(fWidth));
      rotate(fPresent, 1);
      break;
    case TLayout::Variable:
      rotate(fSpans, 1);
      break;
  }
}

void TQrsCellStore::Resize(int count) {
  if (count >= fCount) {
    Append(count - fCount);
    return;
  }
  while (fCount > count && fLayout == TLayout::Variable) Erase(fCount - 1);
  if (fLayout == TLayout::Fixed) {
    fSlots.resize(static_cast<std::size_t>(count) * static_cast<std::size_t>(fWidth));
    fPresent.resize(static_cast<std::size_t>(count));
  }
  fCount = count;
  if (fCount == 0) Clear();
}

void TQrsCellStore::Clear() { *this = TQrsCellStore(); }

// ---------------------------------------------------------------------------------------------
// TQrsCell

TQrsCell::TQrsCell(TQrsColumnCells& owner, TFieldType dataType, int row)
    : TvpUniValue(false, false), fOwner(&owner), fRow(row) {
  SetStoreDataType(false);
  SetDataType(dataType);
}

void TQrsCell::ValueWritten() { fOwner->CellWritten(*this); }

// ---------------------------------------------------------------------------------------------
// TQrsColumnCells

TQrsColumnCells::TQrsColumnCells(TvpQRSField& field, TFieldType dataType)
    : fField(&field), fDataType(dataType), fPerCell(dataType == ftUnknown || dataType == ftVariant) {}

std::unique_ptr<TQrsCell> TQrsColumnCells::NewCell(int row) {
  auto cell = std::make_unique<TQrsCell>(*this, fDataType, row);
  cell->Observe();
  return cell;
}

TvpUniValue* TQrsColumnCells::Cell(int row) {
  if (fPerCell) return fCells[static_cast<std::size_t>(row)].get();
  auto [it, added] = fViews.try_emplace(row);
  if (added) {
    try {
      auto cell = std::make_unique<TQrsCell>(*this, fDataType, row);
      const auto bytes = fStore.Bytes(row);
      if (!bytes.empty()) cell->SetData(bytes);
      cell->SetModified(false);
      cell->Observe();
      it->second = std::move(cell);
    } catch (...) {
      fViews.erase(it);
      throw;
    }
  }
  return it->second.get();
}

bool TQrsColumnCells::IsNull(int row) const {
  return fPerCell ? fCells[static_cast<std::size_t>(row)]->IsNull() : fStore.IsNull(row);
}

std::span<const std::uint8_t> TQrsColumnCells::Bytes(int row) const {
  return fPerCell ? fCells[static_cast<std::size_t>(row)]->Data() : fStore.Bytes(row);
}

void TQrsColumnCells::Load(int row, TvpUniValue& value) const {
  const auto bytes = fStore.Bytes(row);
  if (bytes.empty())
    value.Clear();
  else
    value.SetData(bytes);
}

void TQrsColumnCells::CopyTo(int row, TvpUniValue& dest) const {
  if (fPerCell) {
    dest.Assign(*fCells[static_cast<std::size_t>(row)]);
    return;
  }
  TvpUniValue cell(false, false);
  cell.SetDataType(fDataType);
  Load(row, cell);
  dest.Assign(cell);
}

void TQrsColumnCells::CellWritten(TQrsCell& cell) {
  if (!fPerCell) {
    // A view made to take another kind (AutoChangeType, ConvertOnChange) is no longer one of
    // the column's compact values: the column keeps a value per cell from now on.
    if (cell.DataType() != fDataType || cell.VariantHolder())
      ToPerCell();
    else
      fStore.Set(cell.Row(), cell.Data());
  }
  fField->CellWritten(cell.Row());
}

void TQrsColumnCells::ToPerCell() {
  std::vector<std::unique_ptr<TQrsCell>> cells;
  cells.reserve(static_cast<std::size_t>(fStore.Count()));
  for (int row = 0; row < fStore.Count(); ++row) {
    // The views handed out become the stored cells, so that they stay valid.
    if (auto it = fViews.find(row); it != fViews.end()) {
      cells.push_back(std::move(it->second));
      continue;
    }
    auto cell = std::make_unique<TQrsCell>(*this, fDataType, row);
    const auto bytes = fStore.Bytes(row);
    if (!bytes.empty()) cell->SetData(bytes);
    cell->SetModified(false);
    cell->Observe();
    cells.push_back(std::move(cell));
  }
  fCells = std::move(cells);
  fViews.clear();
  fStore.Clear();
  fPerCell = true;
}

void TQrsColumnCells::Renumber(int from) {
  for (std::size_t r = static_cast<std::size_t>(std::max(from, 0)); r < fCells.size(); ++r) fCells[r]->SetRow(static_cast<int>(r));
}

void TQrsColumnCells::Append(int count) {
  ReleaseViews();
  if (!fPerCell) {
    fStore.Append(count);
    return;
  }
  fCells.reserve(fCells.size() + static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) fCells.push_back(NewCell(static_cast<int>(fCells.size())));
}

void TQrsColumnCells::Insert(int row) {
  ReleaseViews();
  if (!fPerCell) {
    fStore.Insert(row);
    return;
  }
  fCells.insert(fCells.begin() + row, NewCell(row));
  Renumber(row + 1);
}

void TQrsColumnCells::Erase(int row) {
  ReleaseViews();
  if (!fPerCell) {
    fStore.Erase(row);
    return;
  }
  fCells.erase(fCells.begin() + row);
  Renumber(row);
}

void TQrsColumnCells::Move(int from, int to) {
  ReleaseViews();
  if (!fPerCell) {
    fStore.Move(from, to);
    return;
  }
  auto cell = std::move(fCells[static_cast<std::size_t>(from)]);
  fCells.erase(fCells.begin() + from);
  fCells.insert(fCells.begin() + to, std::move(cell));
  Renumber(std::min(from, to));
}

void TQrsColumnCells::Resize(int count) {
  ReleaseViews();
  if (!fPerCell) {
    fStore.Resize(count);
    return;
  }
  if (count < Count())
    fCells.resize(static_cast<std::size_t>(count));
  else
    Append(count - Count());
}

void TQrsColumnCells::Clear() {
  ReleaseViews();
  fStore.Clear();
  fCells.clear();
}

void TQrsColumnCells::AppendRead(std::unique_ptr<TvpUniValue> cell) {
  const int row = Count();
  if (!fPerCell) {
    fStore.Append(1);
    fStore.Set(row, cell->Data());
    return;
  }
  auto stored = std::make_unique<TQrsCell>(*this, cell->DataType(), row);
  stored->Assign(*cell);
  stored->SetModified(cell->Modified());
  stored->Observe();
  fCells.push_back(std::move(stored));
}

}  // namespace zv::qrsdetail
