#include "platform/classes/Collection.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/DataModule.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"

#include <algorithm>
#include <memory>

namespace zv {

ZV_DEFINE_CLASS(TCollectionItem, TPersistent)
ZV_DEFINE_CLASS(TCollection, TPersistent)
ZV_DEFINE_CLASS(TOwnedCollection, TCollection)

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection == fCollection) return;
  if (fCollection) fCollection->RemoveItem(this);
  if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const { return fCollection ? fCollection->IndexOf(this) : -1; }

void TCollectionItem::SetIndex(int index) {
  if (!fCollection) return;
  const int current = Index();
  if (current == index) return;
  if (index < 0 || index >= fCollection->Count()) throw EListError(Format(SListIndexError, {index}));
  fCollection->MoveItem(this, index);
}

String TCollectionItem::DisplayName() const { return ClassName(); }

String TCollectionItem::GetNamePath() const {
  if (!fCollection) return ClassName();
  return fCollection->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

// Inside an update the outermost EndUpdate reports everything at once.
void TCollectionItem::Changed(bool allItems) {
  if (fCollection && fCollection->fUpdateCount == 0) fCollection->Update(allItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const { return fCollection; }

TCollection::TCollection(TClass itemClass) : fItemClass(itemClass) {
  if (!itemClass || !itemClass->InheritsFrom(TCollectionItem::StaticClass()))
    throw EConvertError(Format(SCollectionItemClass, {itemClass ? itemClass->Name : "nil", "TCollectionItem"}));
}

TCollection::~TCollection() {
  fUpdateCount = 1;  // no change reports to an owner that may be half gone
  while (!fItems.empty()) delete fItems.back();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format(SListIndexError, {index}));
  return fItems[static_cast<std::size_t>(index)];
}

TCollectionItem* TCollection::Add() {
  if (!fItemClass->ItemFactory) throw EConvertError(Format(SAssignError, {fItemClass->Name, ClassName()}));
  // The item joins in its base constructor, while the rest of it is not built yet: it is
  // announced (Notify, Update) here, once whole.
  BeginUpdate();
  TCollectionItem* item = nullptr;
  try {
    fAddPending = true;
    item = static_cast<TCollectionItem*>(fItemClass->ItemFactory(this));
    fAddPending = false;
    Notify(item, cnAdded);
  } catch (...) {
    fAddPending = false;
    EndUpdate();
    throw;
  }
  EndUpdate();
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError(Format(SListIndexError, {index}));
  BeginUpdate();
  TCollectionItem* item = nullptr;
  try {
    item = Add();
    item->SetIndex(index);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return item;
}

void TCollection::Delete(int index) {
  Notify(Items(index), cnDeleting);
  delete Items(index);
}

void TCollection::Clear() {
  if (fItems.empty()) return;
  BeginUpdate();
  while (!fItems.empty()) delete fItems.back();
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (auto* item : fItems)
    if (item->fID == id) return item;
  return nullptr;
}

void TCollection::Exchange(int index1, int index2) {
  Items(index1), Items(index2);  // bounds checks
  std::swap(fItems[static_cast<std::size_t>(index1)], fItems[static_cast<std::size_t>(index2)]);
  InvalidateIndexes(std::min(index1, index2));
  Changed();
}

void TCollection::BeginUpdate() { ++fUpdateCount; }

void TCollection::EndUpdate() {
  if (fUpdateCount == 0) return;
  --fUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (fUpdateCount == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TCollection*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (auto* item : other->fItems) Add()->Assign(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

String TCollection::GetNamePath() const {
  const TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  const String ownerPath = owner->GetNamePath();
  if (ownerPath.empty() || fPropName.empty()) return ClassName();
  return ownerPath + "." + fPropName;
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::InsertItem(TCollectionItem* item) {
  item->fIndex = Count();
  if (fIndexedUpTo == Count()) ++fIndexedUpTo;
  fItems.push_back(item);
  item->fCollection = this;
  item->fID = fNextID++;
  if (fAddPending) {
    fAddPending = false;  // Add announces it once constructed
    return;
  }
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  // A designer must drop the item from its selection before it is freed.
  if (IDesignerNotify* designer = FindRootDesigner(this)) designer->Notification(item, opRemove);
  const int index = IndexOf(item);
  fItems.erase(fItems.begin() + index);
  InvalidateIndexes(index);
  item->fCollection = nullptr;
  item->fIndex = -1;
  Changed();
}

void TCollection::MoveItem(TCollectionItem* item, int index) {
  const int current = IndexOf(item);
  fItems.erase(fItems.begin() + current);
  fItems.insert(fItems.begin() + index, item);
  InvalidateIndexes(std::min(current, index));
  Changed();
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  auto known = [&] {
    return item->fIndex >= 0 && item->fIndex < fIndexedUpTo && fItems[static_cast<std::size_t>(item->fIndex)] == item;
  };
  if (known()) return item->fIndex;
  // Positions are renumbered from the first one a change may have moved, once per change.
  for (int i = fIndexedUpTo; i < Count(); ++i) fItems[static_cast<std::size_t>(i)]->fIndex = i;
  fIndexedUpTo = Count();
  return known() ? item->fIndex : -1;
}

}  // namespace zv
