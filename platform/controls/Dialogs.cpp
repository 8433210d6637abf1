// Dialogs. Sections: captions; the responder; the message box (button and form); file and
// colour dialogs.

#include "platform/controls/Dialogs.h"

#include "platform/controls/Application.h"
#include "platform/controls/ControlsConsts.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/DrawFlags.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(TMessageButton, TCustomControl)
ZV_DEFINE_CLASS_WITH_PROPS(TOpenDialog, TComponent)
ZV_DEFINE_CLASS(TSaveDialog, TOpenDialog)
ZV_DEFINE_CLASS(TOpenPictureDialog, TOpenDialog)
ZV_DEFINE_CLASS(TSavePictureDialog, TOpenPictureDialog)
ZV_DEFINE_CLASS_WITH_PROPS(TColorDialog, TComponent)

namespace {

constexpr TMsgDlgBtn kButtons[] = {mbYes, mbNo,       mbOK,       mbCancel, mbAbort, mbRetry,
                                   mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose};
constexpr const char* kButtonNames[] = {"Yes", "No", "OK", "Cancel", "Abort", "Retry",
                                        "Ignore", "All", "NoToAll", "YesToAll", "Help", "Close"};

// Layout of the message box, in pixels.
constexpr int kMargin = 12;
constexpr int kButtonGap = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

TDialogResponder& Responder() {
  static TDialogResponder responder;
  return responder;
}

std::vector<TMsgDlgBtn> ButtonsOf(TMsgDlgButtons buttons) {
  std::vector<TMsgDlgBtn> list;
  for (TMsgDlgBtn b : kButtons)
    if (buttons.Contains(b)) list.push_back(b);
  if (list.empty()) list.push_back(mbOK);  // a box nobody could close is no use
  return list;
}

// The host's choice: OK, else Yes, else Retry answers Enter; Cancel, else No, else OK, Escape.
TMsgDlgBtn DefaultButton(TMsgDlgButtons b) { return b.Contains(mbOK) ? mbOK : b.Contains(mbYes) ? mbYes : mbRetry; }
TMsgDlgBtn CancelButton(TMsgDlgButtons b) { return b.Contains(mbCancel) ? mbCancel : b.Contains(mbNo) ? mbNo : mbOK; }

TNativeWindow ActiveNativeWindow() {
  const HWND focus = GetFocus();
  return focus != HWND{} ? NativeWindowOf(focus) : 0;
}

// The message box: the message painted above the row of buttons.
class TMessageForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
  String Message;
  TRect MessageRect;

protected:
  void Paint() override {
    Canvas()->Font()->Assign(Font());
    Canvas()->Brush()->SetStyle(bsClear);
    TRect r = MessageRect;
    DrawText(*Canvas(), Message, r, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    TCustomForm::Paint();
  }

  void CMDialogKey(TWMKey& message) override {
    const Word key = message.CharCode();
    if (key == VK_RETURN || key == VK_ESCAPE) {
      TMessageButton* target = nullptr;
      if (key == VK_RETURN) target = dynamic_cast<TMessageButton*>(ActiveControl());
      for (int i = 0; i < ControlCount() && !target; ++i)
        if (auto* b = dynamic_cast<TMessageButton*>(Controls(i)); b && (key == VK_RETURN ? b->Default() : b->Cancel()))
          target = b;
      if (target) {
        target->Click();
        message.Result = 1;
        return;
      }
    }
    TCustomForm::CMDialogKey(message);
  }
};

}  // namespace

// --- Captions ------------------------------------------------------------------------------------

TModalResult ModalResultOf(TMsgDlgBtn button) {
  static constexpr TModalResult kResults[] = {mrYes, mrNo,    mrOk,       mrCancel, mrAbort, mrRetry,
                                              mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrHelp, mrClose};
  return kResults[button];
}

String ButtonCaption(TMsgDlgBtn button) {
  static constexpr const char* kCaptions[] = {SMsgDlgYes,   SMsgDlgNo,  SMsgDlgOK,      SMsgDlgCancel,
                                              SMsgDlgAbort, SMsgDlgRetry, SMsgDlgIgnore, SMsgDlgAll,
                                              SMsgDlgNoToAll, SMsgDlgYesToAll, SMsgDlgHelp, SMsgDlgClose};
  return kCaptions[button];
}

String DialogCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return SMsgDlgWarning;
    case mtError: return SMsgDlgError;
    case mtInformation: return SMsgDlgInformation;
    case mtConfirmation: return SMsgDlgConfirm;
    default: return Application->Title();
  }
}

