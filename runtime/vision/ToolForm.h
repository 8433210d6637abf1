#pragma once
// TVisionToolForm: the drop-down panel of the visions that drop something down (lists, lookups,
// calendars, calculators). It is designed like any container, with controls on it (typically a
// data grid named as its DataGrid), and stays invisible where it was placed while not in use.
// ShowPopup moves it into a frameless top-most pop-up window next to an edit control; closing
// puts it back where it was, posting the pick when asked.
//
// Sources: ToolForm.cpp (properties, showing, closing, the loop), ToolFormWindow.cpp (the pop-up
// window: frame, sizing, keys, activation).

#include "platform/controls/Form.h"
#include "platform/controls/Panel.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/ToolFormLink.h"

#include <functional>

namespace zv {

class TDBDevidEdit;
class TfvCurrentValue;
class TvpToolFormBG;

ZV_ENUM(TvtfOption, tfoFocusable, tfoFixedWidth, tfoFixedHeight, tfoNoAutoPost, tfoNoAutoCancel, tfoAlwaysPostChanges);
using TvtfOptions = TSet<TvtfOption>;
ZV_ENUM(TvtfPlacement, tfpDefault, tfpBottomCenter, tfpBottomLeft, tfpBottomRight, tfpRightCenter);
ZV_ENUM(TvtfBorderStyle, tfbDefault, tfbMono, tfbFlat, tfbSoft, tfb3D);

// The size the user drags the pop-up to; an OnSizing handler may change both.
struct TvpSizingInfo {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

ZV_EVENT(TvtfSizingEvent, void(TObject* sender, TvpSizingInfo& sizingInfo));
ZV_EVENT(TvtfShortCutEvent, void(TObject* sender, Word& key));
ZV_EVENT(TvtfEditActionEvent, void(TObject* sender, TvpEditAction editAction));

class TVisionToolForm : public TCustomPanel, public IVisionToolForm, public IvtfToolForm {
  ZV_CLASS(TVisionToolForm, TCustomPanel)

public:
  explicit TVisionToolForm(TComponent* owner);
  ~TVisionToolForm() override;

  // --- Published ------------------------------------------------------------------------------
  // Both must be placed on the panel (directly or deeper); null clears.
  TWinControl* ActiveControl() const { return fActiveControl; }
  void SetActiveControl(TWinControl* value);
  // A control implementing the data grid's side of the drop-down.
  TWinControl* DataGrid() const { return fDataGrid; }
  void SetDataGrid(TWinControl* value);
  TvtfPlacement Placement() const { return fPlacement; }
  void SetPlacement(TvtfPlacement value) { fPlacement = value; }
  TvtfOptions Options() const { return fOptions; }
  void SetOptions(TvtfOptions value) { fOptions = value; }

  TNotifyEvent OnPaint;
  TNotifyEvent OnShow;
  TNotifyEvent OnPostChanges;
  TNotifyEvent OnClose;
  TNotifyEvent OnActivate;
  TvtfSizingEvent OnSizing;
  TNotifyEvent OnCurrentChanged;
  TNotifyEvent OnTextChanged;
  // OnKeyDown and OnKeyPress are the control's own, published here.
  TvtfShortCutEvent OnShortCut;
  TvtfEditActionEvent OnEditAction;

  // --- State while shown ----------------------------------------------------------------------
  IVisionToolFormUser* User() const { return fUser; }
  TDBDevidEdit* Editor() const { return fEditor; }
  TvpFieldVision* Vision() const { return fVision; }
  TfvCurrentValue* CurrentValue() const { return fCurrent; }
  const TRect& EditRect() const { return fEditRect; }
  // The pop-up's client width asked for; 0 asks for the editor's width (see ShowPopup).
  int PopupWidth() const { return fPopupWidth; }
  void SetPopupWidth(int value) { fPopupWidth = value; }
  TvpToolFormBG* Popup() const { return fPopup; }
  TvtfPlacement PlacementInForce() const { return fPlacementInForce; }
  bool Flipped() const { return fFlipped; }
  TModalResult Result() const { return fResult; }
  bool Changed() const { return fChanged; }
  void SetChanged(bool value) { fChanged = value; }
  bool WidthChanged() const { return fWidthChanged; }
  bool HeightChanged() const { return fHeightChanged; }
  bool Closing() const { return fClosing; }

