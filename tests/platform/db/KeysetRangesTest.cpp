// The keyset ranges after a row, for both places a database may sort NULLs: each case names the
// conditions the rows after (k, id) must meet, in the order they are read.

#include "platform/db/detail/KeysetCursor.h"

#include <gtest/gtest.h>

namespace zv::keyset {
namespace {

struct TRangesCase {
  const char* Name;
  TNullOrder Nulls;
  bool Descending;
  bool Backward;
  bool NullKey;
  std::vector<String> Expected;  // each range's conditions joined with AND
};

class KeysetRanges : public testing::TestWithParam<TRangesCase> {};

TEST_P(KeysetRanges, ReadTheRowsAfterInTheDatabasesOrder) {
  const TRangesCase& c = GetParam();
  const std::vector<String> columns{"k"}, ids{"id"};
  const std::vector<TKeysetSort> sort{{0, c.Descending}};
  const std::vector<Variant> key{c.NullKey ? Variant::Null() : Variant(String("m"))};
  const auto ranges = AfterRanges(columns, sort, ids, key, TKeysetId{Variant(7)}, c.Backward, c.Nulls);
  std::vector<String> got;
  for (const TKeysetRange& r : ranges) got.push_back(JoinSql(r.Parts, " AND "));
  EXPECT_EQ(got, c.Expected);
  // Every '?' has its parameter.
  for (const TKeysetRange& r : ranges) {
    const String where = JoinSql(r.Parts, " ");
    EXPECT_EQ(static_cast<std::size_t>(std::count(where.begin(), where.end(), '?')), r.Params.size());
  }
}

const String Same = "k = ? AND id > ?", SameNull = "k IS NULL AND id > ?";
const String SameBack = "k = ? AND id < ?", SameNullBack = "k IS NULL AND id < ?";

INSTANTIATE_TEST_SUITE_P(
    NullOrders, KeysetRanges,
    testing::Values(
        // NULLs first (SQLite): smallest going up.
        TRangesCase{"FirstAscValue", TNullOrder::First, false, false, false, {Same, "k > ?"}},
        TRangesCase{"FirstAscNull", TNullOrder::First, false, false, true, {SameNull, "k IS NOT NULL"}},
        TRangesCase{"FirstDescValue", TNullOrder::First, true, false, false, {Same, "k < ?", "k IS NULL"}},
        TRangesCase{"FirstDescNull", TNullOrder::First, true, false, true, {SameNull}},
        TRangesCase{"FirstAscBackValue", TNullOrder::First, false, true, false, {SameBack, "k < ?", "k IS NULL"}},
        // NULLs last (PostgreSQL): largest going up.
        TRangesCase{"LastAscValue", TNullOrder::Last, false, false, false, {Same, "k > ?", "k IS NULL"}},
        TRangesCase{"LastAscNull", TNullOrder::Last, false, false, true, {SameNull}},
        TRangesCase{"LastDescValue", TNullOrder::Last, true, false, false, {Same, "k < ?"}},
        TRangesCase{"LastDescNull", TNullOrder::Last, true, false, true, {SameNull, "k IS NOT NULL"}},
        TRangesCase{"LastAscBackNull", TNullOrder::Last, false, true, true, {SameNullBack, "k IS NOT NULL"}}),
    [](const testing::TestParamInfo<TRangesCase>& info) { return String(info.param.Name); });

TEST(KeysetRanges, AnyOfRangesKeepsParametersInConditionOrder) {
  std::vector<Variant> params{Variant(1)};
  const String any = AnyOfRanges({{{"a = ?", "b > ?"}, {Variant(2), Variant(3)}}, {{"a > ?"}, {Variant(4)}}}, params);
  EXPECT_EQ(any, "(a = ? AND b > ?) OR (a > ?)");
  ASSERT_EQ(params.size(), 4u);
  EXPECT_EQ(params[3].AsInt64(), 4);
}

}  // namespace
}  // namespace zv::keyset
