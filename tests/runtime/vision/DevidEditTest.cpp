// The data edit control on the headless backend, over the in-memory table and an SQLite table
// (ID 1..3, NAME "Name001"...): edit mode and exit posting, keys, characters and Unicode,
// Enter with and without WantReturns, Escape, masks and rejecting visions, read-only, spin and
// switch visions, the button, clipboard messages, mapping, painting and the event order.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/WinApi.h"
#include "platform/null/NullWindowBackend.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/NumberConv.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/EditSwitchers.h"
#include "runtime/vision/Painter.h"
#include "runtime/vision/ToolFormLink.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

using namespace zv;

template <class E>
std::string EnumName(E value) {
  return zv::GetEnumName(TypeInfoOf<E>(), static_cast<int>(value));
}

// The small visions the behaviours need: text, spin button, switch, a parse that rejects "!",
// multi-line; every button click is logged with its state.
class TEditVision : public TvpFieldVision {
public:
  using TvpFieldVision::TvpFieldVision;
  TLog* Log = nullptr;
  bool RejectDigits = false;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override {
    if (edit.Text().find('!') != String::npos) throw EZVError("Cannot parse");
    TvpFieldVision::PE_ParseText(edit, value, cancel);
  }
  void PE_ButtonClick(IvpFieldEditor& edit) override {
    if (Log) Log->push_back("button " + EnumName(ButtonState()));
    TvpFieldVision::PE_ButtonClick(edit);
  }
  void PE_KeySwitchHit(IvpFieldEditor&, Word key, TShiftState, bool& hit) override { hit = key == VK_SPACE; }
  void PE_MouseSwitchHit(IvpFieldEditor&, int x, int, TShiftState, bool& hit) override { hit = x < 20; }
  void PE_KeySwitch(IvpFieldEditor& edit, bool&) override { Flip(edit); }
  void PE_MouseSwitch(IvpFieldEditor& edit, bool&) override { Flip(edit); }
  void PE_EditAction(IvpFieldEditor&, TvpEditAction action) override {
    if (Log) Log->push_back("action " + EnumName(action));
  }
  bool IsValidChar(TgpFieldList& fields, char32_t& key) override {
    return !(RejectDigits && key >= U'0' && key <= U'9') && TvpFieldVision::IsValidChar(fields, key);
  }
  // Shows the value as a number would: a text that is none cannot be shown.
  bool AsNumber = false;
  void VM_GetText(TgpFieldList& fields, bool displayText, String& text) override {
    if (AsNumber) text = IntToStr(fields.MainField()->AsInteger());
    else TvpFieldVision::VM_GetText(fields, displayText, text);
  }

private:
  static void Flip(IvpFieldEditor& edit) {
    TField* f = edit.Fields().MainField();
    f->SetAsString(f->AsString() == "on" ? "off" : "on");
  }
};

// A drop-down panel that logs what the edit control asks of it.
class TDropDown : public TWinControl, public IVisionToolForm {
public:
  TDropDown(TDBDevidEdit* edit, TLog* log) : TWinControl(nullptr), fEdit(edit), fLog(log) {}
  void UserKeyDown(Word& key, TShiftState) override { fLog->push_back("drop key " + std::to_string(key)); }
  void UserCancelMode(TControl*) override { fLog->push_back("drop cancel"); }
  void EditTextChanged() override { fLog->push_back("drop text"); }
  void CurrentChanged() override { fLog->push_back("drop current"); }
  TVisionToolForm* GetSelf() override { return nullptr; }
  void ClosePopup(bool post, bool) override {
    fLog->push_back(post ? "drop close post" : "drop close");
    fEdit->tfSetToolForm(nullptr);
  }

private:
  TDBDevidEdit* fEdit;
  TLog* fLog;
};

class TDropVision : public TEditVision {
public:
  using TEditVision::TEditVision;
  TWinControl* Form = nullptr;
  TfvDropDownOptions Options;
  TWinControl* DefaultToolForm() override { return Form; }
  bool SupportsDropDownOption(TfvDropDownOption option) override { return Options.Contains(option); }
  void PE_ShowDropDown(IvpFieldEditor& edit, TWinControl* form) override {
    if (Log) Log->push_back("drop show");
    static_cast<TDBDevidEdit*>(edit.Control())->tfSetToolForm(form);
  }
};

class TTestMap : public TvpFieldMap {
public:
  using TvpFieldMap::TvpFieldMap;

protected:
  void VisionChanged(TvpFieldVision*) override {}
};

