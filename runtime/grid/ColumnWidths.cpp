// Widths and horizontal scrolling: the proportional redistribution every width change goes
// through, the bookkeeping of group and level widths, what a column's Width and Visible do to
// their neighbours, fitting the groups into the client width, and scrolling by whole groups.
#include "platform/rtl/Format.h"
#include "runtime/grid/Columns.h"
#include "runtime/rtm/FlagScope.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/ScaleableItems.h"

#include <algorithm>
#include <cstdlib>

namespace zv {

namespace griddetail {

std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c) {
  if (c == 0) return 0;
  const std::int64_t n = a * b;
  const bool negative = (n < 0) != (c < 0);
  const std::int64_t an = n < 0 ? -n : n;
  const std::int64_t ac = c < 0 ? -c : c;
  const std::int64_t q = (2 * an + ac) / (2 * ac);
  return negative ? -q : q;
}

int TScaleableItems::Add(int value, bool fixed, int min, int max) {
  TScaleableItem item;
  item.Value = value;
  item.Min = fixed ? value : min;
  item.Max = fixed ? value : max;
  fItems.push_back(item);
  return Count() - 1;
}

int TScaleableItems::Sum() const {
  std::int64_t sum = 0;
  for (const auto& item : fItems) sum += item.Value;
  return static_cast<int>(sum);
}

std::int64_t TScaleableItems::Absorb(int from, int to, std::int64_t amount, bool sweepToTheEnd) {
  if (amount == 0 || from >= to) return amount;
  std::int64_t sum = 0;
  for (int i = from; i < to; ++i) sum += fItems[static_cast<std::size_t>(i)].Value;
  int adjustments = 0;
  std::vector<int> start(static_cast<std::size_t>(to - from));
  // Every pass either changes a value within its bounds or ends the loop; the cap only guards
  // against rounding that would swing back and forth.
  for (int pass = 0; pass < 64 && amount != 0 && sum > 0; ++pass) {
    for (int i = from; i < to; ++i) start[static_cast<std::size_t>(i - from)] = fItems[static_cast<std::size_t>(i)].Value;
    std::int64_t change = 0;
    bool inRange = false;
    for (int i = from; i < to && change != amount; ++i) {
      TScaleableItem& item = fItems[static_cast<std::size_t>(i)];
      if (item.Saturated) continue;
      const std::int64_t d = MulDivRound(amount, start[static_cast<std::size_t>(i - from)], sum);
      std::int64_t value = item.Value + d;
      if (d < 0 && value <= item.Min) {
        value = item.Min;
        item.Saturated = true;
      } else if (d > 0 && value >= item.Max) {
        value = item.Max;
        item.Saturated = true;
      }
      const std::int64_t delta = value - item.Value;
      item.Value = static_cast<int>(value);
      change += delta;
      if (delta != 0 && !item.Saturated) {
        inRange = true;
        ++adjustments;
      }
    }
    sum += change;
    amount -= change;
    if (!inRange) break;
  }
  // Rounding leaves a few pixels: one each, in order, to the items that can still move. A pass
  // that rounds every share up can overshoot and leave the last items at the bound they were
  // pushed to; the pixels owed back then go the other way, away from that bound, so a saturated
  // item takes them as any other does (the range check below still keeps it within bounds).
  auto sweep = [&] {
    const int step = amount > 0 ? 1 : -1;
    bool moved = false;
    for (int i = from; i < to && amount != 0; ++i) {
      TScaleableItem& item = fItems[static_cast<std::size_t>(i)];
      const int value = item.Value + step;
      if (value < item.Min || value > item.Max) continue;
      item.Value = value;
      amount -= step;
      moved = true;
    }
    return moved;
  };
  if (amount != 0 && 2 * std::llabs(amount) < adjustments) sweep();
  if (sweepToTheEnd)
    while (amount != 0 && sweep()) {
    }
  return amount;
}

void TScaleableItems::Scale(int target, int anchor, bool giveBack) {
  if (fItems.empty()) return;
  for (auto& item : fItems) item.Saturated = false;
  if (anchor < 0 || anchor >= Count()) {
    Absorb(0, Count(), static_cast<std::int64_t>(target) - Sum(), true);
    return;
  }
  TScaleableItem& a = fItems[static_cast<std::size_t>(anchor)];
  const int old = a.Value;
  a.Value = std::clamp(target, a.Min, a.Max);
  std::int64_t left = Absorb(anchor + 1, Count(), old - a.Value, false);
  if (left != 0) left = Absorb(0, anchor, left, false);
  if (giveBack && left != 0) a.Value = static_cast<int>(std::clamp<std::int64_t>(a.Value + left, a.Min, a.Max));
}

}  // namespace griddetail

