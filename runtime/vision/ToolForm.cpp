// The drop-down panel: published properties, showing next to an editor, the focusable pop-up's
// loop, closing with and without posting. The pop-up window itself is in ToolFormWindow.cpp.

#include "runtime/vision/ToolForm.h"

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/WinApi.h"
#include "platform/rtl/Format.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/detail/FlagScope.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TVisionToolForm, TCustomPanel)

TVisionToolForm::TVisionToolForm(TComponent* owner) : TCustomPanel(owner) {
  SetVisible(false);
  SetParentColor(false);
  SetColor(clWindow);
  SetBevelOuter(bvNone);
}

TVisionToolForm::~TVisionToolForm() {
  Destroying();
  if (fDestroyedFlag) *fDestroyedFlag = true;
  // Gone while shown: closed unposted, without calling back into anything being destroyed.
  if (fShown) {
    fOptions.Exclude(tfoAlwaysPostChanges);
    try {
      ClosePopup(false, false);
    } catch (...) {
      Application->HandleException(this);
    }
  }
  FreePopup();
}

void TVisionToolForm::DeclareProperties(TPropTable<TVisionToolForm>& t) {
  for (const char* name : {"Align", "Anchors", "Color", "Constraints", "Enabled", "Font", "ParentFont",
                           "ParentColor", "Tag", "BorderWidth", "Visible"})
    t.Publish(name);
  t.Prop("ActiveControl", &TVisionToolForm::ActiveControl, &TVisionToolForm::SetActiveControl);
  t.Prop("DataGrid", &TVisionToolForm::DataGrid, &TVisionToolForm::SetDataGrid);
  t.Prop("Placement", &TVisionToolForm::Placement, &TVisionToolForm::SetPlacement).Default(tfpDefault);
  t.Prop("Options", &TVisionToolForm::Options, &TVisionToolForm::SetOptions).Default(TvtfOptions{});
  t.Event("OnPaint", &TVisionToolForm::OnPaint);
  t.Event("OnShow", &TVisionToolForm::OnShow);
  t.Event("OnPostChanges", &TVisionToolForm::OnPostChanges);
  t.Event("OnClose", &TVisionToolForm::OnClose);
  t.Event("OnActivate", &TVisionToolForm::OnActivate);
  t.Event("OnSizing", &TVisionToolForm::OnSizing);
  t.Event("OnCurrentChanged", &TVisionToolForm::OnCurrentChanged);
  t.Event("OnTextChanged", &TVisionToolForm::OnTextChanged);
  t.Publish("OnKeyDown");
  t.Publish("OnKeyPress");
  t.Event("OnShortCut", &TVisionToolForm::OnShortCut);
  t.Event("OnEditAction", &TVisionToolForm::OnEditAction);
}

// ---- References placed on the panel ------------------------------------------------------------

bool TVisionToolForm::IsOnPanel(const TControl* control) const {
  for (const TControl* c = control ? control->Parent() : nullptr; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

void TVisionToolForm::SetActiveControl(TWinControl* value) {
  if (value == fActiveControl) return;
  if (value && !IsOnPanel(value)) throw EZVError(Format(SEControlPlacement, {value->Name(), Name()}));
  fActiveControl = value;
  if (value) value->FreeNotification(this);
}

void TVisionToolForm::SetDataGrid(TWinControl* value) {
  if (value == fDataGrid) return;
  if (value && !IsOnPanel(value)) throw EZVError(Format(SEControlPlacement, {value->Name(), Name()}));
  if (value && !dynamic_cast<IvtfDataGrid*>(value)) throw EZVError(Format(SEControlPlacement, {value->Name(), Name()}));
  fDataGrid = value;
  if (value) value->FreeNotification(this);
}

IvtfDataGrid* TVisionToolForm::Grid() const { return dynamic_cast<IvtfDataGrid*>(fDataGrid); }

void TVisionToolForm::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == fActiveControl) fActiveControl = nullptr;
  // Whatever the shown pop-up links to that goes closes it unposted, and is not called again.
  const bool linked = fShown && (component == fEditor || component == fUserComponent || component == fDataGrid);
  if (component == fDataGrid) fDataGrid = nullptr;
  if (component == fEditor) fEditor = nullptr;
  if (component == fUserComponent) {
    fUser = nullptr;
    fUserComponent = nullptr;
  }
  if (component == fPopup) fPopup = nullptr;
  if (linked) {
    const bool always = fOptions.Contains(tfoAlwaysPostChanges);
    fOptions.Exclude(tfoAlwaysPostChanges);
    try {
      ClosePopup(false, false);
    } catch (...) {
      if (always) fOptions.Include(tfoAlwaysPostChanges);
      throw;
    }
    if (always) fOptions.Include(tfoAlwaysPostChanges);
  }
}

