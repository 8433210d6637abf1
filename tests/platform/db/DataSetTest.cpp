// The dataset behaviour suite run on the in-memory table.

#include "DataSetBehaviour.h"

#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"

namespace zv::testing {
namespace {

std::unique_ptr<TDataSet> CreateMemTable(int count) {
  auto table = std::make_unique<TMemTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("NAME", ftString, 20);
  table->CreateDataSet();
  TField* id = table->FieldByName("ID");
  TField* name = table->FieldByName("NAME");
  for (int i = 1; i <= count; ++i) {
    table->Append();
    id->SetAsInteger(i);
    name->SetAsString(ItemName(i));
    table->Post();
  }
  table->First();
  return table;
}

INSTANTIATE_TEST_SUITE_P(MemTable, DataSetBehaviour, ::testing::Values(DataSetFactory{"MemTable", CreateMemTable}),
                         [](const ::testing::TestParamInfo<DataSetFactory>& info) { return info.param.Name; });

}  // namespace
}  // namespace zv::testing
