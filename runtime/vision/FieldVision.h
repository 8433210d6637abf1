#pragma once
// TvpFieldVision: the base of every field vision, a shared non-visual component that knows how
// one kind of value is displayed, edited, validated and posted. Any number of grid columns and
// edit and text controls use one vision at a time, each through its own field list (its
// consumer); the vision keeps no state of any one host.
//
// Operation families: VM_ (value and view, every host), PE_ (the edit control while it edits),
// Default... (defaults a host may override with its own properties).

#include "platform/classes/Component.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/ControlTypes.h"
#include "platform/controls/Edit.h"
#include "platform/graphics/ImageList.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/Painter.h"

#include <functional>
#include <memory>
#include <vector>

namespace zv {

class TFont;
class TPopupMenu;
class TWinControl;
class TfvPainter;
class TgpPainter;
class IvpFieldEditor;

ZV_ENUM(TvpDefAlignment, talDefault, talLeftJustify, talRightJustify, talCenter);
ZV_ENUM(TvpButtonStyle, pbsDropDown, pbsEllipsis, pbsSpin, pbsCustom);
// What triggered a button action: none, a click on the button (the upper half of a spin), a
// short-cut, a click on the lower half of a spin and its short-cut, a click on the text area of
// a combo-box-style edit, a drop-down request.
ZV_ENUM(TfvButtonState, vbsNormal, vbsClick, vbsShortCut, vbsClick2, vbsShortCut2, vbsEditAreaClick, vbsDropDown);
ZV_ENUM(TvpEditAction, veaUnknown, veaCut, veaCopy, veaPaste, veaClear);
ZV_ENUM(TfvSurfaceKind, vskEdit, vskCustom);
ZV_ENUM(TfvSwitchOption, vsoEditDataSet, vsoNeedCurrent, vsoNeedEditing);
using TfvSwitchOptions = TSet<TfvSwitchOption>;
ZV_ENUM(TfvDropDownOption, ddoShowOnEnter, ddoShowOnTyping, ddoAlwaysEnableAltDown, ddoNoFocusRect);
using TfvDropDownOptions = TSet<TfvDropDownOption>;

// Sender is the vision, fields the host's field list.
ZV_EVENT(TfvNotifyEvent, void(TObject* sender, TgpFieldList* fields));
ZV_EVENT(TfvActionEvent, void(TObject* sender, TgpFieldList* fields, const String& action, int param));
ZV_EVENT(TfvGetTextEvent, void(TObject* sender, TgpFieldList* fields, bool displayText, String& value));
ZV_EVENT(TfvBeforeEditEvent, void(TObject* sender, TgpFieldList* fields, bool& doEdit));
// Posted starts false; a handler that wrote the value itself sets it.
using TfvBeforePostEvent =
    std::function<void(TObject* sender, TgpFieldList* fields, TgpFieldValue* value, bool& posted)>;
ZV_EVENT(TfvDrawEvent, void(TObject* sender, TgpFieldList* fields, TgpPainter* painter));
ZV_EVENT(TfvDrawEditEvent, void(TObject* sender, TgpFieldList* fields, TfvPainter* painter));
ZV_EVENT(TfvGetEditFontEvent, void(TObject* sender, TgpFieldList* fields, TFont* font));

// Whether e is a field failing to turn its own stored value into text: a conversion the value
// does not allow (a text in a number, bytes in a text column). Not when the field has an
// OnGetText handler: that is the application's code, whose failures stay the application's.
bool IsStoredValueFault(const TField* field, const std::exception& e);
// The field's display or edit text, for hosts that show a field without a vision; a stored value
// fault gives its message and sets *unreadable, as GetText does.
String StoredValueText(const TField& field, bool displayText, bool* unreadable = nullptr);

class TvpFieldVision : public TComponent {
  ZV_CLASS(TvpFieldVision, TComponent)

public:
  explicit TvpFieldVision(TComponent* owner);
  ~TvpFieldVision() override;

