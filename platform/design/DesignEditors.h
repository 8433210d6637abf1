#pragma once
// Property editors and component editors.
//
// A property editor edits one property of one or more selected objects as text: GetValue is the
// first object's value, SetValue converts the text and sets it on every selected object, then
// tells the designer once (Modified). Text that does not convert raises and changes nothing.
// GetComponentProperties makes the editors of what a selection publishes, as the inspector
// lists them.
//
// A component editor gives a component its context-menu verbs and its double-click action.

#include "platform/classes/Component.h"
#include "platform/classes/TypeInfo.h"
#include "platform/design/DesignIntf.h"

#include <functional>
#include <memory>
#include <vector>

namespace zv {

class TMenuItem;

enum TPropertyAttribute {
  paValueList, paSubProperties, paDialog, paMultiSelect, paAutoUpdate, paSortList, paReadOnly, paRevertable,
  paFullWidthName, paVolatileSubProperties
};
using TPropertyAttributes = TSet<TPropertyAttribute>;

using TGetStrProc = std::function<void(const String& value)>;
using TGetPropProc = std::function<void(std::unique_ptr<TPropertyEditor> editor)>;
using TDesignerSelections = std::vector<TPersistent*>;

class TPropertyEditor {
public:
  TPropertyEditor(IDesigner* designer, int propCount);
  TPropertyEditor(const TPropertyEditor&) = delete;
  TPropertyEditor& operator=(const TPropertyEditor&) = delete;
  virtual ~TPropertyEditor() = default;

  IDesigner* Designer() const { return fDesigner; }
  int PropCount() const { return static_cast<int>(fProps.size()); }
  TPersistent* GetComponent(int index) const { return fProps.at(static_cast<std::size_t>(index)).Instance; }
  const TPropInfo* GetPropInfo() const { return fProps.front().Prop; }
  void SetPropEntry(int index, TPersistent* instance, const TPropInfo* prop);
  virtual void Initialize() {}

  virtual String GetName() const;
  virtual TPropertyAttributes GetAttributes();
  virtual String GetValue();
  virtual void SetValue(const String& value);
  virtual void GetValues(const TGetStrProc& proc);
  virtual void GetProperties(const TGetPropProc& proc);
  // Every selected object has the first one's value.
  virtual bool AllEqual();
  virtual void Edit();
  // Back to the default the property declares (ordinal properties), on every selected object.
  virtual void Revert();
  // Tells the designer that the selection's values changed.
  void Modified();

