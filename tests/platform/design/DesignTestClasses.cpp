#include "DesignTestClasses.h"

#include "platform/classes/Modules.h"
#include "platform/controls/ControlTypes.h"
#include "platform/controls/Menus.h"
#include "platform/controls/WindowBackend.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"

namespace zvtest {

ZV_DEFINE_CLASS_WITH_PROPS(TWidget, TComponent)

TWidget::TWidget(TComponent* owner)
    : TComponent(owner), fLines(std::make_unique<TStringList>()),
      fItems(std::make_unique<TOwnedCollection>(this, TCollectionItem::StaticClass())) {}

TWidget::~TWidget() { Destroying(); }

void TWidget::SetBuddy(TComponent* v) {
  if (fBuddy) fBuddy->RemoveFreeNotification(this);
  fBuddy = v;
  if (fBuddy) fBuddy->FreeNotification(this);
}

void TWidget::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == fBuddy) fBuddy = nullptr;
}

void TWidget::DeclareProperties(TPropTable<TWidget>& t) {
  t.Prop("Count", &TWidget::Count, &TWidget::SetCount).Default(0);
  t.Prop("Level", &TWidget::Level, &TWidget::SetLevel);
  t.Prop("Mark", &TWidget::Mark, &TWidget::SetMark);
  t.Prop("Mood", &TWidget::Mood, &TWidget::SetMood).Default(tmCalm);
  t.Prop("Flag", &TWidget::Flag, &TWidget::SetFlag);
  t.Prop("Ratio", &TWidget::Ratio, &TWidget::SetRatio);
  t.Prop("Text", &TWidget::Text, &TWidget::SetText);
  t.Prop("Moods", &TWidget::Moods, &TWidget::SetMoods);
  t.Prop("Buddy", &TWidget::Buddy, &TWidget::SetBuddy);
  t.Prop("Lines", &TWidget::Lines, &TWidget::SetLines);
  t.Prop("Color", &TWidget::Color, &TWidget::SetColor).Idents(ColorTypeInfo());
  t.Prop("Cursor", &TWidget::Cursor, &TWidget::SetCursor).Idents(CursorTypeInfo());
  t.Prop("Keys", &TWidget::Keys, &TWidget::SetKeys).Idents(ShortCutTypeInfo());
  t.Prop("Big", &TWidget::Big, &TWidget::SetBig);
  t.Prop("Items", &TWidget::Items, &TWidget::SetItems);
  t.Event("OnChange", &TWidget::OnChange);
  t.Event("OnClick", &TWidget::OnClick);
}

ZV_DEFINE_CLASS_WITH_PROPS(TTestForm, TForm)

void TTestForm::DeclareProperties(TPropTable<TTestForm>& t) { t.Method("WidgetChanged", &TTestForm::WidgetChanged); }

ZV_DEFINE_CLASS(TDesignHitControl, TCustomControl)

void TDesignHitControl::Dispatch(TMessage& message) {
  if (message.Msg == CM_DESIGNHITTEST) {
    message.Result = LParamToPoint(message.LParam).X < Width() / 2 ? 1 : 0;
    return;
  }
  if (message.Msg == WM_LBUTTONDOWN) ++MouseDowns;
  TCustomControl::Dispatch(message);
}

std::string TNotificationLog::NameOf(TPersistent* p) {
  if (auto* c = dynamic_cast<TComponent*>(p)) return c->Name();
  return p->ClassName();
}

TDesignedForm::TDesignedForm(const char* name) : Form(new TTestForm(nullptr)) {
  Form->SetName(name);
  Form->SetBounds(0, 0, 400, 300);
  Designer = std::make_unique<TFormDesigner>(Form);
  Designer->SetOwnsRoot(true);
}

TDesignedForm::~TDesignedForm() = default;

std::vector<std::unique_ptr<TPropertyEditor>> EditorsOf(const TDesignerSelections& selection, IDesigner* designer,
                                                        TTypeKinds kinds) {
  std::vector<std::unique_ptr<TPropertyEditor>> editors;
  GetComponentProperties(selection, kinds, designer, [&](std::unique_ptr<TPropertyEditor> e) { editors.push_back(std::move(e)); });
  return editors;
}

TPropertyEditor* Find(std::vector<std::unique_ptr<TPropertyEditor>>& editors, const std::string& name) {
  for (auto& e : editors)
    if (e->GetName() == name) return e.get();
  return nullptr;
}

namespace {
// Headless backends and initialized modules for every test of the suite.
class TDesignEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    fGraphics = SetGraphicsBackend(CreateNullBackend());
    fWindows = SetWindowBackend(CreateNullWindowBackend());
    RegisterClasses({TWidget::StaticClass(), TTestForm::StaticClass(), TDesignHitControl::StaticClass()});
    InitializeModules();
  }
  void TearDown() override {
    SetWindowBackend(std::move(fWindows));
    SetGraphicsBackend(std::move(fGraphics));
  }

private:
  std::unique_ptr<TGraphicsBackend> fGraphics;
  std::unique_ptr<TWindowBackend> fWindows;
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new TDesignEnvironment);
}  // namespace

}  // namespace zvtest