  // Published.
  const String& Caption() const { return fCaption; }
  void SetCaption(const String& value);
  const String& Description() const { return fDescription; }
  void SetDescription(const String& value) { fDescription = value; }
  const String& RelatedFields() const { return fRelatedFields; }
  void SetRelatedFields(const String& value);
  bool ReadOnly() const { return fReadOnly; }
  void SetReadOnly(bool value) { fReadOnly = value; }

  // Carried; descendants publish them (PublishCarried).
  TvpDefAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TvpDefAlignment value);
  TImageList* Images() const { return fImages; }
  void SetImages(TImageList* value);
  TvpAlignImage AlignImage() const { return fAlignImage; }
  void SetAlignImage(TvpAlignImage value);
  bool DrawText() const { return fDrawText; }
  void SetDrawText(bool value);
  bool DrawImages() const { return fDrawImages; }
  void SetDrawImages(bool value);
  int MaxLength() const { return fMaxLength; }
  void SetMaxLength(int value);  // EZVError for a negative value, which is not kept
  const String& EditMask() const { return fEditMask; }
  void SetEditMask(const String& value) { fEditMask = value; }
  bool EditWordWrap() const { return fEditWordWrap; }
  void SetEditWordWrap(bool value);
  TScrollStyle EditScrollBars() const { return fEditScrollBars; }
  void SetEditScrollBars(TScrollStyle value);
  bool EditReadOnly() const { return fEditReadOnly; }
  void SetEditReadOnly(bool value) { fEditReadOnly = value; }
  bool EnableButton() const { return fEnableButton; }
  void SetEnableButton(bool value);
  TvpButtonStyle ButtonStyle() const { return fButtonStyle; }
  void SetButtonStyle(TvpButtonStyle value);
  // Created on first read (empty, transparent). Assigning copies the bitmap and makes the
  // style pbsCustom; assigning null frees the glyph (the style still becomes pbsCustom).
  TBitmap* ButtonGlyph() const;
  void SetButtonGlyph(TBitmap* value);
  bool HasButtonGlyph() const { return fButtonGlyph != nullptr; }
  bool ComboBoxStyle() const { return fComboBoxStyle; }
  void SetComboBoxStyle(bool value) { fComboBoxStyle = value; }
  bool EnableDropDown() const { return fEnableDropDown; }
  void SetEnableDropDown(bool value) { fEnableDropDown = value; }
  bool EnableSwitches() const { return fEnableSwitches; }
  void SetEnableSwitches(bool value) { fEnableSwitches = value; }
  // UnboundMode is exactly "vsoEditDataSet not in OptionsSwitch"; each setter keeps the other.
  TfvSwitchOptions OptionsSwitch() const { return fOptionsSwitch; }
  void SetOptionsSwitch(TfvSwitchOptions value);
  bool UnboundMode() const { return !fOptionsSwitch.Contains(vsoEditDataSet); }
  void SetUnboundMode(bool value);
  TfvSurfaceKind SurfaceKind() const { return fSurfaceKind; }
  void SetSurfaceKind(TfvSurfaceKind value) { fSurfaceKind = value; }
  bool WantReturns() const { return fWantReturns; }
  void SetWantReturns(bool value) { fWantReturns = value; }
  bool WantTabs() const { return fWantTabs; }
  void SetWantTabs(bool value) { fWantTabs = value; }
  bool MultiLine() const { return fMultiLine; }
  void SetMultiLine(bool value) { fMultiLine = value; }
  bool FilterTyping() const { return fFilterTyping; }
  void SetFilterTyping(bool value) { fFilterTyping = value; }

  // The image list's size when Images is set and DrawImages is on, else 0.
  int ImageWidth() const { return fImageWidth; }
  int ImageHeight() const { return fImageHeight; }
  // The button action in progress (vbsNormal outside ButtonClick).
  TfvButtonState ButtonState() const { return fButtonState; }
  void SetButtonState(TfvButtonState value) { fButtonState = value; }

