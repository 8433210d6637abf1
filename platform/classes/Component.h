#pragma once
// TComponent: ownership (an owner destroys what it owns), names unique among an owner's
// components, component state, and free notification, which clears every reference to a
// component that is destroyed, whichever side goes first.
//
// A component is told to go while it is still whole: `delete` (an owner's, a unique_ptr's)
// reaches Destroying() before any destructor runs, so the removal notifications find the
// component with csDestroying set and every part of its class alive. A handler told that X is
// going may cast X to its class and call it. A component destroyed without `delete` (one on
// the stack or a member) is announced from ~TComponent unless its destructor calls
// Destroying() first.

#include "platform/classes/Persistent.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Set.h"

#include <cstdint>
#include <new>
#include <unordered_map>
#include <vector>

namespace zv {

class TReader;
class TWriter;

enum TComponentStateItem {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups,
  csFreeNotification, csInline, csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;
enum TOperation { opInsert, opRemove };

class EComponentError : public Exception {
public:
  using Exception::Exception;
};

class TComponent : public TPersistent {
  ZV_CLASS(TComponent, TPersistent)

public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  // Runs Destroying() on the whole object, then the destructors, then frees the memory.
  void operator delete(TComponent* component, std::destroying_delete_t);
  // The global allocation, with the deallocation a new-expression uses when a constructor
  // throws (a destroying delete cannot serve there).
  static void* operator new(std::size_t size);
  static void operator delete(void* memory);

  TComponent* Owner() const { return fOwner; }
  int ComponentCount() const { return static_cast<int>(fComponents.size()); }
  TComponent* Components(int index) const;
  int ComponentIndex() const;
  void SetComponentIndex(int index);
  TComponent* FindComponent(std::string_view name) const;

  const String& Name() const { return fName; }
  void SetName(const String& name);
  std::intptr_t Tag() const { return fTag; }
  void SetTag(std::intptr_t tag) { fTag = tag; }
  TComponentState ComponentState() const { return fState; }

  // Asks to be told (through Notification) when `component` is destroyed; mutual, so that the
  // other side is told too.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();
  // Marks this component and what it owns csDestroying and tells everyone who holds a
  // reference (free notification) and its owner's components that it goes. Once.
  void Destroying();

  String GetNamePath() const override;
  void SetDesigning(bool value, bool setChildren = true);
  // Where the designer shows a component that is no control: left in the low 16 bits, top in
  // the high 16 bits; streamed as "Left" and "Top" when not zero.
  std::int32_t DesignInfo() const { return fDesignInfo; }
  void SetDesignInfo(std::int32_t value) { fDesignInfo = value; }

  // Hooks for the form reader and writer.
  virtual void Loaded();
  virtual void ReadState(TReader& reader);
  virtual void WriteState(TWriter& writer);
  // Children written with this component (none by default; a form root writes what it owns).
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
  // The visual container a component is streamed inside (a control's parent, a menu item's
  // item or menu). Components without one are written at the root's top level; the reader
  // hands each child the component it was read inside.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent) { (void)parent; }
  void SetStateFlag(TComponentStateItem flag, bool on);

  static void DeclareProperties(TPropTable<TComponent>& t);

protected:
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void ValidateRename(TComponent* component, const String& currentName, const String& newName);
  virtual void SetChildOrder(TComponent* child, int order);
  TPersistent* GetOwner() const override { return fOwner; }
  void DefineProperties(TFiler& filer) override;

private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void ChangeName(const String& name);
  void MarkDestroying();

  TComponent* fOwner = nullptr;
  std::vector<TComponent*> fComponents;      // owned
  std::vector<TComponent*> fFreeNotifies;    // told when this one is destroyed, and vice versa
  // Owned components by upper-cased name: names are checked on every insertion, so a form
  // of thousands of components must not compare names one by one.
  std::unordered_map<String, TComponent*> fNameIndex;
  String fName;
  std::intptr_t fTag = 0;
  std::int32_t fDesignInfo = 0;
  TComponentState fState;
  bool fRemovalAnnounced = false;
  bool fHasHandle = false;  // known to the handle registry (ComponentToHandle)
  friend std::int32_t ComponentToHandle(TComponent* component);
};

// A valid identifier: a letter or underscore, then letters, digits or underscores (ASCII).
bool IsValidIdent(std::string_view name);

}  // namespace zv
