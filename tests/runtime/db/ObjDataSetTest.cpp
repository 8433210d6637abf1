// The object dataset beyond the shared suite: each provider, the mapping of classes to fields,
// moves with OnCursorMove, editing (both edit-buffer modes, empty and failed posts), blobs,
// search, paths, the three routines and the legacy form properties.

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Component.h"
#include "platform/classes/FormText.h"
#include "platform/classes/Strings.h"
#include "platform/db/DBConsts.h"
#include "platform/db/DataLink.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/db/Params.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsConsts.h"
#include "platform/null/NullBackend.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/ObjMapping.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"
#include "tests/runtime/db/ObjDataSetTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>

namespace zvtest {
ZV_ENUM(TStyle, stFirst, stSecond, stThird);
}
using zvtest::TStyle;
namespace zvtest {

using TStyles = TSet<TStyle>;

// Every kind the mapping turns into a field; Count refuses negative values.
class TSample : public TPersistent {
  ZV_CLASS(TSample, TPersistent)

public:
  const String& Caption() const { return fCaption; }
  void SetCaption(const String& v) { fCaption = v; }
  int Count() const { return fCount; }
  void SetCount(int v) {
    if (v < 0) throw EZVError("Count cannot be negative");
    fCount = v;
  }
  TStyles Style() const { return fStyle; }
  void SetStyle(TStyles v) { fStyle = v; }
  double Ratio() const { return fRatio; }
  void SetRatio(double v) { fRatio = v; }
  TDateTime Made() const { return fMade; }
  void SetMade(TDateTime v) { fMade = v; }
  WideString Wide() const { return fWide; }
  void SetWide(WideString v) { fWide = v; }
  TStrings* Notes() const { return fNotes.get(); }
  void SetNotes(TStrings* v) { fNotes->Assign(v); }
  int Serial() const { return 42; }
  static void DeclareProperties(TPropTable<TSample>& t) {
    t.Prop("Wide", &TSample::Wide, &TSample::SetWide);
    t.Prop("Caption", &TSample::Caption, &TSample::SetCaption);
    t.Prop("Count", &TSample::Count, &TSample::SetCount);
    t.Prop("Style", &TSample::Style, &TSample::SetStyle);
    t.Prop("Ratio", &TSample::Ratio, &TSample::SetRatio);
    t.Prop("Made", &TSample::Made, &TSample::SetMade);
    t.Prop("Notes", &TSample::Notes, &TSample::SetNotes);
    t.Prop("Serial", &TSample::Serial);
  }

private:
  String fCaption;
  int fCount = 0;
  TStyles fStyle;
  double fRatio = 0;
  TDateTime fMade;
  WideString fWide;
  std::unique_ptr<TStringList> fNotes = std::make_unique<TStringList>();
};

// Names Caption "Title" and lets Count read as null when 0.
class TDescribedSample : public TSample {
  ZV_CLASS(TDescribedSample, TSample)

public:
  void Describe(TObjFieldsInfo& info) {
    info.PropNames = "Caption";
    info.FieldNames = "Title";
    info.NullableProps = "Count";
  }
  static void DeclareProperties(TPropTable<TDescribedSample>& t) {
    t.Method("_GetObjFieldsInfo", &TDescribedSample::Describe);
  }
};

// A collection that names its items' NAME "Title".
class TTitledCollection : public TCollection {
  ZV_CLASS(TTitledCollection, TCollection)

public:
  TTitledCollection() : TCollection(TIdNameItem::StaticClass()) {}
  void Describe(TObjFieldsInfo& info) {
    info.PropNames = "NAME";
    info.FieldNames = "Title";
  }
  static void DeclareProperties(TPropTable<TTitledCollection>& t) {
    t.Method("_GetObjFieldsInfo", &TTitledCollection::Describe);
  }
};

class TOddPart : public TPersistent {
  ZV_CLASS(TOddPart, TPersistent)
};

// A property of a class no field type holds.
class TWithPart : public TPersistent {
  ZV_CLASS(TWithPart, TPersistent)

public:
  TOddPart* Part() const { return fPart.get(); }
  void SetPart(TOddPart*) {}
  int Size() const { return 3; }
  void SetSize(int) {}
  static void DeclareProperties(TPropTable<TWithPart>& t) {
    t.Prop("Part", &TWithPart::Part, &TWithPart::SetPart);
    t.Prop("Size", &TWithPart::Size, &TWithPart::SetSize);
  }

private:
  std::unique_ptr<TOddPart> fPart = std::make_unique<TOddPart>();
};

// A component with a collection, and one that refers to it: paths go through both.
class TGadget : public TComponent {
  ZV_CLASS(TGadget, TComponent)

public:
  explicit TGadget(TComponent* owner = nullptr) : TComponent(owner) {}
  TCollection* Items() const { return fItems.get(); }
  void SetItems(TCollection* v) { fItems->Assign(v); }
  TGadget* Peer() const { return fPeer; }
  void SetPeer(TGadget* v) { fPeer = v; }
  static void DeclareProperties(TPropTable<TGadget>& t) {
    t.Prop("Items", &TGadget::Items, &TGadget::SetItems);
    t.Prop("Peer", &TGadget::Peer, &TGadget::SetPeer);
  }

private:
  std::unique_ptr<TCollection> fItems = std::make_unique<TCollection>(TIdNameItem::StaticClass());
  TGadget* fPeer = nullptr;
};

class TPictured : public TPersistent {
  ZV_CLASS(TPictured, TPersistent)

public:
  TBitmap* Picture() const { return fPicture.get(); }
  void SetPicture(TBitmap* v) { fPicture->Assign(v); }
  static void DeclareProperties(TPropTable<TPictured>& t) { t.Prop("Picture", &TPictured::Picture, &TPictured::SetPicture); }

private:
  std::unique_ptr<TBitmap> fPicture = std::make_unique<TBitmap>();
};

ZV_DEFINE_CLASS_WITH_PROPS(TPictured, TPersistent)
ZV_DEFINE_CLASS_WITH_PROPS(TSample, TPersistent)
ZV_DEFINE_CLASS_WITH_PROPS(TDescribedSample, TSample)
ZV_DEFINE_CLASS_WITH_PROPS(TTitledCollection, TCollection)
ZV_DEFINE_CLASS(TOddPart, TPersistent)
ZV_DEFINE_CLASS_WITH_PROPS(TWithPart, TPersistent)
ZV_DEFINE_CLASS_WITH_PROPS(TGadget, TComponent)

namespace {

void FillItems(TCollection& items, const std::vector<std::pair<int, const char*>>& rows) {
  for (const auto& [id, name] : rows) {
    auto* item = static_cast<TIdNameItem*>(items.Add());
    item->SetKey(id);
    item->SetName(name);
  }
}

std::unique_ptr<TOwningObjDataSet<TCollection>> OverItems(const std::vector<std::pair<int, const char*>>& rows) {
  auto items = std::make_unique<TCollection>(TIdNameItem::StaticClass());
  FillItems(*items, rows);
  auto ds = std::make_unique<TOwningObjDataSet<TCollection>>(std::move(items));
  ds->Open();
  return ds;
}

std::unique_ptr<TOwningObjDataSet<TvpQuickRecordSet>> OverRecordSet(const std::vector<std::pair<int, const char*>>& rows) {
  auto rs = std::make_unique<TvpQuickRecordSet>();
  rs->Fields()->Add("ID", ftInteger);
  rs->Fields()->Add("NAME", ftString, 20);
  for (const auto& [id, name] : rows) {
    rs->AddRecord();
    rs->GetData("ID", rs->RecordCount() - 1)->SetAsInteger(id);
    rs->GetData("NAME", rs->RecordCount() - 1)->SetAsString(name);
  }
  auto ds = std::make_unique<TOwningObjDataSet<TvpQuickRecordSet>>(std::move(rs));
  ds->Open();
  return ds;
}

const std::vector<std::pair<int, const char*>> kThree{{1, "one"}, {2, "two"}, {3, "three"}};

std::vector<std::string> DefTexts(const TFieldDefs& defs) {
  std::vector<std::string> out;
  for (int i = 0; i < defs.Count(); ++i) {
    const TFieldDef* d = defs[i];
    out.push_back(d->Name() + ":" + FieldTypeName(d->DataType()) + ":" + std::to_string(d->Size()) +
                  (d->Attributes().Contains(faReadonly) ? ":ro" : ""));
  }
  return out;
}

std::vector<int> Ids(TDataSet& ds) {
  std::vector<int> ids;
  for (ds.First(); !ds.Eof(); ds.Next()) ids.push_back(ds.FieldByName("ID")->AsInteger());
  return ids;
}

template <class F>
String ErrorOf(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Providers

TEST(ObjDataSetProviders, EachKindOfObjectCountsBooksAddsAndDeletes) {
  struct Row {
    const char* name;
    std::function<std::unique_ptr<TObjDataSet>()> make;
    const char* provider;
    const char* fieldNames;
    const char* textField;
    int count;
    bool multi;
  };
  TSample single;
  TStringList lines;
  const Row rows[] = {
      {"collection", [] { return std::unique_ptr<TObjDataSet>(OverItems(kThree)); }, "TCollectionDataProvider", "ID;NAME", "NAME", 3, true},
      {"record set", [] { return std::unique_ptr<TObjDataSet>(OverRecordSet(kThree)); }, "TRecordSetDataProvider", "ID;NAME", "NAME", 3, true},
      {"string list",
       [&] {
         lines.SetText("alpha\r\nbeta\r\ngamma");
         auto ds = std::make_unique<TObjDataSet>();
         ds->SetObjectRef(&lines);
         ds->Open();
         return ds;
       },
       "TStringsDataProvider", "no;value", "value", 3, true},
      {"single object",
       [&] {
         auto ds = std::make_unique<TObjDataSet>();
         ds->SetObjectRef(&single);
         ds->Open();
         return ds;
       },
       "TObjectDataProvider", "Caption;Count;Made;Notes;Ratio;Serial;Style;Wide", "Caption", 1, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto ds = row.make();
    EXPECT_EQ(ds->Provider()->ClassName(), row.provider);
    EXPECT_EQ(ds->FieldNames(), row.fieldNames);
    EXPECT_EQ(ds->RecordCount(), row.count);
    EXPECT_EQ(ds->RecNo(), 1);
    // The first record's bookmark is a real one, and below the next record's.
    const TBookmarkStr first = ds->Bookmark();
    EXPECT_TRUE(ds->BookmarkValid(first));
    EXPECT_EQ(ds->BookmarkToCursorPos(first), 0);
    EXPECT_EQ(ds->CursorPosToBookmarkStr(0), first);
    if (row.count > 1) {
      ds->Next();
      EXPECT_LT(ds->CompareBookmarks(first, ds->Bookmark()), 0);
    }
    ds->Append();
    ds->FieldByName(row.textField)->SetAsString("added");
    if (row.multi) {
      ds->Post();
      EXPECT_EQ(ds->RecordCount(), row.count + 1);
      EXPECT_EQ(ds->FieldByName(row.textField)->AsString(), "added");
      ds->Delete();
      EXPECT_EQ(ds->RecordCount(), row.count);
    } else {
      // A single object takes no second record and loses none; nothing changes.
      EXPECT_EQ(ErrorOf([&] { ds->Post(); }), Format(SEInternal.Text(), {SEUnableToInsertDate.Text()}));
      ds->Cancel();
      EXPECT_EQ(ErrorOf([&] { ds->Delete(); }), Format(SEInternal.Text(), {"unable to delete data"}));
      EXPECT_EQ(ds->RecordCount(), 1);
      EXPECT_EQ(single.Caption(), "");
    }
  }
}

TEST(ObjDataSetProviders, StringLinesNumberFromZeroAndASortedListRefusesNewLines) {
  TStringList lines;
  lines.SetText("alpha\r\nbeta\r\ngamma");
  TObjDataSet ds;
  ds.SetObjectRef(&lines);
  ds.Open();
  std::vector<std::string> seen;
  for (ds.First(); !ds.Eof(); ds.Next()) seen.push_back(ds.FieldByName("NO")->AsString() + "=" + ds.FieldByName("value")->AsString());
  EXPECT_EQ(seen, (std::vector<std::string>{"0=alpha", "1=beta", "2=gamma"}));
  EXPECT_TRUE(ds.FieldByName("no")->ReadOnly());
  ds.First();
  ds.Insert();
  ds.Post();  // an empty line, where the record was inserted
  EXPECT_EQ(lines.Count(), 4);
  EXPECT_EQ(lines.Strings(0), "");
  ds.Edit();
  ds.FieldByName("value")->SetAsString("zeta");
  ds.Post();
  EXPECT_EQ(lines.Strings(0), "zeta");

  // A sorted list would put the new line elsewhere than the record: refused, with or without a
  // value, before a line is added.
  lines.SetSorted(true);
  for (const char* value : {"omega", ""}) {
    ds.Append();
    if (*value) ds.FieldByName("value")->SetAsString(value);
    EXPECT_EQ(ErrorOf([&] { ds.Post(); }), SSortedListError);
    EXPECT_EQ(lines.Count(), 4);
    ds.Cancel();
  }
}

TEST(ObjDataSetProviders, ASortedRecordSetKeepsItsOrderAndTheCursorFollowsTheRecord) {
  auto ds = OverRecordSet({{1, "delta"}, {2, "alpha"}, {3, "charlie"}});
  TvpQuickRecordSet& rs = ds->Data();
  std::vector<std::string> heard;
  rs.OnChanged = [&](TObject*, TodsRecordSetAction action, const String& fields, int recNo) {
    heard.push_back(std::to_string(action) + ":" + fields + ":" + std::to_string(recNo));
  };
  rs.SetSortString("NAME");
  ds->Close();
  ds->Open();
  EXPECT_EQ(Ids(*ds), (std::vector<int>{2, 3, 1}));

  // Inserted before "charlie", posted as "bravo": it lands between alpha and charlie.
  ASSERT_TRUE(ds->Locate("ID", 3));
  ds->Insert();
  ds->FieldByName("ID")->SetAsInteger(4);
  ds->FieldByName("NAME")->SetAsString("bravo");
  ds->Post();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 4);
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_EQ(heard, std::vector<std::string>{"1:ID;NAME:1"});
  EXPECT_EQ(Ids(*ds), (std::vector<int>{2, 4, 3, 1}));

  // A renamed record moves; the cursor goes with it.
  ASSERT_TRUE(ds->Locate("ID", 2));
  ds->Edit();
  ds->FieldByName("NAME")->SetAsString("echo");
  ds->Post();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 2);
  EXPECT_EQ(ds->RecNo(), 4);
  EXPECT_EQ(heard.back(), "0:NAME:3");

  // Deleting goes to the record shown, not to the storage row of that number.
  ASSERT_TRUE(ds->Locate("ID", 3));
  ds->Delete();
  EXPECT_EQ(Ids(*ds), (std::vector<int>{4, 1, 2}));
  EXPECT_EQ(heard.back(), "2::1");
}

// A post re-places its one record: it must cost nothing like a sort of every record.
TEST(ObjDataSetProviders, APostToALargeSortedRecordSetPlacesItsRecordAlone) {
  using Clock = std::chrono::steady_clock;
  constexpr int Count = 50000;
  auto ds = OverRecordSet({});
  TvpQuickRecordSet& rs = ds->Data();
  ds->Close();
  rs.BeginUpdate();
  for (int i = 0; i < Count; ++i) {
    rs.AddRecord();
    rs.Fields()->Items(0)->Cells(i)->SetAsInteger(i);
    rs.Fields()->Items(1)->Cells(i)->SetAsString("name " + std::to_string(i * 7919 % Count));
  }
  rs.EndUpdate();
  rs.SetSortString("NAME");
  const auto sortStart = Clock::now();
  rs.UpdateIndex();
  const auto wholeSort = Clock::now() - sortStart;
  ds->Open();
  // Between "name 5...9" and "name 6": neither the first nor the last record.
  auto renamed = [](int i) { return "name 5" + std::to_string(i) + "x"; };
  // The quickest post counts: a busy machine may hold up any one of them.
  Clock::duration quickest = Clock::duration::max();
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(ds->Locate("ID", i * 10007));
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString(renamed(i));
    const auto start = Clock::now();
    ds->Post();
    quickest = std::min(quickest, Clock::now() - start);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), i * 10007);
    const int pos = ds->RecNo() - 1;
    EXPECT_EQ(rs.GetData("NAME", pos)->AsString(), renamed(i));
    EXPECT_LT(AnsiCompareStr(rs.GetData("NAME", pos - 1)->AsString(), rs.GetData("NAME", pos)->AsString()), 0);
    EXPECT_LT(AnsiCompareStr(rs.GetData("NAME", pos)->AsString(), rs.GetData("NAME", pos + 1)->AsString()), 0);
  }
  EXPECT_LT(quickest * 5, wholeSort);
}

