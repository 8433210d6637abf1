// The quick record set: storage kept in step, the sort order through every change, bookmarks,
// search and lookup, exchange with field definitions, datasets and other sets, bad input.

#include "QuickRecordSetTestUtil.h"

#include "platform/db/DBConsts.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/detail/QrsOrder.h"
#include "runtime/rtm/ZvErrors.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <optional>
#include <random>
#include <set>

using namespace zvtest;

namespace {

// Id (integer) and Tag (text "t<Id>"): a record's cells must stay together.
struct TTaggedSet {
  TvpQuickRecordSet rs;
  int next = 0;
  TTaggedSet() {
    rs.Fields()->Add("Id", ftInteger);
    rs.Fields()->Add("Tag", ftString, 10);
  }
  void Fill(int row) {  // the record at storage row; written cells count once the order is re-applied
    rs.Fields()->Items(0)->Cells(row)->SetAsInteger(next);
    rs.Fields()->Items(1)->Cells(row)->SetAsString("t" + std::to_string(next));
    ++next;
    rs.UpdateIndex();
  }
  void Check() const {
    ExpectInStep(rs);
    for (int pos = 0; pos < rs.RecordCount(); ++pos) {
      const TvpUniValue* id = rs.GetData("Id", pos);
      const TvpUniValue* tag = rs.GetData("Tag", pos);
      if (id->IsNull())
        EXPECT_TRUE(tag->IsNull());
      else
        EXPECT_EQ(tag->AsString(), "t" + std::to_string(id->AsInteger()));
    }
  }
  bool SortedDescending() const {
    for (int pos = 1; pos < rs.RecordCount(); ++pos)
      if (rs.GetData("Id", pos - 1)->CompareWith(*rs.GetData("Id", pos), true, true) < 0) return false;
    return true;
  }
};

struct TStorageOp {
  const char* name;
  std::function<void(TTaggedSet&)> run;
};

std::vector<TStorageOp> StorageOps() {
  return {
      {"add", [](TTaggedSet& t) { t.rs.AddRecord(); t.Fill(t.rs.RecordCount() - 1); }},
      {"insert at 0", [](TTaggedSet& t) { t.rs.InsertRecord(0); t.Fill(0); }},
      {"insert inside", [](TTaggedSet& t) { t.rs.InsertRecord(2); t.Fill(2); }},
      {"insert at end", [](TTaggedSet& t) { t.rs.InsertRecord(t.rs.RecordCount()); t.Fill(t.rs.RecordCount() - 1); }},
      {"delete first", [](TTaggedSet& t) { t.rs.DeleteRecord(0); }},
      {"delete inside", [](TTaggedSet& t) { t.rs.DeleteRecord(2); }},
      {"delete last", [](TTaggedSet& t) { t.rs.DeleteRecord(t.rs.RecordCount() - 1); }},
      {"move down", [](TTaggedSet& t) { t.rs.MoveRecord(0, 3); }},
      {"move up", [](TTaggedSet& t) { t.rs.MoveRecord(4, 1); }},
      {"null record", [](TTaggedSet& t) { t.rs.AddRecord(); }},
  };
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Storage

TEST(QuickRecordSetStorage, EveryChangeKeepsColumnsBookmarksAndOrderInStep) {
  for (const char* sort : {"", "Id desc"}) {
    for (const bool bracket : {false, true}) {
      SCOPED_TRACE(std::string("sort '") + sort + "'" + (bracket ? " in a bracket" : ""));
      TTaggedSet t;
      for (int i = 0; i < 6; ++i) StorageOps()[0].run(t);
      t.rs.SetSortString(sort);
      if (bracket) t.rs.BeginUpdate();
      for (const TStorageOp& op : StorageOps()) {
        SCOPED_TRACE(op.name);
        op.run(t);
        t.Check();
        if (*sort && !bracket) {
          EXPECT_TRUE(t.SortedDescending());
        }
      }
      if (bracket) {
        t.rs.EndUpdate();
        t.Check();
        if (*sort) {
          EXPECT_TRUE(t.SortedDescending());
        }
      }
      EXPECT_EQ(t.rs.RecordCount(), 8);
    }
  }
}

TEST(QuickRecordSetStorage, StorageRowsMoveAsAListDoes) {
  TTaggedSet t;
  for (int i = 0; i < 5; ++i) StorageOps()[0].run(t);  // t0..t4
  t.rs.MoveRecord(0, 3);
  EXPECT_EQ(ColumnTexts(t.rs, "Tag"), (std::vector<std::string>{"t1", "t2", "t3", "t0", "t4"}));
  t.rs.MoveRecord(4, 0);
  EXPECT_EQ(ColumnTexts(t.rs, "Tag"), (std::vector<std::string>{"t4", "t1", "t2", "t3", "t0"}));
  t.rs.InsertRecord(1);
  t.rs.DeleteRecord(2);
  EXPECT_EQ(ColumnTexts(t.rs, "Tag"), (std::vector<std::string>{"t4", NullText, "t2", "t3", "t0"}));
}

TEST(QuickRecordSetStorage, ColumnsJoinWithNullsAndTheLastToLeaveEmptiesTheSet) {
  TTaggedSet t;
  for (int i = 0; i < 3; ++i) StorageOps()[0].run(t);
  TvpQRSField* added = t.rs.Fields()->Add("Note", ftMemo);
  auto* made = new TvpQRSField(t.rs.Fields());  // made with its collection
  auto* joined = static_cast<TvpQRSField*>(t.rs.Fields()->TCollection::Add());  // made, then put in
  for (TvpQRSField* column : {added, made, joined}) {
    ASSERT_EQ(column->Count(), 3);
    for (int row = 0; row < 3; ++row) {
      EXPECT_TRUE(column->Cells(row)->IsNull());
      EXPECT_FALSE(column->Cells(row)->StoreDataType());
      EXPECT_EQ(column->Cells(row)->DataType(), column->DataType());
    }
  }
  EXPECT_EQ(made->GetRecordSet(), &t.rs);
  t.Check();

  t.rs.Fields()->Items(0)->SetDataType(ftString);  // a new type empties the column
  EXPECT_EQ(ColumnTexts(t.rs, "Id"), (std::vector<std::string>(3, NullText)));
  EXPECT_EQ(t.rs.Fields()->Items(0)->Cells(0)->DataType(), ftString);

  delete made;
  t.rs.Fields()->Delete(0);
  EXPECT_EQ(t.rs.RecordCount(), 3);
  while (t.rs.Fields()->Count() > 0) delete t.rs.Fields()->Items(0);
  EXPECT_EQ(t.rs.RecordCount(), 0);

  TTaggedSet u;
  for (int i = 0; i < 3; ++i) StorageOps()[0].run(u);
  u.rs.Fields()->Clear();
  EXPECT_EQ(u.rs.RecordCount(), 0);
  u.rs.Fields()->Add("A", ftInteger);
  u.rs.AddRecord();
  ExpectInStep(u.rs);
}

TEST(QuickRecordSetStorage, BadInputRaisesTheHostErrorsAndChangesNothing) {
  TTaggedSet t;
  for (int i = 0; i < 3; ++i) StorageOps()[0].run(t);
  const std::vector<std::pair<const char*, std::function<void()>>> outOfRange = {
      {"GetData -1", [&] { t.rs.GetData("Id", -1); }},
      {"GetData count", [&] { t.rs.GetData("Id", 3); }},
      {"InsertRecord past the end", [&] { t.rs.InsertRecord(4); }},
      {"DeleteRecord count", [&] { t.rs.DeleteRecord(3); }},
      {"DeleteRecord -1", [&] { t.rs.DeleteRecord(-1); }},
      {"MoveRecord to count", [&] { t.rs.MoveRecord(0, 3); }},
      {"BookmarkOf count", [&] { t.rs.BookmarkOf(3); }},
      {"column Cells", [&] { t.rs.Fields()->Items(0)->Cells(3); }},
      {"column Delete", [&] { t.rs.Fields()->Items(0)->Delete(7); }},
      {"IndexOfRec start", [&] { t.rs.IndexOfRec("Id", 1, {}, 4); }},
      {"Append past the source", [&] { t.rs.Append(t.rs, 2, 2); }},
  };
  for (const auto& [name, fn] : outOfRange) {
    SCOPED_TRACE(name);
    EXPECT_THROW(fn(), EListError);
    t.Check();
    EXPECT_EQ(t.rs.RecordCount(), 3);
  }

  const std::string notFound = Format(SFieldNotFound, {"Nope"});
  EXPECT_EQ(ErrorOf<EZVError>([&] { t.rs.FieldByName("Nope"); }), notFound);
  EXPECT_EQ(ErrorOf<EZVError>([&] { t.rs.GetData("Nope", 0); }), notFound);
  EXPECT_EQ(ErrorOf<EZVError>([&] { t.rs.IndexOfRec("Id;Nope", VarArrayOf({1, 2})); }), notFound);
  EXPECT_EQ(t.rs.FindField("nope"), nullptr);
  EXPECT_EQ(t.rs.FieldByName("TAG"), t.rs.Fields()->Items(1));

  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { t.rs.Fields()->Add("ID", ftString); }), Format(SDuplicateFieldName, {"ID"}));
  EXPECT_EQ(t.rs.Fields()->Count(), 2);
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { t.rs.Fields()->Items(1)->SetFieldName("iD"); }),
            Format(SDuplicateFieldName, {"iD"}));
  EXPECT_EQ(t.rs.Fields()->Items(1)->FieldName(), "Tag");
  t.rs.Fields()->Items(1)->SetFieldName("TAG");  // its own name in another case is no duplicate
  EXPECT_EQ(t.rs.Fields()->Items(1)->FieldName(), "TAG");

  EXPECT_THROW(t.rs.Fields()->Items(1)->SetSize(-1), EZVError);
  EXPECT_THROW(t.rs.Fields()->Items(1)->SetPrecision(-2), EZVError);
  EXPECT_THROW(t.rs.Fields()->Add("Neg", ftString, -1), EZVError);
  EXPECT_EQ(t.rs.Fields()->Items(1)->Size(), 10);
  EXPECT_EQ(t.rs.Fields()->Items(1)->Precision(), 0);
  EXPECT_EQ(t.rs.Fields()->Count(), 2);
}

