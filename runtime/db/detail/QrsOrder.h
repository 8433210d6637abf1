#pragma once
// The order of a quick record set: position -> storage row and back. Without a sort it is the
// identity and costs nothing. Otherwise the storage rows are kept in position order in chunks
// of at most MaxChunk entries, with the chunk of every storage row and a Fenwick tree of the
// chunks' sizes, so that placing, removing and finding one record cost O(log n + MaxChunk)
// instead of moving every position. Changes that renumber storage rows (an insert, a delete or
// a move of storage) cost one pass over the rows, as they do to the cells.
//
// Each entry carries a code of its record's first sort key: codes that differ order their
// records as the whole order does; equal codes say nothing (the caller's order decides). A
// search thus compares entries it holds in memory side by side and looks at the records' keys
// only among equal codes.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <span>
#include <utility>
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
  // (code, storage row) in position order; the rows a permutation of 0 .. size - 1.
  void Assign(std::span<const std::pair<std::uint64_t, std::int32_t>> ranked) {
    *this = TQrsOrder();
    fIdentity = false;
    fCount = static_cast<int>(ranked.size());
    fChunkOf.assign(ranked.size(), 0);
    for (std::size_t start = 0; start < ranked.size(); start += FillChunk) {
      const std::size_t end = std::min(ranked.size(), start + FillChunk);
      const auto id = static_cast<std::int32_t>(fChunks.size());
      auto& chunk = fChunks.emplace_back();
      chunk.reserve(end - start);
      for (std::size_t p = start; p < end; ++p) {
        chunk.push_back({ranked[p].first, ranked[p].second});
        fChunkOf[static_cast<std::size_t>(ranked[p].second)] = id;
      }
      fSeq.push_back(id);
    }
    RebuildIndex();
  }

  std::int32_t RowAt(int pos) const {
    if (fIdentity) return pos;
    int offset = pos;
    const std::size_t seq = Locate(offset);
    return fChunks[static_cast<std::size_t>(fSeq[seq])][static_cast<std::size_t>(offset)].Row;
  }

  int PosOf(std::int32_t row) const {
    if (fIdentity) return row;
    const std::int32_t id = fChunkOf[static_cast<std::size_t>(row)];
    return Prefix(static_cast<std::size_t>(fSeqOf[static_cast<std::size_t>(id)])) + IndexIn(id, row);
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
        if (pos > to || !f(pos, chunk[i].Row)) return;
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
    if (static_cast<std::size_t>(row) < fChunkOf.size()) Renumber([row](std::int32_t r) { return r >= row ? r + 1 : r; });
    fChunkOf.insert(fChunkOf.begin() + row, -1);
  }
  // The storage row `row`, already removed (Remove), is gone: the rows after it move up.
  void StorageErased(std::int32_t row) {
    if (fIdentity) {
      --fCount;
      return;
    }
    Renumber([row](std::int32_t r) { return r > row ? r - 1 : r; });
    fChunkOf.erase(fChunkOf.begin() + row);
  }
  // Storage row from went to `to`, the rows between moved by one: every record keeps its
  // position.
  void StorageMoved(std::int32_t from, std::int32_t to) {
    if (fIdentity || from == to) return;
    const std::int32_t lo = std::min(from, to), hi = std::max(from, to);
    const std::int32_t shift = from < to ? -1 : 1;
    Renumber([=](std::int32_t r) { return r == from ? to : r >= lo && r <= hi ? r + shift : r; });
    const auto f = fChunkOf.begin() + from, t = fChunkOf.begin() + to;
    if (from < to)
      std::rotate(f, f + 1, t + 1);
    else
      std::rotate(t, f, f + 1);
  }

  // Puts a storage row that is not in the order at position pos (0 .. Count).
  void InsertAt(int pos, std::int32_t row, std::uint64_t code) {
    if (fSeq.empty()) {
      NewFirstChunk({code, row});
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
    Put(seq, at, {code, row});
  }

  // Puts a storage row that is not in the order where its code and less (a strict total order
  // of storage rows, agreeing with the codes where they differ) place it: after every row less
  // than it, before every other.
  template <class Less>
  void Place(std::int32_t row, std::uint64_t code, Less less) {
    const TEntry entry{code, row};
    if (fSeq.empty()) {
      NewFirstChunk(entry);
      return;
    }
    auto before = [&less](const TEntry& a, const TEntry& b) { return a.Code != b.Code ? a.Code < b.Code : less(a.Row, b.Row); };
    // The first chunk whose last entry comes after the new one; none: the end of the last.
    const std::size_t seq = static_cast<std::size_t>(std::upper_bound(fLast.begin(), fLast.end(), entry, before) - fLast.begin());
    if (seq == fSeq.size()) {
      Put(seq - 1, fChunks[static_cast<std::size_t>(fSeq[seq - 1])].size(), entry);
      return;
    }
    const auto& chunk = fChunks[static_cast<std::size_t>(fSeq[seq])];
    Prefetch(chunk);
    // The entries of the same code, found without the keys. A record that comes after all of
    // them (a key already there, given to a record added last) is placed by one comparison.
    const auto [lo, hi] = RunOf(chunk, code);
    const auto at = lo == hi || !less(row, std::prev(hi)->Row) ? hi : std::upper_bound(lo, std::prev(hi), entry, before);
    Put(seq, static_cast<std::size_t>(at - chunk.begin()), entry);
  }

  // Every entry takes the code code(row) of its row; the codes must keep to the order.
  template <class F>
  void Recode(F code) {
    for (auto& chunk : fChunks)
      for (auto& e : chunk) e.Code = code(e.Row);
    RebuildLast();
  }

  // Takes a storage row out of the order (its storage row stays until StorageErased).
  void Remove(std::int32_t row) {
    const std::int32_t id = fChunkOf[static_cast<std::size_t>(row)];
    RemoveAt(id, static_cast<std::size_t>(IndexIn(id, row)));
  }
  // The same for a row whose code is the one Place gave it: looked for among the entries of
  // that code only, without the keys.
  void Remove(std::int32_t row, std::uint64_t code) {
    const std::int32_t id = fChunkOf[static_cast<std::size_t>(row)];
    const auto& chunk = fChunks[static_cast<std::size_t>(id)];
    Prefetch(chunk);
    const auto [lo, hi] = RunOf(chunk, code);
    const auto it = std::find_if(lo, hi, [row](const TEntry& e) { return e.Row == row; });
    RemoveAt(id, static_cast<std::size_t>(it != hi ? it - chunk.begin() : IndexIn(id, row)));
  }

private:
  struct TEntry {
    std::uint64_t Code;
    std::int32_t Row;
  };

  static constexpr std::size_t MaxChunk = 128;
  static constexpr std::size_t FillChunk = 64;

  // A chunk of a record far from the last ones is not in the cache: its lines asked for at
  // once arrive together, where a binary search would wait for them one by one.
  static void Prefetch(const std::vector<TEntry>& chunk) {
#if defined(__GNUC__)
    const char* bytes = reinterpret_cast<const char*>(chunk.data());
    for (std::size_t at = 0; at < chunk.size() * sizeof(TEntry); at += 64) __builtin_prefetch(bytes + at);
#else
    (void)chunk;
#endif
  }

  // The entries of a chunk with the code (codes never decrease along the order).
  using TRun = std::pair<std::vector<TEntry>::const_iterator, std::vector<TEntry>::const_iterator>;
  static TRun RunOf(const std::vector<TEntry>& chunk, std::uint64_t code) {
    const auto lo = std::partition_point(chunk.begin(), chunk.end(), [code](const TEntry& e) { return e.Code < code; });
    const auto hi = std::partition_point(lo, chunk.end(), [code](const TEntry& e) { return e.Code == code; });
    return {lo, hi};
  }

  int IndexIn(std::int32_t id, std::int32_t row) const {
    const auto& chunk = fChunks[static_cast<std::size_t>(id)];
    return static_cast<int>(std::find_if(chunk.begin(), chunk.end(), [row](const TEntry& e) { return e.Row == row; }) -
                            chunk.begin());
  }

  template <class F>
  void Renumber(F f) {
    for (auto& chunk : fChunks)
      for (auto& e : chunk) e.Row = f(e.Row);
    RebuildLast();
  }

  void RemoveAt(std::int32_t id, std::size_t at) {
    auto& chunk = fChunks[static_cast<std::size_t>(id)];
    fChunkOf[static_cast<std::size_t>(chunk[at].Row)] = -1;
    chunk.erase(chunk.begin() + static_cast<std::ptrdiff_t>(at));
    --fCount;
    const auto seq = static_cast<std::size_t>(fSeqOf[static_cast<std::size_t>(id)]);
    if (!chunk.empty()) {
      fLast[seq] = chunk.back();
      Add(seq, -1);
      return;
    }
    fSeq.erase(fSeq.begin() + static_cast<std::ptrdiff_t>(seq));
    fLast.erase(fLast.begin() + static_cast<std::ptrdiff_t>(seq));
    fFreeIds.push_back(id);
    RebuildTree();
  }

  void NewFirstChunk(const TEntry& entry) {
    fIdentity = false;
    const std::int32_t id = NewId();
    fChunks[static_cast<std::size_t>(id)] = {entry};
    fChunkOf[static_cast<std::size_t>(entry.Row)] = id;
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

  void Put(std::size_t seq, std::size_t at, const TEntry& entry) {
    const std::int32_t id = fSeq[seq];
    auto& chunk = fChunks[static_cast<std::size_t>(id)];
    chunk.insert(chunk.begin() + static_cast<std::ptrdiff_t>(at), entry);
    fChunkOf[static_cast<std::size_t>(entry.Row)] = id;
    ++fCount;
    if (chunk.size() <= MaxChunk) {
      fLast[seq] = chunk.back();
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
    for (const TEntry& e : half) fChunkOf[static_cast<std::size_t>(e.Row)] = newId;
    if (seq + 1 == fSeq.size()) {
      // The last chunk, where appending in key order splits: the index grows by one at its end
      // instead of being made anew.
      const int moved = static_cast<int>(half.size());
      Add(seq, 1 - moved);
      fSeq.push_back(newId);
      if (fSeqOf.size() < fChunks.size()) fSeqOf.resize(fChunks.size());
      fSeqOf[static_cast<std::size_t>(newId)] = static_cast<std::int32_t>(seq + 1);
      const std::size_t i = fSeq.size();  // its node covers the chunks (i - lowbit(i), i]
      fTree.push_back(moved + Prefix(i - 1) - Prefix(i - (i & (~i + 1))));
      while (fTopBit * 2 <= fSeq.size()) fTopBit = fTopBit ? fTopBit * 2 : 1;
      fLast[seq] = full.back();
      fLast.push_back(half.back());
      return;
    }
    fSeq.insert(fSeq.begin() + static_cast<std::ptrdiff_t>(seq) + 1, newId);
    // The other chunks' last entries stay: reading them all again would touch every chunk.
    fLast[seq] = full.back();
    fLast.insert(fLast.begin() + static_cast<std::ptrdiff_t>(seq) + 1, half.back());
    RebuildTree();
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
  int Prefix(std::size_t seq) const {  // entries in the chunks before fSeq[seq]
    int sum = 0;
    for (std::size_t i = seq; i > 0; i &= i - 1) sum += fTree[i];
    return sum;
  }
  void Add(std::size_t seq, int delta) {
    for (std::size_t i = seq + 1; i <= fSeq.size(); i += i & (~i + 1)) fTree[i] += delta;
  }
  void RebuildIndex() {
    RebuildTree();
    RebuildLast();
  }
  void RebuildTree() {
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
  void RebuildLast() {
    fLast.resize(fSeq.size());
    for (std::size_t s = 0; s < fSeq.size(); ++s) fLast[s] = fChunks[static_cast<std::size_t>(fSeq[s])].back();
  }

  bool fIdentity = true;
  int fCount = 0;
  std::vector<std::vector<TEntry>> fChunks;  // by id
  std::vector<std::int32_t> fSeq;            // chunk ids in position order
  std::vector<std::int32_t> fSeqOf;          // by id: index in fSeq
  std::vector<int> fTree;                    // Fenwick tree of the chunk sizes, over fSeq
  std::vector<TEntry> fLast;                 // by index in fSeq: the chunk's last entry
  std::vector<std::int32_t> fChunkOf;        // by storage row: chunk id (-1: not placed)
  std::vector<std::int32_t> fFreeIds;
  std::size_t fTopBit = 0;
};

}  // namespace zv::qrsdetail
