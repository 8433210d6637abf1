// libFuzzer target for the layout model of a grid's columns. The input is a stored layout (the
// columns' LayoutLevel, LayoutIndex, Width, Visible, Fixed and behaviour options), read into a
// window-less TDBDivoRud the way a form file reaches it, then a script of the moves the grid and
// its editors make: regrouping, leaving a group, moving groups and columns, showing, hiding,
// widths, levels, fixing, inserting, removing, fitting and normalising.
//
// After every step the model must hold: no column lost or duplicated; every group led by a
// column at (0, 0) with levels and indexes consecutive in collection order; fixed groups in
// front; every visible column in exactly one group record whose indexes, levels and widths agree
// with its columns; and writing the collection out and reading it into another grid gives the
// same model. A refused move leaves the model exactly as it was.
//
// Input: byte 0 options (bit 0 AutoColumnFit), byte 1 the client width
// / 4, byte 2 the column count (% 10), then 4 bytes a column (level, index, width, flags), then
// the script: an operation byte and its argument bytes each.

#include "ControlHarness.h"

#include "platform/rtl/Exceptions.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/rtm/ComponentStreaming.h"
#include "runtime/rtm/ZvErrors.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

using namespace zv;
using namespace zvtest;

namespace {

[[noreturn]] void Fail(const char* what, const String& detail, const String& model) {
  std::fprintf(stderr, "invariant broken: %s %s\n  model: %s\n", what, detail.c_str(), model.c_str());
  std::abort();
}

String Num(int v) { return std::to_string(v); }

// What a form stores of each column, in collection order (Tag identifies the column).
String Describe(const TgpColumns& cols) {
  String s;
  for (int i = 0; i < cols.Count(); ++i) {
    const TgpColumn* c = cols.Items(i);
    s += Num(c->Tag()) + ":" + Num(c->Width()) + ":" + Num(c->LayoutLevel()) + "," + Num(c->LayoutIndex());
    if (!c->Visible()) s += ":hidden";
    if (c->Fixed() == cfLeft) s += ":fixed";
    if (c->OptionsBehavior().Contains(cboFixedWidth)) s += ":fw";
    if (c->OptionsBehavior().Contains(cboStandalone)) s += ":sa";
    if (c->OptionsBehavior().Contains(cboNoSelecting)) s += ":ns";
    s += ";";
  }
  return s;
}

struct TScript {
  const std::uint8_t* p;
  const std::uint8_t* end;
  bool More() const { return p < end; }
  int Byte() { return p < end ? *p++ : 0; }
};

class TGridModel {
public:
  TGridModel(bool autoFit, int available) : fAvailable(available) {
    fGrid.Columns()->SetAvailableWidth(available);
    fGrid.SetAutoColumnFit(autoFit);
  }

  TDBDivoRud& Grid() { return fGrid; }
  TgpColumns& Cols() { return *fGrid.Columns(); }
  String Model() { return Describe(Cols()); }

  // Tags of the columns that must be there, whatever order.
  std::multiset<int> expected;

