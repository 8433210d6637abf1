// TCustomForm. Sections: life; showing, closing and the modal loop; focus and keys; window.

#include "platform/controls/Form.h"

#include "platform/controls/Application.h"
#include "platform/controls/ControlsConsts.h"
#include "platform/controls/Edit.h"
#include "platform/controls/MaskEdit.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/SpeedButton.h"
#include "platform/graphics/ImageList.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/detail/WindowManager.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TCustomForm, TCustomControl)
ZV_DEFINE_CLASS_WITH_PROPS(TForm, TCustomForm)

TCustomForm* GetParentForm(const TControl* control) {
  for (; control; control = control->Parent())
    if (auto* form = dynamic_cast<const TCustomForm*>(control)) return const_cast<TCustomForm*>(form);
  return nullptr;
}

namespace {

// Controls placed on a form whose window existed while it was hidden have no windows yet.
void CreateChildHandles(TWinControl& parent) {
  for (int i = 0; i < parent.ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(parent.Controls(i)); w && w->Visible()) {
      w->HandleNeeded();
      CreateChildHandles(*w);
    }
}

}  // namespace

// --- Life ----------------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  SetParentColor(false);
  SetColor(clBtnFace);
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
  Screen->AddForm(this);
  fFormState.Exclude(fsCreating);
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      Application->HandleException(this);
    }
  }
  Screen->RemoveForm(this);
}

void TCustomForm::DoCreate() {
  if (fCreated) return;
  fCreated = true;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::Loaded() {
  TCustomControl::Loaded();
  // The menu's items were read after the form's window may have been made.
  if (fMenu && HandleAllocated()) FrameChanged(Handle());
  DoCreate();
}

void TCustomForm::ValidateRename(TComponent* component, const String& currentName, const String& newName) {
  TCustomControl::ValidateRename(component, currentName, newName);
  if (IDesignerHook* designer = Designer()) designer->ValidateRename(component, currentName, newName);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (IDesignerHook* designer = Designer()) designer->Notification(component, operation);
  if (operation != opRemove) return;
  if (component == fActiveControl) fActiveControl = nullptr;
  if (component == fPopupParent) fPopupParent = nullptr;
  if (component == fMenu) {
    fMenu = nullptr;
    if (HandleAllocated() && !ComponentState().Contains(csDestroying)) FrameChanged(Handle());
  }
}

// --- Showing, closing and the modal loop -------------------------------------------------------------

void TCustomForm::Show() {
  if (fNoActivate) {
    fNoActivate = false;
    if (HandleAllocated()) RecreateWnd();
  }
  if (Visible()) {
    if (!Parent()) SetWindowFocus();
    return;
  }
  SetVisible(true);
}

void TCustomForm::ShowNoActivate() {
  if (!fNoActivate) {
    fNoActivate = true;
    if (HandleAllocated()) RecreateWnd();
  }
  SetVisible(true);
}

void TCustomForm::CMVisibleChanged(TMessage& message) {
  if (fFormState.Contains(fsCreating)) {
    TCustomControl::CMVisibleChanged(message);
    return;
  }
  if (Visible()) {
    // OnShow comes before the window appears, as on the host; Position places it each time.
    fFormState.Include(fsShowing);
    try {
      DoShow();
      if (!Parent()) ApplyPosition();
    } catch (...) {
      fFormState.Exclude(fsShowing);
      throw;
    }
    fFormState.Exclude(fsShowing);
    fFormState.Include(fsVisible);
    if (!Parent()) {
      HandleNeeded();
      CreateChildHandles(*this);
    }
    TCustomControl::CMVisibleChanged(message);
    if (!Parent() && !fNoActivate) SetWindowFocus();
  } else {
    fFormState.Exclude(fsVisible);
    TCustomControl::CMVisibleChanged(message);
    SetActive(false);
    DoHide();
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (fFormState.Contains(fsModal)) {
    fModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application->MainControl() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caFree: Release(); break;
    default: break;  // caMinimize: there is no minimized state; the form stays as it is
  }
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) fModalResult = mrNone;
  else if (action == caFree) Release();
}

void TCustomForm::SendCancelMode(TControl* sender) {
  if (fActive && fActiveControl) fActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
}

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE, 0, 0); }

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || fFormState.Contains(fsModal)) throw EInvalidOperation(SCannotShowModal);
  if (GetCapture() != HWND{}) SendMessage(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  const HWND previousFocus = GetFocus();
  TCustomForm* previousForm = GetParentForm(FindControl(previousFocus));
  if (previousForm == this) previousForm = nullptr;
  fFormState.Include(fsModal);
  const std::vector<HWND> disabled = detail::Manager().DisableTopLevels(Handle());
  // Terminate ends the loop; an application that had ended a Run before (a test program runs
  // many) still shows the form.
  const bool terminatedBefore = Application->Terminated();
  auto restore = [&] {
    if (Visible()) Hide();
    detail::Manager().EnableTopLevels(disabled);
    fFormState.Exclude(fsModal);
    if (TWinControl* c = FindControl(previousFocus); c && c->CanFocus() && c->Showing())
      zv::SetFocus(previousFocus);
    else if (previousForm && previousForm->Showing())
      previousForm->SetWindowFocus();
  };
  fModalResult = mrNone;
  try {
    Show();
    do {
      try {
        Application->HandleMessage();
      } catch (...) {
        Application->HandleException(this);
      }
      if (!terminatedBefore && Application->Terminated())
        fModalResult = mrCancel;
      else if (fModalResult != mrNone)
        CloseModal();
    } while (fModalResult == mrNone);
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return fModalResult;
}

// --- Focus and keys ---------------------------------------------------------------------------------

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  if (!TCustomControl::SetFocusedControl(control)) return false;
  if (control != this && control != fActiveControl) {
    if (fActiveControl) fActiveControl->RemoveFreeNotification(this);
    fActiveControl = control;
    if (control) control->FreeNotification(this);
  }
  return true;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == fActiveControl) return;
  if (control && (control == this || GetParentForm(control) != this ||
                  (!ComponentState().Contains(csLoading) && !control->CanFocus())))
    throw EInvalidOperation(SCannotFocus);
  if (fActiveControl) fActiveControl->RemoveFreeNotification(this);
  fActiveControl = control;
  if (control) control->FreeNotification(this);
  if (fActive && control && !ComponentState().Contains(csLoading)) SetWindowFocus();
}