  TfvActionEvent OnAction;
  TfvNotifyEvent OnButtonClick;
  TfvNotifyEvent OnDblClick;
  TfvGetTextEvent OnGetText;
  TfvBeforeEditEvent BeforeEdit;
  TfvBeforePostEvent BeforePost;
  TfvNotifyEvent AfterPost;
  TfvNotifyEvent OnInitEdit;
  TfvDrawEvent OnDraw;
  TfvDrawEditEvent OnDrawEdit;
  TfvGetEditFontEvent OnGetEditFont;

  // The text after VM_GetText and OnGetText: display text or edit text. A stored value the
  // field cannot turn into text (see IsStoredValueFault) gives the failure's message instead,
  // and sets *unreadable when asked: it is data the user cannot fix, and a paint that raised
  // for it would raise again on every repaint.
  String GetText(TgpFieldList& fields, bool displayText, bool* unreadable = nullptr);
  // Empty for a null value without asking VM_GetFormattedValue.
  String GetFormattedValue(TgpFieldList& fields, const TvpUniValue& value);
  bool CanModify(TgpFieldList& fields);
  bool FireBeforeEdit(TgpFieldList& fields);
  void ButtonClick(IvpFieldEditor& edit, TfvButtonState state);
  // The only way a typed or picked value reaches the field; true when something was posted.
  bool PostChanges(IvpFieldEditor& edit, bool selectAll);
  bool PostChangesAndHide(IvpFieldEditor& edit, bool selectAll);

  // Switches, for the edit control's switch tracker and the grid's switch columns: the hit
  // tests (the point relative to the text area) and the toggles that follow a hit.
  bool KeySwitchHit(IvpFieldEditor& edit, Word key, TShiftState shift);
  bool MouseSwitchHit(IvpFieldEditor& edit, int x, int y, TShiftState shift);
  void KeySwitch(IvpFieldEditor& edit);
  void MouseSwitch(IvpFieldEditor& edit);

  // Consumers: the field lists that use this vision; no duplicates, not owned.
  void AddConsumer(TgpFieldList* fields);
  void RemoveConsumer(TgpFieldList* fields);
  int ConsumerCount() const { return static_cast<int>(fConsumers.size()); }
  bool HasConsumer(const TgpFieldList* fields) const;

  // Broadcasts to every consumer; the first three are skipped while the vision is loading.
  void Invalidate();
  void UpdateHeight();
  void ValidateFields();
  void UpdateEditButton();
  void RecreateEditors();
  void UpdateVisualAttrs();
  void UpdatePopupMenus();

  // Same class name: Caption, Description, Alignment, RelatedFields, ReadOnly, Tag.
  void Assign(const TPersistent* source) override;

