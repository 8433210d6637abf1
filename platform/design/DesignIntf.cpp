#include "platform/design/DesignIntf.h"

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/design/DesignConsts.h"
#include "platform/design/DesignEditors.h"
#include "platform/design/FormDesigner.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>
#include <climits>
#include <map>
#include <tuple>

namespace zv {

namespace {

// Registrations remember the package whose Register made them (null: the program's own).
struct ComponentEditorEntry {
  TClass ComponentClass;
  TComponentEditorClass EditorClass;
  TPackageHandle Package;
};
struct PropertyEditorEntry {
  const TTypeInfo* PropertyType;
  TClass ComponentClass;
  String PropertyName;
  TPropertyEditorClass EditorClass;
  TPackageHandle Package;
};
struct ImageEntry {
  std::unique_ptr<TBitmap> Image;
  TPackageHandle Package;
};
struct PackageEntry {
  String Path;
  HMODULE Module;
  int Loads;
  std::vector<String> ModuleNames;
};

struct Registry {
  std::vector<TPalettePage> pages;
  std::map<TClass, TPackageHandle> paletteOwners;
  std::vector<ComponentEditorEntry> componentEditors;
  std::vector<PropertyEditorEntry> propertyEditors;
  std::map<TClass, ImageEntry> images;
  std::vector<PackageEntry> packages;
  std::map<int, TPackageUnloadProc> unloadProcs;
  int nextUnloadProc = 1;
  TPackageHandle registering = nullptr;
};

Registry& Reg() {
  static Registry registry;
  return registry;
}

// Steps from cls up to ancestor; INT_MAX when ancestor is not one.
int Distance(TClass cls, TClass ancestor) {
  int d = 0;
  for (TClass c = cls; c; c = c->Parent, ++d)
    if (c == ancestor) return d;
  return INT_MAX;
}

bool Contains(const std::vector<TClass>& classes, TClass cls) {
  return std::find(classes.begin(), classes.end(), cls) != classes.end();
}

}  // namespace

// --- The palette -------------------------------------------------------------------------------

void RegisterComponents(const String& page, const std::vector<TClass>& classes) {
  Registry& r = Reg();
  // All checked before any is registered: a refused call leaves the palette as it was.
  for (std::size_t i = 0; i < classes.size(); ++i) {
    const TClass cls = classes[i];
    const TClass known = GetClass(cls->Name);
    TClass onPalette = FindPaletteClass(cls->Name);
    for (std::size_t j = 0; j < i && !onPalette; ++j)
      if (classes[j] != cls && SameText(classes[j]->Name, cls->Name)) onPalette = classes[j];
    if ((known && known != cls) || (onPalette && onPalette != cls))
      throw EComponentError(Format(SDuplicateClass, {cls->Name}));
  }
  auto it = std::find_if(r.pages.begin(), r.pages.end(), [&](const TPalettePage& p) { return SameText(p.Name, page); });
  if (it == r.pages.end()) {
    r.pages.push_back({page, {}});
    it = std::prev(r.pages.end());
  }
  for (TClass cls : classes) {
    if (r.paletteOwners.contains(cls)) continue;
    it->Classes.push_back(cls);
    r.paletteOwners[cls] = r.registering;
    RegisterClass(cls);
  }
}

const std::vector<TPalettePage>& PalettePages() { return Reg().pages; }

TClass FindPaletteClass(std::string_view name) {
  for (const auto& [cls, package] : Reg().paletteOwners)
    if (SameText(cls->Name, name)) return cls;
  return nullptr;
}

// --- Component images --------------------------------------------------------------------------

void RegisterComponentImage(TClass componentClass, const TBitmap* image) {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(image);
  Reg().images[componentClass] = {std::move(copy), Reg().registering};
}

TBitmap* ComponentImage(TClass componentClass) {
  const auto& images = Reg().images;
  for (TClass c = componentClass; c; c = c->Parent)
    if (const auto it = images.find(c); it != images.end()) return it->second.Image.get();
  return nullptr;
}

// --- Component editors ------------------------------------------------------------------------

void RegisterComponentEditor(TClass componentClass, TComponentEditorClass editorClass) {
  Reg().componentEditors.push_back({componentClass, editorClass, Reg().registering});
}

std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent* component, IDesigner* designer) {
  const ComponentEditorEntry* best = nullptr;
  int bestDistance = INT_MAX;
  for (const ComponentEditorEntry& e : Reg().componentEditors) {
    const int d = Distance(component->ClassType(), e.ComponentClass);
    if (d <= bestDistance && d != INT_MAX) {  // <=: the later of one class wins
      best = &e;
      bestDistance = d;
    }
  }
  if (best) return best->EditorClass(component, designer);
  return std::make_unique<TDefaultEditor>(component, designer);
}

