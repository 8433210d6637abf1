// What the in-memory table adds to a dataset: sorting, blob streams, stable record numbers and
// bookmarks, a failed post that keeps the user's values, and the table's own life cycle.

#include "platform/classes/Streams.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/Format.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <vector>

namespace zv {
namespace {

class MemTableTest : public ::testing::Test {
protected:
  // People in the order added; Dan's age is unknown.
  void SetUp() override {
    fTable = std::make_unique<TMemTable>(nullptr);
    fTable->FieldDefs().Add("NAME", ftString, 20);
    fTable->FieldDefs().Add("CITY", ftString, 20);
    fTable->FieldDefs().Add("AGE", ftInteger);
    fTable->CreateDataSet();
    Add("Eve", "Paris", 30);
    Add("Bob", "Oslo", 25);
    Add("Alice", "Paris", 35);
    Add("Dan", "Oslo", Variant::Null());
    Add("Carl", "Rome", 25);
    fTable->First();
  }

  void Add(const char* name, const char* city, const Variant& age) {
    fTable->Append();
    Field("NAME")->SetAsString(name);
    Field("CITY")->SetAsString(city);
    Field("AGE")->SetAsVariant(age);
    fTable->Post();
  }
  TField* Field(const char* name) { return fTable->FieldByName(name); }
  String Name() { return Field("NAME")->AsString(); }

  std::vector<String> Names() {
    const TBookmarkStr here = fTable->Bookmark();
    std::vector<String> names;
    for (fTable->First(); !fTable->Eof(); fTable->Next()) names.push_back(Name());
    fTable->GotoBookmark(here);
    return names;
  }