  // Value and view.
  virtual void VM_GetText(TgpFieldList& fields, bool displayText, String& text);
  // Paints one grid column's cells, rows painter.Row..painter.LastRow, starting in the painter's
  // CellRect and ClientRect; nothing while fields is not valid.
  void DrawRecords(TgpFieldList& fields, TgpPainter& painter);
  // Paints an edit control's surface into rect of canvas through the one edit painter.
  void DrawRecords2(TDBDevidEdit& edit, TCanvas& canvas, const TRect& rect);
  // One cell's default drawing, in a grid or an edit: its image and overlay, then its text;
  // nothing once a stage has taken the drawing over.
  void PaintCell(TgpFieldList& fields, TfvPainter& painter);
  virtual void VM_PreparePainter(TgpFieldList& fields, TfvPainter& painter);
  virtual void VM_DrawCell(TgpFieldList& fields, TgpPainter& painter);
  virtual void VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter);
  virtual void VM_DrawInactive(TgpFieldList& fields, TfvPainter& painter);
  // The row height this vision needs for `lines` text lines of `cellFont` (the font the caller
  // resolved for the column) plus `extra` pixels of margins; never less than the image height.
  virtual int VM_CalcHeight(TgpColumn* column, const TFont& cellFont, int lines, int extra);
  virtual void VM_ValidFields(TgpFieldList& fields, bool& valid);
  virtual String VM_GetFormattedValue(TgpFieldList& fields, const TvpUniValue& value);
  virtual void VM_CanModify(TgpFieldList& fields, bool& canModify);
  virtual void VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value);

  // Editing.
  virtual void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel);
  virtual void PE_InitEdit(IvpFieldEditor& edit);
  virtual void PE_EnterEdit(IvpFieldEditor& edit);
  virtual void PE_ResetEdit(IvpFieldEditor& edit);
  virtual void PE_KeySwitch(IvpFieldEditor& edit, bool& posted);
  virtual void PE_MouseSwitch(IvpFieldEditor& edit, bool& posted);
  virtual void PE_KeySwitchHit(IvpFieldEditor& edit, Word key, TShiftState shift, bool& hit);
  virtual void PE_MouseSwitchHit(IvpFieldEditor& edit, int x, int y, TShiftState shift, bool& hit);
  virtual void PE_GetEditMask(TgpFieldList& fields, String& mask);
  virtual void PE_ButtonClick(IvpFieldEditor& edit);
  virtual void PE_DblClick(IvpFieldEditor& edit);
  virtual bool PE_AcceptText(IvpFieldEditor& edit, String& text, const String& oldText, int& selStart, int& selEnd);
  virtual void PE_KeyDown(IvpFieldEditor& edit, Word& key, TShiftState shift);
  virtual void PE_KeyPress(IvpFieldEditor& edit, char32_t& key);
  virtual void PE_EditAction(IvpFieldEditor& edit, TvpEditAction action);
  virtual void PE_ShowDropDown(IvpFieldEditor& edit, TWinControl* toolForm);

  // Defaults a host may override.
  virtual TAlignment DefaultAlignment(TgpFieldList& fields);
  virtual TvpDefLayout DefaultLayout(TgpFieldList& fields);
  virtual String DefaultCaption(TgpFieldList& fields);
  virtual int DefaultMaxLength(TgpFieldList& fields);
  virtual TPopupMenu* DefaultPopupMenu();
  virtual bool IsValidChar(TgpFieldList& fields, char32_t& key);
  virtual bool WantArrows();
  virtual String AutoSearchText(TgpFieldList& fields);
  // The field whose own text AutoSearchText returns, and which of its texts that is, so that a
  // search can ask the dataset instead of reading every record; null when the text is the
  // vision's own. A vision that changes its text answers null unless it knows better: only the
  // base class answers by default.
  virtual TField* AutoSearchField(TgpFieldList& fields, TFieldTextKind& kind);
  virtual bool SupportsDropDownOption(TfvDropDownOption option);
  virtual TWinControl* DefaultToolForm();

  static void DeclareProperties(TPropTable<TvpFieldVision>& t);
  // Publishes the carried properties with the base defaults in a descendant's table; a
  // descendant with other defaults redeclares those after this call.
  template <class C>
  static void PublishCarried(TPropTable<C>& t);

protected:
  // The main field and the text AutoSearchText reads of it, for visions whose text is the main
  // field's own; null with an OnGetText handler or no field.
  TField* MainSearchField(TgpFieldList& fields, TFieldTextKind& kind);

  void Notification(TComponent* component, TOperation operation) override;
  // The image list changed (or was set, or DrawImages changed): re-read its size.
  void ImagesChanged();

