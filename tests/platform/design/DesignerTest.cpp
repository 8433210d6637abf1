// The form designer: names, creating and deleting, the selection, other roots, form files, the
// surface's mouse and keys, and the host's own registrations.

#include "DesignTestClasses.h"
#include "ExpectMessage.h"

#include "platform/classes/FormText.h"
#include "platform/classes/Reader.h"
#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Panel.h"
#include "platform/controls/SpeedButton.h"
#include "platform/controls/StdCtrls.h"
#include "platform/db/DataLink.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/design/DesignIntf.h"
#include "platform/graphics/Bitmap.h"
#include "platform/null/NullBackend.h"
#include "platform/rtl/FileUtils.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <tuple>

namespace zvtest {

namespace {

struct TDesignerTest : ::testing::Test {
  TDesignedForm designed;
  TFormDesigner& designer = *designed.Designer;
  TNotificationLog log;
  template <class C>
  C* Make(TComponent* parent = nullptr, int left = 0, int top = 0, int width = 0, int height = 0) {
    return static_cast<C*>(designer.CreateComponent(C::StaticClass(), parent, left, top, width, height));
  }
  std::vector<std::string> Selected() const {
    std::vector<std::string> names;
    for (TPersistent* p : designer.Selection())
      names.push_back(dynamic_cast<TComponent*>(p) ? static_cast<TComponent*>(p)->Name() : p->ClassName());
    return names;
  }
  // Mouse input as the designed control receives it, at a point of its client area.
  static void Mouse(TControl* control, unsigned msg, int x, int y, WPARAM keys = 0) {
    control->Perform(msg, keys, PointToLParam({x, y}));
  }
};

}  // namespace

TEST_F(TDesignerTest, UniqueNamesCreationAndTheRootThatIsNeverDeleted) {
  EXPECT_EQ(designer.UniqueName("TDBDivoRud"), "DBDivoRud1");
  auto* first = Make<TButton>();
  auto* second = Make<TButton>();
  delete first;
  EXPECT_EQ(designer.UniqueName("TButton"), "Button1");  // the smallest unused number
  EXPECT_EQ(second->Name(), "Button2");
  EXPECT_EQ(second->Parent(), designed.Form);
  TButton fresh(nullptr);
  EXPECT_EQ(second->Width(), fresh.Width());  // size 0: the constructor's
  auto* sized = Make<TPanel>(nullptr, 10, 20, 30, 40);
  EXPECT_EQ(sized->BoundsRect(), TRect(10, 20, 40, 60));
  auto* source = Make<TDataSource>(nullptr, 12, 34);
  EXPECT_EQ(source->DesignInfo(), (34 << 16) | 12);
  EXPECT_TRUE(source->ComponentState().Contains(csDesigning));

  designer.SetModified(false);
  designer.SetSelections({designed.Form});
  designer.DeleteSelection();
  EXPECT_EQ(designer.Root(), designed.Form);
  EXPECT_FALSE(designer.IsModified());
  designer.SetSelections({sized, designed.Form, source});
  designer.DeleteSelection();
  EXPECT_EQ(designed.Form->FindComponent("Panel1"), nullptr);
  EXPECT_EQ(designed.Form->FindComponent("DataSource1"), nullptr);
  EXPECT_EQ(Selected(), std::vector<std::string>{"Form1"});
  EXPECT_TRUE(designer.IsModified());
}

TEST_F(TDesignerTest, ControlsTakeTheirNameAsCaptionUntilGivenOneOfTheirOwn) {
  auto* button = Make<TButton>();
  auto* panel = Make<TPanel>();
  auto* glyphOnly = Make<TSpeedButton>();  // its style does not ask for the name
  EXPECT_EQ(button->Caption(), "Button1");
  EXPECT_EQ(panel->Caption(), "Panel1");
  EXPECT_EQ(glyphOnly->Caption(), "");

  // Renamed in the inspector: the caption follows while it is the old name.
  const auto rename = [&](TComponent* c, const char* to) {
    auto editors = EditorsOf({c}, &designer);
    Find(editors, "Name")->SetValue(to);
  };
  rename(button, "OkButton");
  EXPECT_EQ(button->Caption(), "OkButton");
  button->SetCaption("OK");
  rename(button, "Accept");
  EXPECT_EQ(button->Caption(), "OK");
  EXPECT_THROW(rename(panel, "Accept"), EComponentError);
  EXPECT_EQ(panel->Caption(), "Panel1");  // a refused name changes nothing
}

TEST_F(TDesignerTest, TheSelectionNeverHoldsWhatWasDestroyed) {
  auto* panel = Make<TPanel>();
  auto* inside = Make<TButton>(panel);
  auto* widget = Make<TWidget>();
  TCollectionItem* item = widget->Items()->Add();
  designer.SetSelections({inside, item, widget});
  log.Lines.clear();
  delete item;
  EXPECT_EQ(log.Lines, (std::vector<std::string>{"ItemDeleted TCollectionItem", "SelectionChanged Button1,Widget1"}));
  log.Lines.clear();
  delete panel;  // takes the button with it
  EXPECT_EQ(Selected(), std::vector<std::string>{"Widget1"});
  EXPECT_NE(std::find(log.Lines.begin(), log.Lines.end(), "ItemDeleted Button1"), log.Lines.end());
  log.Lines.clear();
  // Deleting a parent with its selected child deletes each once.
  auto* box = Make<TPanel>();
  auto* boxed = Make<TButton>(box);
  designer.SetSelections({box, boxed});
  designer.DeleteSelection();
  EXPECT_EQ(Selected(), std::vector<std::string>{"Form1"});
  EXPECT_EQ(designed.Form->ComponentCount(), 1);
}

TEST_F(TDesignerTest, OtherOpenRootsAreNamedRootDotName) {
  TDesignedForm second("Form2");
  auto* here = Make<TButton>();
  auto* there = static_cast<TButton*>(second.Designer->CreateComponent(TButton::StaticClass(), nullptr, 0, 0, 0, 0));
  std::vector<std::string> names;
  designer.GetComponentNames(TypeInfoOf<TButton*>(), [&](const String& n) { names.push_back(n); });
  EXPECT_EQ(names, (std::vector<std::string>{"Button1", "Form2.Button1"}));
  EXPECT_EQ(designer.GetComponent("Form2.Button1"), there);
  EXPECT_EQ(designer.GetComponent("button1"), here);
  EXPECT_EQ(designer.GetComponentName(there), "Form2.Button1");
  EXPECT_EQ(second.Designer->GetComponentName(here), "Form1.Button1");
  EXPECT_EQ(ActiveDesigners().back(), second.Designer.get());

  // A data module is a root too: its components are icons, named across roots the same way.
  {
    auto* module = new TDataModule(nullptr);
    module->SetName("Data1");
    TFormDesigner data(module);
    data.SetOwnsRoot(true);
    auto* source = data.CreateComponent(TDataSource::StaticClass(), nullptr, 40, 8, 0, 0);
    names.clear();
    designer.GetComponentNames(TypeInfoOf<TDataSource*>(), [&](const String& n) { names.push_back(n); });
    EXPECT_EQ(names, std::vector<std::string>{"Data1.DataSource1"});
    EXPECT_EQ(designer.GetComponent("Data1.DataSource1"), source);
    EXPECT_NE(data.FormText().find("    Left = 40\n    Top = 8\n"), String::npos) << data.FormText();
    data.SetSelections({source, module});
    data.DeleteSelection();
    EXPECT_EQ(module->ComponentCount(), 0);
  }
  EXPECT_EQ(log.Lines.front(), "DesignerOpened Form2");
  EXPECT_NE(std::find(log.Lines.begin(), log.Lines.end(), "DesignerOpened Data1"), log.Lines.end());
  EXPECT_EQ(log.Lines.back(), "DesignerClosed Data1");
}

TEST_F(TDesignerTest, FindWindowFindsATopLevelFormByClassAndCaption) {
  designed.Form->SetCaption("Designed");
  designed.Form->Show();
  EXPECT_EQ(FindWindow("ttestform", "Designed"), designed.Form->Handle());
  EXPECT_EQ(FindWindow("TTestForm", nullptr), designed.Form->Handle());
  EXPECT_EQ(FindWindow(nullptr, "Designed"), designed.Form->Handle());
  EXPECT_EQ(FindWindow("TPropertyInspector", nullptr), HWND{});
  EXPECT_EQ(FindWindow("TTestForm", "Other"), HWND{});
}

TEST_F(TDesignerTest, FormFilesKeepHandlersTheClassLacksAndBadFilesOpenNothing) {
  const std::string text =
      "object Form5: TTestForm\n"
      "  Left = 0\n  Top = 0\n  Width = 200\n  Height = 100\n"
      "  object Widget1: TWidget\n    Count = 3\n    OnChange = WidgetChanged\n    OnClick = Widget1Tap\n"
      "    Left = 16\n    Top = 24\n  end\n"
      "end\n";
  auto opened = TFormDesigner::OpenForm(text);
  TComponent* widget = opened->Root()->FindComponent("Widget1");
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->DesignInfo(), (24 << 16) | 16);
  EXPECT_TRUE(opened->MethodExists("Widget1Tap"));
  EXPECT_EQ(opened->GetMethodName(widget, GetPropInfo(widget, "OnClick")), "Widget1Tap");
  const String written = opened->FormText();
  EXPECT_NE(written.find("OnClick = Widget1Tap"), String::npos);
  EXPECT_NE(written.find("OnChange = WidgetChanged"), String::npos);
  EXPECT_NE(written.find("    Left = 16\n    Top = 24\n"), String::npos);

