#pragma once
// The cells of one typed column of a quick record set, by storage row, as the bytes a
// TvpUniValue of the column's type would hold (no bytes: null). The cells of a typed column
// differ only in those bytes, so nothing else needs keeping. Two layouts, chosen by what is
// written:
//   fixed     every value so far has the same size (integers, floats, dates, time stamps...):
//             one slot of that size per row and a bit per row telling whether it holds a value;
//   variable  values of several sizes (texts, blobs): the bytes of every row in one arena, an
//             offset and a size per row. A rewritten value goes to the arena's end; the arena
//             is compacted when more than half of it is left behind.
// A column starts with no layout (every cell null, nothing kept but the count) and goes from
// fixed to variable at the first value of another size; it never goes back.

#include <cstdint>
#include <span>
#include <vector>

namespace zv::qrsdetail {

class TQrsCellStore {
public:
  int Count() const { return fCount; }
  bool IsNull(int row) const;
  std::span<const std::uint8_t> Bytes(int row) const;  // empty for a null cell
  void Set(int row, std::span<const std::uint8_t> bytes);  // no bytes: null

  void Append(int count);  // null cells
  void Insert(int row);    // a null cell at row (0 .. Count)
  void Erase(int row);
  void Move(int from, int to);  // as erasing from and inserting at to
  void Resize(int count);      // truncates or appends nulls
  void Clear();

private:
  enum class TLayout : std::uint8_t { None, Fixed, Variable };
  struct TSpan {
    std::uint32_t Offset;
    std::uint32_t Size;
  };

  void ToVariable();
  void CompactArena();

  TLayout fLayout = TLayout::None;
  int fCount = 0;
  int fWidth = 0;                     // fixed: the size of every value
  std::vector<std::uint8_t> fSlots;   // fixed: fWidth bytes a row
  std::vector<bool> fPresent;         // fixed: the row holds a value
  std::vector<TSpan> fSpans;          // variable: by row; Size 0 is null
  std::vector<std::uint8_t> fArena;   // variable
  std::size_t fHoles = 0;             // variable: arena bytes no row refers to
};

}  // namespace zv::qrsdetail
