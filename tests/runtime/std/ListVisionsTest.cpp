// The list visions on the headless backend under a stand-alone edit control, over the memory
// table and SQLite (ID 1..3, NAME "Name001"...): published defaults, the pick list and its
// kinds, filtered typing with completion, the most-recently-used order, OnGetValue, Assign, one
// vision in two editors, and the drop-down the tool-form vision shows.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/TypeInfo.h"
#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/DevidEdit.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

using namespace zv;

std::string Lines(const TStrings* list) {
  std::string s;
  for (int i = 0; i < list->Count(); ++i) s += (i ? "," : "") + list->Strings(i);
  return s;
}

// Every published ordinal property a class declares a default for starts with that default:
// a stored form leaves such a value out, and it must read back the same.
template <class V>
void ExpectStartsWithPublishedDefaults() {
  V fresh(nullptr);
  for (const TPropInfo* p : GetPropInfos(V::StaticClass()))
    if (p->Published && p->Default != NoDefault && p->GetOrd) {
      EXPECT_EQ(GetOrdProp(&fresh, p), p->Default) << V::StaticClass()->ClassName() << "." << p->Name;
    }
}

TEST(ListVisionDefaults, EachClassStartsWithWhatItPublishes) {
  ExpectStartsWithPublishedDefaults<TLiteVision>();
  ExpectStartsWithPublishedDefaults<TStandardVision>();
  ExpectStartsWithPublishedDefaults<TOwnerDrawVision>();
  TStandardVision v(nullptr);
  EXPECT_EQ(v.ButtonStyle(), pbsDropDown);
  EXPECT_TRUE(v.FilterTyping());
  EXPECT_TRUE(v.EnableDropDown());
  EXPECT_EQ(v.DropDownRows(), 7);
  for (int bad : {0, -3}) {
    try {
      v.SetDropDownRows(bad);
      ADD_FAILURE() << bad;
    } catch (const EZVError& e) {
      EXPECT_EQ(e.Message(), "Value must be positive (" + std::to_string(bad) + ")");
    }
  }
  EXPECT_EQ(v.DropDownRows(), 7);
}

TEST(ListVisionDefaults, PickListAssignmentAndSorting) {
  TStandardVision v(nullptr);
  TStringList source;
  for (const char* s : {"c", "a", "b"}) source.Add(s);
  v.SetPickList(&source);
  EXPECT_EQ(Lines(v.PickList()), "c,a,b");
  v.SetPickList(v.PickList());
  EXPECT_EQ(Lines(v.PickList()), "c,a,b") << "assigned itself, nothing changes";
  v.SetPickListType(pltSorted);
  EXPECT_EQ(Lines(v.PickList()), "a,b,c");
  v.PickList()->Add("b");
  EXPECT_EQ(Lines(v.PickList()), "a,b,c") << "a sorted list ignores what it holds";
  v.SetPickListType(pltDefault);
  v.PickList()->Add("0");
  EXPECT_EQ(Lines(v.PickList()), "a,b,c,0") << "unsorted again, the order is kept";
  v.SetPickList(nullptr);
  EXPECT_EQ(v.PickList()->Count(), 0);

  TStandardVision copy(nullptr);
  v.SetPickList(&source);
  v.SetMaxLength(9);
  v.SetNullable(false);
  v.SetDropDownRows(3);
  v.SetSkipCharValidation(true);
  v.SetDropDownOptions({ddoShowOnEnter});
  copy.Assign(&v);
  EXPECT_EQ(Lines(copy.PickList()), "c,a,b");
  EXPECT_EQ(copy.MaxLength(), 9);
  EXPECT_FALSE(copy.Nullable());
  EXPECT_EQ(copy.DropDownRows(), 3);
  EXPECT_TRUE(copy.SkipCharValidation());
  EXPECT_TRUE(copy.SupportsDropDownOption(ddoShowOnEnter));
}

