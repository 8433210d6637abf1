// The form designer: the designed root, its selection, names and handlers, and the design
// notifications. The mouse and keys on the designed form are in DesignSurface.cpp.

#include "platform/design/FormDesigner.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Collection.h"
#include "platform/classes/FormText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Writer.h"
#include "platform/controls/Menus.h"
#include "platform/design/DesignConsts.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>
#include <unordered_set>

namespace zv {

namespace {

std::vector<TFormDesigner*>& Designers() {
  static std::vector<TFormDesigner*> designers;
  return designers;
}

std::vector<IDesignNotification*>& Notifications() {
  static std::vector<IDesignNotification*> notifications;
  return notifications;
}

// Every listener, also when one registers or leaves while being told.
template <class F>
void Notify(F&& f) {
  const std::vector<IDesignNotification*> listeners = Notifications();
  for (IDesignNotification* n : listeners)
    if (std::find(Notifications().begin(), Notifications().end(), n) != Notifications().end()) f(n);
}

}  // namespace

void RegisterDesignNotification(IDesignNotification* notification) {
  if (std::find(Notifications().begin(), Notifications().end(), notification) == Notifications().end())
    Notifications().push_back(notification);
}

void UnregisterDesignNotification(IDesignNotification* notification) { std::erase(Notifications(), notification); }

const std::vector<TFormDesigner*>& ActiveDesigners() { return Designers(); }

// --- TDesignWindow -------------------------------------------------------------------------------

ZV_DEFINE_CLASS(TDesignWindow, TForm)

TDesignWindow::TDesignWindow(TComponent* owner) : TForm(owner) { RegisterDesignNotification(this); }

TDesignWindow::~TDesignWindow() {
  Destroying();
  UnregisterDesignNotification(this);
}

void TDesignWindow::DesignerClosed(IDesigner* designer, bool) {
  if (designer != fDesigner) return;
  fDesigner = nullptr;
  Close();
}

// --- Opening and closing ----------------------------------------------------------------------------

TFormDesigner::TFormDesigner(TComponent* root) : fRoot(root), fContextMenu(new TPopupMenu(nullptr)) {
  root->SetDesigning(true);
  if (auto* form = dynamic_cast<TCustomForm*>(root))
    form->SetDesigner(this);
  else
    SetRootDesigner(root, this);
  RegisterGlobalRoot(root);
  fSelection = {root};
  Designers().push_back(this);
  Notify([&](IDesignNotification* n) { n->DesignerOpened(this, false); });
}

TFormDesigner::~TFormDesigner() {
  Notify([&](IDesignNotification* n) { n->DesignerClosed(this, false); });
  fClosing = true;
  std::erase(Designers(), this);
  delete fContextMenu;
  fMenuEditor.reset();
  UnregisterGlobalRoot(fRoot);
  if (fOwnsRoot) {
    // Told of each component that goes, the designer has nothing left to update.
    SetRootDesigner(fRoot, nullptr);
    delete fRoot;
  } else {
    SetRootDesigner(fRoot, nullptr);
  }
}

std::unique_ptr<TFormDesigner> TFormDesigner::OpenForm(std::string_view formText) {
  TMemoryStream text;
  if (!formText.empty()) text.WriteBuffer(formText.data(), static_cast<std::int64_t>(formText.size()));
  text.SetPosition(0);
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  String className;
  {
    TReader peek(binary);
    peek.ReadSignature();
    int childPos;
    peek.ReadPrefix(childPos);
    className = peek.ReadStr();
  }
  binary.SetPosition(0);
  const TClass cls = FindClass(className);
  if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->Factory)
    throw EReadError(Format(SInvalidComponentClass, {className}));
  // In design state before a property is read: Loaded and the handlers see a designed root.
  std::unique_ptr<TComponent> root(static_cast<TComponent*>(cls->Factory(nullptr)));
  root->SetDesigning(true);
  std::map<std::pair<const TPersistent*, const TPropInfo*>, String> handlers;
  TReader reader(binary);
  reader.OnFindMethod = [&](TReader&, const String& name, TPersistent* instance, const TPropInfo* prop, bool& error) {
    handlers[{instance, prop}] = name;
    error = false;
  };
  reader.ReadRootComponent(root.get());
  auto designer = std::make_unique<TFormDesigner>(root.release());
  designer->fOwnsRoot = true;
  for (const auto& [key, name] : handlers) {
    designer->fHandlers[key] = name;
    if (!designer->MethodExists(name)) designer->fMethods.push_back({name, key.second->PropType->SignatureName});
  }
  return designer;
}

