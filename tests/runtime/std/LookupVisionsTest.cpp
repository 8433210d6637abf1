// The lookup visions on the headless backend: customers (ID, NAME, IMG) looked up from orders
// (ID, CUST), in a memory table and in SQLite; texts and images that never move, post or notify
// the customers; picks, completion, new keys and the clear short-cut writing the key; the host's
// lookup fields; a form round trip.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/FormText.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/ImageList.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/LookupVisions.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/Painter.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

using namespace zv;

const char* const Names[] = {"Ann", "Bob", "Cyd", "Dan", "Eve"};

// Customers 1..5 with images 10..14; customer 3 has no image.
std::unique_ptr<TDataSet> MemCustomers() {
  auto table = std::make_unique<TMemTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("NAME", ftString, 20);
  table->FieldDefs().Add("IMG", ftInteger);
  table->CreateDataSet();
  for (int i = 1; i <= 5; ++i) table->AppendRecord({Variant(i), Variant(Names[i - 1]), i == 3 ? Null() : Variant(9 + i)});
  table->First();
  return table;
}

std::unique_ptr<TDataSet> SqliteCustomers() {
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    db.Execute("CREATE TABLE customers (ID INTEGER PRIMARY KEY, NAME VARCHAR(20), IMG INTEGER)");
    for (int i = 1; i <= 5; ++i)
      db.Execute(Format("INSERT INTO customers VALUES (%d, '%s', %s)",
                        {i, String(Names[i - 1]), i == 3 ? String("NULL") : std::to_string(9 + i)}));
  }
  auto table = std::make_unique<TGridSqliteDataSet>();
  table->SetFileName(path);
  table->SetTableName("customers");
  table->Open();
  return table;
}

struct CustomersFactory {
  std::string Name;
  std::function<std::unique_ptr<TDataSet>()> Create;
};
void PrintTo(const CustomersFactory& f, std::ostream* os) { *os << f.Name; }

// Orders 1..3 for customers 2, 4 and none, edited in a focused edit control on CUST.
class LookupVisions : public THarnessTest, public ::testing::WithParamInterface<CustomersFactory> {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    while (DefaultPackStarts() > 0) StopDefaultPack();
    StartDefaultPack();
    customers = GetParam().Create();
    customerSource.SetDataSet(customers.get());
    customerLink = std::make_unique<TRecordingLink>(customerLog, "customers");
    customerLink->SetDataSource(&customerSource);
    orders = std::make_unique<TMemTable>(nullptr);
    orders->FieldDefs().Add("ID", ftInteger);
    orders->FieldDefs().Add("CUST", ftInteger);
    name = new TStringField(orders.get());
    name->SetFieldName("CUSTNAME");
    name->SetFieldKind(fkLookup);
    name->SetDataSet(orders.get());
    name->SetKeyFields("CUST");
    name->SetLookupDataSet(customers.get());
    name->SetLookupKeyFields("ID");
    name->SetLookupResultField("NAME");
    orders->CreateDataSet();
    for (auto [id, cust] : {std::pair{1, Variant(2)}, {2, Variant(4)}, {3, Null()}})
      orders->AppendRecord({Variant(id), cust});
    orders->First();
    orderSource.SetDataSet(orders.get());
    images.SetWidth(16);
    images.SetHeight(16);
    vision.SetImages(&images);
    vision.LookupParams()->SetDataSource(&customerSource);
    vision.LookupParams()->SetKeyField("ID");
    vision.LookupParams()->SetLookupField("NAME");
    vision.LookupParams()->SetImageField("IMG");
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    edit = MakeEdit(10, &vision, "CUST");
    edit->SetFocus();
    h->Pump();
    customerLog.clear();
  }
  void TearDown() override {
    form.reset();
    customerLink.reset();
    while (DefaultPackStarts() > 0) StopDefaultPack();
    THarnessTest::TearDown();
  }
  TDBDevidEdit* MakeEdit(int top, TvpFieldVision* v, const String& field) {
    auto* e = new TDBDevidEdit(form.get());
    e->SetBounds(10, top, 150, 21);
    e->SetParent(form.get());
    e->SetVision(v);
    e->SetDataSource(&orderSource);
    e->SetDataField(field);
    return e;
  }
  void Key(TControl* c, Word key, char32_t ch = 0, TShiftState shift = {}) {
    h->KeyDown(c, key, shift);
    if (ch) h->Char(c, ch, shift);
    h->KeyUp(c, key, shift);
  }
  void Type(TControl* c, const std::u32string& text) {
    for (char32_t ch : text) Key(c, static_cast<Word>(std::toupper(static_cast<int>(ch))), ch);
  }
  String Cust() { return orders->FieldByName("CUST")->IsNull() ? String("<null>") : orders->FieldByName("CUST")->AsString(); }

  std::unique_ptr<TDataSet> customers;
  TDataSource customerSource{nullptr};
  std::vector<std::string> customerLog;
  std::unique_ptr<TRecordingLink> customerLink;
  std::unique_ptr<TMemTable> orders;
  TStringField* name = nullptr;
  TDataSource orderSource{nullptr};
  TImageList images{nullptr};
  TVLookupVision vision{nullptr};
  std::unique_ptr<TForm> form;
  TDBDevidEdit* edit = nullptr;
};