  // Outside a designer the handler the class lacks is the reader's error still.
  const std::string runTime = MessageOf<EReadError>([&] { delete TextToComponent(text); });
  EXPECT_NE(runTime.find("Widget1Tap"), std::string::npos) << runTime;

  const std::size_t open = ActiveDesigners().size();
  const std::size_t forms = designed.Form->ComponentCount();
  EXPECT_NE(MessageOf<Exception>([&] { TFormDesigner::OpenForm(text.substr(0, text.size() / 2)); }), "<no exception>");
  EXPECT_EQ(ActiveDesigners().size(), open);
  EXPECT_EQ(static_cast<std::size_t>(designed.Form->ComponentCount()), forms);
}

TEST_F(TDesignerTest, SurfaceSelectsMovesSizesCreatesAndDeletes) {
  auto* panel = Make<TPanel>(nullptr, 100, 100, 150, 100);
  auto* button = Make<TButton>(nullptr, 10, 10, 60, 20);
  auto* source = Make<TDataSource>(nullptr, 300, 10);
  TForm* form = designed.Form;

  Mouse(button, WM_LBUTTONDOWN, 5, 5);
  Mouse(button, WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(Selected(), std::vector<std::string>{"Button1"});
  Mouse(form, WM_LBUTTONDOWN, 310, 20, MK_SHIFT);  // the data source's icon
  EXPECT_EQ(Selected(), (std::vector<std::string>{"Button1", "DataSource1"}));
  Mouse(form, WM_LBUTTONDOWN, 310, 20, MK_SHIFT);
  EXPECT_EQ(Selected(), std::vector<std::string>{"Button1"});

  // Dragging moves by the mouse's offset; the form's own messages follow the drag.
  designer.SetModified(false);
  Mouse(button, WM_LBUTTONDOWN, 5, 5);
  Mouse(form, WM_MOUSEMOVE, 25, 45);
  Mouse(form, WM_LBUTTONUP, 25, 45);
  EXPECT_EQ(button->BoundsRect(), TRect(20, 40, 80, 60));
  EXPECT_TRUE(designer.IsModified());
  // The bottom-right grab handle sizes.
  EXPECT_EQ(designer.GrabHandleAt({80, 60}), 4);
  Mouse(form, WM_LBUTTONDOWN, 80, 60);
  Mouse(form, WM_MOUSEMOVE, 90, 75);
  Mouse(form, WM_LBUTTONUP, 90, 75);
  EXPECT_EQ(button->BoundsRect(), TRect(20, 40, 90, 75));
  EXPECT_EQ(designer.GrabHandleAt({20, 40}), 0);

  // A palette tool creates at the click, inside the container there.
  designer.SetPaletteTool(TButton::StaticClass());
  Mouse(panel, WM_LBUTTONDOWN, 30, 40);
  auto* made = dynamic_cast<TButton*>(designed.Form->FindComponent("Button2"));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Parent(), panel);
  EXPECT_EQ(TPoint(made->Left(), made->Top()), TPoint(30, 40));
  EXPECT_EQ(Selected(), std::vector<std::string>{"Button2"});
  EXPECT_EQ(designer.PaletteTool(), nullptr);

  designed.Form->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(designed.Form->FindComponent("Button2"), nullptr);
  EXPECT_EQ(Selected(), std::vector<std::string>{"Form1"});
  (void)source;
}