TEST(ObjDataSetProviders, BookmarksCompareWithoutOverflowAndFollowMovedItems) {
  auto ds = OverItems(kThree);
  const TBookmarkStr first = ds->Bookmark();
  ds->Last();
  const TBookmarkStr last = ds->Bookmark();
  TBookmarkStr unknown = first;
  unknown[0] = '\x7f';
  struct Row {
    TBookmarkStr a, b;
    int expected;
  } rows[] = {{"", "", INT_MAX}, {"", first, INT_MAX}, {"", unknown, INT_MAX}, {first, "", 1},
              {first, last, -2},  {last, first, 2},     {first, first, 0}};
  for (const Row& row : rows) EXPECT_EQ(ds->CompareBookmarks(row.a, row.b), row.expected);
  EXPECT_FALSE(ds->BookmarkValid(unknown));
  EXPECT_THROW(ds->GotoBookmark(unknown), EZVError);

  // An item moved by the application is found by its identity.
  ds->Data().Items(2)->SetIndex(0);
  ds->GotoBookmark(last);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 3);
  EXPECT_EQ(ds->CursorPos(), 0);
  EXPECT_EQ(ds->GetIndexOfItem(ds->Data().Items(1)), 1);
  EXPECT_EQ(ds->GetIndexOfItem(&ds->Data()), -1);
}

