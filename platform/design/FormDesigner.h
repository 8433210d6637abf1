#pragma once
// The form designer: a root (a form or a data module) held in design state, what the editors
// ask of it (IDesigner), what the design windows hear from it (IDesignNotification), and the
// design surface that turns mouse and keys on the designed form into selecting, moving,
// sizing, creating and deleting components.
//
// Components of other open roots are named "Root.Name" and found back from that name. The
// selection never holds a destroyed object: a component or collection item that goes leaves it
// (ItemDeleted, then SelectionChanged).

#include "platform/controls/Form.h"
#include "platform/design/DesignEditors.h"

#include <map>
#include <memory>
#include <vector>

namespace zv {

class TFormDesigner;
class TPopupMenu;

class IDesigner {
public:
  virtual ~IDesigner() = default;
  virtual TComponent* Root() const = 0;
  // Marks the root changed and tells the design windows (ItemsModified).
  virtual void Modified() = 0;

  virtual void GetSelections(TDesignerSelections& list) const = 0;
  virtual void SetSelections(const TDesignerSelections& list) = 0;
  virtual void SelectComponent(TPersistent* instance) = 0;
  virtual void ClearSelection() = 0;

  // The names of the components of this root and of the other open roots ("Root.Name") whose
  // class is typeData's class or a descendant.
  virtual void GetComponentNames(const TTypeInfo* typeData, const TGetStrProc& proc) = 0;
  virtual TComponent* GetComponent(const String& name) = 0;
  virtual String GetComponentName(TComponent* component) = 0;
  // The class's name less its leading "T" and the smallest number no component of the root uses.
  virtual String UniqueName(const String& baseName) = 0;
  // A new component of cls in parent (a windowed control of the root; null: the root) at the
  // given bounds; a width or height of 0 keeps what the constructor gave.
  virtual TComponent* CreateComponent(TClass cls, TComponent* parent, int left, int top, int width, int height) = 0;
  // Deletes the selected components (never the root) and collection items.
  virtual void DeleteSelection() = 0;

  // Handlers of the root, by name.
  virtual TMethod CreateMethod(const String& name, const TTypeInfo* typeData) = 0;
  virtual void ShowMethod(const String& name) = 0;
  virtual bool MethodExists(const String& name) = 0;
  // The names of the root's handlers whose signature is typeData's.
  virtual void GetMethods(const TTypeInfo* typeData, const TGetStrProc& proc) = 0;
  // The handler name an event property of instance holds ("" none).
  virtual String GetMethodName(const TPersistent* instance, const TPropInfo* prop) = 0;
  // Binds an event property of instance to the root's handler name ("" clears it).
  virtual void SetMethodName(TPersistent* instance, const TPropInfo* prop, const String& name) = 0;
};

class IDesignNotification {
public:
  virtual ~IDesignNotification() = default;
  virtual void ItemDeleted(IDesigner* designer, TPersistent* item) { (void)designer; (void)item; }
  virtual void ItemInserted(IDesigner* designer, TPersistent* item) { (void)designer; (void)item; }
  virtual void ItemsModified(IDesigner* designer) { (void)designer; }
  virtual void SelectionChanged(IDesigner* designer, const TDesignerSelections& selection) { (void)designer; (void)selection; }
  virtual void DesignerOpened(IDesigner* designer, bool resurrecting) { (void)designer; (void)resurrecting; }
  virtual void DesignerClosed(IDesigner* designer, bool goingDormant) { (void)designer; (void)goingDormant; }
};
void RegisterDesignNotification(IDesignNotification* notification);
void UnregisterDesignNotification(IDesignNotification* notification);

// The open designers, in the order they were opened.
const std::vector<TFormDesigner*>& ActiveDesigners();

// Renames a designed component. A control whose style asks for it (csSetCaption) and whose
// caption is still its old name takes the new name as its caption, so that a control dropped on
// the form reads "Button1" until the user gives it a caption of its own.
void RenameComponent(TComponent& component, const String& name);

// A window of the design environment (an editor of a component's parts) that hears the
// designers' notifications while it is open; it goes when its package is unloaded.
class TDesignWindow : public TForm, public IDesignNotification {
  ZV_CLASS(TDesignWindow, TForm)

public:
  explicit TDesignWindow(TComponent* owner);
  ~TDesignWindow() override;
  IDesigner* Designer() const { return fDesigner; }
  void SetDesigner(IDesigner* designer) { fDesigner = designer; }
  void DesignerClosed(IDesigner* designer, bool goingDormant) override;

private:
  IDesigner* fDesigner = nullptr;
};

class TFormDesigner : public IDesigner, public IDesignerHook {
public:
  // Puts root and what it owns in design state; the designer does not own root.
  explicit TFormDesigner(TComponent* root);
  ~TFormDesigner() override;
  TFormDesigner(const TFormDesigner&) = delete;
  TFormDesigner& operator=(const TFormDesigner&) = delete;

