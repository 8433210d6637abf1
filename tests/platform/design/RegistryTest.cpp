// The palette, the component and property editor registries, and design packages.

#include "DesignTestClasses.h"
#include "ExpectMessage.h"

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/ComCtrls.h"
#include "platform/design/DesignIntf.h"

#include <typeinfo>

namespace zvtest {

namespace {

class TPaletteA : public TComponent {
  ZV_CLASS(TPaletteA, TComponent)
public:
  using TComponent::TComponent;
};
class TPaletteB : public TComponent {
  ZV_CLASS(TPaletteB, TComponent)
public:
  using TComponent::TComponent;
};
ZV_DEFINE_CLASS(TPaletteA, TComponent)
ZV_DEFINE_CLASS(TPaletteB, TComponent)

// A second class that calls itself TPaletteA.
namespace impostor {
class TPaletteA : public TComponent {
  ZV_CLASS(TPaletteA, TComponent)
public:
  using TComponent::TComponent;
};
ZV_DEFINE_CLASS(TPaletteA, TComponent)
}  // namespace impostor

std::vector<std::string> PageNames() {
  std::vector<std::string> names;
  for (const TPalettePage& p : PalettePages()) names.push_back(p.Name);
  return names;
}

std::vector<std::string> ClassNames(const std::string& page) {
  std::vector<std::string> names;
  for (const TPalettePage& p : PalettePages())
    if (p.Name == page)
      for (TClass c : p.Classes) names.push_back(c->Name);
  return names;
}

// Publishes the host's input events as an object inspector lists them.
class TEventfulControl : public TWinControl {
  ZV_CLASS(TEventfulControl, TWinControl)
public:
  using TWinControl::TWinControl;
  static void DeclareProperties(TPropTable<TEventfulControl>& t) {
    for (const char* name : {"OnClick", "OnKeyDown", "OnKeyPress", "OnMouseDown", "OnMouseMove", "OnDragDrop", "OnEndDrag"})
      t.Publish(name);
  }
};
ZV_DEFINE_CLASS_WITH_PROPS(TEventfulControl, TWinControl)

}  // namespace

TEST(DesignRegistry, EventPropertiesReadTheirOwnTypeNames) {
  struct Case {
    TClass Class;
    const char* Prop;
    const char* Type;
  };
  // OnDragDrop and OnEndDrag take the same arguments, as OnChanging and a form's OnCloseQuery.
  const Case cases[] = {
      {TEventfulControl::StaticClass(), "OnClick", "TNotifyEvent"},
      {TEventfulControl::StaticClass(), "OnKeyDown", "TKeyEvent"},
      {TEventfulControl::StaticClass(), "OnKeyPress", "TKeyPressEvent"},
      {TEventfulControl::StaticClass(), "OnMouseDown", "TMouseEvent"},
      {TEventfulControl::StaticClass(), "OnMouseMove", "TMouseMoveEvent"},
      {TEventfulControl::StaticClass(), "OnDragDrop", "TDragDropEvent"},
      {TEventfulControl::StaticClass(), "OnEndDrag", "TEndDragEvent"},
      {TPageControl::StaticClass(), "OnChanging", "TTabChangingEvent"},
  };
  for (const Case& c : cases) {
    const TPropInfo* prop = GetPropInfo(c.Class, c.Prop);
    ASSERT_NE(prop, nullptr) << c.Prop;
    EXPECT_EQ(prop->PropType->Kind, tkMethod) << c.Prop;
    EXPECT_EQ(prop->PropType->Name, c.Type) << c.Prop;
  }
}

TEST(DesignRegistry, PalettePagesKeepOrderAndRefuseAnotherClassOfATakenName) {
  RegisterComponents("Palette One", {TPaletteA::StaticClass()});
  RegisterComponents("Palette Two", {TPaletteB::StaticClass()});
  RegisterComponents("Palette One", {TPaletteB::StaticClass(), TPaletteA::StaticClass()});
  const auto pages = PageNames();
  const auto one = std::find(pages.begin(), pages.end(), "Palette One");
  ASSERT_NE(one, pages.end());
  EXPECT_EQ(*std::next(one), "Palette Two");
  // TPaletteB is on "Palette Two" already: the same class again is skipped.
  EXPECT_EQ(ClassNames("Palette One"), std::vector<std::string>{"TPaletteA"});
  EXPECT_EQ(GetClass("TPaletteB"), TPaletteB::StaticClass());

  EXPECT_EQ(MessageOf<EComponentError>([] {
              RegisterComponents("Palette Three", {TWidget::StaticClass(), impostor::TPaletteA::StaticClass()});
            }),
            "A class named TPaletteA already exists");
  EXPECT_EQ(FindPaletteClass("TWidget"), nullptr);
  EXPECT_TRUE(ClassNames("Palette Three").empty());
  EXPECT_EQ(GetClass("TPaletteA"), TPaletteA::StaticClass());
}

namespace {

class TEditorBase : public TComponent {
  ZV_CLASS(TEditorBase, TComponent)
public:
  using TComponent::TComponent;
};
class TEditorMid : public TEditorBase {
  ZV_CLASS(TEditorMid, TEditorBase)
public:
  using TEditorBase::TEditorBase;
};
class TEditorLeaf : public TEditorMid {
  ZV_CLASS(TEditorLeaf, TEditorMid)
public:
  using TEditorMid::TEditorMid;
};
ZV_DEFINE_CLASS(TEditorBase, TComponent)
ZV_DEFINE_CLASS(TEditorMid, TEditorBase)
ZV_DEFINE_CLASS(TEditorLeaf, TEditorMid)

template <int N>
class TMarkedEditor : public TComponentEditor {
public:
  using TComponentEditor::TComponentEditor;
  int GetVerbCount() override { return N; }
};

}  // namespace

TEST(DesignRegistry, ComponentEditorOfTheNearestClassTheLaterForOneClass) {
  RegisterComponentEditor(TEditorBase::StaticClass(), &ComponentEditorClassOf<TMarkedEditor<1>>);
  RegisterComponentEditor(TEditorMid::StaticClass(), &ComponentEditorClassOf<TMarkedEditor<2>>);
  RegisterComponentEditor(TEditorMid::StaticClass(), &ComponentEditorClassOf<TMarkedEditor<3>>);
  TEditorBase base(nullptr);
  TEditorLeaf leaf(nullptr);
  TPaletteA other(nullptr);
  EXPECT_EQ(GetComponentEditor(&base, nullptr)->GetVerbCount(), 1);
  EXPECT_EQ(GetComponentEditor(&leaf, nullptr)->GetVerbCount(), 3);
  auto fallback = GetComponentEditor(&other, nullptr);
  EXPECT_NE(dynamic_cast<TDefaultEditor*>(fallback.get()), nullptr);
  EXPECT_EQ(fallback->Component(), &other);
}

namespace {

class TRankPart : public TPersistent {
  ZV_CLASS(TRankPart, TPersistent)
};
class TRankPartLeaf : public TRankPart {
  ZV_CLASS(TRankPartLeaf, TRankPart)
};
ZV_DEFINE_CLASS(TRankPart, TPersistent)
ZV_DEFINE_CLASS(TRankPartLeaf, TRankPart)

class TRankBase : public TComponent {
  ZV_CLASS(TRankBase, TComponent)
public:
  explicit TRankBase(TComponent* owner) : TComponent(owner) {}
  int Value() const { return 0; }
  void SetValue(int) {}
  TRankPartLeaf* Part() const { return const_cast<TRankPartLeaf*>(&fPart); }
  static void DeclareProperties(TPropTable<TRankBase>& t) {
    t.Prop("Alpha", &TRankBase::Value, &TRankBase::SetValue);
    t.Prop("Beta", &TRankBase::Value, &TRankBase::SetValue);
    t.Prop("Part", &TRankBase::Part);
  }

private:
  TRankPartLeaf fPart;
};
class TRankMid : public TRankBase {
  ZV_CLASS(TRankMid, TRankBase)
public:
  using TRankBase::TRankBase;
};
class TRankLeaf : public TRankMid {
  ZV_CLASS(TRankLeaf, TRankMid)
public:
  using TRankMid::TRankMid;
};
// Holds a part outside the TRankBase family.
class TRankOther : public TComponent {
  ZV_CLASS(TRankOther, TComponent)
public:
  explicit TRankOther(TComponent* owner) : TComponent(owner) {}
  TRankPartLeaf* Part() const { return const_cast<TRankPartLeaf*>(&fPart); }
  static void DeclareProperties(TPropTable<TRankOther>& t) { t.Prop("Part", &TRankOther::Part); }

private:
  TRankPartLeaf fPart;
};
ZV_DEFINE_CLASS_WITH_PROPS(TRankBase, TComponent)
ZV_DEFINE_CLASS(TRankMid, TRankBase)
ZV_DEFINE_CLASS(TRankLeaf, TRankMid)
ZV_DEFINE_CLASS_WITH_PROPS(TRankOther, TComponent)

template <int N>
class TRankEditor : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  String GetValue() override { return "E" + std::to_string(N); }
};

}  // namespace