// ---------------------------------------------------------------------------------------------
// Mapping

TEST(ObjDataSetMapping, FieldDefinitionsFollowTheOptions) {
  struct Row {
    bool expandSets;
    const char* blobs;
    int length;
    std::vector<std::string> defs;
  } rows[] = {
      {false, "", 1024,
       {"Caption:String:1024", "Count:Integer:0", "Made:DateTime:0", "Notes:Memo:0", "Ratio:Float:0",
        "Serial:Integer:0:ro", "Style:Integer:0", "Wide:WideString:2048"}},
      {true, "caption;WIDE", 10,
       {"Caption:Memo:0", "Count:Integer:0", "Made:DateTime:0", "Notes:Memo:0", "Ratio:Float:0", "Serial:Integer:0:ro",
        "Style_stFirst:Boolean:0", "Style_stSecond:Boolean:0", "Style_stThird:Boolean:0", "Wide:Memo:0"}},
      {false, "", 7,
       {"Caption:String:7", "Count:Integer:0", "Made:DateTime:0", "Notes:Memo:0", "Ratio:Float:0", "Serial:Integer:0:ro",
        "Style:Integer:0", "Wide:WideString:14"}},
  };
  TSample sample;
  for (const Row& row : rows) {
    TObjDataSet ds;
    ds.ParamsObject()->SetExpandSets(row.expandSets);
    ds.ParamsObject()->SetBlobProperties(row.blobs);
    ds.ParamsObject()->SetStringLength(row.length);
    ds.SetObjectRef(&sample);
    ds.Open();
    EXPECT_EQ(DefTexts(ds.FieldDefs()), row.defs);
  }
}