String TFormDesigner::FormText() {
  TMemoryStream binary;
  TWriter writer(binary);
  writer.OnFindMethodName = [this](TWriter&, const TPersistent* instance, const TPropInfo* prop, String& name) {
    if (const auto it = fHandlers.find({instance, prop}); it != fHandlers.end()) name = it->second;
  };
  writer.WriteRootComponent(fRoot);
  binary.SetPosition(0);
  TMemoryStream text;
  ObjectBinaryToText(binary, text);
  String result(static_cast<std::size_t>(text.Size()), '\0');
  text.SetPosition(0);
  text.ReadBuffer(result.data(), text.Size());
  return result;
}

// --- Changes and notifications ----------------------------------------------------------------------

void TFormDesigner::Modified() {
  fModified = true;
  Notify([&](IDesignNotification* n) { n->ItemsModified(this); });
  InvalidateMarks();
}

void TFormDesigner::Notification(TPersistent* object, TOperation operation) {
  if (fClosing || !object) return;
  if (operation == opInsert) {
    Notify([&](IDesignNotification* n) { n->ItemInserted(this, object); });
    return;
  }
  Remove(object);
}

void TFormDesigner::Remove(TPersistent* object) {
  std::erase_if(fHandlers, [&](const auto& e) { return e.first.first == object; });
  std::erase_if(fDragOrigins, [&](const auto& e) { return e.first == object; });
  const bool wasSelected = std::erase(fSelection, object) > 0;
  Notify([&](IDesignNotification* n) { n->ItemDeleted(this, object); });
  if (wasSelected) {
    if (fSelection.empty() && object != fRoot) fSelection = {fRoot};
    SelectionChangedNow();
  }
}

void TFormDesigner::SelectionChangedNow() {
  Notify([&](IDesignNotification* n) { n->SelectionChanged(this, fSelection); });
  InvalidateMarks();
}

void TFormDesigner::SetSelections(const TDesignerSelections& list) {
  TDesignerSelections next;
  next.reserve(list.size());
  std::unordered_set<TPersistent*> seen;  // selecting thousands must not compare them pairwise
  for (TPersistent* p : list)
    if (p && seen.insert(p).second) next.push_back(p);
  if (next.empty()) next.push_back(fRoot);
  if (next == fSelection) return;
  fSelection = std::move(next);
  SelectionChangedNow();
}

void TFormDesigner::SelectComponent(TPersistent* instance) { SetSelections({instance}); }

// --- Names ------------------------------------------------------------------------------------------

void TFormDesigner::GetComponentNames(const TTypeInfo* typeData, const TGetStrProc& proc) {
  const TClass cls = typeData ? typeData->ClassType : nullptr;
  const auto wanted = [&](TComponent* c) { return !c->Name().empty() && (!cls || c->InheritsFrom(cls)); };
  for (int i = 0; i < fRoot->ComponentCount(); ++i)
    if (TComponent* c = fRoot->Components(i); wanted(c)) proc(c->Name());
  for (TFormDesigner* other : Designers()) {
    if (other == this) continue;
    TComponent* root = other->Root();
    for (int i = 0; i < root->ComponentCount(); ++i)
      if (TComponent* c = root->Components(i); wanted(c)) proc(root->Name() + "." + c->Name());
  }
}

TComponent* TFormDesigner::GetComponent(const String& name) {
  const auto dot = name.find('.');
  if (dot == String::npos) {
    if (SameText(name, fRoot->Name())) return fRoot;
    return fRoot->FindComponent(name);
  }
  const String rootName = name.substr(0, dot);
  for (TFormDesigner* d : Designers())
    if (SameText(d->Root()->Name(), rootName)) return d->Root()->FindComponent(name.substr(dot + 1));
  return nullptr;
}

String TFormDesigner::GetComponentName(TComponent* component) {
  if (!component) return {};
  if (component == fRoot || component->Owner() == fRoot || !component->Owner()) return component->Name();
  return component->Owner()->Name() + "." + component->Name();
}

String TFormDesigner::UniqueName(const String& baseName) {
  String base = baseName;
  if (base.size() > 1 && (base[0] == 'T' || base[0] == 't')) base = base.substr(1);
  for (int n = 1;; ++n) {
    const String name = base + IntToStr(n);
    if (!fRoot->FindComponent(name) && !SameText(fRoot->Name(), name)) return name;
  }
}

void TFormDesigner::ValidateRename(TComponent*, const String&, const String& newName) {
  // The component checks the identifier and its siblings; the root's own name is taken too.
  if (!newName.empty() && SameText(newName, fRoot->Name()) && !fRoot->ComponentState().Contains(csLoading))
    throw EComponentError(Format(SDuplicateName, {newName}));
}

