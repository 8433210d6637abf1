#include "platform/classes/Collection.h"

#include "platform/classes/ClassesConsts.h"
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

int TCollectionItem::Index() const {
  if (!fCollection) return -1;
  const auto& items = fCollection->fItems;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  if (fCollection && index != Index()) fCollection->MoveItem(this, index);
}

String TCollectionItem::DisplayName() const { return ClassName(); }

String TCollectionItem::GetNamePath() const {
  if (!fCollection) return ClassName();
  return fCollection->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

void TCollectionItem::Changed(bool allItems) {
  if (fCollection && fCollection->fUpdateCount == 0) fCollection->Update(allItems ? nullptr : this);
  else if (fCollection) fCollection->fChangedWhileUpdating = true;
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
  if (!fItemClass->Factory) throw EConvertError(Format(SAssignError, {fItemClass->Name, ClassName()}));
  std::unique_ptr<TObject> created(fItemClass->Factory(nullptr));
  auto* item = dynamic_cast<TCollectionItem*>(created.get());
  if (!item) throw EConvertError(Format(SCollectionItemClass, {fItemClass->Name, "TCollectionItem"}));
  created.release();
  item->SetCollection(this);
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
  Changed();
}

void TCollection::BeginUpdate() { ++fUpdateCount; }

void TCollection::EndUpdate() {
  if (fUpdateCount > 0 && --fUpdateCount == 0 && fChangedWhileUpdating) {
    fChangedWhileUpdating = false;
    Update(nullptr);
  }
}

void TCollection::Changed() {
  if (fUpdateCount == 0)
    Update(nullptr);
  else
    fChangedWhileUpdating = true;
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
  fItems.push_back(item);
  item->fCollection = this;
  item->fID = fNextID++;
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  fItems.erase(std::remove(fItems.begin(), fItems.end(), item), fItems.end());
  item->fCollection = nullptr;
  Changed();
}

void TCollection::MoveItem(TCollectionItem* item, int index) {
  index = std::clamp(index, 0, Count() - 1);
  fItems.erase(fItems.begin() + item->Index());
  fItems.insert(fItems.begin() + index, item);
  Changed();
}

}  // namespace zv
