#pragma once
// The grid's hint window: its text in its own font, two pixels below the top, in a plain frame.
// The grid shows it over titles and footers whose text does not fit.

#include "platform/controls/HintWindow.h"

namespace zv {

class THintWindowEx : public THintWindow {
  ZV_CLASS(THintWindowEx, THintWindow)

public:
  explicit THintWindowEx(TComponent* owner);
  TRect CalcHintRect(int maxWidth, const String& hint, void* data) override;

protected:
  void Paint() override;
};

}  // namespace zv