TEST_F(TDesignerTest, MarksShowTheSelectionAndIconsAboveEveryWindow) {
  auto* panel = Make<TPanel>(nullptr, 10, 10, 200, 100);
  auto* inner = Make<TButton>(panel, 20, 20, 60, 30);  // (30, 30)-(90, 60) on the form
  auto* outer = Make<TButton>(nullptr, 10, 150, 60, 30);
  auto* source = Make<TDataSource>(nullptr, 250, 40);
  // The small squares painted on a window, as (left, top, colour).
  const auto marks = [&](TWinControl* window) {
    TNullSurface surface(400, 300);
    designer.PaintDesignMarks(window, surface);
    std::set<std::tuple<int, int, TColor>> found;
    for (const TPaintOp& op : surface.TopLevelOps())
      if (op.Kind == TPaintOpKind::FillRect && op.Rect.Width() == TFormDesigner::GrabSize && op.Rect.Height() == TFormDesigner::GrabSize)
        found.insert({op.Rect.Left, op.Rect.Top, op.Brush.Color});
    return found;
  };
  const auto squares = [](std::initializer_list<TPoint> centres, TColor color, TPoint origin = {0, 0}) {
    std::set<std::tuple<int, int, TColor>> expected;
    for (TPoint c : centres) expected.insert({c.X - 2 - origin.X, c.Y - 2 - origin.Y, color});
    return expected;
  };
  const auto eight = [&](TColor color, TPoint origin) {
    return squares({{30, 30}, {60, 30}, {90, 30}, {90, 45}, {90, 60}, {60, 60}, {30, 60}, {30, 45}}, color, origin);
  };
  auto several = squares({{30, 30}, {90, 30}, {90, 60}, {30, 60}, {10, 150}, {70, 150}, {70, 180}, {10, 180}}, clGray);
  struct Case {
    TDesignerSelections Selection;
    TWinControl* Window;
    std::set<std::tuple<int, int, TColor>> Expected;
  };
  const Case cases[] = {
      {{inner}, designed.Form, eight(clBlack, {0, 0})},
      {{inner}, panel, eight(clBlack, {10, 10})},  // in the panel's own coordinates
      {{inner, outer}, designed.Form, several},    // moved together, not sized: corners only
      {{source}, designed.Form, squares({{250, 40}, {278, 40}, {278, 68}, {250, 68}}, clBlack)},
      {{designed.Form}, designed.Form, {}},
  };
  for (const Case& c : cases) {
    designer.SetSelections(c.Selection);
    EXPECT_EQ(marks(c.Window), c.Expected) << c.Selection.size() << " selected";
  }

  // The icon: a raised square, the name centred under it.
  TNullSurface surface(400, 300);
  designer.PaintDesignMarks(designed.Form, surface);
  const auto edges = surface.OpsOf(TPaintOpKind::DrawEdge);
  ASSERT_EQ(edges.size(), 1u);
  EXPECT_EQ(edges[0].Rect, TRect(250, 40, 278, 68));
  const auto texts = surface.OpsOf(TPaintOpKind::TextOut);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].Text, "DataSource1");
  EXPECT_EQ(texts[0].Rect.Top, 70);
  EXPECT_NEAR((texts[0].Rect.Left + texts[0].Rect.Right) / 2, 264, 1);
  EXPECT_EQ(surface.OpsOf(TPaintOpKind::Rectangle).size(), 1u);  // the generic glyph
  // A class's registered image takes the glyph's place, centred in the square.
  TBitmap image;
  image.SetSize(16, 16);
  RegisterComponentImage(TDataSource::StaticClass(), &image);
  TNullSurface withImage(400, 300);
  designer.PaintDesignMarks(designed.Form, withImage);
  EXPECT_TRUE(withImage.OpsOf(TPaintOpKind::Rectangle).empty());
  ASSERT_EQ(withImage.OpsOf(TPaintOpKind::BitBlt).size(), 1u);
  EXPECT_EQ(withImage.OpsOf(TPaintOpKind::BitBlt)[0].Rect, TRect(256, 46, 272, 62));

  // A designed window paints them itself, after its own painting.
  designer.SetSelections({inner});
  TNullSurface painted(200, 100);
  panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&painted), 0);
  const auto fills = painted.OpsOf(TPaintOpKind::FillRect);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills.back().Rect, TRect(18, 33, 23, 38));  // the left handle, drawn last
  EXPECT_EQ(fills.back().Brush.Color, clBlack);
}

