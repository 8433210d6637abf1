#pragma once
// Test hosts, a test vision and a test editor over an in-memory table: what the field list and
// the vision protocol are proven against before the real columns and edit controls exist.

#include "platform/db/DataLink.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Field.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/null/NullBackend.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/FieldVisionConsumer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zvtest {

using namespace zv;

using Log = std::vector<std::string>;

// A vision that publishes the carried properties and lets a test replace the edit operations
// a concrete vision would override.
class TTestVision : public TvpFieldVision {
  ZV_CLASS(TTestVision, TvpFieldVision)

public:
  using TvpFieldVision::TvpFieldVision;
  static void DeclareProperties(TPropTable<TTestVision>& t);

  std::function<void(IvpFieldEditor&, TgpFieldValue&, bool&)> ParseText;
  std::function<void(IvpFieldEditor&)> OnPEButtonClick;
  bool SwitchHit = false;
  int Toggles = 0;
  bool SwitchPosted = true;
  int FormattedCalls = 0;

  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override {
    if (ParseText)
      ParseText(edit, value, cancel);
    else
      TvpFieldVision::PE_ParseText(edit, value, cancel);
  }
  void PE_ButtonClick(IvpFieldEditor& edit) override {
    TvpFieldVision::PE_ButtonClick(edit);
    if (OnPEButtonClick) OnPEButtonClick(edit);
  }
  void PE_KeySwitchHit(IvpFieldEditor&, Word, TShiftState, bool& hit) override { hit = SwitchHit; }
  void PE_MouseSwitchHit(IvpFieldEditor&, int x, int, TShiftState, bool& hit) override { hit = SwitchHit && x < 10; }
  void PE_KeySwitch(IvpFieldEditor& edit, bool& posted) override { Toggle(edit, posted); }
  void PE_MouseSwitch(IvpFieldEditor& edit, bool& posted) override { Toggle(edit, posted); }
  String VM_GetFormattedValue(TgpFieldList& fields, const TvpUniValue& value) override {
    ++FormattedCalls;
    return "<" + TvpFieldVision::VM_GetFormattedValue(fields, value) + ">";
  }

private:
  void Toggle(IvpFieldEditor& edit, bool& posted) {
    ++Toggles;
    TField* field = edit.Fields().MainField();
    field->SetAsInteger(field->IsNull() ? 1 : 1 - field->AsInteger());
    posted = SwitchPosted;
  }
};

// A host that logs every consumer call. With a component it asks for free notification and
// falls back to the default vision when its vision goes away, as the real hosts do.
class TTestHost : public TComponent, public IvpFieldVisionConsumer {
  ZV_CLASS(TTestHost, TComponent)

public:
  explicit TTestHost(TDataLink* link, bool hasComponent = true, TgpHostType type = fhtColumn)
      : TComponent(nullptr), fHasComponent(hasComponent), fFields(this, type, this, link) {}
  ~TTestHost() override { Destroying(); }

  TgpFieldList& Fields() { return fFields; }
  Log& Calls() { return fLog; }
  TvpFieldVision* AskedVision() const { return fAsked; }
  void SetVision(TvpFieldVision* v) {
    fAsked = v;
    fFields.SetVision(v);
  }
  // Resolves and validates as the real hosts do on activation and layout changes.
  void Bind(const String& names) {
    fFields.SetFieldNames(names);
    Resolve();
  }
  void Resolve() {
    TDataLink* link = fFields.DataLink();
    fFields.UpdateList(link ? link->DataSet() : nullptr);
    bool valid = link && link->Active() && fFields.Vision();
    if (valid) fFields.Vision()->VM_ValidFields(fFields, valid);
    fFields.SetValid(valid);
  }

  bool HostCanModify = true;
  bool HostBeforeEdit = true;
  bool VisualAttrsChange = false;

  TComponent* GetComponent() override { return fHasComponent ? this : nullptr; }
  bool CanModify() override { return HostCanModify; }
  bool DoBeforeEdit() override {
    fLog.push_back("DoBeforeEdit");
    return fFields.Vision()->FireBeforeEdit(fFields) && HostBeforeEdit;
  }
  void DoBeginEdit() override { fLog.push_back("DoBeginEdit"); }
  void DoAfterPost() override { fLog.push_back("DoAfterPost"); }
  bool UpdateVisualAttrs() override {
    fLog.push_back("UpdateVisualAttrs");
    return VisualAttrsChange;
  }
  void UpdatePopupMenu() override { fLog.push_back("UpdatePopupMenu"); }
  void VisionChanged(TvpFieldVision* v) override {
    fLog.push_back("VisionChanged(" + (v ? v->Name() : std::string("nil")) + ")");
  }
  void UpdateFields() override {
    fLog.push_back("UpdateFields");
    Resolve();
  }
  void ValidateFields() override { fLog.push_back("ValidateFields"); }
  void Invalidate() override { fLog.push_back("Invalidate"); }
  void UpdateHeight() override { fLog.push_back("UpdateHeight"); }
  void UpdateEditButton() override { fLog.push_back("UpdateEditButton"); }
  void RecreateEditor() override { fLog.push_back("RecreateEditor"); }

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component && component == fAsked) SetVision(nullptr);
  }

