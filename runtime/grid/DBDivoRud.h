#pragma once
// TDBDivoRud, the data-aware grid: a windowed control that shows a dataset's records through
// its columns. The class is split by concern across several sources (construction and the data
// source here; columns and layout, record snapshots, geometry, painting, input and editing in
// their own files); this header is its whole public face.

#include "platform/controls/CustomControl.h"
#include "runtime/grid/ColumnTypes.h"
#include "runtime/grid/RecShot.h"
#include "runtime/rtm/RtmTypes.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/ToolFormLink.h"

#include <functional>
#include <memory>

namespace zv {

class TDataLinkEx;
class TDataSet;
class TDataSource;
class TField;
class TgpColumn;
class TgpColumns;
class TgpDesigner;
class TvpCustomFieldMapper;

class TDBDivoRud : public TCustomControl, public IvtfDataGrid {
  ZV_CLASS(TDBDivoRud, TCustomControl)

public:
  explicit TDBDivoRud(TComponent* owner);
  ~TDBDivoRud() override;

  // ---- Data source ------------------------------------------------------------------------
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* value);
  // Replaces the data source's dataset (nothing without a data source).
  void SetDataSet(TDataSet* value);
  // The data link's dataset, cached when the source or its dataset changes.
  TDataSet* DataSet() const { return fDataSet; }
  TDataLinkEx* DataLink() const { return fDataLink.get(); }

  TvpBorderStyle BorderStyle() const { return fBorderStyle; }
  void SetBorderStyle(TvpBorderStyle value);

  // ---- Modes ------------------------------------------------------------------------------
  bool IsLoading() const;
  bool IsNonLoading() const { return !IsLoading(); }
  bool IsDesigntimeMode() const;
  bool IsRuntimeMode() const { return !IsDesigntimeMode(); }

  // ---- Columns and layout (GridColumns.cpp) -----------------------------------------------
  // The grid owns its columns; assigning copies into them.
  TgpColumns* Columns() const { return fColumns.get(); }
  void SetColumns(TgpColumns* value);
  TvpCustomFieldMapper* Mapper() const { return fMapper; }
  void SetMapper(TvpCustomFieldMapper* value);
  // Every column takes the mapper's vision and caption again.
  void FieldMapChanged();
  // Attribute words (";" list) the columns' field lists and the mapper see.
  const String& Attrs() const { return fAttrs; }
  void SetAttrs(const String& value);
  // Each item ends up once, at the end.
  void AddAttrs(const String& items);
  void RemoveAttrs(const String& items);
  bool HasAttrs(const String& items) const;
  bool AutoColumnFit() const;
  void SetAutoColumnFit(bool value);
  TgpDesigner* Designer() const { return fDesigner; }
  void SetDesigner(TgpDesigner* value);
  // The space after each group: the designer's ColumnMargin, 0 without a designer.
  int ColumnMargin() const;
  bool ReadOnly() const { return fReadOnly; }
  void SetReadOnly(bool value) { fReadOnly = value; }
  TLayout VertAlignment() const { return fVertAlignment; }
  void SetVertAlignment(TLayout value);

  // The current column: its collection index (-1 when none) and the column.
  int Col() const { return fCol; }
  TgpColumn* CurrentColumn() const { return fCurrentColumn; }
  // Makes a selectable column current; anything else is ignored.
  void SetCol(int index);

  // ";" captions of fieldNames (every dataset field when empty): the mapper's, else the
  // field's display name, else the name itself.
  String GetFieldCaptions(const String& fieldNames);
  // One column per field of the open dataset (nothing on a closed one).
  void CreateDefColumns(bool clearFirst);
  void GetLevelRange(const TgpGroupInfo* group, int actualLevel, int& first, int& last, int& count) const;
  // Groups, widths, the selectable list, the current column, fit and scroll stops, once.
  void LayoutChanged();
  void FitColumns();
  // The horizontal bar: one position per scroll stop.
  void UpdateViewBar(bool force);
  const TScrollInfo& ViewBar() const { return fViewBar; }

  // The last title-state sequence number handed out (-1: none).
  int TitleStateCounter() const { return fTitleStateCounter; }
  void SetTitleStateCounter(int value) { fTitleStateCounter = value; }
  int NextTitleStateID() { return ++fTitleStateCounter; }
  // Renumbers the sorted visible columns 0, 1, 2 ... in their order.
  void NormalizeSettingID();

  bool FireBeforeFieldEdit(TgpColumn* column);
  void FireAfterFieldPost(TgpColumn* column, TgpFieldPostCode postCode, TgpFieldEditAction& action);
  // Repaints a column (the whole client area until per-group rectangles exist).
  void InvalidateCol(int index);
  // A column's heights may have changed.
  void ColumnHeightChanged(TgpColumn* column);
  // A column is going away: the grid forgets it as its current column.
  void ColumnDestroying(TgpColumn* column);

  TgpActionEvent OnAction;
  TgpBeforeFieldEditEvent BeforeFieldEdit;
  TgpAfterFieldPostEvent AfterFieldPost;

