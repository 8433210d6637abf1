// The calculator drop-down (vtfCalculator): the engine's display becomes the editor's text as
// typed, errors show a prompt and the opening's text comes back on close; keys of the keyboard
// press the calculator's keys, each held for a moment so that the user sees which.

#include "runtime/std/DefPack.h"

#include "platform/controls/Application.h"
#include "platform/controls/Panel.h"
#include "platform/controls/SpeedButton.h"
#include "platform/controls/WinApi.h"
#include "platform/rtl/FormatSettings.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/DevidEdit.h"

#include <utility>

namespace zv {

namespace {

constexpr std::uintptr_t PressTimerId = 0x5A43;

TColor KeyColor(TvpCalcButton key) {
  switch (key) {
    case cbtnBS:
    case cbtnCE:
    case cbtnC: return clMaroon;
    case cbtnMC:
    case cbtnMR:
    case cbtnMS:
    case cbtnMPlus:
    case cbtnDiv:
    case cbtnMult:
    case cbtnMinus:
    case cbtnPlus:
    case cbtnEqu: return clRed;
    case cbtnSqrt:
    case cbtnPerc:
    case cbtn1DivX: return clNavy;
    default: return clBlue;  // digits, sign and separator
  }
}

// The character a keyboard key makes after it, 0 for none.
char32_t CharOf(Word key) {
  if (key >= '0' && key <= '9') return key;
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return U'0' + (key - VK_NUMPAD0);
  switch (key) {
    case VK_DECIMAL: return FormatSettings().DecimalSeparator.Code();
    case VK_BACK: return U'\b';
    case VK_RETURN: return U'\r';
    case VK_DIVIDE: return U'/';
    case VK_MULTIPLY: return U'*';
    case VK_SUBTRACT: return U'-';
    case VK_ADD: return U'+';
    default: return 0;
  }
}

// The key a keyboard key presses, without modifiers; none for the others.
std::optional<TvpCalcButton> KeyOf(Word key) {
  if (key >= '0' && key <= '9') return static_cast<TvpCalcButton>(cbtnZero + (key - '0'));
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return static_cast<TvpCalcButton>(cbtnZero + (key - VK_NUMPAD0));
  switch (key) {
    case VK_DECIMAL: return cbtnPoint;
    case VK_BACK: return cbtnBS;
    case VK_DELETE: return cbtnCE;
    case VK_DIVIDE: return cbtnDiv;
    case VK_MULTIPLY: return cbtnMult;
    case VK_SUBTRACT: return cbtnMinus;
    case VK_ADD: return cbtnPlus;
    default: return std::nullopt;
  }
}

}  // namespace

void TzvDefPack::CalcShow(TObject*) {
  TDBDevidEdit* editor = vtfCalculator->Editor();
  if (!editor) return;
  fCalcSavedText = editor->Text();
  // Starting shows nothing new: the editor keeps its text until a key is pressed.
  TNotifyEvent onChange = std::move(fEngine->OnChange);
  fEngine->OnChange = nullptr;
  try {
    fEngine->InitCalc(fCalcSavedText);
  } catch (...) {
    fEngine->OnChange = std::move(onChange);
    throw;
  }
  fEngine->OnChange = std::move(onChange);
  fLastKey.reset();
  fPendingKeys.clear();
  if (TSpeedButton* point = CalcButton(cbtnPoint)) point->SetCaption(String(FormatSettings().DecimalSeparator.View()));
  UpdateMemoryKeys();
  for (int k = cbtnZero; k <= cbtnBS; ++k) {
    const auto key = static_cast<TvpCalcButton>(k);
    if (TSpeedButton* b = CalcButton(key)) {
      b->Font()->Assign(vtfCalculator->Font());
      b->Font()->SetColor(KeyColor(key));
    }
  }
}

void TzvDefPack::CalcClose(TObject*) {
  fPendingKeys.clear();
  TDBDevidEdit* editor = vtfCalculator->Editor();
  if (editor && fEngine && fEngine->IsErrorState()) editor->SetDataText(fCalcSavedText, true);
}

void TzvDefPack::CalcChange(TObject*) {
  if (TDBDevidEdit* editor = vtfCalculator ? vtfCalculator->Editor() : nullptr)
    editor->SetDataText(fEngine->DisplayText(), true);
}

void TzvDefPack::CalcError(TObject*, bool& handled) {
  handled = true;
  if (TDBDevidEdit* editor = vtfCalculator ? vtfCalculator->Editor() : nullptr)
    editor->SetDataText(SCalculatorErrorPrompt, false);
}

void TzvDefPack::UpdateMemoryKeys() {
  const bool memory = fEngine && fEngine->HasMemory();
  for (TvpCalcButton key : {cbtnMC, cbtnMR})
    if (TSpeedButton* b = CalcButton(key)) b->SetEnabled(memory);
  if (pnCalcMemory) pnCalcMemory->SetCaption(memory ? " " + fEngine->Memory() : String(" "));
}

void TzvDefPack::CalcButtonClick(TObject* sender) {
  auto* button = dynamic_cast<TSpeedButton*>(sender);
  if (!button || !fEngine || button->Tag() < cbtnZero || button->Tag() > cbtnBS) return;
  const auto key = static_cast<TvpCalcButton>(button->Tag());
  fLastKey = key;
  fEngine->PushButton(key);
  UpdateMemoryKeys();
}

void TzvDefPack::CalcKeyDown(TObject*, Word& key, TShiftState shift) {
  fSkipChar = 0;
  if (!shift.Empty()) return;
  std::optional<TvpCalcButton> press = KeyOf(key);
  if (!press && key == VK_RETURN) {
    // After "=" Enter accepts: the tool form closes, posting.
    if (fLastKey == cbtnEqu) return;
    press = cbtnEqu;
  }
  if (!press) return;
  // The character the key makes is not typed again, whether it waits already or comes later.
  const char32_t made = CharOf(key);
  key = 0;
  TMsg msg;
  if (made && !(PeekMessage(msg, HWND{}, WM_CHAR, WM_CHAR, PM_NOREMOVE) && msg.WParam == made &&
                PeekMessage(msg, msg.hwnd, WM_CHAR, WM_CHAR, PM_REMOVE)))
    fSkipChar = made;
  PressCalcKey(*press);
}

void TzvDefPack::CalcKeyPress(TObject*, char32_t& key) {
  const char32_t skip = std::exchange(fSkipChar, 0);
  if (skip && key == skip) {
    key = 0;
    return;
  }
  std::optional<TvpCalcButton> press;
  switch (key) {
    case U'*': press = cbtnMult; break;
    case U'+': press = cbtnPlus; break;
    case U'-': press = cbtnMinus; break;
    case U'/': press = cbtnDiv; break;
    case U'=': press = cbtnEqu; break;
    default:
      if (FormatSettings().DecimalSeparator == key) press = cbtnPoint;
      break;
  }
  if (!press) return;
  key = 0;
  PressCalcKey(*press);
}

void TzvDefPack::PressCalcKey(TvpCalcButton key) {
  // A key arriving while another is held waits for that one's click: presses never nest.
  fPendingKeys.push_back(key);
  if (fPressing) return;
  fPressing = true;
  struct TPressing {
    bool& flag;
    ~TPressing() { flag = false; }
  } pressing{fPressing};
  while (!fPendingKeys.empty()) {
    const TvpCalcButton next = fPendingKeys.front();
    fPendingKeys.pop_front();
    TSpeedButton* button = CalcButton(next);
    if (!button) continue;
    button->SetState(bsDown);
    button->Update();
    fPressTimeUp = false;
    SetTimer(Handle(), PressTimerId, CalcPressTime);
    while (!fPressTimeUp && !Application->Terminated()) Application->RunNestedLoop();
    KillTimer(Handle(), PressTimerId);
    button->SetState(bsUp);
    button->Click();
  }
}

void TzvDefPack::WndProc(TMessage& message) {
  if (message.Msg == WM_TIMER && message.WParam == PressTimerId) {
    KillTimer(Handle(), PressTimerId);
    if (!fPressTimeUp) {
      fPressTimeUp = true;
      Application->EndNestedLoop();
    }
    return;
  }
  TForm::WndProc(message);
}

void TzvDefPack::CalcPaint(TObject*) {
  TCanvas* canvas = vtfCalculator->Canvas();
  for (int i = 0; i < vtfCalculator->ControlCount(); ++i) {
    auto* button = dynamic_cast<TSpeedButton*>(vtfCalculator->Controls(i));
    if (!button || !button->Visible()) continue;
    TRect r = button->BoundsRect();
    r.Left -= 1;
    vprDrawFrame(*canvas, r, false, true);
  }
}

}  // namespace zv
