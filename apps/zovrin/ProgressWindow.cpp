#include "ProgressWindow.h"

#include "platform/controls/Application.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/WinApi.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zovrin {
namespace {

using namespace zv;

constexpr unsigned WM_START_WORK = WM_USER + 1;

// The work starts from a message posted when the window shows, so that it runs inside the
// modal loop; it ends the loop itself.
class TProgressForm : public TForm {
public:
  TProgressForm(const String& caption, const std::function<void(const TProgressReport&)>& work)
      : TForm(nullptr), fWork(work) {
    SetCaption(caption);
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetBounds(0, 0, 360, 112);
    fText = new TLabel(this);
    fText->SetParent(this);
    fText->SetBounds(12, 12, 336, 16);
    fBar = new TProgressBar(this);
    fBar->SetParent(this);
    fBar->SetBounds(12, 36, 336, 18);
    Cancel = new TButton(this);
    Cancel->SetParent(this);
    Cancel->SetCaption("Cancel");
    Cancel->SetCancel(true);
    Cancel->SetBounds(273, 70, 75, 25);
    Cancel->OnClick = [this](TObject*) { fCancelled = true; };
    OnShow = [this](TObject*) { PostMessage(Handle(), WM_START_WORK, 0, 0); };
  }

  void Dispatch(TMessage& message) override {
    if (message.Msg != WM_START_WORK) {
      TForm::Dispatch(message);
      return;
    }
    TModalResult result = mrOk;
    try {
      fWork([this](int done, int total) {
        ShowProgress(done, total);
        Application->ProcessMessages();  // paints, and hears Cancel and Esc
        return fCancelled;
      });
    } catch (const EAbort&) {
      result = mrCancel;
    } catch (const std::exception& e) {
      Failure = e.what();
      result = mrAbort;
    }
    SetModalResult(result);
  }

  TButton* Cancel;
  String Failure;

private:
  void ShowProgress(int done, int total) {
    if (total >= 0) {
      fText->SetCaption(Format("%s of %s records", {FormatFloat("#,##0", done), FormatFloat("#,##0", total)}));
      fBar->SetMax(std::max(total, 1));
      fBar->SetPosition(done);
    } else {
      fText->SetCaption(Format("%s records", {FormatFloat("#,##0", done)}));
    }
  }

  const std::function<void(const TProgressReport&)>& fWork;
  TLabel* fText;
  TProgressBar* fBar;
  bool fCancelled = false;
};

}  // namespace

TModalResult RunWithProgress(const String& caption, const std::function<void(const TProgressReport&)>& work,
                             String& failure) {
  TProgressForm form(caption, work);
  const TModalResult result = form.ShowModal();
  failure = form.Failure;
  return result;
}

}  // namespace zovrin
