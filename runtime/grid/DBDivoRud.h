#pragma once
// TDBDivoRud, the data-aware grid: a windowed control that shows a dataset's records through
// its columns. The class is split by concern across several sources (construction and the data
// source here; columns and layout, record snapshots, geometry, painting, input and editing in
// their own files); this header is its whole public face.

#include "platform/controls/CustomControl.h"
#include "runtime/grid/ColumnTypes.h"
#include "runtime/rtm/RtmTypes.h"
#include "runtime/vision/FieldList.h"

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

class TDBDivoRud : public TCustomControl {
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

  static void DeclareProperties(TPropTable<TDBDivoRud>& t);

protected:
  // ---- Columns and layout (GridColumns.cpp) -----------------------------------------------
  void Loaded() override;
  void CreateWnd() override;
  void WMSize(TWMSize& message) override;
  void Dispatch(TMessage& message) override;
  void ColumnsNotification(TComponent* component);
  void CMFieldMapChanged(TMessage& message);

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
};

}  // namespace zv
