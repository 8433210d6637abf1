// The dataset behaviour suite run on the in-memory table.

#include "DataSetBehaviour.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"

#include <cstring>

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

// A control's link: asked to focus a field, it takes the focus when it shows that field.
class TFocusLink : public TDataLink {
public:
  TFocusLink(std::vector<String>& asked, String name, TField* shows, bool visual)
      : fAsked(asked), fName(std::move(name)), fShows(shows) {
    SetVisualControl(visual);
  }

protected:
  void FocusControl(TField** field) override {
    fAsked.push_back(fName);
    if (*field == fShows) *field = nullptr;
  }

private:
  std::vector<String>& fAsked;
  String fName;
  TField* fShows;
};

TEST(FieldFocusControl, TheFirstLinkThatTakesTheFocusEndsTheAsking) {
  auto table = CreateMemTable(3);
  TField* id = table->FieldByName("ID");
  TField* name = table->FieldByName("NAME");
  TDataSource first(nullptr), second(nullptr);
  first.SetDataSet(table.get());
  second.SetDataSet(table.get());
  std::vector<String> asked;
  TFocusLink grid(asked, "grid", nullptr, true), idEdit(asked, "idEdit", id, true), detail(asked, "detail", nullptr, false),
      nameEdit(asked, "nameEdit", name, true), other(asked, "other", name, true);
  grid.SetDataSource(&first);
  idEdit.SetDataSource(&first);
  detail.SetDataSource(&first);
  nameEdit.SetDataSource(&first);
  other.SetDataSource(&second);

  // Links that are not controls are asked first; the name edit takes it, and nobody after it
  // (not the second source's control showing the same field) is asked.
  name->FocusControl();
  EXPECT_EQ(asked, (std::vector<String>{"detail", "grid", "idEdit", "nameEdit"}));
  asked.clear();
  id->FocusControl();
  EXPECT_EQ(asked, (std::vector<String>{"detail", "grid", "idEdit"}));

  // Nobody takes it: every link of every source is asked.
  nameEdit.SetDataSource(nullptr);
  other.SetDataSource(nullptr);
  asked.clear();
  name->FocusControl();
  EXPECT_EQ(asked, (std::vector<String>{"detail", "grid", "idEdit"}));

  // A required field left empty asks for the focus before the post fails.
  nameEdit.SetDataSource(&second);
  name->SetRequired(true);
  table->Append();
  id->SetAsInteger(4);
  asked.clear();
  EXPECT_THROW(table->Post(), EDatabaseError);
  EXPECT_EQ(asked, (std::vector<String>{"detail", "grid", "idEdit", "nameEdit"}));
  table->Cancel();

  // A field with no dataset, or of a closed one, asks nobody.
  TStringField loose(nullptr);
  loose.FocusControl();
  TMemTable closed(nullptr);
  auto* code = new TIntegerField(&closed);
  code->SetFieldName("CODE");
  code->SetDataSet(&closed);
  closed.CreateDataSet();
  TDataSource third(nullptr);
  third.SetDataSet(&closed);
  TFocusLink codeEdit(asked, "codeEdit", code, true);
  codeEdit.SetDataSource(&third);
  closed.Close();
  asked.clear();
  code->FocusControl();
  EXPECT_TRUE(asked.empty());
  closed.Open();
  code->FocusControl();
  EXPECT_EQ(asked, std::vector<String>{"codeEdit"});
}

TEST(BlobStreamFlush, AFailureGoesToTheExceptionHandler) {
  TMemTable table(nullptr);
  table.SetName("Pictures");
  table.FieldDefs().Add("DATA", ftBlob);
  table.CreateDataSet();
  TField* data = table.FieldByName("DATA");
  data->OnChange = [](TField* f) { DatabaseError("cannot store", f->DataSet()); };
  auto write = [&](const char* text) {
    table.Append();
    auto stream = table.CreateBlobStream(data, bmWrite);
    stream->Write(text, static_cast<std::int64_t>(std::strlen(text)));
  };

  std::vector<String> handled;
  {
    THandlerGuard guard([&](TDataSet* ds, const std::exception& e) { handled.push_back(ds->Name() + " / " + e.what()); });
    write("abc");
  }
  EXPECT_EQ(handled, std::vector<String>{"Pictures / Pictures: cannot store"});
  table.Cancel();

  // With no handler the error cannot leave a destructor; the record goes on.
  EXPECT_NO_THROW(write("def"));
  EXPECT_EQ(table.State(), dsInsert);
  data->OnChange = nullptr;
  table.Post();
  EXPECT_EQ(table.RecordCount(), 1);
}

}  // namespace
}  // namespace zvtest
