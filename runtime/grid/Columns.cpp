// TgpColumns: the collection, the group model (which columns form which group, their actual
// levels and indexes) and the moves that keep it whole: regrouping, leaving a group, moving a
// group, fixed groups in front, and the repair of stored layouts that break the model.
//
// Sections: collection basics; title and footer states; selectable columns; group model;
// moves; normalising; updates and copying.
#include "runtime/grid/Columns.h"
#include "runtime/rtm/FlagScope.h"

#include "platform/controls/Menus.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/FieldVision.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(TgpColumns, TCollection)

// Marks one of the collection's own reshuffles; nested scopes keep the outer code.
// An operation inside another keeps the outer one's code.
struct TgpColumns::TOpScope : TFlagScope<TInternalOp> {
  TOpScope(TgpColumns& o, TInternalOp op) : TFlagScope(o.fInternalOp, o.fInternalOp == ioNone ? op : o.fInternalOp) {}
};

TgpColumns::TgpColumns(TDBDivoRud* grid) : TCollection(TgpColumn::StaticClass()), fGrid(grid) {
  SetPropName("Columns");
}

TgpColumns::~TgpColumns() {
  fDestroying = true;
  BeginUpdate();
  while (Count() > 0) delete Items(Count() - 1);
  for (TgpGroupInfo* g : fGroups) delete g;
  fGroups.clear();
}

TPersistent* TgpColumns::GetOwner() const { return fGrid; }

bool TgpColumns::IsFrozen() const { return fDestroying || UpdateCount() > 0 || (fGrid && fGrid->IsLoading()); }

// ---- Collection basics -------------------------------------------------------------------

TgpColumn* TgpColumns::Add() { return static_cast<TgpColumn*>(TCollection::Add()); }

TgpColumn* TgpColumns::Insert(TgpColumn* beforeGroup, int level, int index, TgpColumn* source) {
  if (level < -1 || index < -1)
    throw EDBDivoRud(Format(SEInvalidLayoutPos.Text(), {level, index}));
  TgpColumn* column = nullptr;
  {
    TOpScope op(*this, ioInsert);
    column = Add();
    UpdateGroupsInfo();
    UpdateWidthsInfo();
    if (source) {
      column->fFieldName = source->fFieldName;
      column->fFieldList->SetFieldNames(column->fFieldName);
      column->UpdateFields();
    }
  }
  if (beforeGroup && beforeGroup->Collection() == this) {
    if (level == -1)
      Outgroup(column, beforeGroup);
    else
      Regroup(column, beforeGroup, index, level);
  } else {
    Changed();
  }
  return column;
}

void TgpColumns::Remove(TgpColumn* column) {
  if (column && column->Collection() == this) delete column;
}

int TgpColumns::IndexOf(const TgpColumn* column) const {
  return column && column->Collection() == this ? column->Index() : -1;
}

TgpColumn* TgpColumns::ByField(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->FieldNameIs(name)) return Items(i);
  return nullptr;
}

TgpColumn* TgpColumns::ByTag(int tag) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Tag() == tag) return Items(i);
  return nullptr;
}

int TgpColumns::GetVisibleCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i) n += Items(i)->Visible() ? 1 : 0;
  return n;
}

TgpColumn* TgpColumns::GetVisibleItem(int n) const {
  if (n < 0) return nullptr;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Visible() && n-- == 0) return Items(i);
  return nullptr;
}

String TgpColumns::GetFieldNames() const {
  String result;
  bool first = true;
  for (int i = 0; i < Count(); ++i) {
    if (!Items(i)->Visible()) continue;
    if (!first) result += ';';
    result += Items(i)->FieldName();
    first = false;
  }
  return result;
}

// ---- Title and footer states -------------------------------------------------------------

namespace {

bool IsSorted(const TgpColumn* c) { return c->Visible() && c->TitleState() != tsSortedNone; }

}  // namespace

int TgpColumns::GetTitleStatedCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i) n += IsSorted(Items(i)) ? 1 : 0;
  return n;
}

