// Forms written to and read from form files with their controls inside their parents, their
// pop-up menus' item trees, references between them and the focused control.

#include "HarnessTest.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/FormText.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Form.h"
#include "platform/controls/MaskEdit.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/SpeedButton.h"
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

namespace zvtest {
namespace {

template <class T>
T* Make(TComponent* owner, const char* name, TWinControl* parent = nullptr) {
  auto* c = new T(owner);
  c->SetName(name);
  if constexpr (std::is_base_of_v<TControl, T>)
    if (parent) c->SetParent(parent);
  return c;
}

TMenuItem* Item(TForm* form, TMenuItem* parent, const char* name, const char* caption) {
  auto* item = Make<TMenuItem>(form, name);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

TPixelBuffer GlyphPixels() {
  TPixelBuffer pixels(4, 3, 0xFF000000u);
  pixels.Set(1, 2, 0xFFFF8000u);
  pixels.Set(3, 0, 0xFF00FF00u);
  return pixels;
}

// A form with a panel of edits and grouped buttons, and a pop-up menu with a radio sub-menu.
void BuildForm(TForm& form) {
  form.SetName("EditorForm");
  form.SetCaption("Edit a record");
  form.SetBounds(40, 30, 420, 300);
  form.SetBorderStyle(bsDialog);
  form.SetPosition(poScreenCenter);
  form.SetKeyPreview(true);

  auto* menu = Make<TPopupMenu>(&form, "EditMenu");
  menu->SetAutoPopup(false);
  Item(&form, menu->Items(), "CutItem", "Cu&t")->SetShortCut(ShortCut('X', {ssCtrl}));
  Item(&form, menu->Items(), "Line1", "-");
  TMenuItem* mode = Item(&form, menu->Items(), "ModeItem", "&Mode");
  for (const char* name : {"InsertItem", "OverwriteItem"}) {
    TMenuItem* radio = Item(&form, mode, name, name);
    radio->SetRadioItem(true);
    radio->SetGroupIndex(2);
  }
  mode->Items(1)->SetChecked(true);

  auto* panel = Make<TPanel>(&form, "Panel1", &form);
  panel->SetBounds(8, 8, 380, 240);
  panel->SetCaption("Details");
  panel->SetBevelOuter(bvLowered);

  auto* edit = Make<TEdit>(&form, "NameEdit", panel);
  edit->SetBounds(10, 10, 150, 21);
  edit->SetText("Jos\xC3\xA9");
  edit->SetMaxLength(40);
  edit->Font()->SetColor(clRed);
  edit->SetPopupMenu(menu);

  auto* date = Make<TMaskEdit>(&form, "DateEdit", panel);
  date->SetBounds(10, 40, 100, 21);
  date->SetEditMask("!99/99/0000;1;_");
  date->SetText("12/05/2024");

  auto* notes = Make<TRichEdit>(&form, "Notes", panel);
  notes->SetBounds(10, 70, 200, 80);
  notes->Lines()->Add("first line");
  notes->Lines()->Add("second \xC3\xBC line");

  for (const char* name : {"BoldButton", "ItalicButton"}) {
    auto* b = Make<TSpeedButton>(&form, name, panel);
    b->SetBounds(220, 10, 23, 22);
    b->SetGroupIndex(1);
    b->SetAllowAllUp(true);
  }
  auto* bold = static_cast<TSpeedButton*>(form.FindComponent("BoldButton"));
  bold->SetDown(true);
  bold->Glyph()->SetPixels(GlyphPixels());
  bold->SetVisible(false);

  // Tab order opposite to the z-order the controls are written in.
  notes->SetTabOrder(0);
  date->SetTabOrder(1);
  edit->SetTabOrder(2);
  form.SetActiveControl(edit);
}

template <class T>
T* Find(TForm& form, const char* name) {
  TComponent* c = form.FindComponent(name);
  EXPECT_NE(c, nullptr) << name;
  EXPECT_TRUE(c && c->InheritsFrom(T::StaticClass())) << name;
  return static_cast<T*>(c);
}

// What BuildForm made, checked on a form read back.
void ExpectBuiltForm(TForm& form) {
  EXPECT_EQ(form.Caption(), "Edit a record");
  EXPECT_EQ(form.BoundsRect(), (TRect{40, 30, 460, 330}));
  EXPECT_EQ(form.BorderStyle(), bsDialog);
  EXPECT_EQ(form.Position(), poScreenCenter);
  EXPECT_TRUE(form.KeyPreview());
  EXPECT_FALSE(form.Visible());

  auto* panel = Find<TPanel>(form, "Panel1");
  auto* edit = Find<TEdit>(form, "NameEdit");
  auto* date = Find<TMaskEdit>(form, "DateEdit");
  auto* notes = Find<TRichEdit>(form, "Notes");
  auto* bold = Find<TSpeedButton>(form, "BoldButton");
  auto* italic = Find<TSpeedButton>(form, "ItalicButton");
  auto* menu = Find<TPopupMenu>(form, "EditMenu");
  ASSERT_TRUE(panel && edit && date && notes && bold && italic && menu);

  EXPECT_EQ(panel->Parent(), &form);
  ASSERT_EQ(form.ControlCount(), 1) << "the menu is no control";
  ASSERT_EQ(panel->ControlCount(), 5);
  const TControl* expectedZ[] = {edit, date, notes, bold, italic};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(panel->Controls(i), expectedZ[i]) << "z-order " << i;
  EXPECT_EQ(panel->Caption(), "Details");
  EXPECT_EQ(panel->BevelOuter(), bvLowered);
  EXPECT_EQ(panel->BoundsRect(), (TRect{8, 8, 388, 248}));

  EXPECT_EQ(edit->Text(), "Jos\xC3\xA9");
  EXPECT_EQ(edit->MaxLength(), 40);
  EXPECT_EQ(edit->BoundsRect(), (TRect{10, 10, 160, 31}));
  EXPECT_FALSE(edit->ParentFont());
  EXPECT_EQ(edit->Font()->Color(), clRed);
  EXPECT_TRUE(date->ParentFont());
  EXPECT_EQ(edit->PopupMenu(), menu);

  EXPECT_EQ(date->EditMask(), "!99/99/0000;1;_");
  EXPECT_EQ(date->Text(), "12/05/2024");
  EXPECT_EQ(date->MaxLength(), 10);

  ASSERT_EQ(notes->Lines()->Count(), 2);
  EXPECT_EQ(notes->Lines()->Strings(0), "first line");
  EXPECT_EQ(notes->Lines()->Strings(1), "second \xC3\xBC line");

  EXPECT_TRUE(bold->Down());
  EXPECT_FALSE(italic->Down());
  EXPECT_EQ(italic->GroupIndex(), 1);
  EXPECT_TRUE(italic->AllowAllUp());
  EXPECT_FALSE(bold->Visible());
  EXPECT_TRUE(italic->Visible());
  EXPECT_EQ(bold->Glyph()->ToPixels(), GlyphPixels());
  EXPECT_TRUE(italic->Glyph()->Empty());

  EXPECT_EQ(notes->TabOrder(), 0);
  EXPECT_EQ(date->TabOrder(), 1);
  EXPECT_EQ(edit->TabOrder(), 2);
  EXPECT_EQ(form.ActiveControl(), edit);

  EXPECT_FALSE(menu->AutoPopup());
  TMenuItem* items = menu->Items();
  ASSERT_EQ(items->Count(), 3);
  EXPECT_EQ(items->Items(0)->Name(), "CutItem");
  EXPECT_EQ(items->Items(0)->ShortCut(), ShortCut('X', {ssCtrl}));
  EXPECT_TRUE(items->Items(1)->IsLine());
  TMenuItem* mode = items->Items(2);
  EXPECT_EQ(mode->Caption(), "&Mode");
  EXPECT_EQ(mode->GetParentComponent(), menu);
  ASSERT_EQ(mode->Count(), 2);
  EXPECT_EQ(mode->Items(0)->Name(), "InsertItem");
  EXPECT_EQ(mode->Items(0)->GetParentComponent(), mode);
  EXPECT_EQ(mode->Items(0)->Owner(), &form);
  EXPECT_TRUE(mode->Items(1)->Checked());
  EXPECT_FALSE(mode->Items(0)->Checked());
  mode->Items(0)->SetChecked(true);
  EXPECT_FALSE(mode->Items(1)->Checked()) << "still one radio group";
  mode->Items(1)->SetChecked(true);
}

// The object header line of name, with the indentation that shows its depth.
std::size_t HeaderAt(const String& text, const String& indent, const String& header) {
  return text.find("\n" + indent + "object " + header + "\n");
}

class FormStreaming : public THarnessTest {
protected:
  void TearDown() override {
    forms.clear();
    THarnessTest::TearDown();
  }
  TForm* NewForm() { return forms.emplace_back(std::make_unique<TForm>(nullptr)).get(); }
  std::vector<std::unique_ptr<TForm>> forms;
};

TEST_F(FormStreaming, TextNestsControlsInsideTheirParents) {
  TForm* form = NewForm();
  BuildForm(*form);
  const String text = ComponentToText(form);

  EXPECT_EQ(text.rfind("object EditorForm: TForm\n", 0), 0u) << text;
  const auto panel = HeaderAt(text, "  ", "Panel1: TPanel");
  const auto edit = HeaderAt(text, "    ", "NameEdit: TEdit");
  const auto menu = HeaderAt(text, "  ", "EditMenu: TPopupMenu");
  const auto insert = HeaderAt(text, "      ", "InsertItem: TMenuItem");
  ASSERT_NE(panel, String::npos) << text;
  ASSERT_NE(edit, String::npos) << "the edit's block lies inside the panel's:\n" << text;
  ASSERT_NE(menu, String::npos) << text;
  ASSERT_NE(insert, String::npos) << "sub-items inside their item inside the menu:\n" << text;
  const auto panelEnd = text.find("\n  end\n", panel);
  EXPECT_LT(panel, edit);
  EXPECT_LT(edit, panelEnd);
  EXPECT_LT(panelEnd, menu) << "controls first, then the components without a parent";
  EXPECT_LT(menu, insert);
  EXPECT_EQ(HeaderAt(text, "  ", "NameEdit: TEdit"), String::npos) << "no control at the top level twice";

  // Only what differs from the defaults, and an edit's text once (as Text, not Caption).
  EXPECT_NE(text.find("ActiveControl = NameEdit"), String::npos) << text;
  EXPECT_NE(text.find("PopupMenu = EditMenu"), String::npos);
  EXPECT_NE(text.find("Lines.Strings = (\n"), String::npos) << text;
  EXPECT_NE(text.find("Glyph.Data = {"), String::npos);
  EXPECT_EQ(text.find("Caption = 'Jos"), String::npos) << text;
  EXPECT_EQ(text.find("TabStop"), String::npos);
  EXPECT_EQ(text.find("AutoSelect"), String::npos);
  EXPECT_EQ(text.find("ShortCut = 0"), String::npos);
  EXPECT_EQ(text.find("\n  Visible = False"), String::npos) << "a form is hidden by default";
  EXPECT_NE(text.find("      Visible = False"), String::npos) << "the hidden button says so";
}

TEST_F(FormStreaming, TextAndBinaryRoundTripRestoreTheForm) {
  TForm* original = NewForm();
  BuildForm(*original);
  const String text = ComponentToText(original);

  TForm* fromText = NewForm();
  ASSERT_EQ(TextToComponent(text, fromText), fromText);
  ExpectBuiltForm(*fromText);
  EXPECT_EQ(ComponentToText(fromText), text) << "writing the form read back gives the same file";

  TForm* fromBinary = NewForm();
  BinaryToComponent(ComponentToBinary(original), fromBinary);
  ExpectBuiltForm(*fromBinary);

  // With no root the registered form class is created from the file.
  std::unique_ptr<TComponent> created(TextToComponent(text));
  ASSERT_TRUE(created && created->InheritsFrom(TForm::StaticClass()));
  ExpectBuiltForm(static_cast<TForm&>(*created));
  created.reset();

  // The restored references work: the form focuses its ActiveControl when shown, and the
  // edit's context menu is the restored menu.
  fromText->Show();
  h->Pump();
  auto* edit = static_cast<TEdit*>(fromText->FindComponent("NameEdit"));
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(Screen->ActiveControl(), edit);
  delete fromText->FindComponent("EditMenu");
  EXPECT_EQ(edit->PopupMenu(), nullptr) << "the reference was registered for free notification";
}

TEST_F(FormStreaming, MaskedTextIsReadOnItsMask) {
  // Text comes before EditMask in the file; a mask that drops its literals must still lay
  // the read text out on the mask, not take it as the raw edit text.
  TForm* form = NewForm();
  form->SetName("MaskForm");
  auto* date = Make<TMaskEdit>(form, "Date", form);
  date->SetEditMask("!99/99/0000;0;_");
  date->SetText("12052024");
  ASSERT_EQ(date->EditText(), "12/05/2024");
  auto* phone = Make<TMaskEdit>(form, "Phone", form);
  phone->SetEditMask("(999) 000-0000;1;_");
  phone->SetText("(555) 123-4567");

  TForm* read = NewForm();
  TextToComponent(ComponentToText(form), read);
  auto* readDate = static_cast<TMaskEdit*>(read->FindComponent("Date"));
  auto* readPhone = static_cast<TMaskEdit*>(read->FindComponent("Phone"));
  ASSERT_TRUE(readDate && readPhone);
  EXPECT_EQ(readDate->EditText(), "12/05/2024");
  EXPECT_EQ(readDate->Text(), "12052024");
  EXPECT_EQ(readPhone->EditText(), "(555) 123-4567");
  EXPECT_EQ(readPhone->MaxLength(), 14);
}

TEST_F(FormStreaming, AnUnknownClassFailsAndLeavesNothingHalfBuilt) {
  TForm* original = NewForm();
  BuildForm(*original);
  const String text = ComponentToText(original);

  // The stranger once inside the panel after controls were read, once deep in the menu tree.
  const std::pair<String, String> cases[] = {
      {"      Text = '12/05/2024'\n    end\n", "    object Gauge1: TNoSuchGauge\n    end\n"},
      {"        RadioItem = True\n      end\n", "      object Deep: TNoSuchItem\n      end\n"},
  };
  for (const auto& [after, stranger] : cases) {
    String bad = text;
    const auto at = bad.find(after);
    ASSERT_NE(at, String::npos) << after << "\n" << text;
    bad.insert(at + after.size(), stranger);

    TForm* target = NewForm();
    target->SetName("Target");
    EXPECT_THROW(TextToComponent(bad, target), EClassNotFound) << stranger;
    EXPECT_EQ(target->ComponentCount(), 0) << stranger;
    EXPECT_EQ(target->ControlCount(), 0);
    EXPECT_EQ(target->ActiveControl(), nullptr);
    EXPECT_FALSE(target->ComponentState().Contains(csLoading));

    // The form is still usable: the good file reads into it.
    TextToComponent(text, target);
    ExpectBuiltForm(*target);
  }
}

TEST_F(FormStreaming, ParentComponentsOfControlsAndMenuItems) {
  TForm* form = NewForm();
  BuildForm(*form);
  auto* panel = static_cast<TPanel*>(form->FindComponent("Panel1"));
  auto* edit = static_cast<TEdit*>(form->FindComponent("NameEdit"));
  auto* menu = static_cast<TPopupMenu*>(form->FindComponent("EditMenu"));
  EXPECT_FALSE(menu->HasParent());
  EXPECT_TRUE(edit->HasParent());
  EXPECT_EQ(edit->GetParentComponent(), panel);

  // A control ignores a parent that cannot hold controls; a menu item moves between parents.
  edit->SetParentComponent(menu);
  EXPECT_EQ(edit->Parent(), panel);
  edit->SetParentComponent(form);
  EXPECT_EQ(edit->Parent(), form);

  TMenuItem* cut = menu->Items()->Items(0);
  TMenuItem* mode = menu->Items()->Items(2);
  cut->SetParentComponent(mode);
  EXPECT_EQ(cut->Parent(), mode);
  EXPECT_EQ(menu->Items()->Count(), 2);
  EXPECT_EQ(mode->Count(), 3);
  cut->SetParentComponent(menu);
  EXPECT_EQ(cut->GetParentComponent(), menu);
  EXPECT_EQ(menu->Items()->Items(2), cut);

  // Children another root owns are not written with this form.
  TForm* other = NewForm();
  auto* foreign = Make<TEdit>(other, "Foreign", panel);
  std::vector<TComponent*> children;
  panel->GetChildren([&](TComponent* c) { children.push_back(c); }, form);
  EXPECT_EQ(std::count(children.begin(), children.end(), foreign), 0);
  EXPECT_EQ(children.size(), 4u);
  delete foreign;
}

TEST_F(FormStreaming, ColoursAndCursorsAreStoredByName) {
  TForm* form = NewForm();
  form->SetName("ShadeForm");
  form->SetColor(clInfoBk);
  form->SetCursor(crHandPoint);
  auto* panel = Make<TPanel>(form, "Panel1", form);
  panel->SetColor(RGB(1, 2, 3));  // no name: stays a number
  panel->SetCursor(-99);          // an application's own cursor
  panel->Font()->SetColor(clRed);
  const String text = ComponentToText(form);
  EXPECT_NE(text.find("\n  Color = clInfoBk\n"), String::npos) << text;
  EXPECT_NE(text.find("\n  Cursor = crHandPoint\n"), String::npos) << text;
  EXPECT_NE(text.find("\n    Color = 197121\n"), String::npos) << text;
  EXPECT_NE(text.find("\n    Cursor = -99\n"), String::npos) << text;
  EXPECT_NE(text.find("\n    Font.Color = clRed\n"), String::npos) << text;
  EXPECT_EQ(GetPropText(form, GetPropInfo(form, "Color")), "clInfoBk");
  EXPECT_EQ(GetPropText(panel->Font(), GetPropInfo(panel->Font(), "Color")), "clRed");

  // Written by hand, with a name where the writer would have one and a number where not.
  TForm* read = NewForm();
  TextToComponent("object ShadeForm: TForm\n  Color = clRed\n  Cursor = crSize\n"
                  "  object Panel1: TPanel\n    Color = clBtnFace\n    Cursor = -21\n"
                  "    Font.Color = clHighlightText\n  end\nend\n",
                  read);
  auto* readPanel = static_cast<TPanel*>(read->FindComponent("Panel1"));
  ASSERT_NE(readPanel, nullptr);
  EXPECT_EQ(read->Color(), clRed);
  EXPECT_EQ(read->Cursor(), crSizeAll);
  EXPECT_EQ(readPanel->Color(), clBtnFace);
  EXPECT_EQ(readPanel->Cursor(), crHandPoint);
  EXPECT_EQ(readPanel->Font()->Color(), clHighlightText);

  try {
    TextToComponent("object ShadeForm: TForm\n  Font.Color = clPlaid\nend\n", NewForm());
    ADD_FAILURE() << "an unknown colour name was read";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Error reading ShadeForm.Font.Color: Invalid property value");
  }
  String ident;
  EXPECT_TRUE(CursorToIdent(crSize, ident));
  EXPECT_EQ(ident, "crSizeAll");
  TCursor cursor = 0;
  EXPECT_TRUE(IdentToCursor("crnodrop", cursor));
  EXPECT_EQ(cursor, crNoDrop);
  EXPECT_FALSE(IdentToCursor("crPointer", cursor));
}

}  // namespace
}  // namespace zvtest