// Maps one field name to a vision and caption.
class TTestMapper : public TvpCustomFieldMapper {
public:
  TTestMapper() : TvpCustomFieldMapper(nullptr) {}
  TTestMap Map;
  void AddControl(TControl*) override {}
  void RemoveControl(TControl*) override {}
  TvpFieldMap* FindMap(TgpFieldList* list) override { return FindMap2(list->FieldNames(), list->Attrs()); }
  TvpFieldMap* FindMap2(const String& name, const String&) override {
    return SameText(name, Map.FieldName()) ? &Map : nullptr;
  }
};

// An editor that says it is a grid's in-place editor and logs the grid's side.
class TInplaceProbe : public TDBDevidEdit {
public:
  TInplaceProbe(TLog* log) : TDBDevidEdit(nullptr, true), fLog(log) {}
  bool HideWithPosting() override {
    fLog->push_back("grid close");
    return PostField();
  }
  using TDBDevidEdit::SetTextMargins;

protected:
  void SetCellPressed(bool pressed) override { fLog->push_back(pressed ? "cell pressed" : "cell released"); }
  bool DrawGridCell(TCanvas&, const TRect&) override {
    fLog->push_back("grid draws");
    return true;
  }

private:
  TLog* fLog;
};

class DevidEdit : public THarnessTest, public testing::WithParamInterface<DataSetFactory> {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    Application->OnException = [this](TObject*, const Exception& e) { Log.push_back("error " + e.Message()); };
    form = h->TopLevel(0, 0, 400, 300);
    other = h->Child(form, "other", 200, 10, 50, 21);
    other->SetTabStop(true);
    data = GetParam().Create(3);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(data.get());
    vision = std::make_unique<TEditVision>(nullptr);
    vision->Log = &Log;
    edit = std::make_unique<TDBDevidEdit>(nullptr);
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form);
    edit->SetVision(vision.get());
    edit->SetDataSource(source.get());
    edit->SetDataField("NAME");
    h->Pump();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    edit.reset();
    vision.reset();
    source.reset();
    data.reset();
    THarnessTest::TearDown();
  }
  void Focus() {
    edit->SetFocus();
    h->Pump();
  }
  void Leave() {
    other->SetFocus();
    h->Pump();
  }
  // Key down, its character, key up: what the keyboard gives for one key.
  void Key(Word key, char32_t c = 0, TShiftState shift = {}) {
    h->KeyDown(edit.get(), key, shift);
    if (c) h->Char(edit.get(), c, shift);
    h->KeyUp(edit.get(), key, shift);
  }
  void Type(const std::u32string& text) {
    for (char32_t c : text) h->Char(edit.get(), c);
  }
  // A key as the windowing system queues it: the key and its character before anyone looks, the
  // release after.
  void Stroke(Word key, char32_t c, TShiftState shift = {}) {
    h->PumpAfterInput = false;
    h->KeyDown(edit.get(), key, shift);
    h->Char(edit.get(), c, shift);
    h->PumpAfterInput = true;
    h->Pump();
    h->KeyUp(edit.get(), key, shift);
  }
  String Name() { return data->FieldByName("NAME")->AsString(); }
  TDataSetState State() { return data->State(); }

  TLog Log;
  TProbe* form = nullptr;
  TProbe* other = nullptr;
  std::unique_ptr<TDataSet> data;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TEditVision> vision;
  std::unique_ptr<TDBDevidEdit> edit;
};

TEST_P(DevidEdit, EditModeFollowsTheFocusAndExitPostsTheTypedUnicodeText) {
  EXPECT_EQ(edit->Text(), "Name001");
  EXPECT_FALSE(edit->Focused());
  Focus();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->SelLength(), 7) << "entering by code selects all";
  EXPECT_EQ(State(), dsBrowse) << "entering starts no edit";
  Type(U"Zoë 漢字😀x");
  Key(VK_BACK);
  EXPECT_EQ(edit->Text(), "Zoë 漢字😀") << "Backspace removes one character, not one byte";
  EXPECT_EQ(State(), dsEdit);
  Leave();
  EXPECT_FALSE(edit->Focused());
  EXPECT_EQ(Name(), "Zoë 漢字😀");
  data->Post();
  data->Next();
  data->Prior();
  EXPECT_EQ(Name(), "Zoë 漢字😀") << "read back after the post";
  EXPECT_EQ(edit->Text(), "Zoë 漢字😀");
  EXPECT_TRUE(Log.empty()) << Log.front();
}

