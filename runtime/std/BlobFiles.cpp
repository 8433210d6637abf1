// Pictures in files and on screen: loading (a file keeps its own bytes), saving (the bytes
// themselves, or encoded as the chosen name says), the preview window, and the picture menus'
// states.

#include "runtime/std/detail/BlobPictures.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Form.h"
#include "platform/controls/Panel.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsConsts.h"
#include "platform/rtl/FileUtils.h"
#include "runtime/rtm/ZvStrings.h"

namespace zv::blobdetail {

namespace {

// The folder of the last picture loaded in this process.
String& LastPictureFolder() {
  static String folder;
  return folder;
}

std::vector<std::uint8_t> ReadFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  return bytes;
}

}  // namespace

std::unique_ptr<TBitmap> DecodeOrThrow(std::span<const std::uint8_t> bytes) {
  const std::optional<TImageFormat> format = DetectImageFormat(bytes);
  if (!format) throw EInvalidGraphic("Unknown picture format");
  auto bitmap = std::make_unique<TBitmap>();
  if (*format == TImageFormat::Bmp) {
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.Seek(0, soBeginning);
    bitmap->LoadFromStream(stream);
  } else {
    bitmap->SetPixels(GraphicsBackend().DecodeImage(bytes, *format));
  }
  return bitmap;
}

bool LoadPictureFile(std::vector<std::uint8_t>& bytes) {
  TOpenPictureDialog dialog(nullptr);
  dialog.SetOptions({ofHideReadOnly, ofPathMustExist, ofFileMustExist, ofEnableSizing});
  dialog.SetFilter(GraphicFilter());
  dialog.SetDefaultExt("bmp");
  dialog.SetInitialDir(LastPictureFolder());
  const String current = GetCurrentDir();
  if (!dialog.Execute()) return false;
  SetCurrentDir(current);
  LastPictureFolder() = ExtractFileDir(dialog.FileName());
  std::vector<std::uint8_t> file = ReadFile(dialog.FileName());
  const bool empty = DecodeOrThrow(file)->Empty();
  bytes = empty ? std::vector<std::uint8_t>{} : std::move(file);
  return true;
}

void SavePictureFile(std::span<const std::uint8_t> bytes) {
  TSavePictureDialog dialog(nullptr);
  dialog.SetOptions({ofOverwritePrompt, ofHideReadOnly, ofPathMustExist, ofEnableSizing});
  dialog.SetFilter(GraphicFilter());
  dialog.SetDefaultExt("bmp");
  if (!dialog.Execute()) return;
  const std::optional<TImageFormat> stored = DetectImageFormat(bytes);
  std::optional<TImageFormat> wanted = ImageFormatFromExtension(dialog.FileName());
  if (wanted && !GraphicsBackend().CanEncode(*wanted)) wanted.reset();
  std::vector<std::uint8_t> encoded;
  if (wanted && wanted != stored) {
    std::unique_ptr<TBitmap> bitmap = DecodeOrThrow(bytes);
    if (*wanted == TImageFormat::Bmp)
      encoded = EncodeBitmapFile(*bitmap);
    else
      encoded = GraphicsBackend().EncodeImage(bitmap->ToPixels(), *wanted);
    bytes = encoded;
  }
  TFileStream stream(dialog.FileName(), fmCreate);
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void PreviewPicture(TBitmap& bitmap) {
  TForm form(nullptr);
  form.SetCaption(SPicturePreview);
  form.SetBorderIcons({biSystemMenu});
  form.SetPosition(poScreenCenter);
  form.SetKeyPreview(true);
  form.OnKeyDown = [&form](TObject*, Word& key, TShiftState) {
    if (key == VK_RETURN || key == VK_ESCAPE) form.SetModalResult(mrCancel);
  };
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetAlign(alClient);
  panel->SetColor(clWhite);
  panel->SetBevelOuter(bvLowered);
  auto* image = new TImage(&form);
  image->SetParent(panel);
  image->SetAlign(alClient);
  image->SetCenter(true);
  image->Picture()->Assign(&bitmap);
  // The panel's client area is the picture plus one pixel on each side.
  const int panelExtraW = panel->Width() - panel->ClientWidth();
  const int panelExtraH = panel->Height() - panel->ClientHeight();
  const int formExtraW = form.Width() - form.ClientWidth();
  const int formExtraH = form.Height() - form.ClientHeight();
  form.SetBounds(form.Left(), form.Top(), bitmap.Width() + 2 + panelExtraW + formExtraW,
                 bitmap.Height() + 2 + panelExtraH + formExtraH);
  form.ShowModal();
}

void UpdatePictureMenu(TPopupMenu& menu, std::span<const std::uint8_t> bytes, bool canModify, bool hasMain,
                       TfvImgDisabledActions disabled) {
  const bool present = DecodePicture(bytes) != nullptr;
  // Bytes no codec reads are there all the same: they can be cleared, not copied.
  const bool stored = !bytes.empty();
  const bool enabled[] = {present && canModify, present, Clipboard()->HasFormat(CF_BITMAP) && canModify,
                          stored && canModify,  canModify, present, present};
  bool visible[8] = {};
  TMenuItem* items = menu.Items();
  for (int i = 0; i < items->Count(); ++i) {
    TMenuItem* item = items->Items(i);
    const int tag = static_cast<int>(item->Tag());
    if (tag < 1 || tag > 7) continue;
    visible[tag] = hasMain && !disabled.Contains(static_cast<TfvImgDisabledAction>(tag - 1));
    item->SetVisible(visible[tag]);
    item->SetEnabled(enabled[tag - 1]);
  }
  // A separator shows when the group it opens does.
  for (int i = 0; i + 1 < items->Count(); ++i) {
    TMenuItem* item = items->Items(i);
    if (item->Caption() != "-") continue;
    const int next = static_cast<int>(items->Items(i + 1)->Tag());
    if (next == 5) item->SetVisible(visible[5] || visible[6]);
    if (next == 7) item->SetVisible(visible[7]);
  }
}

}  // namespace zv::blobdetail
