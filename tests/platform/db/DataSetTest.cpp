// The dataset behaviour suite run on the in-memory table.

#include "DataSetBehaviour.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"

namespace zvtest {
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

// Puts the application's handler back however a test ends.
struct THandlerGuard {
  explicit THandlerGuard(TDataSetExceptionHandler handler) { SetDataSetExceptionHandler(std::move(handler)); }
  ~THandlerGuard() { SetDataSetExceptionHandler(nullptr); }
};

TEST(DataSetLoading, ActiveReadFromAFormOpensWhenLoadedAndDesignTimeFailuresGoToTheHandler) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("ID", ftInteger);
  table.SetStateFlag(csReading, true);
  SetPropValue(&table, "Active", Variant(true));
  SetPropValue(&table, "AutoCalcFields", Variant(false));
  EXPECT_FALSE(table.Active());  // not before everything it refers to is read
  EXPECT_FALSE(table.AutoCalcFields());
  table.SetStateFlag(csReading, false);
  table.Loaded();
  EXPECT_TRUE(table.Active());
  EXPECT_EQ(GetPropInfo(TMemTable::StaticClass(), "AutoCalcFields")->Default, 1);

  // An open that fails reaches the code loading the form; while designing it goes to the
  // application's handler, if there is one, and the form goes on loading.
  TMemTable broken(nullptr);
  broken.SetName("Broken");
  broken.BeforeOpen = [](TDataSet* ds) { DatabaseError("no server", ds); };
  auto load = [&] {
    broken.SetStateFlag(csReading, true);
    broken.SetActive(true);
    broken.SetStateFlag(csReading, false);
    broken.Loaded();
  };
  EXPECT_THROW(load(), EDatabaseError);
  broken.SetDesigning(true);
  EXPECT_THROW(load(), EDatabaseError);  // no handler: nothing is swallowed
  std::vector<String> handled;
  THandlerGuard guard([&](TDataSet* ds, const std::exception& e) { handled.push_back(ds->Name() + " / " + e.what()); });
  EXPECT_NO_THROW(load());
  EXPECT_EQ(handled, std::vector<String>{"Broken / Broken: no server"});
  EXPECT_FALSE(broken.Active());
  broken.SetDesigning(false);
  EXPECT_THROW(load(), EDatabaseError);
  EXPECT_EQ(handled.size(), 1u);
}

}  // namespace
}  // namespace zvtest
