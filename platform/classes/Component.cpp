#include "platform/classes/Component.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TComponent, TPersistent)

void TComponent::DeclareProperties(TPropTable<TComponent>& t) {
  // Name is streamed in the object header, never as a property; Tag is the one published
  // property every component has.
  t.Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

bool IsValidIdent(std::string_view name) {
  if (name.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

namespace {

// Handles of live components, both ways. Handles are never reused while the counter lasts
// (2^31 components), so an old handle cannot find a newer component.
struct HandleRegistry {
  std::unordered_map<std::int32_t, TComponent*> byHandle;
  std::unordered_map<const TComponent*, std::int32_t> byComponent;
  std::int32_t next = 0;
};

HandleRegistry& Handles() {
  static HandleRegistry registry;
  return registry;
}

}  // namespace

std::int32_t ComponentToHandle(TComponent* component) {
  if (!component || component->fRemovalAnnounced) return 0;
  auto& r = Handles();
  if (component->fHasHandle) return r.byComponent.at(component);
  do {
    r.next = r.next == INT32_MAX ? 1 : r.next + 1;
  } while (r.byHandle.contains(r.next));
  r.byHandle[r.next] = component;
  r.byComponent[component] = r.next;
  component->fHasHandle = true;
  return r.next;
}

TComponent* HandleToComponent(std::int32_t handle) {
  if (handle == 0) return nullptr;
  const auto& r = Handles();
  const auto it = r.byHandle.find(handle);
  return it == r.byHandle.end() ? nullptr : it->second;
}

void* TComponent::operator new(std::size_t size) { return ::operator new(size); }

void TComponent::operator delete(void* memory) { ::operator delete(memory); }

void TComponent::operator delete(TComponent* component, std::destroying_delete_t) {
  // The most-derived object, found while its dynamic type is still the whole class.
  void* memory = dynamic_cast<void*>(component);
  component->Destroying();
  component->~TComponent();
  ::operator delete(memory);
}

void TComponent::MarkDestroying() {
  fState.Include(csDestroying);
  for (TComponent* c : fComponents) c->MarkDestroying();
}

TComponent::~TComponent() {
  Destroying();
  DestroyComponents();
  if (fOwner) fOwner->Remove(this);
  // A root freed under its designer: no later component at this address may find it.
  SetRootDesigner(this, nullptr);
}

void TComponent::Destroying() {
  if (fRemovalAnnounced) return;
  fRemovalAnnounced = true;
  // Owned components are flagged now and announce themselves when they are destroyed in turn.
  MarkDestroying();
  if (fHasHandle) {
    auto& r = Handles();
    const auto it = r.byComponent.find(this);
    r.byHandle.erase(it->second);
    r.byComponent.erase(it);
    fHasHandle = false;
  }
  // Tell everyone holding a reference, then unlink both ways.
  while (!fFreeNotifies.empty()) {
    TComponent* other = fFreeNotifies.back();
    fFreeNotifies.pop_back();
    auto& back = other->fFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    other->Notification(this, opRemove);
  }
  // The owner and its other components hear of it too; the owner keeps the component listed
  // until ~TComponent, so that a handler still finds it by name.
  if (fOwner) fOwner->Notification(this, opRemove);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError(Format(SListIndexError, {index}));
  return fComponents[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!fOwner) return -1;
  const auto& list = fOwner->fComponents;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TComponent::SetComponentIndex(int index) {
  if (!fOwner) return;
  auto& list = fOwner->fComponents;
  const int count = static_cast<int>(list.size());
  index = std::clamp(index, 0, count - 1);
  const int current = ComponentIndex();
  if (current == index) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + index, this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  const auto it = fNameIndex.find(UpperCase(name));
  return it == fNameIndex.end() ? nullptr : it->second;
}

void TComponent::SetName(const String& name) {
  if (name == fName) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError(Format(SInvalidName, {name}));
  if (fOwner)
    fOwner->ValidateRename(this, fName, name);
  else
    ValidateRename(nullptr, fName, name);
  ChangeName(name);
}

void TComponent::ChangeName(const String& name) {
  if (fOwner && !fName.empty()) fOwner->fNameIndex.erase(UpperCase(fName));
  fName = name;
  if (fOwner && !fName.empty()) fOwner->fNameIndex[UpperCase(fName)] = this;
}

void TComponent::ValidateRename(TComponent* component, const String& currentName, const String& newName) {
  if (component && !SameText(currentName, newName)) {
    TComponent* clash = FindComponent(newName);
    if (clash && clash != component) throw EComponentError(Format(SDuplicateName, {newName}));
  }
  if (fState.Contains(csDesigning) && fOwner) fOwner->ValidateRename(component, currentName, newName);
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->fOwner == this) return;
  if (component->fOwner) component->fOwner->RemoveComponent(component);
  ValidateRename(component, String(), component->fName);
  Insert(component);
  if (fState.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component->fOwner != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  fComponents.push_back(component);
  component->fOwner = this;
  if (!component->fName.empty()) fNameIndex[UpperCase(component->fName)] = component;
}

void TComponent::Remove(TComponent* component) {
  fComponents.erase(std::remove(fComponents.begin(), fComponents.end(), component), fComponents.end());
  component->fOwner = nullptr;
  if (!component->fName.empty()) {
    const auto it = fNameIndex.find(UpperCase(component->fName));
    if (it != fNameIndex.end() && it->second == component) fNameIndex.erase(it);
  }
}

void TComponent::DestroyComponents() {
  while (!fComponents.empty()) {
    TComponent* c = fComponents.back();
    // Only components that someone watches need the (quadratic) broadcast.
    if (c->fState.Contains(csFreeNotification))
      RemoveComponent(c);
    else
      Remove(c);
    delete c;
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(fFreeNotifies.begin(), fFreeNotifies.end(), component) == fFreeNotifies.end())
    fFreeNotifies.push_back(component);
  auto& other = component->fFreeNotifies;
  if (std::find(other.begin(), other.end(), this) == other.end()) other.push_back(this);
  fState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  fFreeNotifies.erase(std::remove(fFreeNotifies.begin(), fFreeNotifies.end(), component), fFreeNotifies.end());
  auto& other = component->fFreeNotifies;
  other.erase(std::remove(other.begin(), other.end(), this), other.end());
}

// Insertions and removals reach the owner and, through this base implementation, everything it
// owns: descendants that override it call it too.
void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // By index with the bound re-read: a handler may destroy components while we walk.
  for (std::size_t i = 0; i < fComponents.size(); ++i) fComponents[i]->Notification(component, operation);
}

String TComponent::GetNamePath() const { return fName; }

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value)
    fState.Include(csDesigning);
  else
    fState.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : fComponents) c->SetDesigning(value);
}