TEST_P(DevidEdit, EnterPostsByTheWantReturnsRuleAndEscapeRestores) {
  struct Case {
    bool wantReturns;
    TShiftState shift;
    bool posts;
  } cases[] = {{false, {}, true}, {false, {ssCtrl}, false}, {true, {}, false}, {true, {ssCtrl}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "WantReturns " << c.wantReturns << " ctrl " << c.shift.Contains(ssCtrl));
    edit->SetWantReturns(c.wantReturns);
    Focus();
    Type(U"New");
    Key(VK_RETURN, c.shift.Empty() ? U'\r' : 0, c.shift);
    EXPECT_EQ(Name() == "New", c.posts);
    EXPECT_EQ(edit->SelLength() == edit->TextLength(), c.posts) << "posting selects all";
    EXPECT_EQ(edit->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0) != 0, !c.posts)
        << "Escape is claimed from dialogs only while there is unposted typing";
    Key(VK_ESCAPE);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->Text(), Name()) << "Escape brings back the field's text";
    EXPECT_EQ(edit->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 0);
    data->Cancel();
    Leave();
  }
}

// Enter with returns wanted (by the control or by its vision) is a line break in the text, and
// only Ctrl+Enter posts; without them Enter posts and the text stays on one line. Keys come as
// the windowing system queues them: the key and its character together.
TEST_P(DevidEdit, WantReturnsEnterBreaksTheLineAndCtrlEnterPosts) {
  enum Want { none, byControl, byVision };
  const String twoLines = "Cx\r\nЖ😀";
  struct Case {
    Want want;
    String afterEnter;
    int lines;
    String byCtrlEnter, stored;  // the field after Ctrl+Enter, and after leaving
  } const cases[] = {
      {none, "C", 1, "C", "Ж😀"},  // Enter posted and selected "C": the typing replaced it
      {byControl, "C\r\n", 2, twoLines, twoLines},
      {byVision, "C\r\n", 2, twoLines, twoLines},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    edit->SetWantReturns(c.want == byControl);
    vision->SetWantReturns(c.want == byVision);
    vision->RecreateEditors();
    const String stored = Name();
    Focus();
    Type(U"C");
    Stroke(VK_RETURN, U'\r');
    EXPECT_EQ(edit->Text(), c.afterEnter) << "the Enter is never dropped";
    EXPECT_EQ(edit->LineCount(), c.lines);
    EXPECT_EQ(edit->CurrentLine(), c.lines - 1) << "the caret follows the break";
    EXPECT_EQ(Name(), c.want == none ? "C" : stored);
    Type(U"Ж😀");
    if (c.want != none) {
      Key(VK_LEFT);
      Key(VK_LEFT);
      EXPECT_EQ(edit->CurrentLine(), 1);
      Key(VK_LEFT);
      EXPECT_EQ(edit->CurrentLine(), 0) << "one step crosses the line break";
      Type(U"x");
      EXPECT_EQ(edit->Text(), twoLines);
      Key(VK_END, 0, {ssCtrl});
      Key(VK_BACK);
      Key(VK_BACK);
      Key(VK_BACK);
      EXPECT_EQ(edit->Text(), "Cx") << "Backspace takes a character, then the whole break";
      Stroke(VK_RETURN, U'\r');
      Type(U"Ж😀");
    }
    Stroke(VK_RETURN, U'\n', {ssCtrl});
    EXPECT_EQ(Name(), c.byCtrlEnter) << "Ctrl+Enter posts only with returns wanted";
    EXPECT_EQ(edit->LineCount(), c.lines) << "Ctrl+Enter adds no line";
    Leave();
    data->Post();
    data->Next();
    data->Prior();
    EXPECT_EQ(Name(), c.stored);
    Focus();
    EXPECT_EQ(edit->Text(), Name()) << "both lines come back into the editor";
    EXPECT_EQ(edit->LineCount(), c.lines);
    Leave();
  }
  EXPECT_TRUE(Log.empty()) << Log.front();
}

// A masked text has no place for a line: Enter is refused audibly, not dropped in silence.
TEST_P(DevidEdit, WantReturnsOnAMaskedTextBeepsAtEnter) {
  TNullWindowBackend* backend = ActiveNullWindowBackend();
  vision->SetEditMask("000;0;_");
  edit->SetWantReturns(true);
  Focus();
  Type(U"12");
  const int beeps = backend->BeepCount();
  Stroke(VK_RETURN, U'\r');
  EXPECT_EQ(backend->BeepCount(), beeps + 1);
  EXPECT_EQ(edit->Text(), "12");
  EXPECT_EQ(Name(), "Name001");
  Type(U"3");
  Stroke(VK_RETURN, U'\n', {ssCtrl});
  EXPECT_EQ(Name(), "123");
}