using griddetail::MulDivRound;
using griddetail::TScaleableItems;

// ---- Bookkeeping -------------------------------------------------------------------------

void TgpColumns::UpdateWidthsInfo() {
  const int line = fGrid ? fGrid->ColumnMargin() : 0;
  fTotalWidth = 0;
  for (TgpGroupInfo* g : fGroups) {
    int content = 0;
    int minWidth = 0;
    int levelSum = 0;
    int levelMin = 0;
    const TgpColumn* prev = nullptr;
    for (int i = g->FirstIndex; i <= g->LastIndex; ++i) {
      TgpColumn* c = Items(i);
      if (!c->fVisible) continue;
      if (prev && c->fActualLevel == prev->fActualLevel) {
        levelSum += c->fWidth;
        levelMin += TgpColumn::MinWidth;
      } else {
        content = std::max(content, levelSum);
        minWidth = std::max(minWidth, levelMin);
        levelSum = c->fWidth;
        levelMin = TgpColumn::MinWidth;
      }
      prev = c;
    }
    g->ContentWidth = std::max(content, levelSum);
    g->MinWidth = std::max(minWidth, levelMin);
    g->LineWidth = line;
    g->TotalWidth = g->ContentWidth + line;
    g->Left = fTotalWidth;
    fTotalWidth += g->TotalWidth;
  }
  fFixedAreaWidth = 0;
  if (fHasFixed && fLastFixedGroup < GroupCount()) {
    const TgpGroupInfo* last = fGroups[static_cast<std::size_t>(fLastFixedGroup)];
    fFixedAreaWidth = last->Left + last->TotalWidth;
  }
}

namespace {

// A fixed-width column takes no share of a change; the column whose own width is being set is
// not held by its option meanwhile.
bool HoldsWidth(const TgpColumn* c, const TgpColumn* suspended) {
  return c != suspended && c->OptionsBehavior().Contains(cboFixedWidth);
}

}  // namespace

int TgpColumns::UpdateLevelEx(TgpGroupInfo* group, int actualLevel, int delta, bool propagate, int newWidth,
                              TgpColumn* anchor) {
  int first = -1;
  int last = -1;
  int count = 0;
  GetLevelRange(group, actualLevel, first, last, count);
  if (count == 0) return 0;
  TScaleableItems items;
  std::vector<TgpColumn*> columns;
  int anchorItem = -1;
  int sum = 0;
  for (int i = first; i <= last; ++i) {
    TgpColumn* c = Items(i);
    if (!c->fVisible || c->fActualLevel != actualLevel) continue;
    // Stretching stops at the widest column there may be, as a stored width does.
    const int k = items.Add(c->fWidth, HoldsWidth(c, fSuspendedFixed), TgpColumn::MinWidth, TgpColumn::MaxWidth);
    if (c == anchor) anchorItem = k;
    columns.push_back(c);
    sum += c->fWidth;
  }
  if (anchor && anchorItem < 0) anchor = nullptr;
  const int target = anchor ? delta + (newWidth != 0 ? newWidth : anchor->fWidth)
                            : delta + (newWidth != 0 ? newWidth : sum);
  items.Scale(target, anchorItem, false);
  int newSum = 0;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    columns[k]->fWidth = items[static_cast<int>(k)].Value;
    newSum += columns[k]->fWidth;
  }
  const int leftover = anchor ? sum - newSum : target - newSum;
  if (propagate && leftover != 0) UpdateGroupWidth(group, 0, -leftover);
  return leftover;
}

void TgpColumns::UpdateLevel(TgpGroupInfo* group, int actualLevel, int delta, bool propagate, int newWidth,
                             TgpColumn* anchor) {
  UpdateLevelEx(group, actualLevel, delta, propagate, newWidth, anchor);
}

void TgpColumns::SetLevelsWidth(TgpGroupInfo* group, int width) {
  for (int level = 0; level < group->LevelCount; ++level) UpdateLevelEx(group, level, 0, false, width, nullptr);
}

bool TgpColumns::GroupHoldsWidth(const TgpGroupInfo* group) const {
  for (int i = group->FirstIndex; i <= group->LastIndex; ++i)
    if (Items(i)->fVisible && HoldsWidth(Items(i), fSuspendedFixed)) return true;
  return false;
}

