// A design package for the loading tests: a component class its module registers, the
// registrations its Register makes, a design window one of its verbs opens, and what the test
// asks of it to see that it shares the program's registry and application.

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/design/DesignEditors.h"
#include "platform/design/FormDesigner.h"

namespace zvpackage {

using namespace zv;

// A handler signature no other module of the program uses: its type identity is the package's.
ZV_EVENT(TPackagedMeasureEvent, void(TObject* sender, double scale, long long& size));

class TPackagedWidget : public TComponent {
  ZV_CLASS(TPackagedWidget, TComponent)

public:
  explicit TPackagedWidget(TComponent* owner) : TComponent(owner) {}
  int Size() const { return fSize; }
  void SetSize(int v) { fSize = v; }
  TNotifyEvent OnChange;
  TPackagedMeasureEvent OnMeasure;
  static void DeclareProperties(TPropTable<TPackagedWidget>& t) {
    t.Prop("Size", &TPackagedWidget::Size, &TPackagedWidget::SetSize);
    t.Event("OnChange", &TPackagedWidget::OnChange);
    t.Event("OnMeasure", &TPackagedWidget::OnMeasure);
  }

private:
  int fSize = 0;
};
ZV_DEFINE_CLASS_WITH_PROPS(TPackagedWidget, TComponent)

class TPackagedWindow : public TDesignWindow {
  ZV_CLASS(TPackagedWindow, TDesignWindow)

public:
  explicit TPackagedWindow(TComponent* owner) : TDesignWindow(owner) { SetCaption("Packaged"); }
};
ZV_DEFINE_CLASS(TPackagedWindow, TDesignWindow)

class TPackagedEditor : public TComponentEditor {
public:
  using TComponentEditor::TComponentEditor;
  int GetVerbCount() override { return 1; }
  String GetVerb(int) override { return "Open window..."; }
  void ExecuteVerb(int) override {
    auto* window = new TPackagedWindow(nullptr);
    window->SetDesigner(Designer());
    window->Show();
  }
};

// Doubles every text it is given, so that a test sees this editor at work.
class TPackagedSizeProperty : public TIntegerProperty {
public:
  using TIntegerProperty::TIntegerProperty;
  void SetValue(const String& value) override { TIntegerProperty::SetValue(value + value); }
};

int initializations = 0;

ZV_MODULE(testpackage, {.Name = "testpackage",
                        .Uses = {"controls"},
                        .Initialization = [] { ++initializations; RegisterClass(TPackagedWidget::StaticClass()); },
                        .Finalization = [] { UnRegisterClass(TPackagedWidget::StaticClass()); }});

}  // namespace zvpackage

extern "C" {

__attribute__((visibility("default"))) void Register() {
  using namespace zvpackage;
  RegisterComponents("Packaged", {TPackagedWidget::StaticClass()});
  RegisterComponentEditor(TPackagedWidget::StaticClass(), &ComponentEditorClassOf<TPackagedEditor>);
  RegisterPropertyEditor(TypeInfoOf<int>(), TPackagedWidget::StaticClass(), "Size",
                         &PropertyEditorClassOf<TPackagedSizeProperty>);
}

// What the package sees as the class registry and the application.
__attribute__((visibility("default"))) zv::TClass PackageGetClass(const char* name) { return zv::GetClass(name); }
__attribute__((visibility("default"))) void* PackageApplication() { return zv::Application.operator->(); }
__attribute__((visibility("default"))) int PackageInitializations() { return zvpackage::initializations; }
}