// Cells of every size a column meets (fixed ones, then longer and shorter ones, then nulls) stay
// with their records through every storage change; a cell handed out is the same until then.
TEST(QuickRecordSetStorage, CellsOfChangingSizesStayWithTheirRecords) {
  for (const TFieldType type : {ftString, ftBytes, ftMemo, ftWideString}) {
    SCOPED_TRACE(FieldTypeName(type));
    TvpQuickRecordSet rs;
    rs.Fields()->Add("V", type, 100);
    std::vector<std::string> expected;
    const std::vector<std::string> values = {"abcd", "efgh", std::string(90, 'x'), "", "ij", "klmn"};
    for (std::size_t i = 0; i < values.size(); ++i) {
      rs.AddRecord();
      if (!values[i].empty()) rs.GetData("V", static_cast<int>(i))->SetAsString(values[i]);
      expected.push_back(values[i].empty() ? NullText : values[i]);
    }
    TvpUniValue* cell = rs.GetData("V", 1);
    EXPECT_EQ(rs.GetData("V", 1), cell);
    cell->SetAsString("a longer text than before");
    expected[1] = "a longer text than before";
    rs.InsertRecord(2);
    expected.insert(expected.begin() + 2, NullText);
    rs.MoveRecord(0, 4);
    std::rotate(expected.begin(), expected.begin() + 1, expected.begin() + 5);
    rs.DeleteRecord(3);
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(ColumnTexts(rs, "V"), expected);
    ExpectInStep(rs);
  }
}

// ---------------------------------------------------------------------------------------------
// Order

namespace {

TvpQuickRecordSet& People(TvpQuickRecordSet& rs) {
  rs.Fields()->Add("Name", ftString, 20);
  rs.Fields()->Add("Age", ftInteger);
  AddRows(rs, {{"Bob", "30"}, {"alice", "25"}, {"Carl", nullptr}, {nullptr, "40"}, {"Bob", "20"}});
  return rs;
}

std::vector<std::string> Rows(const TvpQuickRecordSet& rs) {
  std::vector<std::string> out;
  const auto names = ColumnTexts(rs, "Name"), ages = ColumnTexts(rs, "Age");
  for (std::size_t i = 0; i < names.size(); ++i) out.push_back(names[i] + "/" + ages[i]);
  return out;
}

}  // namespace