// ---- The grid's side ----------------------------------------------------------------------------

Variant TVisionToolForm::tfCurrentValue() const { return fCurrent ? fCurrent->AsVariant() : Variant(); }

void TVisionToolForm::tfSetResultValue(const Variant& value) {
  if (fCurrent) fCurrent->SetAsVariant(value);
}

// ---- Events the editor hands on --------------------------------------------------------------------

void TVisionToolForm::UserKeyDown(Word& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TVisionToolForm::UserCancelMode(TControl* control) {
  if (control && fPopup && (control == fPopup || fPopup->ContainsControl(control))) return;
  ClosePopup(false, false);
}

void TVisionToolForm::CurrentChanged() {
  if (IvtfDataGrid* grid = Grid(); grid && fShown) grid->tfCurrentChanged();
  if (OnCurrentChanged) OnCurrentChanged(this);
}

void TVisionToolForm::EditTextChanged() {
  if (OnTextChanged) OnTextChanged(this);
}

void TVisionToolForm::Sizing(TvpSizingInfo& info) {
  if (OnSizing) OnSizing(this, info);
}

void TVisionToolForm::FireEditAction(TvpEditAction action) {
  if (OnEditAction) OnEditAction(this, action);
}

// ---- Painting and the wheel ---------------------------------------------------------------------

void TVisionToolForm::Paint() {
  TCustomPanel::Paint();
  if (ComponentState().Contains(csDesigning)) Canvas()->DrawFocusRect(ClientRect());
  if (OnPaint) OnPaint(this);
}

void TVisionToolForm::WMMouseWheel(TWMMouseWheel& message) {
  // The wheel turned over the panel scrolls the list, wherever the focus is.
  if (fDataGrid && fDataGrid->HandleAllocated()) {
    message.Result = fDataGrid->Perform(message.Msg, message.WParam, message.LParam);
    return;
  }
  TCustomPanel::WMMouseWheel(message);
}

bool TVisionToolForm::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TCustomPanel::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  // A wheel that another control on the panel left unused (the focus is in a search field, say)
  // still scrolls the list; one the list itself left unused is not handed back to it.
  if (!fDataGrid || !fDataGrid->HandleAllocated() || fWheeling) return false;
  TFlagScope wheeling(fWheeling, true);
  TMessage m = WheelMessage(ShiftStateToKeys(shift), wheelDelta, mousePos);
  return fDataGrid->Perform(m.Msg, m.WParam, m.LParam) != 0;
}

// ---- Showing --------------------------------------------------------------------------------------

void TVisionToolForm::ShowPopup(IVisionToolFormUser* user, TDBDevidEdit* edit) {
  if (Visible() || fShown || !edit) return;
  fUser = user;
  fUserComponent = dynamic_cast<TComponent*>(user);
  fEditor = edit;
  fVision = edit->CurVision();
  fCurrent = &edit->CurrentValue();
  GetWindowRect(edit->Handle(), fEditRect);
  fPopupWidth = Width();
  fSavedBounds = BoundsRect();
  fSavedParent = Parent();
  fSavedFont = std::make_unique<TFont>();
  fSavedFont->Assign(Font());
  fSavedParentFont = ParentFont();

  FreePopup();
  fPopup = new TvpToolFormBG(this, GetParentForm(edit));
  fPopup->SetColor(Color());
  fPopup->Constraints()->Assign(Constraints());
  if (fSavedParentFont) {
    TFont font;
    font.Assign(edit->Font());
    font.SetStyle({});
    fPopup->SetFont(&font);
  } else {
    fPopup->SetFont(Font());
  }
  SetParent(fPopup);
  SetBounds(0, 0, Width(), Height());
  if (fSavedParentFont) SetParentFont(true);

  try {
    edit->tfSetToolForm(this);
    if (IvtfDataGrid* grid = Grid()) grid->tfSetToolForm(this);
    if (fUser) fUser->SetCallbackInterface(this);
    if (fUserComponent) fUserComponent->FreeNotification(this);
    edit->FreeNotification(this);
    fShown = true;
    if (OnShow) OnShow(this);
  } catch (...) {
    fShown = false;
    Unlink();
    Restore();
    FreePopup();
    throw;
  }

  const int frame = fPopup->FrameWidth();
  if (fPopupWidth > 0) {
    fPopup->SetBounds(0, 0, fPopupWidth + 2 * frame, Height() + 2 * frame);
  } else {
    const int width = fEditRect.Width() + (edit->IsInplace() ? 2 : 0);
    fPopup->SetBounds(0, 0, width, Height() + 2 * frame);
    fPopupWidth = width;
  }
  SetAlign(alClient);
  SetVisible(true);
  PlacePopup();

  fResult = mrNone;
  fPopup->SetModalResult(mrNone);
  fChanged = fWidthChanged = fHeightChanged = fClosing = fLostActivation = false;
  fPopup->ShowNoActivate();
  if (OnActivate) OnActivate(this);
  if (fOptions.Contains(tfoFocusable)) RunLoop();
}

