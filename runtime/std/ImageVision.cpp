// The image vision: a picture kept in a blob field as the bytes of its file, drawn into the cell
// (stretched, centred or at the top left) and edited through the clipboard.

#include "runtime/std/BlobVisions.h"
#include "runtime/std/detail/BlobPictures.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/Messages.h"
#include "platform/db/Field.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/GraphicsConsts.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldValue.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>

namespace zv {

using namespace blobdetail;

namespace {

std::span<const std::uint8_t> BytesOf(const String& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

bool CanEdit(TgpFieldList& fields) { return fields.CanModify() && fields.Edit(); }

}  // namespace

std::unique_ptr<TBitmap> DecodePicture(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  try {
    std::unique_ptr<TBitmap> bitmap = DecodeOrThrow(bytes);
    if (bitmap->Empty()) return nullptr;
    return bitmap;
  } catch (const EInvalidGraphic&) {
    return nullptr;  // bytes no codec reads show as no picture
  }
}

std::vector<std::uint8_t> EncodeBitmapFile(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  const std::span<const std::uint8_t> data = stream.Memory();
  return {data.begin(), data.end()};
}

// The pictures of the cells painted lately, by their bytes: a repaint of the rows in view
// decodes nothing. Bounded, the oldest going first.
struct TImageVision::TPictureCache {
  static constexpr std::size_t Capacity = 64;
  struct TEntry {
    std::size_t Hash;
    std::vector<std::uint8_t> Bytes;
    std::unique_ptr<TBitmap> Bitmap;  // null: unreadable
  };
  std::vector<TEntry> Entries;  // the most recently used last