TEST(QuickRecordSetOrder, SortStringOrdersByItsColumnsWithNullsFirstAscending) {
  struct Case {
    const char* sort;
    const char* stored;
    std::vector<std::string> rows;
  };
  const std::vector<Case> cases = {
      {"", "", {"Bob/30", "alice/25", "Carl/<null>", "<null>/40", "Bob/20"}},
      {"Age", "Age", {"Carl/<null>", "Bob/20", "alice/25", "Bob/30", "<null>/40"}},
      {"Age desc", "Age desc", {"<null>/40", "Bob/30", "alice/25", "Bob/20", "Carl/<null>"}},
      {"Name desc, Age", "Name desc, Age", {"Carl/<null>", "Bob/20", "Bob/30", "alice/25", "<null>/40"}},
      {"  NAME DESC ,  age ASC  ", "NAME DESC ,  age ASC", {"Carl/<null>", "Bob/20", "Bob/30", "alice/25", "<null>/40"}},
      {"Name,Age Desc", "Name,Age Desc", {"<null>/40", "alice/25", "Bob/30", "Bob/20", "Carl/<null>"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sort);
    TvpQuickRecordSet rs;
    People(rs);
    rs.SetSortString(c.sort);
    EXPECT_EQ(rs.SortString(), c.stored);
    EXPECT_EQ(Rows(rs), c.rows);
    ExpectInStep(rs);
  }
}

TEST(QuickRecordSetOrder, AFailingTextKeepsThePreviousTextAndOrder) {
  TvpQuickRecordSet rs;
  People(rs);
  rs.SetSortString("Age");
  const auto sorted = Rows(rs);
  EXPECT_EQ(ErrorOf<EZVError>([&] { rs.SetSortString("Age, Nope desc"); }), Format(SFieldNotFound, {"nope"}));
  EXPECT_THROW(rs.SetSortString("Age,"), EZVError);
  EXPECT_EQ(rs.SortString(), "Age");
  EXPECT_EQ(Rows(rs), sorted);
  rs.AddRecord();  // later changes still work: a null record sorts first (tied with Carl's null)
  EXPECT_TRUE(Rows(rs)[0] == "<null>/<null>" || Rows(rs)[1] == "<null>/<null>");
}

TEST(QuickRecordSetOrder, IsReappliedAfterEachChangeAndOnceAtTheEndOfABracket) {
  TvpQuickRecordSet rs;
  People(rs);
  rs.SetSortString("Age");
  rs.AddRecord();  // a null record sorts first (tied with Carl's null)
  const int added = rs.PosOf(rs.RecordCount() - 1);  // its storage row is the last
  EXPECT_LE(added, 1);
  rs.GetData("Name", added)->SetAsString("Zed");
  rs.GetData("Age", added)->SetAsInteger(99);  // a written key moves its record at once
  EXPECT_EQ(Rows(rs).back(), "Zed/99");
  rs.MoveRecord(0, 1);
  EXPECT_EQ(Rows(rs).back(), "Zed/99");

  rs.BeginUpdate();
  rs.BeginUpdate();
  rs.InsertRecord(0);
  rs.AddRecord();
  rs.GetData("Age", rs.RecordCount() - 1)->SetAsInteger(1);
  rs.EndUpdate();
  EXPECT_EQ(rs.UpdateCount(), 1);
  EXPECT_EQ(Rows(rs).back(), "<null>/1");  // not sorted yet, every position still valid
  ExpectInStep(rs);
  rs.EndUpdate();
  EXPECT_EQ(rs.UpdateCount(), 0);
  EXPECT_EQ(Rows(rs)[2], "<null>/1");  // two null records, then 1, 20, ...
  ExpectInStep(rs);

  rs.Fields()->Items(1)->SetFieldName("Years");  // the order's column went: no order, text kept
  EXPECT_EQ(rs.SortString(), "Age");
  rs.AddRecord();
  ExpectInStep(rs);
  rs.Fields()->Items(1)->SetFieldName("Age");  // back: sorted again
  EXPECT_EQ(Rows(rs)[3], "<null>/1");
}

// Random changes against a model that sorts everything again after each step: the same order,
// positions, bookmarks and cells after every step, for integer, text (collated), date and
// two-column keys in both directions. A written key cell moves its record at once.
TEST(QuickRecordSetOrder, KeepsTheOrderOfAWholeSortThroughRandomChanges) {
  struct TRec {
    TBookmarkStr bookmark;
    std::optional<int> i;
    std::optional<std::string> t;
    std::optional<double> d;
    std::optional<int> n;  // a key of the last sort only
  };
  // "e" + combining acute and the precomposed letter collate alike and differ in bytes.
  const std::vector<std::string> mixed = {"b", "B", "a", "\u00E9", "e\u0301", "ete", "\u0416", "", "zz"};
  // Texts sharing a beginning, one shorter than the rest, and now and then one without it.
  const std::vector<std::string> alike = {"item 1", "item 2", "item 10", "Item 3", "item 3", "item 20", "item", "item 2 ", "jot"};
  const std::vector<std::pair<std::string, const std::vector<std::string>*>> cases = {
      {"I", &mixed}, {"T desc", &mixed}, {"D", &mixed}, {"I desc, T", &mixed}, {"T, D desc", &mixed},
      {"N", &mixed}, {"T", &alike},      {"T desc, I", &alike}};
  std::mt19937 random(11);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (const auto& [sort, textsOf] : cases) {
    const std::vector<std::string>& texts = *textsOf;
    SCOPED_TRACE(sort);
    TvpQuickRecordSet rs;
    rs.Fields()->Add("I", ftInteger);
    rs.Fields()->Add("T", ftString, 20);
    rs.Fields()->Add("D", ftDateTime);
    rs.Fields()->Add("N", ftInteger);
    rs.SetSortString(sort);
    std::vector<TRec> model;  // by storage row
    auto cmpItem = [&](const TRec& a, const TRec& b, char column) {
      auto three = [](const auto& x, const auto& y) -> int {
        if (!x || !y) return !x && !y ? 0 : (!x ? -1 : 1);
        if constexpr (std::is_same_v<std::decay_t<decltype(*x)>, std::string>)
          return AnsiCompareStr(*x, *y);
        else
          return (*x > *y) - (*x < *y);
      };
      return column == 'I' ? three(a.i, b.i) : column == 'T' ? three(a.t, b.t) : column == 'D' ? three(a.d, b.d) : three(a.n, b.n);
    };
    auto expected = [&] {
      std::vector<int> rows(model.size());
      std::iota(rows.begin(), rows.end(), 0);
      std::stable_sort(rows.begin(), rows.end(), [&](int x, int y) {
        std::size_t at = 0;
        while (at < sort.size()) {
          const char column = sort[at];
          const std::size_t comma = std::min(sort.find(',', at), sort.size());
          const bool desc = sort.substr(at, comma - at).find("desc") != std::string::npos;
          const int c = cmpItem(model[static_cast<std::size_t>(x)], model[static_cast<std::size_t>(y)], column);
          if (c) return desc ? c > 0 : c < 0;
          at = comma + 2;
        }
        return false;
      });
      return rows;
    };
    auto write = [&](int row, char column) {
      TRec& r = model[static_cast<std::size_t>(row)];
      TvpUniValue* cell = rs.FieldByName(std::string(1, column))->Cells(row);
      const int v = pick(12);
      if (v == 0) {
        cell->Clear();
        if (column == 'I') r.i.reset();
        if (column == 'N') r.n.reset();
        if (column == 'T') r.t.reset();
        if (column == 'D') r.d.reset();
      } else if (column == 'I' || column == 'N') {
        cell->SetAsInteger(v % 5);
        (column == 'I' ? r.i : r.n) = v % 5;
      } else if (column == 'T') {
        cell->SetAsString(texts[static_cast<std::size_t>(v) % texts.size()]);
        r.t = texts[static_cast<std::size_t>(v) % texts.size()];
      } else {
        const double d = v == 11 ? -0.0 : v == 10 ? 0.0 : 40000.0 + v % 4;  // -0 and 0 tie
        cell->SetAsDateTime(TDateTime(d));
        r.d = d;
      }
    };
    int depth = 0;
    // First enough records, added and inserted one by one, for the order to outgrow its
    // first blocks; then every kind of change.
    constexpr int Growth = 700;
    for (int step = 0; step < Growth + 300; ++step) {
      const int n = static_cast<int>(model.size());
      const int op = step < Growth ? 0 : pick(10);
      if (op <= 1 || n < 3) {
        const int row = (op == 0 && step >= Growth) || n == 0 ? n : pick(n + 1);
        if (row == n) rs.AddRecord(); else rs.InsertRecord(row);
        model.insert(model.begin() + row, TRec{rs.BookmarkOf(rs.PosOf(row)), {}, {}, {}, {}});
        if (pick(2)) write(row, "ITDN"[pick(4)]);
      } else if (op == 2) {
        const int row = pick(n);
        rs.DeleteRecord(row);
        model.erase(model.begin() + row);
      } else if (op == 3) {
        const int from = pick(n), to = pick(n);
        rs.MoveRecord(from, to);
        TRec r = model[static_cast<std::size_t>(from)];
        model.erase(model.begin() + from);
        model.insert(model.begin() + to, r);
      } else if (op <= 7) {
        write(pick(n), "ITDN"[pick(4)]);
      } else if (op == 8 && depth == 0 && pick(4) == 0) {
        rs.BeginUpdate();
        ++depth;
      } else if (depth > 0) {
        rs.EndUpdate();
        --depth;
      }
      if (depth > 0 || (step < Growth && step % 50 != 49)) continue;
      const std::vector<int> rows = expected();
      ASSERT_EQ(rs.RecordCount(), static_cast<int>(rows.size()));
      for (int pos = 0; pos < rs.RecordCount(); ++pos) {
        const TRec& r = model[static_cast<std::size_t>(rows[static_cast<std::size_t>(pos)])];
        ASSERT_EQ(rs.RowOf(pos), rows[static_cast<std::size_t>(pos)]) << "step " << step << " pos " << pos;
        ASSERT_EQ(rs.PosOf(rs.RowOf(pos)), pos);
        ASSERT_EQ(rs.BookmarkOf(pos), r.bookmark);
        ASSERT_EQ(rs.IndexOfBookmark(r.bookmark), pos);
        ASSERT_EQ(rs.GetData("T", pos)->IsNull(), !r.t);
        if (r.t) {
          ASSERT_EQ(rs.GetData("T", pos)->AsString(), *r.t);
        }
        if (r.i) {
          ASSERT_EQ(rs.GetData("I", pos)->AsInteger(), *r.i);
        }
      }
    }
  }
}

// The order's tree with nodes of four, so that a few hundred records make it six levels deep:
// splits, emptied nodes, a root giving way, last entries kept up the tree, renumbered storage
// rows and new codes, against a list kept by hand. Sorted: records by (key, storage row), codes
// a coarser key so that equal codes fall to the rows' order. Placed by position: a list.
TEST(QuickRecordSetOrder, TheTreeOfTheOrderFollowsAListThroughEveryChange) {
  using TTree = zv::qrsdetail::TQrsTree<4, 4>;
  for (const bool sorted : {true, false}) {
    SCOPED_TRACE(sorted ? "sorted" : "by position");
    std::mt19937 random(sorted ? 5 : 6);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<int> key;        // by storage row
    std::vector<std::int32_t> list;  // storage rows in position order
    int shift = 1;               // code = key >> shift
    auto code = [&](std::int32_t row) { return static_cast<std::uint64_t>(key[static_cast<std::size_t>(row)] >> shift); };
    auto less = [&](std::int32_t a, std::int32_t b) {
      return std::pair(key[static_cast<std::size_t>(a)], a) < std::pair(key[static_cast<std::size_t>(b)], b);
    };
    auto sortList = [&] {
      if (sorted) std::sort(list.begin(), list.end(), less);
    };
    auto renumber = [&](auto f) {
      for (auto& r : list) r = f(r);
    };
    TTree tree;
    tree.Assign({});
    for (int step = 0; step < 3000; ++step) {
      const int n = static_cast<int>(key.size());
      const int op = step < 300 ? 0 : pick(7);
      if (op == 0 || n < 2) {  // a new storage row, placed
        const auto row = static_cast<std::int32_t>(pick(2) ? n : pick(n + 1));
        key.insert(key.begin() + row, pick(60));
        renumber([row](std::int32_t r) { return r >= row ? r + 1 : r; });
        tree.StorageInserted(row);
        if (sorted) {
          tree.Place(row, code(row), less);
          list.push_back(row);
        } else {
          const int pos = pick(n + 2);  // past the end: at the end
          tree.InsertAt(pos, row, 0);
          list.insert(list.begin() + std::min(pos, n), row);
        }
      } else if (op == 1) {  // a storage row leaves
        const auto row = static_cast<std::int32_t>(pick(n));
        tree.Remove(row);
        tree.StorageErased(row);
        list.erase(std::find(list.begin(), list.end(), row));
        key.erase(key.begin() + row);
        renumber([row](std::int32_t r) { return r > row ? r - 1 : r; });
      } else if (op == 2) {  // a storage row moves; sorted, it is placed again as its row changed
        const auto from = static_cast<std::int32_t>(pick(n)), to = static_cast<std::int32_t>(pick(n));
        tree.StorageMoved(from, to);
        const std::int32_t lo = std::min(from, to), hi = std::max(from, to), by = from < to ? -1 : 1;
        renumber([=](std::int32_t r) { return r == from ? to : r >= lo && r <= hi ? r + by : r; });
        const int k = key[static_cast<std::size_t>(from)];
        key.erase(key.begin() + from);
        key.insert(key.begin() + to, k);
        if (sorted) {
          tree.Remove(to);
          tree.Place(to, code(to), less);
        }
      } else if (op <= 4 && sorted) {  // a key changes, a little, much or not; now and then a run of them
        for (int times = pick(8) == 0 ? 40 : 1; times > 0 && key.size() > 1; --times) {
          const auto row = static_cast<std::int32_t>(pick(static_cast<int>(key.size())));
          int& k = key[static_cast<std::size_t>(row)];
          k = pick(3) == 0 ? pick(60) : std::clamp(k + pick(3) - 1, 0, 59);
          if (!tree.KeepsPlaceOrLeaves(row, code(row), less)) tree.Place(row, code(row), less);
        }
      } else if (op <= 4) {  // by position: out and back elsewhere
        const auto row = list[static_cast<std::size_t>(pick(n))];
        tree.Remove(row);
        list.erase(std::find(list.begin(), list.end(), row));
        const int pos = pick(n);
        tree.InsertAt(pos, row, 0);
        list.insert(list.begin() + pos, row);
      } else if (op == 5 && sorted) {  // other codes for the same order
        shift = 1 + pick(3);
        tree.Recode(code);
      } else if (op == 5 || pick(4) == 0) {  // made anew, or all but a few taken out
        sortList();
        if (pick(2)) {
          std::vector<std::pair<std::uint64_t, std::int32_t>> ranked;
          for (const auto r : list) ranked.emplace_back(sorted ? code(r) : 0, r);
          tree.Assign(ranked);
        } else {
          while (list.size() > 3) {
            const auto row = list[static_cast<std::size_t>(pick(static_cast<int>(list.size())))];
            tree.Remove(row);
            tree.StorageErased(row);
            list.erase(std::find(list.begin(), list.end(), row));
            key.erase(key.begin() + row);
            renumber([row](std::int32_t r) { return r > row ? r - 1 : r; });
          }
        }
      }
      sortList();
      ASSERT_EQ(tree.Count(), static_cast<int>(list.size())) << "step " << step;
      if (step % 7 != 0 && step < 2900) continue;
      for (int pos = 0; pos < static_cast<int>(list.size()); ++pos) {
        ASSERT_EQ(tree.RowAt(pos), list[static_cast<std::size_t>(pos)]) << "step " << step << " pos " << pos;
        ASSERT_EQ(tree.PosOf(list[static_cast<std::size_t>(pos)]), pos) << "step " << step;
      }
      const int from = list.empty() ? 0 : pick(static_cast<int>(list.size()));
      std::vector<std::int32_t> rows;
      tree.ForEach(from, from + 9, [&rows](int, std::int32_t row) {
        rows.push_back(row);
        return true;
      });
      const auto end = list.begin() + std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(list.size()), from + 10);
      const auto begin = list.begin() + std::min<std::ptrdiff_t>(from, static_cast<std::ptrdiff_t>(list.size()));
      ASSERT_EQ(rows, std::vector<std::int32_t>(begin, end)) << "step " << step;
    }
  }
}

