#pragma once
// The host's common controls (ComCtrls) that forms here use: the progress bar and the page
// control with its tab sheets.

#include "platform/controls/CustomControl.h"

#include <vector>

namespace zv {

ZV_ENUM(TProgressBarOrientation, pbHorizontal, pbVertical);

class TProgressBar : public TCustomControl {
  ZV_CLASS(TProgressBar, TCustomControl)

public:
  explicit TProgressBar(TComponent* owner);

  int Min() const { return fMin; }
  // Position is kept within the new range.
  void SetMin(int value);
  int Max() const { return fMax; }
  void SetMax(int value);
  // Kept within Min..Max.
  int Position() const { return fPosition; }
  void SetPosition(int value);
  int Step() const { return fStep; }
  void SetStep(int value) { fStep = value; }
  TProgressBarOrientation Orientation() const { return fOrientation; }
  void SetOrientation(TProgressBarOrientation value);
  // A continuous bar rather than blocks.
  bool Smooth() const { return fSmooth; }
  void SetSmooth(bool value);

  // Advances by Step; past Max it starts again at Min, as the host's bar wraps.
  void StepIt();
  void StepBy(int delta);
  // The part of the client area the bar fills now.
  TRect BarRect() const;

  static void DeclareProperties(TPropTable<TProgressBar>& t);

protected:
  void Paint() override;
  void CreateParams(TCreateParams& params) override;

private:
  int fMin = 0;
  int fMax = 100;
  int fPosition = 0;
  int fStep = 10;
  TProgressBarOrientation fOrientation = pbHorizontal;
  bool fSmooth = false;
};

class TPageControl;

class TTabSheet : public TCustomControl {
  ZV_CLASS(TTabSheet, TCustomControl)

public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return fPageControl; }
  // Moves the sheet into pageControl (the last page); null takes it out.
  void SetPageControl(TPageControl* pageControl);
  int PageIndex() const;
  void SetPageIndex(int value);
  // The index among the visible tabs, -1 when the tab is hidden.
  int TabIndex() const;
  bool TabVisible() const { return fTabVisible; }
  void SetTabVisible(bool value);

  void SetParent(TWinControl* parent) override;

  static void DeclareProperties(TPropTable<TTabSheet>& t);

protected:
  void Paint() override;
  void CMTextChanged(TMessage& message) override;

private:
  friend class TPageControl;
  TPageControl* fPageControl = nullptr;
  bool fTabVisible = true;
};

ZV_EVENT(TTabChangingEvent, void(TObject* sender, bool& allowChange));

// Tabs in a row along the top; the page of the active tab fills the rest. A click on a tab,
// Ctrl+Tab / Ctrl+Shift+Tab, the arrows on the focused tabs and a tab caption's accelerator
// change the page, asking OnChanging first and telling OnChange after.
class TPageControl : public TCustomControl {
  ZV_CLASS(TPageControl, TCustomControl)

public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(fPages.size()); }
  // EListError for a bad index.
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const { return fActivePage; }
  // Shows page (one of this control's) and hides the one shown before; no OnChanging.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // The active page among the visible tabs, -1 for none.
  int TabIndex() const { return fActivePage ? fActivePage->TabIndex() : -1; }
  // The next (or previous) page with a visible tab after current, wrapping; null for none.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
  // Moves to the next page as the keyboard does (OnChanging may refuse).
  void SelectNextPage(bool goForward);
  // The page whose tab lies at pos (client coordinates), or null.
  TTabSheet* PageAt(TPoint pos) const;
  // Tab rectangles of the visible tabs, in order; the area the pages fill.
  TRect TabRect(int tabIndex) const;
  TRect DisplayRect() const;
  int TabHeight() const;

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  static void DeclareProperties(TPropTable<TPageControl>& t);

protected:
  void Paint() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void Dispatch(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  void WMGetDlgCode(TMessage& message) override;
  // OnChanging and the change; false when refused.
  bool ChangeTo(TTabSheet* page);

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void TabsChanged();

  std::vector<TTabSheet*> fPages;
  TTabSheet* fActivePage = nullptr;
};

}  // namespace zv
