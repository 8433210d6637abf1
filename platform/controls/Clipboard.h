#pragma once
// TClipboard, the host's Clipbrd unit: the system clipboard seen as a set of formats. Text is
// Unicode (UTF-8 here); pictures travel as PNG bytes (and BMP, which more readers accept). The
// data lives in the active window backend (the Qt backend uses the system clipboard, the
// headless one an in-process store); with no backend a process-wide store stands in.

#include "platform/classes/Persistent.h"
#include "platform/controls/ControlTypes.h"

#include <memory>

namespace zv {

// The host's clipboard format numbers.
inline constexpr Word CF_TEXT = 1;
inline constexpr Word CF_BITMAP = 2;
inline constexpr Word CF_UNICODETEXT = 13;
// A registered format: any picture (the host registers it at start-up).
inline constexpr Word CF_PICTURE = 0xC100;

class TClipboard : public TPersistent {
  ZV_CLASS(TClipboard, TPersistent)

public:
  TClipboard();
  ~TClipboard() override;

  // Opening batches changes: the content is published once, on the Close that matches the
  // first Open. Opens nest.
  void Open();
  void Close();
  void Clear();

  // CF_TEXT and CF_UNICODETEXT both mean text; CF_BITMAP and CF_PICTURE both mean a picture.
  bool HasFormat(Word format) const;
  int FormatCount() const;
  Word Formats(int index) const;  // EListError out of range

  // Empty when the clipboard holds no text.
  String AsText() const;
  void SetAsText(const String& text);

  // Takes a TPicture, TGraphic (TBitmap included) or null (clears).
  void Assign(const TPersistent* source) override;

protected:
  // Into a TPicture (a bitmap graphic) or a TBitmap; EConvertError otherwise, or when the
  // clipboard holds no picture.
  void AssignTo(TPersistent* dest) const override;

private:
  struct TPending;
  void Publish();
  std::unique_ptr<TPending> fPending;  // the content being built while open
  int fOpenCount = 0;
};

// The application's clipboard, created on first use.
TClipboard* Clipboard();
// Replaces the global instance (null restores a fresh one on next use); returns the old one.
std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> clipboard);

}  // namespace zv