TEST(ObjDataSetMapping, SetElementsReadAndWriteTheirBits) {
  TSample sample;
  sample.SetStyle({stSecond});
  TObjDataSet ds;
  ds.ParamsObject()->SetExpandSets(true);
  ds.SetObjectRef(&sample);
  ds.Open();
  EXPECT_FALSE(ds.FieldByName("Style_stFirst")->AsBoolean());
  EXPECT_TRUE(ds.FieldByName("Style_stSecond")->AsBoolean());
  ds.Edit();
  ds.FieldByName("Style_stThird")->SetAsBoolean(true);
  ds.FieldByName("Style_stSecond")->SetAsBoolean(false);
  ds.Post();
  EXPECT_EQ(sample.Style(), TStyles({stThird}));
  ds.Close();
  ds.ParamsObject()->SetExpandSets(false);
  ds.Open();
  EXPECT_EQ(ds.FieldByName("Style")->AsInteger(), 4);  // the bit mask
}

TEST(ObjDataSetMapping, DescriptionsNameFieldsAndNullsHideEmptyValues) {
  TDescribedSample sample;
  sample.SetCaption("old");
  TObjDataSet ds;
  ds.SetObjectRef(&sample);
  ds.Open();
  EXPECT_EQ(ds.FindField("Caption"), nullptr);
  EXPECT_TRUE(ds.FieldByName("Count")->IsNull());  // listed as nullable, and 0
  EXPECT_EQ(ds.FieldByName("Title")->AsString(), "old");
  ds.Edit();
  ds.FieldByName("Title")->SetAsString("new");
  ds.FieldByName("Count")->SetAsInteger(5);
  ds.Post();
  EXPECT_EQ(sample.Caption(), "new");
  EXPECT_EQ(ds.FieldByName("Count")->AsInteger(), 5);

  // The dataset's own lists: by property name and by type name, case ignored.
  TSample plain;
  TObjDataSet byOptions;
  byOptions.ParamsObject()->SetNullableProperties("count");
  byOptions.ParamsObject()->SetNullableTypes("double");
  byOptions.SetObjectRef(&plain);
  byOptions.Open();
  EXPECT_TRUE(byOptions.FieldByName("Count")->IsNull());
  EXPECT_TRUE(byOptions.FieldByName("Ratio")->IsNull());
  EXPECT_FALSE(byOptions.FieldByName("Caption")->IsNull());

  // A collection naming its items' fields: every item reads and writes through the name.
  auto titled = std::make_unique<TTitledCollection>();
  FillItems(*titled, kThree);
  TOwningObjDataSet<TTitledCollection> items(std::move(titled));
  items.Open();
  items.Next();
  EXPECT_EQ(items.FieldByName("Title")->AsString(), "two");
  items.Edit();
  items.FieldByName("Title")->SetAsString("deux");
  items.Post();
  EXPECT_EQ(static_cast<TIdNameItem*>(items.Data().Items(1))->Name(), "deux");
}