  void Check() {
    TgpColumns& cols = Cols();
    const String model = Model();
    const int n = cols.Count();
    std::multiset<int> tags;
    for (int i = 0; i < n; ++i) tags.insert(cols.Items(i)->Tag());
    if (tags != expected) Fail("a column was lost or duplicated", "", model);
    if (n == 0) {
      if (cols.GroupCount() != 0) Fail("group records without columns", "", model);
      return;
    }
    if (!cols.Items(0)->IsLeading()) Fail("the first column does not lead a group", "", model);

    // Groups as the positions say, in collection order.
    int groupNumber = 0;
    bool seenScrollable = false;
    int expectedLeft = 0;
    for (int start = 0; start < n;) {
      int end = start + 1;
      while (end < n && !cols.Items(end)->IsLeading()) ++end;
      const TgpColumn* leader = cols.Items(start);
      if (leader->Fixed() == cfNone) seenScrollable = true;
      else if (seenScrollable) Fail("a fixed group stands after a scrollable one", Num(start), model);
      int level = 0;
      int index = 0;
      bool anyVisible = false;
      for (int i = start; i < end; ++i) {
        const TgpColumn* c = cols.Items(i);
        if (i > start) {
          if (c->LayoutLevel() == level && c->LayoutIndex() == index + 1) {
            ++index;
          } else if (c->LayoutLevel() == level + 1 && c->LayoutIndex() == 0) {
            ++level;
            index = 0;
          } else {
            Fail("levels and indexes are not consecutive in a group", Num(i), model);
          }
          if (c->Visible() && c->Fixed() != leader->Fixed())
            Fail("a visible column is fixed unlike its group", Num(i), model);
        }
        if (c->Width() < TgpColumn::MinWidth) Fail("a column is narrower than the minimum", Num(i), model);
        anyVisible = anyVisible || c->Visible();
      }
      if (!anyVisible) {
        for (int i = start; i < end; ++i)
          if (cols.Items(i)->Group()) Fail("a column of a hidden group refers to a group", Num(i), model);
        start = end;
        continue;
      }
      if (groupNumber >= cols.GroupCount()) Fail("a group with visible columns has no record", Num(start), model);
      const TgpGroupInfo* g = cols.GetGroupInfo(groupNumber);
      if (g->Number != groupNumber || g->FirstIndex != start || g->LastIndex != end - 1)
        Fail("a group record does not match its columns", Num(groupNumber), model);
      if (g->Single != (start == end - 1)) Fail("a group's single flag is wrong", Num(groupNumber), model);
      if (g->FixedKind != leader->Fixed()) Fail("a group's fixed kind is wrong", Num(groupNumber), model);
      // Actual levels and indexes of the visible columns, and the widths per level.
      std::vector<int> levelSums;
      std::vector<int> levelCounts;
      int actualLevel = -1;
      int actualIndex = 0;
      const TgpColumn* prev = nullptr;
      int firstVisible = -1;
      int lastVisible = -1;
      for (int i = start; i < end; ++i) {
        const TgpColumn* c = cols.Items(i);
        if (c->Group() != g) Fail("a column does not refer to its group", Num(i), model);
        if (!c->Visible()) {
          if (c->ActualLevel() != -1 || c->ActualIndex() != -1)
            Fail("a hidden column has an actual position", Num(i), model);
          continue;
        }
        if (firstVisible < 0) firstVisible = i;
        lastVisible = i;
        if (!prev || c->LayoutLevel() != prev->LayoutLevel()) {
          ++actualLevel;
          actualIndex = 0;
          levelSums.push_back(0);
          levelCounts.push_back(0);
        } else {
          ++actualIndex;
        }
        if (c->ActualLevel() != actualLevel || c->ActualIndex() != actualIndex)
          Fail("a visible column's actual position is wrong", Num(i), model);
        if (c->OffsetInLevel() != levelSums.back())
          Fail("a column's offset in its level is wrong", Num(i), model);
        levelSums.back() += c->Width();
        ++levelCounts.back();
        prev = c;
      }
      if (g->FirstVisible != firstVisible || g->LastVisible != lastVisible)
        Fail("a group's visible range is wrong", Num(groupNumber), model);
      if (g->LevelCount != actualLevel + 1) Fail("a group's level count is wrong", Num(groupNumber), model);
      const int content = *std::max_element(levelSums.begin(), levelSums.end());
      const int minWidth = 2 * *std::max_element(levelCounts.begin(), levelCounts.end());
      if (g->ContentWidth != content) Fail("a group's width is not its widest level", Num(groupNumber), model);
      if (g->MinWidth != minWidth) Fail("a group's minimum width is wrong", Num(groupNumber), model);
      if (g->Left != expectedLeft) Fail("a group's left edge is wrong", Num(groupNumber), model);
      expectedLeft += g->TotalWidth;
      ++groupNumber;
      start = end;
    }
    if (groupNumber != cols.GroupCount()) Fail("more group records than groups", "", model);
    if (cols.TotalWidth() != expectedLeft) Fail("the total width is not the groups' sum", "", model);
  }

  // Every level of the group holding column (no fixed-width member) spans the group's width.
  void CheckLevelsSpan(const TgpColumn* column) {
    const TgpGroupInfo* g = column->Group();
    if (!g || g->HasFixedWidth) return;
    TgpColumns& cols = Cols();
    for (int i = g->FirstIndex; i <= g->LastIndex; ++i)
      if (cols.Items(i)->OptionsBehavior().Contains(cboFixedWidth)) return;
    std::vector<int> sums(static_cast<std::size_t>(g->LevelCount), 0);
    std::vector<bool> full(static_cast<std::size_t>(g->LevelCount), true);  // every column at its widest
    for (int i = g->FirstIndex; i <= g->LastIndex; ++i) {
      const TgpColumn* c = cols.Items(i);
      if (!c->Visible()) continue;
      sums[static_cast<std::size_t>(c->ActualLevel())] += c->Width();
      if (c->Width() < TgpColumn::MaxWidth) full[static_cast<std::size_t>(c->ActualLevel())] = false;
    }
    for (std::size_t k = 0; k < sums.size(); ++k)
      if (sums[k] != g->ContentWidth && !(sums[k] < g->ContentWidth && full[k]))
        Fail("a level of a resized group does not span it", Num(g->Number), Model());
  }

