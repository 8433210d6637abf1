#pragma once
// TCollection and TCollectionItem: an owned, ordered list of persistent items of one class,
// streamed as a property of its owner. Items report changes to their collection, which
// reports them to its owner (a grid's columns, for example).

#include "platform/classes/Persistent.h"

#include <vector>

namespace zv {

class TCollection;
enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  ZV_CLASS(TCollectionItem, TPersistent)

public:
  explicit TCollectionItem(TCollection* collection = nullptr);
  // Deleting an item takes it out of its collection.
  ~TCollectionItem() override;

  TCollection* Collection() const { return fCollection; }
  void SetCollection(TCollection* collection);
  int Index() const;
  virtual void SetIndex(int index);
  int ID() const { return fID; }
  virtual String DisplayName() const;
  virtual void SetDisplayName(const String&) {}
  String GetNamePath() const override;

protected:
  // Tells the collection this item (or, with allItems, every item) changed.
  void Changed(bool allItems);
  TPersistent* GetOwner() const override;

private:
  friend class TCollection;
  TCollection* fCollection = nullptr;
  int fID = 0;
};

class TCollection : public TPersistent {
  ZV_CLASS(TCollection, TPersistent)

public:
  // itemClass must descend from TCollectionItem (checked; EConvertError otherwise).
  explicit TCollection(TClass itemClass = TCollectionItem::StaticClass());
  ~TCollection() override;

  TClass ItemClass() const { return fItemClass; }
  int Count() const { return static_cast<int>(fItems.size()); }
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  void Exchange(int index1, int index2);

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return fUpdateCount; }

  // Replaces the items with copies of source's (a collection): each new item Assigns its peer.
  void Assign(const TPersistent* source) override;
  String GetNamePath() const override;
  // The property name under which the owner publishes this collection (for name paths).
  String PropName() const { return fPropName; }
  void SetPropName(const String& name) { fPropName = name; }

  // Typed access for descendants that know their item class.
  template <class T> T* ItemAs(int index) const { return static_cast<T*>(Items(index)); }

protected:
  // Called after changes with the changed item, or null when many or all items changed.
  virtual void Update(TCollectionItem* item);
  virtual void Notify(TCollectionItem* item, TCollectionNotification action);
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(TCollectionItem* item, int index);

  TClass fItemClass;
  std::vector<TCollectionItem*> fItems;  // owned
  int fNextID = 0;
  int fUpdateCount = 0;
  bool fChangedWhileUpdating = false;
  String fPropName;
};

// A collection with an owner (its name path and change reports go through the owner).
class TOwnedCollection : public TCollection {
  ZV_CLASS(TOwnedCollection, TCollection)

public:
  TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), fOwner(owner) {}

protected:
  TPersistent* GetOwner() const override { return fOwner; }

private:
  TPersistent* fOwner;
};

}  // namespace zv
