// Taking the current record with its row and putting both back, on both datasets.
#include "tests/runtime/db/TestDataSets.h"

#include "runtime/db/CurrRecInfo.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

class CurrRecInfo : public ::testing::TestWithParam<DataSetFactory> {
protected:
  void SetUp() override {
    fDataSet = GetParam().Create(100);
    fSource = std::make_unique<TDataSource>(nullptr);
    fSource->SetDataSet(fDataSet.get());
    fLink.SetBufferCount(10);
    fLink.SetDataSource(fSource.get());
  }
  void TearDown() override { fLink.SetDataSource(nullptr); }
  TDataSet& DS() { return *fDataSet; }
  int Id() { return DS().FieldByName("ID")->AsInteger(); }
  // The cursor on record `id`, shown on row `row` of the window.
  void Show(int id, int row) {
    DS().First();
    DS().MoveBy(id - 1 + 9 - row);  // the window ends `9 - row` records below it
    DS().MoveBy(row - 9);
    ASSERT_EQ(Id(), id);
    ASSERT_EQ(DS().ActiveRecord(), row);
  }

  std::unique_ptr<TDataSet> fDataSet;
  std::unique_ptr<TDataSource> fSource;
  TDataLink fLink;
};

TEST_P(CurrRecInfo, PutsTheRecordBackOnItsRow) {
  struct Case {
    int id, row;        // where the record was
    int awayId;         // where the cursor went meanwhile
    int rowAfter;       // the row it is shown on again
  };
  const std::vector<Case> cases = {
      {50, 5, 100, 5}, {50, 0, 1, 0}, {50, 9, 20, 9}, {3, 2, 100, 2}, {98, 7, 1, 7}, {100, 9, 40, 9}, {1, 0, 60, 0},
  };
  for (const Case& c : cases) {
    Show(c.id, c.row);
    const TvpCurrRecInfo info = vprGetCurrRecInfo(DS());
    EXPECT_EQ(info.ActiveRow, c.row);
    ASSERT_TRUE(DS().Locate("ID", Variant(c.awayId)));
    EXPECT_TRUE(vprSetCurrRec(DS(), info));
    EXPECT_EQ(Id(), c.id) << c.id << "@" << c.row;
    EXPECT_EQ(DS().ActiveRecord(), c.rowAfter) << c.id << "@" << c.row;
  }
}

TEST_P(CurrRecInfo, TheCursorEndsOnTheRecordWhenTheRowCannotBeHad) {
  struct Case {
    int id, claimedRow;  // a row that fewer records than it lie before or after
    int rowAfter;
  };
  for (const Case& c : std::vector<Case>{{2, 8, 1}, {4, 9, 3}, {99, 0, 8}, {97, 1, 6}}) {
    ASSERT_TRUE(DS().Locate("ID", Variant(c.id)));
    TvpCurrRecInfo info{DS().Bookmark(), c.claimedRow};
    ASSERT_TRUE(DS().Locate("ID", Variant(50)));
    EXPECT_TRUE(vprSetCurrRec(DS(), info));
    EXPECT_EQ(Id(), c.id) << c.id;
    EXPECT_EQ(DS().ActiveRecord(), c.rowAfter) << c.id;
  }
}

TEST_P(CurrRecInfo, AnEmptyOrStaleBookmarkLeavesTheCursor) {
  ASSERT_TRUE(DS().Locate("ID", Variant(30)));
  const TvpCurrRecInfo deleted = vprGetCurrRecInfo(DS());
  DS().Delete();
  ASSERT_TRUE(DS().Locate("ID", Variant(60)));
  for (const TBookmarkStr& bookmark : {TBookmarkStr(), deleted.Bookmark, TBookmarkStr("\x01garbage")}) {
    EXPECT_FALSE(vprSetCurrRec(DS(), TvpCurrRecInfo{bookmark, 3}));
    EXPECT_EQ(Id(), 60);
  }
}

INSTANTIATE_TEST_SUITE_P(DataSets, CurrRecInfo, ::testing::ValuesIn(TestDataSets()),
                         [](const ::testing::TestParamInfo<DataSetFactory>& info) { return info.param.Name; });

}  // namespace
}  // namespace zvtest