TgpColumn* TgpColumns::GetTitleStatedItem(int n) const {
  std::vector<TgpColumn*> sorted;
  for (int i = 0; i < Count(); ++i)
    if (IsSorted(Items(i))) sorted.push_back(Items(i));
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const TgpColumn* a, const TgpColumn* b) { return a->SortID() < b->SortID(); });
  return n >= 0 && n < static_cast<int>(sorted.size()) ? sorted[static_cast<std::size_t>(n)] : nullptr;
}

int TgpColumns::GetFooterStatedCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i) n += Items(i)->Visible() && Items(i)->FooterState() != fsNone ? 1 : 0;
  return n;
}

TgpColumn* TgpColumns::GetFooterStatedItem(int n) const {
  if (n < 0) return nullptr;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Visible() && Items(i)->FooterState() != fsNone && n-- == 0) return Items(i);
  return nullptr;
}

String TgpColumns::GetSortString(const String& prefix) const {
  String result;
  const int count = GetTitleStatedCount();
  for (int n = 0; n < count; ++n) {
    TgpColumn* c = GetTitleStatedItem(n);
    if (c->FieldName().empty()) continue;
    if (!result.empty()) result += ',';
    result += prefix + c->FieldName() + (c->TitleState() == tsSortedUp ? " ASC" : " DESC");
  }
  return result;
}

// ---- Selectable columns ------------------------------------------------------------------

bool TgpColumns::UpdateSelectable() {
  fSelectable.clear();
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Selectable()) fSelectable.push_back(Items(i));
  fHasSelectable = !fSelectable.empty();
  return fHasSelectable;
}

TgpColumn* TgpColumns::GetSelectable(int i) const {
  return i >= 0 && i < GetSelectableCount() ? fSelectable[static_cast<std::size_t>(i)] : nullptr;
}

int TgpColumns::GetNearSelectable() const {
  const int current = fGrid ? fGrid->Col() : -1;
  for (int i = std::max(current, 0); i < Count(); ++i)
    if (Items(i)->Selectable()) return i;
  for (int i = std::min(current, Count()) - 1; i >= 0; --i)
    if (Items(i)->Selectable()) return i;
  return -1;
}

// ---- Group model -------------------------------------------------------------------------

int TgpColumns::GroupStart(int i) const {
  while (i > 0 && !Items(i)->IsLeading()) --i;
  return i;
}

int TgpColumns::GroupEnd(int i) const {
  int j = i + 1;
  while (j < Count() && !Items(j)->IsLeading()) ++j;
  return j - 1;
}

std::vector<TgpColumn*> TgpColumns::GroupMembers(const TgpColumn* member) const {
  std::vector<TgpColumn*> result;
  const int i = member->Index();
  for (int j = GroupStart(i), end = GroupEnd(i); j <= end; ++j) result.push_back(Items(j));
  return result;
}

TgpGroupInfo* TgpColumns::GetGroupInfo(int i) const {
  CheckIndex(i, GroupCount());
  return fGroups[static_cast<std::size_t>(i)];
}