void TVisionToolForm::PlacePopup() {
  const TRect work = Screen->WorkAreaRect();
  const TRect& e = fEditRect;
  const bool inplace = fEditor && fEditor->IsInplace();
  fPlacementInForce = fPlacement == tfpDefault ? tfpBottomLeft : fPlacement;
  const int w = fPopup->Width();
  const int h = fPopup->Height();
  int left = 0;
  int top = e.Bottom;
  fFlipped = false;
  switch (fPlacementInForce) {
    case tfpBottomCenter: left = e.Left - (w - e.Width()) / 2 - 1; break;
    case tfpBottomRight: left = e.Right - w; break;
    case tfpRightCenter:
      left = e.Right;
      top = e.Top - (h - e.Height()) / 2;
      break;
    default: left = e.Left - (inplace ? 1 : 0); break;
  }
  if (fPlacementInForce == tfpRightCenter) {
    if (top + h > work.Bottom) top = work.Bottom - h;
    if (top < work.Top) top = work.Top;
    if (left + w > work.Right) {
      fFlipped = true;
      left = e.Left - w;
    }
    if (left < work.Left) left = work.Left;
  } else {
    if (left + w > work.Right) left = work.Right - w;
    if (left < work.Left) left = work.Left;
    if (top + h > work.Bottom) {
      fFlipped = true;
      top = e.Top - h;
    }
    if (top < work.Top) top = work.Top;
  }
  fPopup->SetBounds(left, top, w, h);
}

// ---- The focusable pop-up's loop ---------------------------------------------------------------------

namespace {
bool IsPress(unsigned msg) {
  return msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONDBLCLK;
}

bool HandleIsIn(HWND handle, TWinControl* control) {
  if (!control || !control->HandleAllocated()) return false;
  TWinControl* target = TWinControl::FindControl(handle);
  return target && (target == control || control->ContainsControl(target));
}
}  // namespace

