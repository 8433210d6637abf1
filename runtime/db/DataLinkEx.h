#pragma once
// A data link whose every notification is an assignable event, so a control owns a plain link
// and routes the dataset's events to its own methods instead of deriving a link per control.
// Unlike TDataLink's defaults, a scroll is reported only as a scroll and a dataset change only
// as a dataset change: a link without handlers ignores everything.

#include "platform/db/DataLink.h"

#include <functional>

namespace zv {

class TDataLinkEx;

using TDataLinkExNotifyEvent = std::function<void(TDataLinkEx* sender)>;
using TDataLinkExScrolledEvent = std::function<void(TDataLinkEx* sender, int distance)>;
using TDataLinkExFocusControlEvent = std::function<void(TDataLinkEx* sender, TField*& field)>;
using TDataLinkExRecordChangedEvent = std::function<void(TDataLinkEx* sender, TField* field)>;

class TDataLinkEx : public TDataLink {
  ZV_CLASS(TDataLinkEx, TDataLink)

public:
  TDataLinkEx() = default;

  TDataLinkExNotifyEvent OnActiveChanged;
  TDataLinkExNotifyEvent OnDataSetChanged;
  TDataLinkExScrolledEvent OnDataSetScrolled;
  TDataLinkExFocusControlEvent OnFocusControl;
  TDataLinkExNotifyEvent OnEditingChanged;
  TDataLinkExNotifyEvent OnLayoutChanged;
  TDataLinkExRecordChangedEvent OnRecordChanged;
  TDataLinkExNotifyEvent OnUpdateData;

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int distance) override;
  // A handler takes the focus by setting its copy to null, which stops the data source from
  // asking further links; it cannot substitute another field.
  void FocusControl(TField** field) override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* field) override;
  void UpdateData() override;
};

}  // namespace zv
