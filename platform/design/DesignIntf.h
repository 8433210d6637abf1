#pragma once
// What the form designer knows of the classes it can place and edit: the component palette
// (RegisterComponents), the component editors (context-menu verbs and double-click) and the
// property editors (how the inspector shows and sets a property), and the design packages that
// register them: shared libraries opened at design time whose exported Register function makes
// the registrations, all of them taken back when the package is unloaded.

#include "platform/classes/Component.h"
#include "platform/classes/TypeInfo.h"

#include <memory>
#include <vector>

namespace zv {

class IDesigner;
class TBitmap;
class TComponentEditor;
class TPropertyEditor;

// A class reference of editors: how the designer makes one.
using TComponentEditorClass = std::unique_ptr<TComponentEditor> (*)(TComponent* component, IDesigner* designer);
using TPropertyEditorClass = std::unique_ptr<TPropertyEditor> (*)(IDesigner* designer, int propCount);
template <class E>
std::unique_ptr<TComponentEditor> ComponentEditorClassOf(TComponent* component, IDesigner* designer) {
  return std::make_unique<E>(component, designer);
}
template <class E>
std::unique_ptr<TPropertyEditor> PropertyEditorClassOf(IDesigner* designer, int propCount) {
  return std::make_unique<E>(designer, propCount);
}

class EPackageError : public Exception {
public:
  using Exception::Exception;
};

// --- The palette -------------------------------------------------------------------------------
struct TPalettePage {
  String Name;
  std::vector<TClass> Classes;
};
// Puts classes on page (pages keep the order they were first named in, classes the order they
// came in) and makes them creatable by name. A class already there is skipped; a different
// class under a registered name raises EComponentError "A class named %s already exists" and
// registers nothing of this call.
void RegisterComponents(const String& page, const std::vector<TClass>& classes);
const std::vector<TPalettePage>& PalettePages();
// The palette class named so (without case), or null.
TClass FindPaletteClass(std::string_view name);

// --- Component images -------------------------------------------------------------------------
// The image that shows a class's non-visual components on a designed form (a copy is kept).
// A class without one shows its nearest ancestor's, else the designer's generic glyph; a
// package's images go with it.
void RegisterComponentImage(TClass componentClass, const TBitmap* image);
TBitmap* ComponentImage(TClass componentClass);

// --- Component editors ------------------------------------------------------------------------
void RegisterComponentEditor(TClass componentClass, TComponentEditorClass editorClass);
// The editor registered for the nearest class of the component's ancestry (of two for one
// class, the later); TDefaultEditor when none is.
std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent* component, IDesigner* designer);

// --- Property editors -------------------------------------------------------------------------
// An editor for properties of propertyType (for class types: of it or a descendant), of
// instances of componentClass or a descendant (null: any), named propertyName (empty: any
// name; compared without case).
void RegisterPropertyEditor(const TTypeInfo* propertyType, TClass componentClass, const String& propertyName,
                            TPropertyEditorClass editorClass);
// The editor class for a property of an instance: among the registrations that match, the one
// that names the property, then the one of the nearer class (none is the farthest), then of
// the nearer type, then the later; without a match the standard editor of the property's kind.
TPropertyEditorClass GetEditorClass(const TPropInfo* prop, const TPersistent* instance);

// --- Packages ---------------------------------------------------------------------------------
using TPackageHandle = void*;
// Opens the shared library, initializes the modules it adds, calls its exported
// `extern "C" void Register()`; loading a package that is loaded counts the load. A library
// that cannot be opened or has no Register raises EPackageError "Can't load package %s.\n%s"
// and leaves nothing registered.
TPackageHandle LoadDesignPackage(const String& path);
// Counts a load back; the last takes back the package's palette entries, its editors and the
// classes whose code it holds (EPackageError while components of those classes live), closes
// the design windows that belong to it, finalizes and removes its modules and closes the
// library.
void UnloadDesignPackage(TPackageHandle package);
int DesignPackageLoadCount(TPackageHandle package);

// Told before a package's code goes, so that windows and objects made by it can be freed
// (the designers close what shows components of its classes). Returns an id for removal.
using TPackageUnloadProc = std::function<void(TPackageHandle package, const std::vector<TClass>& classes)>;
int AddPackageUnloadProc(TPackageUnloadProc proc);
void RemovePackageUnloadProc(int id);

}  // namespace zv
