#pragma once
// The Qt window backend's clipboard: QGuiApplication's clipboard as a list of MIME formats.
// "text/plain" is UTF-8 text; "image/png" and "image/bmp" also travel as a QImage so that
// other applications see a picture. On the offscreen platform Qt keeps the clipboard in
// process.

#include "platform/controls/WindowBackend.h"

namespace zv::qt {

void SetQtClipboard(const std::vector<TWindowBackend::TClipboardFormat>& formats);
std::vector<String> QtClipboardFormats();
std::vector<std::uint8_t> QtClipboardData(const String& mime);
void ClearQtClipboard();

}  // namespace zv::qt