TEST_P(DevidEdit, ADataSetPostTakesTheTypedTextAndTheEventsComeInOrder) {
  vision->BeforeEdit = [this](TObject*, TgpFieldList*, bool&) { Log.push_back("vision BeforeEdit"); };
  vision->BeforePost = [this](TObject*, TgpFieldList*, TgpFieldValue* v, bool&) {
    Log.push_back("vision BeforePost " + v->AsString());
  };
  vision->AfterPost = [this](TObject*, TgpFieldList*) { Log.push_back("vision AfterPost"); };
  data->BeforeEdit = [this](TDataSet*) { Log.push_back("data BeforeEdit"); };
  data->AfterEdit = [this](TDataSet*) { Log.push_back("data AfterEdit"); };
  data->BeforePost = [this](TDataSet*) { Log.push_back("data BeforePost"); };
  data->AfterPost = [this](TDataSet*) { Log.push_back("data AfterPost " + Name()); };
  Focus();
  Type(U"AB");
  data->Post();
  // The dataset asks its controls for their data before its own BeforePost.
  EXPECT_EQ(Log, (TLog{"vision BeforeEdit", "data BeforeEdit", "data AfterEdit", "vision BeforePost AB",
                       "vision AfterPost", "data BeforePost", "data AfterPost AB"}));
  EXPECT_EQ(edit->Text(), "AB");
  EXPECT_TRUE(edit->Focused());
}

TEST_P(DevidEdit, RejectedTextKeepsTheFocusUntilFixed) {
  struct Case {
    String mask;
    std::u32string typed;
    std::u32string fixed;
    String error;
    String posted;
  } cases[] = {
      {"", U"bad!", U"good", "Cannot parse", "good"},
      {"000;0;_", U"12", U"123", "Invalid input text", "123"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    vision->SetEditMask(c.mask);
    Focus();
    Type(c.typed);
    Leave();
    ASSERT_EQ(Log, TLog{"error " + c.error});
    Log.clear();
    EXPECT_TRUE(edit->Focused());
    EXPECT_TRUE(edit->TWinControl::Focused()) << "the focus comes back";
    EXPECT_EQ(edit->SelLength(), edit->TextLength()) << "the rejected text is selected";
    EXPECT_EQ(Name(), "Name001");
    Type(c.fixed);
    Leave();
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(Name(), c.posted);
    data->Cancel();
  }
}

TEST_P(DevidEdit, FailingPostKeepsTheRecordInEditWithTheTypedText) {
  // Names are unique: an index in SQLite, a rule of the application for the memory table.
  if (auto* sqlite = dynamic_cast<TSqliteDataSet*>(data.get()))
    sqlite::TSqliteDatabase(sqlite->FileName()).Execute("CREATE UNIQUE INDEX names ON items (NAME)");
  else
    data->BeforePost = [](TDataSet* d) {
      if (d->FieldByName("NAME")->AsString() == "Name002") throw EDatabaseError("UNIQUE constraint failed");
    };
  for (bool byEnter : {true, false}) {
    SCOPED_TRACE(byEnter ? "Enter" : "dataset Post");
    Focus();
    edit->SelectAll();
    Type(U"Name002");
    if (byEnter) {
      Key(VK_RETURN, U'\r');
      EXPECT_THROW(data->Post(), Exception);
    } else {
      EXPECT_THROW(data->Post(), Exception);
    }
    EXPECT_EQ(State(), dsEdit);
    EXPECT_EQ(edit->Text(), "Name002") << "the typed value stays";
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(data->RecNo(), 1);
    edit->SelectAll();
    Type(U"Zed");
    data->Post();
    EXPECT_EQ(Name(), "Zed");
    EXPECT_EQ(State(), dsBrowse);
  }
}

TEST_P(DevidEdit, ReadOnlyAndRefusedCharactersChangeNothing) {
  TNullWindowBackend* backend = ActiveNullWindowBackend();
  const int beeps = backend->BeepCount();
  vision->RejectDigits = true;
  Focus();
  Type(U"7");
  EXPECT_EQ(backend->BeepCount(), beeps + 1);
  EXPECT_EQ(edit->Text(), "Name001");
  EXPECT_EQ(State(), dsBrowse) << "a refused character starts no edit";
  edit->SetReadOnly(true);
  Type(U"x");
  Key(VK_DELETE);
  edit->Perform(WM_PASTE);
  edit->Perform(WM_CUT);
  EXPECT_EQ(edit->Text(), "Name001");
  EXPECT_EQ(State(), dsBrowse);
  EXPECT_FALSE(edit->Editable());
  Leave();
  EXPECT_EQ(Name(), "Name001");
}

TEST_P(DevidEdit, ClipboardMessagesEditOnlyAnEditableControl) {
  Focus();
  edit->Perform(WM_COPY);
  EXPECT_EQ(Clipboard()->AsText(), "Name001");
  EXPECT_EQ(State(), dsBrowse) << "copying starts no edit";
  Clipboard()->SetAsText("Pasted");
  edit->SetSel(0, -1);
  edit->Perform(WM_PASTE);
  EXPECT_EQ(edit->Text(), "Pasted");
  Key(VK_RETURN, U'\r');
  EXPECT_EQ(Name(), "Pasted");
  edit->SetSel(0, 3);
  edit->Perform(WM_CUT);
  EXPECT_EQ(Clipboard()->AsText(), "Pas");
  EXPECT_EQ(edit->Text(), "ted");
}

TEST_P(DevidEdit, SpinButtonByKeysAndMouseHalves) {
  vision->SetEnableButton(true);
  vision->SetButtonStyle(pbsSpin);
  h->Pump();
  EXPECT_EQ(edit->ButtonWidth(), edit->DefaultButtonWidth());
  EXPECT_EQ(edit->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
  const TRect b = edit->ButtonRect();
  EXPECT_EQ(b.Left, edit->ClientRect().Right) << "the button lies right of the client area";
  Focus();
  Key(VK_UP);
  Key(VK_DOWN);
  h->MouseDown(edit.get(), b.Left + 2, b.Top + 1);
  EXPECT_EQ(edit->ButtonTracker().ItemIndex(), 2);
  h->MouseUp(edit.get(), b.Left + 2, b.Top + 1);
  h->Click(edit.get(), b.Left + 2, b.Bottom - 2);
  EXPECT_EQ(Log, (TLog{"button vbsShortCut", "button vbsShortCut2", "button vbsClick", "button vbsClick2"}))
      << "one spin step per key or click";
  EXPECT_FALSE(edit->ButtonTracker().Tracking());
  Log.clear();
  // Held down, the spin repeats after a pause (30 ms ticks, the first at the ninth).
  h->MouseDown(edit.get(), b.Left + 2, b.Bottom - 2);
  h->Wait(250);
  EXPECT_TRUE(Log.empty());
  h->Wait(250);
  h->MouseUp(edit.get(), b.Left + 2, b.Bottom - 2);
  EXPECT_GE(Log.size(), 4u);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "button vbsClick2"), static_cast<long>(Log.size()));
}

