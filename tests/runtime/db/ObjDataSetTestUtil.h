#pragma once
// Objects the object dataset tests show: an item class with ID and NAME (what the shared
// dataset suite reads), and datasets that own the data object they show.

#include "platform/classes/Collection.h"
#include "platform/classes/TypeInfo.h"
#include "runtime/db/ObjDataSet.h"
#include "runtime/db/QuickRecordSet.h"
#include "runtime/rtm/ZvErrors.h"

#include <memory>

namespace zvtest {

using namespace zv;

class TIdNameItem : public TCollectionItem {
  ZV_CLASS(TIdNameItem, TCollectionItem)

public:
  using TCollectionItem::TCollectionItem;
  int Key() const { return fKey; }
  // A setter that refuses some values, as real objects do.
  void SetKey(int v) {
    if (v < 0) throw EZVError("negative key");
    fKey = v;
  }
  const String& Name() const { return fName; }
  void SetName(const String& v) { fName = v; }
  static void DeclareProperties(TPropTable<TIdNameItem>& t) {
    t.Prop("NAME", &TIdNameItem::Name, &TIdNameItem::SetName);
    t.Prop("ID", &TIdNameItem::Key, &TIdNameItem::SetKey);
  }

private:
  int fKey = 0;
  String fName;
};

// The data object lives in a base that is destroyed after the dataset has closed.
template <class T>
struct TDataHolder {
  std::unique_ptr<T> Data;
};

template <class T>
class TOwningObjDataSet : private TDataHolder<T>, public TObjDataSet {
public:
  explicit TOwningObjDataSet(std::unique_ptr<T> data) : TDataHolder<T>{std::move(data)}, TObjDataSet(nullptr) {
    SetObjectRef(this->TDataHolder<T>::Data.get());
  }
  ~TOwningObjDataSet() override { Close(); }
  T& Data() { return *this->TDataHolder<T>::Data; }
};

}  // namespace zvtest