void TgpColumns::UpdateGroupWidth(TgpGroupInfo* group, int width, int delta) {
  if (!group) return;
  if (width == 0) width = group->ContentWidth + delta;
  if (group->FixedKind == cfLeft) {
    SetLevelsWidth(group, std::max(width, group->MinWidth));
    UpdateWidthsInfo();
    if (fAutoFit) DoFit(false, true);
  } else if (fAutoFit) {
    // The scrollable width stays: the other scrollable groups give or take what this one takes.
    TScaleableItems items;
    std::vector<TgpGroupInfo*> groups;
    int anchor = -1;
    for (TgpGroupInfo* g : fGroups) {
      if (g->FixedKind != cfNone) continue;
      const int k = items.Add(g->ContentWidth, GroupHoldsWidth(g), g->MinWidth);
      if (g == group) anchor = k;
      groups.push_back(g);
    }
    items.Scale(width, anchor, true);
    for (std::size_t k = 0; k < groups.size(); ++k) SetLevelsWidth(groups[k], items[static_cast<int>(k)].Value);
  } else {
    SetLevelsWidth(group, std::max(width, group->MinWidth));
  }
  UpdateWidthsInfo();
}

// ---- Fitting -----------------------------------------------------------------------------

void TgpColumns::FitPart(TgpColumnFixed kind, int room) {
  TScaleableItems items;
  std::vector<TgpGroupInfo*> groups;
  int lines = 0;
  for (TgpGroupInfo* g : fGroups) {
    if (g->FixedKind != kind) continue;
    items.Add(g->ContentWidth, GroupHoldsWidth(g), g->MinWidth);
    groups.push_back(g);
    lines += g->LineWidth;
  }
  if (groups.empty()) return;
  items.Scale(room - lines, -1, false);
  for (std::size_t k = 0; k < groups.size(); ++k) SetLevelsWidth(groups[k], items[static_cast<int>(k)].Value);
  UpdateWidthsInfo();
}

void TgpColumns::DoFit(bool fixedPart, bool scrollPart) {
  // Until the grid knows its client width there is nothing to fit into, and squeezing every
  // group to its minimum would lose the stored proportions.
  if (!fHasGroups || fAvailableWidth <= 0) return;
  if (fixedPart && fHasFixed && fTotalWidth > 0) {
    std::int64_t share = MulDivRound(fAvailableWidth, fFixedAreaWidth, fTotalWidth);
    if (fHasScrollable) {
      // The fixed part takes what the scrollable groups cannot take or give up (fixed-width
      // columns, minimums): shared in proportion alone, every later fit would move the fixed
      // columns again without anything having changed.
      std::int64_t least = 0;
      std::int64_t most = 0;
      bool bounded = true;
      for (const TgpGroupInfo* g : fGroups) {
        if (g->FixedKind != cfNone) continue;
        const bool held = GroupHoldsWidth(g);
        least += (held ? g->ContentWidth : g->MinWidth) + g->LineWidth;
        most += g->ContentWidth + g->LineWidth;
        bounded = bounded && held;
      }
      share = std::min<std::int64_t>(share, fAvailableWidth - least);
      if (bounded) share = std::max<std::int64_t>(share, fAvailableWidth - most);
    }
    FitPart(cfLeft, static_cast<int>(std::clamp<std::int64_t>(share, 0, fAvailableWidth)));
  }
  // The fixed part's new width decides what the scrollable part shares.
  if (scrollPart && fHasScrollable) FitPart(cfNone, std::max(fAvailableWidth - fFixedAreaWidth, 0));
}

void TgpColumns::DoFullFit() {
  if (fHasGroups && fAutoFit) DoFit(true, true);
  UpdateScrollStop(false, true);
}

// ---- Scrolling by groups -----------------------------------------------------------------