class ListVisions : public THarnessTest, public testing::WithParamInterface<DataSetFactory> {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    data = GetParam().Create(3);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(data.get());
    vision = std::make_unique<TStandardVision>(nullptr);
    for (const char* s : {"Apple", "Banana", "Éclair", "Дом"}) vision->PickList()->Add(s);
    edit = MakeEdit(10);
    other = MakeEdit(40);
    h->Pump();
  }
  void TearDown() override {
    form.reset();
    vision.reset();
    source.reset();
    data.reset();
    THarnessTest::TearDown();
  }
  TDBDevidEdit* MakeEdit(int top) {
    auto* e = new TDBDevidEdit(form.get());
    e->SetBounds(10, top, 150, 21);
    e->SetParent(form.get());
    e->SetVision(vision.get());
    e->SetDataSource(source.get());
    e->SetDataField("NAME");
    return e;
  }
  void Enter(TDBDevidEdit* e) {
    e->SetFocus();
    h->Pump();
    e->SelectAll();
  }
  // A key with its character, as a keyboard gives it.
  void Key(TDBDevidEdit* e, Word key, char32_t c) {
    h->KeyDown(e, key);
    if (c) h->Char(e, c);
    h->KeyUp(e, key);
  }
  void Type(TDBDevidEdit* e, const std::u32string& text) {
    for (char32_t c : text) Key(e, c < 128 ? static_cast<Word>(std::toupper(static_cast<int>(c))) : Word('X'), c);
  }
  std::string State(TDBDevidEdit* e) {
    return e->Text() + " [" + std::to_string(e->SelStart()) + "," + std::to_string(e->SelLength()) + "]";
  }

  std::unique_ptr<TForm> form;
  std::unique_ptr<TDataSet> data;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TStandardVision> vision;
  TDBDevidEdit* edit = nullptr;
  TDBDevidEdit* other = nullptr;
};

