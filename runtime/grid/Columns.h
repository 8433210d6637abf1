#pragma once
// TgpColumns: a grid's columns and their layout. The collection is a flat list; a column at
// (LayoutLevel 0, LayoutIndex 0) leads a group, and the columns after it up to the next leader
// stack on the group's levels. Groups are what scrolls, stays fixed at the left and fits the
// client width (ColumnWidths.cpp holds the width side).

#include "platform/classes/Collection.h"
#include "runtime/grid/Column.h"

#include <vector>

namespace zv {

class TComponent;
class TDBDivoRud;

class TgpColumns : public TCollection {
  ZV_CLASS(TgpColumns, TCollection)

public:
  // The reshuffles the collection makes itself; while one runs a column's SetIndex is a plain
  // move and nothing re-lays out.
  enum TInternalOp { ioNone, ioRegroup, ioOutgroup, ioFixedPos, ioInsert, ioGroupMove };

  explicit TgpColumns(TDBDivoRud* grid = nullptr);
  ~TgpColumns() override;

  TDBDivoRud* Grid() const { return fGrid; }
  TPersistent* GetOwner() const override;
  TgpColumn* Items(int index) const { return ItemAs<TgpColumn>(index); }
  TgpColumn* GetItem(int index) const { return Items(index); }

  TgpColumn* Add();
  // A new column (copying source's FieldName when given): level -1 makes it a group of its own
  // in front of beforeGroup (the group of that column), else it joins beforeGroup at (level,
  // index). Without beforeGroup the new group goes last.
  TgpColumn* Insert(TgpColumn* beforeGroup, int level, int index, TgpColumn* source);
  void Remove(TgpColumn* column);
  int IndexOf(const TgpColumn* column) const;
  TgpColumn* ByField(std::string_view name) const;
  TgpColumn* ByTag(int tag) const;
  int GetVisibleCount() const;
  TgpColumn* GetVisibleItem(int n) const;
  // The FieldName of every visible column, ";" between them.
  String GetFieldNames() const;

  // ---- Title and footer states ------------------------------------------------------------
  int GetTitleStatedCount() const;
  // The n-th sorted visible column by ascending sequence number.
  TgpColumn* GetTitleStatedItem(int n) const;
  int GetFooterStatedCount() const;
  TgpColumn* GetFooterStatedItem(int n) const;
  String GetSortString(const String& prefix) const;

  // ---- Selectable columns -----------------------------------------------------------------
  bool UpdateSelectable();
  bool HasSelectable() const { return fHasSelectable; }
  TgpColumn* GetSelectable(int i) const;
  int GetSelectableCount() const { return static_cast<int>(fSelectable.size()); }
  // The first selectable column at or after the grid's current column, else the last one
  // before it; -1 when none.
  int GetNearSelectable() const;

  // ---- Group model ------------------------------------------------------------------------
  int GroupCount() const { return static_cast<int>(fGroups.size()); }
  TgpGroupInfo* GetGroupInfo(int i) const;
  const std::vector<TgpGroupInfo*>& Groups() const { return fGroups; }
  int GetLayoutLevelR(const TgpColumn* column) const;
  bool IsSingleAtLevel(const TgpColumn* column) const;
  bool AreSiblings(int i, int j) const;
  // First and last collection index of the group's columns on an actual level, and their
  // number; (-1, -1, 0) when none.
  void GetLevelRange(const TgpGroupInfo* group, int actualLevel, int& first, int& last, int& count) const;

  // Moves column into the group led by target's group at (level, index); index -1 opens a
  // new level. EDBDivoRud for level < 0 or index < -1.
  void Regroup(TgpColumn* column, TgpColumn* target, int index, int level);
  // Makes column a group of its own in front of beforeGroup's group (last without one).
  void Outgroup(TgpColumn* column, TgpColumn* beforeGroup);
  // Moves group's whole group in front of beforeGroup's group (last without one).
  void MoveGroup(TgpColumn* group, TgpColumn* beforeGroup);
  // Renumbers the columns of one group to consecutive levels and indexes.
  void UpdateLayout(TgpColumn* groupMember);
  void UpdateGroupsInfo();
  void UpdateGroupBehavior(TgpColumn* column);
  void UpdateFixedPos();
  void UpdateAttrs();
  // Puts a stored layout in order: leaders first in each group, groups sorted by level and
  // index, fixed groups in front. True when anything moved.
  bool NormalizeLayout();