  TBitmap* Find(std::span<const std::uint8_t> bytes) {
    const std::size_t hash =
        std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    for (auto it = Entries.begin(); it != Entries.end(); ++it)
      if (it->Hash == hash && it->Bytes.size() == bytes.size() &&
          std::memcmp(it->Bytes.data(), bytes.data(), bytes.size()) == 0) {
        if (it + 1 != Entries.end()) std::rotate(it, it + 1, Entries.end());
        return Entries.back().Bitmap.get();
      }
    if (Entries.size() >= Capacity) Entries.erase(Entries.begin());
    Entries.push_back({hash, {bytes.begin(), bytes.end()}, DecodePicture(bytes)});
    return Entries.back().Bitmap.get();
  }
};

ZV_DEFINE_CLASS_WITH_PROPS(TImageVision, TvpFieldVision)

TImageVision::TImageVision(TComponent* owner) : TvpFieldVision(owner), fCache(std::make_unique<TPictureCache>()) {
  SetSurfaceKind(vskCustom);
}

TImageVision::~TImageVision() { Destroying(); }

void TImageVision::DeclareProperties(TPropTable<TImageVision>& t) {
  using V = TvpFieldVision;
  using C = TImageVision;
  t.Prop("Stretch", &C::Stretch, &C::SetStretch).Default(false);
  t.Prop("Center", &C::Center, &C::SetCenter).Default(true);
  t.Prop("QuickDraw", &C::QuickDraw, &C::SetQuickDraw).Default(true);
  t.Prop("PopupMenu", &C::PopupMenu, &C::SetPopupMenu);
  t.Prop("DisabledActions", &C::DisabledActions, &C::SetDisabledActions).Default(TfvImgDisabledActions{});
  (void)sizeof(V);
  t.Event("OnDblClick", &C::OnDblClick);
  t.Event("OnGetText", &C::OnGetText);
  t.Event("BeforeEdit", &C::BeforeEdit);
  t.Event("BeforePost", &C::BeforePost);
  t.Event("AfterPost", &C::AfterPost);
  t.Event("OnInitEdit", &C::OnInitEdit);
  t.Event("OnDraw", &C::OnDraw);
  t.Event("OnDrawEdit", &C::OnDrawEdit);
  t.Event("OnGetEditFont", &C::OnGetEditFont);
  t.Event("OnPreview", &C::OnPreview);
}

void TImageVision::SetStretch(bool value) {
  if (fStretch == value) return;
  fStretch = value;
  Invalidate();
}

void TImageVision::SetCenter(bool value) {
  if (fCenter == value) return;
  fCenter = value;
  Invalidate();
}

void TImageVision::SetQuickDraw(bool value) {
  if (fQuickDraw == value) return;
  fQuickDraw = value;
  Invalidate();
}

void TImageVision::SetPopupMenu(TPopupMenu* value) {
  if (fPopupMenu == value) return;
  if (fPopupMenu) fPopupMenu->RemoveFreeNotification(this);
  fPopupMenu = value;
  if (fPopupMenu) fPopupMenu->FreeNotification(this);
  UpdatePopupMenus();
}

void TImageVision::Notification(TComponent* component, TOperation operation) {
  TvpFieldVision::Notification(component, operation);
  if (operation == opRemove && component == fPopupMenu) {
    fPopupMenu = nullptr;
    UpdatePopupMenus();
  }
}

TBitmap* TImageVision::CachedPicture(std::span<const std::uint8_t> bytes) {
  return bytes.empty() ? nullptr : fCache->Find(bytes);
}

std::unique_ptr<TBitmap> TImageVision::EditorPicture(IvpFieldEditor& edit) {
  if (edit.Focused()) return DecodePicture(edit.CurrentValue().Data());
  TField* field = edit.Fields().FieldNames().empty() ? nullptr : edit.Fields().MainField();
  if (!field || field->IsNull()) return nullptr;
  const String bytes = field->AsString();
  return DecodePicture(BytesOf(bytes));
}


void TImageVision::VM_ValidFields(TgpFieldList& fields, bool& valid) {
  TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField();
  valid = field && field->IsBlob();
}

void TImageVision::VM_GetText(TgpFieldList& fields, bool displayText, String& text) {
  (void)fields;
  (void)displayText;
  text.clear();
}

void TImageVision::VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) {
  painter.DefaultDrawing = false;
  if (!painter.Canvas) return;
  TCanvas& canvas = *painter.Canvas;
  const bool focused = !painter.IsGrid && painter.CellAttrs && painter.CellAttrs->Focused;
  TBitmap* bitmap = nullptr;
  TDBDevidEdit* editor = painter.IsGrid ? nullptr : fields.EditControl();
  if (focused && editor) {
    bitmap = CachedPicture(editor->CurrentValue().Data());
  } else if (TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField()) {
    if (!field->IsNull()) {
      const String bytes = field->AsString();
      bitmap = CachedPicture(BytesOf(bytes));
    }
  }
  TRect r = painter.CellRect;
  if (painter.IsGrid || painter.InGrid) r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  if (bitmap) {
    if (fStretch) {
      canvas.StretchDraw(r, bitmap);
    } else {
      SaveDC(canvas);
      IntersectClipRect(canvas, r.Left, r.Top, r.Right, r.Bottom);
      int x = r.Left, y = r.Top;
      if (fCenter) {
        x += (r.Width() - bitmap->Width()) / 2;
        y += (r.Height() - bitmap->Height()) / 2;
      }
      canvas.Draw(x, y, bitmap);
      RestoreDC(canvas, -1);
    }
  }
  if (focused && painter.Standalone) {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FrameRect(r);
    painter.DrawFocusRect(r);
  }
}

void ResetToStoredBytes(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  struct TFlags {
    TfvCurrentValue& c;
    ~TFlags() {
      c.SetModified(false);
      c.SetTextChanged(false);
    }
  } flags{current};
  current.Clear();
  current.SetDataType(ftBlob);
  // The stored bytes as they are: a picture nobody changed posts back unchanged, whatever its
  // format, readable or not.
  TField* field = edit.Fields().FieldNames().empty() ? nullptr : edit.Fields().MainField();
  if (field && !field->IsNull()) {
    const String bytes = field->AsString();
    current.SetData(bytes.data(), static_cast<int>(bytes.size()));
  }
}

void TImageVision::PE_ResetEdit(IvpFieldEditor& edit) { ResetToStoredBytes(edit); }

void TImageVision::PE_EditAction(IvpFieldEditor& edit, TvpEditAction action) {
  TfvImgDisabledAction disabled;
  switch (action) {
    case veaCut: disabled = vdaCut; break;
    case veaCopy: disabled = vdaCopy; break;
    case veaPaste: disabled = vdaPaste; break;
    case veaClear: disabled = vdaClear; break;
    default: return;
  }
  if (fDisabledActions.Contains(disabled)) return;
  TfvCurrentValue& current = edit.CurrentValue();
  TgpFieldList& fields = edit.Fields();
  switch (action) {
    case veaCut:
    case veaCopy: {
      std::unique_ptr<TBitmap> bitmap = DecodePicture(current.Data());
      if (!bitmap) return;
      if (action == veaCut && !CanEdit(fields)) return;
      Clipboard()->Assign(bitmap.get());
      if (action == veaCut) {
        current.Clear();
        current.SetModified(true);
      }
      break;
    }
    case veaPaste: {
      if (!Clipboard()->HasFormat(CF_BITMAP) || !CanEdit(fields)) return;
      TBitmap bitmap;
      bitmap.Assign(Clipboard());
      if (bitmap.Empty()) {
        current.Clear();
      } else {
        const std::vector<std::uint8_t> bytes = EncodeBitmapFile(bitmap);
        current.SetData(bytes);
      }
      current.SetModified(true);
      break;
    }
    case veaClear:
      if (!CanEdit(fields)) return;
      current.Clear();
      current.SetModified(true);
      break;
    default: break;
  }
  edit.Repaint();
}

void TImageVision::LoadImage(IvpFieldEditor& edit) {
  if (!edit.Focused() || fDisabledActions.Contains(vdaLoad)) return;
  std::vector<std::uint8_t> bytes;
  if (!LoadPictureFile(bytes) || !CanEdit(edit.Fields())) return;
  TfvCurrentValue& current = edit.CurrentValue();
  if (bytes.empty())
    current.Clear();
  else
    current.SetData(bytes);
  current.SetModified(true);
  edit.Repaint();
}

void TImageVision::SaveImage(IvpFieldEditor& edit) {
  if (!edit.Focused() || fDisabledActions.Contains(vdaSave)) return;
  if (!DecodePicture(edit.CurrentValue().Data())) return;
  SavePictureFile(edit.CurrentValue().Data());
}

void TImageVision::PreviewImage(IvpFieldEditor& edit) {
  if (!edit.Focused() || fDisabledActions.Contains(vdaPreview)) return;
  if (std::unique_ptr<TBitmap> bitmap = DecodePicture(edit.CurrentValue().Data())) PreviewPicture(*bitmap);
}

TvpDefLayout TImageVision::DefaultLayout(TgpFieldList& fields) {
  (void)fields;
  return tlaCenter;
}

TPopupMenu* TImageVision::DefaultPopupMenu() {
  if (fPopupMenu) return fPopupMenu;
  return zvDefPack ? zvDefPack->BlobContextMenu : nullptr;
}

// ---- The blob menu -------------------------------------------------------------------------------

namespace {

// The editor a menu pops up for and its image vision; null when it is not one.
TDBDevidEdit* ImageEditor(TPopupMenu* menu, TImageVision*& vision) {
  auto* edit = menu ? dynamic_cast<TDBDevidEdit*>(menu->PopupComponent()) : nullptr;
  vision = edit ? dynamic_cast<TImageVision*>(edit->Fields().Vision()) : nullptr;
  return vision ? edit : nullptr;
}

void BlobMenuPopup(TPopupMenu* menu) {
  TImageVision* vision = nullptr;
  TDBDevidEdit* edit = ImageEditor(menu, vision);
  if (!edit) return;
  TgpFieldList& fields = edit->Fields();
  UpdatePictureMenu(*menu, edit->CurrentValue().Data(), fields.CanModify(),
                    !fields.FieldNames().empty() && fields.MainField(), vision->DisabledActions());
}

void BlobMenuCommand(TPopupMenu* menu, int tag) {
  TImageVision* vision = nullptr;
  TDBDevidEdit* edit = ImageEditor(menu, vision);
  if (!edit) return;
  static constexpr unsigned messages[] = {WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR};
  if (tag >= 1 && tag <= 4) {
    edit->Perform(messages[tag - 1]);
  } else if (tag == 5) {
    vision->LoadImage(*edit);
  } else if (tag == 6) {
    vision->SaveImage(*edit);
  } else if (tag == 7) {
    if (vision->OnPreview)
      vision->OnPreview(vision, &edit->Fields());
    else
      vision->PreviewImage(*edit);
  }
  edit->Repaint();
}

}  // namespace

void ConnectBlobContextMenu(TPopupMenu* menu) {
  if (!menu) return;
  menu->OnPopup = [menu](TObject*) { BlobMenuPopup(menu); };
  for (int i = 0; i < menu->Items()->Count(); ++i) {
    TMenuItem* item = menu->Items()->Items(i);
    const int tag = static_cast<int>(item->Tag());
    if (tag >= 1 && tag <= 7) item->OnClick = [menu, tag](TObject*) { BlobMenuCommand(menu, tag); };
  }
}

}  // namespace zv
