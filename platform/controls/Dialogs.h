#pragma once
// The host's Dialogs unit: message boxes (MessageDlg, MessageDlgPos, ShowMessage), the open
// and save picture dialogs and the colour dialog.
//
// A message box is a form of our own (painted text, buttons drawn and clicked by this code),
// so it behaves alike on every backend: Enter clicks the focused button (the default one at
// first), Escape answers with the cancel button (Cancel, else No, else OK). File and colour
// dialogs are the window backend's (RunFileDialog / RunColorDialog).
//
// Tests answer dialogs with a responder: while one is set, every dialog is described to it
// and takes its answer, and no window and no modal loop is involved.

#include "platform/controls/Form.h"
#include "platform/controls/WindowBackend.h"

#include <vector>

namespace zv {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
                  mbClose };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// The modal result a button answers with, and its caption ("&Yes").
TModalResult ModalResultOf(TMsgDlgBtn button);
String ButtonCaption(TMsgDlgBtn button);
// The window caption of a message type ("Warning"); mtCustom: the application's title.
String DialogCaption(TMsgDlgType type);

// --- Message boxes -------------------------------------------------------------------------------
// Shows msg with the buttons (in the host's order) and returns the chosen button's result;
// helpCtx is accepted and ignored (no help system).
TModalResult MessageDlg(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
// The same at screen position (x, y); -1 centres it on the screen.
TModalResult MessageDlgPos(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x, int y);
// An information box with OK, captioned with the application's title.
void ShowMessage(const String& msg);
// A message box with a caption of the caller's choosing (empty: the type's caption).
TModalResult MessageBoxDlg(const String& caption, const String& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                           int x = -1, int y = -1);

// A message box button: a push button that closes its form with its ModalResult.
class TMessageButton : public TCustomControl {
  ZV_CLASS(TMessageButton, TCustomControl)

public:
  explicit TMessageButton(TComponent* owner);
  TModalResult ModalResult() const { return fModalResult; }
  void SetModalResult(TModalResult value) { fModalResult = value; }
  // Answers to Enter when no other button has the focus / to Escape.
  bool Default() const { return fDefault; }
  void SetDefault(bool value);
  bool Cancel() const { return fCancel; }
  void SetCancel(bool value) { fCancel = value; }
  void Click() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void DoEnter() override;
  void DoExit() override;

private:
  TModalResult fModalResult = mrNone;
  bool fDefault = false;
  bool fCancel = false;
  bool fPressed = false;
};

// The host's CreateMessageDialog: the message box form, not yet shown. Its buttons are named
// after their kind ("Yes", "OK", "NoToAll"), laid out in one centred row under the message.
std::unique_ptr<TCustomForm> CreateMessageDialog(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons);

// --- File and colour dialogs ---------------------------------------------------------------------
ZV_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
                   ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
                   ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
                   ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent,
                   ofForceShowHidden);
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TComponent {
  ZV_CLASS(TOpenDialog, TComponent)

public:
  explicit TOpenDialog(TComponent* owner);
  const String& FileName() const { return fFileName; }
  void SetFileName(const String& value) { fFileName = value; }
  // "Description|pattern;pattern|Description|pattern".
  const String& Filter() const { return fFilter; }
  void SetFilter(const String& value) { fFilter = value; }
  int FilterIndex() const { return fFilterIndex; }
  void SetFilterIndex(int value) { fFilterIndex = value; }
  const String& DefaultExt() const { return fDefaultExt; }
  void SetDefaultExt(const String& value) { fDefaultExt = value; }
  const String& InitialDir() const { return fInitialDir; }
  void SetInitialDir(const String& value) { fInitialDir = value; }
  const String& Title() const { return fTitle; }
  void SetTitle(const String& value) { fTitle = value; }
  TOpenOptions Options() const { return fOptions; }
  void SetOptions(TOpenOptions value) { fOptions = value; }
  // Asks for a file; true with FileName (and FilterIndex) set when the user chose one.
  virtual bool Execute();

  static void DeclareProperties(TPropTable<TOpenDialog>& t);

protected:
  virtual bool IsSave() const { return false; }

private:
  String fFileName;
  String fFilter;
  int fFilterIndex = 1;
  String fDefaultExt;
  String fInitialDir;
  String fTitle;
  TOpenOptions fOptions{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
  ZV_CLASS(TSaveDialog, TOpenDialog)

public:
  using TOpenDialog::TOpenDialog;

protected:
  bool IsSave() const override { return true; }
};

// Open and save dialogs whose filter lists the picture formats TPicture reads.
class TOpenPictureDialog : public TOpenDialog {
  ZV_CLASS(TOpenPictureDialog, TOpenDialog)

public:
  explicit TOpenPictureDialog(TComponent* owner);
};

class TSavePictureDialog : public TOpenPictureDialog {
  ZV_CLASS(TSavePictureDialog, TOpenPictureDialog)

public:
  using TOpenPictureDialog::TOpenPictureDialog;

protected:
  bool IsSave() const override { return true; }
};

// The filter of the picture dialogs: all picture formats first, then each one.
String GraphicFilter();

class TColorDialog : public TComponent {
  ZV_CLASS(TColorDialog, TComponent)

public:
  explicit TColorDialog(TComponent* owner);
  TColor Color() const { return fColor; }
  void SetColor(TColor value) { fColor = value; }
  // Asks for a colour; true with Color set when the user chose one.
  virtual bool Execute();

  static void DeclareProperties(TPropTable<TColorDialog>& t);

private:
  TColor fColor = clBlack;
};

// --- Scripted answers ----------------------------------------------------------------------------
enum class TDialogKind { Message, OpenFile, SaveFile, Color };

// What a dialog asks. The responder writes its answer into FileName / FilterIndex / Color and
// returns the modal result (message boxes: the button's result; other dialogs: mrOk to accept).
struct TDialogRequest {
  TDialogKind Kind = TDialogKind::Message;
  String Caption;
  String Message;
  TMsgDlgType DlgType = mtCustom;
  TMsgDlgButtons Buttons;
  std::vector<String> ButtonCaptions;  // in the order shown
  TNativeFileDialog File;              // file dialogs
  TColor Color = clBlack;              // colour dialog
};
using TDialogResponder = std::function<TModalResult(TDialogRequest& request)>;

// Installs responder for every dialog from now on (an empty one removes it); returns the one
// it replaces.
TDialogResponder SetDialogResponder(TDialogResponder responder);
bool HasDialogResponder();
// A responder is set, or a user can answer windows.
bool DialogsCanShow();

}  // namespace zv