void TgpColumns::UpdateGroupsInfo() {
  const int n = Count();
  // Actual levels and indexes of the visible columns; one group per leader with a visible one.
  int groupCount = 0;
  TgpColumn* prev = nullptr;
  for (int i = 0; i < n; ++i) {
    TgpColumn* c = Items(i);
    if (i == 0 || c->IsLeading()) prev = nullptr;
    if (!c->fVisible) {
      c->fActualLevel = c->fActualIndex = -1;
      continue;
    }
    if (!prev) {
      c->fActualLevel = 0;
      c->fActualIndex = 0;
      ++groupCount;
    } else if (c->fLayoutLevel == prev->fLayoutLevel) {
      c->fActualLevel = prev->fActualLevel;
      c->fActualIndex = prev->fActualIndex + 1;
    } else {
      c->fActualLevel = prev->fActualLevel + 1;
      c->fActualIndex = 0;
    }
    prev = c;
  }
  // Records are reused; surplus ones go from the front.
  const int have = static_cast<int>(fGroups.size());
  if (have > groupCount) {
    for (int k = 0; k < have - groupCount; ++k) delete fGroups[static_cast<std::size_t>(k)];
    fGroups.erase(fGroups.begin(), fGroups.begin() + (have - groupCount));
  }
  while (static_cast<int>(fGroups.size()) < groupCount) {
    fGroups.push_back(new TgpGroupInfo);
    fGroups.back()->Clear();
  }

  int ordinal = -1;
  int g = -1;
  TgpGroupInfo* cur = nullptr;
  for (int i = 0; i < n; ++i) {
    TgpColumn* c = Items(i);
    if (i == 0 || c->IsLeading()) {
      ++ordinal;
      bool anyVisible = false;
      for (int j = i; j < n && (j == i || !Items(j)->IsLeading()); ++j)
        if (Items(j)->fVisible) {
          anyVisible = true;
          break;
        }
      cur = anyVisible ? fGroups[static_cast<std::size_t>(++g)] : nullptr;
      if (cur) {
        cur->Clear();
        cur->Number = g;
        cur->Ordinal = ordinal;
        cur->FirstIndex = i;
      }
    }
    c->fGroup = cur;
    if (!cur) continue;
    cur->LastIndex = i;
    if (!c->fVisible) continue;
    if (cur->FirstVisible < 0)
      cur->FirstVisible = i;
    else if (cur->SecondVisible < 0)
      cur->SecondVisible = i;
    cur->LastVisible = i;
    cur->HasFixedWidth = cur->HasFixedWidth || c->fOptionsBehavior.Contains(cboFixedWidth);
    cur->HasStandalone = cur->HasStandalone || c->fOptionsBehavior.Contains(cboStandalone);
    if (c->fActualIndex == 0) ++cur->LevelCount;
  }

  // Line ends, last levels and the chain of visible columns.
  TgpColumn* prevVisible = nullptr;
  for (int i = 0; i < n; ++i) {
    TgpColumn* c = Items(i);
    TgpColumnLowLevelInfo& low = c->fLowLevel;
    if (!c->fVisible) {
      low.EndsLine = low.OnLastLevel = false;
      low.PrevVisible = low.NextVisible = nullptr;
      continue;
    }
    low.OnLastLevel = c->fActualLevel + 1 == c->fGroup->LevelCount;
    low.EndsLine = true;
    low.PrevVisible = prevVisible;
    low.NextVisible = nullptr;
    if (prevVisible) {
      prevVisible->fLowLevel.NextVisible = c;
      if (prevVisible->fGroup == c->fGroup && prevVisible->fActualLevel == c->fActualLevel)
        prevVisible->fLowLevel.EndsLine = false;
    }
    prevVisible = c;
  }

  fLastFixedGroup = -1;
  fFirstScrollGroup = -1;
  fLastScrollGroup = -1;
  for (TgpGroupInfo* group : fGroups) {
    group->Single = group->FirstIndex == group->LastIndex;
    group->FixedKind = Items(group->FirstIndex)->fFixed;
    if (group->FixedKind == cfLeft) {
      fLastFixedGroup = group->Number;
    } else {
      if (fFirstScrollGroup < 0) fFirstScrollGroup = group->Number;
      fLastScrollGroup = group->Number;
    }
  }
  fHasGroups = !fGroups.empty();
  fHasFixed = fLastFixedGroup >= 0;
  fHasScrollable = fLastScrollGroup >= 0;
  if (fFirstScrollGroup < 0) fFirstScrollGroup = 0;
}

int TgpColumns::GetLayoutLevelR(const TgpColumn* column) const {
  if (!column || column->Collection() != this) return -1;
  const int i = column->Index();
  for (int j = GroupStart(i), end = GroupEnd(i); j <= end; ++j) {
    const TgpColumn* c = Items(j);
    if (c->fVisible && c->fLayoutLevel == column->fLayoutLevel) return c->fActualLevel;
  }
  return -1;
}

