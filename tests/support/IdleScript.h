#pragma once
// Input for loops that tests cannot step through from outside (modal forms, message boxes,
// nested loops): TIdleScript runs one step whenever the application's loop is idle.

#include "ControlHarness.h"

#include "platform/controls/Dialogs.h"
#include "platform/controls/Form.h"

#include <functional>
#include <vector>

namespace zvtest {

// Runs one step at each idle moment of the application's loops. Once the steps are done and
// 2000 idle moments more went by, every modal form closes with mrAbort and every nested loop
// ends, so that a broken loop fails its test instead of hanging it.
class TIdleScript {
public:
  explicit TIdleScript(std::vector<std::function<void()>> steps) : fSteps(std::move(steps)) {
    Application->OnIdle = [this](TObject*, bool& done) {
      done = false;  // never wait for the backend: the script is the user
      if (fNext < fSteps.size()) {
        fSteps[fNext++]();
        return;
      }
      if (++fSpare < 2000) return;
      GaveUp = true;
      for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->FormState().Contains(fsModal)) Screen->Forms(i)->SetModalResult(mrAbort);
      Application->EndNestedLoop();
    };
  }
  ~TIdleScript() { Application->OnIdle = nullptr; }
  TIdleScript(const TIdleScript&) = delete;
  TIdleScript& operator=(const TIdleScript&) = delete;

  std::size_t StepsRun() const { return fNext; }
  bool GaveUp = false;

private:
  std::vector<std::function<void()>> fSteps;
  std::size_t fNext = 0;
  int fSpare = 0;
};

// A key pressed and released as a keyboard does it (with its character, when it makes one),
// all queued before any is handled: the window may close on the key down.
inline void PressKey(THarness& h, TControl* control, Word key, char32_t c = 0) {
  TWinControl* top = GetTopLevelParent(control);
  const TNativeWindow native = NativeWindowOf(top->Handle());
  TNativeInput in;
  in.Kind = TNativeInputKind::KeyDown;
  in.Key = key;
  h.Driver().Inject(native, in);
  if (c != 0) {
    in.Kind = TNativeInputKind::Char;
    in.Char = c;
    h.Driver().Inject(native, in);
  }
  in.Kind = TNativeInputKind::KeyUp;
  in.Char = 0;
  h.Driver().Inject(native, in);
  h.Pump();
}

}  // namespace zvtest
