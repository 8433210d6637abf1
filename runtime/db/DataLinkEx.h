#pragma once
// A data link whose every notification is an assignable event, so a control owns a plain link
// and routes the dataset's events to its own methods instead of deriving a link per control.
// Unlike TDataLink's defaults, a scroll is reported only as a scroll and a dataset change only
// as a dataset change: a link without handlers ignores everything.

#include "platform/db/DataLink.h"

#include <exception>
#include <functional>

namespace zv {

class TDataLinkEx;

ZV_EVENT(TDataLinkExNotifyEvent, void(TDataLinkEx* sender));
ZV_EVENT(TDataLinkExScrolledEvent, void(TDataLinkEx* sender, int distance));
ZV_EVENT(TDataLinkExFocusControlEvent, void(TDataLinkEx* sender, TField*& field));
ZV_EVENT(TDataLinkExRecordChangedEvent, void(TDataLinkEx* sender, TField* field));

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

// Controls move a link's active record to read other rows (painting, searching the window,
// marking a row) and must put it back on every way out. The scope saves the active record of an
// active link and restores it at its end, or earlier through Restore() on the ordinary path, where
// a failing restore raises as the plain call would. A link that was not active saves nothing; one
// that went inactive meanwhile is left alone. While an exception unwinds, a failing restore is
// dropped so that the first error is the one reported.
class TActiveRecordScope {
public:
  explicit TActiveRecordScope(TDataLink& link)
      : fLink(link), fSaved(link.ActiveRecord()), fPending(link.Active()), fUnwinding(std::uncaught_exceptions()) {}
  ~TActiveRecordScope() noexcept(false) {
    if (!fPending) return;
    if (std::uncaught_exceptions() > fUnwinding) {
      fPending = false;
      try {
        fLink.SetActiveRecord(fSaved);
      } catch (...) {  // the error being unwound wins
      }
      return;
    }
    Restore();
  }
  TActiveRecordScope(const TActiveRecordScope&) = delete;
  TActiveRecordScope& operator=(const TActiveRecordScope&) = delete;

  int Saved() const { return fSaved; }
  // Puts the record back now; the scope's end then does nothing.
  void Restore() {
    if (!fPending) return;
    fPending = false;
    fLink.SetActiveRecord(fSaved);
  }

private:
  TDataLink& fLink;
  int fSaved;
  bool fPending;
  int fUnwinding;
};

}  // namespace zv
