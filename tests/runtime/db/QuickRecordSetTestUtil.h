#pragma once
// Helpers shared by the quick record set tests.

#include "runtime/db/QuickRecordSet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zvtest {

using namespace zv;

inline const char* const NullText = "<null>";

// The cells of a column by position, a null cell as <null>.
inline std::vector<std::string> ColumnTexts(const TvpQuickRecordSet& rs, const char* fieldName) {
  std::vector<std::string> out;
  for (int pos = 0; pos < rs.RecordCount(); ++pos) {
    const TvpUniValue* cell = rs.GetData(fieldName, pos);
    out.push_back(cell->IsNull() ? NullText : cell->AsString());
  }
  return out;
}

// Every column, the bookmarks and both maps agree with RecordCount.
inline void ExpectInStep(const TvpQuickRecordSet& rs) {
  for (int i = 0; i < rs.Fields()->Count(); ++i)
    EXPECT_EQ(rs.Fields()->Items(i)->Count(), rs.RecordCount()) << rs.Fields()->Items(i)->FieldName();
  for (int pos = 0; pos < rs.RecordCount(); ++pos) {
    EXPECT_EQ(rs.PosOf(rs.RowOf(pos)), pos);
    EXPECT_EQ(rs.IndexOfBookmark(rs.BookmarkOf(pos)), pos);
  }
}

// Adds one record per row of values (text written through AsString; nullptr leaves it null).
inline void AddRows(TvpQuickRecordSet& rs, const std::vector<std::vector<const char*>>& rows) {
  rs.BeginUpdate();
  for (const auto& row : rows) {
    rs.AddRecord();
    for (std::size_t c = 0; c < row.size(); ++c)
      if (row[c]) rs.Fields()->Items(static_cast<int>(c))->Cells(rs.RecordCount() - 1)->SetAsString(row[c]);
  }
  rs.EndUpdate();
}

// The message of the exception of type E that fn raises; "" when it raises none.
template <class E, class F>
std::string ErrorOf(F&& fn) {
  try {
    fn();
  } catch (const E& e) {
    return e.Message();
  }
  return "";
}

}  // namespace zvtest