// --- Property editors ---------------------------------------------------------------------------

void RegisterPropertyEditor(const TTypeInfo* propertyType, TClass componentClass, const String& propertyName,
                            TPropertyEditorClass editorClass) {
  Reg().propertyEditors.push_back({propertyType, componentClass, propertyName, editorClass, Reg().registering});
}

namespace {

TPropertyEditorClass StandardEditorClass(const TPropInfo* prop) {
  const TTypeInfo* type = prop->PropType;
  switch (type->Kind) {
    case tkInteger: return &PropertyEditorClassOf<TIntegerProperty>;
    case tkInt64: return &PropertyEditorClassOf<TInt64Property>;
    case tkChar:
    case tkWChar: return &PropertyEditorClassOf<TCharProperty>;
    case tkEnumeration:
      if (type == TypeInfoOf<bool>()) return &PropertyEditorClassOf<TBoolProperty>;
      return &PropertyEditorClassOf<TEnumProperty>;
    case tkFloat: return &PropertyEditorClassOf<TFloatProperty>;
    case tkString:
    case tkLString:
    case tkWString: return &PropertyEditorClassOf<TStringProperty>;
    case tkSet: return &PropertyEditorClassOf<TSetProperty>;
    case tkClass:
      if (type->IsComponentReference) return &PropertyEditorClassOf<TComponentProperty>;
      return &PropertyEditorClassOf<TClassProperty>;
    case tkMethod: return &PropertyEditorClassOf<TMethodProperty>;
    default: return &PropertyEditorClassOf<TPropertyEditor>;
  }
}

// How far the registered type is from the property's: 0 the same, the steps to an ancestor
// class for class types, INT_MAX no match.
int TypeDistance(const TTypeInfo* registered, const TTypeInfo* actual) {
  if (registered == actual) return 0;
  if (registered->Kind == tkClass && actual->Kind == tkClass && registered->ClassType && actual->ClassType)
    return Distance(actual->ClassType, registered->ClassType);
  return INT_MAX;
}

}  // namespace

TPropertyEditorClass GetEditorClass(const TPropInfo* prop, const TPersistent* instance) {
  const PropertyEditorEntry* best = nullptr;
  // Ranks compared in order: a name given, the class's nearness, the type's nearness; a later
  // registration wins a tie.
  std::tuple<int, int, int> bestRank{INT_MIN, INT_MIN, INT_MIN};
  for (const PropertyEditorEntry& e : Reg().propertyEditors) {
    const int typeDistance = TypeDistance(e.PropertyType, prop->PropType);
    if (typeDistance == INT_MAX) continue;
    int classDistance = INT_MAX - 1;  // none: farther than any class
    if (e.ComponentClass) {
      classDistance = Distance(instance->ClassType(), e.ComponentClass);
      if (classDistance == INT_MAX) continue;
    }
    if (!e.PropertyName.empty() && !SameText(e.PropertyName, prop->Name)) continue;
    const std::tuple<int, int, int> rank{e.PropertyName.empty() ? 0 : 1, -classDistance, -typeDistance};
    if (rank >= bestRank) {
      best = &e;
      bestRank = rank;
    }
  }
  return best ? best->EditorClass : StandardEditorClass(prop);
}

// --- Packages ---------------------------------------------------------------------------------

int AddPackageUnloadProc(TPackageUnloadProc proc) {
  const int id = Reg().nextUnloadProc++;
  Reg().unloadProcs[id] = std::move(proc);
  return id;
}

void RemovePackageUnloadProc(int id) { Reg().unloadProcs.erase(id); }

