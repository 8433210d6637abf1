#pragma once
// TCustomForm and TForm: the top-level windows of an application, shown modelessly (Show),
// modally (ShowModal runs a loop of its own until ModalResult is set; the other top-level
// windows take no input meanwhile) or as pop-ups placed at screen coordinates without taking
// the activation (ShowNoActivate, for drop-downs).
//
// A form's Left/Top/Width/Height are its client area on the screen: the windowing system
// draws the frame that BorderStyle asks for outside it. The form keeps the control that has
// the focus inside it (ActiveControl) and gives the focus back to it when activated; with
// KeyPreview it sees the keys before the focused control. CM_ACTIVATE / CM_DEACTIVATE reach a
// form when the focus enters it from another top-level window or leaves it.

#include "platform/classes/DataModule.h"
#include "platform/controls/CustomControl.h"

#include <vector>

namespace zv {

class TMainMenu;
struct TWMKey;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                              mrNo = 7, mrClose = 8, mrHelp = 9, mrTryAgain = 10, mrContinue = 11, mrAll = 12,
                              mrNoToAll = 13, mrYesToAll = 14;

ZV_ENUM(TFormStyle, fsNormal, fsStayOnTop);
ZV_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter);
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsActivated };
using TFormState = TSet<TFormStateItem>;
ZV_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp);
using TBorderIcons = TSet<TBorderIcon>;

// The form designer as a designed form sees it. A control of a form in design state hands its
// mouse and key messages to IsDesignMsg first (see TControl::WndProc); true means the designer
// used the message and the control does not see it.
class IDesignerHook : public IDesignerNotify {
public:
  virtual bool IsDesignMsg(TControl* sender, TMessage& message) = 0;
  // Raises when newName cannot be given to component (null: the root itself).
  virtual void ValidateRename(TComponent* component, const String& currentName, const String& newName) = 0;
  virtual String UniqueName(const String& baseName) = 0;
  virtual TComponent* GetRoot() = 0;
  // What the designer shows above the designed controls (grab handles, the icons of non-visual
  // components). Every windowed control of the designed form calls it after painting itself and
  // its graphic controls, dc in its client coordinates; each draws the part that falls on it, so
  // the marks lie above every window whatever holds them.
  virtual void PaintDesignMarks(TWinControl* window, TPaintDevice& dc) { (void)window; (void)dc; }
};

ZV_EVENT(TCloseEvent, void(TObject* sender, TCloseAction& action));
ZV_EVENT(TCloseQueryEvent, void(TObject* sender, bool& canClose));

class TCustomForm : public TCustomControl {
  ZV_CLASS(TCustomForm, TCustomControl)

public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // --- Showing and closing -------------------------------------------------------------------
  // Shows, applies Position and activates the form (focus to ActiveControl).
  void Show() override;
  // Shows the form without activating it: the focus stays where it is. A form without a
  // border becomes a pop-up (above its owner; never activated by the windowing system).
  void ShowNoActivate();
  // Runs the modal loop; EInvalidOperation when the form is visible, disabled or modal already.
  virtual TModalResult ShowModal();
  // A modal form: ModalResult := mrCancel. Otherwise OnCloseQuery, OnClose and its action;
  // closing the main form ends Run.
  void Close();
  // OnCloseQuery; false keeps the form open.
  virtual bool CloseQuery();
  // Frees the form once the messages already queued are handled.
  void Release();

  TModalResult ModalResult() const { return fModalResult; }
  void SetModalResult(TModalResult value) { fModalResult = value; }
  TFormState FormState() const { return fFormState; }
  bool Active() const { return fActive; }

  // --- Focus and keys ------------------------------------------------------------------------
  TWinControl* ActiveControl() const { return fActiveControl; }
  // Focuses control now when the form is active, else when it is next activated;
  // EInvalidOperation when control is not on the form or cannot take the focus now.
  void SetActiveControl(TWinControl* control);
  // CM_CANCELMODE (LParam: sender) to ActiveControl when the form is active.
  void SendCancelMode(TControl* sender);
  // What activation focuses: ActiveControl when it can take the focus, else the first control
  // in tab order, else the form.
  TWinControl* ActivationFocus();
  // Focuses ActivationFocus (nothing when the form is not showing).
  void SetWindowFocus();
  // Focuses the first control in tab order.
  void SelectFirst();
  bool KeyPreview() const { return fKeyPreview; }
  void SetKeyPreview(bool value) { fKeyPreview = value; }
  bool SetFocusedControl(TWinControl* control) override;
  // The keys of the menu bar, seen before the focused control: a short-cut of one of Menu's
  // items clicks it; F10, and Alt pressed and released alone, open the bar's first menu. True
  // when the key was used.
  virtual bool IsMenuKey(TWMKey& message);