void TgpColumns::UpdateScrollStop(bool keepCurrentInView, bool recount) {
  const int n = GroupCount();
  if (!fHasScrollable) {
    fFirstGroupInView = fFirstScrollGroup;
    fScrollStopCount = 0;
    fLastGroupInView = n - 1;
    for (TgpGroupInfo* g : fGroups) {
      g->InView = true;
      g->DisplayLeft = g->Left;
    }
  } else {
    const int room = std::max(fAvailableWidth - fFixedAreaWidth, 0);
    if (recount) {
      const TgpGroupInfo* last = fGroups[static_cast<std::size_t>(fLastScrollGroup)];
      const int end = last->Left + last->TotalWidth;
      fScrollStopCount = 0;
      for (int k = fFirstScrollGroup; k <= fLastScrollGroup; ++k) {
        ++fScrollStopCount;
        if (end - fGroups[static_cast<std::size_t>(k)]->Left <= room) break;
      }
    }
    if (keepCurrentInView && fGrid) {
      TgpColumn* current = fGrid->CurrentColumn();
      if (current && current->fGroup && !IsColInView(current) && current->fGroup->FixedKind == cfNone)
        fFirstGroupInView = current->fGroup->Number;
    }
    const int lastStop = fFirstScrollGroup + std::max(fScrollStopCount, 1) - 1;
    fFirstGroupInView = std::clamp(fFirstGroupInView, fFirstScrollGroup, lastStop);
    const int firstLeft = fGroups[static_cast<std::size_t>(fFirstGroupInView)]->Left;
    fLastGroupInView = -1;
    for (TgpGroupInfo* g : fGroups) {
      if (g->FixedKind == cfLeft) {
        g->InView = true;
        g->DisplayLeft = g->Left;
      } else if (g->Number < fFirstGroupInView) {
        g->InView = false;
        g->DisplayLeft = 0;
      } else {
        g->InView = true;
        g->DisplayLeft = fFixedAreaWidth + g->Left - firstLeft;
        if (g->DisplayLeft < fAvailableWidth) fLastGroupInView = g->Number;
      }
    }
  }
  if (fGrid) fGrid->UpdateViewBar(false);
}

bool TgpColumns::IsColInView(const TgpColumn* column) const {
  if (!column || !column->fGroup) return false;
  if (column->fGroup->FixedKind == cfLeft || fScrollStopCount <= 1) return true;
  const int number = column->fGroup->Number;
  if (number < fFirstGroupInView) return false;
  const bool atLastStop = fFirstGroupInView >= fFirstScrollGroup + fScrollStopCount - 1;
  return number < fLastGroupInView || atLastStop;
}

// ---- The width side of a column ----------------------------------------------------------

void TgpColumn::SetWidth(int value) {
  value = std::clamp(value, MinWidth, MaxWidth);
  if (value == fWidth) return;
  TgpColumns* columns = GetColumns();
  if (!fVisible || !columns || columns->IsFrozen() || !fGroup) {
    fWidth = value;
    return;
  }
  {
    TFlagScope<TgpColumn*> suspended(columns->fSuspendedFixed, this);
    if (columns->IsSingleAtLevel(this))
      columns->UpdateGroupWidth(fGroup, value, 0);
    else
      columns->UpdateLevelEx(fGroup, fActualLevel, 0, true, value, this);
  }
  Changed(false);
}

void TgpColumn::SetVisible(bool value) {
  if (value == fVisible) return;
  TgpColumns* columns = GetColumns();
  if (!columns || columns->IsFrozen()) {
    fVisible = value;
    return;
  }
  if (value) {
    // The level this column returns to keeps its width: its neighbours narrow first, and the
    // group widens by what they cannot give once the column shows.
    TgpColumn* sibling = nullptr;
    const int i = Index();
    for (int j = columns->GroupStart(i), end = columns->GroupEnd(i); j <= end && !sibling; ++j) {
      TgpColumn* c = columns->Items(j);
      if (c != this && c->fVisible && c->fLayoutLevel == fLayoutLevel) sibling = c;
    }
    if (sibling && sibling->fGroup) {
      const int oldContent = sibling->fGroup->ContentWidth;
      const int left = columns->UpdateLevelEx(sibling->fGroup, sibling->fActualLevel, -fWidth, false, 0, nullptr);
      fVisible = true;
      columns->UpdateGroupsInfo();
      columns->UpdateWidthsInfo();
      if (left != 0) columns->UpdateGroupWidth(fGroup, oldContent - left, 0);
    } else {
      fVisible = true;
    }
  } else {
    const bool shared = fGroup && !columns->IsSingleAtLevel(this);
    TgpGroupInfo* group = fGroup;
    const int oldContent = group ? group->ContentWidth : 0;
    fVisible = false;
    if (shared) {
      // The others on the level share its width, so the level keeps it.
      columns->UpdateGroupsInfo();
      columns->UpdateWidthsInfo();
      TgpColumn* sibling = nullptr;
      const int i = Index();
      for (int j = columns->GroupStart(i), end = columns->GroupEnd(i); j <= end && !sibling; ++j) {
        TgpColumn* c = columns->Items(j);
        if (c != this && c->fVisible && c->fLayoutLevel == fLayoutLevel) sibling = c;
      }
      if (sibling && sibling->fGroup) {
        const int left = columns->UpdateLevelEx(sibling->fGroup, sibling->fActualLevel, fWidth, false, 0, nullptr);
        columns->UpdateWidthsInfo();
        if (left != 0) columns->UpdateGroupWidth(sibling->fGroup, oldContent - left, 0);
      }
    }
  }
  Changed(false);
}

}  // namespace zv