namespace {

PackageEntry* FindPackage(TPackageHandle handle) {
  for (PackageEntry& p : Reg().packages)
    if (p.Module == handle) return &p;
  return nullptr;
}

// Takes back what registering under package made, and the palette entries and editors of the
// given classes.
void DropRegistrations(TPackageHandle package, const std::vector<TClass>& classes) {
  Registry& r = Reg();
  for (TPalettePage& page : r.pages)
    std::erase_if(page.Classes, [&](TClass c) { return r.paletteOwners[c] == package || Contains(classes, c); });
  std::erase_if(r.pages, [](const TPalettePage& p) { return p.Classes.empty(); });
  std::erase_if(r.paletteOwners, [&](const auto& e) { return e.second == package || Contains(classes, e.first); });
  std::erase_if(r.componentEditors,
                [&](const ComponentEditorEntry& e) { return e.Package == package || Contains(classes, e.ComponentClass); });
  std::erase_if(r.propertyEditors,
                [&](const PropertyEditorEntry& e) { return e.Package == package || Contains(classes, e.ComponentClass); });
  std::erase_if(r.images, [&](const auto& e) { return e.second.Package == package || Contains(classes, e.first); });
}

// The registered classes whose metaclass lives in module.
std::vector<TClass> ClassesOf(HMODULE module) {
  std::vector<TClass> classes;
  for (TClass cls : RegisteredClasses())
    if (FindLibraryOf(cls) == module) classes.push_back(cls);
  for (const auto& [cls, package] : Reg().paletteOwners)
    if (!Contains(classes, cls) && FindLibraryOf(cls) == module) classes.push_back(cls);
  return classes;
}

void RemoveModules(const std::vector<String>& names) {
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    try {
      Modules().Remove(*it);
    } catch (...) {
      // A failing finalization must not keep the package's other modules from going.
    }
  }
}

}  // namespace

TPackageHandle LoadDesignPackage(const String& path) {
  Registry& r = Reg();
  for (PackageEntry& p : r.packages)
    if (p.Path == path) {
      ++p.Loads;
      return p.Module;
    }
  const std::vector<String> before = Modules().Names();
  String error;
  HMODULE module = LoadLibrary(path, error);
  if (!module) throw EPackageError(Format(SErrorLoadingPackage, {path, error}));
  std::vector<String> added;
  for (const String& name : Modules().Names())
    if (std::none_of(before.begin(), before.end(), [&](const String& b) { return SameText(b, name); })) added.push_back(name);
  using TRegisterProc = void (*)();
  auto registerProc = reinterpret_cast<TRegisterProc>(GetProcAddress(module, "Register"));
  try {
    if (!registerProc) throw EPackageError(Format(SErrorLoadingPackage, {path, SNoRegisterProc}));
    Modules().Initialize();
    r.registering = module;
    registerProc();
    r.registering = nullptr;
  } catch (...) {
    r.registering = nullptr;
    DropRegistrations(module, {});
    for (TClass cls : ClassesOf(module)) UnRegisterClass(cls);
    ReleaseTypeInfo([&](TClass cls) { return FindLibraryOf(cls) == module; });
    RemoveModules(added);
    FreeLibrary(module);
    throw;
  }
  r.packages.push_back({path, module, 1, std::move(added)});
  return module;
}

int DesignPackageLoadCount(TPackageHandle package) {
  const PackageEntry* p = FindPackage(package);
  return p ? p->Loads : 0;
}

void UnloadDesignPackage(TPackageHandle package) {
  Registry& r = Reg();
  PackageEntry* entry = FindPackage(package);
  if (!entry) return;
  if (entry->Loads > 1) {
    --entry->Loads;
    return;
  }
  // Nothing of the package's code may run once it is closed: components made from its classes
  // would, so they keep it loaded.
  for (TFormDesigner* designer : ActiveDesigners()) {
    TComponent* root = designer->Root();
    const auto live = [&](TComponent* c) { return FindLibraryOf(c->ClassType()) == package; };
    bool found = live(root);
    for (int i = 0; i < root->ComponentCount() && !found; ++i) found = live(root->Components(i));
    if (found) throw EPackageError(Format(SPackageInUse, {entry->Path}));
  }
  const std::vector<TClass> classes = ClassesOf(package);
  for (TFormDesigner* designer : ActiveDesigners()) designer->ReleaseEditors();
  // Its windows go before its code: whatever they hold is freed while it can still run.
  std::vector<TCustomForm*> windows;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (FindLibraryOf(Screen->Forms(i)->ClassType()) == package) windows.push_back(Screen->Forms(i));
  for (TCustomForm* window : windows) delete window;
  for (const auto& [id, proc] : std::map<int, TPackageUnloadProc>(r.unloadProcs)) proc(package, classes);
  DropRegistrations(package, classes);
  for (TClass cls : classes) UnRegisterClass(cls);
  ReleaseTypeInfo([&](TClass cls) { return FindLibraryOf(cls) == package; });
  const std::vector<String> modules = entry->ModuleNames;
  std::erase_if(r.packages, [&](const PackageEntry& p) { return p.Module == package; });
  RemoveModules(modules);
  FreeLibrary(package);
}

}  // namespace zv