// Texts and images of each order, read by key: the customers' cursor, state and links are left
// alone, also while the customers table edits elsewhere (no text then, nothing posted).
TEST_P(LookupVisions, TextsAndImagesNeverTouchTheLookupTable) {
  customers->Last();
  customerLog.clear();
  TfvPainter painter(false);
  const struct {
    int order;
    const char* text;
    int image;
  } cases[] = {{1, "Bob", 11}, {2, "Dan", 13}, {3, "", -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.order);
    ASSERT_TRUE(orders->Locate("ID", c.order));
    painter.ImageIndex = -7;
    vision.VM_PreparePainter(edit->Fields(), painter);
    EXPECT_EQ(painter.Text, c.text);
    EXPECT_EQ(painter.ImageIndex, c.image);
  }
  orders->First();
  orders->Edit();
  orders->FieldByName("CUST")->SetAsInteger(3);
  EXPECT_EQ(vision.GetText(edit->Fields(), true), "Cyd") << "a key without an image";
  orders->FieldByName("CUST")->SetAsInteger(99);
  EXPECT_EQ(vision.GetText(edit->Fields(), true), "") << "a key not found";
  orders->Cancel();
  EXPECT_EQ(customers->FieldByName("ID")->AsInteger(), 5) << "the lookup cursor stays";
  EXPECT_TRUE(customerLog.empty()) << customerLog.front();

  customers->Edit();
  customers->FieldByName("NAME")->SetAsString("Edited");
  EXPECT_EQ(vision.GetText(edit->Fields(), true), "") << "not ready while the table edits";
  EXPECT_EQ(customers->State(), dsEdit) << "and the edit is not posted by a paint";
  customers->Post();
  EXPECT_EQ(vision.GetText(edit->Fields(), true), "Bob");
  vision.SetDrawImages(false);
  EXPECT_EQ(vision.GetText(edit->Fields(), true), "Bob") << "text alone";

  bool valid = true;
  vision.LookupParams()->SetLookupField("MISSING");
  vision.VM_ValidFields(edit->Fields(), valid);
  EXPECT_FALSE(valid);
  vision.LookupParams()->SetLookupField("NAME");
  customers->Close();
  vision.VM_ValidFields(edit->Fields(), valid);
  EXPECT_FALSE(valid) << "a closed lookup table";
}

// Field names read from a form are checked once loading ends: editors turn valid without a
// change of their own.
TEST_P(LookupVisions, LoadingRevalidatesTheEditors) {
  vision.LookupParams()->SetLookupField("MISSING");
  ASSERT_FALSE(edit->Fields().Valid());
  TextToComponent("object TVLookupVision\n  LookupParams.LookupField = 'NAME'\nend\n", &vision);
  EXPECT_EQ(vision.LookupParams()->DataSource(), &customerSource) << "what the text does not name stays";
  EXPECT_TRUE(edit->Fields().Valid());
  EXPECT_EQ(edit->Text(), "Bob");
}

// Completion and picks write the key; text that matches nothing is posted only through OnNewKey;
// the clear short-cut posts null.
TEST_P(LookupVisions, EditingWritesTheKey) {
  Type(edit, U"da");
  EXPECT_EQ(edit->Text(), "Dan");
  Key(edit, VK_RETURN);
  EXPECT_EQ(Cust(), "4");

  edit->DropDownBtnClick(false);
  ASSERT_NE(edit->ToolForm(), nullptr);
  EXPECT_EQ(zvDefPack->gpDataListList->Columns()->Count(), 1);
  EXPECT_EQ(zvDefPack->gpDataListList->DataSet()->FieldByName("ID")->AsInteger(), 4) << "the current key marked";
  Key(edit, VK_DOWN);
  Key(edit, VK_RETURN);
  EXPECT_EQ(Cust(), "5") << "picked";

  vision.SetAllowNewKeys(true);
  edit->SelectAll();
  Type(edit, U"zed");
  Key(edit, VK_RETURN);
  EXPECT_EQ(Cust(), "5") << "no OnNewKey: the new text is not posted";
  Key(edit, VK_ESCAPE);
  vision.OnNewKey = [&](TObject*, TgpFieldList*, const String& text, TgpFieldValue* key, bool&) {
    customers->AppendRecord({Variant(6), Variant(text), Null()});
    key->SetAsInteger(6);
  };
  edit->SelectAll();
  Type(edit, U"zed");
  Key(edit, VK_RETURN);
  EXPECT_EQ(Cust(), "6");
  EXPECT_EQ(vision.GetText(edit->Fields(), true), "zed");

  vision.SetClearShortCut(ShortCut(VK_DELETE, {ssCtrl}));
  Key(edit, VK_DELETE, 0, {ssCtrl});
  EXPECT_EQ(Cust(), "<null>") << "cleared and posted";
}