  std::unique_ptr<TMemTable> fTable;
};

using NameList = std::vector<String>;

TEST_F(MemTableTest, SortByOrdersRecordsAndKeepsTheCurrentOne) {
  ASSERT_TRUE(fTable->Locate("NAME", "Carl"));
  EXPECT_EQ(fTable->RecNo(), 5);

  fTable->SortBy("AGE");
  EXPECT_EQ(Names(), (NameList{"Dan", "Bob", "Carl", "Eve", "Alice"}));  // nulls first, ties as added
  EXPECT_EQ(Name(), "Carl");
  EXPECT_EQ(fTable->RecNo(), 3);

  fTable->SortBy("city; age DESC");  // names in any case, spaces around items
  EXPECT_EQ(Names(), (NameList{"Bob", "Dan", "Alice", "Eve", "Carl"}));
  EXPECT_EQ(fTable->IndexFieldNames(), "city; age DESC");

  fTable->SortBy("NAME DESC");
  EXPECT_EQ(Names(), (NameList{"Eve", "Dan", "Carl", "Bob", "Alice"}));

  // Records posted later take their place in the order; a changed key moves its record.
  fTable->SortBy("AGE ASC");
  fTable->Append();
  Field("NAME")->SetAsString("Ann");
  Field("AGE")->SetAsInteger(20);
  fTable->Post();
  EXPECT_EQ(Name(), "Ann");
  EXPECT_EQ(fTable->RecNo(), 2);
  ASSERT_TRUE(fTable->Locate("NAME", "Alice"));
  fTable->Edit();
  Field("AGE")->SetAsInteger(1);
  fTable->Post();
  EXPECT_EQ(Name(), "Alice");
  EXPECT_EQ(fTable->RecNo(), 2);
  EXPECT_EQ(Names(), (NameList{"Dan", "Alice", "Ann", "Bob", "Carl", "Eve"}));

  // No sort: back to the order the records were added in, inserts included.
  fTable->SortBy("");
  EXPECT_EQ(Names(), (NameList{"Eve", "Bob", "Alice", "Dan", "Carl", "Ann"}));
  fTable->First();
  fTable->Next();
  fTable->Insert();
  Field("NAME")->SetAsString("Zoe");
  fTable->Post();
  fTable->SortBy("NAME");
  fTable->SortBy("");
  EXPECT_EQ(Names(), (NameList{"Eve", "Zoe", "Bob", "Alice", "Dan", "Carl", "Ann"}));

  // The sort is a published property, as a grid's owner form would stream it.
  SetPropValue(fTable.get(), "IndexFieldNames", Variant("CITY"));
  EXPECT_EQ(Names(), (NameList{"Zoe", "Ann", "Bob", "Dan", "Eve", "Alice", "Carl"}));
  EXPECT_EQ(GetPropValue(fTable.get(), "IndexFieldNames").AsString(), "CITY");
}

// A column of no type holds anything; a sort of it must be an order (std::sort is undefined
// otherwise): nulls, then the other values, then the blobs by their bytes.
TEST(MemTableVariantSort, BlobsSortLastByTheirBytesAmongAnyValues) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("ID", ftInteger);
  table.FieldDefs().Add("V", ftVariant);
  table.CreateDataSet();
  const std::vector<Variant> values = {Variant("b"),          VarArrayOfBytes(std::vector<std::uint8_t>{0x42}), Variant(3.5),
                                       VarArrayOfBytes(std::vector<std::uint8_t>{0x41, 0x01}), Variant::Null(), Variant("a"),
                                       VarArrayOfBytes(std::vector<std::uint8_t>{0x41}),       Variant(1)};
  for (int i = 0; i < 40; ++i) table.AppendRecord({Variant(i), values[static_cast<std::size_t>(i) % values.size()]});
  table.SortBy("V");
  std::vector<int> kinds;  // 0 null, 1 other, 2 blob
  std::vector<std::vector<std::uint8_t>> blobs;
  for (table.First(); !table.Eof(); table.Next()) {
    const Variant v = table.FieldByName("V")->AsVariant();
    kinds.push_back(v.IsNull() ? 0 : v.IsArray() ? 2 : 1);
    if (v.IsArray()) blobs.emplace_back(v.Bytes().begin(), v.Bytes().end());
  }
  ASSERT_EQ(kinds.size(), 40u);
  EXPECT_TRUE(std::is_sorted(kinds.begin(), kinds.end()));
  EXPECT_TRUE(std::is_sorted(blobs.begin(), blobs.end()));
  EXPECT_EQ(blobs.front(), (std::vector<std::uint8_t>{0x41}));
}

TEST_F(MemTableTest, QuotedSortNamesReachAnyField) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("a;b", ftInteger);
  table.FieldDefs().Add("x ASC", ftInteger);
  table.CreateDataSet();
  for (int i = 1; i <= 3; ++i) table.AppendRecord({Variant(i), Variant(4 - i)});
  const std::pair<const char*, const char*> cases[] = {
      {R"("a;b" DESC)", "321"}, {R"("x ASC")", "321"}, {R"("x ASC" DESC; "a;b")", "123"}, {R"("a;b" ASC)", "123"}};
  for (const auto& [sort, order] : cases) {
    table.SortBy(sort);
    std::string seen;
    for (table.First(); !table.Eof(); table.Next()) seen += table.FieldByName("a;b")->AsString();
    EXPECT_EQ(seen, order) << sort;
  }
  EXPECT_THROW(table.SortBy("a;b"), EDatabaseError);
}

TEST_F(MemTableTest, BadSortStringsChangeNothing) {
  fTable->SortBy("AGE");
  const NameList before = Names();
  auto expectInvalid = [&](const String& sort, const String& field) {
    try {
      fTable->SortBy(sort);
      ADD_FAILURE() << "accepted " << sort;
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), Format(SInvalidSortField, {field}));
    }
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(fTable->IndexFieldNames(), "AGE");
  };
  expectInvalid("Nope", "Nope");
  expectInvalid("NAME;Nope DESC", "Nope");
  expectInvalid("NAME UP", "NAME UP");
  expectInvalid("DESC", "DESC");

  // A closed table checks against its definitions and sorts when it opens.
  fTable->Close();
  EXPECT_THROW(fTable->SortBy("Nope"), EDatabaseError);
  fTable->SortBy("NAME");
  fTable->Open();
  EXPECT_EQ(Names(), (NameList{"Alice", "Bob", "Carl", "Dan", "Eve"}));
}

