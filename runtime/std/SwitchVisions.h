#pragma once
// The visions that show a field as one of a few states and switch it by key or click:
// - TCheckBoxVision: a check box (checked, unchecked, grayed) for logical fields and for fields
//   whose values stand for checked and unchecked;
// - TXStateVision: named states (TXState in TXStates), each with a text and images, cycled by a
//   short-cut or a click and picked from the list drop-down.
// Sources: CheckBoxVision.cpp, XStateVision.cpp.

#include "platform/classes/Collection.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Font.h"
#include "runtime/std/ListVisions.h"

namespace zv {

class TXStateVision;

ZV_ENUM(TcbvState, cbvChecked, cbvUnChecked, cbvGrayed);
ZV_ENUM(TcbvBoxStyle, cbv3D, cbv3DSoft, cbvMono, cbvFlat);

ZV_EVENT(TcbvGetStateEvent, void(TObject* sender, TgpFieldList* fields, TcbvState& state));
ZV_EVENT(TcbvSetStateEvent, void(TObject* sender, TgpFieldList* fields, TcbvState& state, bool& doPost));

class TCheckBoxVision : public TvpFieldVision {
  ZV_CLASS(TCheckBoxVision, TvpFieldVision)

public:
  explicit TCheckBoxVision(TComponent* owner);
  ~TCheckBoxVision() override;

  bool FullFocusRect() const { return fFullFocusRect; }
  void SetFullFocusRect(bool value);
  TcbvBoxStyle BoxStyle() const { return fBoxStyle; }
  void SetBoxStyle(TcbvBoxStyle value);
  // ";"-separated values; the first is the one written.
  const String& ValueChecked() const { return fValues[0]; }
  void SetValueChecked(const String& value) { SetValue(0, value); }
  const String& ValueUnChecked() const { return fValues[1]; }
  void SetValueUnChecked(const String& value) { SetValue(1, value); }
  // Only written (its first item; empty writes null), never read.
  const String& ValueGrayed() const { return fValues[2]; }
  void SetValueGrayed(const String& value) { SetValue(2, value); }
  bool AllowGrayed() const { return fAllowGrayed; }
  void SetAllowGrayed(bool value) { fAllowGrayed = value; }
  TcbvState ShowNullAs() const { return fShowNullAs; }
  void SetShowNullAs(TcbvState value);

  TcbvGetStateEvent OnGetState;
  TcbvSetStateEvent OnSetState;

  TcbvState GetState(TgpFieldList& fields);
  // Writes the next state and posts it; false when nothing was posted.
  bool SetNextState(IvpFieldEditor& edit);
  void DrawState(TgpFieldList& fields, TfvPainter& painter, TcbvState state);

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  void VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) override;
  void VM_DrawInactive(TgpFieldList& fields, TfvPainter& painter) override;
  void PE_KeySwitch(IvpFieldEditor& edit, bool& posted) override;
  void PE_MouseSwitch(IvpFieldEditor& edit, bool& posted) override;
  void PE_KeySwitchHit(IvpFieldEditor& edit, Word key, TShiftState shift, bool& hit) override;
  void PE_MouseSwitchHit(IvpFieldEditor& edit, int x, int y, TShiftState shift, bool& hit) override;
  void PE_ResetEdit(IvpFieldEditor& edit) override;
  TAlignment DefaultAlignment(TgpFieldList& fields) override;
  TvpDefLayout DefaultLayout(TgpFieldList& fields) override;
  bool WantArrows() override { return false; }

  static void DeclareProperties(TPropTable<TCheckBoxVision>& t);

private:
  struct TBoxImages;
  void SetValue(int index, const String& value);

  std::unique_ptr<TBoxImages> fBoxImages;  // each look of the box drawn once
  bool fFullFocusRect = false;
  TcbvBoxStyle fBoxStyle = cbvFlat;
  String fValues[3];
  bool fAllowGrayed = false;
  TcbvState fShowNullAs = cbvGrayed;
};

// One state of a multi-state vision. At most one state of a collection is the null state.
class TXState : public TCollectionItem {
  ZV_CLASS(TXState, TCollectionItem)

public:
  explicit TXState(TCollection* collection = nullptr);

  const String& DisplayText() const { return fDisplayText; }
  void SetDisplayText(const String& value);
  int ImageIndex() const { return fImageIndex; }
  void SetImageIndex(int value);
  // -1 keeps ImageIndex while the switch is held down.
  int PushedImageIndex() const { return fPushedImageIndex; }
  void SetPushedImageIndex(int value);
  // Stored and copied; the vision's painter does not apply them (the cell keeps the column's
  // font, so that a state never changes the row's height or the grid's look by itself).
  TColor FontColor() const { return fFontColor; }
  void SetFontColor(TColor value);
  TFontStyles FontStyle() const { return fFontStyle; }
  void SetFontStyle(TFontStyles value);
  const String& FieldValue() const { return fFieldValue; }
  // A different value makes the state a non-null one.
  void SetFieldValue(const String& value);
  bool NullValue() const { return fNullValue; }
  // True clears FieldValue and the null flag of the state that had it.
  void SetNullValue(bool value);
  bool Switchable() const { return fSwitchable; }
  void SetSwitchable(bool value);
  // Stored and copied; the drop-down lists every state.
  bool InDropDownList() const { return fInDropDownList; }
  void SetInDropDownList(bool value);

