#pragma once
// TDBDevidEdit: the data edit control. It shows one field of the current record through a field
// vision and turns keys, clicks on its button, switch clicks and drop-down picks into a value
// the vision posts. Without the focus it is a display painted by the vision; with the focus it
// is a text editor (vskEdit visions) or a surface the vision paints and drives (vskCustom).
// An optional button (drop-down, ellipsis, spin, glyph) sits in the non-client area on the
// right.
//
// The grid's in-place editor derives from this class. What the editor needs of the grid goes
// through the protected virtual operations below (closing with posting, the after-post event,
// the pressed cell, drawing the cell), so this side never sees the grid's classes.
//
// Sources: DevidEdit.cpp (state, data link, edit mode, posting, mapping), DevidEditKeys.cpp
// (keys, characters, clipboard and edit messages), DevidEditButton.cpp (button, non-client
// area, mouse, cursors, drop-down), DevidEditPaint.cpp (painting), EditSwitchers.cpp.

#include "platform/controls/MaskEdit.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/map/FieldMap.h"
#include "runtime/rtm/RtmTypes.h"
#include "runtime/vision/EditSwitchers.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/FieldVisionConsumer.h"

#include <functional>
#include <memory>

namespace zv {

class TObjDataSet;
class TfvPainter;
class TvpFieldVision;

// Raised while the control paints, before the vision draws (Sender is the control).
ZV_EVENT(TvpDrawEditEvent, void(TObject* sender, TfvPainter* painter));

inline constexpr unsigned CM_SHOWTOOLFORM = ZV_CM_SHOWTOOLFORM;

class TDBDevidEdit : public TCustomMaskEdit, public IvpFieldVisionConsumer, public IvpFieldEditor {
  ZV_CLASS(TDBDevidEdit, TCustomMaskEdit)

public:
  explicit TDBDevidEdit(TComponent* owner);
  ~TDBDevidEdit() override;

  // --- Published ------------------------------------------------------------------------------
  const String& Attrs() const { return fFields->Attrs(); }
  void SetAttrs(const String& value);
  TgpMappingOptions MappingOptions() const { return fMappingOptions; }
  void SetMappingOptions(TgpMappingOptions value);
  TvpCustomFieldMapper* Mapper() const { return fMapper; }
  void SetMapper(TvpCustomFieldMapper* value);
  const String& DisplayFormat() const { return fFields->DisplayFormat(); }
  void SetDisplayFormat(const String& value);
  const String& EditFormat() const { return fFields->EditFormat(); }
  void SetEditFormat(const String& value);
  // The caption the vision shows for the field (not the edit's text).
  const String& Caption() const { return fCaption; }
  void SetCaption(const String& value);
  const String& DataField() const { return fFields->FieldNames(); }
  void SetDataField(const String& value);
  // The vision asked for; null means the default vision.
  TvpFieldVision* Vision() const { return fVision; }
  void SetVision(TvpFieldVision* value);
  bool IsVisionStored() const;
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* value);
  // The data link's read-only flag (the native editor's read-only mode follows the edit state).
  bool ReadOnly() const;
  void SetReadOnly(bool value);
  TvpBorderStyle BorderStyle() const { return fBorderStyle; }
  void SetBorderStyle(TvpBorderStyle value);
  bool WordWrap() const { return fWordWrap; }
  void SetWordWrap(bool value);
  bool WantTabs() const { return fWantTabs; }
  void SetWantTabs(bool value) { fWantTabs = value; }
  // With returns wanted Enter breaks the line and only Ctrl+Enter posts: the stand-alone
  // control is then a multi-line editor, since a single-line one has no place for the break.
  bool WantReturns() const { return fWantReturns; }
  void SetWantReturns(bool value);

  TvpActionEvent OnAction;
  TvpDrawEditEvent OnDraw;

  // --- Public ---------------------------------------------------------------------------------
  // The main field; setting it sets DataField to its name.
  TField* Field() const { return fFields->MainField(); }
  void SetField(TField* value);
  TDataSet* DataSet() const;
  // The line holding the caret and the number of lines (visual lines of a wrapped text).
  int CurrentLine();
  int LineCount();
  TDataLinkEx* DataLink() const { return fDataLink.get(); }
  // The vision in use (the asked one or the default).
  TvpFieldVision* CurVision() const { return fFields->Vision(); }