private:
  // Calls fn for every list present at the start and still present when its turn comes.
  template <class F>
  void Broadcast(F&& fn);
  void UpdateFieldsOfConsumers();

  String fCaption;
  String fDescription;
  String fRelatedFields;
  bool fReadOnly = false;
  TvpDefAlignment fAlignment = talDefault;
  TImageList* fImages = nullptr;
  TvpAlignImage fAlignImage = aiDefault;
  bool fDrawText = true;
  bool fDrawImages = true;
  int fMaxLength = 0;
  String fEditMask;
  bool fEditWordWrap = false;
  TScrollStyle fEditScrollBars = ssNone;
  bool fEditReadOnly = false;
  bool fEnableButton = false;
  TvpButtonStyle fButtonStyle = pbsDropDown;
  mutable std::unique_ptr<TBitmap> fButtonGlyph;
  bool fComboBoxStyle = false;
  bool fEnableDropDown = false;
  bool fEnableSwitches = false;
  TfvSwitchOptions fOptionsSwitch{vsoEditDataSet};
  TfvSurfaceKind fSurfaceKind = vskEdit;
  bool fWantReturns = false;
  bool fWantTabs = false;
  bool fMultiLine = false;
  bool fFilterTyping = false;

  std::vector<TgpFieldList*> fConsumers;
  TChangeLink fImageLink;  // hears the image list's changes
  int fImageWidth = 0;
  int fImageHeight = 0;
  TfvButtonState fButtonState = vbsNormal;
};

template <class C>
void TvpFieldVision::PublishCarried(TPropTable<C>& t) {
  using V = TvpFieldVision;
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment)
      .Default(talDefault);
  t.Prop("Images", &V::Images, &V::SetImages);
  t.Prop("AlignImage", &V::AlignImage, &V::SetAlignImage)
      .Default(aiDefault);
  t.Prop("DrawText", &V::DrawText, &V::SetDrawText)
      .Default(true);
  t.Prop("DrawImages", &V::DrawImages, &V::SetDrawImages)
      .Default(true);
  t.Prop("MaxLength", &V::MaxLength, &V::SetMaxLength)
      .Default(0);
  t.Prop("EditMask", &V::EditMask, &V::SetEditMask);
  t.Prop("EditWordWrap", &V::EditWordWrap, &V::SetEditWordWrap)
      .Default(false);
  t.Prop("EditScrollBars", &V::EditScrollBars, &V::SetEditScrollBars)
      .Default(ssNone);
  t.Prop("EditReadOnly", &V::EditReadOnly, &V::SetEditReadOnly)
      .Default(false);
  t.Prop("EnableButton", &V::EnableButton, &V::SetEnableButton)
      .Default(false);
  t.Prop("ButtonStyle", &V::ButtonStyle, &V::SetButtonStyle)
      .Default(pbsDropDown);
  t.Prop("ButtonGlyph", &V::ButtonGlyph, &V::SetButtonGlyph)
      .Stored(&V::HasButtonGlyph);
  t.Prop("ComboBoxStyle", &V::ComboBoxStyle, &V::SetComboBoxStyle)
      .Default(false);
  t.Prop("EnableDropDown", &V::EnableDropDown, &V::SetEnableDropDown)
      .Default(false);
  t.Prop("EnableSwitches", &V::EnableSwitches, &V::SetEnableSwitches)
      .Default(false);
  t.Prop("OptionsSwitch", &V::OptionsSwitch, &V::SetOptionsSwitch)
      .Default(TfvSwitchOptions{vsoEditDataSet});
  t.Prop("UnboundMode", &V::UnboundMode, &V::SetUnboundMode)
      .Default(false);
  t.Prop("SurfaceKind", &V::SurfaceKind, &V::SetSurfaceKind)
      .Default(vskEdit);
  t.Prop("WantReturns", &V::WantReturns, &V::SetWantReturns)
      .Default(false);
  t.Prop("WantTabs", &V::WantTabs, &V::SetWantTabs)
      .Default(false);
  t.Prop("MultiLine", &V::MultiLine, &V::SetMultiLine)
      .Default(false);
  t.Prop("FilterTyping", &V::FilterTyping, &V::SetFilterTyping)
      .Default(false);
}

}  // namespace zv
