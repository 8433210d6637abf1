// Property editors and component editors on a designed form.

#include "DesignTestClasses.h"
#include "ExpectMessage.h"

#include "platform/controls/Application.h"
#include "platform/controls/Menus.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/Panel.h"
#include "platform/controls/StdCtrls.h"

namespace zvtest {

namespace {

struct TEditorsTest : ::testing::Test {
  TDesignedForm designed;
  TFormDesigner& designer = *designed.Designer;
  TWidget* widget = static_cast<TWidget*>(designer.CreateComponent(TWidget::StaticClass(), nullptr, 0, 0, 0, 0));
  TWidget* other = static_cast<TWidget*>(designer.CreateComponent(TWidget::StaticClass(), nullptr, 0, 0, 0, 0));
  TNotificationLog log;
  std::vector<std::unique_ptr<TPropertyEditor>> editors = EditorsOf({widget}, &designer);
  TPropertyEditor& Editor(const std::string& name) {
    TPropertyEditor* e = Find(editors, name);
    if (!e) throw std::runtime_error("no editor " + name);
    return *e;
  }
  void SetUp() override { designer.SetModified(false); }
};

}  // namespace

TEST_F(TEditorsTest, StandardEditorsShowAndSetEveryKind) {
  other->SetText("peer");
  const struct {
    const char* Prop;
    const char* Text;
    const char* Shown;
  } cases[] = {
      {"Count", " 42 ", "42"},
      {"Level", "255", "255"},
      {"Mark", "x", "x"},
      {"Mark", "#9", "#9"},
      {"Mood", "tmangry", "tmAngry"},
      {"Flag", "True", "True"},
      {"Ratio", "2.5", "2.5"},
      {"Text", "caf\xc3\xa9", "caf\xc3\xa9"},
      {"Moods", "[tmCalm,tmAngry]", "[tmCalm,tmAngry]"},
      {"Buddy", "Widget2", "Widget2"},
      {"Buddy", "", ""},
      {"Color", "clRed", "clRed"},
      {"Color", "66", "$00000042"},
      {"Cursor", "crHandPoint", "crHandPoint"},
      {"Keys", "shift+ctrl+f5", "Shift+Ctrl+F5"},
      {"Keys", "(None)", "(None)"},
      {"Big", "1234567890123", "1234567890123"},
      {"OnChange", "WidgetChanged", "WidgetChanged"},
      {"OnClick", "Widget1Tap", "Widget1Tap"},
      {"Name", "Knob", "Knob"},
  };
  int modifications = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Prop) + " = " + c.Text);
    TPropertyEditor& e = Editor(c.Prop);
    e.SetValue(c.Text);
    EXPECT_EQ(e.GetValue(), c.Shown);
    EXPECT_EQ(std::count(log.Lines.begin(), log.Lines.end(), "ItemsModified"), ++modifications);
  }
  EXPECT_EQ(Editor("Lines").GetValue(), "(TStrings)");
  EXPECT_EQ(widget->Name(), "Knob");
  // A published handler is bound for real; one the class lacks is kept by name.
  ASSERT_TRUE(widget->OnChange);
  widget->OnChange(widget);
  EXPECT_EQ(designed.Form->Changes, 1);
  EXPECT_TRUE(designer.MethodExists("Widget1Tap"));
}

TEST_F(TEditorsTest, TextThatDoesNotConvertChangesNothing) {
  widget->SetCount(7);
  widget->SetMood(tmBusy);
  const struct {
    const char* Prop;
    const char* Text;
    const char* Message;
  } cases[] = {
      {"Count", "x1", "'x1' is not a valid integer value"},
      {"Level", "256", "Value must be between 0 and 255"},
      {"Mood", "tmNope", "Invalid property value"},
      {"Flag", "maybe", "Invalid property value"},
      {"Moods", "[tmCalm,tmNope]", "Invalid property value"},
      {"Buddy", "Nobody", "Invalid property value"},
      {"Keys", "Ctrl+Nothing", "Invalid property value"},
      {"Ratio", "1,5x", "'1,5x' is not a valid floating point value"},
      {"Name", "1x", "'1x' is not a valid component name"},
      {"Name", "Widget2", "A component named Widget2 already exists"},
      {"Name", "Form1", "A component named Form1 already exists"},
      {"OnChange", "not a name", "'not a name' is not a valid method name"},
  };
  const String before = designer.FormText();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Prop) + " = " + c.Text);
    EXPECT_EQ(MessageOf<Exception>([&] { Editor(c.Prop).SetValue(c.Text); }), c.Message);
  }
  EXPECT_EQ(designer.FormText(), before);
  EXPECT_FALSE(designer.IsModified());
  EXPECT_TRUE(log.Lines.empty());
}