  // --- Menu bar -------------------------------------------------------------------------------
  // A top-level form draws Menu's bar above its client area, which gives the bar its height.
  TMainMenu* Menu() const { return fMenu; }
  void SetMenu(TMainMenu* menu);
  // The bar's height, 0 without one.
  int MenuBarHeight() const;

  // --- Window ---------------------------------------------------------------------------------
  TFormBorderStyle BorderStyle() const { return fBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  // The caption's buttons. Without biSystemMenu there are none; dialog and tool-window frames
  // have no minimize and maximize buttons; the help button shows only without them.
  TBorderIcons BorderIcons() const { return fBorderIcons; }
  void SetBorderIcons(TBorderIcons value);
  TFormStyle FormStyle() const { return fFormStyle; }
  void SetFormStyle(TFormStyle value);
  TPosition Position() const { return fPosition; }
  void SetPosition(TPosition value) { fPosition = value; }
  // The form this one stays above (its native owner); by default the owning form, if any.
  TCustomForm* PopupParent() const { return fPopupParent; }
  void SetPopupParent(TCustomForm* form);

  // --- Design ---------------------------------------------------------------------------------
  IDesignerHook* Designer() const { return dynamic_cast<IDesignerHook*>(GetRootDesigner(this)); }
  void SetDesigner(IDesignerHook* designer) { SetRootDesigner(this, designer); }

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  static void DeclareProperties(TPropTable<TCustomForm>& t);
  void Dispatch(TMessage& message) override;
  // Streaming: the controls on the form, then (when the form is the root) the components it
  // owns that have no parent: menus, image lists, datasets.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  // Fires OnCreate: streaming calls it once the form is loaded; code that creates a form and
  // then assigns OnCreate calls it itself (TApplication::CreateForm does).
  virtual void DoCreate();

protected:
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  // A non-zero ModalResult inside the modal loop: CloseQuery and OnClose may keep it open.
  virtual void CloseModal();

  void CreateParams(TCreateParams& params) override;
  void NativeWindowParams(TNativeWindowParams& params) override;
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void ValidateRename(TComponent* component, const String& currentName, const String& newName) override;
  void CMVisibleChanged(TMessage& message) override;
  void CMDialogKey(TWMKey& message) override;
  void WMNCCalcSize(TWMNCCalcSize& message) override;
  void WMNCPaint(TWMNCPaint& message) override;

private:
  friend class TWinControl;
  void SetActive(bool value);
  TCustomForm* OwnerForm() const;
  void ApplyPosition();
  bool ShowsAsPopup() const { return fNoActivate && fBorderStyle == bsNone; }

  TMainMenu* fMenu = nullptr;
  bool fAltAlone = false;  // Alt is down and no other key went down since
  TModalResult fModalResult = mrNone;
  TFormState fFormState{fsCreating};
  TWinControl* fActiveControl = nullptr;
  TCustomForm* fPopupParent = nullptr;
  TFormBorderStyle fBorderStyle = bsSizeable;
  TBorderIcons fBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TFormStyle fFormStyle = fsNormal;
  TPosition fPosition = poDesigned;
  bool fKeyPreview = false;
  bool fActive = false;
  bool fNoActivate = false;  // the window is made for showing without activation
  bool fCreated = false;     // OnCreate has run
};

class TForm : public TCustomForm {
  ZV_CLASS(TForm, TCustomForm)

public:
  using TCustomForm::TCustomForm;
  static void DeclareProperties(TPropTable<TForm>& t);
};

// The form that holds control (control itself when it is one), or null.
TCustomForm* GetParentForm(const TControl* control);

}  // namespace zv
