#include "platform/classes/Lists.h"

#include "ExpectMessage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {

using zvtest::MessageOf;

void* P(std::intptr_t v) { return reinterpret_cast<void*>(v); }
std::intptr_t V(void* p) { return reinterpret_cast<std::intptr_t>(p); }

std::vector<std::intptr_t> Values(const TList& list) {
  std::vector<std::intptr_t> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(V(list.Items(i)));
  return out;
}

class RecordingList : public TList {
public:
  std::vector<std::pair<std::intptr_t, TListNotification>> events;

protected:
  void Notify(void* ptr, TListNotification action) override { events.emplace_back(V(ptr), action); }
};

TEST(ListsTest, IndexErrorsCarryTheHostMessageAndIndex) {
  TList list;
  EXPECT_EQ(MessageOf<EListError>([&] { list.Items(0); }), "List index out of bounds (0)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.First(); }), "List index out of bounds (0)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Last(); }), "List index out of bounds (-1)");
  list.Add(P(1));
  list.Insert(1, P(2));  // inserting at Count appends
  EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(3, P(3)); }), "List index out of bounds (3)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(-1, P(3)); }), "List index out of bounds (-1)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Delete(2); }), "List index out of bounds (2)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.SetItems(-1, nullptr); }), "List index out of bounds (-1)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Exchange(0, 5); }), "List index out of bounds (5)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Move(0, 2); }), "List index out of bounds (2)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Move(7, 0); }), "List index out of bounds (7)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.SetCapacity(1); }), "List capacity out of bounds (1)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.SetCount(-1); }), "List count out of bounds (-1)");
  EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{1, 2}));  // failed calls changed nothing
}

TEST(ListsTest, EditingKeepsOrderAndReportsIndexes) {
  TList list;
  for (int v : {10, 20, 30}) list.Add(P(v));
  list.Insert(0, P(5));
  list.Insert(2, P(15));
  EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{5, 10, 15, 20, 30}));
  EXPECT_EQ(list.IndexOf(P(20)), 3);
  EXPECT_EQ(list.IndexOf(P(99)), -1);
  EXPECT_EQ(list.Remove(P(10)), 1);
  EXPECT_EQ(list.Remove(P(10)), -1);
  EXPECT_EQ(list.Extract(P(30)), P(30));
  EXPECT_EQ(list.Extract(P(30)), nullptr);
  list.Delete(0);
  EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{15, 20}));
  EXPECT_EQ(list.First(), P(15));
  EXPECT_EQ(list.Last(), P(20));
}

TEST(ListsTest, MoveExchangePackAndCount) {
  TList list;
  for (int v = 1; v <= 5; ++v) list.Add(P(v));
  list.Move(0, 3);
  EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{2, 3, 4, 1, 5}));
  list.Move(4, 1);
  EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{2, 5, 3, 4, 1}));
  list.Exchange(0, 4);
  EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{1, 5, 3, 4, 2}));

  list.SetCount(8);  // grows with nulls
  EXPECT_EQ(list.Items(7), nullptr);
  list.SetItems(1, nullptr);
  list.Pack();
  EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{1, 3, 4, 2}));
  list.SetCount(2);
  EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{1, 3}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(ListsTest, GrowsInTheHostSteps) {
  TList list;
  std::vector<int> capacities;
  for (int i = 0; i < 100; ++i) {
    list.Add(P(i));
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  // 4 at a time up to 8, then 16 at a time up to 64, then a quarter.
  EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
  TList full;
  full.SetCapacity(3);
  for (int i = 0; i < 3; ++i) full.Add(P(i));
  EXPECT_EQ(full.Expand(), &full);
  EXPECT_EQ(full.Capacity(), 7);
  EXPECT_EQ(full.Expand()->Capacity(), 7);  // not full: unchanged
}

TEST(ListsTest, NotifiesAdditionsRemovalsAndExtractions) {
  using E = std::vector<std::pair<std::intptr_t, TListNotification>>;
  RecordingList list;
  list.Add(P(1));
  list.Add(nullptr);  // nulls are never reported
  list.Insert(0, P(2));
  list.SetItems(0, P(3));  // replaces: the old one leaves, the new one enters
  list.SetItems(0, P(3));  // same item: nothing
  list.Extract(P(1));
  list.Move(0, 1);  // moving is not leaving
  list.Clear();
  EXPECT_EQ(list.events, (E{{1, lnAdded},
                            {2, lnAdded},
                            {2, lnDeleted},
                            {3, lnAdded},
                            {1, lnExtracted},
                            {3, lnDeleted}}));
}

TEST(ListsTest, SortOrdersAndSurvivesBadComparisons) {
  TList list;
  std::mt19937 rng(7);
  std::vector<std::intptr_t> expected;
  for (int i = 0; i < 500; ++i) {
    const std::intptr_t v = static_cast<std::intptr_t>(rng() % 50);  // many equal items
    expected.push_back(v);
    list.Add(P(v));
  }
  list.Sort([](void* a, void* b) { return V(a) < V(b) ? -1 : V(a) > V(b) ? 1 : 0; });
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Values(list), expected);

  // An inconsistent comparison must neither run off the list nor lose items.
  list.Sort([&](void*, void*) { return static_cast<int>(rng() % 3) - 1; });
  auto shuffled = Values(list);
  std::sort(shuffled.begin(), shuffled.end());
  EXPECT_EQ(shuffled, expected);
}

struct Tracked : TObject {
  explicit Tracked(int& destroyed) : destroyed(destroyed) {}
  ~Tracked() override { ++destroyed; }
  int& destroyed;
};

TEST(ListsTest, ObjectListOwnsWhatItDeletesButNotWhatItExtracts) {
  int destroyed = 0;
  const auto kept = std::make_unique<Tracked>(destroyed);
  {
    TObjectListOf<Tracked> list;
    for (int i = 0; i < 3; ++i) list.Add(new Tracked(destroyed));
    list.Add(kept.get());
    list.Delete(0);
    EXPECT_EQ(destroyed, 1);
    list.SetItems(0, new Tracked(destroyed));  // the replaced item goes
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(list.Extract(kept.get()), kept.get());
    EXPECT_EQ(list.Count(), 2);
  }
  EXPECT_EQ(destroyed, 4);  // the extracted one is still ours

  destroyed = 0;
  Tracked a(destroyed);
  {
    TObjectListOf<Tracked> borrowed(false);
    borrowed.Add(&a);
    EXPECT_EQ(borrowed.IndexOf(&a), 0);
    EXPECT_EQ(borrowed.First(), &a);
  }
  EXPECT_EQ(destroyed, 0);
}

}  // namespace
}  // namespace zv
