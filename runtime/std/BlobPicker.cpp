// The blob picker (vtfBlobPicker): a plain-text editor for the text vision, a picture with its
// menu for the picture vision; OK posts what was changed, Cancel drops it, and the size the user
// leaves goes back to the vision.

#include "runtime/std/DefPack.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Panel.h"
#include "platform/controls/RichEdit.h"
#include "platform/db/Field.h"
#include "platform/graphics/Bitmap.h"
#include "runtime/std/BlobVisions.h"
#include "runtime/std/detail/BlobPictures.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldValue.h"

#include <algorithm>

namespace zv {

// The accelerator test of the host's labels (StdCtrls).
bool IsAccel(char32_t key, const String& caption);

namespace blobdetail {
void ClickButton(TControl* control);
}  // namespace blobdetail

using namespace blobdetail;

namespace {

template <class T>
T* PickerPart(TzvDefPack& pack, const char* name) {
  return dynamic_cast<T*>(pack.FindComponent(name));
}

TField* MainFieldOf(TgpFieldList& fields) { return fields.FieldNames().empty() ? nullptr : fields.MainField(); }

// Sizes the tool form while it opens (0 keeps a side); the pop-up takes the width from it.
void SizePicker(TVisionToolForm& form, int width, int height) {
  if (width > 0) {
    form.SetWidth(width);
    form.SetPopupWidth(width);
  }
  if (height > 0) form.SetHeight(height);
}

}  // namespace

void TzvDefPack::BlobPickerShow(TObject*) {
  TVisionToolForm* form = vtfBlobPicker;
  TDBDevidEdit* editor = form ? form->Editor() : nullptr;
  auto* panel = PickerPart<TPanel>(*this, "pnBlobPickerBG");
  auto* ok = PickerPart<TWinControl>(*this, "btnBlobPickerOK");
  if (!editor || !panel || !ok) return;
  TvtfOptions options = form->Options();
  options.Include(tfoAlwaysPostChanges);
  TgpFieldList& fields = editor->Fields();
  if (auto* vision = dynamic_cast<TTextVision*>(form->Vision())) {
    delete fBlobImage;
    fBlobImage = nullptr;
    if (!fBlobText) {
      fBlobText = new TRichEdit(this);
      fBlobText->SetParent(panel);
      fBlobText->SetAlign(alClient);
      fBlobText->SetBorderStyle(bsNone);
      fBlobText->SetPlainText(true);
      fBlobText->SetParentFont(true);
    }
    const TfvDropDownTextOptions ex = vision->DropDownOptionsEx();
    fBlobText->OnChange = nullptr;
    fBlobText->SetHideScrollBars(!ex.Contains(dtoNoHideScrollBars));
    fBlobText->SetWantReturns(!ex.Contains(dtoNoWantReturns));
    fBlobText->SetWantTabs(!ex.Contains(dtoNoWantTabs));
    fBlobText->SetWordWrap(!ex.Contains(dtoNoWordWrap));
    fBlobText->SetScrollBars(vision->DropDownScrollBars());
    if (ex.Contains(dtoNoSizing)) {
      options.Include(tfoFixedWidth);
      options.Include(tfoFixedHeight);
    } else {
      options.Exclude(tfoFixedWidth);
      options.Exclude(tfoFixedHeight);
    }
    SizePicker(*form, vision->DropDownWidth(), vision->DropDownHeight());
    int maxLength = vision->MaxLength();
    TField* field = MainFieldOf(fields);
    if (maxLength == 0 && field && field->DataType() == ftString) maxLength = field->Size();
    fBlobText->SetMaxLength(maxLength);
    fBlobText->SetReadOnly(!fields.CanModify());
    if (ex.Contains(dtoNoAutoPost)) options.Exclude(tfoAlwaysPostChanges);
    fBlobText->Font()->Assign(editor->Font());
    fBlobText->SetText(editor->CurrentValue().AsString());
    fBlobText->ClearUndo();
    fBlobText->SetModified(false);
    fBlobText->OnChange = [this, ok](TObject*) {
      vtfBlobPicker->SetChanged(true);
      ok->SetEnabled(true);
    };
    form->SetActiveControl(fBlobText);
  } else if (auto* vision = dynamic_cast<TPictureVision*>(form->Vision())) {
    delete fBlobText;
    fBlobText = nullptr;
    if (!fBlobImage) {
      fBlobImage = new TImage(this);
      fBlobImage->SetParent(panel);
      fBlobImage->SetAlign(alClient);
      fBlobImage->SetPopupMenu(PictureContextMenu);
    }
    const TfvDropDownPictureOptions ex = vision->DropDownOptionsEx();
    const std::span<const std::uint8_t> data = editor->CurrentValue().Data();
    fBlobBytes.assign(data.begin(), data.end());
    ShowBlobPicture();
    fBlobImage->SetCenter(!ex.Contains(dpoNoCenterPicture));
    if (ex.Contains(dpoNoSizing)) {
      options.Include(tfoFixedWidth);
      options.Include(tfoFixedHeight);
    } else {
      options.Exclude(tfoFixedWidth);
      options.Exclude(tfoFixedHeight);
    }
    if (ex.Contains(dpoNoAutoSize)) {
      SizePicker(*form, vision->DropDownWidth(), vision->DropDownHeight());
    } else if (auto* buttons = PickerPart<TPanel>(*this, "pnBlobPickerCtrl2")) {
      // The picture's size, but room for OK and Cancel at least.
      auto* row = PickerPart<TPanel>(*this, "pnBlobPickerCtrl");
      const int w = std::max(fBlobImage->Picture()->Width(), buttons->Width());
      const int h = std::max(fBlobImage->Picture()->Height(), buttons->Height());
      SizePicker(*form, w + panel->Width() - panel->ClientWidth(),
                 h + panel->Height() - panel->ClientHeight() + (row ? row->Height() : 0));
    }
    if (ex.Contains(dpoNoAutoPost)) options.Exclude(tfoAlwaysPostChanges);
    if (auto* cancel = PickerPart<TWinControl>(*this, "btnBlobPickerCancel")) form->SetActiveControl(cancel);
  }
  ok->SetEnabled(false);
  form->SetOptions(options);
}

void TzvDefPack::ShowBlobPicture() {
  if (!fBlobImage) return;
  std::unique_ptr<TBitmap> bitmap = DecodePicture(fBlobBytes);
  fBlobImage->Picture()->Assign(bitmap.get());
}

void TzvDefPack::BlobPickerPostChanges(TObject*) {
  TDBDevidEdit* editor = vtfBlobPicker ? vtfBlobPicker->Editor() : nullptr;
  if (!editor || !editor->Fields().Edit()) return;
  TfvCurrentValue& current = editor->CurrentValue();
  if (fBlobText) {
    TField* field = MainFieldOf(editor->Fields());
    current.SetAsString(field && !field->IsNull() ? RestoreLineFeeds(fBlobText->Text(), field->AsString())
                                                  : fBlobText->Text());
  } else if (fBlobImage) {
    if (fBlobBytes.empty())
      current.Clear();
    else
      current.SetData(fBlobBytes);
  }
  current.SetModified(true);
}

void TzvDefPack::BlobPickerClose(TObject*) {
  if (fBlobText) fBlobText->OnChange = nullptr;
  TVisionToolForm* form = vtfBlobPicker;
  bool fixed = true;
  if (auto* text = dynamic_cast<TTextVision*>(form->Vision())) fixed = text->DropDownOptionsEx().Contains(dtoNoSizing);
  if (auto* picture = dynamic_cast<TPictureVision*>(form->Vision()))
    fixed = picture->DropDownOptionsEx().Contains(dpoNoSizing);
  if (fixed) return;
  auto* vision = static_cast<TDropDownBlobVision*>(form->Vision());
  vision->SetDropDownWidth(form->Width());
  vision->SetDropDownHeight(form->Height());
}

void TzvDefPack::BlobPickerShortCut(TObject*, Word& key) {
  auto* ok = PickerPart<TWinControl>(*this, "btnBlobPickerOK");
  auto* cancel = PickerPart<TWinControl>(*this, "btnBlobPickerCancel");
  if (ok && ok->Enabled() && IsAccel(key, ok->Caption())) {
    ClickButton(ok);
    key = 0;
  } else if (cancel && IsAccel(key, cancel->Caption())) {
    ClickButton(cancel);
    key = 0;
  }
}

void TzvDefPack::BlobPickerOKClick(TObject*) {
  if (vtfBlobPicker) vtfBlobPicker->ClosePopup(true, false);
}

void TzvDefPack::BlobPickerCancelClick(TObject*) {
  if (vtfBlobPicker) vtfBlobPicker->ClosePopup(false, false);
}

void TzvDefPack::BlobPickerEditAction(TObject*, TvpEditAction action) {
  switch (action) {
    case veaCut: BlobPictureAction(1); break;
    case veaCopy: BlobPictureAction(2); break;
    case veaPaste: BlobPictureAction(3); break;
    case veaClear: BlobPictureAction(4); break;
    default: break;
  }
}

void TzvDefPack::PictureMenuPopup(TObject*) {
  TDBDevidEdit* editor = vtfBlobPicker ? vtfBlobPicker->Editor() : nullptr;
  auto* vision = vtfBlobPicker ? dynamic_cast<TPictureVision*>(vtfBlobPicker->Vision()) : nullptr;
  if (!editor || !vision || !fBlobImage) return;
  UpdatePictureMenu(*PictureContextMenu, fBlobBytes, editor->Fields().CanModify(), true, vision->DisabledActions());
}

void TzvDefPack::PictureMenuClick(TObject* sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(sender)) BlobPictureAction(static_cast<int>(item->Tag()));
}