TEST_P(ListVisions, FilteredTypingCompletesRefusesAndDeletes) {
  struct Case {
    const char* Name;
    bool ValuesOnly;
    std::u32string Typed;
    int Backspaces;
    std::string Expected;
    const char* Current;  // the editor's current value afterwards; null: null
  } cases[] = {
      {"completion", true, U"b", 0, "Banana [1,5]", "Banana"},
      {"completion ignores case", true, U"BA", 0, "Banana [2,4]", "Banana"},
      {"accented", true, U"é", 0, "Éclair [1,5]", "Éclair"},
      {"cyrillic", true, U"д", 0, "Дом [1,2]", "Дом"},
      {"refused", true, U"bx", 0, "Banana [1,5]", "Banana"},
      {"not in the list, allowed", false, U"bx", 0, "Bx [2,0]", nullptr},
      {"deleting never refused", true, U"ap", 1, "Ap [2,0]", "Apple"},
      {"emptied, nullable", true, U"a", 2, " [0,0]", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    vision->SetPickListValuesOnly(c.ValuesOnly);
    Enter(edit);
    Type(edit, c.Typed);
    for (int i = 0; i < c.Backspaces; ++i) Key(edit, VK_BACK, U'\b');
    EXPECT_EQ(State(edit), c.Expected);
    if (c.Current) {
      EXPECT_EQ(edit->CurrentValue().AsString(), c.Current);
    } else {
      EXPECT_TRUE(edit->CurrentValue().IsNull());
    }
    Key(edit, VK_ESCAPE, 0);
    other->SetFocus();
    h->Pump();
  }
}

TEST_P(ListVisions, MostRecentlyUsedNeverHoldsAValueTwice) {
  vision->SetPickList(nullptr);
  for (const char* s : {"a", "b", "c"}) vision->PickList()->Add(s);
  vision->SetPickListType(pltMRU);
  vision->SetPickListValuesOnly(false);
  int newValues = 0;
  vision->OnNewValue = [&](TObject*, TgpFieldList*, String& value, bool&) {
    ++newValues;
    if (value == "x") value = "X";
  };
  struct Case {
    const char* Typed;
    std::string Expected;
  } cases[] = {{"d", "d,a,b,c"}, {"b", "b,d,a,c"}, {"x", "X,b,d,a,c"}, {"b", "b,X,d,a,c"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed);
    Enter(edit);
    TgpFieldValue value;
    bool cancel = false;
    edit->SetDataText(c.Typed, false);
    vision->PE_ParseText(*edit, value, cancel);
    vision->VM_SetFieldValue(edit->Fields(), value);
    EXPECT_EQ(Lines(vision->PickList()), c.Expected);
    // The editor's list dataset shows the new order.
    TDataSet* list = vision->DL_EditDataSource(edit->Fields())->DataSet();
    list->First();
    EXPECT_EQ(list->FieldByName("value")->AsString() + "," + std::to_string(list->RecordCount()),
              c.Expected.substr(0, c.Expected.find(',')) + "," + std::to_string((c.Expected.size() + 1) / 2));
    other->SetFocus();
    h->Pump();
  }
  EXPECT_EQ(newValues, 4) << "every typed value is offered, held or not";
}

TEST_P(ListVisions, EachEditorFiltersAgainstItsOwnList) {
  Enter(edit);
  Enter(other);
  Enter(edit);
  EXPECT_EQ(vision->DL_EditDataSource(edit->Fields()), edit->AllocDataSource());
  EXPECT_EQ(vision->DL_EditDataSource(other->Fields()), other->AllocDataSource());
  // The editor initialised last goes; typing in the first still completes from its own list.
  delete other;
  other = MakeEdit(70);
  Enter(edit);
  Type(edit, U"b");
  EXPECT_EQ(State(edit), "Banana [1,5]");
}

TEST_P(ListVisions, TextWithoutAFieldComesFromOnGetValue) {
  TLiteVision lite(nullptr);
  edit->SetVision(&lite);
  edit->SetDataField("NOPE");
  bool valid = false;
  lite.VM_ValidFields(edit->Fields(), valid);
  EXPECT_TRUE(valid) << "a missing field is valid";
  EXPECT_EQ(lite.GetText(edit->Fields(), true), "");
  lite.OnGetValue = [](TObject*, TgpFieldList*, String& value, bool&) { value = "given"; };
  EXPECT_EQ(lite.GetText(edit->Fields(), true), "given");
  edit->SetDataField("NAME");
  EXPECT_EQ(lite.GetText(edit->Fields(), true), "Name001");
  edit->SetEditFormat("999");
  String mask;
  lite.PE_GetEditMask(edit->Fields(), mask);
  EXPECT_EQ(mask, "999") << "the host's edit format wins";
  edit->SetVision(vision.get());
}

// Which visions let a search ask the dataset for their field's own text: the lite vision on a
// field without a text handler; not on OnGetValue's text, not with a handler, not the others.
TEST_P(ListVisions, TheFieldASearchCanAskTheDatasetFor) {
  TLiteVision lite(nullptr);
  edit->SetVision(&lite);
  TFieldTextKind kind = ftkValueString;
  EXPECT_EQ(lite.AutoSearchField(edit->Fields(), kind), data->FieldByName("NAME"));
  EXPECT_EQ(kind, ftkDisplayText);
  edit->SetDataField("ID");
  EXPECT_EQ(lite.AutoSearchField(edit->Fields(), kind), data->FieldByName("ID"));
  EXPECT_EQ(kind, ftkEditText) << "numbers are searched as typed";
  edit->SetDataField("NOPE");
  EXPECT_EQ(lite.AutoSearchField(edit->Fields(), kind), nullptr);
  edit->SetDataField("NAME");
  lite.OnGetText = [](TObject*, TgpFieldList*, bool, String&) {};
  EXPECT_EQ(lite.AutoSearchField(edit->Fields(), kind), nullptr);
  edit->SetVision(vision.get());
  EXPECT_EQ(vision->AutoSearchField(edit->Fields(), kind), nullptr) << "a pick list's text is its own";
}

TEST_P(ListVisions, OwnerDrawNeedsNoFieldAndHandsOnActionsAndItsMenu) {
  TOwnerDrawVision drawn(nullptr);
  EXPECT_EQ(drawn.SurfaceKind(), vskCustom);
  edit->SetVision(&drawn);
  edit->SetDataField("");
  bool valid = false;
  drawn.VM_ValidFields(edit->Fields(), valid);
  EXPECT_TRUE(valid);
  std::vector<TvpEditAction> actions;
  drawn.OnEditAction = [&](TObject*, TgpFieldList* fields, TvpEditAction a) {
    EXPECT_EQ(fields, &edit->Fields());
    actions.push_back(a);
  };
  drawn.PE_EditAction(*edit, veaPaste);
  EXPECT_EQ(actions, std::vector<TvpEditAction>{veaPaste});
  auto* menu = new TPopupMenu(form.get());
  drawn.SetPopupMenu(menu);
  EXPECT_EQ(drawn.DefaultPopupMenu(), menu);
  EXPECT_EQ(edit->PopupMenu(), menu) << "the editor took the vision's menu";
  delete menu;
  EXPECT_EQ(drawn.PopupMenu(), nullptr);
  EXPECT_EQ(edit->PopupMenu(), nullptr);
  edit->SetVision(vision.get());
}

TEST_P(ListVisions, TheDropDownShowsForTheVisionWithItsList) {
  auto* panel = new TVisionToolForm(form.get());
  panel->SetBounds(200, 100, 100, 60);
  panel->SetParent(form.get());
  vision->SetDropDown(panel);
  EXPECT_EQ(vision->DefaultToolForm(), panel);
  Enter(edit);
  TDataSource* shownWith = nullptr;
  panel->OnShow = [&](TObject*) { shownWith = vision->DefDataSource(); };
  edit->DropDownBtnClick(false);
  EXPECT_EQ(vision->CallbackInterface(), panel);
  EXPECT_EQ(shownWith, edit->AllocDataSource());
  // Typing that completes tells the open drop-down.
  int told = 0;
  panel->OnCurrentChanged = [&](TObject*) { ++told; };
  Type(edit, U"a");
  EXPECT_EQ(told, 1);
  Key(edit, VK_ESCAPE, 0);
  EXPECT_EQ(vision->CallbackInterface(), nullptr);
  EXPECT_EQ(vision->DefDataSource(), nullptr);
  // A vision destroyed while its drop-down shows closes it, unposted.
  auto* gone = new TStandardVision(nullptr);
  gone->SetDropDown(panel);
  edit->SetVision(gone);
  Enter(edit);
  int posted = 0;
  panel->OnPostChanges = [&](TObject*) { ++posted; };
  panel->SetOptions({tfoAlwaysPostChanges});
  edit->DropDownBtnClick(false);
  ASSERT_EQ(edit->ToolForm(), panel);
  panel->tfValueChanged();
  delete gone;
  EXPECT_EQ(edit->ToolForm(), nullptr);
  EXPECT_FALSE(panel->Visible());
  EXPECT_EQ(panel->User(), nullptr);
  EXPECT_EQ(posted, 0);
  edit->SetVision(vision.get());
  delete panel;
  EXPECT_EQ(vision->DropDown(), nullptr);
  // Back to the class's own: the default pack's list while the pack runs.
  EXPECT_EQ(vision->DefaultToolForm(), zvDefPack ? zvDefPack->vtfDataList : nullptr);
}

INSTANTIATE_TEST_SUITE_P(DataSets, ListVisions, testing::ValuesIn(TestDataSets()),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace zvtest
