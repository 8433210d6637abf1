#include "platform/controls/Application.h"

#include "platform/classes/Modules.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Form.h"
#include "platform/controls/HintWindow.h"
#include "platform/controls/MaskEdit.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/SpeedButton.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/WinControl.h"
#include "platform/controls/detail/WindowManager.h"

#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"

#include <cstdio>
#include <exception>

namespace zv {

ZV_DEFINE_CLASS(TApplication, TComponent)
ZV_DEFINE_CLASS(TScreen, TComponent)

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() { CancelHint(); }

void TApplication::Initialize() { InitializeModules(); }

bool TApplication::ProcessMessage() {
  bool quit = false;
  const bool processed = detail::Manager().ProcessOne(quit);
  if (quit) fTerminated = true;
  return processed;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  if (!ProcessMessage()) Idle();
}

void TApplication::Idle() {
  bool done = true;
  if (OnIdle) OnIdle(this, done);
  if (done && !fTerminated && HasWindowBackend()) WindowBackend().ProcessEvents(true);
}

void TApplication::Run() {
  fTerminated = false;  // a program (a test program) may run the loop again
  if (TCustomForm* main = MainForm(); main && fShowMainForm && !main->Visible()) main->Show();
  while (!fTerminated) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
}

void TApplication::Terminate() { PostQuitMessage(); }

void TApplication::RunNestedLoop() {
  fLoopEnds.push_back(false);
  const std::size_t level = fLoopEnds.size();
  // Terminate ends the loop; an application that had ended a Run before (a test program runs
  // many) can still run one.
  const bool terminatedBefore = fTerminated;
  while (!fLoopEnds[level - 1] && (terminatedBefore || !fTerminated)) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
  fLoopEnds.pop_back();
}

void TApplication::EndNestedLoop() {
  if (fLoopEnds.empty()) return;
  fLoopEnds.back() = true;
  if (HasWindowBackend()) WindowBackend().Wake();
}

void TApplication::ActiveChanged(bool active) {
  if (fActive == active) return;
  fActive = active;
  if (!active) CancelHint();  // a hint does not stay over another application
  if (active ? OnActivate : OnDeactivate) (active ? OnActivate : OnDeactivate)(this);
}

void TApplication::HandleException(TObject* sender) {
  const std::exception_ptr current = std::current_exception();
  if (!current) return;
  auto report = [&](const Exception& e) {
    try {
      if (OnException)
        OnException(sender, e);
      else
        ShowException(e);
    } catch (...) {  // the last line: nothing may escape from here
    }
  };
  try {
    std::rethrow_exception(current);
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    report(e);
  } catch (const std::exception& e) {
    report(Exception(e.what()));
  } catch (...) {
    report(Exception("Unknown exception"));
  }
}

void TApplication::ShowException(const Exception& e) {
  String message = e.Message();
  if (!message.empty() && message.back() != '.') message += '.';
  if (!DialogsCanShow()) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return;
  }
  MessageBoxDlg(fTitle, message, mtError, {mbOK});
}

TCustomForm* TApplication::MainForm() const { return dynamic_cast<TCustomForm*>(fMainControl); }

void TApplication::FormCreated(TCustomForm* form) {
  if (!fMainControl) SetMainControl(form);
  form->DoCreate();
}

void TApplication::SetMainControl(TWinControl* control) {
  if (fMainControl == control) return;
  if (fMainControl) fMainControl->RemoveFreeNotification(this);
  fMainControl = control;
  if (control) control->FreeNotification(this);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == fMainControl) fMainControl = nullptr;
  if (operation == opRemove && component == fHintControl) CancelHint();
}

// --- TScreen ---------------------------------------------------------------------------------------

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

int TScreen::Width() const { return HasWindowBackend() ? WindowBackend().ScreenRect().Width() : 0; }
int TScreen::Height() const { return HasWindowBackend() ? WindowBackend().ScreenRect().Height() : 0; }
TRect TScreen::WorkAreaRect() const { return HasWindowBackend() ? WindowBackend().WorkAreaRect() : TRect{}; }

void TScreen::SetCursor(TCursor cursor) {
  if (fCursor == cursor) return;
  fCursor = cursor;
  zv::SetCursor(cursor == crDefault ? crArrow : cursor);
}

TWinControl* TScreen::ActiveControl() const { return TWinControl::FindControl(GetFocus()); }

TForm* TScreen::ActiveForm() const { return dynamic_cast<TForm*>(ActiveCustomForm()); }

TCustomForm* TScreen::ActiveCustomForm() const { return GetParentForm(ActiveControl()); }

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) throw EListError(Format(SListIndexError, {index}));
  return fForms[static_cast<std::size_t>(index)];
}

void TScreen::RemoveForm(TCustomForm* form) { std::erase(fForms, form); }

TApplication* TApplicationRef::operator->() const {
  static const std::unique_ptr<TApplication> application = std::make_unique<TApplication>(nullptr);
  return application.get();
}

TScreen* TScreenRef::operator->() const {
  static const std::unique_ptr<TScreen> screen = std::make_unique<TScreen>(nullptr);
  return screen.get();
}

// The controls module: the control classes form files name.
namespace {
std::vector<TClass> ControlClasses() {
  return {TForm::StaticClass(),     TPanel::StaticClass(),     TEdit::StaticClass(),
          TMaskEdit::StaticClass(), TRichEdit::StaticClass(),  TSpeedButton::StaticClass(),
          TPopupMenu::StaticClass(), TMenuItem::StaticClass(), TMainMenu::StaticClass(),
          TLabel::StaticClass(),    TButton::StaticClass(),    TCheckBox::StaticClass(),
          TComboBox::StaticClass(), TBevel::StaticClass(),     TImage::StaticClass(), TDataModule::StaticClass(),
          TSplitter::StaticClass(), TProgressBar::StaticClass(), TPageControl::StaticClass(),
          TTabSheet::StaticClass()};
}
}  // namespace

ZV_MODULE(controls, {.Name = "controls",
                     .Uses = {"graphics"},
                     .Initialization = [] { RegisterClasses(ControlClasses()); },
                     .Finalization = [] { UnRegisterClasses(ControlClasses()); }});

}  // namespace zv
