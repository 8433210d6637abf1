#pragma once
// The order of a quick record set: position -> storage row and back. Without a sort it is the
// identity and costs nothing. Otherwise the storage rows are kept in position order in chunks
// of at most MaxChunk rows, with the chunk of every storage row and a Fenwick tree of the
// chunks' sizes, so that placing, removing and finding one record cost O(log n + MaxChunk)
// instead of moving every position. Changes that renumber storage rows (an insert, a delete or
// a move of storage) cost one pass over the rows, as they do to the cells.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace zv::qrsdetail {

class TQrsOrder {
public:
  bool Identity() const { return fIdentity; }
  int Count() const { return fCount; }

  // The identity of count records.
  void Reset(int count) {
    *this = TQrsOrder();
    fCount = count;
  }
  // rows: position -> storage row, a permutation of 0 .. rows.size() - 1.
  void Assign(std::span<const std::int32_t> rows) {
    *this = TQrsOrder();
    fIdentity = false;
    fCount = static_cast<int>(rows.size());
    fChunkOf.assign(rows.size(), 0);
    for (std::size_t start = 0; start < rows.size(); start += FillChunk) {
      const std::size_t end = std::min(rows.size(), start + FillChunk);
      const auto id = static_cast<std::int32_t>(fChunks.size());
      fChunks.emplace_back(rows.begin() + static_cast<std::ptrdiff_t>(start), rows.begin() + static_cast<std::ptrdiff_t>(end));
      for (std::size_t p = start; p < end; ++p) fChunkOf[static_cast<std::size_t>(rows[p])] = id;
      fSeq.push_back(id);
    }
    RebuildIndex();
  }

  std::int32_t RowAt(int pos) const {
    if (fIdentity) return pos;
    int offset = pos;
    const std::size_t seq = Locate(offset);
    return fChunks[static_cast<std::size_t>(fSeq[seq])][static_cast<std::size_t>(offset)];
  }

  int PosOf(std::int32_t row) const {
    if (fIdentity) return row;
    const std::int32_t id = fChunkOf[static_cast<std::size_t>(row)];
    const auto& chunk = fChunks[static_cast<std::size_t>(id)];
    const auto at = std::find(chunk.begin(), chunk.end(), row) - chunk.begin();
    return Prefix(static_cast<std::size_t>(fSeqOf[static_cast<std::size_t>(id)])) + static_cast<int>(at);
  }

  // Calls f(pos, row) for the positions from .. to (inclusive) until it returns false.
  template <class F>
  void ForEach(int from, int to, F f) const {
    if (from > to) return;
    if (fIdentity) {
      for (int pos = from; pos <= to; ++pos)
        if (!f(pos, pos)) return;
      return;
    }
    int offset = from;
    int pos = from;
    for (std::size_t seq = Locate(offset); seq < fSeq.size(); ++seq, offset = 0) {
      const auto& chunk = fChunks[static_cast<std::size_t>(fSeq[seq])];
      for (auto i = static_cast<std::size_t>(offset); i < chunk.size(); ++i, ++pos) {
        if (pos > to || !f(pos, chunk[i])) return;
      }
    }
  }

  // Storage rows from row on move down one for a new storage row `row`, not in the order yet
  // (Place or InsertAt puts it there).
  void StorageInserted(std::int32_t row) {
    if (fIdentity) {
      ++fCount;
      return;
    }
    // An appended row renumbers nothing.
    if (static_cast<std::size_t>(row) < fChunkOf.size())
      for (auto& chunk : fChunks)
        for (auto& r : chunk)
          if (r >= row) ++r;
    fChunkOf.insert(fChunkOf.begin() + row, -1);
  }
  // The storage row `row`, already removed (Remove), is gone: the rows after it move up.
  void StorageErased(std::int32_t row) {
    if (fIdentity) {
      --fCount;
      return;
    }
    for (auto& chunk : fChunks)
      for (auto& r : chunk)
        if (r > row) --r;
    fChunkOf.erase(fChunkOf.begin() + row);
  }
  // Storage row from went to `to`, the rows between moved by one: every record keeps its
  // position.
  void StorageMoved(std::int32_t from, std::int32_t to) {
    if (fIdentity || from == to) return;
    const std::int32_t lo = std::min(from, to), hi = std::max(from, to);
    const std::int32_t shift = from < to ? -1 : 1;
    for (auto& chunk : fChunks)
      for (auto& r : chunk) {
        if (r == from)
          r = to;
        else if (r >= lo && r <= hi)
          r += shift;
      }
    const auto f = fChunkOf.begin() + from, t = fChunkOf.begin() + to;
    if (from < to)
      std::rotate(f, f + 1, t + 1);
    else
      std::rotate(t, f, f + 1);
  }

  // Puts a storage row that is not in the order at position pos (0 .. Count).
  void InsertAt(int pos, std::int32_t row) {
    if (fSeq.empty()) {
      NewFirstChunk(row);
      return;
    }
    std::size_t seq;
    std::size_t at;
    if (pos >= fCount) {
      seq = fSeq.size() - 1;
      at = fChunks[static_cast<std::size_t>(fSeq[seq])].size();
    } else {
      int offset = pos;
      seq = Locate(offset);
      at = static_cast<std::size_t>(offset);
    }
    Put(seq, at, row);
  }