TEST(ObjDataSetMapping, APropertyOfNoKnownTypeNeedsPersistentFields) {
  TWithPart object;
  TObjDataSet ds;
  ds.SetObjectRef(&object);
  EXPECT_EQ(ErrorOf([&] { ds.Open(); }), Format(SUnknownFieldType, {"Part"}));
  EXPECT_FALSE(ds.Active());
  auto* size = new TIntegerField(&ds);
  size->SetFieldName("Size");
  size->SetDataSet(&ds);
  ds.Open();
  EXPECT_EQ(ds.FieldByName("Size")->AsInteger(), 3);

  // A persistent data field that names no property keeps the dataset closed.
  ds.Close();
  auto* stray = new TIntegerField(&ds);
  stray->SetFieldName("Stray");
  stray->SetDataSet(&ds);
  EXPECT_EQ(ErrorOf([&] { ds.Open(); }), Format(SFieldNotFound, {"Stray"}));
  EXPECT_FALSE(ds.Active());
}

// ---------------------------------------------------------------------------------------------
// Moving

TEST(ObjDataSetMoves, OnCursorMoveHidesRecordsFromMovesButNotFromSearch) {
  auto ds = OverItems({{0, "a"}, {1, "b"}, {2, "c"}, {3, "d"}, {4, "e"}, {5, "f"}, {6, "g"}});
  ds->Close();
  ds->OnCursorMove = [&](TObject*, int, bool& skipped) { skipped = ds->CursorPos() % 2 == 1; };
  ds->Open();
  EXPECT_EQ(Ids(*ds), (std::vector<int>{0, 2, 4, 6}));
  ds->Last();
  ds->Prior();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 4);
  ASSERT_TRUE(ds->Locate("ID", 3));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 3);
  ds->SetRecNo(6);  // the sixth record is hidden: the next shown one
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 6);

  // Where the record stood is hidden (offset 0): forward first, then back from there.
  ds->OnCursorMove = [&](TObject*, int, bool& skipped) { skipped = ds->CursorPos() >= 4; };
  ASSERT_TRUE(ds->Locate("ID", 5));
  EXPECT_FALSE(ds->MoveCursor(0));
  EXPECT_EQ(ds->CursorPos(), 3);

  // A handler that hides everything once a record is deleted ends at an end, not in a loop.
  ds->First();
  int asked = 0;
  ds->OnCursorMove = [&](TObject*, int, bool& skipped) {
    ++asked;
    skipped = true;
  };
  ds->Delete();
  EXPECT_LT(asked, 100);
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->Data().Count(), 6);
}

TEST(ObjDataSetMoves, MovingOutOfAnEditPostsItToItsOwnRecordFirst) {
  const std::vector<std::pair<const char*, std::function<void(TObjDataSet&)>>> moves{
      {"Locate", [](TObjDataSet& ds) { ds.Locate("ID", 5); }},
      {"RecNo", [](TObjDataSet& ds) { ds.SetRecNo(5); }},
      {"CursorPos", [](TObjDataSet& ds) { ds.SetCursorPos(4); }},
  };
  for (const auto& [name, move] : moves) {
    SCOPED_TRACE(name);
    auto ds = OverItems({{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {5, "e"}});
    int scrolls = 0;
    ds->AfterScroll = [&](TDataSet*) { ++scrolls; };
    ds->MoveBy(1);
    scrolls = 0;
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("edited");
    move(*ds);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 5);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "e");
    EXPECT_EQ(static_cast<TIdNameItem*>(ds->Data().Items(1))->Name(), "edited");
    EXPECT_EQ(scrolls, 1);
  }
}