  // State.
  // Edit mode: the control has the focus (the window may lose it to its own drop-down).
  bool Focused() const override { return fFocused; }
  bool IsInplace() const override { return fIsInplace; }
  bool Updating() const { return fUpdating; }
  bool ShowingToolForm() const { return fShowingToolForm; }
  bool AutoCompleteAllowed() const { return fAutoCompleteAllowed; }
  const String& OldText() const { return fOldText; }
  int DefaultButtonWidth() const { return fDefaultButtonWidth; }
  int ButtonWidth() const { return fButtonWidth; }
  const TRect& TextMargins() const { return fTextMargins; }
  TWinControl* ToolForm() const { return fToolForm; }
  TvpEditBtnSwitcher& ButtonTracker() { return *fButtonTracker; }
  TvpEditSwitcher& SwitchTracker() { return *fSwitchTracker; }

  // Neither the vision's EditReadOnly nor ReadOnly.
  bool Editable();
  bool BeginEdit();
  // Reloads the text from the field and selects it all.
  void ResetEdit();
  // Posts the typed text through the vision while in edit mode; true otherwise.
  bool PostField();
  // Programmatic typing; true when done (edit mode and editing could start).
  bool SetDataText(const String& text, bool selectAll);
  // Attrs as a ";" item list.
  void AddAttrs(const String& items);
  void RemoveAttrs(const String& items);
  bool HasAttrs(const String& items) const;

  // Drop-down and button.
  void ShowToolForm();
  void DropDownBtnClick(bool postOnClose) override;
  void CancelMode(TControl* control) override;
  // Client coordinates: the button lies right of the client area.
  bool OverButton(TPoint p);
  TRect ButtonRect();
  void EditAreaClick();
  void RemoveDeadMsgs(bool charsOnly);
  void UpdateNC();
  // The tool form's side: the open drop-down (null when it closes), the button under a point,
  // whether the edit acts as a combo box.
  void tfSetToolForm(TWinControl* control);
  bool tfOverButton(int x, int y);
  bool tfComboBoxStyle();
  // The private data source and object dataset of list visions, created on first request.
  TDataSource* AllocDataSource();
  TObjDataSet* AllocDataSet();

  // --- IvpFieldEditor -------------------------------------------------------------------------
  TgpFieldList& Fields() override { return *fFields; }
  TfvCurrentValue& CurrentValue() override { return fCurrentValue; }
  TWinControl* Control() override { return this; }
  String Text() const override { return TCustomMaskEdit::Text(); }
  bool HasEditMask() const override { return IsMasked(); }
  bool ValidateEditText() override;
  bool CustomSurface() const override;
  void SelectAll() override { TCustomEdit::SelectAll(); }
  void RemovePendingKeys(bool charsOnly) override { RemoveDeadMsgs(charsOnly); }
  void Repaint() override;
  void CaptureMouse() override { SetMouseCapture(true); }
  // The in-place editor asks its grid to close with posting; a stand-alone control posts.
  bool HideWithPosting() override;

  // --- IvpFieldVisionConsumer -----------------------------------------------------------------
  TComponent* GetComponent() override { return this; }
  bool CanModify() override { return !ReadOnly(); }
  bool DoBeforeEdit() override;
  void DoBeginEdit() override;
  void DoAfterPost() override {}
  bool UpdateVisualAttrs() override;
  void UpdatePopupMenu() override;
  void VisionChanged(TvpFieldVision* vision) override;
  void UpdateFields() override;
  void ValidateFields() override;
  void Invalidate() override;
  void UpdateHeight() override { Invalidate(); }
  void UpdateEditButton() override { UpdateNC(); }
  void RecreateEditor() override;

  static void DeclareProperties(TPropTable<TDBDevidEdit>& t);
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

protected:
  // The in-place editor passes true; it is fixed for the control's life.
  TDBDevidEdit(TComponent* owner, bool inplace);

  // --- Virtual operations (the in-place editor overrides them) --------------------------------
  virtual bool FireBeforeEdit() { return true; }
  virtual void DoEscapeKey();
  virtual bool DoReturnKey(TShiftState shift);
  virtual bool DoArrowKey(bool up, TShiftState shift);
  virtual bool DoLeftRightKey(bool left);
  virtual bool DoTabKey(TShiftState shift);
  virtual void DoMouseWheelMsg(TMessage& message);
  // Fields.Layout from the vision's DefaultLayout (top by default); true when it changed.
  virtual bool UpdateVertAlignment();
  // The grid's side of an in-place editor: the switch of the edited cell is held down or let
  // go; the grid paints the cell into canvas (true) so the editor looks like the cell.
  virtual void SetCellPressed(bool pressed) { (void)pressed; }
  virtual bool DrawGridCell(TCanvas& canvas, const TRect& rect) {
    (void)canvas;
    (void)rect;
    return false;
  }

