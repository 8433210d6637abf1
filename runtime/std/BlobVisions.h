#pragma once
// The visions of long texts and pictures:
// - TMemoVision: a text or memo field in a multi-line editor;
// - TImageVision: a picture stored in a blob field, shown in the cell and edited through the
//   clipboard, files and a preview window offered by a context menu.
// Pictures travel as the bytes of a picture file in the editor's current value. Bytes are kept
// as they are stored (a JPEG stays a JPEG); pixels only become a BMP file when they come from
// the clipboard. Bytes no codec reads are a picture that shows as empty, never a fault.
// - TDropDownBlobVision and its TTextVision and TPictureVision: a marker or a text in the cell,
//   the content edited in the default pack's blob picker.
// Sources: MemoVision.cpp, ImageVision.cpp, BlobDropDown.cpp, BlobFiles.cpp; the blob picker
// itself lives in the default pack (BlobPicker.cpp).

#include "platform/controls/Menus.h"
#include "runtime/std/ListVisions.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace zv {

class TBitmap;

ZV_ENUM(TfvImgDisabledAction, vdaCut, vdaCopy, vdaPaste, vdaClear, vdaLoad, vdaSave, vdaPreview);
using TfvImgDisabledActions = TSet<TfvImgDisabledAction>;
ZV_ENUM(TfvDropDownTextOption, dtoNoHideScrollBars, dtoNoWantReturns, dtoNoWantTabs, dtoNoWordWrap, dtoNoSizing,
        dtoNoAutoPost);
using TfvDropDownTextOptions = TSet<TfvDropDownTextOption>;
ZV_ENUM(TfvTextBlobMarker, tbmDefault, tbmIcon, tbmText);
ZV_ENUM(TfvDropDownPictureOption, dpoNoCenterPicture, dpoNoAutoSize, dpoNoSizing, dpoNoAutoPost);
using TfvDropDownPictureOptions = TSet<TfvDropDownPictureOption>;

// Line breaks of texts other programs wrote: the multi-line editors show every break as CR LF.
// A text whose stored breaks are all a lone LF gets its typed breaks back as LF, so that one typed
// character does not rewrite every line of it.
bool AllBreaksAreLineFeeds(std::string_view stored);
String RestoreLineFeeds(std::string_view typed, std::string_view stored);
// The start of text that can show in cell, whole characters only: a megabyte text costs a cell
// no more than the text it has room for.
std::string_view TextForCell(std::string_view text, const TRect& cell);

class TMemoVision : public TvpFieldVision {
  ZV_CLASS(TMemoVision, TvpFieldVision)

public:
  explicit TMemoVision(TComponent* owner);

  TfvGetStrValueEvent OnGetValue;

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  // The main field's whole string value, for display and editing alike (a memo's own text,
  // never its marker).
  void VM_GetText(TgpFieldList& fields, bool displayText, String& text) override;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override;
  void VM_PreparePainter(TgpFieldList& fields, TfvPainter& painter) override;
  TvpDefLayout DefaultLayout(TgpFieldList& fields) override;
  TField* AutoSearchField(TgpFieldList& fields, TFieldTextKind& kind) override;

  static void DeclareProperties(TPropTable<TMemoVision>& t);
};

// A decoded picture, or nothing when the bytes are null or no codec reads them.
std::unique_ptr<TBitmap> DecodePicture(std::span<const std::uint8_t> bytes);
// The bytes of a BMP file holding bitmap.
std::vector<std::uint8_t> EncodeBitmapFile(TBitmap& bitmap);

class TImageVision : public TvpFieldVision {
  ZV_CLASS(TImageVision, TvpFieldVision)

public:
  explicit TImageVision(TComponent* owner);
  ~TImageVision() override;

  bool Stretch() const { return fStretch; }
  void SetStretch(bool value);
  bool Center() const { return fCenter; }
  void SetCenter(bool value);
  // Stored for forms written elsewhere; our bitmaps carry no palette, so it changes nothing
  // but the repaint a change asks for.
  bool QuickDraw() const { return fQuickDraw; }
  void SetQuickDraw(bool value);
  // Null: the default pack's blob menu. The vision hears when it is destroyed.
  TPopupMenu* PopupMenu() const { return fPopupMenu; }
  void SetPopupMenu(TPopupMenu* value);
  TfvImgDisabledActions DisabledActions() const { return fDisabledActions; }
  void SetDisabledActions(TfvImgDisabledActions value) { fDisabledActions = value; }

  TfvNotifyEvent OnPreview;

  // The picture an editor shows now: its current value when it has the focus, else the main
  // field's. Null when empty or unreadable.
  std::unique_ptr<TBitmap> EditorPicture(IvpFieldEditor& edit);
  // Only for an editor with the focus: a picture file into the current value (the file's own
  // bytes), the current picture into a file, the picture in a window of its own.
  void LoadImage(IvpFieldEditor& edit);
  void SaveImage(IvpFieldEditor& edit);
  void PreviewImage(IvpFieldEditor& edit);

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  void VM_GetText(TgpFieldList& fields, bool displayText, String& text) override;
  void VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) override;
  void PE_ResetEdit(IvpFieldEditor& edit) override;
  void PE_EditAction(IvpFieldEditor& edit, TvpEditAction action) override;
  TvpDefLayout DefaultLayout(TgpFieldList& fields) override;
  TPopupMenu* DefaultPopupMenu() override;
  bool WantArrows() override { return false; }

  static void DeclareProperties(TPropTable<TImageVision>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  struct TPictureCache;
  // The decoded picture of bytes, from the cache of the cells shown when it is there.
  TBitmap* CachedPicture(std::span<const std::uint8_t> bytes);

  std::unique_ptr<TPictureCache> fCache;
  bool fStretch = false;
  bool fCenter = true;
  bool fQuickDraw = true;
  TPopupMenu* fPopupMenu = nullptr;
  TfvImgDisabledActions fDisabledActions;
};