TEST(DesignRegistry, PropertyEditorChosenByNameThenClassThenTypeThenLater) {
  RegisterPropertyEditor(TypeInfoOf<TRankPart*>(), nullptr, "", &PropertyEditorClassOf<TRankEditor<1>>);
  RegisterPropertyEditor(TypeInfoOf<TRankPartLeaf*>(), nullptr, "", &PropertyEditorClassOf<TRankEditor<2>>);
  RegisterPropertyEditor(TypeInfoOf<int>(), TRankBase::StaticClass(), "", &PropertyEditorClassOf<TRankEditor<3>>);
  RegisterPropertyEditor(TypeInfoOf<int>(), TRankMid::StaticClass(), "", &PropertyEditorClassOf<TRankEditor<4>>);
  RegisterPropertyEditor(TypeInfoOf<int>(), TRankBase::StaticClass(), "alpha", &PropertyEditorClassOf<TRankEditor<5>>);
  RegisterPropertyEditor(TypeInfoOf<int>(), TRankMid::StaticClass(), "", &PropertyEditorClassOf<TRankEditor<6>>);
  RegisterPropertyEditor(TypeInfoOf<TRankPart*>(), TRankBase::StaticClass(), "", &PropertyEditorClassOf<TRankEditor<7>>);
  TRankBase base(nullptr);
  TRankLeaf leaf(nullptr);
  TRankOther other(nullptr);
  TWidget widget(nullptr);
  const struct {
    TComponent* Instance;
    const char* Prop;
    const char* Expected;
  } cases[] = {
      {&base, "Alpha", "E5"},   // a name given beats every class
      {&leaf, "Alpha", "E5"},
      {&base, "Beta", "E3"},
      {&leaf, "Beta", "E6"},    // the nearer class, the later of two for it
      {&base, "Part", "E7"},    // a class given beats none, before the type's nearness
      {&other, "Part", "E2"},   // no class either: the nearer type
      {&widget, "Count", "0"},  // nothing registered: the integer editor
  };
  for (const auto& c : cases) {
    const TPropInfo* prop = GetPropInfo(c.Instance, c.Prop);
    auto editor = GetEditorClass(prop, c.Instance)(nullptr, 1);
    editor->SetPropEntry(0, c.Instance, prop);
    EXPECT_EQ(editor->GetValue(), c.Expected) << c.Instance->ClassName() << "." << c.Prop;
  }
}

