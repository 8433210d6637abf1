#pragma once
// TCollection and TCollectionItem: an owned, ordered list of persistent items of one class,
// streamed as a property of its owner. Items report changes to their collection, which
// reports them to its owner (a grid's columns, for example).
//
// As on the host: Add constructs the item with its collection (the item's constructor already
// reaches Collection() and the collection's owner); the additions, deletions and moves made
// inside BeginUpdate/EndUpdate are reported once, by the outermost EndUpdate, which always
// ends in Update(nullptr); Clear, Assign and the form reader bracket their work with the
// virtual BeginUpdate/EndUpdate, so a descendant's brackets run there too.

#include "platform/classes/Persistent.h"

#include <algorithm>
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
  // The position in the collection (-1 without one); constant time once the positions are
  // known, so a walk over all items stays linear.
  int Index() const;
  // Moves the item; an index outside the collection raises EListError.
  virtual void SetIndex(int index);
  int ID() const { return fID; }
  virtual String DisplayName() const;
  virtual void SetDisplayName(const String&) {}
  String GetNamePath() const override;

protected:
  // Tells the collection this item (or, with allItems, every item) changed.
  void Changed(bool allItems);

public:
  TPersistent* GetOwner() const override;  // the collection

private:
  friend class TCollection;
  TCollection* fCollection = nullptr;
  int fID = 0;
  mutable int fIndex = -1;  // the position when the collection last numbered its items
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

  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return fUpdateCount; }
  // The component (or other object) the collection belongs to; null for a free collection.
  TPersistent* GetOwner() const override { return nullptr; }
  TPersistent* Owner() const { return GetOwner(); }

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
  int IndexOf(const TCollectionItem* item) const;
  void InvalidateIndexes(int from) { fIndexedUpTo = std::min(fIndexedUpTo, from); }

  TClass fItemClass;
  std::vector<TCollectionItem*> fItems;  // owned
  int fNextID = 0;
  int fUpdateCount = 0;
  mutable int fIndexedUpTo = 0;  // items below this position know their index
  bool fAddPending = false;      // Add is constructing an item: it announces the item itself
  String fPropName;
};

// A collection with an owner (its name path and change reports go through the owner).
class TOwnedCollection : public TCollection {
  ZV_CLASS(TOwnedCollection, TCollection)

public:
  TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), fOwner(owner) {}

  TPersistent* GetOwner() const override { return fOwner; }

private:
  TPersistent* fOwner;
};

}  // namespace zv