bool TgpColumns::IsSingleAtLevel(const TgpColumn* column) const {
  const int i = column->Index();
  for (int j = GroupStart(i), end = GroupEnd(i); j <= end; ++j) {
    const TgpColumn* c = Items(j);
    if (c != column && c->fVisible && c->fLayoutLevel == column->fLayoutLevel) return false;
  }
  return true;
}

bool TgpColumns::AreSiblings(int i, int j) const {
  const TgpGroupInfo* a = Items(i)->fGroup;
  return a && a == Items(j)->fGroup;
}

void TgpColumns::GetLevelRange(const TgpGroupInfo* group, int actualLevel, int& first, int& last,
                               int& count) const {
  first = last = -1;
  count = 0;
  if (!group) return;
  for (int i = group->FirstIndex; i <= group->LastIndex && i < Count(); ++i) {
    const TgpColumn* c = Items(i);
    if (!c->fVisible || c->fActualLevel != actualLevel) continue;
    if (first < 0) first = i;
    last = i;
    ++count;
  }
}

// ---- Moves -------------------------------------------------------------------------------

void TgpColumns::MoveColumn(TgpColumn* column, int index) {
  TOpScope op(*this, fInternalOp == ioNone ? ioGroupMove : fInternalOp);
  column->TCollectionItem::SetIndex(index);
}

namespace {

// The final index that puts column in front of before (last without one).
int IndexBefore(const TgpColumn* column, const TgpColumn* before, int count) {
  if (!before) return count - 1;
  const int from = column->Index();
  const int to = before->Index();
  return from < to ? to - 1 : to;
}

}  // namespace

void TgpColumns::Renumber(const std::vector<TgpColumn*>& members) {
  int level = 0;
  int index = 0;
  int prevRaw = 0;
  for (std::size_t k = 0; k < members.size(); ++k) {
    TgpColumn* c = members[k];
    if (k == 0) {
      level = index = 0;
    } else if (c->fLayoutLevel != prevRaw) {
      ++level;
      index = 0;
    } else {
      ++index;
    }
    prevRaw = c->fLayoutLevel;
    c->fLayoutLevel = level;
    c->fLayoutIndex = index;
  }
}

void TgpColumns::UpdateLayout(TgpColumn* groupMember) {
  if (groupMember && groupMember->Collection() == this) Renumber(GroupMembers(groupMember));
}

void TgpColumns::Regroup(TgpColumn* column, TgpColumn* target, int index, int level) {
  if (!column || !target || column->Collection() != this || target->Collection() != this) return;
  // Checked first: a refused position leaves the column exactly as it was.
  if (level < 0 || index < -1) throw EDBDivoRud(Format(SEInvalidLayoutPos.Text(), {level, index}));
  if (!column->fVisible) {
    column->SetVisible(true);
    UpdateGroupsInfo();
    UpdateWidthsInfo();
  }
  std::vector<TgpColumn*> targetMembers = GroupMembers(target);
  const bool sameGroup = std::find(targetMembers.begin(), targetMembers.end(), column) != targetMembers.end();
  if (sameGroup && targetMembers.size() == 1) return;

  TOpScope op(*this, ioRegroup);
  const int targetWidth = target->fGroup ? target->fGroup->ContentWidth : 0;
  std::vector<TgpColumn*> oldMembers;
  int oldWidth = 0;
  if (!sameGroup) {
    oldMembers = GroupMembers(column);
    oldWidth = column->fGroup ? column->fGroup->ContentWidth : 0;
    oldMembers.erase(std::find(oldMembers.begin(), oldMembers.end(), column));
  }
  targetMembers.erase(std::remove(targetMembers.begin(), targetMembers.end(), column), targetMembers.end());

  if (index == -1) {
    for (TgpColumn* c : targetMembers)
      if (c->fLayoutLevel >= level) ++c->fLayoutLevel;
    index = 0;
  }
  // A position equal to a column's goes in front of it: a drop between two cells.
  TgpColumn* before = nullptr;
  for (TgpColumn* c : targetMembers)
    if ((c->fLayoutLevel == level && c->fLayoutIndex >= index) || c->fLayoutLevel > level) {
      before = c;
      break;
    }
  bool newLevel = true;
  for (TgpColumn* c : targetMembers)
    if (c->fVisible && c->fLayoutLevel == level) newLevel = false;

  column->fLayoutLevel = level;
  column->fLayoutIndex = index;
  if (before) {
    MoveColumn(column, IndexBefore(column, before, Count()));
  } else {
    TgpColumn* last = targetMembers.back();
    const int to = column->Index() < last->Index() ? last->Index() : last->Index() + 1;
    MoveColumn(column, to);
  }
  auto pos = before ? std::find(targetMembers.begin(), targetMembers.end(), before) : targetMembers.end();
  targetMembers.insert(pos, column);
  Renumber(targetMembers);
  if (!oldMembers.empty()) Renumber(oldMembers);
  UpdateGroupsInfo();
  UpdateWidthsInfo();
  if (column->fVisible && column->fGroup) {
    // The group keeps its width, unless the column opened a level of its own that is wider.
    const int width = newLevel ? std::max(targetWidth, column->fWidth) : targetWidth;
    if (width > 0) UpdateGroupWidth(column->fGroup, width, 0);
    if (!oldMembers.empty() && oldMembers.front()->fGroup && oldWidth > 0)
      UpdateGroupWidth(oldMembers.front()->fGroup, oldWidth, 0);
  }
  op.Restore();
  column->Changed(false);
}

