// libFuzzer target for a quick record set stored with a form. The first byte picks the form's
// kind (even: binary, odd: text); the rest is the form of a component holding a record set
// (columns with their "Data" cell lists, the sort order). Whatever the bytes, reading raises
// a clean exception or gives a record set whose columns are in step with its record count and
// whose orders and bookmarks agree; a set that read writes a form that reads back to the same
// content, and the form of what read back is stable.

#include "platform/classes/FormText.h"
#include "tests/runtime/db/RecordSetHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace zv;
using zvtest::TRecordSetHost;

namespace {

[[noreturn]] void Fail(const char* what, const TvpQuickRecordSet& rs) {
  std::fprintf(stderr, "invariant broken: %s (%d columns, %d records, sort '%s')\n", what, rs.Fields()->Count(),
               rs.RecordCount(), rs.SortString().c_str());
  std::abort();
}

void CheckInStep(const TvpQuickRecordSet& rs) {
  for (int i = 0; i < rs.Fields()->Count(); ++i)
    if (rs.Fields()->Items(i)->Count() != rs.RecordCount()) Fail("a column is out of step with the records", rs);
  for (int pos = 0; pos < rs.RecordCount(); ++pos) {
    if (rs.PosOf(rs.RowOf(pos)) != pos) Fail("positions and storage rows disagree", rs);
    if (rs.IndexOfBookmark(rs.BookmarkOf(pos)) != pos) Fail("a bookmark does not find its record", rs);
  }
}

// The same columns and, position by position, the same cells; else what differs first.
std::string ContentDifference(const TvpQuickRecordSet& a, const TvpQuickRecordSet& b) {
  if (a.Fields()->Count() != b.Fields()->Count() || a.RecordCount() != b.RecordCount()) return "shape";
  for (int c = 0; c < a.Fields()->Count(); ++c) {
    const TvpQRSField* x = a.Fields()->Items(c);
    const TvpQRSField* y = b.Fields()->Items(c);
    if (x->FieldName() != y->FieldName() || x->DataType() != y->DataType() || x->Size() != y->Size() ||
        x->Precision() != y->Precision())
      return "definition of column " + x->FieldName();
    for (int pos = 0; pos < a.RecordCount(); ++pos) {
      const TvpUniValue* u = x->GetRowData(pos);
      const TvpUniValue* v = y->GetRowData(pos);
      // A time stamp is stored as its date value, and date value 0 is how that form says null:
      // the one instant it cannot keep (midnight, 30 December 1899).
      if (x->DataType() == ftTimeStamp && !u->IsNull() && u->AsDateTime().Value == 0 && v->IsNull()) continue;
      // A variant cell keeps no bytes of its own: its text tells.
      if (u->IsNull() != v->IsNull() || !std::ranges::equal(u->Data(), v->Data()) ||
          (x->DataType() == ftVariant && u->AsString() != v->AsString()))
        return "column " + x->FieldName() + " at " + std::to_string(pos) + ": '" + u->AsString() + "' became '" +
               v->AsString() + "'";
    }
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = (RegisterClass(TRecordSetHost::StaticClass()), true);
  (void)registered;
  if (size == 0) return 0;
  const bool text = (data[0] & 1) != 0;
  TRecordSetHost host(nullptr);
  try {
    if (text)
      TextToComponent(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), &host);
    else
      BinaryToComponent(std::span<const std::uint8_t>(data + 1, size - 1), &host);
  } catch (const Exception&) {
    // A refused form may leave part of what it held, but never a column out of step.
    CheckInStep(*host.RecordSet());
    return 0;
  }
  const TvpQuickRecordSet& rs = *host.RecordSet();
  CheckInStep(rs);

  // Its own form reads back to the same content; from then on the form is stable.
  const std::vector<std::uint8_t> written = ComponentToBinary(&host);
  TRecordSetHost back(nullptr);
  try {
    BinaryToComponent(written, &back);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    Fail("a record set's own form does not read back", rs);
  }
  CheckInStep(*back.RecordSet());
  if (const std::string diff = ContentDifference(rs, *back.RecordSet()); !diff.empty()) {
    std::fprintf(stderr, "%s\n", diff.c_str());
    Fail("the content changed on a round trip", rs);
  }
  const std::vector<std::uint8_t> again = ComponentToBinary(&back);
  TRecordSetHost third(nullptr);
  BinaryToComponent(again, &third);
  if (ComponentToBinary(&third) != again) Fail("the form of a record set read back differs", rs);
  return 0;
}