  // The collection written out and read into another grid gives the same model.
  void CheckRoundTrip() {
    const String stored = ObjectToStr(Cols(), "layout", false);
    // One grid reads every copy (building one is most of a step's time); it always holds
    // another column before, as a grid whose layout is restored does.
    static TDBDivoRud* other = new TDBDivoRud(nullptr);
    TgpColumns& copy = *other->Columns();
    copy.Clear();
    copy.Add()->SetWidth(77);
    copy.SetAvailableWidth(fAvailable);
    other->SetAutoColumnFit(fGrid.AutoColumnFit());
    // An empty collection is not written at all, and reading nothing leaves what was there.
    if (Cols().Count() == 0) copy.Clear();
    StrToObject(copy, stored, false);
    if (Describe(copy) != Model()) Fail("a round trip changes the layout", "read back: " + Describe(copy), Model());
  }

private:
  int fAvailable;
  TDBDivoRud fGrid{nullptr};
};

// The stored layout as the textual form holds it.
String LayoutText(TScript& in, int count) {
  String s = "object TUniDataStorage\n  Description = 'layout'\n  Data = <";
  for (int k = 0; k < count; ++k) {
    const int level = in.Byte();
    const int index = in.Byte();
    const int width = in.Byte();
    const int flags = in.Byte();
    s += "\n    item\n      FieldName = 'F" + Num(k) + "'\n      Tag = " + Num(k + 1) + "\n";
    // Mostly small positions, now and then one far off or negative as another program wrote it.
    auto position = [](int b) { return b < 0xF0 ? b % 4 : (b & 1 ? -(b & 0x0F) : (b & 0x0F) * 1000); };
    s += "      LayoutLevel = " + Num(position(level)) + "\n";
    s += "      LayoutIndex = " + Num(position(index)) + "\n";
    const long long w = (flags & 0x80) ? 2147483647LL - width : (flags & 0x40) ? width * 100000LL : width * 2LL;
    s += "      Width = " + std::to_string(w) + "\n";
    if (flags & 1) s += "      Visible = False\n";
    if (flags & 2) s += "      Fixed = cfLeft\n";
    String options;
    if (flags & 4) options += "cboFixedWidth";
    if (flags & 8) options += String(options.empty() ? "" : ", ") + "cboStandalone";
    if (flags & 16) options += String(options.empty() ? "" : ", ") + "cboNoSelecting";
    if (!options.empty()) s += "      OptionsBehavior = [" + options + "]\n";
    s += "    end";
  }
  return s + ">\nend\n";
}

TgpColumn* Pick(TGridModel& m, int b) {
  const int n = m.Cols().Count();
  return n == 0 ? nullptr : m.Cols().Items(b % n);
}

// A column, or none for an odd byte past the count (the "last" of before-arguments).
TgpColumn* PickOrNone(TGridModel& m, int b) {
  const int n = m.Cols().Count();
  return n == 0 || b % (n + 1) == n ? nullptr : m.Cols().Items(b % (n + 1));
}

int Position(int b) { return b < 0xF8 ? (b % 5) - 1 : -(b & 7) - 2; }  // -1..3, sometimes below

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TControlDriver* driver = MakeNullDriver().release();
  (void)driver;
  if (size < 3) return 0;
  TScript in{data, data + size};
  const int options = in.Byte();
  const int available = in.Byte() * 4;
  const int count = in.Byte() % 10;
  if (static_cast<std::size_t>(in.end - in.p) < static_cast<std::size_t>(count) * 4) return 0;

  TGridModel m((options & 1) != 0, available);
  const String text = LayoutText(in, count);
  try {
    StrToObject(m.Cols(), text, true);
  } catch (const Exception&) {
    return 0;  // a value the property refuses: the reader's error
  }
  for (int k = 0; k < count; ++k) m.expected.insert(k + 1);
  int nextTag = count + 1;
  // GRID_COLUMNS_TRACE=1 prints the model after every step, to follow a finding.
  static const bool trace = std::getenv("GRID_COLUMNS_TRACE") != nullptr;
  if (trace) std::fprintf(stderr, "%s\nread (fit %d): %s\n", text.c_str(), m.Grid().AutoColumnFit() ? 1 : 0, m.Model().c_str());
  m.Check();
  m.CheckRoundTrip();