TEST_F(MemTableTest, BlobStreamsReadAndWriteTheRecord) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("ID", ftInteger);
  table.FieldDefs().Add("DATA", ftBlob);
  table.FieldDefs().Add("NOTE", ftMemo);
  table.CreateDataSet();
  TField* data = table.FieldByName("DATA");
  TField* note = table.FieldByName("NOTE");

  table.Append();
  table.FieldByName("ID")->SetAsInteger(1);
  const std::uint8_t bytes[] = {0, 1, 2, 255, 0};
  {
    auto stream = table.CreateBlobStream(data, bmWrite);
    stream->WriteBuffer(bytes, sizeof bytes);
    EXPECT_TRUE(data->IsNull());  // written back when the stream goes
  }
  {
    auto stream = table.CreateBlobStream(note, bmWrite);
    const String text = "Zeile 1\nÜbergröße";
    stream->WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  }
  EXPECT_TRUE(table.Modified());
  table.Post();

  {
    auto stream = table.CreateBlobStream(data, bmRead);
    ASSERT_EQ(stream->Size(), 5);
    std::uint8_t back[5] = {};
    stream->ReadBuffer(back, 5);
    EXPECT_EQ(std::vector<std::uint8_t>(back, back + 5), std::vector<std::uint8_t>(bytes, bytes + 5));
  }
  EXPECT_EQ(note->AsString(), "Zeile 1\nÜbergröße");
  EXPECT_EQ(data->AsVariant().Bytes().size(), 5U);

  // Writing needs edit state; reading does not change the record.
  try {
    table.CreateBlobStream(data, bmWrite);
    FAIL() << "wrote a blob while browsing";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), SNotEditing);
  }

  table.Edit();
  {
    auto stream = table.CreateBlobStream(data, bmReadWrite);
    stream->Seek(0, soEnd);
    const std::uint8_t more = 7;
    stream->WriteBuffer(&more, 1);
  }
  EXPECT_EQ(data->AsVariant().Bytes().size(), 6U);
  { auto truncated = table.CreateBlobStream(note, bmWrite); }  // bmWrite empties even unwritten
  EXPECT_TRUE(note->IsNull());
  table.Cancel();
  EXPECT_EQ(data->AsVariant().Bytes().size(), 5U);
  EXPECT_EQ(note->AsString(), "Zeile 1\nÜbergröße");

  // A stream that outlives the edit writes nothing.
  table.Edit();
  {
    auto stream = table.CreateBlobStream(data, bmWrite);
    table.Cancel();
  }
  EXPECT_EQ(data->AsVariant().Bytes().size(), 5U);
}

TEST_F(MemTableTest, FailedPostKeepsTheUsersValues) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("NAME", ftString, 20, true);
  table.FieldDefs().Add("CITY", ftString, 20);
  table.CreateDataSet();
  EXPECT_TRUE(table.FieldByName("NAME")->Required());

  table.Insert();
  table.FieldByName("CITY")->SetAsString("Oslo");
  try {
    table.Post();
    FAIL() << "posted without a required value";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), Format(SFieldRequired, {"NAME"}));
  }
  EXPECT_EQ(table.State(), dsInsert);
  EXPECT_EQ(table.FieldByName("CITY")->AsString(), "Oslo");
  EXPECT_EQ(table.RecordCount(), 0);

  table.FieldByName("NAME")->SetAsString("Bob");
  table.Post();
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(table.RecordCount(), 1);
  EXPECT_EQ(table.FieldByName("NAME")->AsString(), "Bob");
  EXPECT_EQ(table.FieldByName("CITY")->AsString(), "Oslo");

  // The same for an edit: the old value comes back only on Cancel.
  table.Edit();
  table.FieldByName("NAME")->Clear();
  table.FieldByName("CITY")->SetAsString("Rome");
  EXPECT_THROW(table.Post(), EDatabaseError);
  EXPECT_EQ(table.State(), dsEdit);
  EXPECT_EQ(table.FieldByName("CITY")->AsString(), "Rome");
  table.Cancel();
  EXPECT_EQ(table.FieldByName("NAME")->AsString(), "Bob");
  EXPECT_EQ(table.FieldByName("CITY")->AsString(), "Oslo");
}