TWinControl* TCustomForm::ActivationFocus() {
  if (fActiveControl && ContainsControl(fActiveControl) && fActiveControl->CanFocus() && fActiveControl->Showing())
    return fActiveControl;
  if (TWinControl* first = FindNextControl(nullptr, true, true, false); first && first->Showing()) return first;
  return this;
}

void TCustomForm::SetWindowFocus() {
  if (!Showing()) return;
  zv::SetFocus(ActivationFocus()->Handle());
}

void TCustomForm::SelectFirst() {
  if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
}

void TCustomForm::SetActive(bool value) {
  if (fActive == value) return;
  fActive = value;
  if (value) {
    fFormState.Include(fsActivated);
    Activate();
  } else {
    Deactivate();
  }
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::CMDialogKey(TWMKey& message) {
  // Arrows move among the focused control's siblings, as in a dialog.
  const Word key = message.CharCode();
  if (GetKeyState(VK_MENU) >= 0 && fActiveControl && fActiveControl->Parent() &&
      (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN)) {
    fActiveControl->Parent()->SelectNext(fActiveControl, key == VK_RIGHT || key == VK_DOWN, false);
    message.Result = 1;
    return;
  }
  TCustomControl::CMDialogKey(message);
}

// --- Window ---------------------------------------------------------------------------------------

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (fBorderStyle == value) return;
  fBorderStyle = value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (fBorderIcons == value) return;
  fBorderIcons = value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (fFormStyle == value) return;
  fFormStyle = value;
  RecreateWnd();
}

void TCustomForm::SetPopupParent(TCustomForm* form) {
  if (fPopupParent == form) return;
  if (fPopupParent) fPopupParent->RemoveFreeNotification(this);
  fPopupParent = form;
  if (form) form->FreeNotification(this);
  RecreateWnd();
}