TEST_P(DevidEdit, ButtonKindsActAsTheyShould) {
  struct Case {
    TvpButtonStyle style;
    bool enableDropDown;
    Word key;
    TShiftState shift;
    TLog log;
  } cases[] = {
      {pbsEllipsis, false, VK_RETURN, {ssCtrl}, {"button vbsShortCut"}},
      {pbsCustom, false, VK_RETURN, {ssCtrl}, {"button vbsShortCut"}},
      {pbsDropDown, false, VK_DOWN, {ssAlt}, {"button vbsShortCut"}},
      {pbsDropDown, true, VK_DOWN, {ssAlt}, {"button vbsDropDown"}},
      {pbsSpin, false, VK_RETURN, {ssCtrl}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.style));
    vision->SetEnableButton(true);
    vision->SetButtonStyle(c.style);
    vision->SetEnableDropDown(c.enableDropDown);
    Focus();
    Key(c.key, 0, c.shift);
    EXPECT_EQ(Log, c.log);
    Log.clear();
    // A click on the button: drop-down acts on the press, the others on the release.
    const TRect b = edit->ButtonRect();
    h->MouseDown(edit.get(), b.Left + 2, 3);
    EXPECT_EQ(Log.size(), c.style == pbsDropDown ? 1u : 0u);
    EXPECT_NE(edit->ButtonTracker().Downed(), false);
    h->MouseUp(edit.get(), b.Left + 2, 3);
    EXPECT_EQ(Log.size(), 1u);
    Log.clear();
    Leave();
  }
  vision->SetEnableButton(false);
  EXPECT_EQ(edit->ButtonWidth(), 0);
}