TEST(ObjDataSetMoves, CursorPosMovesFromTheCurrentRecordNotFromTheWindowsLastRead) {
  auto ds = OverItems({{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {5, "e"}, {6, "f"}});
  TDataSource source(nullptr);
  source.SetDataSet(ds.get());
  TDataLink link;
  link.SetBufferCount(4);
  link.SetDataSource(&source);
  ds->First();  // the window read records 0..3
  ds->SetCursorPos(3);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 4);
  ds->SetCursorPos(0);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 1);
  EXPECT_EQ(ds->RecNo(), 1);
  link.SetDataSource(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Editing

TEST(ObjDataSetEditing, WithoutTheEditBufferEachAssignmentReachesTheObject) {
  for (bool buffered : {true, false}) {
    SCOPED_TRACE(buffered ? "buffered" : "written through");
    auto ds = OverRecordSet(kThree);
    std::vector<std::string> heard;
    ds->Data().OnChanged = [&](TObject*, TodsRecordSetAction action, const String& fields, int recNo) {
      heard.push_back(std::to_string(action) + ":" + fields + ":" + std::to_string(recNo));
    };
    ds->SetUseEditBuffer(buffered);
    ds->Next();
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("deux");
    EXPECT_EQ(ds->Data().GetData("NAME", 1)->AsString(), buffered ? "two" : "deux");
    ds->Cancel();
    EXPECT_EQ(ds->Data().GetData("NAME", 1)->AsString(), buffered ? "two" : "deux");
    EXPECT_EQ(heard, buffered ? std::vector<std::string>{} : std::vector<std::string>{"0:NAME:1"});

    // A buffered edit posted with no change is still told; an insert with none adds the record
    // silently.
    heard.clear();
    ds->Edit();
    ds->Post();
    ds->Insert();
    ds->Post();
    EXPECT_EQ(heard, buffered ? std::vector<std::string>{"0::1"} : std::vector<std::string>{});
    EXPECT_EQ(ds->RecordCount(), 4);
  }
}

TEST(ObjDataSetEditing, AFailedPostKeepsTheValuesAndAddsNothing) {
  TSample sample;
  sample.SetCount(2);
  TObjDataSet single;
  single.SetObjectRef(&sample);
  single.Open();
  single.Edit();
  single.FieldByName("Count")->SetAsInteger(-1);
  EXPECT_EQ(ErrorOf([&] { single.Post(); }), "Count cannot be negative");
  EXPECT_EQ(single.State(), dsEdit);
  EXPECT_EQ(single.FieldByName("Count")->AsInteger(), -1);
  EXPECT_EQ(single.ModifiedFields(), "Count");
  single.FieldByName("Count")->SetAsInteger(9);
  single.Post();
  EXPECT_EQ(sample.Count(), 9);
  EXPECT_EQ(single.ModifiedFields(), "");

  // The new item of a failed insert goes again: the corrected post adds exactly one.
  auto ds = OverItems(kThree);
  ds->Append();
  ds->FieldByName("NAME")->SetAsString("four");
  ds->FieldByName("ID")->SetAsInteger(-4);
  EXPECT_EQ(ErrorOf([&] { ds->Post(); }), "negative key");
  EXPECT_EQ(ds->Data().Count(), 3);
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "four");
  ds->FieldByName("ID")->SetAsInteger(4);
  ds->Post();
  EXPECT_EQ(ds->Data().Count(), 4);
  EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 2, 3, 4}));
}

TEST(ObjDataSetEditing, WritesOutsideTheirPlaceAreRefused) {
  TSample sample;
  TObjDataSet ds;
  ds.SetObjectRef(&sample);
  ds.Open();
  EXPECT_EQ(ErrorOf([&] { ds.FieldByName("Caption")->SetAsString("x"); }), SNotEditing);
  ds.Edit();
  EXPECT_THROW(ds.FieldByName("Serial")->SetAsInteger(1), EDatabaseError);
  EXPECT_THROW(ds.FieldByName("Count")->SetAsString("many"), Exception);
  ds.Cancel();
  ds.SetReadOnly(true);
  EXPECT_EQ(ErrorOf([&] { ds.Edit(); }), SDataSetReadOnly);
  EXPECT_EQ(sample.Caption(), "");
  EXPECT_EQ(sample.Count(), 0);
}

TEST(ObjDataSetEditing, AStringListPropertyIsAMemo) {
  TSample sample;
  sample.Notes()->SetText("first\r\nsecond");
  TObjDataSet ds;
  ds.SetObjectRef(&sample);
  ds.Open();
  TField* notes = ds.FieldByName("Notes");
  EXPECT_EQ(notes->AsString(), sample.Notes()->Text());
  {
    auto read = ds.CreateBlobStream(notes, bmRead);
    EXPECT_EQ(read->Size(), static_cast<std::int64_t>(sample.Notes()->Text().size()));
  }
  ds.Edit();
  {
    auto write = ds.CreateBlobStream(notes, bmWrite);
    const String text = "ünï\r\ncødé";
    write->Write(text.data(), static_cast<std::int64_t>(text.size()));
  }
  EXPECT_EQ(sample.Notes()->Count(), 2);  // not yet: the edit buffer holds it
  ds.Post();
  EXPECT_EQ(sample.Notes()->Strings(0), "ünï");
  EXPECT_EQ(sample.Notes()->Strings(1), "cødé");

  // Writing a read-only blob, or any blob outside an edit, is refused before a byte is taken.
  EXPECT_EQ(ErrorOf([&] { ds.CreateBlobStream(notes, bmWrite); }), SNotEditing);
  notes->SetReadOnly(true);
  ds.Edit();
  EXPECT_EQ(ErrorOf([&] { ds.CreateBlobStream(notes, bmReadWrite); }), Format(SFieldReadOnly, {"Notes"}));
  ds.Cancel();
  EXPECT_EQ(sample.Notes()->Count(), 2);
}

