#pragma once
// TDBDivoRud, the data-aware grid: a windowed control that shows a dataset's records through
// its columns. The class is split by concern across several sources (construction and the data
// source here; columns and layout, record snapshots, geometry, painting, input and editing in
// their own files); this header is its whole public face.

#include "platform/controls/CustomControl.h"
#include "runtime/rtm/RtmTypes.h"

#include <memory>

namespace zv {

class TDataLinkEx;
class TDataSet;
class TDataSource;
class TField;

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

  static void DeclareProperties(TPropTable<TDBDivoRud>& t);

protected:
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
};

}  // namespace zv
