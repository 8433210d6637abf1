#pragma once
// The order of a quick record set: position -> storage row and back. Without a sort it is the
// identity and costs nothing. Otherwise the storage rows are kept in position order in a B+ tree
// counted by entries: leaves hold (code, storage row) entries, inner nodes hold per child its
// entry count and its last entry, side by side in one node, so that a placement reads three or
// four nodes from the root down, a position is found by the counts, and a node that splits or
// empties changes its parent only. Every storage row knows its leaf; the way up goes by parent
// links (a leaf's parent and slot kept apart from it, so that a count is reached without waiting
// for the leaf). Nodes live in two pools, one per kind, and come back to them when emptied.
// Changes that renumber storage rows (an insert, a delete or a move of storage) cost one pass
// over the rows, as they do to the cells.
//
// Each entry carries a code of its record's first sort key: codes that differ order their
// records as the whole order does; equal codes say nothing (the caller's order decides). A
// search thus compares codes it holds in memory side by side and looks at the records' keys
// only among equal codes.

#include "runtime/db/detail/QrsBigArray.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace zv::qrsdetail {

// LeafMax entries a leaf, InnerMax children an inner node at most.
template <int LeafMax, int InnerMax>
class TQrsTree {
  static_assert(LeafMax >= 4 && InnerMax >= 4);

public:
  bool Identity() const { return fIdentity; }
  int Count() const { return fCount; }

  // The identity of count records.
  void Reset(int count) {
    *this = TQrsTree();
    fCount = count;
  }
  // (code, storage row) in position order; the rows a permutation of 0 .. size - 1.
  void Assign(std::span<const std::pair<std::uint64_t, std::int32_t>> ranked) {
    *this = TQrsTree();
    fIdentity = false;
    fCount = static_cast<int>(ranked.size());
    ReserveToGrow(fLeafOf, ranked.size());
    fLeafOf.assign(ranked.size(), -1);
    if (ranked.empty()) return;
    const std::size_t leaves = (ranked.size() + FillLeaf - 1) / FillLeaf;
    ReserveToGrow(fLeaves, leaves);
    ReserveToGrow(fLeafUp, leaves);
    ReserveToGrow(fInners, leaves / (FillInner - 1) + 8);
    // Leaves filled to FillLeaf entries, then each level above filled to FillInner children.
    std::vector<std::int32_t> level;
    std::int32_t prev = -1;
    for (std::size_t start = 0; start < ranked.size(); start += FillLeaf) {
      const std::size_t end = std::min(ranked.size(), start + FillLeaf);
      const std::int32_t id = NewLeaf();
      TLeaf& leaf = fLeaves[static_cast<std::size_t>(id)];
      for (std::size_t p = start; p < end; ++p) {
        leaf.Code[p - start] = ranked[p].first;
        leaf.Row[p - start] = ranked[p].second;
        fLeafOf[static_cast<std::size_t>(ranked[p].second)] = id;
      }
      leaf.Count = static_cast<std::int32_t>(end - start);
      leaf.Prev = prev;
      if (prev >= 0) fLeaves[static_cast<std::size_t>(prev)].Next = id;
      prev = id;
      level.push_back(id);
    }
    fHeight = 0;
    while (level.size() > 1) {
      std::vector<std::int32_t> upper;
      for (std::size_t start = 0; start < level.size(); start += FillInner) {
        const std::size_t end = std::min(level.size(), start + FillInner);
        const std::int32_t id = NewInner();
        TInner& node = fInners[static_cast<std::size_t>(id)];
        for (std::size_t c = start; c < end; ++c) {
          const auto i = c - start;
          node.Child[i] = level[c];
          SetParent(level[c], fHeight, id, static_cast<int>(i));
          const TEntry last = LastOf(level[c], fHeight);
          node.Code[i] = last.Code;
          node.Row[i] = last.Row;
          node.Size[i] = SizeOf(level[c], fHeight);
        }
        node.Count = static_cast<std::int32_t>(end - start);
        upper.push_back(id);
      }
      level = std::move(upper);
      ++fHeight;
    }
    fRoot = level[0];
  }