TEST_P(DevidEdit, SwitchTogglesOncePerKeyOrClick) {
  vision->SetEnableSwitches(true);
  vision->SetSurfaceKind(vskCustom);
  h->Pump();
  Focus();
  Key(VK_SPACE, U' ');
  EXPECT_EQ(Name(), "on") << "the space toggles at key-up and types nothing";
  Key(VK_SPACE, U' ');
  EXPECT_EQ(Name(), "off");
  h->MouseDown(edit.get(), 5, 5);
  EXPECT_TRUE(edit->SwitchTracker().Downed());
  h->MouseUp(edit.get(), 5, 5);
  EXPECT_EQ(Name(), "on");
  h->MouseDown(edit.get(), 5, 5);
  h->MouseUp(edit.get(), 100, 5);
  EXPECT_EQ(Name(), "on") << "released away from the switch: no toggle";
  h->Click(edit.get(), 100, 5);
  EXPECT_EQ(Name(), "on") << "a click outside the switch area";
  edit->SetCaption("&Active");
  Leave();
  h->Char(edit.get(), U'a', {ssAlt});
  EXPECT_TRUE(edit->Focused()) << "the caption's accelerator takes the focus";
  EXPECT_EQ(Name(), "off") << "and toggles the switch";
  Leave();
  data->Post();
  EXPECT_EQ(Name(), "off");
}

// One press of the switch, one toggle, however its messages are handed over: all queued before
// the control looks (a quick keystroke or click), the release after the rest, or each alone.
TEST_P(DevidEdit, SwitchTogglesOncePerPressHoweverTheInputIsQueued) {
  vision->SetEnableSwitches(true);
  vision->SetSurfaceKind(vskCustom);
  enum Queue { allAtOnce, releaseLater, eachAlone };
  struct Case {
    const char* what;
    bool byKey, focused;
  } const gestures[] = {{"space", true, true}, {"click", false, true}, {"click unfocused", false, false}};
  for (const Case& c : gestures)
    for (const Queue queue : {allAtOnce, releaseLater, eachAlone}) {
      SCOPED_TRACE(testing::Message() << c.what << " queued " << queue);
      c.focused ? Focus() : Leave();
      for (const String expected : {"on", "off"}) {
        h->Wait(600);  // a press, not the second half of a double click
        h->PumpAfterInput = queue == eachAlone;
        if (c.byKey) {
          h->KeyDown(edit.get(), VK_SPACE);
          h->Char(edit.get(), U' ');
        } else {
          h->MouseDown(edit.get(), 5, 5);
        }
        if (queue == releaseLater) h->Pump();
        if (c.byKey)
          h->KeyUp(edit.get(), VK_SPACE);
        else
          h->MouseUp(edit.get(), 5, 5);
        h->PumpAfterInput = true;
        h->Pump();
        EXPECT_EQ(Name(), expected);
        EXPECT_FALSE(edit->SwitchTracker().Tracking()) << "the press has ended";
      }
      EXPECT_TRUE(edit->Focused());
      EXPECT_EQ(edit->Text(), Name()) << "the space typed nothing";
    }
  EXPECT_TRUE(Log.empty()) << Log.front();
}

TEST_P(DevidEdit, MultiLineVisionKeepsEnterAsANewLine) {
  vision->SetMultiLine(true);
  vision->SetWantReturns(true);
  vision->RecreateEditors();
  h->Pump();
  Focus();
  Key(VK_END);
  Key(VK_RETURN, U'\r');
  Type(U"two");
  EXPECT_EQ(Name(), "Name001");
  EXPECT_EQ(edit->LineCount(), 2);
  EXPECT_EQ(edit->CurrentLine(), 1);
  Key(VK_RETURN, 0, {ssCtrl});
  EXPECT_EQ(Name(), edit->Text());
  EXPECT_NE(Name().find("two"), String::npos);
}

TEST_P(DevidEdit, DisplayIsPaintedByTheVisionThroughTheEditPainter) {
  std::vector<String> texts;
  bool standalone = false;
  TRect textRect;
  edit->OnDraw = [&](TObject*, TfvPainter* p) {
    texts.push_back(p->Text);
    standalone = p->Standalone;
    textRect = p->TextRect;
  };
  edit->Repaint();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Name001");
  EXPECT_TRUE(standalone);
  EXPECT_EQ(textRect.Top, 1);
  edit->SetCharCase(ecUpperCase);
  edit->Repaint();
  EXPECT_EQ(texts.back(), "NAME001");
  texts.clear();
  Focus();
  edit->Repaint();
  EXPECT_TRUE(texts.empty()) << "a focused text editor paints natively";
}