  void HideColumns();
  void ShowColumns();
  void BeginUpdate() override;
  void EndUpdate() override;
  bool Updating() const { return fUpdating; }
  TInternalOp InternalOp() const { return fInternalOp; }

  void Assign(const TPersistent* source) override;
  // parts: TgpColumn::TAssignPart values or-ed together.
  void AssignEx(const TgpColumns* source, bool replace, int parts);
  // A component going away: its pop-up menu and vision leave every column.
  void Notification(TComponent* component);

  // ---- Widths and horizontal scrolling (ColumnWidths.cpp) ----------------------------------
  bool AutoFit() const { return fAutoFit; }
  void SetAutoFit(bool value) { fAutoFit = value; }
  int AvailableWidth() const { return fAvailableWidth; }
  void SetAvailableWidth(int value) { fAvailableWidth = value; }
  int TotalWidth() const { return fTotalWidth; }
  int FixedAreaWidth() const { return fFixedAreaWidth; }
  bool HasGroups() const { return fHasGroups; }
  bool HasFixed() const { return fHasFixed; }
  bool HasScrollable() const { return fHasScrollable; }
  int LastFixedGroup() const { return fLastFixedGroup; }
  int FirstScrollGroup() const { return fFirstScrollGroup; }
  int LastScrollGroup() const { return fLastScrollGroup; }
  int FirstGroupInView() const { return fFirstGroupInView; }
  void SetFirstGroupInView(int value) { fFirstGroupInView = value; }
  int LastGroupInView() const { return fLastGroupInView; }
  int ScrollStopCount() const { return fScrollStopCount; }

  void UpdateWidthsInfo();
  // Resizes one actual level of group: to delta + newWidth (or + its sum when newWidth is 0);
  // with an anchor, the anchor takes delta + newWidth (or + its width) and the others absorb the
  // change. With propagate, what the level did not absorb changes the group's width.
  void UpdateLevel(TgpGroupInfo* group, int actualLevel, int delta, bool propagate, int newWidth,
                   TgpColumn* anchor);
  // Sets every level of group to width (0: content width + delta).
  void UpdateGroupWidth(TgpGroupInfo* group, int width, int delta);
  void DoFit(bool fixedPart, bool scrollPart);
  void DoFullFit();
  void UpdateScrollStop(bool keepCurrentInView, bool recount);
  bool IsColInView(const TgpColumn* column) const;

protected:
  void Update(TCollectionItem* item) override;

private:
  friend class TgpColumn;
  struct TOpScope;
  // First and last collection index of the group holding column index i.
  int GroupStart(int i) const;
  int GroupEnd(int i) const;
  std::vector<TgpColumn*> GroupMembers(const TgpColumn* member) const;
  void Renumber(const std::vector<TgpColumn*>& members);
  void MoveColumn(TgpColumn* column, int index);
  void SetLevelsWidth(TgpGroupInfo* group, int width);
  // UpdateLevel, returning what the level did not absorb.
  int UpdateLevelEx(TgpGroupInfo* group, int actualLevel, int delta, bool propagate, int newWidth, TgpColumn* anchor);
  bool GroupHoldsWidth(const TgpGroupInfo* group) const;
  // The groups of one kind share room (their line widths included).
  void FitPart(TgpColumnFixed kind, int room);
  void ColumnDestroying(TgpColumn* column);
  bool IsFrozen() const;  // grid loading, or inside an update

  TDBDivoRud* fGrid;
  TInternalOp fInternalOp = ioNone;
  bool fAutoFit = false;
  int fAvailableWidth = 0;
  std::vector<TgpGroupInfo*> fGroups;  // owned
  int fTotalWidth = 0;
  bool fHasGroups = false;
  int fLastFixedGroup = -1;
  bool fHasFixed = false;
  int fFirstScrollGroup = 0;
  int fLastScrollGroup = -1;
  bool fHasScrollable = false;
  int fFixedAreaWidth = 0;
  int fFirstGroupInView = 0;
  int fLastGroupInView = -1;
  int fScrollStopCount = 0;
  bool fHasSelectable = false;
  std::vector<TgpColumn*> fSelectable;
  bool fUpdating = false;
  bool fDestroying = false;
  bool fSortOrderRead = false;  // sort numbers were read into a live grid: renumber when read
  TgpColumn* fSuspendedFixed = nullptr;  // whose cboFixedWidth does not hold during SetWidth
};

}  // namespace zv