  // Puts a storage row that is not in the order where less (a strict total order of storage
  // rows) places it: after every row less than it, before every other.
  template <class Less>
  void Place(std::int32_t row, Less less) {
    if (fSeq.empty()) {
      NewFirstChunk(row);
      return;
    }
    // The first chunk whose last row comes after the new one; none: the end of the last.
    std::size_t lo = 0, hi = fSeq.size();
    while (lo < hi) {
      const std::size_t mid = (lo + hi) / 2;
      if (less(row, fChunks[static_cast<std::size_t>(fSeq[mid])].back()))
        hi = mid;
      else
        lo = mid + 1;
    }
    if (lo == fSeq.size()) {
      const std::size_t seq = fSeq.size() - 1;
      Put(seq, fChunks[static_cast<std::size_t>(fSeq[seq])].size(), row);
      return;
    }
    const auto& chunk = fChunks[static_cast<std::size_t>(fSeq[lo])];
    const auto at = std::upper_bound(chunk.begin(), chunk.end(), row, less) - chunk.begin();
    Put(lo, static_cast<std::size_t>(at), row);
  }

  // Takes a storage row out of the order (its storage row stays until StorageErased).
  void Remove(std::int32_t row) {
    const std::int32_t id = fChunkOf[static_cast<std::size_t>(row)];
    auto& chunk = fChunks[static_cast<std::size_t>(id)];
    chunk.erase(std::find(chunk.begin(), chunk.end(), row));
    fChunkOf[static_cast<std::size_t>(row)] = -1;
    --fCount;
    const auto seq = static_cast<std::size_t>(fSeqOf[static_cast<std::size_t>(id)]);
    if (!chunk.empty()) {
      Add(seq, -1);
      return;
    }
    fSeq.erase(fSeq.begin() + static_cast<std::ptrdiff_t>(seq));
    fFreeIds.push_back(id);
    RebuildIndex();
  }

private:
  static constexpr std::size_t MaxChunk = 512;
  static constexpr std::size_t FillChunk = 256;

  void NewFirstChunk(std::int32_t row) {
    fIdentity = false;
    const std::int32_t id = NewId();
    fChunks[static_cast<std::size_t>(id)] = {row};
    fChunkOf[static_cast<std::size_t>(row)] = id;
    fSeq.push_back(id);
    ++fCount;
    RebuildIndex();
  }

  std::int32_t NewId() {
    if (!fFreeIds.empty()) {
      const std::int32_t id = fFreeIds.back();
      fFreeIds.pop_back();
      return id;
    }
    fChunks.emplace_back();
    return static_cast<std::int32_t>(fChunks.size() - 1);
  }

  void Put(std::size_t seq, std::size_t at, std::int32_t row) {
    const std::int32_t id = fSeq[seq];
    auto& chunk = fChunks[static_cast<std::size_t>(id)];
    chunk.insert(chunk.begin() + static_cast<std::ptrdiff_t>(at), row);
    fChunkOf[static_cast<std::size_t>(row)] = id;
    ++fCount;
    if (chunk.size() <= MaxChunk) {
      Add(seq, 1);
      return;
    }
    // Split in halves; the second half goes to a new chunk after this one.
    const std::int32_t newId = NewId();
    auto& full = fChunks[static_cast<std::size_t>(id)];  // NewId may have moved the chunks
    auto& half = fChunks[static_cast<std::size_t>(newId)];
    const auto middle = full.begin() + static_cast<std::ptrdiff_t>(full.size() / 2);
    half.assign(middle, full.end());
    full.erase(middle, full.end());
    for (const std::int32_t r : half) fChunkOf[static_cast<std::size_t>(r)] = newId;
    fSeq.insert(fSeq.begin() + static_cast<std::ptrdiff_t>(seq) + 1, newId);
    RebuildIndex();
  }

  // Position -> chunk: the index in fSeq of the chunk holding position `offset`, which becomes
  // the offset in that chunk.
  std::size_t Locate(int& offset) const {
    std::size_t idx = 0;
    for (std::size_t step = fTopBit; step; step >>= 1) {
      if (idx + step <= fSeq.size() && fTree[idx + step] <= offset) {
        idx += step;
        offset -= fTree[idx];
      }
    }
    return idx;
  }
  int Prefix(std::size_t seq) const {  // rows in the chunks before fSeq[seq]
    int sum = 0;
    for (std::size_t i = seq; i > 0; i &= i - 1) sum += fTree[i];
    return sum;
  }
  void Add(std::size_t seq, int delta) {
    for (std::size_t i = seq + 1; i <= fSeq.size(); i += i & (~i + 1)) fTree[i] += delta;
  }
  void RebuildIndex() {
    fSeqOf.resize(fChunks.size());
    fTree.assign(fSeq.size() + 1, 0);
    for (std::size_t s = 0; s < fSeq.size(); ++s) {
      fSeqOf[static_cast<std::size_t>(fSeq[s])] = static_cast<std::int32_t>(s);
      fTree[s + 1] += static_cast<int>(fChunks[static_cast<std::size_t>(fSeq[s])].size());
      const std::size_t parent = (s + 1) + ((s + 1) & (~(s + 1) + 1));
      if (parent <= fSeq.size()) fTree[parent] += fTree[s + 1];
    }
    fTopBit = 1;
    while (fTopBit * 2 <= fSeq.size()) fTopBit *= 2;
    if (fSeq.empty()) fTopBit = 0;
  }

  bool fIdentity = true;
  int fCount = 0;
  std::vector<std::vector<std::int32_t>> fChunks;  // by id
  std::vector<std::int32_t> fSeq;                  // chunk ids in position order
  std::vector<std::int32_t> fSeqOf;                // by id: index in fSeq
  std::vector<int> fTree;                          // Fenwick tree of the chunk sizes, over fSeq
  std::vector<std::int32_t> fChunkOf;              // by storage row: chunk id (-1: not placed)
  std::vector<std::int32_t> fFreeIds;
  std::size_t fTopBit = 0;
};

}  // namespace zv::qrsdetail