  // --- State for descendants ------------------------------------------------------------------
  void SetFocused(bool value);
  // Loads the text from the data (display or edit text by the state).
  void Reload();
  void SetTextMargins(const TRect& value);
  bool FieldsLock() const { return fFieldsLock; }
  void SetFieldsLock(bool value) { fFieldsLock = value; }
  bool MouseUpLock() const { return fMouseUpLock; }
  bool ChangeLock() const { return fChangeLock; }
  bool MappingUpdate() const { return fMappingUpdate; }
  bool WantReturnsAny();
  bool WantTabsAny();
  // Closes an open drop-down, posting when asked; true when one was open.
  bool CloseToolForm(bool post);
  // Posts, then selects all (the Enter and Ctrl+Enter posting).
  bool PostAndSelect();

  // --- Host overrides -------------------------------------------------------------------------
  void Change() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void PaintWindow(TPaintDevice& dc) override;
  void WMEraseBkgnd(TWMEraseBkgnd& message) override;
  void WMNCCalcSize(TWMNCCalcSize& message) override;
  void WMNCPaint(TWMNCPaint& message) override;
  void WMSetCursor(TWMSetCursor& message) override;
  void WMKillFocus(TWMKillFocus& message) override;
  void WMGetDlgCode(TMessage& message) override;
  void WMSize(TWMSize& message) override;
  void WMHScroll(TWMScroll& message) override;
  void WMVScroll(TWMScroll& message) override;
  void WMLButtonDown(TWMMouse& message) override;
  void WMLButtonDblClk(TWMMouse& message) override;
  void WMLButtonUp(TWMMouse& message) override;
  void WMRButtonDown(TWMMouse& message) override;
  void WMMouseMove(TWMMouse& message) override;
  void WMMouseWheel(TWMMouseWheel& message) override;
  void WMCut(TMessage& message) override;
  void WMCopy(TMessage& message) override;
  void WMPaste(TMessage& message) override;
  void WMClear(TMessage& message) override;
  void WMUndo(TMessage& message) override;
  void EMReplaceSel(TMessage& message) override;
  void CMEnter(TMessage& message) override;
  void CMExit(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMEnabledChanged(TMessage& message) override;

private:
  friend class TvpEditCustomSwitcher;
  friend class TvpEditBtnSwitcher;
  friend class TvpEditSwitcher;

  void Init();
  void FieldMapChanged();
  void SendFieldMapChanged();
  void DaActiveChanged();
  void DaDataChanged();
  void DaFocusControl(TField*& field);
  void DaUpdateData();
  void FreePrivateData();
  void ButtonMouseDown(TWMMouse& message);
  bool TextMouseDown(TWMMouse& message);
  TPoint SwitchPoint(TPoint p);
  void ApplyEditStyle();
  bool HandleDialogChar(TMessage& message);
  bool WantsSpecialKey(Word key) const;
  void EditMessage(TMessage& message, TvpEditAction action, bool startsEdit);
  void NCHitTest(TMessage& message);
  void ApplyNativeBorder();
  unsigned ButtonStateBits();
  bool PaintsNatively();

  std::unique_ptr<TDataLinkEx> fDataLink;
  std::unique_ptr<TgpFieldList> fFields;
  TfvCurrentValue fCurrentValue;
  std::unique_ptr<TvpEditBtnSwitcher> fButtonTracker;
  std::unique_ptr<TvpEditSwitcher> fSwitchTracker;
  std::unique_ptr<TDataSource> fPrivateSource;
  std::unique_ptr<TObjDataSet> fPrivateDataSet;

  TvpFieldVision* fVision = nullptr;
  TvpCustomFieldMapper* fMapper = nullptr;
  TgpMappingOptions fMappingOptions{eioImportDomain};
  String fCaption;
  TvpBorderStyle fBorderStyle = bs3D;
  bool fWordWrap = false;
  bool fWantTabs = false;
  bool fWantReturns = false;

  const bool fIsInplace;
  bool fFocused = false;
  bool fUpdating = false;
  bool fChangeLock = false;
  bool fMappingUpdate = false;
  bool fFieldsLock = false;
  bool fShowingToolForm = false;
  bool* fGoneFlag = nullptr;  // set when destroyed inside ShowToolForm's drop-down loop
  bool fMouseUpLock = false;
  bool fAutoCompleteAllowed = false;
  bool fValueUnreadable = false;  // the field's stored value has no text: shown, not edited
  String fOldText;
  int fDefaultButtonWidth = 0;
  int fButtonWidth = 0;
  TRect fTextMargins{0, 0, 0, 0};
  TWinControl* fToolForm = nullptr;
  bool fPressingButton = false;  // the focus arrives by a press on the button
};

}  // namespace zv