TEST_F(TDesignerTest, ControlsAnsweringTheDesignHitTestKeepTheirMouse) {
  auto* hit = Make<TDesignHitControl>(nullptr, 0, 0, 100, 50);
  Mouse(hit, WM_LBUTTONDOWN, 10, 10);  // left half: the control's own
  EXPECT_EQ(hit->MouseDowns, 1);
  EXPECT_EQ(Selected(), std::vector<std::string>{"Form1"});
  Mouse(hit, WM_LBUTTONUP, 10, 10);
  Mouse(hit, WM_LBUTTONDOWN, 80, 10);  // right half: the designer's
  EXPECT_EQ(hit->MouseDowns, 1);
  EXPECT_EQ(Selected(), std::vector<std::string>{"DesignHitControl1"});
}

namespace {

class TVerbWidget : public TComponent {
  ZV_CLASS(TVerbWidget, TComponent)
public:
  using TComponent::TComponent;
};
ZV_DEFINE_CLASS(TVerbWidget, TComponent)

class TVerbEditor : public TComponentEditor {
public:
  using TComponentEditor::TComponentEditor;
  int GetVerbCount() override { return 3; }
  String GetVerb(int index) override { return index == 0 ? "Tune..." : index == 1 ? "-" : "Reset"; }
  void ExecuteVerb(int index) override { Component()->SetTag(index + 1); }
};

}  // namespace