void RenameComponent(TComponent& component, const String& name) {
  auto* control = dynamic_cast<TControl*>(&component);
  const bool captionFollows = control && control->ControlStyle().Contains(csSetCaption) &&
                              !component.ComponentState().Contains(csLoading) && control->Caption() == component.Name();
  component.SetName(name);
  if (captionFollows) control->SetCaption(name);
}

// --- Creating and deleting ------------------------------------------------------------------------

TComponent* TFormDesigner::CreateComponent(TClass cls, TComponent* parent, int left, int top, int width, int height) {
  if (!cls || !cls->Factory || !cls->InheritsFrom(TComponent::StaticClass()))
    throw EComponentError(Format(SInvalidComponentClass, {cls ? cls->ClassName() : String()}));
  auto* component = static_cast<TComponent*>(cls->Factory(fRoot));
  try {
    if (component->Owner() != fRoot) fRoot->InsertComponent(component);
    RenameComponent(*component, UniqueName(cls->Name));
    if (auto* control = dynamic_cast<TControl*>(component)) {
      auto* container = dynamic_cast<TWinControl*>(parent ? parent : fRoot);
      if (container) control->SetParent(container);
      control->SetBounds(left, top, width > 0 ? width : control->Width(), height > 0 ? height : control->Height());
    } else {
      component->SetDesignInfo(static_cast<std::int32_t>((static_cast<std::uint32_t>(top) << 16) |
                                                         (static_cast<std::uint32_t>(left) & 0xFFFFu)));
    }
  } catch (...) {
    delete component;
    throw;
  }
  Modified();
  return component;
}

void TFormDesigner::DeleteSelection() {
  const TDesignerSelections doomed = fSelection;
  bool deleted = false;
  for (TPersistent* p : doomed) {
    // A control deleted earlier in this loop may have taken its children with it: those have
    // left the selection already.
    if (p == fRoot || std::find(fSelection.begin(), fSelection.end(), p) == fSelection.end()) continue;
    if (auto* c = dynamic_cast<TComponent*>(p)) {
      delete c;
      deleted = true;
    } else if (auto* item = dynamic_cast<TCollectionItem*>(p)) {
      delete item;
      deleted = true;
    }
  }
  if (deleted) Modified();
}

// --- Handlers -------------------------------------------------------------------------------------

bool TFormDesigner::MethodExists(const String& name) {
  if (fRoot->MethodAddress(name)) return true;
  return std::any_of(fMethods.begin(), fMethods.end(), [&](const MethodName& m) { return SameText(m.Name, name); });
}

TMethod TFormDesigner::CreateMethod(const String& name, const TTypeInfo* typeData) {
  if (!IsValidIdent(name)) throw EPropertyError(Format(SNotAMethodName, {name}));
  if (const TMethodInfo* published = fRoot->MethodAddress(name)) return TMethod{published, fRoot};
  if (!MethodExists(name)) fMethods.push_back({name, typeData ? typeData->SignatureName : String()});
  return TMethod{nullptr, fRoot};
}

void TFormDesigner::ShowMethod(const String& name) { fShownMethod = name; }

void TFormDesigner::GetMethods(const TTypeInfo* typeData, const TGetStrProc& proc) {
  for (const TMethodInfo* m : GetMethodList(fRoot->ClassType()))
    if (!typeData || SignatureFits(typeData, *m->Signature)) proc(m->Name);
  for (const MethodName& m : fMethods)
    if ((!typeData || m.SignatureName == typeData->SignatureName) && !fRoot->MethodAddress(m.Name))
      proc(m.Name);
}

String TFormDesigner::GetMethodName(const TPersistent* instance, const TPropInfo* prop) {
  if (const auto it = fHandlers.find({instance, prop}); it != fHandlers.end()) return it->second;
  const TMethod m = GetMethodProp(instance, prop);
  return m ? fRoot->MethodName(m.Code) : String();
}

void TFormDesigner::SetMethodName(TPersistent* instance, const TPropInfo* prop, const String& name) {
  const TMethodInfo* published = name.empty() ? nullptr : fRoot->MethodAddress(name);
  // Set first: a published method of another signature raises before anything changed.
  SetMethodProp(instance, prop, published ? TMethod{published, fRoot} : TMethod{});
  if (name.empty() || published)
    fHandlers.erase({instance, prop});
  else
    fHandlers[{instance, prop}] = name;
}

}  // namespace zv