TEST_F(TEditorsTest, ValueListsAndSubProperties) {
  const auto values = [](TPropertyEditor& e) {
    std::vector<std::string> v;
    e.GetValues([&](const String& s) { v.push_back(s); });
    return v;
  };
  EXPECT_EQ(values(Editor("Mood")), (std::vector<std::string>{"tmCalm", "tmBusy", "tmAngry"}));
  EXPECT_EQ(values(Editor("Buddy")), (std::vector<std::string>{"Widget1", "Widget2"}));
  const auto keys = values(Editor("Keys"));
  ASSERT_EQ(keys.size(), 83u);
  EXPECT_EQ(keys[0], "(None)");
  EXPECT_EQ(keys[1], "Ctrl+A");
  EXPECT_EQ(keys[26], "Ctrl+Z");
  EXPECT_EQ(std::vector<std::string>(keys.begin() + 27, keys.begin() + 29), (std::vector<std::string>{"F1", "F2"}));
  EXPECT_EQ(keys[39], "Ctrl+F1");
  EXPECT_EQ(keys[51], "Shift+F1");
  EXPECT_EQ(keys[63], "Shift+Ctrl+F1");
  EXPECT_EQ(std::vector<std::string>(keys.begin() + 75, keys.end()),
            (std::vector<std::string>{"Ins", "Shift+Ins", "Ctrl+Ins", "Del", "Shift+Del", "Ctrl+Del", "Alt+BkSp",
                                      "Shift+Alt+BkSp"}));
  for (const std::string& k : keys) EXPECT_EQ(ShortCutToText(TextToShortCut(k)), k == "(None)" ? "" : k);

  // A set's elements, each a True/False property of its own.
  std::vector<std::unique_ptr<TPropertyEditor>> elements;
  Editor("Moods").GetProperties([&](std::unique_ptr<TPropertyEditor> e) { elements.push_back(std::move(e)); });
  ASSERT_EQ(elements.size(), 3u);
  EXPECT_EQ(elements[2]->GetName(), "tmAngry");
  elements[2]->SetValue("True");
  EXPECT_EQ(Editor("Moods").GetValue(), "[tmAngry]");

  // A reference has sub-properties only while set.
  EXPECT_FALSE(Editor("Buddy").GetAttributes().Contains(paSubProperties));
  Editor("Buddy").SetValue("Widget2");
  EXPECT_TRUE(Editor("Buddy").GetAttributes().Contains(paSubProperties));
  std::vector<std::string> names;
  Editor("Buddy").GetProperties([&](std::unique_ptr<TPropertyEditor> e) { names.push_back(e->GetName()); });
  EXPECT_NE(std::find(names.begin(), names.end(), "Count"), names.end());
  // Events offer the root's handlers of their signature, created or published.
  Editor("OnClick").SetValue("Widget1Tap");
  EXPECT_EQ(values(Editor("OnChange")), (std::vector<std::string>{"WidgetChanged", "Widget1Tap"}));
}