// Text keys short and long (kept apart from the records above some length), rewritten until
// the room of the long ones is made anew more than once, sharing beginnings or not: the order
// stays that of a whole sort, ascending and descending.
TEST(QuickRecordSetOrder, TextKeysOfEveryLengthKeepTheOrderThroughRewrites) {
  const std::string longer = "a text long enough that its key needs more room than a short one has, ";
  const std::vector<std::string> texts = {"b",         "a",         longer + "1",       longer + "2",       longer,   "item 7",
                                          longer + "10", "A" + longer, "e\u0301" + longer, "\u00E9" + longer, "item 7 ", ""};
  for (const char* sort : {"T", "T desc"}) {
    SCOPED_TRACE(sort);
    const bool desc = std::string(sort).find("desc") != std::string::npos;
    std::mt19937 random(3);
    TvpQuickRecordSet rs;
    rs.Fields()->Add("T", ftString, 200);
    std::vector<std::string> model;  // by storage row
    for (int row = 0; row < 200; ++row) {
      rs.AddRecord();
      model.push_back(texts[random() % texts.size()]);
      rs.GetData("T", row)->SetAsString(model.back());
    }
    rs.SetSortString(sort);
    for (int step = 0; step < 4000; ++step) {
      const int row = static_cast<int>(random() % model.size());
      // Mostly texts that share the long beginning, now and then one that does not.
      model[static_cast<std::size_t>(row)] =
          random() % 4 ? longer + std::to_string(random() % 50) : texts[random() % texts.size()];
      rs.Fields()->Items(0)->Cells(row)->SetAsString(model[static_cast<std::size_t>(row)]);
      if (step % 100 != 99) continue;
      std::vector<int> rows(model.size());
      std::iota(rows.begin(), rows.end(), 0);
      std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const int c = AnsiCompareStr(model[static_cast<std::size_t>(a)], model[static_cast<std::size_t>(b)]);
        return desc ? c > 0 : c < 0;
      });
      for (int pos = 0; pos < rs.RecordCount(); ++pos)
        ASSERT_EQ(rs.RowOf(pos), rows[static_cast<std::size_t>(pos)]) << "step " << step << " pos " << pos;
    }
    ExpectInStep(rs);
  }
}