  // Typed access: Get… reads the first selected object, Set… writes every one.
  std::int64_t GetOrdValue() const { return GetOrdValueAt(0); }
  std::int64_t GetOrdValueAt(int index) const;
  void SetOrdValue(std::int64_t value);
  std::int64_t GetInt64Value() const { return GetOrdValue(); }
  void SetInt64Value(std::int64_t value) { SetOrdValue(value); }
  long double GetFloatValue() const { return GetFloatValueAt(0); }
  long double GetFloatValueAt(int index) const;
  void SetFloatValue(long double value);
  String GetStrValue() const { return GetStrValueAt(0); }
  String GetStrValueAt(int index) const;
  void SetStrValue(const String& value);
  TMethod GetMethodValue() const { return GetMethodValueAt(0); }
  TMethod GetMethodValueAt(int index) const;
  void SetMethodValue(const TMethod& value);
  Variant GetVarValue() const;
  void SetVarValue(const Variant& value);
  TObject* GetObjectValue() const { return GetObjectValueAt(0); }
  TObject* GetObjectValueAt(int index) const;
  void SetObjectValue(TObject* value);

protected:
  // Runs set on every selected object, then tells the designer once.
  void SetEach(const std::function<void(TPersistent* instance, const TPropInfo* prop)>& set);

private:
  struct Entry {
    TPersistent* Instance;
    const TPropInfo* Prop;
  };
  IDesigner* fDesigner;
  std::vector<Entry> fProps;
};

// --- The standard editors -----------------------------------------------------------------------
class TOrdinalProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
};
class TIntegerProperty : public TOrdinalProperty {
public:
  using TOrdinalProperty::TOrdinalProperty;
  String GetValue() override;
  void SetValue(const String& value) override;
};
class TInt64Property : public TIntegerProperty {
public:
  using TIntegerProperty::TIntegerProperty;
};
class TCharProperty : public TOrdinalProperty {
public:
  using TOrdinalProperty::TOrdinalProperty;
  String GetValue() override;
  void SetValue(const String& value) override;
};
class TEnumProperty : public TOrdinalProperty {
public:
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  String GetValue() override;
  void GetValues(const TGetStrProc& proc) override;
  void SetValue(const String& value) override;
};
class TBoolProperty : public TEnumProperty {
public:
  using TEnumProperty::TEnumProperty;
};
class TFloatProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  String GetValue() override;
  void SetValue(const String& value) override;
};
class TStringProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  String GetValue() override;
  void SetValue(const String& value) override;
};
class TSetProperty : public TOrdinalProperty {
public:
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  String GetValue() override;
  void SetValue(const String& value) override;
  // One TSetElementProperty per element of the set's enumeration.
  void GetProperties(const TGetPropProc& proc) override;
};
// One element of a set: "True" when the set holds it.
class TSetElementProperty : public TPropertyEditor {
public:
  TSetElementProperty(IDesigner* designer, int propCount) : TPropertyEditor(designer, propCount) {}
  void SetElement(int element) { fElement = element; }
  String GetName() const override;
  TPropertyAttributes GetAttributes() override;
  bool AllEqual() override;
  String GetValue() override;
  void GetValues(const TGetStrProc& proc) override;
  void SetValue(const String& value) override;

private:
  int fElement = 0;
};
// An owned object: "(TFont)", edited through its own published properties.
class TClassProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  String GetValue() override;
  void GetProperties(const TGetPropProc& proc) override;
};
// A reference to another component: the designer's names of the components of the type.
class TComponentProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  bool AllEqual() override;
  String GetValue() override;
  void GetValues(const TGetStrProc& proc) override;
  void SetValue(const String& value) override;
  void GetProperties(const TGetPropProc& proc) override;
};
class TComponentNameProperty : public TStringProperty {
public:
  using TStringProperty::TStringProperty;
  TPropertyAttributes GetAttributes() override;
};
// An event: the name of its handler among the designed root's methods.
class TMethodProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  bool AllEqual() override;
  String GetValue() override;
  void GetValues(const TGetStrProc& proc) override;
  void SetValue(const String& value) override;
  // Shows the handler, creating one named after the component and the event when there is none.
  void Edit() override;
  // The name a new handler gets: the component's name and the event's without "On".
  String GetFormMethodName();
};
class TColorProperty : public TIntegerProperty {
public:
  using TIntegerProperty::TIntegerProperty;
  TPropertyAttributes GetAttributes() override;
  String GetValue() override;
  void GetValues(const TGetStrProc& proc) override;
  void SetValue(const String& value) override;
};
class TCursorProperty : public TIntegerProperty {
public:
  using TIntegerProperty::TIntegerProperty;
  TPropertyAttributes GetAttributes() override;
  String GetValue() override;
  void GetValues(const TGetStrProc& proc) override;
  void SetValue(const String& value) override;
};
class TShortCutProperty : public TOrdinalProperty {
public:
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  String GetValue() override;
  void GetValues(const TGetStrProc& proc) override;
  void SetValue(const String& value) override;
};
// A string list: "(TStrings)", edited in a dialog.
class TStringsProperty : public TClassProperty {
public:
  using TClassProperty::TClassProperty;
  TPropertyAttributes GetAttributes() override;
  void Edit() override;
};

// The editors of the properties of the given kinds that every selected object publishes, by
// name; with several objects only the editors that allow paMultiSelect.
void GetComponentProperties(const TDesignerSelections& selection, TTypeKinds kinds, IDesigner* designer,
                            const TGetPropProc& proc);

// --- Component editors --------------------------------------------------------------------------
class TComponentEditor {
public:
  TComponentEditor(TComponent* component, IDesigner* designer) : fComponent(component), fDesigner(designer) {}
  TComponentEditor(const TComponentEditor&) = delete;
  TComponentEditor& operator=(const TComponentEditor&) = delete;
  virtual ~TComponentEditor() = default;

  TComponent* Component() const { return fComponent; }
  IDesigner* Designer() const { return fDesigner; }
  virtual int GetVerbCount() { return 0; }
  virtual String GetVerb(int index) { (void)index; return {}; }
  virtual void ExecuteVerb(int index) { (void)index; }
  // The double-click: the first verb when there is one.
  virtual void Edit();
  // Lets the editor adjust the menu item of verb index before the menu shows.
  virtual void PrepareItem(int index, TMenuItem* item) { (void)index; (void)item; }

private:
  TComponent* fComponent;
  IDesigner* fDesigner;
};

// The editor of classes that register none: the double-click goes to an event handler.
class TDefaultEditor : public TComponentEditor {
public:
  using TComponentEditor::TComponentEditor;
  // OnCreate, else OnChange, else OnClick, else the first event by name: its handler is shown,
  // created first when there is none.
  void Edit() override;

protected:
  // Looks at one event of the component; the one chosen is handed to EditProperty's caller.
  virtual void EditProperty(TPropertyEditor& editor, bool& continueLooking);
};

}  // namespace zv
