// Posting a typed or picked value through the vision, the button action and the switches.

#include "ExpectMessage.h"
#include "VisionTestKit.h"

namespace zvtest {
namespace {

class PostingTest : public VisionFixture {
protected:
  void SetUp() override {
    VisionFixture::SetUp();
    Edit = MakeEditor("NAME");
    Vision->BeforePost = [this](TObject*, TgpFieldList* f, TgpFieldValue* v, bool& posted) {
      Edit->Calls().push_back("BeforePost(" + v->AsString() + ")");
      EXPECT_TRUE(f->InEdit() == false && f->PostLevel() > 0);
      if (OnBeforePost) OnBeforePost(*v, posted);
    };
    Vision->AfterPost = [this](TObject*, TgpFieldList*) { Edit->Calls().push_back("AfterPost"); };
  }
  void TearDown() override {
    Edit.reset();
    VisionFixture::TearDown();
  }
  String Name() { return Table->FieldByName("NAME")->AsString(); }

  std::unique_ptr<TTestEditor> Edit;
  std::function<void(TgpFieldValue&, bool&)> OnBeforePost;
};

TEST_F(PostingTest, TypedTextIsParsedAndWrittenWithEventsInOrder) {
  Edit->Type("Zoë");
  Edit->Calls().clear();
  EXPECT_TRUE(Vision->PostChanges(*Edit, true));
  EXPECT_EQ(Name(), "Zoë");
  EXPECT_EQ(Edit->Calls(), (Log{"RemovePendingKeys", "CancelMode", "BeforePost(Zoë)", "AfterPost", "SelectAll",
                                "DoAfterPost"}));
  EXPECT_FALSE(Edit->Fields().Modified());
  EXPECT_EQ(Edit->Fields().PostLevel(), 0);
  EXPECT_EQ(Table->State(), dsEdit) << "the record itself is posted by the dataset later";
}

TEST_F(PostingTest, APickedValueStartsEditingAndIsTakenUnparsed) {
  Edit->EditText = "ignored";
  Edit->CurrentValue().SetDataType(ftString);
  Edit->CurrentValue().SetAsString("Picked");
  Edit->CurrentValue().SetTextChanged(true);
  EXPECT_FALSE(Edit->Fields().Modified());
  EXPECT_TRUE(Vision->PostChanges(*Edit, false));
  EXPECT_EQ(Name(), "Picked");
  EXPECT_EQ(Edit->Calls(), (Log{"RemovePendingKeys", "CancelMode", "DoBeforeEdit", "DoBeginEdit",
                                "BeforePost(Picked)", "AfterPost", "DoAfterPost"}));

  // A picked value on a list that may not edit goes nowhere.
  Edit->Calls().clear();
  Edit->HostCanModify = false;
  Edit->CurrentValue().SetAsString("Other");
  EXPECT_FALSE(Vision->PostChanges(*Edit, false));
  EXPECT_EQ(Name(), "Picked");
  EXPECT_EQ(Edit->Calls(), (Log{"RemovePendingKeys", "CancelMode"}));
}

TEST_F(PostingTest, ACustomSurfacePostsItsCurrentValue) {
  auto flag = MakeEditor("FLAG");
  flag->Custom = true;
  Vision->SetSurfaceKind(vskCustom);
  flag->MaskAccepts = [](const String&) { return false; };  // a custom surface has no text to check
  flag->Fields().EditInt(true);
  flag->CurrentValue().SetDataType(ftInteger);
  flag->CurrentValue().SetAsInteger(1);
  flag->CurrentValue().SetModified(false);
  EXPECT_TRUE(Vision->PostChanges(*flag, false));
  EXPECT_EQ(Table->FieldByName("FLAG")->AsInteger(), 1);
}

TEST_F(PostingTest, NothingToPostFiresNothing) {
  EXPECT_FALSE(Vision->PostChanges(*Edit, false));
  Edit->Fields().EditInt(true);  // editing started, but nothing typed
  Edit->Calls().clear();
  EXPECT_FALSE(Vision->PostChanges(*Edit, true));
  EXPECT_EQ(Edit->Calls(), (Log{"RemovePendingKeys", "CancelMode", "SelectAll"}));
  EXPECT_TRUE(Edit->Fields().Modified());
  EXPECT_EQ(Name(), "Eve");
}

TEST_F(PostingTest, MaskRejectionKeepsFieldTextAndModifiedState) {
  Edit->MaskAccepts = [](const String& text) { return text.size() == 3; };
  Edit->Type("Toolong");
  Edit->Calls().clear();
  EXPECT_EQ(MessageOf<EZVError>([&] { Vision->PostChanges(*Edit, false); }), "Invalid input text");
  EXPECT_EQ(Name(), "Eve");
  EXPECT_EQ(Edit->EditText, "Toolong");
  EXPECT_TRUE(Edit->Fields().Modified());
  EXPECT_EQ(Edit->Fields().PostLevel(), 0);
  EXPECT_EQ(std::count(Edit->Calls().begin(), Edit->Calls().end(), "DoAfterPost"), 0);
  Edit->EditText = "Ann";
  EXPECT_TRUE(Vision->PostChanges(*Edit, false));
  EXPECT_EQ(Name(), "Ann");
}

TEST_F(PostingTest, BeforePostMayTakeOverOrChangeTheValue) {
  OnBeforePost = [](TgpFieldValue&, bool& posted) { posted = true; };
  Edit->Type("Handled");
  EXPECT_TRUE(Vision->PostChanges(*Edit, false));
  EXPECT_EQ(Name(), "Eve") << "the handler wrote it (here: nowhere)";
  EXPECT_FALSE(Edit->Fields().Modified());
  EXPECT_EQ(Edit->Calls().back(), "DoAfterPost");
  EXPECT_NE(std::find(Edit->Calls().begin(), Edit->Calls().end(), "AfterPost"), Edit->Calls().end());

  OnBeforePost = [](TgpFieldValue& v, bool&) { v.SetAsString(v.AsString() + "!"); };
  Edit->Type("Hey");
  EXPECT_TRUE(Vision->PostChanges(*Edit, false));
  EXPECT_EQ(Name(), "Hey!");
}

TEST_F(PostingTest, ParseCancelPostsNothing) {
  Vision->ParseText = [](IvpFieldEditor&, TgpFieldValue&, bool& cancel) { cancel = true; };
  Edit->Type("X");
  Edit->Calls().clear();
  EXPECT_FALSE(Vision->PostChanges(*Edit, false));
  EXPECT_EQ(Edit->Calls(), (Log{"RemovePendingKeys", "CancelMode"}));
  EXPECT_TRUE(Edit->Fields().Modified());
}

TEST_F(PostingTest, FailuresCloseTheBracketKeepModifiedAndALaterPostingSucceeds) {
  // Each way of failing once: the parser, BeforePost, and the field refusing the text.
  for (int kind = 0; kind < 3; ++kind) {
    auto edit = MakeEditor(kind == 2 ? "AGE" : "NAME");
    int failures = 1;
    Vision->ParseText = nullptr;
    Vision->BeforePost = nullptr;
    if (kind == 0)
      Vision->ParseText = [&](IvpFieldEditor& e, TgpFieldValue& v, bool&) {
        if (failures-- > 0) throw EZVError("bad text");
        v.SetAsString(e.Text());
      };
    if (kind == 1)
      Vision->BeforePost = [&](TObject*, TgpFieldList*, TgpFieldValue*, bool&) {
        if (failures-- > 0) throw EZVError("refused");
      };
    edit->Type(kind == 2 ? "forty" : "Ned");
    edit->Calls().clear();
    EXPECT_ANY_THROW(Vision->PostChanges(*edit, true)) << kind;
    EXPECT_EQ(edit->Fields().PostLevel(), 0) << kind;
    EXPECT_TRUE(edit->Fields().Modified()) << kind;
    EXPECT_EQ(edit->Calls(), (Log{"RemovePendingKeys", "CancelMode", "SelectAll"})) << kind;
    if (kind == 2) edit->EditText = "41";
    EXPECT_TRUE(Vision->PostChanges(*edit, false)) << kind;
    EXPECT_FALSE(edit->Fields().Modified()) << kind;
    EXPECT_EQ(edit->Calls().back(), "DoAfterPost") << kind;
  }
  EXPECT_EQ(Name(), "Ned");
  EXPECT_EQ(Table->FieldByName("AGE")->AsInteger(), 41);
}

TEST_F(PostingTest, ANestedPostingReportsToTheHostAtTheOutermostEnd) {
  Edit->Type("Inner");
  Edit->Fields().BeginPostChanges();
  EXPECT_TRUE(Vision->PostChanges(*Edit, false));
  EXPECT_EQ(std::count(Edit->Calls().begin(), Edit->Calls().end(), "DoAfterPost"), 0);
  Edit->Fields().EndPostChanges(true);
  EXPECT_EQ(Edit->Calls().back(), "DoAfterPost");
}

TEST_F(PostingTest, NullValueClearsTheField) {
  TgpFieldValue value;
  value.SetDataType(ftString);
  Table->Edit();
  Vision->VM_SetFieldValue(Edit->Fields(), value);
  EXPECT_TRUE(Table->FieldByName("NAME")->IsNull());
}

TEST_F(PostingTest, PostAndHideGoesThroughTheGridForTheInplaceEditor) {
  TTestEditor inplace(&Link, true);
  inplace.SetVision(Vision.get());
  inplace.Bind("NAME");
  inplace.Calls().clear();
  inplace.HideResult = false;
  EXPECT_FALSE(Vision->PostChangesAndHide(inplace, false));
  EXPECT_EQ(inplace.Calls(), (Log{"HideWithPosting"}));
  Edit->Type("Solo");
  EXPECT_TRUE(Vision->PostChangesAndHide(*Edit, false));
  EXPECT_EQ(Name(), "Solo");
}

TEST_F(PostingTest, ResetEditReloadsTheCurrentValueFromTheField) {
  TfvCurrentValue& cv = Edit->CurrentValue();
  EXPECT_FALSE(cv.AutoChangeType());
  EXPECT_TRUE(cv.ConvertOnChange());
  EXPECT_EQ(cv.Editor(), static_cast<IvpFieldEditor*>(Edit.get()));
  cv.SetDataType(ftInteger);
  cv.SetAsInteger(3);
  cv.SetTextChanged(true);
  Vision->PE_ResetEdit(*Edit);
  EXPECT_EQ(cv.DataType(), ftString);
  EXPECT_EQ(cv.AsString(), "Eve");
  EXPECT_FALSE(cv.Modified());
  EXPECT_FALSE(cv.TextChanged());
}

// ---------------------------------------------------------------------------------------------
// Button

TEST_F(PostingTest, ButtonClickReportsItsTriggerAndReturnsToNormal) {
  std::vector<TfvButtonState> seen;
  Vision->OnButtonClick = [&](TObject*, TgpFieldList*) { seen.push_back(Vision->ButtonState()); };
  Vision->ButtonClick(*Edit, vbsClick);
  Vision->ButtonClick(*Edit, vbsShortCut2);
  EXPECT_EQ(seen, (std::vector<TfvButtonState>{vbsClick, vbsShortCut2}));
  EXPECT_EQ(Vision->ButtonState(), vbsNormal);
  EXPECT_TRUE(Edit->Calls().empty()) << "no drop-down without EnableDropDown";

  Vision->SetEnableDropDown(true);  // with the drop-down style a click opens it
  Vision->ButtonClick(*Edit, vbsClick);
  Vision->ButtonClick(*Edit, vbsShortCut);
  EXPECT_EQ(seen.back(), vbsDropDown);
  EXPECT_EQ(Edit->Calls(), (Log{"DropDown", "DropDown(post)"}));

  Vision->SetButtonStyle(pbsEllipsis);
  Edit->Calls().clear();
  Vision->OnPEButtonClick = [&](IvpFieldEditor&) { Vision->SetButtonState(vbsDropDown); };
  Vision->ButtonClick(*Edit, vbsEditAreaClick);
  EXPECT_EQ(Edit->Calls(), (Log{"DropDown"})) << "the operation itself may ask for the drop-down";

  Vision->OnPEButtonClick = [](IvpFieldEditor&) { throw EZVError("x"); };
  EXPECT_THROW(Vision->ButtonClick(*Edit, vbsClick), EZVError);
  EXPECT_EQ(Vision->ButtonState(), vbsNormal);
}

// ---------------------------------------------------------------------------------------------
// Switches

TEST_F(PostingTest, SwitchHitsCountOnlyWhenTheFieldMayChange) {
  auto flag = MakeEditor("FLAG");
  Vision->SwitchHit = true;
  EXPECT_TRUE(Vision->KeySwitchHit(*flag, ' ', {}));
  EXPECT_TRUE(flag->Calls().empty());
  EXPECT_TRUE(Vision->MouseSwitchHit(*flag, 3, 3, {}));
  EXPECT_EQ(flag->Calls(), (Log{"CaptureMouse"}));
  EXPECT_FALSE(Vision->MouseSwitchHit(*flag, 30, 3, {})) << "outside the switch";

  flag->HasFocus = false;
  EXPECT_FALSE(Vision->KeySwitchHit(*flag, ' ', {}));
  flag->HasFocus = true;
  flag->Fields().SetValid(false);
  EXPECT_FALSE(Vision->KeySwitchHit(*flag, ' ', {}));
  flag->Fields().SetValid(true);
  flag->HostCanModify = false;
  EXPECT_FALSE(Vision->KeySwitchHit(*flag, ' ', {}));
  flag->HostCanModify = true;

  Vision->SetOptionsSwitch({vsoEditDataSet, vsoNeedEditing});
  EXPECT_FALSE(Vision->KeySwitchHit(*flag, ' ', {}));
  Table->Edit();
  EXPECT_TRUE(Vision->KeySwitchHit(*flag, ' ', {}));
  Vision->SwitchHit = false;
  EXPECT_FALSE(Vision->KeySwitchHit(*flag, ' ', {}));
}

TEST_F(PostingTest, SwitchActionTogglesInsideABracket) {
  auto flag = MakeEditor("FLAG");
  Vision->KeySwitch(*flag);
  EXPECT_EQ(Table->FieldByName("FLAG")->AsInteger(), 1);
  EXPECT_EQ(flag->Calls(), (Log{"DoBeforeEdit", "DoBeginEdit", "Repaint", "DoAfterPost"}));
  EXPECT_FALSE(flag->Fields().Modified()) << "a switch edits without marking the list";

  flag->Calls().clear();
  Vision->SwitchPosted = false;
  Vision->MouseSwitch(*flag);
  EXPECT_EQ(Table->FieldByName("FLAG")->AsInteger(), 0);
  EXPECT_EQ(flag->Calls(), (Log{"DoBeforeEdit", "DoBeginEdit", "Repaint"}));

  flag->Calls().clear();
  flag->HostCanModify = false;
  Vision->KeySwitch(*flag);
  EXPECT_EQ(Vision->Toggles, 2) << "no toggle when editing cannot start";
  EXPECT_TRUE(flag->Calls().empty());
}

}  // namespace
}  // namespace zvtest
