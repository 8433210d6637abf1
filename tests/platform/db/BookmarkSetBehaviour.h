#pragma once
// Bookmark sets on every dataset of the behaviour suite: membership from the bytes, ranges and
// order from the dataset without moving it, and the records gone or deleted. Included by
// DataSetBehaviour.h with its tests.

#include "platform/db/BookmarkSet.h"

#include <algorithm>

namespace zvtest {

// Every record's bookmark in the order, read moving forward.
inline std::vector<TBookmarkStr> AllMarks(TDataSet& ds) {
  std::vector<TBookmarkStr> marks;
  for (ds.First(); !ds.Eof(); ds.Next()) marks.push_back(ds.Bookmark());
  return marks;
}

TEST_P(DataSetBehaviour, BookmarkSetsTestMembershipByTheBytesAlone) {
  Open(20, 5);
  const std::vector<TBookmarkStr> marks = AllMarks(DS());
  // A record's bookmark is the same bytes however the cursor reached it.
  DS().Last();
  for (int i = 19; i >= 0; --i, DS().Prior()) EXPECT_EQ(DS().Bookmark(), marks[static_cast<std::size_t>(i)]) << i;
  DS().GotoBookmark(marks[7]);
  EXPECT_EQ(DS().Bookmark(), marks[7]);
  DS().SetRecNo(4);
  EXPECT_EQ(DS().Bookmark(), marks[3]);

  auto set = DS().CreateBookmarkSet();
  const long long statements = GetParam().StatementsRun ? GetParam().StatementsRun(DS()) : 0;
  EXPECT_TRUE(set->Add(marks[3]));
  EXPECT_FALSE(set->Add(marks[3]));
  EXPECT_FALSE(set->Add({}));
  EXPECT_TRUE(set->Add(marks[5]));
  EXPECT_TRUE(set->Contains(marks[3]));
  EXPECT_FALSE(set->Contains(marks[4]));
  EXPECT_EQ(set->Count(), 2);
  EXPECT_TRUE(set->Remove(marks[3]));
  EXPECT_FALSE(set->Remove(marks[3]));
  EXPECT_EQ(set->Count(), 1);
  if (GetParam().StatementsRun) { EXPECT_EQ(GetParam().StatementsRun(DS()), statements); }
}

TEST_P(DataSetBehaviour, BookmarkSetsTakeRangesAndListInOrderWithoutMoving) {
  Open(30, 5);
  const std::vector<TBookmarkStr> marks = AllMarks(DS());
  DS().GotoBookmark(marks[10]);
  int scrolls = 0;
  DS().AfterScroll = [&](TDataSet*) { ++scrolls; };
  fLog.clear();
  auto slice = [&](int from, int to) {
    return std::vector<TBookmarkStr>(marks.begin() + from, marks.begin() + to + 1);
  };
  struct Case {
    int From, To;
  };
  for (const Case c : {Case{3, 7}, Case{7, 3}, Case{5, 5}, Case{0, 29}}) {
    SCOPED_TRACE(std::to_string(c.From) + ".." + std::to_string(c.To));
    auto set = DS().CreateBookmarkSet();
    set->AddRange(marks[static_cast<std::size_t>(c.From)], marks[static_cast<std::size_t>(c.To)]);
    const int lo = std::min(c.From, c.To), hi = std::max(c.From, c.To);
    EXPECT_EQ(set->Count(), hi - lo + 1);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(set->Contains(marks[static_cast<std::size_t>(i)]), i >= lo && i <= hi) << i;
    EXPECT_EQ(set->Items(0, 100), slice(lo, hi));
    if (hi - lo >= 3) { EXPECT_EQ(set->Items(2, 2), slice(lo + 2, lo + 3)); }
  }
  auto all = DS().CreateBookmarkSet();
  all->AddAll();
  EXPECT_EQ(all->Count(), 30);
  for (const int i : {0, 9, 29}) EXPECT_EQ(all->Rank(marks[static_cast<std::size_t>(i)]), i);
  auto some = DS().CreateBookmarkSet();
  for (const int i : {20, 2, 11}) some->Add(marks[static_cast<std::size_t>(i)]);
  EXPECT_EQ(some->Items(0, 10), (std::vector<TBookmarkStr>{marks[2], marks[11], marks[20]}));
  EXPECT_EQ(some->Items(1, 1), (std::vector<TBookmarkStr>{marks[11]}));
  // Read on from the item before: the same items as counting from the start.
  EXPECT_EQ(some->Items(2, 5, marks[11]), (std::vector<TBookmarkStr>{marks[20]}));
  EXPECT_EQ(all->Items(10, 3, marks[9]), slice(10, 12));
  EXPECT_EQ(DS().Bookmark(), marks[10]);
  EXPECT_EQ(scrolls, 0);
  for (const std::string& heard : fLog) EXPECT_EQ(heard.find("Scrolled"), std::string::npos) << heard;
}

TEST_P(DataSetBehaviour, BookmarkSetsDropGoneRecordsAndDeleteTheirOwn) {
  Open(20, 5);
  const std::vector<TBookmarkStr> marks = AllMarks(DS());
  auto set = DS().CreateBookmarkSet();
  // The last record goes: no other record's place changes (some datasets' bookmarks carry it).
  for (const int i : {2, 6, 8, 19}) set->Add(marks[static_cast<std::size_t>(i)]);
  DS().GotoBookmark(marks[19]);
  DS().Delete();
  EXPECT_TRUE(set->Contains(marks[19]));  // bytes only, until purged
  auto towardsGone = DS().CreateBookmarkSet();
  towardsGone->AddRange(marks[1], marks[19]);
  EXPECT_EQ(towardsGone->Count(), 0);
  EXPECT_EQ(set->Purge(), 1);
  EXPECT_EQ(set->Count(), 3);
  set->Add(marks[19]);  // a gone record is skipped when deleting

  // One transaction, one notification.
  DS().GotoBookmark(marks[10]);
  fLog.clear();
  set->DeleteRecords();
  EXPECT_TRUE(set->Empty());
  EXPECT_EQ(DS().RecordCount(), 16);
  for (const int i : {2, 6, 8}) EXPECT_FALSE(DS().BookmarkValid(marks[static_cast<std::size_t>(i)])) << i;
  EXPECT_EQ(Id(), 11);
  // A dataset that answers no bookmark set itself is walked record by record (TDataSet's
  // default), with the notifications of its deletes; the others tell their links once.
  const bool walked = DS().ClassName() == "TObjDataSet";
  const auto told = std::count(fLog.begin(), fLog.end(), "link: DataSetChanged");
  if (walked)
    EXPECT_GE(told, 1);
  else
    EXPECT_EQ(told, 1);

  // With a delete handler: record by record, each with its events; the pending edit is posted
  // first.
  DS().Edit();
  DS().FieldByName("NAME")->SetAsString("Posted");
  auto handled = DS().CreateBookmarkSet();
  handled->Add(marks[0]);
  handled->Add(marks[1]);
  int deletes = 0;
  DS().BeforeDelete = [&](TDataSet*) { ++deletes; };
  handled->DeleteRecords();
  EXPECT_EQ(deletes, 2);
  EXPECT_EQ(DS().RecordCount(), 14);
  EXPECT_TRUE(handled->Empty());
  EXPECT_TRUE(DS().Locate("ID", Variant(11)));
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "Posted");
}

}  // namespace zvtest
