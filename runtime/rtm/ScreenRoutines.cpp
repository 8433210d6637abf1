#include "runtime/rtm/ScreenRoutines.h"

#include "platform/controls/Application.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/WinControl.h"

#include <algorithm>

namespace zv {

int GetScrollWidth(bool makeOdd) {
  const int width = GetSystemMetrics(SM_CXVSCROLL);
  return makeOdd && width % 2 == 0 ? width - 1 : width;
}

std::unique_ptr<TBitmap> MakeScreenshot(TControl& control) {
  auto bitmap = std::make_unique<TBitmap>();
  TWinControl* top = GetTopLevelParent(&control);
  if (!top || !control.Showing() || !top->HandleAllocated()) return bitmap;
  TRect topRect;
  if (!GetWindowRect(top->Handle(), topRect)) return bitmap;
  // The control's whole rectangle on the screen: a window's includes its frame.
  TRect screenRect;
  if (auto* win = dynamic_cast<TWinControl*>(&control)) {
    if (!GetWindowRect(win->Handle(), screenRect)) return bitmap;
  } else {
    const TPoint origin = control.Parent()->ClientToScreen({control.Left(), control.Top()});
    screenRect = {origin.X, origin.Y, origin.X + control.Width(), origin.Y + control.Height()};
  }
  const auto dc = GetWindowDC(top->Handle());
  if (!dc) return bitmap;
  const TRect source{screenRect.Left - topRect.Left, screenRect.Top - topRect.Top, screenRect.Right - topRect.Left,
                     screenRect.Bottom - topRect.Top};
  if (!source.IsEmpty()) bitmap->SetPixels(dc->ReadPixels(source));
  return bitmap;
}

TPoint FitToWorkspace(int x, int y, int width, int height) {
  const TRect area = Screen->WorkAreaRect();
  x = std::max(x, area.Left);
  y = std::max(y, area.Top);
  if (x + width > area.Right) x = area.Right - width - 1;
  if (y + height > area.Bottom) y = area.Bottom - height - 1;
  return {x, y};
}

TRect FitToWorkspace(const TRect& rect) {
  const TPoint p = FitToWorkspace(rect.Left, rect.Top, rect.Width(), rect.Height());
  return {p.X, p.Y, p.X + rect.Width(), p.Y + rect.Height()};
}

}  // namespace zv