TEST_F(TEditorsTest, SeveralSelectedObjectsShareMultiSelectEditorsAndOneModified) {
  widget->SetCount(3);
  other->SetCount(3);
  auto both = EditorsOf({widget, other}, &designer);
  EXPECT_EQ(Find(both, "Name"), nullptr);
  ASSERT_NE(Find(both, "Count"), nullptr);
  EXPECT_TRUE(Find(both, "Count")->AllEqual());
  other->SetCount(4);
  EXPECT_FALSE(Find(both, "Count")->AllEqual());
  Find(both, "Count")->SetValue("9");
  EXPECT_EQ(widget->Count(), 9);
  EXPECT_EQ(other->Count(), 9);
  EXPECT_EQ(log.Lines, std::vector<std::string>{"ItemsModified"});
  // Only what both publish: a panel and a widget share Name, Tag and little else.
  auto* panel = static_cast<TPanel*>(designer.CreateComponent(TPanel::StaticClass(), nullptr, 0, 0, 0, 0));
  std::vector<std::string> shared;
  for (auto& e : EditorsOf({widget, panel}, &designer)) shared.push_back(e->GetName());
  EXPECT_EQ(shared, (std::vector<std::string>{"Color", "Cursor", "OnClick", "Tag"}));
  auto panelEditors = EditorsOf({panel}, &designer);
  EXPECT_EQ(Find(panelEditors, "Font")->GetValue(), "(TFont)");
  EXPECT_TRUE(Find(panelEditors, "Font")->GetAttributes().Contains(paSubProperties));
}

namespace {

// Events chosen by the default editor: OnCreate, OnChange, OnClick, else the first by name.
class TEventsOnly : public TComponent {
  ZV_CLASS(TEventsOnly, TComponent)
public:
  using TComponent::TComponent;
  TNotifyEvent OnZeta, OnAlpha, OnClick, OnCreate;
  static void DeclareProperties(TPropTable<TEventsOnly>& t) {
    t.Event("OnZeta", &TEventsOnly::OnZeta);
    t.Event("OnAlpha", &TEventsOnly::OnAlpha);
  }
};
class TClickAndCreate : public TEventsOnly {
  ZV_CLASS(TClickAndCreate, TEventsOnly)
public:
  using TEventsOnly::TEventsOnly;
  static void DeclareProperties(TPropTable<TClickAndCreate>& t) {
    t.Event("OnClick", &TEventsOnly::OnClick);
    t.Event("OnCreate", &TEventsOnly::OnCreate);
  }
};
ZV_DEFINE_CLASS_WITH_PROPS(TEventsOnly, TComponent)
ZV_DEFINE_CLASS_WITH_PROPS(TClickAndCreate, TEventsOnly)

}  // namespace

TEST_F(TEditorsTest, DefaultEditorShowsOrCreatesTheHandlerOfThePreferredEvent) {
  auto* events = designer.CreateComponent(TEventsOnly::StaticClass(), nullptr, 0, 0, 0, 0);
  auto* clickCreate = designer.CreateComponent(TClickAndCreate::StaticClass(), nullptr, 0, 0, 0, 0);
  const struct {
    TComponent* Component;
    const char* Shown;
  } cases[] = {
      {widget, "Widget1Change"},
      {events, "EventsOnly1Alpha"},
      {clickCreate, "ClickAndCreate1Create"},
  };
  for (const auto& c : cases) {
    GetComponentEditor(c.Component, &designer)->Edit();
    EXPECT_EQ(designer.ShownMethod(), c.Shown);
    EXPECT_TRUE(designer.MethodExists(c.Shown));
  }
  // A handler already there is shown, not replaced.
  auto editors = EditorsOf({other}, &designer);
  Find(editors, "OnChange")->SetValue("WidgetChanged");
  GetComponentEditor(other, &designer)->Edit();
  EXPECT_EQ(designer.ShownMethod(), "WidgetChanged");
  EXPECT_FALSE(designer.MethodExists("Widget2Change"));
}

TEST_F(TEditorsTest, StringListDialogSetsEverySelectedListOnOkOnly) {
  widget->Lines()->SetText("old\n");
  auto both = EditorsOf({widget, other}, &designer);
  for (const TModalResult answer : {mrCancel, mrOk}) {
    Application->OnIdle = [&](TObject*, bool& done) {
      done = false;
      for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (!form->FormState().Contains(fsModal)) continue;
        static_cast<TRichEdit*>(form->FindComponent("Memo"))->Lines()->SetText("one\ntwo\n");
        form->SetModalResult(answer);
      }
    };
    Find(both, "Lines")->Edit();
    Application->OnIdle = nullptr;
  }
  EXPECT_EQ(widget->Lines()->Text(), "one\r\ntwo\r\n");
  EXPECT_EQ(other->Lines()->Text(), "one\r\ntwo\r\n");
  EXPECT_EQ(std::count(log.Lines.begin(), log.Lines.end(), "ItemsModified"), 1);
}

}  // namespace zvtest