  std::int32_t RowAt(int pos) const {
    if (fIdentity) return pos;
    int offset = pos;
    const std::int32_t leaf = Locate(offset);
    return fLeaves[static_cast<std::size_t>(leaf)].Row[offset];
  }

  int PosOf(std::int32_t row) const {
    if (fIdentity) return row;
    std::int32_t node = fLeafOf[static_cast<std::size_t>(row)];
    const TLeaf& leaf = fLeaves[static_cast<std::size_t>(node)];
    int pos = IndexIn(leaf, row);
    int slot = fLeafUp[static_cast<std::size_t>(node)].Slot;
    for (std::int32_t parent = fLeafUp[static_cast<std::size_t>(node)].Parent; parent >= 0;) {
      const TInner& inner = fInners[static_cast<std::size_t>(parent)];
      for (int i = 0; i < slot; ++i) pos += inner.Size[i];
      slot = inner.Slot;
      parent = inner.Parent;
    }
    return pos;
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
    if (from >= fCount) return;
    int offset = from;
    int pos = from;
    for (std::int32_t id = Locate(offset); id >= 0; id = fLeaves[static_cast<std::size_t>(id)].Next, offset = 0) {
      const TLeaf& leaf = fLeaves[static_cast<std::size_t>(id)];
      for (int i = offset; i < leaf.Count; ++i, ++pos) {
        if (pos > to || !f(pos, leaf.Row[i])) return;
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
    if (static_cast<std::size_t>(row) < fLeafOf.size()) Renumber([row](std::int32_t r) { return r >= row ? r + 1 : r; });
    fLeafOf.insert(fLeafOf.begin() + row, -1);
  }
  // The storage row `row`, already removed (Remove), is gone: the rows after it move up.
  void StorageErased(std::int32_t row) {
    if (fIdentity) {
      --fCount;
      return;
    }
    Renumber([row](std::int32_t r) { return r > row ? r - 1 : r; });
    fLeafOf.erase(fLeafOf.begin() + row);
  }
  // Storage row from went to `to`, the rows between moved by one: every record keeps its
  // position.
  void StorageMoved(std::int32_t from, std::int32_t to) {
    if (fIdentity || from == to) return;
    const std::int32_t lo = std::min(from, to), hi = std::max(from, to);
    const std::int32_t shift = from < to ? -1 : 1;
    Renumber([=](std::int32_t r) { return r == from ? to : r >= lo && r <= hi ? r + shift : r; });
    const auto f = fLeafOf.begin() + from, t = fLeafOf.begin() + to;
    if (from < to)
      std::rotate(f, f + 1, t + 1);
    else
      std::rotate(t, f, f + 1);
  }

  // Puts a storage row that is not in the order at position pos (0 .. Count).
  void InsertAt(int pos, std::int32_t row, std::uint64_t code) {
    if (fRoot < 0) {
      NewFirstLeaf({code, row});
      return;
    }
    int offset = std::min(pos, fCount);
    std::int32_t node = fRoot;
    for (int h = fHeight; h > 0; --h) {
      TInner& inner = fInners[static_cast<std::size_t>(node)];
      int i = 0;
      while (i + 1 < inner.Count && offset >= inner.Size[i]) offset -= inner.Size[i++];
      if (offset == inner.Size[i]) {  // at the end of the last child: the subtree's new last entry
        inner.Code[i] = code;
        inner.Row[i] = row;
      }
      ++inner.Size[i];
      node = inner.Child[i];
    }
    PutInLeaf(node, offset, {code, row});
  }

  // Puts a storage row that is not in the order where its code and less (a strict total order
  // of storage rows, agreeing with the codes where they differ) place it: after every row less
  // than it, before every other. Its nodes are asked for again although ExpectPlace asked for
  // them: a request the memory had no room for when it came is dropped, and without a second
  // one a far leaf comes only when read (a key write then took half as long again, run by run).
  template <class Less>
  void Place(std::int32_t row, std::uint64_t code, Less less) {
    if (fRoot < 0) {
      NewFirstLeaf({code, row});
      return;
    }
    // Down from the root to the first child whose last entry comes after the new one; after
    // them all, the new one is the last child's new last entry.
    std::int32_t node = fRoot;
    for (int h = fHeight; h > 0; --h) {
      TInner& inner = fInners[static_cast<std::size_t>(node)];
      Prefetch(inner.Code, sizeof inner.Code, &inner.Count);
      int i = UpperBound(inner.Code, inner.Row, inner.Count, row, code, less);
      if (i == inner.Count) {
        i = inner.Count - 1;
        inner.Code[i] = code;
        inner.Row[i] = row;
      }
      ++inner.Size[i];
      node = inner.Child[i];
    }
    const TLeaf& leaf = fLeaves[static_cast<std::size_t>(node)];
    Prefetch(leaf.Code, sizeof leaf.Code, &leaf.Count);
    Prefetch(leaf.Row, sizeof leaf.Row, &leaf.Count);  // moved for the new entry
    PutInLeaf(node, UpperBound(leaf.Code, leaf.Row, leaf.Count, row, code, less), {code, row});
  }

  // A placed row whose keys were written: when it still comes after the entry before it and
  // before the entry after it, its entry takes the new code and true is said (a record written
  // back with its own key, as a dataset posting every field does, then costs no move); else it
  // leaves the order, as by Remove, for the caller to place again. A leaf's first or last entry,
  // whose neighbour or whose copy in the nodes above lies elsewhere, always leaves. Its leaf is
  // searched for it once.
  template <class Less>
  bool KeepsPlaceOrLeaves(std::int32_t row, std::uint64_t code, Less less) {
    const std::int32_t node = fLeafOf[static_cast<std::size_t>(row)];
    TLeaf& leaf = fLeaves[static_cast<std::size_t>(node)];
    const int at = IndexIn(leaf, row);
    if (at > 0 && at < leaf.Count - 1) {
      auto before = [&less](std::uint64_t codeA, std::int32_t a, std::uint64_t codeB, std::int32_t b) {
        return codeA != codeB ? codeA < codeB : less(a, b);
      };
      if (before(leaf.Code[at - 1], leaf.Row[at - 1], code, row) && before(code, row, leaf.Code[at + 1], leaf.Row[at + 1])) {
        leaf.Code[at] = code;
        return true;
      }
    }
    RemoveAt(row, node, at);
    return false;
  }

  // Every entry takes the code code(row) of its row; the codes must keep to the order.
  template <class F>
  void Recode(F code) {
    for (TLeaf& leaf : fLeaves)
      for (int i = 0; i < leaf.Count; ++i) leaf.Code[i] = code(leaf.Row[i]);
    for (TInner& inner : fInners)
      for (int i = 0; i < inner.Count; ++i) inner.Code[i] = code(inner.Row[i]);
  }

  // A row about to be removed: its leaf, the leaf's rows and the parent's counts are asked for
  // ahead, each as soon as its address is known, while the caller goes on with other work.
  void Expect(std::int32_t row) const {
#if defined(__GNUC__)
    if (fIdentity || static_cast<std::size_t>(row) >= fLeafOf.size()) return;
    const std::int32_t node = fLeafOf[static_cast<std::size_t>(row)];
    if (node < 0) return;
    const TLeaf& leaf = fLeaves[static_cast<std::size_t>(node)];
    Prefetch(leaf.Row, sizeof leaf.Row, &leaf.Count);
    const TUp up = fLeafUp[static_cast<std::size_t>(node)];
    if (up.Parent >= 0) __builtin_prefetch(&fInners[static_cast<std::size_t>(up.Parent)].Size[up.Slot]);
#else
    (void)row;
#endif
  }

  // A placement by this code about to come: the node above its leaf, far from the last ones and
  // found by the nodes above it (in the cache), is asked for ahead, so that it arrives while the
  // caller does other work.
  void ExpectPlace(std::uint64_t code) const {
#if defined(__GNUC__)
    if (fRoot < 0 || fHeight < 1) return;
    std::int32_t node = fRoot;
    for (int h = fHeight; h > 0; --h) {
      const TInner& inner = fInners[static_cast<std::size_t>(node)];
      Prefetch(inner.Code, sizeof inner.Code, &inner.Count);
      const int i = CountWhile(inner.Code, inner.Count - 1, [code](std::uint64_t c) { return c < code; });
      node = inner.Child[i];
    }
    const TLeaf& target = fLeaves[static_cast<std::size_t>(node)];
    Prefetch(target.Code, sizeof target.Code, &target.Count);
#else
    (void)code;
#endif
  }

  // Takes a storage row out of the order (its storage row stays until StorageErased).
  void Remove(std::int32_t row) {
    const std::int32_t node = fLeafOf[static_cast<std::size_t>(row)];
    const TLeaf& leaf = fLeaves[static_cast<std::size_t>(node)];
    Prefetch(leaf.Row, sizeof leaf.Row, &leaf.Count);
#if defined(__GNUC__)
    const TUp up = fLeafUp[static_cast<std::size_t>(node)];
    if (up.Parent >= 0) __builtin_prefetch(&fInners[static_cast<std::size_t>(up.Parent)].Size[up.Slot]);
#endif
    RemoveAt(row, node, IndexIn(leaf, row));
  }

private:
  // Takes out the entry of `row`, at `at` in leaf `node`.
  void RemoveAt(std::int32_t row, std::int32_t node, int at) {
    fLeafOf[static_cast<std::size_t>(row)] = -1;
    --fCount;
    TLeaf& leaf = fLeaves[static_cast<std::size_t>(node)];
    const TUp up = fLeafUp[static_cast<std::size_t>(node)];
    std::copy(leaf.Code + at + 1, leaf.Code + leaf.Count, leaf.Code + at);
    std::copy(leaf.Row + at + 1, leaf.Row + leaf.Count, leaf.Row + at);
    --leaf.Count;
    // Up to the root: each count one less; the last entries of the subtrees that ended with the
    // removed one are the new last ones; a node left empty leaves its parent.
    bool empty = leaf.Count == 0;
    bool lastChanged = !empty && at == leaf.Count;
    TEntry last = lastChanged ? TEntry{leaf.Code[leaf.Count - 1], leaf.Row[leaf.Count - 1]} : TEntry{};
    std::int32_t parent = up.Parent;
    int slot = up.Slot;
    int childHeight = 0;
    if (empty) FreeLeaf(node);
    for (; parent >= 0; ++childHeight) {
      TInner& inner = fInners[static_cast<std::size_t>(parent)];
      const int i = slot;
      if (empty) {
        EraseChild(inner, i);
        RenumberSlots(inner, i, childHeight);
        if (inner.Count == 0) {
          node = parent;
          slot = inner.Slot;
          parent = inner.Parent;
          FreeInner(node);
          continue;
        }
        empty = false;
        lastChanged = i == inner.Count;
        last = {inner.Code[inner.Count - 1], inner.Row[inner.Count - 1]};
      } else {
        --inner.Size[i];
        if (lastChanged) {
          inner.Code[i] = last.Code;
          inner.Row[i] = last.Row;
          lastChanged = i == inner.Count - 1;
        }
      }
      node = parent;
      slot = inner.Slot;
      parent = inner.Parent;
    }
    if (empty) {  // the last entry went
      fRoot = -1;
      fHeight = 0;
      return;
    }
    // A root of one child gives way to it.
    while (fHeight > 0 && fInners[static_cast<std::size_t>(fRoot)].Count == 1) {
      const std::int32_t child = fInners[static_cast<std::size_t>(fRoot)].Child[0];
      FreeInner(fRoot);
      fRoot = child;
      --fHeight;
      SetParent(child, fHeight, -1, 0);
    }
  }

  struct TEntry {
    std::uint64_t Code;
    std::int32_t Row;
  };

  // Each node has room for one more than its capacity, taken just before it splits. A whole
  // sort fills them to three quarters, leaving room for placements.
  static constexpr int FillLeaf = LeafMax * 3 / 4;
  static constexpr int FillInner = InnerMax * 3 / 4;

  // The arrays are left as they come (a whole sort makes tens of thousands of nodes): only the
  // first Count entries are ever read.
  // The counts and links first, beside what a position is found by (a leaf's rows, a node's
  // counts), so that the way up reads a node's first lines only.
  struct TLeaf {
    TLeaf() {}  // NOLINT: no zeroing of the arrays
    std::int32_t Count = 0;  // -1: free
    std::int32_t Prev = -1;
    std::int32_t Next = -1;
    std::int32_t Row[LeafMax + 1];
    std::uint64_t Code[LeafMax + 1];
  };
  struct TInner {
    TInner() {}  // NOLINT: no zeroing of the arrays
    std::int32_t Count = 0;  // -1: free
    std::int32_t Parent = -1;
    std::int32_t Slot = 0;            // in the parent
    std::int32_t Size[InnerMax + 1];  // entries under each child
    std::int32_t Child[InnerMax + 1];
    std::int32_t Row[InnerMax + 1];
    std::uint64_t Code[InnerMax + 1];  // of each child's last entry
  };

  // A node far from the last ones is not in the cache: the lines of the array about to be
  // searched and of its count, asked for at once, arrive together, where a search would wait
  // for the count and then for each line it reads one by one.
  static void Prefetch(const void* array, std::size_t size, const void* count) {
#if defined(__GNUC__)
    const char* bytes = static_cast<const char*>(array);
    __builtin_prefetch(count);
    for (std::size_t at = 0; at < size; at += 64) __builtin_prefetch(bytes + at);
#else
    (void)array;
    (void)size;
    (void)count;
#endif
  }

  // The first of count entries (codes never decrease) that (code, row) comes before; count if none.
  // Among equal codes the rows' order decides; a row after every one of them (a key already
  // there, given to a record added last) takes one comparison.
  template <class Less>
  static int UpperBound(const std::uint64_t* codes, const std::int32_t* rows, int count, std::int32_t row,
                        std::uint64_t code, Less& less) {
    const int lo = CountWhile(codes, count, [code](std::uint64_t c) { return c < code; });
    if (lo == count || codes[lo] != code) return lo;
    const int hi = lo + CountWhile(codes + lo, count - lo, [code](std::uint64_t c) { return c == code; });
    if (!less(row, rows[hi - 1])) return hi;
    return static_cast<int>(std::partition_point(rows + lo, rows + hi - 1, [&less, row](std::int32_t r) { return !less(row, r); }) - rows);
  }

  // How many of count codes, from the first, hold for pred (true, then false), by halving
  // without branches: the way down the tree then waits for memory only, not for mispredicted
  // comparisons, and the reads of the next node start sooner.
  template <class Pred>
  static int CountWhile(const std::uint64_t* codes, int count, Pred pred) {
    if (count == 0) return 0;
    const std::uint64_t* base = codes;
    for (int n = count; n > 1;) {
      const int half = n / 2;
      base = pred(base[half]) ? base + half : base;
      n -= half;
    }
    return static_cast<int>(base - codes) + (pred(*base) ? 1 : 0);
  }

  static int IndexIn(const TLeaf& leaf, std::int32_t row) {
    return static_cast<int>(std::find(leaf.Row, leaf.Row + leaf.Count, row) - leaf.Row);
  }
  // Nodes at height 0 are leaves. Every node knows its parent and its slot there.
  void SetParent(std::int32_t node, int height, std::int32_t parent, int slot) {
    if (height == 0) {
      fLeafUp[static_cast<std::size_t>(node)] = {parent, slot};
      return;
    }
    TInner& inner = fInners[static_cast<std::size_t>(node)];
    inner.Parent = parent;
    inner.Slot = slot;
  }
  void RenumberSlots(const TInner& inner, int from, int childHeight) {
    if (childHeight == 0) {
      for (int c = from; c < inner.Count; ++c) fLeafUp[static_cast<std::size_t>(inner.Child[c])].Slot = c;
    } else {
      for (int c = from; c < inner.Count; ++c) fInners[static_cast<std::size_t>(inner.Child[c])].Slot = c;
    }
  }
  TEntry LastOf(std::int32_t node, int height) const {
    if (height == 0) {
      const TLeaf& leaf = fLeaves[static_cast<std::size_t>(node)];
      return {leaf.Code[leaf.Count - 1], leaf.Row[leaf.Count - 1]};
    }
    const TInner& inner = fInners[static_cast<std::size_t>(node)];
    return {inner.Code[inner.Count - 1], inner.Row[inner.Count - 1]};
  }
  int SizeOf(std::int32_t node, int height) const {
    if (height == 0) return fLeaves[static_cast<std::size_t>(node)].Count;
    const TInner& inner = fInners[static_cast<std::size_t>(node)];
    int size = 0;
    for (int i = 0; i < inner.Count; ++i) size += inner.Size[i];
    return size;
  }

  template <class F>
  void Renumber(F f) {
    for (TLeaf& leaf : fLeaves)
      for (int i = 0; i < leaf.Count; ++i) leaf.Row[i] = f(leaf.Row[i]);
    for (TInner& inner : fInners)
      for (int i = 0; i < inner.Count; ++i) inner.Row[i] = f(inner.Row[i]);
  }

  // Position -> leaf: the leaf holding position `offset`, which becomes the offset in it.
  std::int32_t Locate(int& offset) const {
    std::int32_t node = fRoot;
    for (int h = fHeight; h > 0; --h) {
      const TInner& inner = fInners[static_cast<std::size_t>(node)];
      int i = 0;
      while (i + 1 < inner.Count && offset >= inner.Size[i]) offset -= inner.Size[i++];
      node = inner.Child[i];
    }
    return node;
  }

  std::int32_t NewLeaf() {
    if (!fFreeLeaves.empty()) {
      const std::int32_t id = fFreeLeaves.back();
      fFreeLeaves.pop_back();
      TLeaf& leaf = fLeaves[static_cast<std::size_t>(id)];
      leaf.Count = 0;
      leaf.Prev = leaf.Next = -1;
      fLeafUp[static_cast<std::size_t>(id)] = {-1, 0};
      return id;
    }
    fLeaves.emplace_back();
    fLeafUp.push_back({-1, 0});
    return static_cast<std::int32_t>(fLeaves.size() - 1);
  }
  std::int32_t NewInner() {
    if (!fFreeInners.empty()) {
      const std::int32_t id = fFreeInners.back();
      fFreeInners.pop_back();
      TInner& inner = fInners[static_cast<std::size_t>(id)];
      inner.Count = 0;
      inner.Parent = -1;
      inner.Slot = 0;
      return id;
    }
    fInners.emplace_back();
    return static_cast<std::int32_t>(fInners.size() - 1);
  }
  void FreeLeaf(std::int32_t id) {
    TLeaf& leaf = fLeaves[static_cast<std::size_t>(id)];
    if (leaf.Prev >= 0) fLeaves[static_cast<std::size_t>(leaf.Prev)].Next = leaf.Next;
    if (leaf.Next >= 0) fLeaves[static_cast<std::size_t>(leaf.Next)].Prev = leaf.Prev;
    leaf.Count = -1;
    fFreeLeaves.push_back(id);
  }
  void FreeInner(std::int32_t id) {
    fInners[static_cast<std::size_t>(id)].Count = -1;
    fFreeInners.push_back(id);
  }

  void NewFirstLeaf(const TEntry& entry) {
    fIdentity = false;
    const std::int32_t id = NewLeaf();
    TLeaf& leaf = fLeaves[static_cast<std::size_t>(id)];
    leaf.Code[0] = entry.Code;
    leaf.Row[0] = entry.Row;
    leaf.Count = 1;
    fLeafOf[static_cast<std::size_t>(entry.Row)] = id;
    fRoot = id;
    fHeight = 0;
    ++fCount;
  }

  static void EraseChild(TInner& inner, int i) {
    const int n = inner.Count;
    std::copy(inner.Code + i + 1, inner.Code + n, inner.Code + i);
    std::copy(inner.Row + i + 1, inner.Row + n, inner.Row + i);
    std::copy(inner.Child + i + 1, inner.Child + n, inner.Child + i);
    std::copy(inner.Size + i + 1, inner.Size + n, inner.Size + i);
    --inner.Count;
  }
  static void InsertChild(TInner& inner, int i, std::int32_t child, int size, const TEntry& last) {
    const int n = inner.Count;
    std::copy_backward(inner.Code + i, inner.Code + n, inner.Code + n + 1);
    std::copy_backward(inner.Row + i, inner.Row + n, inner.Row + n + 1);
    std::copy_backward(inner.Child + i, inner.Child + n, inner.Child + n + 1);
    std::copy_backward(inner.Size + i, inner.Size + n, inner.Size + n + 1);
    inner.Code[i] = last.Code;
    inner.Row[i] = last.Row;
    inner.Child[i] = child;
    inner.Size[i] = size;
    ++inner.Count;
  }

  // Puts an entry at `at` in a leaf whose ancestors already count it and know it as a last entry
  // where it is one.
  void PutInLeaf(std::int32_t id, int at, const TEntry& entry) {
    TLeaf& leaf = fLeaves[static_cast<std::size_t>(id)];
    std::copy_backward(leaf.Code + at, leaf.Code + leaf.Count, leaf.Code + leaf.Count + 1);
    std::copy_backward(leaf.Row + at, leaf.Row + leaf.Count, leaf.Row + leaf.Count + 1);
    leaf.Code[at] = entry.Code;
    leaf.Row[at] = entry.Row;
    ++leaf.Count;
    fLeafOf[static_cast<std::size_t>(entry.Row)] = id;
    ++fCount;
    if (leaf.Count > LeafMax) SplitLeaf(id, at);
  }

  void SplitLeaf(std::int32_t id, int at) {
    const std::int32_t newId = NewLeaf();
    TLeaf& full = fLeaves[static_cast<std::size_t>(id)];  // NewLeaf may have moved the leaves
    TLeaf& half = fLeaves[static_cast<std::size_t>(newId)];
    // Appending in key order fills each leaf: the new one takes the new entry alone.
    const int keep = at == LeafMax && full.Next < 0 ? LeafMax : (LeafMax + 1) / 2;
    half.Count = full.Count - keep;
    std::copy(full.Code + keep, full.Code + full.Count, half.Code);
    std::copy(full.Row + keep, full.Row + full.Count, half.Row);
    full.Count = keep;
    for (int i = 0; i < half.Count; ++i) fLeafOf[static_cast<std::size_t>(half.Row[i])] = newId;
    half.Next = full.Next;
    half.Prev = id;
    if (full.Next >= 0) fLeaves[static_cast<std::size_t>(full.Next)].Prev = newId;
    full.Next = newId;
    AddSibling(id, 0, newId, half.Count, {full.Code[keep - 1], full.Row[keep - 1]}, keep);
  }

  // Node `left` at `height` gave its upper part to the new node `right` (right of it), leaving
  // `leftSize` entries ending with `leftLast`.
  void AddSibling(std::int32_t left, int height, std::int32_t right, int rightSize, const TEntry& leftLast, int leftSize) {
    const std::int32_t parent = height == 0 ? fLeafUp[static_cast<std::size_t>(left)].Parent
                                            : fInners[static_cast<std::size_t>(left)].Parent;
    if (parent < 0) {
      const std::int32_t root = NewInner();
      TInner& node = fInners[static_cast<std::size_t>(root)];
      node.Count = 2;
      node.Child[0] = left;
      node.Child[1] = right;
      node.Size[0] = leftSize;
      node.Size[1] = rightSize;
      node.Code[0] = leftLast.Code;
      node.Row[0] = leftLast.Row;
      const TEntry last = LastOf(right, height);
      node.Code[1] = last.Code;
      node.Row[1] = last.Row;
      SetParent(left, height, root, 0);
      SetParent(right, height, root, 1);
      fRoot = root;
      fHeight = height + 1;
      return;
    }
    TInner& inner = fInners[static_cast<std::size_t>(parent)];
    const int i = height == 0 ? fLeafUp[static_cast<std::size_t>(left)].Slot : fInners[static_cast<std::size_t>(left)].Slot;
    // The left node's last entry in the parent is the right one's now.
    InsertChild(inner, i + 1, right, rightSize, {inner.Code[i], inner.Row[i]});
    SetParent(right, height, parent, i + 1);
    RenumberSlots(inner, i + 2, height);
    inner.Code[i] = leftLast.Code;
    inner.Row[i] = leftLast.Row;
    inner.Size[i] = leftSize;
    if (inner.Count <= InnerMax) return;
    // Split the parent in halves.
    const std::int32_t newId = NewInner();
    TInner& full = fInners[static_cast<std::size_t>(parent)];
    TInner& half = fInners[static_cast<std::size_t>(newId)];
    const int keep = (InnerMax + 1) / 2;
    half.Count = full.Count - keep;
    std::copy(full.Code + keep, full.Code + full.Count, half.Code);
    std::copy(full.Row + keep, full.Row + full.Count, half.Row);
    std::copy(full.Child + keep, full.Child + full.Count, half.Child);
    std::copy(full.Size + keep, full.Size + full.Count, half.Size);
    full.Count = keep;
    int halfSize = 0, keptSize = 0;
    for (int c = 0; c < half.Count; ++c) {
      SetParent(half.Child[c], height, newId, c);
      halfSize += half.Size[c];
    }
    for (int c = 0; c < keep; ++c) keptSize += full.Size[c];
    AddSibling(parent, height + 1, newId, halfSize, {full.Code[keep - 1], full.Row[keep - 1]}, keptSize);
  }

  bool fIdentity = true;
  int fCount = 0;
  std::int32_t fRoot = -1;  // a leaf when fHeight is 0
  int fHeight = 0;
  TBigArray<TLeaf> fLeaves;              // by id; Count -1: free
  TBigArray<TInner> fInners;             // by id; Count -1: free
  struct TUp {
    std::int32_t Parent;
    std::int32_t Slot;
  };
  // By leaf id, apart from the leaves: a removal reaches the parent's count without waiting for
  // the leaf.
  TBigArray<TUp> fLeafUp;
  TBigArray<std::int32_t> fLeafOf;        // by storage row: leaf id (-1: not placed)
  std::vector<std::int32_t> fFreeLeaves;
  std::vector<std::int32_t> fFreeInners;
};

// Leaves of 64 entries: a placement reads about a kilobyte of the leaf it lands in, and a whole
// sort of a million records makes about 21,000 of them under some 450 inner nodes.
class TQrsOrder : public TQrsTree<64, 64> {};

}  // namespace zv::qrsdetail