// The host's lookup fields: the text is the field's, a pick writes the key field, and two
// editors sharing the vision each list from their own source.
TEST_P(LookupVisions, HostLookupFields) {
  TLookupVision lookup(nullptr);
  lookup.SetListFields("ID");
  TDBDevidEdit* first = MakeEdit(40, &lookup, "CUSTNAME");
  TDBDevidEdit* second = MakeEdit(70, &lookup, "CUSTNAME");
  h->Pump();
  bool valid = false;
  lookup.VM_ValidFields(first->Fields(), valid);
  EXPECT_TRUE(valid);
  lookup.VM_ValidFields(edit->Fields(), valid);
  EXPECT_FALSE(valid) << "CUST is no lookup field";
  EXPECT_EQ(lookup.GetText(first->Fields(), true), "Bob");

  first->SetFocus();
  h->Pump();
  second->SetFocus();
  h->Pump();
  first->SetFocus();
  h->Pump();
  first->DropDownBtnClick(false);
  ASSERT_NE(first->ToolForm(), nullptr);
  TDBDivoRud* list = zvDefPack->gpDataListList;
  EXPECT_EQ(list->Columns()->Count(), 2) << "ID, then NAME appended once";
  EXPECT_EQ(list->DataSet(), customers.get());
  Key(first, VK_DOWN);
  Key(first, VK_RETURN);
  EXPECT_EQ(Cust(), "3");
  EXPECT_EQ(name->AsString(), "Cyd");
}

// In the grid's in-place editor the clear short-cut writes null into the field too, and the grid
// stays on the record.
TEST_P(LookupVisions, ClearShortCutInTheGrid) {
  vision.SetClearShortCut(ShortCut(VK_DELETE, {ssCtrl}));
  auto* grid = new TDBDivoRud(form.get());
  grid->SetBounds(10, 100, 380, 120);
  grid->SetParent(form.get());
  grid->Columns()->Add()->SetFieldName("CUST");
  grid->Columns()->Items(0)->SetVision(&vision);
  grid->SetDataSource(&orderSource);
  grid->SetFocus();
  h->Pump();
  ASSERT_EQ(Cust(), "2");
  h->KeyDown(grid, VK_F1 + 1);
  TDBDevidEdit* inplace = grid->InplaceEditor();
  ASSERT_TRUE(inplace && inplace->Visible());
  EXPECT_EQ(inplace->Text(), "Bob");
  Key(inplace, VK_DELETE, 0, {ssCtrl});
  EXPECT_EQ(Cust(), "<null>");
  EXPECT_EQ(orders->FieldByName("ID")->AsInteger(), 1);
}

// The widths written back when the list closes are the ones it opens with next time: opening
// and closing, with one column and with two, changes nothing.
TEST_P(LookupVisions, ReopeningKeepsTheWidthsLeft) {
  for (const char* description : {"", "IMG"}) {
    vision.LookupParams()->SetDescriptionField(description);
    vision.SetDropDownWidth("");
    std::vector<String> widths;
    for (int k = 0; k < 4; ++k) {
      edit->DropDownBtnClick(false);
      ASSERT_NE(edit->ToolForm(), nullptr);
      h->Pump();
      const int shown = zvDefPack->vtfDataList->Width();
      zvDefPack->vtfDataList->ClosePopup(false, false);
      h->Pump();
      widths.push_back(vision.DropDownWidth() + " at " + std::to_string(shown));
    }
    EXPECT_EQ(widths[1], widths[0]) << description;
    EXPECT_EQ(widths[3], widths[0]) << description;
  }
}

INSTANTIATE_TEST_SUITE_P(Customers, LookupVisions,
                         ::testing::Values(CustomersFactory{"MemTable", MemCustomers},
                                           CustomersFactory{"Sqlite", SqliteCustomers}),
                         [](const auto& info) { return info.param.Name; });

TEST(VLookupParams, FormRoundTrip) {
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* source = new TDataSource(owner.get());
  source->SetName("Customers");
  auto* vision = new TVLookupVision(owner.get());
  vision->SetName("Lookup1");
  vision->LookupParams()->SetDataSource(source);
  vision->LookupParams()->SetKeyField("ID");
  vision->LookupParams()->SetLookupField("NAME");
  vision->LookupParams()->SetDescriptionField("CITY");
  vision->SetDropDownWidth("40;120");
  vision->SetAllowNewKeys(true);
  vision->SetClearShortCut(ShortCut(VK_DELETE, {ssCtrl}));
  const String text = ComponentToText(vision);
  EXPECT_NE(text.find("LookupParams.KeyField = 'ID'"), String::npos) << text;
  auto back = std::make_unique<TVLookupVision>(nullptr);
  TextToComponent(text, back.get());
  EXPECT_EQ(back->LookupParams()->LookupField(), "NAME");
  EXPECT_EQ(back->LookupParams()->DescriptionField(), "CITY");
  EXPECT_TRUE(back->AllowNewKeys());
  EXPECT_EQ(back->DropDownWidth(), "40;120");
  delete source;
  EXPECT_EQ(vision->LookupParams()->DataSource(), nullptr) << "freed sources are forgotten";
}

}  // namespace
}  // namespace zvtest
