// The blob picker's buttons are the host's push buttons, whose header cannot meet the runtime's
// layout names in one source: clicking one lives here.

#include "platform/controls/StdCtrls.h"

namespace zv::blobdetail {

void ClickButton(TControl* control) {
  if (auto* button = dynamic_cast<TButton*>(control)) button->Click();
}

}  // namespace zv::blobdetail