  // ---- Records and snapshots (GridRecords.cpp) --------------------------------------------
  TgpCursorType CursorType() const { return fCursorType; }
  void SetCursorType(TgpCursorType value);
  // Field names (";" list) whose combined value identifies a record.
  const String& UniqueFields() const { return fUniqueFields; }
  void SetUniqueFields(const String& value);
  // Field names whose values every snapshot also captures ("$RECNO$" is dropped).
  const String& BookmarkFields() const { return fBookmarkFields; }
  void SetBookmarkFields(const String& value);
  TgpDBParams* ParamsDB() const { return fParamsDB.get(); }
  void SetParamsDB(TgpDBParams* value);
  // The snapshot of the grid's current record.
  TgpCurrentRecShot* CurrentRecShot() const { return fCurrentRecShot; }
  bool GetHasCurrent() const;
  // The row in view showing the current record, -1 when it is out of view.
  int CurrentRow() const { return fCurrentRow; }
  // Rows in the data link's window (1 when there are no records).
  int RowCount() const;
  // The data link is active: the grid has an open dataset.
  bool HasActiveDataSet() const;
  bool UserActionInProgress() const { return fUserAction; }
  bool Posting() const { return fPosting; }
  // Finds the current row after the rows in view moved by `scrolled` (0: search every row).
  void UpdateCurrentInfo(int scrolled);
  // Brings the dataset's cursor to the marked record; with force, an unmarked grid marks the
  // first record. True when the cursor stands on the marked record.
  bool SyncCursors(bool force);
  // Raised by a change of the current record or the selection.
  virtual void SelectionChanged(bool currentChanged, bool selectionChanged);
  TNotifyEvent OnSelectionChange;

  // Role of the record list of a drop-down tool form.
  void tfSetToolForm(TControl* toolForm) override;
  void tfCurrentChanged() override;
  void tfPostChanges() override;
  TControl* ToolForm() const { return fToolForm; }

  static void DeclareProperties(TPropTable<TDBDivoRud>& t);

protected:
  // ---- Columns and layout (GridColumns.cpp) -----------------------------------------------
  void Loaded() override;
  void CreateWnd() override;
  void WMSize(TWMSize& message) override;
  void Dispatch(TMessage& message) override;
  void ColumnsNotification(TComponent* component);
  // The dataset opened, closed or changed its fields: every column finds its fields again.
  void ColumnsDataSetChanged();
  void CMFieldMapChanged(TMessage& message);

  // ---- Records and snapshots: hooks the geometry and painting complete -----------------------
  virtual void InvalidateRow(int row);
  virtual void InvalidateRows();
  // Flags that the navigation and editing code sets around its work. A change of the current
  // record during a user action is announced when the action ends.
  void SetUserActionInProgress(bool value);
  void SetPosting(bool value) { fPosting = value; }
  // The snapshot side of the data link reactions.
  void RecordsActiveChanged();
  void RecordsDataChanged();
  void RecordsDataSetScrolled(int distance);

  void CreateParams(TCreateParams& params) override;
  void Notification(TComponent* component, TOperation operation) override;

  // ---- Data link reactions (GridDataEvents.cpp) -------------------------------------------
  virtual void DaActiveChanged();
  virtual void DaDataChanged();
  virtual void DaDataSetScrolled(int distance);
  virtual void DaFocusControl(TField*& field);
  virtual void DaLayoutChanged();
  virtual void DaRecordChanged(TField* field);
  virtual void DaUpdateData();

private:
  void CacheDataSet();

  std::unique_ptr<TDataLinkEx> fDataLink;
  TDataSet* fDataSet = nullptr;
  TvpBorderStyle fBorderStyle = bs3D;

  // ---- Columns and layout ------------------------------------------------------------------
  std::unique_ptr<TgpColumns> fColumns;
  TvpCustomFieldMapper* fMapper = nullptr;
  TgpDesigner* fDesigner = nullptr;
  String fAttrs;
  bool fReadOnly = false;
  TLayout fVertAlignment = tlCenter;
  int fCol = -1;
  TgpColumn* fCurrentColumn = nullptr;
  int fTitleStateCounter = -1;
  TScrollInfo fViewBar;
  bool fViewBarSet = false;

  // ---- Records and snapshots ----------------------------------------------------------------
  friend class TgpRecShot;
  friend class TgpCurrentRecShot;
  void InitRecords();
  void CheckFieldNames(const String& names) const;
  void SetCurrentRow(int row) { fCurrentRow = row; }
  void DoSelectionChanged();
  IvtfToolForm* ToolFormValue() const;
  TgpCursorType fCursorType = gctSensitive;
  String fUniqueFields;
  String fBookmarkFields;
  std::unique_ptr<TgpDBParams> fParamsDB;
  // Owned here until the selection takes it; fCurrentRecShot is the reference kept after that.
  std::unique_ptr<TgpCurrentRecShot> fOwnedCurrentRecShot;
  TgpCurrentRecShot* fCurrentRecShot = nullptr;
  int fCurrentRow = -1;
  bool fUserAction = false;
  bool fPosting = false;
  bool fSelectionChangedInAction = false;
  TControl* fToolForm = nullptr;
};

}  // namespace zv