// A set large enough that the order's and the keys' arrays get mappings of their own: they grow,
// shrink and shift with the records as the small ones do.
TEST(QuickRecordSetOrder, ALargeSetKeepsItsOrderAsRecordsComeAndGo) {
  zv::qrsdetail::TBigArray<int> big;
  std::vector<int> plain;
  for (int i = 0; i < 3'000'000; ++i) big.push_back(i), plain.push_back(i);
  big.insert(big.begin(), -1), plain.insert(plain.begin(), -1);
  big.erase(big.begin() + 10, big.begin() + 2'000'000), plain.erase(plain.begin() + 10, plain.begin() + 2'000'000);
  big.shrink_to_fit();
  EXPECT_TRUE(std::equal(big.begin(), big.end(), plain.begin(), plain.end()));

  constexpr int Count = 150'000;  // 32-byte text keys: several megabytes
  std::mt19937 random(11);
  TvpQuickRecordSet rs;
  rs.Fields()->Add("T", ftString, 20);
  std::vector<std::string> model;  // by storage row
  auto text = [&random] { return "k" + std::to_string(random() % 40'000); };
  rs.BeginUpdate();
  for (int row = 0; row < Count; ++row) {
    rs.AddRecord();
    model.push_back(text());
    rs.Fields()->Items(0)->Cells(row)->SetAsString(model.back());
  }
  rs.EndUpdate();
  rs.SetSortString("T");
  for (int step = 0; step < 3000; ++step) {
    const int choice = static_cast<int>(random() % 8);
    const int row = static_cast<int>(random() % model.size());
    if (choice < 5) {
      rs.AddRecord();
      model.push_back(text());
      rs.Fields()->Items(0)->Cells(rs.RecordCount() - 1)->SetAsString(model.back());
    } else if (choice < 7) {
      model[static_cast<std::size_t>(row)] = text();
      rs.Fields()->Items(0)->Cells(row)->SetAsString(model[static_cast<std::size_t>(row)]);
    } else if (step % 2) {
      rs.DeleteRecord(row);
      model.erase(model.begin() + row);
    } else {
      rs.InsertRecord(row);
      model.insert(model.begin() + row, "");
      rs.Fields()->Items(0)->Cells(row)->SetAsString("");
    }
  }
  ASSERT_EQ(rs.RecordCount(), static_cast<int>(model.size()));
  // Every neighbour in order by the collation's keys, ties by storage row.
  std::vector<std::vector<std::uint8_t>> keys(model.size());
  for (std::size_t row = 0; row < model.size(); ++row) AppendAnsiSortKey(keys[row], model[row], false);
  for (int pos = 1; pos < rs.RecordCount(); ++pos) {
    const int a = rs.RowOf(pos - 1), b = rs.RowOf(pos);
    const auto& ka = keys[static_cast<std::size_t>(a)];
    const auto& kb = keys[static_cast<std::size_t>(b)];
    ASSERT_TRUE(ka < kb || (ka == kb && a < b)) << "pos " << pos;
    ASSERT_EQ(rs.PosOf(b), pos);
  }
}

// A cell of a typed column made to take another kind keeps it, as the other cells keep theirs;
// a write that does not convert raises as it always did and leaves the order whole.
TEST(QuickRecordSetOrder, CellsTakingOtherKindsAndFailedWritesKeepTheOrderWhole) {
  TvpQuickRecordSet rs;
  People(rs);
  rs.SetSortString("Age desc");
  EXPECT_THROW(rs.GetData("Age", 0)->SetAsString("old"), Exception);
  EXPECT_EQ(ColumnTexts(rs, "Age"), (std::vector<std::string>{"40", "30", "25", "20", NullText}));
  TvpUniValue* cell = rs.GetData("Age", 4);
  cell->SetAutoChangeType(true);
  cell->SetAsFloat(27.5);
  EXPECT_EQ(cell->DataType(), ftFloat);
  EXPECT_EQ(rs.GetData("Age", 2), cell);  // moved to its place, the same value
  EXPECT_EQ(ColumnTexts(rs, "Age"), (std::vector<std::string>{"40", "30", "27.5", "25", "20"}));
  EXPECT_EQ(rs.GetData("Age", 0)->DataType(), ftInteger);
  rs.GetData("Age", 0)->SetAsInteger(1);
  EXPECT_EQ(ColumnTexts(rs, "Age"), (std::vector<std::string>{"30", "27.5", "25", "20", "1"}));
  ExpectInStep(rs);

  // Many equal keys: the records keep the order of their storage rows.
  rs.Clear();
  for (int i = 0; i < 2000; ++i) {
    rs.AddRecord();
    rs.Fields()->Items(0)->Cells(i)->SetAsString(std::to_string(i));
    rs.Fields()->Items(1)->Cells(i)->SetAsInteger(7);
  }
  rs.Fields()->Items(1)->Cells(1000)->SetAsInteger(8);
  rs.Fields()->Items(1)->Cells(1000)->SetAsInteger(7);
  for (int pos = 0; pos < rs.RecordCount(); ++pos) ASSERT_EQ(rs.RowOf(pos), pos);
}

// The records of the fault: added under a sort by an integer (a null, first), then given a value.
TEST(QuickRecordSetOrder, AWrittenKeyCellMovesItsRecordAtOnce) {
  TvpQuickRecordSet rs;
  rs.Fields()->Add("V", ftInteger);
  for (int v : {10, 20, 30}) {
    rs.AddRecord();
    rs.GetData("V", rs.RecordCount() - 1)->SetAsInteger(v);
  }
  rs.SetSortString("V");
  rs.AddRecord();
  rs.GetData("V", 0)->SetAsInteger(25);
  EXPECT_EQ(ColumnTexts(rs, "V"), (std::vector<std::string>{"10", "20", "25", "30"}));
  rs.GetData("V", 3)->SetAsInteger(5);
  EXPECT_EQ(ColumnTexts(rs, "V"), (std::vector<std::string>{"5", "10", "20", "25"}));
  ExpectInStep(rs);
}

// The sort orders exactly as CompareWith(case-sensitive, nulls less) for every kind; records
// whose keys tie keep the order of their storage rows.
TEST(QuickRecordSetOrder, AgreesWithCompareWithForEveryKind) {
  struct Kind {
    TFieldType type;
    std::function<void(TvpUniValue&, int)> set;  // i from a shuffled range with repeats
  };
  const std::vector<std::string> words = {"b", "B", "a", "\u00E9t\u00E9", "ete", "Ete", "\u0416", "zz", "", "a b", "ab"};
  auto word = [&](int i) { return words[static_cast<std::size_t>(i) % words.size()]; };
  const std::vector<Kind> kinds = {
      {ftString, [&](TvpUniValue& v, int i) { v.SetAsString(word(i)); }},
      {ftFixedChar, [&](TvpUniValue& v, int i) { v.SetAsString(word(i) + "x"); }},
      {ftWideString, [&](TvpUniValue& v, int i) { v.SetAsString(word(i)); }},
      {ftMemo, [&](TvpUniValue& v, int i) { v.SetAsString(word(i) + "m"); }},
      {ftBytes, [&](TvpUniValue& v, int i) { v.SetAsString(std::string(1, static_cast<char>(i * 37)) + "q"); }},
      {ftInteger, [](TvpUniValue& v, int i) { v.SetAsInteger(i % 2 ? -i * 1000003 : i); }},
      {ftSmallint, [](TvpUniValue& v, int i) { v.SetAsInteger(i % 7 - 3); }},
      {ftLargeint, [](TvpUniValue& v, int i) { v.SetAsLargeint((std::int64_t{1} << 40) * (i % 5 - 2) + i); }},
      {ftLargeint, [](TvpUniValue& v, int i) {  // the ends of the range
         constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
         constexpr std::int64_t highest = std::numeric_limits<std::int64_t>::max();
         v.SetAsLargeint(i % 4 == 0 ? lowest : i % 4 == 1 ? lowest + 1 : i % 4 == 2 ? highest : i);
       }},
      {ftFloat, [](TvpUniValue& v, int i) { v.SetAsFloat((i % 9 - 4) * 0.37); }},
      {ftFloat, [](TvpUniValue& v, int i) {  // -0 ties with 0
         v.SetAsFloat(i % 5 == 0 ? -0.0 : i % 5 == 1 ? 0.0 : i % 5 == 2 ? -HUGE_VAL : (i - 100) * 1e300);
       }},
      {ftCurrency, [](TvpUniValue& v, int i) { v.SetAsFloat((i % 9 - 4) * 1.25); }},
      {ftBoolean, [](TvpUniValue& v, int i) { v.SetAsBoolean(i % 3 == 0); }},
      {ftDate, [](TvpUniValue& v, int i) { v.SetAsDateTime(TDateTime(40000.0 + i % 11)); }},
      {ftTimeStamp, [](TvpUniValue& v, int i) { v.SetAsDateTime(TDateTime(40000.5 + (i % 13) * 0.25)); }},
      {ftBCD, [](TvpUniValue& v, int i) { v.SetAsFloat((i % 9 - 4) * 1.0001); }},
      {ftFMTBcd, [](TvpUniValue& v, int i) { v.SetAsFloat((i % 9 - 4) * 2.5); }},
      {ftUnknown, [](TvpUniValue& v, int i) {  // each cell takes the kind of its first write
         if (i % 2) v.SetAsInteger(i); else v.SetAsString(std::to_string(i * 3));
       }},
  };
  std::mt19937 random(7);
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(FieldTypeName(kind.type));
    for (const char* direction : {"", " desc"}) {
      TvpQuickRecordSet rs;
      rs.Fields()->Add("V", kind.type, 20);
      rs.Fields()->Add("N", ftInteger);
      rs.BeginUpdate();
      // Numbers are sorted another way in large sets.
      const bool numeric = kind.type == ftInteger || kind.type == ftLargeint || kind.type == ftFloat || kind.type == ftDate;
      for (int i = 0; i < (numeric ? 5000 : 300); ++i) {
        rs.AddRecord();
        const int n = static_cast<int>(random() % 200);
        rs.Fields()->Items(1)->Cells(i)->SetAsInteger(n % 4);
        if (n % 10 != 0) kind.set(*rs.Fields()->Items(0)->Cells(i), n);  // a tenth stay null
      }
      rs.EndUpdate();
      for (const std::string& sort : {std::string("V") + direction, std::string("V") + direction + ", N desc"}) {
        rs.SetSortString(sort);
        const int sign = *direction ? -1 : 1;
        for (int pos = 1; pos < rs.RecordCount(); ++pos) {
          // Cells of mixed kinds have no consistent order: only the records' integrity counts.
          if (kind.type == ftUnknown) break;
          const int c = sign * rs.GetData("V", pos - 1)->CompareWith(*rs.GetData("V", pos), true, true);
          ASSERT_LE(c, 0) << sort << " at " << pos << ": " << rs.GetData("V", pos - 1)->AsString() << " / "
                          << rs.GetData("V", pos)->AsString();
          if (c == 0 && sort.find(',') != std::string::npos) {
            ASSERT_GE(rs.GetData("N", pos - 1)->AsInteger(), rs.GetData("N", pos)->AsInteger()) << sort;
          } else if (c == 0) {
            ASSERT_LT(rs.RowOf(pos - 1), rs.RowOf(pos)) << sort << " at " << pos;
          }
        }
        ExpectInStep(rs);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Bookmarks

TEST(QuickRecordSetBookmarks, AreUniqueAndFollowTheirRecordThroughEveryChange) {
  TTaggedSet t;
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {  // rapid add and delete: never a bookmark twice
    t.rs.AddRecord();
    ASSERT_TRUE(seen.insert(t.rs.BookmarkOf(t.rs.RecordCount() - 1)).second);
    if (i % 3 == 0) t.rs.DeleteRecord(t.rs.RecordCount() - 1);
  }
  for (int row = 0; row < t.rs.RecordCount(); ++row) t.Fill(row);
  auto tagOf = [&](const TBookmarkStr& b) {
    const TvpUniValue* cell = t.rs.GetDataByBmrk("Tag", b);
    return cell ? cell->AsString() : std::string("gone");
  };
  const TBookmarkStr first = t.rs.BookmarkOf(0), fifth = t.rs.BookmarkOf(5);
  const std::string firstTag = tagOf(first), fifthTag = tagOf(fifth);
  t.rs.SetSortString("Id desc");
  EXPECT_EQ(t.rs.IndexOfBookmark(first), t.rs.RecordCount() - 1);
  t.rs.InsertRecord(0);
  t.rs.MoveRecord(3, 10);
  t.rs.DeleteRecord(7);
  t.rs.SetSortString("Tag");
  EXPECT_EQ(tagOf(first), firstTag);
  EXPECT_EQ(tagOf(fifth), fifthTag);
  t.Check();

  const int pos = t.rs.IndexOfBookmark(fifth);
  t.rs.DeleteRecord(t.rs.RowOf(pos));
  EXPECT_EQ(t.rs.IndexOfBookmark(fifth), -1);
  EXPECT_EQ(t.rs.GetDataByBmrk("Tag", fifth), nullptr);
  EXPECT_EQ(t.rs.IndexOfBookmark(""), -1);
  EXPECT_EQ(t.rs.IndexOfBookmark("abc"), -1);
  EXPECT_EQ(t.rs.IndexOfBookmark(first + "x"), -1);
  // Bytes compare exactly: flipping the case bit of a byte names another record or none.
  TBookmarkStr otherCase = first;
  otherCase[0] = static_cast<char>(otherCase[0] ^ 0x20);
  const int otherPos = t.rs.IndexOfBookmark(otherCase);
  if (otherPos >= 0) {
    EXPECT_EQ(t.rs.BookmarkOf(otherPos), otherCase);
  }
  EXPECT_NE(otherPos, t.rs.IndexOfBookmark(first));
  EXPECT_THROW(t.rs.GetDataByBmrk("Nope", first), EZVError);

  const TBookmarkStr fresh = t.rs.GetBookmarkStr();
  EXPECT_EQ(fresh.size(), 4u);
  EXPECT_EQ(t.rs.IndexOfBookmark(fresh), -1);
  EXPECT_TRUE(seen.insert(fresh).second);
}

TEST(QuickRecordSetBookmarks, CreateIndexGivesEveryRecordANewBookmarkAndKeepsTheOrder) {
  TvpQuickRecordSet rs;
  People(rs);
  rs.SetSortString("Age");
  std::set<std::string> before;
  for (int pos = 0; pos < rs.RecordCount(); ++pos) before.insert(rs.BookmarkOf(pos));
  const auto rows = Rows(rs);
  for (int twice = 0; twice < 2; ++twice) {
    rs.CreateIndex();
    EXPECT_EQ(Rows(rs), rows);
    ExpectInStep(rs);
    for (int pos = 0; pos < rs.RecordCount(); ++pos) EXPECT_TRUE(before.insert(rs.BookmarkOf(pos)).second);
  }
}

// ---------------------------------------------------------------------------------------------
// Search

TEST(QuickRecordSetSearch, IndexOfRecMatchesByTextWithTheOptionsInTheRange) {
  TvpQuickRecordSet rs;
  rs.Fields()->Add("Name", ftString, 20);
  rs.Fields()->Add("Age", ftInteger);
  rs.Fields()->Add("Rate", ftFloat);
  AddRows(rs, {{"Abc", "1", "1.5"}, {"abd", "2", "2"}, {"Bob", "30", "2.5"}, {nullptr, "4", nullptr},
               {"", "5", "3"}, {"\u00C9cole", "30", "1.5"}});
  const TLocateOptions none, ci{loCaseInsensitive}, partial{loPartialKey}, both{loCaseInsensitive, loPartialKey};
  struct Case {
    const char* fields;
    const char* label;
    Variant keys;
    TLocateOptions options;
    int start, span, expected;
  };
  const std::vector<Case> cases = {
      {"Name", "case 0", "Abc", none, 0, -1, 0},
      {"Name", "case 1", "abc", none, 0, -1, -1},
      {"Name", "case 2", "abc", ci, 0, -1, 0},
      {"Name", "case 3", "ab", partial, 0, -1, 1},
      {"Name", "case 4", "ab", both, 0, -1, 0},
      {"Name", "case 5", "AB", partial, 0, -1, -1},
      {"Name", "case 6", "", partial, 0, -1, -1},  // an empty key begins nothing
      {"Name", "case 7", Null(), none, 0, -1, 3},   // Null is the empty text: the null cell first
      {"Name", "case 8", "", none, 4, -1, 4},
      {"Name", "case 9", "\u00E9COLE", ci, 0, -1, 5},
      {"Name", "case 10", "\u00E9c", both, 0, -1, 5},
      {"Age", "case 11", 30, none, 0, -1, 2},
      {"Age", "case 12", "30", none, 3, -1, 5},
      {"Rate", "case 13", 1.5, none, 1, -1, 5},
      {"Age", "case 14", 30, none, 0, 1, -1},  // positions 0 and 1 only
      {"Age", "case 15", 30, none, 1, 1, 2},
      {"Age", "case 16", 30, none, 6, -1, -1},
      {"Name;Age", "case 17", VarArrayOf({"Bob", 30}), none, 0, -1, 2},
      {"Name;Age", "case 18", VarArrayOf({"Bob", 1}), none, 0, -1, -1},
      {"Age;Name", "case 19", VarArrayOf({30, "\u00C9"}), partial, 0, -1, 5},
      {"name;AGE", "case 20", VarArrayOf({Null(), 4}), none, 0, -1, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(rs.IndexOfRec(c.fields, c.keys, c.options, c.start, c.span), c.expected);
  }

  rs.SetSortString("Name desc");  // positions follow the order
  EXPECT_EQ(rs.IndexOfRec("Name", "Abc"), rs.PosOf(0));
  EXPECT_EQ(rs.IndexOfRec("Age", 30), 0);  // École, then Bob
  EXPECT_EQ(rs.IndexOfRec("Age", 30, {}, 1), 1);
  EXPECT_THROW(rs.IndexOfRec("Name;Age", "Bob"), EZVError);
  EXPECT_THROW(rs.IndexOfRec("Name;Age", VarArrayOf({"Bob"})), EZVError);
  EXPECT_THROW(rs.IndexOfRec("Age", 1, {}, -1), EListError);
  EXPECT_THROW(rs.IndexOfRec("Age", 1, {}, 0, -2), EListError);
}

TEST(QuickRecordSetSearch, LookupGivesTheResultCellsOfTheFirstExactMatch) {
  TvpQuickRecordSet rs;
  People(rs);
  rs.SetSortString("Age desc");
  EXPECT_EQ(rs.Lookup("Name", "Bob", "Age").AsInteger(), 30);
  const Variant both = rs.Lookup("Age", 25, "Name;Age");
  ASSERT_TRUE(VarIsArray(both));
  EXPECT_EQ(VarArrayLowBound(both, 1), 0);
  EXPECT_EQ(VarArrayHighBound(both, 1), 1);
  EXPECT_EQ(VarToStr(VarArrayGet(both, 0)), "alice");
  EXPECT_EQ(VarArrayGet(both, 1).AsInteger(), 25);
  EXPECT_TRUE(VarIsNull(rs.Lookup("Name", "bob", "Age")));  // exact only
  EXPECT_TRUE(VarIsNull(rs.Lookup("Name", "Carl", "Age")));  // found, a null cell
  EXPECT_EQ(ErrorOf<EZVError>([&] { rs.Lookup("Name", "Nobody", "Age;Nope"); }), Format(SFieldNotFound, {"Nope"}));
}

// ---------------------------------------------------------------------------------------------
// Exchange

TEST(QuickRecordSetExchange, FieldDefinitionsGoBothWays) {
  TvpQuickRecordSet rs;
  rs.Fields()->Add("Name", ftString, 30);
  rs.Fields()->Add("Price", ftFMTBcd, 4)->SetPrecision(18);
  rs.Fields()->Add("When", ftDateTime);
  TFieldDefs defs;
  defs.Add("Existing", ftInteger);
  String names;
  rs.ExportFieldDefs(defs, names);
  EXPECT_EQ(names, "Name;Price;When");
  ASSERT_EQ(defs.Count(), 4);
  EXPECT_EQ(defs.Items(2)->DataType(), ftFMTBcd);
  EXPECT_EQ(defs.Items(2)->Size(), 4);
  EXPECT_EQ(defs.Items(2)->Precision(), 18);
  EXPECT_EQ(defs.UpdateCount(), 0);
  EXPECT_THROW(rs.ExportFieldDefs(defs, names), EDatabaseError);  // the names are there already
  EXPECT_EQ(defs.UpdateCount(), 0);

  TvpQuickRecordSet back;
  back.ImportFieldDefs(defs);
  ASSERT_EQ(back.Fields()->Count(), 4);
  EXPECT_EQ(back.Fields()->Items(2)->FieldName(), "Price");
  EXPECT_EQ(back.Fields()->Items(2)->Precision(), 18);
  EXPECT_EQ(back.Fields()->Items(1)->Size(), 30);
}

TEST(QuickRecordSetExchange, ImportFromDataSetTakesTheCurrentRecord) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("Name", ftString, 20);
  table.FieldDefs().Add("Age", ftInteger);
  table.CreateDataSet();
  table.Append();
  table.FieldByName("Name")->SetAsString("Gr\u00FC\u00DFe");
  table.Post();

  TvpQuickRecordSet rs;
  rs.Fields()->Add("Age", ftInteger);
  rs.Fields()->Add("Name", ftString, 20);
  rs.AddRecord();
  rs.GetData("Age", 0)->SetAsInteger(7);
  rs.ImportFromDataSet(table, 0);
  EXPECT_EQ(rs.GetData("Name", 0)->AsString(), "Gr\u00FC\u00DFe");
  EXPECT_TRUE(rs.GetData("Age", 0)->IsNull());  // a null field clears the cell

  TvpQuickRecordSet partial;
  partial.Fields()->Add("Name", ftString, 20);
  partial.AddRecord();
  EXPECT_EQ(ErrorOf<EZVError>([&] { partial.ImportFromDataSet(table, 0); }), Format(SFieldNotFound, {"Age"}));
  EXPECT_TRUE(partial.GetData("Name", 0)->IsNull());  // nothing changed
  EXPECT_THROW(partial.ImportFromDataSet(table, 1), EListError);
}

TEST(QuickRecordSetExchange, AssignAndAppendCopyRecordsByColumnName) {
  TvpQuickRecordSet source;
  People(source);
  source.SetSortString("Age");
  source.OnChanged = [](TObject*, TodsRecordSetAction, const String&, int) {};

  TvpQuickRecordSet copy;
  copy.Fields()->Add("Old", ftString);
  copy.AddRecord();
  copy.Assign(&source);
  EXPECT_EQ(copy.Fields()->Count(), 2);
  EXPECT_EQ(copy.SortString(), "");
  EXPECT_FALSE(copy.OnChanged);
  EXPECT_EQ(Rows(copy), Rows(source));  // in the source's order
  ExpectInStep(copy);
  copy.Assign(&copy);
  EXPECT_EQ(Rows(copy), Rows(source));
  copy.Append(copy, 0, copy.RecordCount());  // a set appended to itself doubles once
  EXPECT_EQ(copy.RecordCount(), 10);

  TvpQuickRecordSet other;  // unmatched columns on both sides
  other.Fields()->Add("age", ftLargeint);
  other.Fields()->Add("Extra", ftString);
  other.Append(source, 1, 3);
  EXPECT_EQ(ColumnTexts(other, "age"), (std::vector<std::string>{"20", "25", "30"}));
  EXPECT_EQ(ColumnTexts(other, "Extra"), (std::vector<std::string>(3, NullText)));
  other.Append(source, 0, 0);
  EXPECT_EQ(other.RecordCount(), 3);

  TvpQuickRecordSet numbers;  // a text that does not convert: what was added stays
  numbers.Fields()->Add("Name", ftInteger);
  numbers.SetSortString("Name desc");
  source.SetSortString("");
  source.GetData("Name", 0)->SetAsString("12");
  source.GetData("Name", 1)->SetAsString("x");
  EXPECT_THROW(numbers.Append(source, 0, 3), EConvertError);
  EXPECT_EQ(numbers.RecordCount(), 2);
  EXPECT_EQ(numbers.UpdateCount(), 0);
  EXPECT_EQ(ColumnTexts(numbers, "Name"), (std::vector<std::string>{"12", NullText}));
  ExpectInStep(numbers);

  EXPECT_THROW(copy.Assign(numbers.Fields()), EConvertError);

  copy.SetFields(other.Fields());  // the streamed Fields: definitions replaced, records gone
  ASSERT_EQ(copy.Fields()->Count(), 2);
  EXPECT_EQ(copy.Fields()->Items(0)->FieldName(), "age");
  EXPECT_EQ(copy.Fields()->Items(0)->DataType(), ftLargeint);
  EXPECT_EQ(copy.RecordCount(), 0);
  copy.AddRecord();
  EXPECT_TRUE(copy.GetFirst("Extra")->IsNull());
  ExpectInStep(copy);
}

TEST(QuickRecordSetExchange, FieldChangedReachesOnChanged) {
  struct Derived : TvpQuickRecordSet {
    int calls = 0;
    void FieldChanged(TodsRecordSetAction action, const String& fieldName, int recNo) override {
      ++calls;
      TvpQuickRecordSet::FieldChanged(action, fieldName, recNo);
    }
  } rs;
  std::vector<std::string> seen;
  rs.FieldChanged(rsaUpdate, "A", 1);  // nothing assigned: nothing happens
  rs.OnChanged = [&](TObject* sender, TodsRecordSetAction action, const String& names, int recNo) {
    EXPECT_EQ(sender, &rs);
    seen.push_back(std::to_string(action) + ":" + names + ":" + std::to_string(recNo));
  };
  TvpQuickRecordSet& base = rs;
  base.FieldChanged(rsaInsert, "A;B", 3);
  base.FieldChanged(rsaDelete, "", 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"1:A;B:3", "2::0"}));
  EXPECT_EQ(rs.calls, 3);
}