void TzvDefPack::BlobPictureAction(int tag) {
  TDBDevidEdit* editor = vtfBlobPicker ? vtfBlobPicker->Editor() : nullptr;
  auto* vision = vtfBlobPicker ? dynamic_cast<TPictureVision*>(vtfBlobPicker->Vision()) : nullptr;
  if (!editor || !vision || !fBlobImage || tag < 1 || tag > 7) return;
  if (vision->DisabledActions().Contains(static_cast<TfvImgDisabledAction>(tag - 1))) return;
  const bool canModify = editor->Fields().CanModify();
  std::unique_ptr<TBitmap> bitmap = DecodePicture(fBlobBytes);
  bool changed = false;
  switch (tag) {
    case 1:  // Cut
      if (!bitmap || !canModify) return;
      Clipboard()->Assign(bitmap.get());
      fBlobBytes.clear();
      changed = true;
      break;
    case 2:  // Copy
      if (bitmap) Clipboard()->Assign(bitmap.get());
      return;
    case 3: {  // Paste
      if (!canModify || !Clipboard()->HasFormat(CF_BITMAP)) return;
      TBitmap pasted;
      pasted.Assign(Clipboard());
      fBlobBytes = pasted.Empty() ? std::vector<std::uint8_t>{} : EncodeBitmapFile(pasted);
      changed = true;
      break;
    }
    case 4:  // Clear
      if (!canModify) return;
      fBlobBytes.clear();
      changed = true;
      break;
    case 5:  // Load...
      if (!canModify || !LoadPictureFile(fBlobBytes)) return;
      changed = true;
      break;
    case 6:  // Save to...
      if (bitmap) SavePictureFile(fBlobBytes);
      return;
    case 7:  // Preview
      if (bitmap) PreviewPicture(*bitmap);
      return;
  }
  if (!changed) return;
  ShowBlobPicture();
  vtfBlobPicker->SetChanged(true);
  if (auto* ok = PickerPart<TWinControl>(*this, "btnBlobPickerOK")) {
    ok->SetEnabled(true);
    if (ok->CanFocus()) ok->SetFocus();
  }
}

}  // namespace zv