void TgpColumns::Outgroup(TgpColumn* column, TgpColumn* beforeGroup) {
  if (!column || column->Collection() != this) return;
  if (!column->fVisible) {
    column->SetVisible(true);
    UpdateGroupsInfo();
    UpdateWidthsInfo();
  }
  TOpScope op(*this, ioOutgroup);
  std::vector<TgpColumn*> oldMembers = GroupMembers(column);
  const int oldWidth = column->fGroup ? column->fGroup->ContentWidth : 0;
  int oldVisible = 0;
  for (TgpColumn* c : oldMembers) oldVisible += c->fVisible ? 1 : 0;
  oldMembers.erase(std::find(oldMembers.begin(), oldMembers.end(), column));
  TgpColumn* before = beforeGroup ? Items(GroupStart(beforeGroup->Index())) : nullptr;
  if (before == column) before = oldMembers.empty() ? nullptr : oldMembers.front();
  if (before && std::find(oldMembers.begin(), oldMembers.end(), before) != oldMembers.end())
    before = oldMembers.front();
  MoveColumn(column, IndexBefore(column, before, Count()));
  column->fLayoutLevel = 0;
  column->fLayoutIndex = 0;
  // The columns left behind are renumbered even when none of them shows: the first must lead
  // them, or they would join the group in front.
  if (!oldMembers.empty()) Renumber(oldMembers);
  UpdateGroupsInfo();
  UpdateWidthsInfo();
  if (oldVisible >= 2 && !oldMembers.empty() && oldMembers.front()->fGroup)
    UpdateGroupWidth(oldMembers.front()->fGroup, oldWidth, 0);
  op.Restore();
  column->Changed(false);
}

void TgpColumns::MoveGroup(TgpColumn* group, TgpColumn* beforeGroup) {
  if (!group || group->Collection() != this) return;
  std::vector<TgpColumn*> members = GroupMembers(group);
  TgpColumn* before = beforeGroup ? Items(GroupStart(beforeGroup->Index())) : nullptr;
  if (before && std::find(members.begin(), members.end(), before) != members.end()) return;
  {
    TOpScope op(*this, ioGroupMove);
    for (TgpColumn* c : members) MoveColumn(c, IndexBefore(c, before, Count()));
  }
  Changed();
}