namespace {

using TGetClassFn = TClass (*)(const char*);
using TApplicationFn = void* (*)();
using TCountFn = int (*)();

template <class F>
F Export(TPackageHandle package, const char* name) {
  return reinterpret_cast<F>(GetProcAddress(package, name));
}

}  // namespace

TEST(DesignPackages, LoadedAndUnloadedThreeTimesSharingTheProgramsRegistry) {
  const std::size_t pagesBefore = PalettePages().size();
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    TPackageHandle package = LoadDesignPackage(ZV_TEST_PACKAGE);
    EXPECT_EQ(LoadDesignPackage(ZV_TEST_PACKAGE), package);
    EXPECT_EQ(DesignPackageLoadCount(package), 2);
    EXPECT_TRUE(Modules().Initialized("testpackage"));
    EXPECT_EQ(Export<TCountFn>(package, "PackageInitializations")(), 1);
    EXPECT_EQ(Export<TApplicationFn>(package, "PackageApplication")(), Application.operator->());
    const TClass widget = FindPaletteClass("TPackagedWidget");
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(GetClass("TPackagedWidget"), widget);
    EXPECT_EQ(Export<TGetClassFn>(package, "PackageGetClass")("TWidget"), TWidget::StaticClass());
    EXPECT_EQ(GetPropInfo(widget, "OnMeasure")->PropType->Name, "TPackagedMeasureEvent");

    {
      TDesignedForm designed("PackageForm");
      const int formsBefore = Screen->FormCount();
      TComponent* made = designed.Designer->CreateComponent(widget, nullptr, 8, 8, 0, 0);
      // Its property editor and component editor are the package's.
      {
        auto editors = EditorsOf({made}, designed.Designer.get());
        Find(editors, "Size")->SetValue("4");
      }
      EXPECT_EQ(GetOrdProp(made, GetPropInfo(made, "Size")), 44);
      auto editor = GetComponentEditor(made, designed.Designer.get());
      EXPECT_EQ(editor->GetVerb(0), "Open window...");
      editor->Edit();
      editor.reset();  // its code is the package's
      EXPECT_EQ(Screen->FormCount(), formsBefore + 1);
      UnloadDesignPackage(package);  // one of the two loads
      EXPECT_EQ(MessageOf<EPackageError>([&] { UnloadDesignPackage(package); }),
                std::string("Cannot unload package ") + ZV_TEST_PACKAGE + " while components of its classes exist");
      delete made;
      // The window the package opened goes with it, before its code.
      UnloadDesignPackage(package);
      EXPECT_EQ(Screen->FormCount(), formsBefore);
    }
    EXPECT_EQ(DesignPackageLoadCount(package), 0);
    EXPECT_EQ(GetClass("TPackagedWidget"), nullptr);
    EXPECT_EQ(FindPaletteClass("TPackagedWidget"), nullptr);
    EXPECT_FALSE(Modules().Contains("testpackage"));
    EXPECT_EQ(PalettePages().size(), pagesBefore);
    // The package's signature is still known by what the package could not take with it.
    const TTypeInfo* measure = TypeInfoOf<std::function<void(TObject*, double, long long&)>>();
    EXPECT_EQ(measure->Kind, tkMethod);
    EXPECT_TRUE(SignatureFits(measure, typeid(void(TObject*, double, long long&))));
  }
}

TEST(DesignPackages, NoLibraryOrNoRegisterLoadsNothing) {
  const std::size_t pagesBefore = PalettePages().size();
  const std::string missing = "/nonexistent/zv-package.so";
  EXPECT_EQ(MessageOf<EPackageError>([&] { LoadDesignPackage(missing); }).rfind("Can't load package " + missing + ".\n", 0), 0u);
  EXPECT_EQ(MessageOf<EPackageError>([] { LoadDesignPackage(ZV_TEST_NOREGISTER); }),
            std::string("Can't load package ") + ZV_TEST_NOREGISTER + ".\nThe package has no Register procedure");
  EXPECT_FALSE(Modules().Contains("noregister"));
  EXPECT_EQ(PalettePages().size(), pagesBefore);
}

}  // namespace zvtest