TEST_P(DevidEdit, AValueTheVisionCannotShowIsShownGreyAndNotEdited) {
  vision->AsNumber = true;
  edit->ResetEdit();
  std::vector<std::pair<String, TColor>> painted;
  edit->OnDraw = [&](TObject*, TfvPainter* p) { painted.emplace_back(p->Text, p->Canvas->Font()->Color()); };
  ASSERT_NO_THROW(edit->Repaint());
  ASSERT_FALSE(painted.empty());
  EXPECT_NE(painted.back().first.find("Name001"), String::npos) << "the failure's message: " << painted.back().first;
  EXPECT_EQ(painted.back().second, clGrayText);
  EXPECT_NE(edit->Text().find("Name001"), String::npos);
  Focus();
  Type(U"12");
  Key(VK_BACK);
  EXPECT_EQ(State(), dsBrowse) << "nothing typed over the message";
  EXPECT_EQ(Name(), "Name001");
  Leave();
  EXPECT_EQ(Name(), "Name001");
  EXPECT_TRUE(Log.empty()) << Log.front();
  vision->AsNumber = false;
  Focus();
  Type(U"x");
  EXPECT_EQ(State(), dsEdit) << "a value that can be shown is edited again";
}

TEST_P(DevidEdit, PublishedDefaultsAndMapping) {
  EXPECT_EQ(GetEnumProp(edit.get(), "BorderStyle"), "bs3D");
  EXPECT_EQ(GetSetProp(edit.get(), "MappingOptions"), "[eioImportDomain]");
  EXPECT_TRUE(IsPublishedProp(edit.get(), "OnAction"));
  EXPECT_NE(FindClass("TDBDevidEdit"), nullptr) << "registered for streaming";
  EXPECT_TRUE(IsStoredProp(edit.get(), GetPropInfo(edit.get(), "Vision")));

  edit->AddAttrs("a;b");
  edit->AddAttrs("a");
  EXPECT_EQ(edit->Attrs(), "b;a");
  EXPECT_TRUE(edit->HasAttrs("A"));
  edit->RemoveAttrs("b");
  EXPECT_EQ(edit->Attrs(), "a");
}

TEST_P(DevidEdit, ExitPostsBeforeOnExitAndAFailureSkipsIt) {
  edit->OnExit = [this](TObject*) { Log.push_back("exit " + Name()); };
  for (const std::u32string& typed : {std::u32string(U"oops!"), std::u32string(U"fine")}) {
    Focus();
    edit->SelectAll();
    Type(typed);
    Leave();
  }
  EXPECT_EQ(Log, (TLog{"error Cannot parse", "exit fine"}));
}

TEST_P(DevidEdit, MapperChoosesVisionAndCaptionUntilSetByHand) {
  TEditVision mapped(nullptr);
  TTestMapper mapper;
  mapper.Map.SetFieldName("NAME");
  mapper.Map.SetVision(&mapped);
  mapper.Map.SetCaption("Mapped");
  edit->SetMappingOptions({eioImportCaption, eioImportDomain});
  edit->SetMapper(&mapper);
  EXPECT_EQ(edit->Vision(), &mapped);
  EXPECT_EQ(edit->Caption(), "Mapped");
  EXPECT_EQ(edit->Fields().Caption(), "Mapped");
  EXPECT_FALSE(IsStoredProp(edit.get(), GetPropInfo(edit.get(), "Vision"))) << "an imported vision is not stored";
  edit->SetCaption("Mine");
  EXPECT_EQ(GetSetProp(edit.get(), "MappingOptions"), "[eioImportDomain]");
  edit->SetVision(vision.get());
  EXPECT_TRUE(edit->MappingOptions().Empty());
  edit->Perform(CM_FIELDMAPCHANGED);
  EXPECT_EQ(edit->Vision(), vision.get()) << "nothing is imported any more";
  edit->SetMapper(nullptr);
}

TEST_P(DevidEdit, DropDownOpensClosesAndTakesKeys) {
  TDropVision drop(nullptr);
  drop.Log = &Log;
  TDropDown form(edit.get(), &Log);
  drop.Form = &form;
  drop.SetEnableButton(true);
  drop.SetEnableDropDown(true);
  drop.Options = {ddoShowOnEnter};
  edit->SetVision(&drop);
  Focus();
  EXPECT_EQ(edit->ToolForm(), &form) << "opened after entering";
  EXPECT_NE(edit->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 0) << "Enter is the drop-down's";
  Key(VK_LEFT);
  Type(U"q");
  Key(VK_ESCAPE);
  Key(VK_DOWN, 0, {ssAlt});
  Key(VK_RETURN);
  const TRect b = edit->ButtonRect();
  h->Click(edit.get(), b.Left + 2, 3);
  h->Click(edit.get(), b.Left + 2, 3);
  EXPECT_EQ(Log, (TLog{"drop show", "drop key 37", "drop text", "drop close", "button vbsDropDown", "drop show", "drop close post",
                       "button vbsDropDown", "drop show", "button vbsDropDown", "drop close"}));
  Log.clear();
  edit->SetVision(vision.get());
}