TEST(ObjDataSetEditing, BytesABitmapRefusesFailThePostAndLeaveTheImage) {
  auto previous = SetGraphicsBackend(CreateNullBackend());
  {
    TPictured object;
    object.Picture()->SetSize(2, 3);
    TObjDataSet ds;
    ds.SetObjectRef(&object);
    ds.Open();
    TField* picture = ds.FieldByName("Picture");
    EXPECT_EQ(picture->DataType(), ftBlob);
    EXPECT_FALSE(picture->IsNull());
    ds.Edit();
    {
      auto write = ds.CreateBlobStream(picture, bmWrite);
      write->Write("not an image", 12);
    }
    EXPECT_THROW(ds.Post(), EInvalidGraphic);
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(object.Picture()->Width(), 2);
    EXPECT_EQ(object.Picture()->Height(), 3);
    ds.Cancel();
  }
  SetGraphicsBackend(std::move(previous));
}

// ---------------------------------------------------------------------------------------------
// Searching

TEST(ObjDataSetSearch, KeysMatchByValueOrByTheStartOfTheirText) {
  auto ds = OverItems({{20, "Beta"}, {10, "alpine"}, {2, "beta"}, {1, "Alpha"}, {123, "Gamma"}});
  struct Row {
    const char* fields;
    Variant keys;
    TLocateOptions options;
    int id;  // 0: none
  } rows[] = {
      {"ID", Variant("1"), {loPartialKey}, 10},
      {"ID", Variant(12), {loPartialKey}, 123},
      {"ID", Variant(1), {}, 1},
      {"NAME", Variant("alpha"), {loCaseInsensitive}, 1},
      {"NAME", Variant("alpha"), {}, 0},
      {"NAME", Variant("ALP"), {loPartialKey, loCaseInsensitive}, 10},
      {"NAME", Variant("Alp"), {loPartialKey}, 1},
      {"id;name", VarArrayOf({2, "BETA"}), {loCaseInsensitive}, 2},
      {"ID;NAME", VarArrayOf({20, "beta"}), {}, 0},
      {"ID;NAME", VarArrayOf({20, "Beta"}), {}, 20},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(String(row.fields) + " " + VarToStr(row.keys.IsArray() ? row.keys.GetElement(1) : row.keys));
    const int index = ds->FindRecordEx(row.fields, row.keys, row.options);
    ds->Last();
    EXPECT_EQ(ds->Locate(row.fields, row.keys, row.options), row.id != 0);
    if (row.id != 0) {
      EXPECT_EQ(index, ds->CursorPos());
      EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), row.id);
    } else {
      EXPECT_EQ(index, -1);
      EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 123);
    }
  }
  EXPECT_EQ(ds->Lookup("NAME", "beta", "ID").AsInteger(), 2);
  const Variant both = ds->Lookup("ID", 10, "NAME;ID");
  ASSERT_TRUE(both.IsArray());
  EXPECT_EQ(both.GetElement(0).AsString(), "alpine");

  // A key that does not convert fails before anything moves, an edit included; an unknown
  // name is the host's error.
  ds->First();
  ds->Edit();
  ds->FieldByName("NAME")->SetAsString("Bêta");
  EXPECT_THROW(ds->Locate("ID", "abc"), Exception);
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Bêta");
  ds->Cancel();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 20);
  EXPECT_EQ(ErrorOf([&] { ds->Locate("NOPE", 1); }), Format(SFieldNotFound, {"NOPE"}));
  EXPECT_EQ(ErrorOf([&] { ds->Lookup("ID", 1, "NOPE"); }), Format(SFieldNotFound, {"NOPE"}));

  // Calculated keys and results take the host's walk.
  ds->Close();
  auto* twice = new TIntegerField(ds.get());
  twice->SetFieldName("TWICE");
  twice->SetFieldKind(fkCalculated);
  twice->SetDataSet(ds.get());
  ds->OnCalcFields = [&](TDataSet* d) { twice->SetAsInteger(2 * d->FieldByName("ID")->AsInteger()); };
  ds->Open();
  EXPECT_EQ(ds->FindRecordEx("TWICE", 4, {}), -1);
  ASSERT_TRUE(ds->Locate("TWICE", 4));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 2);
  EXPECT_EQ(ds->Lookup("ID", 123, "TWICE").AsInteger(), 246);
}

// ---------------------------------------------------------------------------------------------
// Object references and paths

TEST(ObjDataSetReferences, PathsLeadToTheDataObjectAndComponentsAreWatched) {
  auto owner = std::make_unique<TGadget>();
  auto* gadget = new TGadget(owner.get());
  FillItems(*gadget->Items(), kThree);
  TGadget part(nullptr);
  part.SetPeer(gadget);
  TObjDataSet ds;
  ds.SetObjectRef(&part);
  ds.SetPath("Peer.Items");
  ds.Open();
  EXPECT_EQ(ds.DataObject(), gadget->Items());
  EXPECT_EQ(ds.RecordCount(), 3);
  EXPECT_THROW(ds.SetPath("Peer"), EDatabaseError);  // only while closed
  ds.Close();
  ds.SetPath("Peer.Itemz");  // leads nowhere: the root itself (whose Items no field can hold)
  EXPECT_EQ(ds.DataObject(), &part);
  EXPECT_EQ(ErrorOf([&] { ds.Open(); }), Format(SUnknownFieldType, {"Items"}));
  EXPECT_EQ(ds.RecordCount(), 1);

  // A component as the data object is dropped when it goes, through CompRef or ObjectRef.
  for (bool viaCompRef : {true, false}) {
    auto* watched = new TGadget(owner.get());
    if (viaCompRef)
      ds.SetCompRef(watched);
    else
      ds.SetObjectRef(watched);
    ds.SetPath("Items");
    ds.Open();
    delete watched;
    EXPECT_EQ(ds.ObjectRef(), nullptr);
    EXPECT_EQ(ds.CompRef(), nullptr);
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(ds.RecordCount(), -1);
    ds.SetPath("");
  }
  EXPECT_EQ(ErrorOf([&] { ds.Open(); }), SENoDataProvider.Text());
}