void TComponent::SetStateFlag(TComponentStateItem flag, bool on) {
  if (on)
    fState.Include(flag);
  else
    fState.Exclude(flag);
}

void TComponent::Loaded() { fState.Exclude(csLoading); }

void TComponent::ReadState(TReader&) {}
void TComponent::WriteState(TWriter&) {}

void TComponent::GetChildren(const std::function<void(TComponent*)>&, TComponent*) {}

void TComponent::SetChildOrder(TComponent* child, int order) { child->SetComponentIndex(order); }

}  // namespace zv

namespace zv {

void TComponent::DefineProperties(TFiler& filer) {
  // A control publishes Left and Top itself, so these only come up for the rest; the 16-bit
  // halves are signed, as an icon may sit left of or above the form's client origin.
  filer.DefineProperty(
      "Left", [this](TReader& r) { fDesignInfo = static_cast<std::int32_t>((static_cast<std::uint32_t>(fDesignInfo) & 0xFFFF0000u) | (static_cast<std::uint32_t>(r.ReadInteger()) & 0xFFFFu)); },
      [this](TWriter& w) { w.WriteInteger(static_cast<std::int16_t>(fDesignInfo & 0xFFFF)); }, (fDesignInfo & 0xFFFF) != 0);
  filer.DefineProperty(
      "Top", [this](TReader& r) { fDesignInfo = static_cast<std::int32_t>((static_cast<std::uint32_t>(fDesignInfo) & 0xFFFFu) | (static_cast<std::uint32_t>(r.ReadInteger()) << 16)); },
      [this](TWriter& w) { w.WriteInteger(static_cast<std::int16_t>(static_cast<std::uint32_t>(fDesignInfo) >> 16)); },
      (static_cast<std::uint32_t>(fDesignInfo) >> 16) != 0);
}

}  // namespace zv