void TgpColumns::UpdateGroupBehavior(TgpColumn* column) {
  UpdateGroupsInfo();
  if (GroupStart(column->Index()) == GroupEnd(column->Index())) {
    // Alone already: the group records were rebuilt without their widths, and a fixed width
    // changes what fitting may do; lay out again as a move would.
    UpdateWidthsInfo();
    column->Changed(false);
    return;
  }
  Outgroup(column, Items(GroupStart(column->Index())));
}

namespace {

TgpColumnFixed KindOfGroupAt(const TgpColumns& columns, int start) { return columns.Items(start)->Fixed(); }

}  // namespace

void TgpColumns::UpdateFixedPos() {
  if (fGrid && fGrid->IsLoading()) return;
  {
    TOpScope op(*this, ioFixedPos);
    UpdateGroupsInfo();
    // Whole fixed groups that stand after a scrollable one go in front of it.
    int firstScrollStart = -1;
    for (int i = 0; i < Count();) {
      const int end = GroupEnd(i);
      if (KindOfGroupAt(*this, i) == cfNone) {
        if (firstScrollStart < 0) firstScrollStart = i;
      } else if (firstScrollStart >= 0) {
        const int length = end - i + 1;
        for (int k = 0; k < length; ++k) MoveColumn(Items(i + k), firstScrollStart + k);
        firstScrollStart += length;
      }
      i = end + 1;
    }
    // Then single columns whose Fixed differs from their group's.
    for (int i = Count() - 1; i >= 0;) {
      TgpColumn* c = Items(i);
      const int start = GroupStart(i);
      if (c->fVisible && start != i && c->fFixed != KindOfGroupAt(*this, start)) {
        TgpColumn* before = nullptr;
        for (int j = 0; j < Count(); j = GroupEnd(j) + 1)
          if (KindOfGroupAt(*this, j) == cfNone) {
            before = Items(j);
            break;
          }
        Outgroup(c, before);
        UpdateGroupsInfo();
        if (Items(i) == c) --i;
        continue;
      }
      --i;
    }
  }
  Changed();
}

void TgpColumns::UpdateAttrs() {
  const String attrs = fGrid ? fGrid->Attrs() : String();
  for (int i = 0; i < Count(); ++i) Items(i)->fFieldList->SetAttrs(attrs);
}

// ---- Normalising stored layouts ----------------------------------------------------------

bool TgpColumns::NormalizeLayout() {
  const int n = Count();
  if (n == 0) return false;
  struct Group {
    std::vector<TgpColumn*> members;
    TgpColumnFixed kind = cfNone;
  };
  std::vector<Group> groups;
  bool changed = false;
  // The groups as stored, all taken before any is renumbered: renumbering one may make a later
  // member of it look like the leader of a group of its own.
  for (int i = 0; i < n; i = GroupEnd(i) + 1) {
    Group g;
    for (int j = i, end = GroupEnd(i); j <= end; ++j) g.members.push_back(Items(j));
    groups.push_back(std::move(g));
  }
  for (Group& g : groups) {
    auto byPosition = [](const TgpColumn* a, const TgpColumn* b) {
      return a->fLayoutLevel != b->fLayoutLevel ? a->fLayoutLevel < b->fLayoutLevel : a->fLayoutIndex < b->fLayoutIndex;
    };
    if (!std::is_sorted(g.members.begin(), g.members.end(), byPosition)) {
      std::stable_sort(g.members.begin(), g.members.end(), byPosition);
      changed = true;
    }
    // Renumber only when the numbers are not already consecutive from (0, 0).
    std::vector<std::pair<int, int>> before;
    for (TgpColumn* c : g.members) before.emplace_back(c->fLayoutLevel, c->fLayoutIndex);
    Renumber(g.members);
    for (std::size_t k = 0; k < g.members.size(); ++k)
      if (before[k] != std::pair(g.members[k]->fLayoutLevel, g.members[k]->fLayoutIndex)) changed = true;
    g.kind = g.members.front()->fFixed;
  }
  std::stable_partition(groups.begin(), groups.end(), [](const Group& g) { return g.kind == cfLeft; });
  std::vector<TgpColumn*> order;
  order.reserve(static_cast<std::size_t>(n));
  for (const Group& g : groups) order.insert(order.end(), g.members.begin(), g.members.end());
  {
    TOpScope op(*this, ioFixedPos);
    for (int k = 0; k < n; ++k) {
      TgpColumn* c = order[static_cast<std::size_t>(k)];
      if (c->Index() != k) {
        MoveColumn(c, k);
        changed = true;
      }
    }
  }
  // Columns whose Fixed differs from their group's leave it.
  for (int i = 0; i < n; ++i) {
    TgpColumn* c = Items(i);
    if (c->fVisible && !c->IsLeading() && c->fFixed != Items(GroupStart(i))->fFixed) {
      TOpScope op(*this, ioFixedPos);
      UpdateFixedPos();
      changed = true;
      break;
    }
  }
  return changed;
}