  void Assign(const TPersistent* source) override;
  String DisplayName() const override;

  static void DeclareProperties(TPropTable<TXState>& t);

private:
  String fDisplayText;
  int fImageIndex = -1;
  int fPushedImageIndex = -1;
  TColor fFontColor = clNone;
  TFontStyles fFontStyle;
  String fFieldValue;
  bool fNullValue = false;
  bool fSwitchable = true;
  bool fInDropDownList = true;
};

class TXStates : public TOwnedCollection {
  ZV_CLASS(TXStates, TOwnedCollection)

public:
  explicit TXStates(TXStateVision* vision = nullptr);

  TXState* Items(int index) const { return ItemAs<TXState>(index); }
  // Copies value into the state at index.
  void SetItems(int index, TXState* value);
  TXState* Add() { return static_cast<TXState*>(TCollection::Add()); }
  // isNull: the null state; else the first whose FieldValue equals value exactly. Null if none.
  TXState* Find(const String& value, bool isNull) const;
  // The first switchable state after index (-1: from the first); -1 when none.
  int FindSwitchable(int index) const;
  TXStateVision* Vision() const { return fVision; }

protected:
  void Update(TCollectionItem* item) override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

private:
  TXStateVision* fVision;
};

class TXStateVision : public TDataListVision {
  ZV_CLASS(TXStateVision, TDataListVision)

public:
  explicit TXStateVision(TComponent* owner);
  ~TXStateVision() override;

  TXStates* States() const { return fStates.get(); }
  // Copies the states and repaints; itself changes nothing.
  void SetStates(TXStates* value);
  // A short-cut (key with shift bits); 0 never switches by key.
  TShortCut SwitchKey() const { return fSwitchKey; }
  void SetSwitchKey(TShortCut value) { fSwitchKey = value; }
  TImageList* DropDownImages() const { return fDropDownImages; }
  void SetDropDownImages(TImageList* value);
  // Hide the base setters: the two go together here. True also makes the surface custom;
  // vskEdit also stops switching; every change recreates the editors.
  void SetEnableSwitches(bool value);
  void SetSurfaceKind(TfvSurfaceKind value);
  // The state the last text request found, for the painter step that follows it.
  TXState* CurrentState() const { return fCurrentState; }

  TfvGetStrValueEvent OnGetValue;

  // The field's value as text (or OnGetValue's without a field); true when it is empty.
  bool GetValue(TgpFieldList& fields, String& value);
  // Moves the editor's value to the next switchable state and posts it.
  bool DoSwitch(IvpFieldEditor& edit);

  void VM_GetText(TgpFieldList& fields, bool displayText, String& text) override;
  void VM_PreparePainter(TgpFieldList& fields, TfvPainter& painter) override;
  void VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) override;
  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  void PE_KeySwitch(IvpFieldEditor& edit, bool& posted) override;
  void PE_MouseSwitch(IvpFieldEditor& edit, bool& posted) override;
  void PE_KeySwitchHit(IvpFieldEditor& edit, Word key, TShiftState shift, bool& hit) override;
  void PE_MouseSwitchHit(IvpFieldEditor& edit, int x, int y, TShiftState shift, bool& hit) override;
  void PE_InitEdit(IvpFieldEditor& edit) override;
  void PE_ResetEdit(IvpFieldEditor& edit) override;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override;
  // An empty value is written as null: a pick hands over the null state's empty FieldValue.
  void VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) override;
  bool IsValidChar(TgpFieldList& fields, char32_t& key) override;
  bool WantArrows() override { return !EnableSwitches(); }
  String DL_ListField(TgpFieldList& fields) override;
  TDataSource* DL_EditDataSource(TgpFieldList& fields) override;
  void DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action) override;
  bool DL_DropDownLayout(int width, TDataListLayout& layout) override;
  TAlignment DefaultAlignment(TgpFieldList& fields) override;
  int DefaultMaxLength(TgpFieldList& fields) override;
  TVisionToolForm* DefaultDropDown() override;

  static void DeclareProperties(TPropTable<TXStateVision>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TXStates;
  // The states changed: the editors' lists show them anew and every consumer repaints.
  void StatesChanged();

  std::unique_ptr<TXStates> fStates;
  TShortCut fSwitchKey = 32;
  TImageList* fDropDownImages = nullptr;
  TXState* fCurrentState = nullptr;
};

}  // namespace zv