TEST_P(DevidEdit, InplaceEditorLeavesClosingPressingAndCellDrawingToTheGrid) {
  TInplaceProbe inplace(&Log);
  inplace.SetBounds(10, 40, 150, 21);
  inplace.SetParent(form);
  inplace.SetVision(vision.get());
  inplace.SetDataSource(source.get());
  inplace.SetDataField("NAME");
  vision->SetEnableSwitches(true);
  vision->SetSurfaceKind(vskCustom);
  inplace.SetTextMargins({2, 2, 2, 2});
  inplace.SetFocus();
  h->Pump();
  h->MouseDown(&inplace, 4, 5);
  h->MouseUp(&inplace, 4, 5);
  inplace.Repaint();
  const auto draws = std::erase(Log, "grid draws");
  EXPECT_GT(draws, 0u) << "the grid draws the switch cell";
  EXPECT_EQ(Log, (TLog{"cell pressed", "cell released"}));
  EXPECT_EQ(Name(), "on");
  Log.clear();
  vision->SetSurfaceKind(vskEdit);
  vision->SetEnableSwitches(false);
  inplace.SelectAll();
  Type(U"x");
  Leave();
  EXPECT_EQ(Name(), "on") << "an in-place editor does not post on exit";
  EXPECT_TRUE(vision->PostChangesAndHide(inplace, false));
  EXPECT_EQ(Log, TLog{"grid close"});
}

TEST_P(DevidEdit, CustomSurfaceTurnsClipboardKeysIntoEditActions) {
  vision->SetSurfaceKind(vskCustom);
  Focus();
  struct Case {
    Word key;
    char32_t c;
    TShiftState shift;
    String logged;
  } cases[] = {
      {VK_INSERT, 0, {ssShift}, "action veaPaste"}, {VK_INSERT, 0, {ssCtrl}, "action veaCopy"},
      {VK_DELETE, 0, {ssShift}, "action veaCut"},   {'C', 3, {ssCtrl}, "action veaCopy"},
      {'V', 22, {ssCtrl}, "action veaPaste"},       {'X', 24, {ssCtrl}, "action veaCut"},
  };
  for (const Case& c : cases) {
    Key(c.key, c.c, c.shift);
    EXPECT_EQ(Log, TLog{c.logged}) << c.logged;
    Log.clear();
  }
  EXPECT_EQ(edit->Text(), "Name001") << "a custom surface is no text editor";
}

TEST_P(DevidEdit, ADestroyedVisionLeavesTheControlOnTheDefault) {
  auto gone = std::make_unique<TEditVision>(nullptr);
  edit->SetVision(gone.get());
  Focus();
  gone.reset();
  EXPECT_EQ(edit->Vision(), nullptr);
  EXPECT_EQ(edit->CurVision(), DefaultVision());
  Type(U"x");
  Leave();
  edit->Repaint();
}

TEST_P(DevidEdit, ButtonFaceFollowsBorderPressAndEnabledState) {
  vision->SetEnableButton(true);
  vision->SetButtonStyle(pbsEllipsis);
  struct Case {
    TvpBorderStyle border;
    bool pressed, enabled;
    unsigned bits;
  } cases[] = {
      {bs3D, false, true, 0},     {bsSoft, false, true, vbsSoft},      {bsFlat, false, true, vbsSoft | vbsMono},
      {bs3D, true, true, vbsPressed}, {bs3D, false, false, vbsDisabled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << EnumName(c.border) << " pressed " << c.pressed << " enabled " << c.enabled);
    edit->SetBorderStyle(c.border);
    edit->SetEnabled(c.enabled);
    if (c.enabled) Focus();
    const TRect b = edit->ButtonRect();
    TRect window;
    GetWindowRect(edit->Handle(), window);
    const TPoint frame{edit->ClientOrigin().X - window.Left, edit->ClientOrigin().Y - window.Top};
    if (c.pressed) h->MouseDown(edit.get(), b.Left + 2, 3);
    h->Pump();
    TBitmap expected;
    expected.SetSize(b.Width(), b.Height());
    vprDrawButton(vbkEllipsis, c.bits, *expected.Canvas(), {0, 0, b.Width(), b.Height()});
    int differing = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        differing += ColorToRGB(h->WindowPixel(edit.get(), frame.X + b.Left + x, frame.Y + y)) != ColorToRGB(expected.Canvas()->Pixels(x, y));
    EXPECT_EQ(differing, 0);
    if (c.pressed) h->MouseUp(edit.get(), b.Left + 2, 3);
    edit->SetEnabled(true);
    if (c.enabled) Leave();
  }
}

INSTANTIATE_TEST_SUITE_P(DataSets, DevidEdit, testing::ValuesIn(TestDataSets()),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace zvtest