TEST_F(TDesignerTest, DoubleClickEditsAndRightClickShowsVerbsThenTheHostsItems) {
  Make<TWidget>(nullptr, 50, 50);
  Mouse(designed.Form, WM_LBUTTONDBLCLK, 55, 55);
  EXPECT_EQ(designer.ShownMethod(), "Widget1Change");

  RegisterComponentEditor(TVerbWidget::StaticClass(), &ComponentEditorClassOf<TVerbEditor>);
  auto* verbs = Make<TVerbWidget>(nullptr, 150, 50);
  Mouse(designed.Form, WM_LBUTTONDBLCLK, 155, 55);  // the editor's Edit: its first verb
  EXPECT_EQ(verbs->Tag(), 1);

  // The menu closes as soon as it is open; what it held is what the test reads.
  designed.Form->Show();
  constexpr unsigned closeMenu = WM_USER + 77;
  TPopupMenu* menu = designer.ContextMenu();
  const auto inherited = designed.Form->WindowProc;
  designed.Form->WindowProc = [&](TMessage& m) {
    if (m.Msg == closeMenu) return menu->CloseMenu();
    inherited(m);
  };
  int popups = 0;
  menu->OnPopup = [&](TObject*) {
    ++popups;
    PostMessage(designed.Form->Handle(), closeMenu, 0, 0);
  };
  const auto captions = [&] {
    std::vector<std::string> c;
    for (int i = 0; i < menu->Items()->Count(); ++i) c.push_back(menu->Items()->Items(i)->Caption());
    return c;
  };
  Mouse(designed.Form, WM_RBUTTONDOWN, 155, 55);
  Mouse(designed.Form, WM_RBUTTONUP, 155, 55);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(Selected(), std::vector<std::string>{"VerbWidget1"});
  EXPECT_EQ(captions(), (std::vector<std::string>{"Tune...", "-", "Reset", "-", "Bring to &Front", "Send to &Back", "&Delete"}));
  Mouse(designed.Form, WM_RBUTTONUP, 390, 290);  // over the form itself: no verbs, nothing to delete
  EXPECT_EQ(captions(), (std::vector<std::string>{"Bring to &Front", "Send to &Back", "&Delete"}));
  EXPECT_FALSE(menu->Items()->Items(2)->Enabled());
  designed.Form->WindowProc = inherited;
}

