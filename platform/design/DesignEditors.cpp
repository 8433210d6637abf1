// Property editors: the base class and typed access, the standard editors by kind, and
// GetComponentProperties. Component editors are in ComponentEditors.cpp.

#include "platform/design/DesignEditors.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Strings.h"
#include "platform/controls/ControlTypes.h"
#include "platform/controls/Menus.h"
#include "platform/design/DesignConsts.h"
#include "platform/design/FormDesigner.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>
#include <cstdint>

namespace zv {

namespace {
[[noreturn]] void InvalidValue() { throw EPropertyError(SInvalidPropertyValue); }
}  // namespace

// --- TPropertyEditor --------------------------------------------------------------------------

TPropertyEditor::TPropertyEditor(IDesigner* designer, int propCount)
    : fDesigner(designer), fProps(static_cast<std::size_t>(std::max(propCount, 1)), Entry{nullptr, nullptr}) {}

void TPropertyEditor::SetPropEntry(int index, TPersistent* instance, const TPropInfo* prop) {
  fProps.at(static_cast<std::size_t>(index)) = Entry{instance, prop};
}

String TPropertyEditor::GetName() const { return GetPropInfo()->Name; }
TPropertyAttributes TPropertyEditor::GetAttributes() { return {paRevertable}; }
String TPropertyEditor::GetValue() { return "(Unknown)"; }
void TPropertyEditor::SetValue(const String&) {}
void TPropertyEditor::GetValues(const TGetStrProc&) {}
void TPropertyEditor::GetProperties(const TGetPropProc&) {}
bool TPropertyEditor::AllEqual() { return PropCount() == 1; }

void TPropertyEditor::Edit() {
  // A value list without a dialog steps to the value after the current one.
  if (!GetAttributes().Contains(paValueList)) return;
  std::vector<String> values;
  GetValues([&](const String& v) { values.push_back(v); });
  if (values.empty()) return;
  const String current = GetValue();
  auto it = std::find_if(values.begin(), values.end(), [&](const String& v) { return SameText(v, current); });
  SetValue(it == values.end() || std::next(it) == values.end() ? values.front() : *std::next(it));
}

void TPropertyEditor::Revert() {
  const TPropInfo* prop = GetPropInfo();
  if (prop->Default == NoDefault || !prop->SetOrd) return;
  SetOrdValue(prop->Default);
}

void TPropertyEditor::Modified() {
  if (fDesigner) fDesigner->Modified();
}

void TPropertyEditor::SetEach(const std::function<void(TPersistent*, const TPropInfo*)>& set) {
  for (const Entry& e : fProps) set(e.Instance, e.Prop);
  Modified();
}

std::int64_t TPropertyEditor::GetOrdValueAt(int index) const { return GetOrdProp(GetComponent(index), GetPropInfo()); }
void TPropertyEditor::SetOrdValue(std::int64_t value) {
  SetEach([&](TPersistent* i, const TPropInfo* p) { SetOrdProp(i, p, value); });
}
long double TPropertyEditor::GetFloatValueAt(int index) const {
  const TPropInfo* p = GetPropInfo();
  if (!p->GetFloat) InvalidValue();
  return p->GetFloat(*GetComponent(index));
}
void TPropertyEditor::SetFloatValue(long double value) {
  SetEach([&](TPersistent* i, const TPropInfo* p) {
    if (!p->SetFloat) InvalidValue();
    p->SetFloat(*i, value);
  });
}
String TPropertyEditor::GetStrValueAt(int index) const {
  const TPropInfo* p = GetPropInfo();
  if (!p->GetStr) InvalidValue();
  return p->GetStr(*GetComponent(index));
}
void TPropertyEditor::SetStrValue(const String& value) {
  SetEach([&](TPersistent* i, const TPropInfo* p) {
    if (!p->SetStr) InvalidValue();
    p->SetStr(*i, value);
  });
}
TMethod TPropertyEditor::GetMethodValueAt(int index) const { return GetMethodProp(GetComponent(index), GetPropInfo()); }
void TPropertyEditor::SetMethodValue(const TMethod& value) {
  SetEach([&](TPersistent* i, const TPropInfo* p) { SetMethodProp(i, p, value); });
}
Variant TPropertyEditor::GetVarValue() const { return GetPropValue(GetComponent(0), GetPropInfo(), false); }
void TPropertyEditor::SetVarValue(const Variant& value) {
  SetEach([&](TPersistent* i, const TPropInfo* p) { SetPropValue(i, p, value); });
}
TObject* TPropertyEditor::GetObjectValueAt(int index) const {
  const TPropInfo* p = GetPropInfo();
  return p->GetObj ? p->GetObj(*GetComponent(index)) : nullptr;
}
void TPropertyEditor::SetObjectValue(TObject* value) {
  SetEach([&](TPersistent* i, const TPropInfo* p) {
    if (!p->SetObj) InvalidValue();
    p->SetObj(*i, value);
  });
}

// --- Ordinal kinds ------------------------------------------------------------------------------

bool TOrdinalProperty::AllEqual() {
  for (int i = 1; i < PropCount(); ++i)
    if (GetOrdValueAt(i) != GetOrdValue()) return false;
  return true;
}
TPropertyAttributes TOrdinalProperty::GetAttributes() { return {paMultiSelect, paRevertable}; }

namespace {
// The range of the host's integer types by their names.
void CheckRange(const TTypeInfo* type, std::int64_t v) {
  struct Range {
    const char* Name;
    std::int64_t Min, Max;
  };
  static constexpr Range ranges[] = {{"Byte", 0, 255},         {"Word", 0, 65535},
                                     {"Smallint", -32768, 32767}, {"Cardinal", 0, 4294967295LL},
                                     {"Integer", INT32_MIN, INT32_MAX}};
  for (const Range& r : ranges)
    if (type->Name == r.Name && (v < r.Min || v > r.Max))
      throw EPropertyError(Format(SOutOfRange, {r.Min, r.Max}));
}
}  // namespace

String TIntegerProperty::GetValue() { return IntToStr(GetOrdValue()); }
void TIntegerProperty::SetValue(const String& value) {
  const std::int64_t v = StrToInt64(Trim(value));  // "'x' is not a valid integer value"
  CheckRange(GetPropInfo()->PropType, v);
  SetOrdValue(v);
}

String TCharProperty::GetValue() {
  const auto c = static_cast<unsigned char>(GetOrdValue());
  if (c > ' ' && c < 127) return String(1, static_cast<char>(c));
  return "#" + IntToStr(static_cast<int>(c));
}
void TCharProperty::SetValue(const String& value) {
  std::int64_t code = 0;
  if (value.size() == 1) {
    code = static_cast<unsigned char>(value[0]);
  } else if (value.size() < 2 || value[0] != '#' || !TryStrToInt64(value.substr(1), code) || code < 0 || code > 255) {
    InvalidValue();
  }
  SetOrdValue(code);
}

TPropertyAttributes TEnumProperty::GetAttributes() { return {paMultiSelect, paValueList, paSortList, paRevertable}; }
String TEnumProperty::GetValue() { return GetEnumName(GetPropInfo()->PropType, static_cast<int>(GetOrdValue())); }
void TEnumProperty::GetValues(const TGetStrProc& proc) {
  for (const String& name : GetPropInfo()->PropType->EnumNames) proc(name);
}
void TEnumProperty::SetValue(const String& value) {
  const int v = GetEnumValue(GetPropInfo()->PropType, Trim(value));
  if (v < 0) InvalidValue();
  SetOrdValue(v);
}

bool TFloatProperty::AllEqual() {
  for (int i = 1; i < PropCount(); ++i)
    if (GetFloatValueAt(i) != GetFloatValue()) return false;
  return true;
}
TPropertyAttributes TFloatProperty::GetAttributes() { return {paMultiSelect, paRevertable}; }
String TFloatProperty::GetValue() { return FloatToStr(GetFloatValue()); }
void TFloatProperty::SetValue(const String& value) { SetFloatValue(StrToFloat<long double>(Trim(value))); }

bool TStringProperty::AllEqual() {
  for (int i = 1; i < PropCount(); ++i)
    if (GetStrValueAt(i) != GetStrValue()) return false;
  return true;
}
TPropertyAttributes TStringProperty::GetAttributes() { return {paMultiSelect, paRevertable}; }
String TStringProperty::GetValue() { return GetStrValue(); }
void TStringProperty::SetValue(const String& value) { SetStrValue(value); }

TPropertyAttributes TComponentNameProperty::GetAttributes() { return {}; }

// --- Sets ---------------------------------------------------------------------------------------

TPropertyAttributes TSetProperty::GetAttributes() { return {paMultiSelect, paSubProperties, paReadOnly, paRevertable}; }
String TSetProperty::GetValue() {
  return SetToString(GetPropInfo()->PropType, static_cast<std::uint64_t>(GetOrdValue()), true);
}
void TSetProperty::SetValue(const String& value) {
  std::uint64_t bits = 0;
  try {
    bits = StringToSet(GetPropInfo()->PropType, value);
  } catch (const Exception&) {
    InvalidValue();
  }
  SetOrdValue(static_cast<std::int64_t>(bits));
}
void TSetProperty::GetProperties(const TGetPropProc& proc) {
  const TTypeInfo* element = GetPropInfo()->PropType->CompType;
  for (std::size_t e = 0; e < element->EnumNames.size(); ++e) {
    auto editor = std::make_unique<TSetElementProperty>(Designer(), PropCount());
    for (int i = 0; i < PropCount(); ++i) editor->SetPropEntry(i, GetComponent(i), GetPropInfo());
    editor->SetElement(static_cast<int>(e));
    proc(std::move(editor));
  }
}

String TSetElementProperty::GetName() const { return GetPropInfo()->PropType->CompType->EnumNames.at(static_cast<std::size_t>(fElement)); }
TPropertyAttributes TSetElementProperty::GetAttributes() { return {paMultiSelect, paValueList, paSortList}; }
bool TSetElementProperty::AllEqual() {
  const auto has = [&](int i) { return (static_cast<std::uint64_t>(GetOrdValueAt(i)) >> fElement) & 1u; };
  for (int i = 1; i < PropCount(); ++i)
    if (has(i) != has(0)) return false;
  return true;
}
String TSetElementProperty::GetValue() {
  return ((static_cast<std::uint64_t>(GetOrdValue()) >> fElement) & 1u) ? "True" : "False";
}
void TSetElementProperty::GetValues(const TGetStrProc& proc) {
  proc("False");
  proc("True");
}
void TSetElementProperty::SetValue(const String& value) {
  bool on = false;
  if (SameText(value, "True"))
    on = true;
  else if (SameText(value, "False"))
    on = false;
  else
    InvalidValue();
  // Each object keeps its other elements.
  SetEach([&](TPersistent* i, const TPropInfo* p) {
    std::uint64_t bits = static_cast<std::uint64_t>(GetOrdProp(i, p));
    bits = on ? bits | (std::uint64_t{1} << fElement) : bits & ~(std::uint64_t{1} << fElement);
    SetOrdProp(i, p, static_cast<std::int64_t>(bits));
  });
}

// --- Objects and components ---------------------------------------------------------------------

TPropertyAttributes TClassProperty::GetAttributes() { return {paMultiSelect, paSubProperties, paReadOnly}; }
String TClassProperty::GetValue() { return "(" + GetPropInfo()->PropType->ClassType->ClassName() + ")"; }
void TClassProperty::GetProperties(const TGetPropProc& proc) {
  TDesignerSelections objects;
  for (int i = 0; i < PropCount(); ++i)
    if (auto* p = dynamic_cast<TPersistent*>(GetObjectValueAt(i))) objects.push_back(p);
  if (objects.size() == static_cast<std::size_t>(PropCount())) GetComponentProperties(objects, tkProperties, Designer(), proc);
}

TPropertyAttributes TComponentProperty::GetAttributes() {
  TPropertyAttributes a{paMultiSelect};
  if (GetPropInfo()->SetObj)
    a += TPropertyAttributes{paValueList, paSortList, paRevertable, paVolatileSubProperties};
  else
    a.Include(paReadOnly);
  if (GetObjectValue() && AllEqual()) a.Include(paSubProperties);
  return a;
}
bool TComponentProperty::AllEqual() {
  for (int i = 1; i < PropCount(); ++i)
    if (GetObjectValueAt(i) != GetObjectValue()) return false;
  return true;
}
String TComponentProperty::GetValue() {
  auto* c = dynamic_cast<TComponent*>(GetObjectValue());
  return c && Designer() ? Designer()->GetComponentName(c) : String();
}
void TComponentProperty::GetValues(const TGetStrProc& proc) {
  if (Designer()) Designer()->GetComponentNames(GetPropInfo()->PropType, proc);
}
void TComponentProperty::SetValue(const String& value) {
  TComponent* c = nullptr;
  if (!value.empty()) {
    c = Designer() ? Designer()->GetComponent(value) : nullptr;
    if (!c || !c->InheritsFrom(GetPropInfo()->PropType->ClassType)) InvalidValue();
  }
  SetObjectValue(c);
}
void TComponentProperty::GetProperties(const TGetPropProc& proc) {
  if (auto* c = dynamic_cast<TComponent*>(GetObjectValue())) GetComponentProperties({c}, tkProperties, Designer(), proc);
}

// --- Events -------------------------------------------------------------------------------------

TPropertyAttributes TMethodProperty::GetAttributes() { return {paMultiSelect, paValueList, paSortList, paRevertable}; }
bool TMethodProperty::AllEqual() {
  if (!Designer()) return PropCount() == 1;
  const String first = Designer()->GetMethodName(GetComponent(0), GetPropInfo());
  for (int i = 1; i < PropCount(); ++i)
    if (!SameText(Designer()->GetMethodName(GetComponent(i), GetPropInfo()), first)) return false;
  return true;
}
String TMethodProperty::GetValue() {
  return Designer() ? Designer()->GetMethodName(GetComponent(0), GetPropInfo()) : String();
}
void TMethodProperty::GetValues(const TGetStrProc& proc) {
  if (Designer()) Designer()->GetMethods(GetPropInfo()->PropType, proc);
}
void TMethodProperty::SetValue(const String& value) {
  if (!Designer()) return;
  const String name = Trim(value);
  if (!name.empty()) {
    if (!IsValidIdent(name)) throw EPropertyError(Format(SNotAMethodName, {name}));
    if (!Designer()->MethodExists(name)) Designer()->CreateMethod(name, GetPropInfo()->PropType);
  }
  SetEach([&](TPersistent* i, const TPropInfo* p) { Designer()->SetMethodName(i, p, name); });
}
String TMethodProperty::GetFormMethodName() {
  TPersistent* instance = GetComponent(0);
  String base;
  if (auto* c = dynamic_cast<TComponent*>(instance))
    base = c->Name();
  else
    for (char ch : instance->GetNamePath())
      if (ch != '.' && ch != '[' && ch != ']') base += ch;
  String event = GetPropInfo()->Name;
  if (event.size() > 2 && SameText(event.substr(0, 2), "On")) event = event.substr(2);
  return base + event;
}
void TMethodProperty::Edit() {
  if (!Designer()) return;
  String name = GetValue();
  if (name.empty() || !Designer()->MethodExists(name)) {
    if (name.empty()) name = GetFormMethodName();
    SetValue(name);
  }
  Designer()->ShowMethod(name);
}

// --- Integers with names ------------------------------------------------------------------------

TPropertyAttributes TColorProperty::GetAttributes() { return {paMultiSelect, paValueList, paRevertable}; }
String TColorProperty::GetValue() { return ColorToString(static_cast<TColor>(GetOrdValue())); }
void TColorProperty::GetValues(const TGetStrProc& proc) { GetColorValues(proc); }
void TColorProperty::SetValue(const String& value) {
  TColor c;
  if (IdentToColor(Trim(value), c))
    SetOrdValue(c);
  else
    TIntegerProperty::SetValue(value);
}

TPropertyAttributes TCursorProperty::GetAttributes() { return {paMultiSelect, paValueList, paSortList, paRevertable}; }
String TCursorProperty::GetValue() {
  String ident;
  const auto cursor = static_cast<TCursor>(GetOrdValue());
  return CursorToIdent(cursor, ident) ? ident : IntToStr(static_cast<int>(cursor));
}
void TCursorProperty::GetValues(const TGetStrProc& proc) {
  for (const TIdentMapEntry& e : CursorIdents)
    if (e.Value != crSize || SameText(e.Name, "crSizeAll")) proc(e.Name);
}
void TCursorProperty::SetValue(const String& value) {
  TCursor c;
  if (IdentToCursor(Trim(value), c))
    SetOrdValue(c);
  else
    TIntegerProperty::SetValue(value);
}

TPropertyAttributes TShortCutProperty::GetAttributes() { return {paMultiSelect, paValueList, paRevertable}; }
String TShortCutProperty::GetValue() {
  const auto sc = static_cast<TShortCut>(GetOrdValue());
  return sc == scNone ? String(SNone) : ShortCutToText(sc);
}
void TShortCutProperty::GetValues(const TGetStrProc& proc) {
  proc(SNone);
  for (Word k = 'A'; k <= 'Z'; ++k) proc(ShortCutToText(ShortCut(k, {ssCtrl})));
  for (const TShiftState shift : {TShiftState{}, TShiftState{ssCtrl}, TShiftState{ssShift}, TShiftState{ssShift, ssCtrl}})
    for (Word k = VK_F1; k < VK_F1 + 12; ++k) proc(ShortCutToText(ShortCut(k, shift)));
  for (const Word k : {Word(VK_INSERT), Word(VK_DELETE)})
    for (const TShiftState shift : {TShiftState{}, TShiftState{ssShift}, TShiftState{ssCtrl}})
      proc(ShortCutToText(ShortCut(k, shift)));
  proc(ShortCutToText(ShortCut(VK_BACK, {ssAlt})));
  proc(ShortCutToText(ShortCut(VK_BACK, {ssShift, ssAlt})));
}
void TShortCutProperty::SetValue(const String& value) {
  const String text = Trim(value);
  TShortCut sc = scNone;
  if (!text.empty() && !SameText(text, SNone)) {
    sc = TextToShortCut(text);
    if (sc == scNone) InvalidValue();
  }
  SetOrdValue(sc);
}

// --- String lists -------------------------------------------------------------------------------

TPropertyAttributes TStringsProperty::GetAttributes() { return {paMultiSelect, paDialog, paRevertable, paReadOnly}; }

// --- The selection's editors --------------------------------------------------------------------

namespace {

// A component's name is streamed in its object's header, so no class lists it among its
// properties; the inspector edits it as one all the same.
const TPropInfo* ComponentNameProp() {
  static const TPropInfo* const prop = [] {
    auto* p = new TPropInfo;
    p->Name = "Name";
    p->PropType = TypeInfoOf<String>();
    p->Owner = TComponent::StaticClass();
    p->GetStr = [](const TObject& o) { return static_cast<const TComponent&>(o).Name(); };
    p->SetStr = [](TObject& o, const String& v) { RenameComponent(static_cast<TComponent&>(o), v); };
    p->StoredConst = false;
    return p;
  }();
  return prop;
}

const TPropInfo* DesignPropInfo(TClass cls, const String& name) {
  if (cls->InheritsFrom(TComponent::StaticClass()) && SameText(name, "Name")) return ComponentNameProp();
  return GetPropInfo(cls, name);
}

}  // namespace

void GetComponentProperties(const TDesignerSelections& selection, TTypeKinds kinds, IDesigner* designer,
                            const TGetPropProc& proc) {
  if (selection.empty()) return;
  const TPersistent* first = selection.front();
  const int count = static_cast<int>(selection.size());
  // The other objects' lists are looked up by class once, not per property.
  std::vector<TClass> classes;
  for (const TPersistent* p : selection)
    if (std::find(classes.begin(), classes.end(), p->ClassType()) == classes.end()) classes.push_back(p->ClassType());
  std::vector<const TPropInfo*> props = GetPropList(first->ClassType(), kinds, true);
  if (first->InheritsFrom(TComponent::StaticClass()) && kinds.Contains(tkLString) && !GetPropInfo(first->ClassType(), "Name")) {
    const TPropInfo* name = ComponentNameProp();
    props.insert(std::lower_bound(props.begin(), props.end(), name,
                                  [](const TPropInfo* a, const TPropInfo* b) { return CompareText(a->Name, b->Name) < 0; }),
                 name);
  }
  for (const TPropInfo* prop : props) {
    std::vector<const TPropInfo*> perClass;
    bool everywhere = true;
    for (TClass cls : classes) {
      const TPropInfo* other = DesignPropInfo(cls, prop->Name);
      if (!other || other->PropType != prop->PropType) {
        everywhere = false;
        break;
      }
      perClass.push_back(other);
    }
    if (!everywhere) continue;
    auto editor = GetEditorClass(prop, first)(designer, count);
    for (int i = 0; i < count; ++i) {
      TPersistent* instance = selection[static_cast<std::size_t>(i)];
      const auto at = std::find(classes.begin(), classes.end(), instance->ClassType()) - classes.begin();
      editor->SetPropEntry(i, instance, perClass[static_cast<std::size_t>(at)]);
    }
    editor->Initialize();
    if (count > 1 && !editor->GetAttributes().Contains(paMultiSelect)) continue;
    proc(std::move(editor));
  }
}

}  // namespace zv