  // Reads a form file into a new root of the class it names and opens a designer on it. A
  // file that does not read raises the reader's error; nothing is opened then.
  static std::unique_ptr<TFormDesigner> OpenForm(std::string_view formText);
  // Writes the root as form text, handlers by their names.
  String FormText();
  // Frees the root as well when the designer goes.
  void SetOwnsRoot(bool value) { fOwnsRoot = value; }
  bool IsModified() const { return fModified; }
  void SetModified(bool value) { fModified = value; }

  // --- IDesigner ------------------------------------------------------------------------------
  TComponent* Root() const override { return fRoot; }
  void Modified() override;
  void GetSelections(TDesignerSelections& list) const override { list = fSelection; }
  const TDesignerSelections& Selection() const { return fSelection; }
  void SetSelections(const TDesignerSelections& list) override;
  void SelectComponent(TPersistent* instance) override;
  void ClearSelection() override { SetSelections({}); }
  void GetComponentNames(const TTypeInfo* typeData, const TGetStrProc& proc) override;
  TComponent* GetComponent(const String& name) override;
  String GetComponentName(TComponent* component) override;
  String UniqueName(const String& baseName) override;
  TComponent* CreateComponent(TClass cls, TComponent* parent, int left, int top, int width, int height) override;
  void DeleteSelection() override;
  TMethod CreateMethod(const String& name, const TTypeInfo* typeData) override;
  void ShowMethod(const String& name) override;
  bool MethodExists(const String& name) override;
  void GetMethods(const TTypeInfo* typeData, const TGetStrProc& proc) override;
  String GetMethodName(const TPersistent* instance, const TPropInfo* prop) override;
  void SetMethodName(TPersistent* instance, const TPropInfo* prop, const String& name) override;
  // The handler shown last (ShowMethod): what a code editor would open.
  const String& ShownMethod() const { return fShownMethod; }

  // --- IDesignerHook --------------------------------------------------------------------------
  void Notification(TPersistent* object, TOperation operation) override;
  bool IsDesignMsg(TControl* sender, TMessage& message) override;
  void ValidateRename(TComponent* component, const String& currentName, const String& newName) override;
  TComponent* GetRoot() override { return fRoot; }
  // A single selected control shows eight black grab handles; each control of a selection of
  // several shows grey marks at its four corners (it is moved with the others, not sized); the
  // components that are no controls show as icons (a raised square with the class's image or a
  // generic glyph, the name under it).
  void PaintDesignMarks(TWinControl* window, TPaintDevice& dc) override;

  // --- The surface ----------------------------------------------------------------------------
  // The palette class the next click creates (null: clicks select).
  TClass PaletteTool() const { return fPaletteTool; }
  void SetPaletteTool(TClass cls) { fPaletteTool = cls; }
  // The menu of the last right-click: the component editor's verbs, "-", the host's items.
  TPopupMenu* ContextMenu() const { return fContextMenu; }
  // Drops the component editor of the last context menu (a package that made it is going).
  void ReleaseEditors();
  // Where a component is on the designed form, in the form's client coordinates: a control's
  // bounds, an icon's square at DesignInfo for the rest.
  TRect ComponentRect(TComponent* component) const;
  // The grab handle (0 top-left, clockwise to 7 left) of the single selected control at p in
  // the form's client coordinates, -1 none.
  int GrabHandleAt(TPoint p) const;
  static constexpr int IconSize = 28;
  static constexpr int GrabSize = 5;

private:
  struct MethodName {
    String Name;
    String SignatureName;  // "": made for no event in particular
  };
  void Remove(TPersistent* object);
  void SelectionChangedNow();
  bool MouseMessage(TControl* sender, TMessage& message);
  bool KeyMessage(TMessage& message);
  void ShowContextMenu(TComponent* component, TPoint screen);
  TComponent* ComponentAt(TPoint p) const;        // the root's client coordinates
  TWinControl* ContainerAt(TPoint p) const;
  TPoint ToRoot(TControl* control, TPoint p) const;
  // Repaints the root's windows, for the marks painted above them.
  void InvalidateMarks();

  TComponent* fRoot;
  TPopupMenu* fContextMenu;  // owned
  bool fOwnsRoot = false;
  bool fModified = false;
  bool fClosing = false;
  TDesignerSelections fSelection;
  // Handlers that the root's class does not publish: the names of the events bound to them.
  std::map<std::pair<const TPersistent*, const TPropInfo*>, String> fHandlers;
  std::vector<MethodName> fMethods;  // created in this designer
  String fShownMethod;
  TClass fPaletteTool = nullptr;
  std::unique_ptr<TComponentEditor> fMenuEditor;
  // The mouse gesture in progress.
  enum class Drag { None, Move, Size };
  Drag fDrag = Drag::None;
  int fHandle = -1;
  TPoint fDragStart{};
  std::vector<std::pair<TComponent*, TRect>> fDragOrigins;
};

}  // namespace zv
