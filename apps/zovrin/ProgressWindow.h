#pragma once
// A modal window for long work: what is done of the total, a bar, and Cancel (Esc too). The
// work runs inside the window's modal loop, so the rest of the program takes no input
// meanwhile, and hears Cancel whenever it reports.

#include "platform/controls/Form.h"

#include <functional>

namespace zovrin {

// Reports done of total (-1: unknown) and handles pending input; true once the user cancelled.
using TProgressReport = std::function<bool(int done, int total)>;

// Runs work under the window captioned caption. mrOk when it returned, mrCancel when it raised
// EAbort, mrAbort with failure set to the message when it raised anything else.
zv::TModalResult RunWithProgress(const zv::String& caption, const std::function<void(const TProgressReport&)>& work,
                                 zv::String& failure);

}  // namespace zovrin