TCustomForm* TCustomForm::OwnerForm() const {
  if (fPopupParent) return fPopupParent;
  auto* owner = dynamic_cast<TCustomForm*>(Owner());
  return owner != this ? owner : nullptr;
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (Parent()) return;
  switch (fBorderStyle) {
    case bsNone: break;
    case bsSingle:
    case bsToolWindow: params.Style |= WS_CAPTION | WS_SYSMENU; break;
    case bsSizeable:
    case bsSizeToolWin: params.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME; break;
    case bsDialog:
      params.Style |= WS_CAPTION | WS_SYSMENU;
      params.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
  if (fBorderStyle == bsToolWindow || fBorderStyle == bsSizeToolWin) params.ExStyle |= WS_EX_TOOLWINDOW;
  // The caption's buttons, as the frame allows them.
  if (params.Style & WS_CAPTION) {
    const bool tool = fBorderStyle == bsToolWindow || fBorderStyle == bsSizeToolWin;
    if (!fBorderIcons.Contains(biSystemMenu)) {
      params.Style &= ~WS_SYSMENU;
    } else if (fBorderStyle != bsDialog && !tool) {
      if (fBorderIcons.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
      if (fBorderIcons.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    }
    if ((params.Style & WS_SYSMENU) && fBorderIcons.Contains(biHelp) &&
        !(params.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
      params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (fFormStyle == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
  if (fNoActivate) params.ExStyle |= WS_EX_NOACTIVATE;
  if (TCustomForm* owner = OwnerForm(); owner && owner->HandleAllocated()) params.WndParent = owner->Handle();
}

void TCustomForm::NativeWindowParams(TNativeWindowParams& params) {
  if (Parent()) return;
  static constexpr TNativeFrame kFrames[] = {TNativeFrame::None,   TNativeFrame::Single, TNativeFrame::Sizeable,
                                             TNativeFrame::Dialog, TNativeFrame::Tool,   TNativeFrame::SizeableTool};
  params.Frame = kFrames[fBorderStyle];
  params.Popup = ShowsAsPopup();
  params.StayOnTop = fFormStyle == fsStayOnTop;
  params.ActivateOnShow = !fNoActivate;
  TCreateParams window;
  CreateParams(window);
  params.SystemMenu = (window.Style & WS_SYSMENU) != 0;
  params.MinimizeButton = (window.Style & WS_MINIMIZEBOX) != 0;
  params.MaximizeButton = (window.Style & WS_MAXIMIZEBOX) != 0;
  params.HelpButton = (window.ExStyle & WS_EX_CONTEXTHELP) != 0;
  if (TCustomForm* owner = OwnerForm(); owner && owner->HandleAllocated()) params.Owner = NativeWindowOf(owner->Handle());
}

void TCustomForm::ApplyPosition() {
  if (!HasWindowBackend()) return;
  TRect area;
  bool keepOnScreen = false;
  auto* mainForm = dynamic_cast<TCustomForm*>(Application->MainControl());
  if (mainForm == this) mainForm = nullptr;
  switch (fPosition) {
    case poScreenCenter:
    case poDesktopCenter: area = WindowBackend().ScreenRect(); break;
    case poOwnerFormCenter:
      if (TCustomForm* owner = OwnerForm(); owner && owner->Visible()) {
        area = owner->BoundsRect();
        keepOnScreen = true;
        break;
      }
      [[fallthrough]];
    case poMainFormCenter:
      if (mainForm && mainForm->Visible()) {
        area = mainForm->BoundsRect();
        keepOnScreen = true;
      } else {
        area = WindowBackend().ScreenRect();
      }
      break;
    default: return;
  }
  int left = area.Left + (area.Width() - Width()) / 2;
  int top = area.Top + (area.Height() - Height()) / 2;
  if (keepOnScreen) {
    const TRect work = WindowBackend().WorkAreaRect();
    left = std::max(work.Left, std::min(left, work.Right - Width()));
    top = std::max(work.Top, std::min(top, work.Bottom - Height()));
  }
  SetBounds(left, top, Width(), Height());
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

// The windowing system draws a top-level form's frame outside its client area; the menu bar is
// inside it, above the client area.
void TCustomForm::WMNCCalcSize(TWMNCCalcSize& message) {
  if (Parent()) {
    TCustomControl::WMNCCalcSize(message);
    return;
  }
  message.Result = 0;
  if (TNCCalcSizeParams* params = message.CalcSize_Params()) params->rgrc[0].Top += MenuBarHeight();
}

void TCustomForm::WMNCPaint(TWMNCPaint& message) {
  if (Parent()) {
    TCustomControl::WMNCPaint(message);
    return;
  }
  if (const int bar = MenuBarHeight(); bar > 0)
    if (const auto dc = GetWindowDC(Handle())) {
      TCanvas canvas(dc.get());
      fMenu->PaintBar(canvas, {0, 0, Width(), bar});
    }
}

// --- Menu bar --------------------------------------------------------------------------------------

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (fMenu == menu) return;
  if (fMenu) {
    fMenu->RemoveFreeNotification(this);
    if (fMenu->Host() == this) fMenu->SetHost(nullptr);
  }
  fMenu = menu;
  if (menu) {
    menu->FreeNotification(this);
    menu->SetHost(this);
  }
  if (HandleAllocated()) FrameChanged(Handle());
}

int TCustomForm::MenuBarHeight() const { return fMenu && !Parent() ? fMenu->BarHeight() : 0; }

bool TCustomForm::IsMenuKey(TWMKey& message) {
  const Word key = message.CharCode();
  const bool down = message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN;
  const bool up = message.Msg == WM_KEYUP || message.Msg == WM_SYSKEYUP;
  if (down) fAltAlone = key == VK_MENU;
  if (!fMenu) return false;
  if (down && fMenu->IsShortCut(message)) return true;
  if (MenuBarHeight() == 0 || ComponentState().Contains(csDesigning)) return false;
  const bool plainF10 = down && key == VK_F10 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0;
  const bool altAlone = up && key == VK_MENU && fAltAlone;
  if (up && key == VK_MENU) fAltAlone = false;
  if (!plainF10 && !altAlone) return false;
  fMenu->Open(0, true);
  return true;
}

void TCustomForm::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE: Close(); return;
    case CM_ACTIVATE: SetActive(true); return;
    case CM_DEACTIVATE: SetActive(false); return;
    case CM_RELEASE: delete this; return;
    case CM_MENUCHANGED:
      if (HandleAllocated()) FrameChanged(Handle());
      return;
    case WM_COMMAND:
      // A menu item chosen on the bar.
      if (fMenu)
        if (TMenuItem* item = fMenu->FindItem(static_cast<unsigned>(message.WParam))) {
          item->Click();
          return;
        }
      break;
    case WM_NCHITTEST:
      TCustomControl::Dispatch(message);
      if (message.Result == HTBORDER && MenuBarHeight() > 0 && TWMNCHitTest(message).YPos() - Top() < MenuBarHeight())
        message.Result = HTMENU;
      return;
    case WM_NCLBUTTONDOWN:
      if (static_cast<int>(message.WParam) == HTMENU && fMenu) {
        fAltAlone = false;
        if (const int index = fMenu->BarItemAt(LParamToPoint(message.LParam)); index >= 0) fMenu->Open(index, false);
        return;
      }
      break;
    case CM_DIALOGCHAR:
      // The controls' accelerators first, then the bar's: Alt with a top item's letter opens it.
      TCustomControl::Dispatch(message);
      if (message.Result == 0 && fMenu && MenuBarHeight() > 0 && GetKeyState(VK_MENU) < 0)
        if (const int index = fMenu->FindBarHotkey(static_cast<char32_t>(message.WParam)); index >= 0) {
          message.Result = 1;
          fMenu->Open(index, true);
        }
      return;
    default: TCustomControl::Dispatch(message);
  }
}

void TCustomForm::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  TCustomControl::GetChildren(proc, root);
  if (root != this) return;
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) proc(Components(i));
}

void TCustomForm::DeclareProperties(TPropTable<TCustomForm>& t) {
  // A form is created hidden; streaming must not show it unless asked to.
  t.Prop("Visible", &TCustomForm::Visible, &TCustomForm::SetVisible)
      .Default(0)
      .Unpublished();
  t.Prop("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl).Unpublished();
  t.Prop("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize})
      .Unpublished();
  t.Prop("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable).Unpublished();
  t.Prop("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal).Unpublished();
  t.Prop("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(0).Unpublished();
  t.Prop("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu).Unpublished();
  t.Prop("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned).Unpublished();
  for (auto [name, event] : {std::pair{"OnActivate", &TCustomForm::OnActivate}, std::pair{"OnCreate", &TCustomForm::OnCreate},
                             std::pair{"OnDeactivate", &TCustomForm::OnDeactivate},
                             std::pair{"OnDestroy", &TCustomForm::OnDestroy}, std::pair{"OnHide", &TCustomForm::OnHide},
                             std::pair{"OnPaint", &TCustomForm::OnPaint}, std::pair{"OnShow", &TCustomForm::OnShow}})
    t.Event(name, event).Unpublished();
  t.Event("OnClose", &TCustomForm::OnClose).Unpublished();
  t.Event("OnCloseQuery", &TCustomForm::OnCloseQuery).Unpublished();
  // A form has no parent to anchor to, only limits.
  DeclareSizing(t, false);
}

// The host's TForm list, less what this host has no property for.
void TForm::DeclareProperties(TPropTable<TForm>& t) {
  for (const char* name :
       {"ActiveControl", "Align", "BorderIcons", "BorderStyle", "Caption", "Color", "Constraints", "DragKind", "DragMode", "Enabled", "ParentFont",
        "Font", "FormStyle", "KeyPreview", "Menu", "PopupMenu", "Position", "ShowHint", "Visible", "OnActivate", "OnClick",
        "OnClose", "OnCloseQuery", "OnContextPopup", "OnCreate", "OnDblClick", "OnDestroy", "OnDeactivate",
        "OnDragDrop", "OnDragOver", "OnHide", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove",
        "OnMouseUp", "OnMouseWheel", "OnMouseWheelDown", "OnMouseWheelUp", "OnPaint", "OnResize", "OnShow"})
    t.Publish(name);
}

}  // namespace zv