void TVisionToolForm::RunLoop() {
  bool destroyed = false;
  bool* outer = fDestroyedFlag;
  fDestroyedFlag = &destroyed;
  struct TRestoreFlag {
    TVisionToolForm* self;
    bool* outer;
    bool& destroyed;
    ~TRestoreFlag() {
      if (!destroyed) self->fDestroyedFlag = outer;
      else if (outer) *outer = true;
    }
  } restoreFlag{this, outer, destroyed};

  if (fActiveControl && fActiveControl->CanFocus()) fActiveControl->SetFocus();
  else if (fPopup && fPopup->CanFocus()) fPopup->SetFocus();

  const bool terminatedBefore = Application->Terminated();
  while (!destroyed && fShown && fPopup && fPopup->Visible() && (terminatedBefore || !Application->Terminated())) {
    TMsg msg;
    // A press waiting in the queue decides before it is handled: on the editor it ends the
    // drop-down (a click on the button, or anywhere on a combo-box-like editor, is taken away so
    // that it does not open the drop-down again); on the editor's form it hides the pop-up,
    // whose lost activation closes it.
    if (PeekMessage(msg, HWND{}, 0, 0, PM_NOREMOVE) && IsPress(msg.Msg)) {
      if (fEditor && HandleIsIn(msg.hwnd, fEditor)) {
        bool remove = fEditor->tfComboBoxStyle();
        if (!remove) {
          TPoint p = LParamToPoint(msg.LParam);
          if (msg.Msg == WM_NCLBUTTONDOWN || msg.Msg == WM_NCLBUTTONDBLCLK) p = fEditor->ScreenToClient(p);
          remove = fEditor->tfOverButton(p.X, p.Y);
        }
        if (remove) PeekMessage(msg, msg.hwnd, msg.Msg, msg.Msg, PM_REMOVE);
        break;
      }
      TCustomForm* editorForm = fEditor ? GetParentForm(fEditor) : nullptr;
      if (editorForm && editorForm->HandleAllocated() && msg.hwnd == editorForm->Handle()) {
        fPopup->SetVisible(false);
        break;
      }
    }
    if (fPopup->ModalResult() != mrNone || fLostActivation) break;
    if (PeekMessage(msg, HWND{}, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) && msg.WParam == VK_RETURN)
      PeekMessage(msg, msg.hwnd, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (!Application->Active()) break;
    try {
      Application->HandleMessage();
    } catch (...) {
      Application->HandleException(this);
    }
  }
  if (!destroyed) ClosePopup(false, false);
}

// ---- Closing ---------------------------------------------------------------------------------------

void TVisionToolForm::ClosePopup(bool post, bool hide) {
  if (!fShown) return;
  if (post) {
    TFlagScope closing(fClosing, true);
    if (hide && fUser && fEditor) fUser->PostChangesAndHide(*fEditor, true);
    else if (fChanged && fUser && fEditor) fUser->PostChanges(*fEditor, true);
    else CloseProper();
    // A posting that refused (a value the field does not take) leaves the editor to say so;
    // the drop-down goes all the same.
    if (fShown) CloseProper();
    return;
  }
  if (!fClosing && !fOptions.Contains(tfoAlwaysPostChanges)) fChanged = false;
  CloseProper();
}

void TVisionToolForm::CloseProper() {
  if (!fShown) return;
  fShown = false;
  // The editor forgets the drop-down first: whatever the events below do to the editor, it
  // does not close a drop-down that is closing already.
  TDBDevidEdit* editor = fEditor;
  try {
    if (fPopup) {
      if (TWinControl* active = fPopup->TCustomForm::ActiveControl())
        active->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
      fResult = fPopup->ModalResult();
    }
    SetAlign(alNone);
    SetVisible(false);
    if (editor) editor->tfSetToolForm(nullptr);
    FreePopup();
    if (fResult != mrCancel && (fChanged || fResult != mrNone)) {
      if (IvtfDataGrid* grid = Grid()) grid->tfPostChanges();
      if (OnPostChanges) OnPostChanges(this);
    }
    if (OnClose) OnClose(this);
  } catch (...) {
    Unlink();
    Restore();
    throw;
  }
  Unlink();
  Restore();
}

void TVisionToolForm::Unlink() {
  // The free notifications stay: they are mutual, and the vision and the editor keep theirs on
  // the panel for references of their own.
  if (fEditor && fEditor->ToolForm() == this) fEditor->tfSetToolForm(nullptr);
  if (IvtfDataGrid* grid = Grid()) grid->tfSetToolForm(nullptr);
  if (fUser) fUser->SetCallbackInterface(nullptr);
  fUser = nullptr;
  fUserComponent = nullptr;
  fEditor = nullptr;
  fVision = nullptr;
  fCurrent = nullptr;
}

void TVisionToolForm::Restore() {
  SetAlign(alNone);
  SetVisible(false);
  if (!ComponentState().Contains(csDestroying)) {
    SetParent(fSavedParent);
    SetBoundsRect(fSavedBounds);
    if (fSavedFont) Font()->Assign(fSavedFont.get());
    SetParentFont(fSavedParentFont);
  }
  FreePopup();
}

void TVisionToolForm::FreePopup() {
  if (!fPopup) return;
  TvpToolFormBG* popup = fPopup;
  fPopup = nullptr;
  // The panel leaves the window before it goes, so that the window's end is not the panel's.
  if (Parent() == popup) SetParent(ComponentState().Contains(csDestroying) ? nullptr : fSavedParent);
  popup->SetVisible(false);
  // Closing may run inside one of the window's own handlers (a key it previewed): it frees
  // itself once that returned.
  if (popup->HandleAllocated() && !ComponentState().Contains(csDestroying)) popup->Release();
  else delete popup;
}

// ---- Registration ----------------------------------------------------------------------------------

ZV_MODULE(zvtoolform, {.Name = "zvtoolform",
                       .Uses = {"graphics", "controls"},
                       .Initialization = [] { RegisterClasses({TVisionToolForm::StaticClass()}); },
                       .Finalization = [] { UnRegisterClasses({TVisionToolForm::StaticClass()}); }});

}  // namespace zv
