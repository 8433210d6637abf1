// The shared dataset suite over the object dataset: the items of a collection and the rows of
// a quick record set.

#include "tests/platform/db/DataSetBehaviour.h"
#include "tests/runtime/db/ObjDataSetTestUtil.h"

namespace zvtest {

ZV_DEFINE_CLASS_WITH_PROPS(TIdNameItem, TCollectionItem)

namespace {

std::unique_ptr<TDataSet> CreateOverCollection(int count) {
  auto items = std::make_unique<TCollection>(TIdNameItem::StaticClass());
  for (int i = 1; i <= count; ++i) {
    auto* item = static_cast<TIdNameItem*>(items->Add());
    item->SetKey(i);
    item->SetName(ItemName(i));
  }
  auto ds = std::make_unique<TOwningObjDataSet<TCollection>>(std::move(items));
  ds->Open();
  return ds;
}

std::unique_ptr<TDataSet> CreateOverRecordSet(int count) {
  auto rs = std::make_unique<TvpQuickRecordSet>();
  rs->Fields()->Add("ID", ftInteger);
  rs->Fields()->Add("NAME", ftString, 20);
  rs->BeginUpdate();
  for (int i = 1; i <= count; ++i) {
    rs->AddRecord();
    rs->GetData("ID", i - 1)->SetAsInteger(i);
    rs->GetData("NAME", i - 1)->SetAsString(ItemName(i));
  }
  rs->EndUpdate();
  auto ds = std::make_unique<TOwningObjDataSet<TvpQuickRecordSet>>(std::move(rs));
  ds->Open();
  return ds;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(ObjDataSet, DataSetBehaviour,
                         ::testing::Values(DataSetFactory{"Collection", CreateOverCollection},
                                           DataSetFactory{"QuickRecordSet", CreateOverRecordSet}),
                         [](const auto& info) { return info.param.Name; });

}  // namespace zvtest
