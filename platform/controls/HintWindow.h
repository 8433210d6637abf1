#pragma once
// Hints, as the host shows them. A control shows its Hint (the part before a '|') when
// ShowHint is on (ParentShowHint takes the parent's) and the mouse rests on it for the
// application's HintPause; moving to another hinted control while a hint shows waits only
// HintShortPause; the hint goes after HintHidePause, when the mouse leaves the hint's cursor
// rectangle (the control's client area unless the control says otherwise), on a key or a mouse
// button, or when its control goes away.
//
// Before showing, the application asks the control with CM_HINTSHOW (LParam: THintInfo*): the
// control may change any field (text, position, cursor rectangle, timeouts, window class) or
// refuse with a non-zero result. CM_HINTSHOWPAUSE (WParam: whether a hint was showing; LParam:
// int* pause in ms) lets it change the pause first. The hint window is a pop-up that never
// takes the activation, a THintWindow or the descendant the hint information names.

#include "platform/controls/CustomControl.h"

namespace zv {

class TBitmap;

struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;  // THintWindow or a descendant
  TPoint HintPos;                    // screen position of the hint window's top left
  int HintMaxWidth = 0;              // the text wraps at this width
  TColor HintColor = clInfoBk;
  TRect CursorRect;                  // HintControl's client coordinates; leaving it ends the hint
  TPoint CursorPos;                  // the mouse, in HintControl's client coordinates
  int ReshowTimeout = 0;             // > 0: asked again after this many ms, as if the mouse moved
  int HideTimeout = 0;               // ms until the hint goes; negative: it stays
  String HintStr;
  void* HintData = nullptr;
};

struct TCMHintShow : TMessage {
  explicit TCMHintShow(const TMessage& m) : TMessage(m) {}
  THintInfo* HintInfo() const { return reinterpret_cast<THintInfo*>(LParam); }
};

struct TCMHintShowPause : TMessage {
  explicit TCMHintShowPause(const TMessage& m) : TMessage(m) {}
  bool WasActive() const { return WParam != 0; }
  int* Pause() const { return reinterpret_cast<int*>(LParam); }
};

// Before a hint shows, after the control's CM_HINTSHOW: canShow false keeps it hidden.
ZV_EVENT(TShowHintEvent, void(String& hintStr, bool& canShow, THintInfo& hintInfo));

class THintWindow : public TCustomControl {
  ZV_CLASS(THintWindow, TCustomControl)

public:
  explicit THintWindow(TComponent* owner);
  ~THintWindow() override;

  // The window's rectangle for hint at (0, 0): the text wrapped at maxWidth, with margins.
  virtual TRect CalcHintRect(int maxWidth, const String& hint, void* data);
  // Shows hint in rect (screen coordinates), moved and cut to fit the work area, without taking
  // the activation.
  virtual void ActivateHint(TRect rect, const String& hint);
  virtual void ActivateHintData(TRect rect, const String& hint, void* data);
  // Hides the window and lets its native window go.
  virtual void ReleaseHandle();
  // Whether a message ends the hint: keys, mouse buttons, commands.
  virtual bool IsHintMsg(const TMessage& message) const;

  // A hint text as a window can show it: valid UTF-8 (invalid bytes become U+FFFD) and no
  // longer than the lines of maxWidth that fit on a screen of workArea (a text of megabytes is
  // cut before it is measured).
  static String ShowableText(std::string_view hint, int maxWidth, const TRect& workArea, int lineHeight);

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  // CM_RELEASE (posted by the application once the hint is hidden) lets the window go.
  void WndProc(TMessage& message) override;
  // Measures on a scratch canvas with the window's font.
  TCanvas& MeasureCanvas();

private:
  std::unique_ptr<TBitmap> fMeasure;
};

// The part of a hint before the first '|' (shown in the hint window), and after it (status
// bars); a hint without '|' is both.
String GetShortHint(const String& hint);
String GetLongHint(const String& hint);
// The Hint of control or of its nearest parent that has one.
String GetHint(const TControl* control);
// control or its nearest parent with ShowHint on; null when none does.
TControl* GetHintControl(TControl* control);

// The class the application creates hint windows of (THintWindow unless changed).
TClass HintWindowClass();
void SetHintWindowClass(TClass cls);

}  // namespace zv