// --- The responder ---------------------------------------------------------------------------------

TDialogResponder SetDialogResponder(TDialogResponder responder) {
  std::swap(Responder(), responder);
  return responder;
}

bool HasDialogResponder() { return static_cast<bool>(Responder()); }

bool DialogsCanShow() { return HasDialogResponder() || (HasWindowBackend() && WindowBackend().Interactive()); }

// --- The message box ---------------------------------------------------------------------------------

TMessageButton::TMessageButton(TComponent* owner) : TCustomControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, kButtonWidth, kButtonHeight);
  SetColor(clBtnFace);
}

void TMessageButton::SetDefault(bool value) {
  if (fDefault == value) return;
  fDefault = value;
  Invalidate();
}

void TMessageButton::Click() {
  // The form takes the result first: a click handler may still change it.
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(fModalResult);
  TCustomControl::Click();
}

void TMessageButton::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  if (fDefault || Focused()) {
    Canvas()->Brush()->SetColor(clWindowFrame);
    Canvas()->FrameRect(r);
    InflateRect(r, -1, -1);
  }
  DrawFrameControl(*Canvas(), r, DFC_BUTTON, DFCS_BUTTONPUSH | (fPressed ? DFCS_PUSHED : 0));
  Canvas()->Font()->Assign(Font());
  Canvas()->Brush()->SetStyle(bsClear);
  TRect text = ClientRect();
  if (fPressed) OffsetRect(text, 1, 1);
  DrawText(*Canvas(), Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    TRect focus = ClientRect();
    InflateRect(focus, -4, -4);
    DrawFocusRect(*Canvas(), focus);
  }
}

void TMessageButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    fPressed = true;
    Invalidate();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TMessageButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && fPressed) {
    fPressed = false;
    Invalidate();
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TMessageButton::KeyDown(Word& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_SPACE && !fPressed) {
    fPressed = true;
    Invalidate();
  }
}

// Space clicks on release, as a push button does.
void TMessageButton::KeyUp(Word& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key == VK_SPACE && fPressed) {
    fPressed = false;
    Invalidate();
    Click();
  }
}

void TMessageButton::DoEnter() {
  Invalidate();
  TCustomControl::DoEnter();
}

void TMessageButton::DoExit() {
  fPressed = false;
  Invalidate();
  TCustomControl::DoExit();
}

std::unique_ptr<TCustomForm> CreateMessageDialog(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons) {
  auto form = std::make_unique<TMessageForm>(nullptr);
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetCaption(DialogCaption(type));
  form->Message = msg;
  TCanvas& canvas = *form->Canvas();
  canvas.Font()->Assign(form->Font());

  // The message wraps at half the screen's width.
  const int screenWidth = HasWindowBackend() ? WindowBackend().ScreenRect().Width() : 1024;
  TRect text{0, 0, std::max(screenWidth / 2, 100), 0};
  DrawText(canvas, msg, text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);

  const std::vector<TMsgDlgBtn> list = ButtonsOf(buttons);
  int buttonWidth = kButtonWidth;
  for (TMsgDlgBtn b : list) {
    TRect r{0, 0, 0, 0};
    DrawText(canvas, ButtonCaption(b), r, DT_CALCRECT | DT_SINGLELINE);
    buttonWidth = std::max(buttonWidth, r.Width() + 16);
  }
  const int count = static_cast<int>(list.size());
  const int rowWidth = count * buttonWidth + (count - 1) * kButtonGap;
  const int clientWidth = std::max(text.Width(), rowWidth) + 2 * kMargin;
  const int buttonTop = kMargin + text.Height() + kMargin;
  form->SetBounds(0, 0, clientWidth, buttonTop + kButtonHeight + kMargin);
  form->MessageRect = {kMargin, kMargin, clientWidth - kMargin, kMargin + text.Height()};

  const TMsgDlgButtons shown = [&] {
    TMsgDlgButtons s;
    for (TMsgDlgBtn b : list) s.Include(b);
    return s;
  }();
  const TMsgDlgBtn defaultButton = DefaultButton(shown), cancelButton = CancelButton(shown);
  int x = (clientWidth - rowWidth) / 2;
  TMessageButton* focus = nullptr;
  for (TMsgDlgBtn b : list) {
    auto* button = new TMessageButton(form.get());
    button->SetName(kButtonNames[b]);
    button->SetCaption(ButtonCaption(b));
    button->SetModalResult(ModalResultOf(b));
    button->SetBounds(x, buttonTop, buttonWidth, kButtonHeight);
    button->SetDefault(b == defaultButton);
    button->SetCancel(b == cancelButton);
    button->SetParent(form.get());
    if (b == defaultButton || !focus) focus = button;
    x += buttonWidth + kButtonGap;
  }
  form->SetActiveControl(focus);
  return form;
}