// ---- Updates and copying -----------------------------------------------------------------

void TgpColumns::HideColumns() {
  BeginUpdate();
  try {
    for (int i = 0; i < Count(); ++i) Items(i)->fVisible = false;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TgpColumns::ShowColumns() {
  BeginUpdate();
  for (int i = 0; i < Count(); ++i) Items(i)->fVisible = true;
  EndUpdate();
}

void TgpColumns::BeginUpdate() {
  fUpdating = true;
  TCollection::BeginUpdate();
}

void TgpColumns::EndUpdate() { TCollection::EndUpdate(); }

void TgpColumns::Update(TCollectionItem* item) {
  (void)item;
  fUpdating = false;
  if (fInternalOp != ioNone || fDestroying) return;
  if (fGrid && fGrid->IsLoading()) return;
  {
    // Stored layouts (a form, a layout string, a copy) may break the model; repair before use.
    TOpScope op(*this, ioFixedPos);
    NormalizeLayout();
  }
  if (fGrid && fSortOrderRead) {
    // As a loaded form is: the sorted columns numbered 0, 1, 2 ... in their stored order.
    fSortOrderRead = false;
    fGrid->NormalizeSettingID();
  }
  if (fGrid) {
    fGrid->LayoutChanged();
  } else {
    UpdateGroupsInfo();
    UpdateWidthsInfo();
    UpdateSelectable();
  }
}

void TgpColumns::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TgpColumns*>(source);
  if (!other) {
    TCollection::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    UpdateGroupsInfo();
    for (int i = 0; i < other->Count(); ++i) Add()->Assign(other->Items(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TgpColumns::AssignEx(const TgpColumns* source, bool replace, int parts) {
  if (!source || source == this) return;
  BeginUpdate();
  try {
    if (replace) {
      Clear();
      UpdateGroupsInfo();
      for (int i = 0; i < source->Count(); ++i) Add()->AssignEx(source->Items(i), parts);
    } else {
      for (int i = 0; i < source->Count(); ++i)
        if (TgpColumn* own = ByField(source->Items(i)->FieldName())) own->AssignEx(source->Items(i), parts);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TgpColumns::Notification(TComponent* component) {
  for (int i = 0; i < Count(); ++i) {
    TgpColumn* c = Items(i);
    if (c->fPopupMenu && static_cast<TComponent*>(c->fPopupMenu) == component) c->fPopupMenu = nullptr;
    if (c->fVision && static_cast<TComponent*>(c->fVision) == component) {
      // Losing a destroyed vision is not a choice made by hand: the import option stays.
      const bool mapping = c->fMapping;
      c->fMapping = true;
      c->SetVision(nullptr);
      c->fMapping = mapping;
    }
  }
}

void TgpColumns::ColumnDestroying(TgpColumn* column) {
  if (!fSelectable.empty()) {
    if (IsFrozen()) {
      fSelectable.clear();
      fHasSelectable = false;
    } else {
      fSelectable.erase(std::remove(fSelectable.begin(), fSelectable.end(), column), fSelectable.end());
      fHasSelectable = !fSelectable.empty();
    }
  }
  if (fGrid && !fDestroying) fGrid->ColumnDestroying(column);
}

}  // namespace zv
