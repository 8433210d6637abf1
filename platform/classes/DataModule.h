#pragma once
// Design roots: what a form designer is told by the objects of the root it edits, and the data
// module, a root for components that are no controls (datasets, data sources).
//
// A root being designed has a designer (SetRootDesigner); a component it owns that goes, or a
// collection item that is added or goes, reaches that designer's Notification, so that no
// designer keeps a selection or a reference that points at freed memory.

#include "platform/classes/Component.h"
#include "platform/classes/Strings.h"

namespace zv {

class IDesignerNotify {
public:
  virtual ~IDesignerNotify() = default;
  virtual void Modified() = 0;
  // A component or collection item of the root was added (opInsert) or is going (opRemove).
  virtual void Notification(TPersistent* object, TOperation operation) = 0;
};

// The designer of a root (null: none); a root keeps one designer.
void SetRootDesigner(TComponent* root, IDesignerNotify* designer);
IDesignerNotify* GetRootDesigner(const TComponent* root);
// The designer of the root an object belongs to: up through its owners (a collection item's
// collection, the collection's component) to the component that has no owner.
IDesignerNotify* FindRootDesigner(const TPersistent* object);

class TDataModule : public TComponent {
  ZV_CLASS(TDataModule, TComponent)

public:
  explicit TDataModule(TComponent* owner);
  ~TDataModule() override;

  IDesignerNotify* Designer() const { return GetRootDesigner(this); }
  void SetDesigner(IDesignerNotify* designer) { SetRootDesigner(this, designer); }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

  // A root writes the components it owns.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  static void DeclareProperties(TPropTable<TDataModule>& t);

protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
};

}  // namespace zv