  for (int step = 0; step < 48 && in.More(); ++step) {
    const int op = in.Byte();
    const String before = m.Model();
    TgpColumn* resized = nullptr;
    bool refusable = false;
    try {
      switch (op % 14) {
        case 0: {
          TgpColumn* c = Pick(m, in.Byte());
          TgpColumn* target = Pick(m, in.Byte());
          const int index = Position(in.Byte());
          const int level = Position(in.Byte());
          refusable = level < 0 || index < -1;
          if (c && target) {
            m.Cols().Regroup(c, target, index, level);
            if (refusable) Fail("an invalid position was taken", Num(level) + "," + Num(index), before);
            resized = c;
          }
          break;
        }
        case 1:
          if (TgpColumn* c = Pick(m, in.Byte())) m.Cols().Outgroup(c, PickOrNone(m, in.Byte()));
          break;
        case 2:
          if (TgpColumn* c = Pick(m, in.Byte())) m.Cols().MoveGroup(c, PickOrNone(m, in.Byte()));
          break;
        case 3:
          if (TgpColumn* c = Pick(m, in.Byte())) c->SetIndex(in.Byte() % m.Cols().Count());
          break;
        case 4:
          if (TgpColumn* c = Pick(m, in.Byte())) c->SetVisible(!c->Visible());
          break;
        case 5:
          if (TgpColumn* c = Pick(m, in.Byte())) {
            const int b = in.Byte();
            const int width = b < 0xF0 ? b * 3 : (b & 0x0F) * 1000;
            const bool alone = c->Visible() && m.Cols().IsSingleAtLevel(c);
            const bool changes = std::clamp(width, TgpColumn::MinWidth, TgpColumn::MaxWidth) != c->Width();
            c->SetWidth(width);
            if (alone && changes) resized = c;
          }
          break;
        case 6:
          if (TgpColumn* c = Pick(m, in.Byte())) {
            const int b = in.Byte();
            const int v = Position(in.Byte());
            if (b & 1) {
              refusable = v < 0 && v != c->LayoutLevel();
              c->SetLayoutLevel(v);
            } else {
              refusable = v < -1 && v != c->LayoutIndex();
              c->SetLayoutIndex(v);
            }
            if (refusable) Fail("an invalid position was taken", Num(v), before);
          }
          break;
        case 7:
          m.Cols().NormalizeLayout();
          break;
        case 8:
          if (TgpColumn* c = Pick(m, in.Byte())) c->SetFixed(c->Fixed() == cfLeft ? cfNone : cfLeft);
          break;
        case 9:
          if (TgpColumn* c = Pick(m, in.Byte())) {
            static const TgpColumnBehaviorOption toggles[] = {cboFixedWidth, cboStandalone, cboNoSelecting};
            const TgpColumnBehaviorOption o = toggles[in.Byte() % 3];
            TgpColumnBehaviorOptions set = c->OptionsBehavior();
            if (set.Contains(o)) set.Exclude(o);
            else set.Include(o);
            c->SetOptionsBehavior(set);
          }
          break;
        case 10: {
          if (m.Cols().Count() >= 16) break;
          TgpColumn* beforeGroup = PickOrNone(m, in.Byte());
          const int level = Position(in.Byte());
          const int index = Position(in.Byte());
          refusable = level < -1 || index < -1 || (level >= 0 && index < 0);
          TgpColumn* added = m.Cols().Insert(beforeGroup, level, index, Pick(m, in.Byte()));
          if (refusable) Fail("an invalid position was taken", Num(level) + "," + Num(index), before);
          added->SetTag(nextTag);
          m.expected.insert(nextTag++);
          break;
        }
        case 11:
          if (TgpColumn* c = Pick(m, in.Byte())) {
            m.expected.erase(m.expected.find(c->Tag()));
            m.Cols().Remove(c);
          }
          break;
        case 12:
          if (in.Byte() & 1) m.Cols().HideColumns();
          else m.Cols().ShowColumns();
          break;
        case 13:
          m.Grid().SetAutoColumnFit(!m.Grid().AutoColumnFit());
          break;
      }
    } catch (const EDBDivoRud&) {
      if (!refusable) Fail("a valid move was refused", "", before);
      if (m.Model() != before) Fail("a refused move changed the layout", "before: " + before, m.Model());
      continue;
    }
    if (trace)
      std::fprintf(stderr, "op %d (fit %d): %s\n", op % 14, m.Grid().AutoColumnFit() ? 1 : 0, m.Model().c_str());
    m.Check();
    if (resized && !m.Grid().AutoColumnFit()) m.CheckLevelsSpan(resized);
    m.CheckRoundTrip();
  }
  return 0;
}
