#include "platform/classes/DataModule.h"

#include "platform/classes/Collection.h"
#include "platform/classes/TypeInfo.h"

#include <unordered_map>

namespace zv {

namespace {
std::unordered_map<const TComponent*, IDesignerNotify*>& RootDesigners() {
  static std::unordered_map<const TComponent*, IDesignerNotify*> designers;
  return designers;
}
}  // namespace

void SetRootDesigner(TComponent* root, IDesignerNotify* designer) {
  if (designer)
    RootDesigners()[root] = designer;
  else if (!RootDesigners().empty())
    RootDesigners().erase(root);
}

IDesignerNotify* GetRootDesigner(const TComponent* root) {
  auto& designers = RootDesigners();
  if (designers.empty()) return nullptr;  // run time: no lookups at all
  const auto it = designers.find(root);
  return it == designers.end() ? nullptr : it->second;
}

IDesignerNotify* FindRootDesigner(const TPersistent* object) {
  if (RootDesigners().empty()) return nullptr;
  const TPersistent* top = object;
  while (top) {
    const TPersistent* up = top->GetOwner();
    if (!up) break;
    top = up;
  }
  const auto* root = dynamic_cast<const TComponent*>(top);
  return root ? GetRootDesigner(root) : nullptr;
}

ZV_DEFINE_CLASS_WITH_PROPS(TDataModule, TComponent)

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {}

TDataModule::~TDataModule() {
  Destroying();
  if (OnDestroy && !ComponentState().Contains(csDesigning)) OnDestroy(this);
}

void TDataModule::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  TComponent::GetChildren(proc, root);
  if (root != this) return;
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) proc(Components(i));
}

void TDataModule::Loaded() {
  TComponent::Loaded();
  if (OnCreate && !ComponentState().Contains(csDesigning)) OnCreate(this);
}

void TDataModule::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (IDesignerNotify* designer = Designer()) designer->Notification(component, operation);
}

void TDataModule::DeclareProperties(TPropTable<TDataModule>& t) {
  t.Event("OnCreate", &TDataModule::OnCreate);
  t.Event("OnDestroy", &TDataModule::OnDestroy);
}

}  // namespace zv
