#pragma once
// TBookmarkSet: a set of a dataset's records, made by TDataSet::CreateBookmarkSet.
//
// Membership, counting, adding and removing one record work on the bookmark's bytes and never
// ask the dataset. Whatever needs the records' order (a range, all records, a rank, the members
// in order, dropping the gone, deleting) asks the dataset, which answers without moving its
// cursor where it can: the memory table from its rows, the SQL datasets with one query each;
// TDataSet's defaults walk the records and put the cursor back.
//
// A set over a query whose bookmarks are positions in one reading empties itself when the
// dataset reads the query again (a refresh, a new order): the positions then name other rows.

#include "platform/db/DBTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace zv {

class TDataSet;
namespace detail {
struct TBookmarkSetData;
}

class TBookmarkSet {
public:
  explicit TBookmarkSet(TDataSet& dataSet);
  ~TBookmarkSet();
  TBookmarkSet(const TBookmarkSet&) = delete;
  TBookmarkSet& operator=(const TBookmarkSet&) = delete;

  TDataSet& DataSet() const { return *fDataSet; }

  // From the bytes alone.
  bool Contains(const TBookmarkStr& bookmark) const;
  std::int64_t Count() const;
  bool Empty() const { return Count() == 0; }
  // Whether the set changed; an empty bookmark changes nothing.
  bool Add(const TBookmarkStr& bookmark);
  bool Remove(const TBookmarkStr& bookmark);
  void Clear();

  // From the dataset, its cursor and links left alone.
  // The records from one bookmark to the other in the dataset's order, both included, either
  // way round; nothing when either record is gone.
  void AddRange(const TBookmarkStr& from, const TBookmarkStr& to);
  void AddAll();
  // A record's 0-based place in the dataset's order; -1 when it is gone.
  std::int64_t Rank(const TBookmarkStr& bookmark) const;
  // The members in the dataset's order, the first skip left out, at most count of them. after,
  // when given, is the member just before the first wanted (the last of the items asked
  // before), from which the dataset reads on instead of counting skip members again.
  std::vector<TBookmarkStr> Items(std::int64_t skip, std::size_t count, const TBookmarkStr& after = {}) const;
  // Drops the members whose records are gone; returns how many.
  std::int64_t Purge();
  // Deletes the members' records (a pending edit is posted first). Without BeforeDelete,
  // AfterDelete or OnDeleteError handlers, in one transaction with one change notification; an
  // error then deletes nothing. With them, record by record as Delete does, stopping at an
  // error. Records that are gone are skipped. The deleted leave the set.
  void DeleteRecords();

  // The storage, for datasets that fill or read it.
  // Integer bookmarks are held as numbers, in runs (TDataSet::BookmarkNumber).
  void AddNumbers(std::int64_t first, std::int64_t last);
  void EachRun(const std::function<void(std::int64_t first, std::int64_t last)>& f) const;
  // The members that are not numbers.
  void EachBytes(const std::function<void(const TBookmarkStr&)>& f) const;
  // Every member as a bookmark, in no particular order.
  void EachBookmark(const std::function<void(const TBookmarkStr&)>& f) const;
  // How it is held: runs of numbers or a bitmap, and about how many bytes.
  bool IsBitmap() const;
  std::size_t RunCount() const;
  std::size_t MemoryBytes() const;

private:
  // Empties the set when the dataset's bookmarks stopped naming the same records.
  void Sync() const;
  TDataSet* fDataSet;
  std::unique_ptr<detail::TBookmarkSetData> d;
};

}  // namespace zv