TEST(ObjDataSetReferences, OptionsChangeOnlyWhileClosed) {
  TSample sample;
  TObjDataSet ds;
  EXPECT_EQ(ErrorOf([&] { ds.ParamsObject()->SetStringLength(0); }), Format(SEPositiveValue.Text(), {0}));
  ds.SetObjectRef(&sample);
  ds.Open();
  EXPECT_THROW(ds.ParamsObject()->SetExpandSets(true), EDatabaseError);
  TodsObjectParams other;
  other.SetStringLength(12);
  other.SetNullableTypes("Integer");
  EXPECT_THROW(ds.SetParamsObject(&other), EDatabaseError);
  ds.Close();
  ds.SetParamsObject(&other);
  EXPECT_EQ(ds.ParamsObject()->StringLength(), 12);
  EXPECT_EQ(ds.ParamsObject()->NullableTypes(), "Integer");
}

TEST(ObjDataSetReferences, LegacyPropertiesAreReadButNotWritten) {
  TObjDataSet ds;
  TextToComponent(
      "object ObjDataSet1: TObjDataSet\n"
      "  ExpandSetProps = True\n"
      "  StrFieldsLength = 20\n"
      "  BlobStrTypes = 'Notes;Caption'\n"
      "end\n",
      &ds);
  EXPECT_TRUE(ds.ParamsObject()->ExpandSets());
  EXPECT_EQ(ds.ParamsObject()->StringLength(), 20);
  EXPECT_EQ(ds.ParamsObject()->BlobProperties(), "Notes;Caption");
  const String text = ComponentToText(&ds);
  EXPECT_EQ(text.find("StrFieldsLength"), String::npos);
  EXPECT_EQ(text.find("ExpandSetProps"), String::npos);
  EXPECT_NE(text.find("ParamsObject.StringLength = 20"), String::npos);
  TObjDataSet again;
  TextToComponent(text, &again);
  EXPECT_EQ(again.ParamsObject()->StringLength(), 20);
  EXPECT_TRUE(again.ParamsObject()->ExpandSets());

  // Check constraints travel with the form.
  again.Constraints()->AddConstraint()->SetCustomConstraint("Count > 0");
  again.Constraints()->Items(0)->SetErrorMessage("Count must be positive");
  TObjDataSet third;
  TextToComponent(ComponentToText(&again), &third);
  ASSERT_EQ(third.Constraints()->Count(), 1);
  EXPECT_EQ(third.Constraints()->Items(0)->ErrorMessage(), "Count must be positive");
  EXPECT_TRUE(third.Constraints()->Items(0)->FromDictionary());

  TObjDataSet corrupt;
  EXPECT_THROW(TextToComponent("object ObjDataSet1: TObjDataSet\n  StrFieldsLength = 0\nend\n", &corrupt), Exception);
}

// ---------------------------------------------------------------------------------------------
// Routines

TEST(ObjDataSetRoutines, ObjectsToParametersAndBack) {
  TDescribedSample sample;
  sample.SetCaption("Ann");
  TParams params;
  ObjToParams("select * from t where title = :Title and n = :Count and r = :Ratio", &sample, params, "Ratio", "Count");
  ASSERT_EQ(params.Count(), 3);
  EXPECT_EQ(params.Items(0)->ParamType(), ptInput);
  EXPECT_EQ(params.Items(0)->AsString(), "Ann");
  EXPECT_EQ(params.Items(1)->ParamType(), ptOutput);
  EXPECT_EQ(params.Items(1)->DataType(), ftInteger);
  EXPECT_EQ(params.Items(2)->ParamType(), ptInputOutput);
  EXPECT_EQ(params.Items(2)->DataType(), ftFloat);
  TParams missing;
  EXPECT_EQ(ErrorOf([&] { ObjToParams("x = :Missing", &sample, missing, "", ""); }),
            Format(SEObjToParamsNoProperty, {"Missing"}));

  params.ParamByName("Title")->SetAsString("Bob");
  params.ParamByName("Count")->SetAsInteger(7);
  ParamsToObj(params, &sample);
  EXPECT_EQ(sample.Caption(), "Bob");
  EXPECT_EQ(sample.Count(), 7);
}

TEST(ObjDataSetRoutines, RecordsToObjects) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("ID", ftInteger);
  table.FieldDefs().Add("NAME", ftString, 10);
  table.FieldDefs().Add("OTHER", ftString, 10);
  table.CreateDataSet();
  for (int i = 1; i <= 3; ++i) table.AppendRecord({Variant(i), Variant(Format("n%d", {i})), Variant("x")});
  table.First();
  table.Next();
  TCollection items(TIdNameItem::StaticClass());
  DataSetToObj(table, &items);
  ASSERT_EQ(items.Count(), 2);  // from the current record to the end
  EXPECT_EQ(static_cast<TIdNameItem*>(items.Items(1))->Name(), "n3");
  EXPECT_TRUE(table.Eof());

  TIdNameItem one;
  table.First();
  DataSetToObj(table, &one);
  EXPECT_EQ(one.Key(), 1);

  // Copying a dataset into the collection it shows would never end.
  auto ds = OverItems(kThree);
  EXPECT_THROW(DataSetToObj(*ds, &ds->Data()), EZVError);
  EXPECT_EQ(ds->Data().Count(), 3);
}

}  // namespace zvtest