TEST(DesignHostRegistrations, StandardAndDataAccessPagesAndTheSqliteEditors) {
  const auto classes = [](const TPalettePage& page) {
    std::vector<std::string> names;
    for (TClass c : page.Classes) names.push_back(c->Name);
    return names;
  };
  ASSERT_GE(PalettePages().size(), 2u);
  EXPECT_EQ(PalettePages()[0].Name, "Standard");
  EXPECT_EQ(classes(PalettePages()[0]),
            (std::vector<std::string>{"TPanel", "TEdit", "TMaskEdit", "TRichEdit", "TSpeedButton", "TPopupMenu", "TButton",
                                      "TLabel", "TComboBox", "TCheckBox", "TPageControl", "TBevel"}));
  EXPECT_EQ(PalettePages()[1].Name, "Data Access");
  EXPECT_EQ(classes(PalettePages()[1]), (std::vector<std::string>{"TDataSource", "TMemTable", "TSqliteDataSet"}));
  EXPECT_EQ(GetClass("TSqliteDataSet"), TSqliteDataSet::StaticClass());

  const std::string file = (std::filesystem::temp_directory_path() / "zv-design-tables.db").string();
  std::remove(file.c_str());
  {
    sqlite::TSqliteDatabase db(file);
    db.Execute("CREATE TABLE people(id INTEGER); CREATE TABLE orders(id INTEGER)");
  }
  TDesignedForm designed;
  auto* dataSet = static_cast<TSqliteDataSet*>(
      designed.Designer->CreateComponent(TSqliteDataSet::StaticClass(), nullptr, 0, 0, 0, 0));
  auto editors = EditorsOf({dataSet}, designed.Designer.get());
  TPropertyEditor* fileName = Find(editors, "FileName");
  ASSERT_TRUE(fileName->GetAttributes().Contains(paDialog));
  const auto previous = SetDialogResponder([&](TDialogRequest& request) {
    request.File.FileName = file;
    return request.Kind == TDialogKind::OpenFile ? mrOk : mrCancel;
  });
  fileName->Edit();
  SetDialogResponder(previous);
  EXPECT_EQ(dataSet->FileName(), file);
  std::vector<std::string> tables;
  Find(editors, "TableName")->GetValues([&](const String& t) { tables.push_back(t); });
  std::sort(tables.begin(), tables.end());
  EXPECT_EQ(tables, (std::vector<std::string>{"orders", "people"}));
  std::remove(file.c_str());
}

}  // namespace zvtest