// The base of the visions that keep the cell small and edit the content in the default pack's
// blob picker. A click on the cell opens it (ComboBoxStyle); the user's last size of the
// drop-down is written back to DropDownWidth and DropDownHeight (0: the tool form's own).
class TDropDownBlobVision : public TToolFormVision {
  ZV_CLASS(TDropDownBlobVision, TToolFormVision)

public:
  explicit TDropDownBlobVision(TComponent* owner);

  int DropDownWidth() const { return fDropDownWidth; }
  void SetDropDownWidth(int value) { fDropDownWidth = value; }
  int DropDownHeight() const { return fDropDownHeight; }
  void SetDropDownHeight(int value) { fDropDownHeight = value; }

  void VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) override;
  bool WantArrows() override { return false; }
  TVisionToolForm* DefaultDropDown() override;

  template <class C>
  static void PublishDropDown(TPropTable<C>& t);

protected:
  // The marker icon of the environment for a text (0) or a picture (1), drawn centred in the
  // cell; an empty value shows it greyed.
  void DrawMarker(TfvPainter& painter, int marker, bool isNull);

private:
  int fDropDownWidth = 0;
  int fDropDownHeight = 0;
};

// A text or memo in a plain-text editor dropped down from a small cell.
class TTextVision : public TDropDownBlobVision {
  ZV_CLASS(TTextVision, TDropDownBlobVision)

public:
  explicit TTextVision(TComponent* owner);

  TfvDropDownTextOptions DropDownOptionsEx() const { return fOptionsEx; }
  void SetDropDownOptionsEx(TfvDropDownTextOptions value) { fOptionsEx = value; }
  TScrollStyle DropDownScrollBars() const { return fScrollBars; }
  void SetDropDownScrollBars(TScrollStyle value) { fScrollBars = value; }
  TfvTextBlobMarker DisplayAs() const { return fDisplayAs; }
  void SetDisplayAs(TfvTextBlobMarker value);

  void PE_ResetEdit(IvpFieldEditor& edit) override;
  void VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) override;

  static void DeclareProperties(TPropTable<TTextVision>& t);

private:
  TfvDropDownTextOptions fOptionsEx;
  TScrollStyle fScrollBars = ssBoth;
  TfvTextBlobMarker fDisplayAs = tbmIcon;
};

// A picture in a blob field, shown as a marker and edited in the dropped-down picture.
class TPictureVision : public TDropDownBlobVision {
  ZV_CLASS(TPictureVision, TDropDownBlobVision)

public:
  explicit TPictureVision(TComponent* owner);

  TfvDropDownPictureOptions DropDownOptionsEx() const { return fOptionsEx; }
  void SetDropDownOptionsEx(TfvDropDownPictureOptions value) { fOptionsEx = value; }
  TfvImgDisabledActions DisabledActions() const { return fDisabledActions; }
  void SetDisabledActions(TfvImgDisabledActions value) { fDisabledActions = value; }

  void PE_ResetEdit(IvpFieldEditor& edit) override;
  void VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) override;

  static void DeclareProperties(TPropTable<TPictureVision>& t);

private:
  TfvDropDownPictureOptions fOptionsEx;
  TfvImgDisabledActions fDisabledActions;
};

// The current value := the main field's bytes as they are, not modified, nothing typed.
void ResetToStoredBytes(IvpFieldEditor& edit);

// Gives the default pack's blob menu its pop-up and command handlers: items tagged 1 to 7 are
// Cut, Copy, Paste, Clear, Load..., Save to... and Preview; the untagged ones are separators.
void ConnectBlobContextMenu(TPopupMenu* menu);

template <class C>
void TDropDownBlobVision::PublishDropDown(TPropTable<C>& t) {
  using V = TvpFieldVision;
  using T = TToolFormVision;
  using B = TDropDownBlobVision;
  t.Prop("ComboBoxStyle", &V::ComboBoxStyle, &V::SetComboBoxStyle).Default(true);
  t.Prop("DropDown", &T::DropDown, &T::SetDropDown);
  t.Prop("DropDownWidth", &B::DropDownWidth, &B::SetDropDownWidth).Default(0);
  t.Prop("DropDownHeight", &B::DropDownHeight, &B::SetDropDownHeight).Default(0);
  t.Prop("DropDownOptions", &T::DropDownOptions, &T::SetDropDownOptions).Default(TfvDropDownOptions{});
  t.Prop("EnableDropDown", &V::EnableDropDown, &V::SetEnableDropDown).Default(true);
  t.Prop("EnableButton", &V::EnableButton, &V::SetEnableButton).Default(true);
  t.Event("BeforeEdit", &C::BeforeEdit);
  t.Event("BeforePost", &C::BeforePost);
  t.Event("AfterPost", &C::AfterPost);
  t.Event("OnInitEdit", &C::OnInitEdit);
  t.Event("OnDraw", &C::OnDraw);
  t.Event("OnDrawEdit", &C::OnDrawEdit);
}

}  // namespace zv