private:
  bool fHasComponent;
  TgpFieldList fFields;
  TvpFieldVision* fAsked = nullptr;
  Log fLog;
};

// An editor: a host that also answers the vision's editor questions and logs its actions.
class TTestEditor : public TTestHost, public IvpFieldEditor {
public:
  explicit TTestEditor(TDataLink* link, bool inplace = false) : TTestHost(link, true, fhtEdit), fInplace(inplace) {
    fCurrent.SetEditor(this);
  }

  String EditText;
  std::function<bool(const String&)> MaskAccepts;  // empty: no mask
  bool Custom = false;
  bool HasFocus = true;
  bool HideResult = true;

  // What the real control does when the user types: start editing, then mark the text.
  void Type(const String& text) {
    Fields().EditInt(true);
    EditText = text;
    fCurrent.SetTextChanged(true);
  }

  TgpFieldList& Fields() override { return TTestHost::Fields(); }
  TfvCurrentValue& CurrentValue() override { return fCurrent; }
  TWinControl* Control() override { return nullptr; }
  String Text() const override { return EditText; }
  bool HasEditMask() const override { return static_cast<bool>(MaskAccepts); }
  bool ValidateEditText() override { return MaskAccepts(EditText); }
  bool CustomSurface() const override { return Custom; }
  void SelectAll() override { Calls().push_back("SelectAll"); }
  void CancelMode(TControl*) override { Calls().push_back("CancelMode"); }
  void RemovePendingKeys(bool) override { Calls().push_back("RemovePendingKeys"); }
  void DropDownBtnClick(bool postOnClose) override {
    Calls().push_back(postOnClose ? "DropDown(post)" : "DropDown");
  }
  bool Focused() const override { return HasFocus; }
  void Repaint() override { Calls().push_back("Repaint"); }
  void CaptureMouse() override { Calls().push_back("CaptureMouse"); }
  bool IsInplace() const override { return fInplace; }
  bool HideWithPosting() override {
    Calls().push_back("HideWithPosting");
    return HideResult;
  }

private:
  bool fInplace;
  TfvCurrentValue fCurrent;
};

class TReadOnlyTable : public TMemTable {
public:
  using TMemTable::TMemTable;
  bool Locked = false;  // set after filling
  bool CanModify() const override { return !Locked; }
};

// Fields NAME (string 20), AGE (integer), CITY (string 20), FLAG (integer) and two people.
class VisionFixture : public ::testing::Test {
protected:
  void SetUp() override {
    fPreviousBackend = SetGraphicsBackend(CreateNullBackend());
    Table = std::make_unique<TMemTable>(nullptr);
    Open(*Table);
    Source = std::make_unique<TDataSource>(nullptr);
    Source->SetDataSet(Table.get());
    Link.SetDataSource(Source.get());
    Vision = std::make_unique<TTestVision>(nullptr);
    Vision->SetName("Vision1");
  }
  void TearDown() override {
    SetDefaultVision(nullptr);
    Vision.reset();
    SetGraphicsBackend(std::move(fPreviousBackend));
  }

  static void Open(TMemTable& table) {
    table.FieldDefs().Add("NAME", ftString, 20);
    table.FieldDefs().Add("AGE", ftInteger);
    table.FieldDefs().Add("CITY", ftString, 20);
    table.FieldDefs().Add("FLAG", ftInteger);
    table.CreateDataSet();
    for (auto [name, age] : {std::pair{"Eve", 30}, std::pair{"Bob", 25}}) {
      table.Append();
      table.FieldByName("NAME")->SetAsString(name);
      table.FieldByName("AGE")->SetAsInteger(age);
      table.FieldByName("CITY")->SetAsString("Paris");
      table.Post();
    }
    table.First();
  }

  // A host bound to `names` through the fixture's link with the fixture's vision.
  std::unique_ptr<TTestHost> MakeHost(const String& names, bool hasComponent = true) {
    auto host = std::make_unique<TTestHost>(&Link, hasComponent);
    host->SetVision(Vision.get());
    host->Bind(names);
    host->Calls().clear();
    return host;
  }
  std::unique_ptr<TTestEditor> MakeEditor(const String& names) {
    auto edit = std::make_unique<TTestEditor>(&Link);
    edit->SetVision(Vision.get());
    edit->Bind(names);
    edit->Calls().clear();
    return edit;
  }

  std::unique_ptr<TMemTable> Table;
  std::unique_ptr<TDataSource> Source;
  TDataLink Link;
  std::unique_ptr<TTestVision> Vision;

private:
  std::unique_ptr<TGraphicsBackend> fPreviousBackend;
};

}  // namespace zvtest