TModalResult MessageBoxDlg(const String& caption, const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, int x,
                           int y) {
  if (HasDialogResponder()) {
    TDialogRequest request;
    request.Kind = TDialogKind::Message;
    request.Caption = caption.empty() ? DialogCaption(type) : caption;
    request.Message = msg;
    request.DlgType = type;
    for (TMsgDlgBtn b : ButtonsOf(buttons)) {
      request.Buttons.Include(b);
      request.ButtonCaptions.push_back(ButtonCaption(b));
    }
    // A copy: the responder may replace itself.
    const TDialogResponder responder = Responder();
    return responder(request);
  }
  std::unique_ptr<TCustomForm> form = CreateMessageDialog(msg, type, buttons);
  if (!caption.empty()) form->SetCaption(caption);
  if (x >= 0 || y >= 0) {
    form->SetPosition(poDesigned);
    form->SetBounds(x >= 0 ? x : form->Left(), y >= 0 ? y : form->Top(), form->Width(), form->Height());
  }
  return form->ShowModal();
}

TModalResult MessageDlg(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  return MessageBoxDlg(String(), msg, type, buttons);
}

TModalResult MessageDlgPos(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, int, int x, int y) {
  return MessageBoxDlg(String(), msg, type, buttons, x, y);
}

void ShowMessage(const String& msg) { MessageBoxDlg(Application->Title(), msg, mtCustom, {mbOK}); }

// --- File and colour dialogs -------------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

bool TOpenDialog::Execute() {
  TDialogRequest request;
  request.Kind = IsSave() ? TDialogKind::SaveFile : TDialogKind::OpenFile;
  request.Caption = fTitle;
  TNativeFileDialog& f = request.File;
  f.Save = IsSave();
  f.Title = fTitle;
  f.InitialDir = fInitialDir;
  f.FileName = fFileName;
  f.DefaultExt = fDefaultExt;
  f.Filter = fFilter;
  f.FilterIndex = fFilterIndex;
  f.MustExist = fOptions.Contains(ofFileMustExist);
  f.OverwritePrompt = fOptions.Contains(ofOverwritePrompt);
  bool accepted = false;
  if (HasDialogResponder()) {
    const TDialogResponder responder = Responder();
    accepted = responder(request) == mrOk;
  } else if (HasWindowBackend()) {
    accepted = WindowBackend().RunFileDialog(ActiveNativeWindow(), f);
  }
  if (!accepted) return false;
  fFileName = f.FileName;
  fFilterIndex = f.FilterIndex;
  // A typed name without an extension takes the default one.
  if (!fDefaultExt.empty() && !fFileName.empty()) {
    const auto slash = fFileName.find_last_of("/\\");
    const auto dot = fFileName.find_last_of('.');
    if (dot == String::npos || (slash != String::npos && dot < slash)) fFileName += "." + fDefaultExt;
  }
  return true;
}

void TOpenDialog::DeclareProperties(TPropTable<TOpenDialog>& t) {
  t.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  t.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  t.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  t.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
  t.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  t.Prop("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions);
  t.Prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}

String GraphicFilter() {
  return "All (*.bmp;*.png;*.jpg;*.jpeg;*.gif)|*.bmp;*.png;*.jpg;*.jpeg;*.gif|Bitmaps (*.bmp)|*.bmp|"
         "Portable Network Graphics (*.png)|*.png|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
         "GIF Image (*.gif)|*.gif";
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) { SetFilter(GraphicFilter()); }

TColorDialog::TColorDialog(TComponent* owner) : TComponent(owner) {}

bool TColorDialog::Execute() {
  TDialogRequest request;
  request.Kind = TDialogKind::Color;
  request.Color = fColor;
  bool accepted = false;
  if (HasDialogResponder()) {
    const TDialogResponder responder = Responder();
    accepted = responder(request) == mrOk;
  } else if (HasWindowBackend()) {
    accepted = WindowBackend().RunColorDialog(ActiveNativeWindow(), request.Color);
  }
  if (accepted) fColor = request.Color;
  return accepted;
}

void TColorDialog::DeclareProperties(TPropTable<TColorDialog>& t) {
  t.Prop("Color", &TColorDialog::Color, &TColorDialog::SetColor).Idents(ColorTypeInfo()).Default(clBlack);
}

}  // namespace zv