// A keyed read looks at the rows: the cursor stays, and only the record found is calculated
// (an application's OnCalcFields is not run over the whole table for one painted cell).
TEST_F(MemTableTest, ReadByKeyCalculatesOnlyTheRecordFound) {
  fTable->Close();
  auto* initial = new TStringField(fTable.get());
  initial->SetFieldName("INITIAL");
  initial->SetFieldKind(fkCalculated);
  initial->SetSize(1);
  initial->SetDataSet(fTable.get());
  int calls = 0;
  fTable->OnCalcFields = [&](TDataSet* ds) {
    ++calls;
    initial->SetAsString(ds->FieldByName("NAME")->AsString().substr(0, 1));
  };
  fTable->Open();
  fTable->Last();
  calls = 0;
  EXPECT_EQ(fTable->ReadByKey("CITY;AGE", VarArrayOf({"Rome", 25}), "INITIAL;NAME").GetElement(0).AsString(), "C");
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(fTable->ReadByKey("AGE", Variant::Null(), "INITIAL").AsString() == "D");
  EXPECT_TRUE(fTable->ReadByKey("NAME", "Zed", "INITIAL").IsNull());
  EXPECT_EQ(calls, 2);
  // A calculated key can only be found by calculating: the walk through the cursor.
  EXPECT_EQ(fTable->ReadByKey("INITIAL", "A", "NAME").AsString(), "Alice");
  EXPECT_EQ(Name(), "Carl");
  fTable->Prior();
  EXPECT_EQ(Name(), "Dan");
}

TEST_F(MemTableTest, RecNoAndBookmarksFollowTheRecord) {
  EXPECT_EQ(fTable->RecordCount(), 5);
  fTable->SetRecNo(3);
  EXPECT_EQ(Name(), "Alice");
  EXPECT_EQ(fTable->RecNo(), 3);
  const TBookmarkStr alice = fTable->Bookmark();
  fTable->SetRecNo(0);  // out of range: the nearest record
  EXPECT_EQ(fTable->RecNo(), 1);
  fTable->SetRecNo(99);
  EXPECT_EQ(Name(), "Carl");

  fTable->SortBy("NAME DESC");
  fTable->GotoBookmark(alice);
  EXPECT_EQ(Name(), "Alice");
  EXPECT_EQ(fTable->RecNo(), 5);
  fTable->First();
  fTable->Delete();  // Eve
  fTable->GotoBookmark(alice);
  EXPECT_EQ(fTable->RecNo(), 4);
  EXPECT_EQ(fTable->RecordCount(), 4);

  // While inserting, RecNo is where the new record will go.
  fTable->SortBy("");
  fTable->SetRecNo(2);
  fTable->Insert();
  EXPECT_EQ(fTable->RecNo(), 2);
  fTable->Cancel();

  fTable->EmptyDataSet();
  EXPECT_EQ(fTable->RecordCount(), 0);
  EXPECT_TRUE(fTable->IsEmpty());
  EXPECT_FALSE(fTable->BookmarkValid(alice));
  fTable->Close();
  EXPECT_THROW(fTable->RecordCount(), EDatabaseError);
}

TEST_F(MemTableTest, TheTableOutlivesClosingButNotNewDefinitions) {
  fTable->Close();
  fTable->Open();
  EXPECT_EQ(fTable->RecordCount(), 5);
  EXPECT_EQ(Name(), "Eve");

  fTable->Close();
  fTable->FieldDefs().Add("EXTRA", ftInteger);
  fTable->Open();
  EXPECT_EQ(fTable->RecordCount(), 0);
  EXPECT_NE(fTable->FindField("EXTRA"), nullptr);

  EXPECT_THROW(fTable->CreateDataSet(), EDatabaseError);  // open already
}

TEST_F(MemTableTest, FieldsAloneDefineATableAndAutoIncNumbers) {
  TMemTable table(nullptr);
  auto* id = new TAutoIncField(&table);  // owned by the table
  id->SetFieldName("ID");
  id->SetDataSet(&table);
  auto* name = new TStringField(&table);
  name->SetFieldName("NAME");
  name->SetDataSet(&table);
  table.CreateDataSet();
  ASSERT_EQ(table.FieldDefs().Count(), 2);
  EXPECT_EQ(table.FieldDefs()[0]->DataType(), ftAutoInc);
  EXPECT_EQ(table.FieldCount(), 2);
  EXPECT_EQ(table.FieldByName("ID"), id);  // the fields given, not new ones

  for (const char* n : {"a", "b", "c"}) {
    table.Append();
    name->SetAsString(n);
    table.Post();
  }
  table.Append();
  id->SetAsInteger(10);
  table.Post();
  table.Append();
  table.Post();
  table.First();
  std::vector<int> ids;
  for (; !table.Eof(); table.Next()) ids.push_back(id->AsInteger());
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 10, 11}));

  table.Close();
  EXPECT_EQ(table.FieldCount(), 2);  // fields of the application stay when the table closes
}

}  // namespace
}  // namespace zv