  // --- Operations -----------------------------------------------------------------------------
  // Drops the panel down under edit for user; nothing while it is shown. A focusable panel
  // returns only once it closed.
  virtual void ShowPopup(IVisionToolFormUser* user, TDBDevidEdit* edit);
  void ClosePopup(bool post, bool hide) override;
  void UserKeyDown(Word& key, TShiftState shift) override;
  void UserCancelMode(TControl* control) override;
  void CurrentChanged() override;
  void EditTextChanged() override;
  TVisionToolForm* GetSelf() override { return this; }
  void Sizing(TvpSizingInfo& info);
  void FireEditAction(TvpEditAction action);

  // --- IvtfToolForm (the data grid's side) ----------------------------------------------------
  Variant tfCurrentValue() const override;
  void tfSetResultValue(const Variant& value) override;
  void tfValueChanged() override { fChanged = true; }
  // A pick posts the grid's record even when no move marked it changed (the mouse tracked there).
  void tfClosePopup(bool post) override {
    if (post) fChanged = true;
    ClosePopup(post, post);
  }

  static void DeclareProperties(TPropTable<TVisionToolForm>& t);

protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  void WMMouseWheel(TWMMouseWheel& message) override;
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;

private:
  friend class TvpToolFormBG;
  bool IsOnPanel(const TControl* control) const;
  IvtfDataGrid* Grid() const;
  void Unlink();
  void Restore();
  void PlacePopup();
  void RunLoop();
  void CloseProper();
  void FreePopup();

  TWinControl* fActiveControl = nullptr;
  TWinControl* fDataGrid = nullptr;
  TvtfPlacement fPlacement = tfpDefault;
  TvtfOptions fOptions;

  IVisionToolFormUser* fUser = nullptr;
  TComponent* fUserComponent = nullptr;  // the vision behind fUser, for its free notification
  TDBDevidEdit* fEditor = nullptr;
  TvpFieldVision* fVision = nullptr;
  TfvCurrentValue* fCurrent = nullptr;
  TRect fEditRect;
  int fPopupWidth = 0;
  TRect fSavedBounds;
  TWinControl* fSavedParent = nullptr;
  std::unique_ptr<TFont> fSavedFont;
  bool fSavedParentFont = true;
  TvpToolFormBG* fPopup = nullptr;
  TvtfPlacement fPlacementInForce = tfpBottomLeft;
  bool fFlipped = false;
  TModalResult fResult = mrNone;
  bool fChanged = false;
  bool fWidthChanged = false;
  bool fHeightChanged = false;
  bool fClosing = false;
  bool fLostActivation = false;       // the focusable pop-up lost the activation: the loop ends
  bool fShown = false;                // between ShowPopup's linking and the closing proper
  bool* fDestroyedFlag = nullptr;     // the running loop's: set when the panel goes
  bool fWheeling = false;             // a wheel is being handed to the data grid
};

// The pop-up window the panel is shown in: a frameless host form drawing a frame of its own,
// never activated by the windowing system, owned by the panel.
class TvpToolFormBG : public TCustomForm {
  ZV_CLASS(TvpToolFormBG, TCustomForm)

public:
  TvpToolFormBG(TVisionToolForm* panel, TCustomForm* editorForm);
  ~TvpToolFormBG() override;

  TvtfBorderStyle FrameStyle() const { return fFrameStyle; }
  void SetFrameStyle(TvtfBorderStyle value);
  // The width of the frame drawn in the non-client area, on every side.
  int FrameWidth() const;
  // Which edges the user may drag (WMSZ_… codes; false for the edge next to the editor and for
  // the sides a fixed dimension turns into client area).
  bool EdgeSizable(unsigned wmszEdge) const;
  // The hit code of the frame at a window point (HTCLIENT inside, the sizing codes on the
  // sizable edges and corners).
  int FrameHitTest(TPoint windowPoint) const;
  // The user dragged edge to rect (screen): OnSizing, constraints, the fixed edge.
  void UserSizing(unsigned edge, TRect& rect);

protected:
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void Activate() override;
  void Deactivate() override;
  void DoClose(TCloseAction& action) override;
  void WndProc(TMessage& message) override;
  void WMNCCalcSize(TWMNCCalcSize& message) override;
  void WMNCPaint(TWMNCPaint& message) override;

private:
  TVisionToolForm* fPanel;
  TCustomForm* fEditorForm;
  TvtfBorderStyle fFrameStyle = tfbMono;
};

}  // namespace zv
