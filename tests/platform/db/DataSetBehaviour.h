#pragma once
// What every dataset must do, written against TDataSet alone: the buffer window seen through
// data links, scrolling distances, moving at both ends, states and the order of events,
// bookmarks, Locate/Lookup, DisableControls, error handling, and calculated and lookup fields.
//
// A dataset joins the suite with a factory and one instantiation:
//   INSTANTIATE_TEST_SUITE_P(MemTable, DataSetBehaviour, ::testing::Values(DataSetFactory{...}));
// Include this header with the tests in one source file of a test program; another source
// file of the same program defines ZV_DATASET_BEHAVIOUR_FIXTURE_ONLY before including it and
// instantiates there.

#include "platform/db/DBConsts.h"
#include "platform/db/DataLink.h"
#include "platform/db/DataSet.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/Format.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zvtest {

using namespace zv;

// Makes an open dataset positioned on its first record, whose fields are ID (integer) and
// NAME (text), holding `count` records with ID 1..count and NAME "Name001"... in that order.
// StatementsRun, where the dataset talks to a database, counts the statements it has run so
// far, so that the suite can check what must cost none.
struct DataSetFactory {
  std::string Name;
  std::function<std::unique_ptr<TDataSet>(int count)> Create;
  std::function<long long(TDataSet&)> StatementsRun = {};
};

inline void PrintTo(const DataSetFactory& factory, std::ostream* os) { *os << factory.Name; }

inline String ItemName(int id) { return Format("Name%.3d", {id}); }

// A link that writes down what it hears.
class TRecordingLink : public TDataLink {
public:
  explicit TRecordingLink(std::vector<std::string>& log, std::string prefix = "link")
      : fLog(log), fPrefix(std::move(prefix)) {}
  std::vector<int> Scrolls;
  std::function<void()> OnUpdateData;

protected:
  void ActiveChanged() override { Write("ActiveChanged"); }
  void CheckBrowseMode() override { Write("CheckBrowseMode"); }
  void DataSetChanged() override { Write("DataSetChanged"); }
  void DataSetScrolled(int distance) override {
    Scrolls.push_back(distance);
    Write("Scrolled " + std::to_string(distance));
  }
  void EditingChanged() override { Write(Editing() ? "Editing" : "NotEditing"); }
  void LayoutChanged() override { Write("LayoutChanged"); }
  void RecordChanged(TField* field) override { Write(field ? "RecordChanged " + field->FieldName() : "RecordChanged"); }
  void UpdateData() override {
    Write("UpdateData");
    if (OnUpdateData) OnUpdateData();
  }
  void FocusControl(TField** field) override { Write("FocusControl " + (*field)->FieldName()); }

private:
  void Write(const std::string& what) { fLog.push_back(fPrefix + ": " + what); }
  std::vector<std::string>& fLog;
  std::string fPrefix;
};

// A lookup table of CODE 1..count and LABEL "<prefix>01"..., counting the lookups that reach it.
class TLabelTable : public TMemTable {
public:
  TLabelTable(int count, const String& prefix) : TMemTable(nullptr) {
    FieldDefs().Add("CODE", ftInteger);
    FieldDefs().Add("LABEL", ftString, 20);
    CreateDataSet();
    for (int i = 1; i <= count; ++i) {
      Append();
      FieldByName("CODE")->SetAsInteger(i);
      FieldByName("LABEL")->SetAsString(Format("%s%.2d", {prefix, i}));
      Post();
    }
    First();
  }
  Variant ReadByKey(const String& keyFields, const Variant& keyValues, const String& resultFields) override {
    ++Lookups;
    return TMemTable::ReadByKey(keyFields, keyValues, resultFields);
  }
  int Lookups = 0;
};

template <class F>
String MessageOf(F&& f) {
  try {
    f();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "(no error)";
}

class DataSetBehaviour : public ::testing::TestWithParam<DataSetFactory> {
protected:
  void Open(int count = 100, int bufferCount = 10) {
    fDataSet = GetParam().Create(count);
    fSource = std::make_unique<TDataSource>(nullptr);
    fLink = std::make_unique<TRecordingLink>(fLog);
    fLink->SetBufferCount(bufferCount);
    fSource->SetDataSet(fDataSet.get());
    fLink->SetDataSource(fSource.get());
    fLog.clear();
  }

  TDataSet& DS() { return *fDataSet; }
  // A field the application makes on the closed dataset, owned by the dataset.
  template <class F>
  F* AddField(const String& name, TFieldKind kind) {
    auto* field = new F(fDataSet.get());
    field->SetFieldName(name);
    field->SetFieldKind(kind);
    field->SetDataSet(fDataSet.get());
    return field;
  }
  // LABEL: the label of the record's ID in `labels`.
  TField* AddLabelField(TDataSet* labels) {
    auto* label = AddField<TStringField>("LABEL", fkLookup);
    label->SetKeyFields("ID");
    label->SetLookupKeyFields("CODE");
    label->SetLookupResultField("LABEL");
    label->SetLookupDataSet(labels);
    return label;
  }
  int Id() { return DS().FieldByName("ID")->AsInteger(); }

  // The ID of every valid row of a link's window, read by moving the link's active record.
  std::vector<int> WindowIds(TDataLink& link) {
    std::vector<int> ids;
    const int saved = link.ActiveRecord();
    for (int row = 0; row < link.RecordCount(); ++row) {
      link.SetActiveRecord(row);
      ids.push_back(Id());
    }
    link.SetActiveRecord(saved);
    return ids;
  }
  static std::vector<int> Range(int from, int to) {
    std::vector<int> v;
    for (int i = from; i <= to; ++i) v.push_back(i);
    return v;
  }
  // Records the dataset's events in the log, beside what the link hears.
  void RecordDataSetEvents() {
    auto add = [this](TDataSetNotifyEvent& event, const std::string& name) {
      event = [this, name](TDataSet*) { fLog.push_back(name); };
    };
    add(DS().BeforeEdit, "BeforeEdit");
    add(DS().AfterEdit, "AfterEdit");
    add(DS().BeforeInsert, "BeforeInsert");
    add(DS().AfterInsert, "AfterInsert");
    add(DS().BeforePost, "BeforePost");
    add(DS().AfterPost, "AfterPost");
    add(DS().BeforeCancel, "BeforeCancel");
    add(DS().AfterCancel, "AfterCancel");
    add(DS().BeforeDelete, "BeforeDelete");
    add(DS().AfterDelete, "AfterDelete");
    add(DS().BeforeScroll, "BeforeScroll");
    add(DS().AfterScroll, "AfterScroll");
    add(DS().OnNewRecord, "OnNewRecord");
  }

  std::vector<std::string> fLog;
  std::unique_ptr<TDataSet> fDataSet;
  std::unique_ptr<TDataSource> fSource;
  std::unique_ptr<TRecordingLink> fLink;
};

#ifndef ZV_DATASET_BEHAVIOUR_FIXTURE_ONLY

TEST_P(DataSetBehaviour, OpeningFillsTheWindowOfTheLinks) {
  Open();
  EXPECT_TRUE(fLink->Active());
  EXPECT_EQ(DS().BufferCount(), 10);
  EXPECT_EQ(fLink->RecordCount(), 10);
  EXPECT_EQ(fLink->ActiveRecord(), 0);
  EXPECT_TRUE(DS().Bof());
  EXPECT_FALSE(DS().Eof());
  EXPECT_EQ(WindowIds(*fLink), Range(1, 10));
  EXPECT_EQ(Id(), 1);  // reading the window put the active record back

  // A taller link grows the window; a link that goes away lets it shrink, keeping the record.
  TRecordingLink tall(fLog, "tall");
  tall.SetBufferCount(25);
  tall.SetDataSource(fSource.get());
  EXPECT_EQ(DS().BufferCount(), 25);
  EXPECT_EQ(WindowIds(tall), Range(1, 25));
  DS().MoveBy(20);
  tall.SetDataSource(nullptr);
  EXPECT_EQ(DS().BufferCount(), 10);
  EXPECT_EQ(Id(), 21);
  EXPECT_EQ(fLink->ActiveRecord(), 9);
  EXPECT_EQ(WindowIds(*fLink), Range(12, 21));

  // A closed dataset has no window; reopening starts at the first record again.
  DS().Close();
  EXPECT_FALSE(fLink->Active());
  EXPECT_EQ(fLink->RecordCount(), 0);
  DS().Open();
  EXPECT_EQ(WindowIds(*fLink), Range(1, 10));
}

TEST_P(DataSetBehaviour, ScrollingReportsHowFarTheWindowMoved) {
  Open();
  for (int i = 1; i <= 9; ++i) DS().Next();
  EXPECT_EQ(fLink->ActiveRecord(), 9);
  EXPECT_EQ(fLink->Scrolls, std::vector<int>(9, 0));  // moving inside the window scrolls nothing
  fLink->Scrolls.clear();

  DS().Next();
  EXPECT_EQ(fLink->Scrolls, std::vector<int>{1});
  EXPECT_EQ(fLink->ActiveRecord(), 9);
  EXPECT_EQ(WindowIds(*fLink), Range(2, 11));

  fLink->Scrolls.clear();
  EXPECT_EQ(DS().MoveBy(5), 5);
  EXPECT_EQ(fLink->Scrolls, std::vector<int>{5});
  EXPECT_EQ(WindowIds(*fLink), Range(7, 16));

  // Back up to the window's top row without scrolling, then one more scrolls back by one.
  fLink->Scrolls.clear();
  EXPECT_EQ(DS().MoveBy(-9), -9);
  EXPECT_EQ(fLink->ActiveRecord(), 0);
  EXPECT_EQ(fLink->Scrolls, std::vector<int>{0});
  DS().Prior();
  EXPECT_EQ(fLink->Scrolls.back(), -1);
  EXPECT_EQ(Id(), 6);
  EXPECT_EQ(WindowIds(*fLink), Range(6, 15));

  // A jump larger than the window reports the whole distance.
  fLink->Scrolls.clear();
  EXPECT_EQ(DS().MoveBy(40), 40);
  EXPECT_EQ(fLink->Scrolls, std::vector<int>{31});
  EXPECT_EQ(Id(), 46);
  EXPECT_EQ(WindowIds(*fLink), Range(37, 46));
}

TEST_P(DataSetBehaviour, SmallerLinksKeepTheirOwnWindow) {
  Open();
  TRecordingLink small(fLog, "small");
  small.SetBufferCount(3);
  small.SetDataSource(fSource.get());
  EXPECT_EQ(DS().BufferCount(), 10);
  EXPECT_EQ(WindowIds(small), Range(1, 3));

  DS().MoveBy(4);  // the big window does not move; the small one follows the record
  EXPECT_EQ(small.ActiveRecord(), 2);
  EXPECT_EQ(small.Scrolls, std::vector<int>{2});
  EXPECT_EQ(WindowIds(small), Range(3, 5));
  EXPECT_EQ(fLink->ActiveRecord(), 4);

  DS().MoveBy(-3);
  EXPECT_EQ(small.ActiveRecord(), 0);
  EXPECT_EQ(small.Scrolls.back(), -1);
  EXPECT_EQ(WindowIds(small), Range(2, 4));

  DS().Last();
  EXPECT_EQ(WindowIds(small), Range(98, 100));
  EXPECT_EQ(WindowIds(*fLink), Range(91, 100));
  EXPECT_THROW(small.SetActiveRecord(20), Exception);
}

TEST_P(DataSetBehaviour, MovingStopsAtBothEnds) {
  Open();
  EXPECT_EQ(DS().MoveBy(-1), 0);
  EXPECT_TRUE(DS().Bof());
  EXPECT_EQ(DS().MoveBy(5), 5);
  EXPECT_FALSE(DS().Bof());
  EXPECT_EQ(DS().MoveBy(-10), -5);
  EXPECT_TRUE(DS().Bof());
  EXPECT_EQ(Id(), 1);

  EXPECT_EQ(DS().MoveBy(1000), 99);
  EXPECT_TRUE(DS().Eof());
  EXPECT_EQ(Id(), 100);
  EXPECT_EQ(fLink->ActiveRecord(), 9);
  EXPECT_EQ(DS().MoveBy(1), 0);
  EXPECT_EQ(DS().MoveBy(-3), -3);
  EXPECT_FALSE(DS().Eof());
  EXPECT_EQ(Id(), 97);

  // Next on the last record sets Eof and stays.
  DS().Last();
  EXPECT_TRUE(DS().Eof());
  EXPECT_FALSE(DS().Bof());
  EXPECT_EQ(WindowIds(*fLink), Range(91, 100));
  DS().First();
  EXPECT_TRUE(DS().Bof());
  EXPECT_EQ(WindowIds(*fLink), Range(1, 10));

  // The walk every application writes visits each record once.
  int visited = 0, sum = 0;
  for (DS().First(); !DS().Eof(); DS().Next()) {
    ++visited;
    sum += Id();
  }
  EXPECT_EQ(visited, 100);
  EXPECT_EQ(sum, 5050);
  for (DS().Last(); !DS().Bof(); DS().Prior()) --visited;
  EXPECT_EQ(visited, 0);
}

TEST_P(DataSetBehaviour, AnEmptyDataSetIsAtBothEnds) {
  Open(0);
  EXPECT_TRUE(DS().IsEmpty());
  EXPECT_TRUE(DS().Bof());
  EXPECT_TRUE(DS().Eof());
  EXPECT_EQ(fLink->RecordCount(), 0);
  EXPECT_EQ(DS().MoveBy(1), 0);
  EXPECT_TRUE(DS().Bookmark().empty());
  EXPECT_FALSE(DS().Locate("ID", 1));
  try {
    DS().Delete();
    FAIL() << "deleting from an empty dataset";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), SDataSetEmpty);
  }
  // Edit on an empty dataset inserts.
  DS().Edit();
  EXPECT_EQ(DS().State(), dsInsert);
  DS().FieldByName("ID")->SetAsInteger(7);
  DS().Post();
  EXPECT_FALSE(DS().IsEmpty());
  EXPECT_EQ(fLink->RecordCount(), 1);
  EXPECT_EQ(Id(), 7);
}

TEST_P(DataSetBehaviour, EditAndPostInTheHostsOrder) {
  Open();
  RecordDataSetEvents();
  DS().FieldByName("NAME")->OnChange = [this](TField*) { fLog.push_back("OnChange"); };
  fSource->OnStateChange = [this](TObject*) { fLog.push_back("StateChange " + std::to_string(fSource->State())); };

  DS().MoveBy(2);
  fLog.clear();
  DS().Edit();
  EXPECT_EQ(DS().State(), dsEdit);
  EXPECT_TRUE(fLink->Editing());
  EXPECT_EQ(fLog, (std::vector<std::string>{"link: CheckBrowseMode", "BeforeEdit", "link: Editing", "StateChange 2", "link: RecordChanged",
                                            "AfterEdit"}));
  fLog.clear();
  DS().FieldByName("NAME")->SetAsString("Changed");
  EXPECT_TRUE(DS().Modified());
  EXPECT_EQ(fLog, (std::vector<std::string>{"link: RecordChanged NAME", "OnChange"}));
  fLog.clear();
  DS().Post();
  EXPECT_EQ(fLog, (std::vector<std::string>{"link: UpdateData", "link: CheckBrowseMode", "BeforePost", "link: NotEditing",
                                            "StateChange 1", "link: DataSetChanged", "AfterPost"}));
  EXPECT_EQ(DS().State(), dsBrowse);
  EXPECT_FALSE(DS().Modified());
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "Changed");
  EXPECT_EQ(fLink->ActiveRecord(), 2);  // the record keeps its row

  // Moving away from a modified record posts it; from an unmodified one cancels.
  DS().Edit();
  DS().FieldByName("NAME")->SetAsString("Again");
  fLog.clear();
  DS().Next();
  EXPECT_NE(std::find(fLog.begin(), fLog.end(), "BeforePost"), fLog.end());
  DS().Prior();
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "Again");
  DS().Edit();
  fLog.clear();
  DS().Next();
  EXPECT_EQ(std::find(fLog.begin(), fLog.end(), "BeforePost"), fLog.end());
  EXPECT_NE(std::find(fLog.begin(), fLog.end(), "BeforeCancel"), fLog.end());

  // Posting in browse state is an error, and values cannot be written there.
  EXPECT_THROW(DS().Post(), EDatabaseError);
  EXPECT_THROW(DS().FieldByName("NAME")->SetAsString("x"), EDatabaseError);
}

TEST_P(DataSetBehaviour, CancelRestoresTheRecord) {
  Open();
  RecordDataSetEvents();
  DS().MoveBy(4);
  DS().Edit();
  DS().FieldByName("NAME")->SetAsString("Lost");
  fLog.clear();
  DS().Cancel();
  EXPECT_EQ(fLog, (std::vector<std::string>{"link: CheckBrowseMode", "BeforeCancel", "link: NotEditing",
                                            "link: DataSetChanged", "AfterCancel"}));
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), ItemName(5));
  EXPECT_EQ(fLink->ActiveRecord(), 4);
}

TEST_P(DataSetBehaviour, InsertAndAppendTakeTheirRows) {
  Open();
  RecordDataSetEvents();
  DS().OnNewRecord = [this](TDataSet* ds) {
    fLog.push_back("OnNewRecord");
    ds->FieldByName("NAME")->SetAsString("New");
  };
  DS().MoveBy(3);
  fLog.clear();
  DS().Insert();
  EXPECT_EQ(fLog, (std::vector<std::string>{"link: CheckBrowseMode", "BeforeInsert", "link: Editing", "OnNewRecord",
                                            "link: RecordChanged NAME", "link: DataSetChanged", "AfterInsert"}));
  EXPECT_EQ(DS().State(), dsInsert);
  EXPECT_FALSE(DS().Modified());  // defaults from OnNewRecord do not count as changes
  EXPECT_EQ(fLink->ActiveRecord(), 3);
  EXPECT_TRUE(DS().FieldByName("ID")->IsNull());
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "New");
  EXPECT_EQ(fLink->RecordCount(), 10);
  // The new row pushed the rows below it down.
  fLink->SetActiveRecord(4);
  EXPECT_EQ(Id(), 4);
  fLink->SetActiveRecord(3);

  // Cancelling brings the window back as it was.
  DS().Cancel();
  EXPECT_EQ(Id(), 4);
  EXPECT_EQ(WindowIds(*fLink), Range(1, 10));

  DS().Insert();
  DS().FieldByName("ID")->SetAsInteger(1000);
  DS().Post();
  EXPECT_EQ(Id(), 1000);
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "New");

  // Append goes to the bottom row after the last record. Where the posted record went is the
  // dataset's order: in place for an in-memory table, by its key for an SQL table.
  DS().Last();
  const int last = Id();
  DS().First();
  DS().Append();
  EXPECT_EQ(fLink->ActiveRecord(), 9);
  EXPECT_TRUE(DS().Eof());
  fLink->SetActiveRecord(8);
  EXPECT_EQ(Id(), last);
  fLink->SetActiveRecord(9);
  DS().FieldByName("ID")->SetAsInteger(2000);
  DS().Post();
  EXPECT_EQ(Id(), 2000);
  EXPECT_EQ(fLink->ActiveRecord(), 9);
  DS().Next();
  EXPECT_TRUE(DS().Eof());
  int count = 0;
  for (DS().First(); !DS().Eof(); DS().Next()) ++count;
  EXPECT_EQ(count, 102);
}

TEST_P(DataSetBehaviour, DeleteMovesToTheNextRecord) {
  Open();
  RecordDataSetEvents();
  DS().MoveBy(49);
  const int row = fLink->ActiveRecord();
  fLog.clear();
  DS().Delete();
  EXPECT_EQ(fLog, (std::vector<std::string>{"link: CheckBrowseMode", "BeforeDelete", "BeforeScroll",
                                            "link: DataSetChanged", "AfterDelete", "AfterScroll"}));
  EXPECT_EQ(Id(), 51);
  EXPECT_EQ(fLink->ActiveRecord(), row);

  DS().Last();
  DS().Delete();
  EXPECT_EQ(Id(), 99);  // no next record: the one before
  EXPECT_EQ(WindowIds(*fLink), Range(90, 99));

  // Deleting in insert state cancels the insert.
  DS().Insert();
  DS().Delete();
  EXPECT_EQ(DS().State(), dsBrowse);
  EXPECT_EQ(Id(), 99);

  // Deleting everything leaves an empty dataset.
  DS().First();
  while (!DS().IsEmpty()) DS().Delete();
  EXPECT_TRUE(DS().Eof());
  EXPECT_EQ(fLink->RecordCount(), 0);
}

TEST_P(DataSetBehaviour, BookmarksSurviveInsertsAndDeletes) {
  Open();
  DS().MoveBy(39);
  const TBookmarkStr forty = DS().Bookmark();
  ASSERT_FALSE(forty.empty());
  DS().MoveBy(10);
  const TBookmarkStr fifty = DS().Bookmark();
  EXPECT_LT(DS().CompareBookmarks(forty, fifty), 0);
  EXPECT_GT(DS().CompareBookmarks(fifty, forty), 0);
  EXPECT_EQ(DS().CompareBookmarks(forty, forty), 0);

  DS().First();
  DS().MoveBy(9);
  DS().Delete();  // 10
  DS().Insert();
  DS().FieldByName("ID")->SetAsInteger(500);
  DS().Post();
  const TBookmarkStr inserted = DS().Bookmark();
  ASSERT_TRUE(DS().Locate("ID", 100));
  DS().Delete();

  DS().GotoBookmark(forty);
  EXPECT_EQ(Id(), 40);
  EXPECT_EQ(fLink->ActiveRecord(), 4);  // centred in the window
  DS().SetBookmark(inserted);
  EXPECT_EQ(Id(), 500);
  EXPECT_TRUE(DS().BookmarkValid(fifty));

  DS().GotoBookmark(fifty);
  const TBookmarkStr gone = DS().Bookmark();
  DS().Delete();
  EXPECT_FALSE(DS().BookmarkValid(gone));
  EXPECT_THROW(DS().GotoBookmark(gone), Exception);  // a database error, or the library's own
  DS().GotoBookmark(TBookmarkStr());  // no bookmark: nothing happens
  EXPECT_EQ(DS().State(), dsBrowse);
}

TEST_P(DataSetBehaviour, LocateFindsRecordsAndStaysPutWhenNot) {
  Open();
  RecordDataSetEvents();
  DS().MoveBy(5);
  fLog.clear();
  EXPECT_TRUE(DS().Locate("ID", 57));
  EXPECT_EQ(Id(), 57);
  EXPECT_EQ(fLink->ActiveRecord(), 4);
  // The walk is silent: the controls hear one change, the application one scroll.
  EXPECT_EQ(fLog, (std::vector<std::string>{"link: CheckBrowseMode", "BeforeScroll", "link: DataSetChanged",
                                            "AfterScroll"}));

  EXPECT_TRUE(DS().Locate("name", "NAME075", {loCaseInsensitive}));
  EXPECT_EQ(Id(), 75);
  EXPECT_FALSE(DS().Locate("NAME", "NAME075"));
  EXPECT_TRUE(DS().Locate("NAME", "Name08", {loPartialKey}));
  EXPECT_EQ(Id(), 80);
  EXPECT_TRUE(DS().Locate("NAME", "name09", {loPartialKey, loCaseInsensitive}));
  EXPECT_EQ(Id(), 90);
  EXPECT_TRUE(DS().Locate("ID;NAME", VarArrayOf({33, "Name033"})));
  EXPECT_EQ(Id(), 33);
  EXPECT_FALSE(DS().Locate("ID;NAME", VarArrayOf({33, "Name034"})));

  // Not found: the same record on the same row.
  const int row = fLink->ActiveRecord();
  fLog.clear();
  EXPECT_FALSE(DS().Locate("ID", 1000));
  EXPECT_EQ(Id(), 33);
  EXPECT_EQ(fLink->ActiveRecord(), row);
  EXPECT_EQ(std::find(fLog.begin(), fLog.end(), "AfterScroll"), fLog.end());
  EXPECT_THROW(DS().Locate("MISSING", 1), EDatabaseError);

  // Lookup reads without moving.
  EXPECT_EQ(DS().Lookup("ID", 12, "NAME").AsString(), "Name012");
  const Variant both = DS().Lookup("NAME", "Name020", "ID;NAME");
  ASSERT_TRUE(both.IsArray());
  EXPECT_EQ(both.GetElement(0).AsInteger(), 20);
  EXPECT_EQ(both.GetElement(1).AsString(), "Name020");
  EXPECT_TRUE(DS().Lookup("ID", -5, "NAME").IsNull());
  EXPECT_EQ(Id(), 33);
  EXPECT_EQ(fLink->ActiveRecord(), row);

  // ReadByKey reads what is stored and touches nothing: the pending edit stays, and neither the
  // links nor the scroll events hear of it; the cursor then moves on from where it was.
  DS().Edit();
  DS().FieldByName("NAME")->SetAsString("Pending");
  fLog.clear();
  EXPECT_EQ(DS().ReadByKey("ID", 12, "NAME").AsString(), "Name012");
  EXPECT_EQ(DS().ReadByKey("ID", 33, "NAME").AsString(), "Name033");
  EXPECT_EQ(DS().ReadByKey("ID;NAME", VarArrayOf({20, "Name020"}), "ID").AsInteger(), 20);
  EXPECT_TRUE(DS().ReadByKey("ID", 1000, "NAME").IsNull());
  EXPECT_EQ(DS().State(), dsEdit);
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "Pending");
  EXPECT_TRUE(fLog.empty()) << fLog.front();
  DS().Cancel();
  EXPECT_EQ(fLink->ActiveRecord(), row);
  DS().Next();
  EXPECT_EQ(Id(), 34);
  DS().Prior();
  EXPECT_EQ(Id(), 33);

  // FieldValues reads and writes several fields at once.
  const Variant values = DS().FieldValues("NAME;ID");
  EXPECT_EQ(values.GetElement(0).AsString(), "Name033");
  EXPECT_EQ(values.GetElement(1).AsInteger(), 33);
  DS().Edit();
  DS().SetFieldValues("ID;NAME", VarArrayOf({3300, "Renamed"}));
  DS().Post();
  EXPECT_EQ(DS().FieldValues("ID").AsInteger(), 3300);
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "Renamed");
}

TEST_P(DataSetBehaviour, DisabledControlsHearOneChangeAtTheEnd) {
  Open();
  DS().DisableControls();
  DS().DisableControls();
  EXPECT_TRUE(DS().ControlsDisabled());
  DS().MoveBy(30);
  DS().Edit();
  DS().FieldByName("NAME")->SetAsString("Quiet");
  DS().Post();
  DS().EnableControls();
  EXPECT_TRUE(fLog.empty());
  DS().EnableControls();
  EXPECT_FALSE(DS().ControlsDisabled());
  EXPECT_EQ(fLog, std::vector<std::string>{"link: DataSetChanged"});
  EXPECT_EQ(Id(), 31);
  EXPECT_EQ(fLink->ActiveRecord(), 9);  // the link's window caught up with the record

  // Nothing happened: nothing to hear.
  fLog.clear();
  DS().DisableControls();
  DS().EnableControls();
  EXPECT_TRUE(fLog.empty());

  // A state that changed while disabled is told first.
  DS().DisableControls();
  DS().Edit();
  DS().EnableControls();
  EXPECT_EQ(fLog, (std::vector<std::string>{"link: Editing", "link: DataSetChanged"}));
  DS().Cancel();
  DS().EnableControls();  // unbalanced calls are harmless
  EXPECT_FALSE(DS().ControlsDisabled());
}

TEST_P(DataSetBehaviour, ErrorEventsFailAbortOrRetry) {
  Open();
  TField* name = DS().FieldByName("NAME");
  name->SetRequired(true);
  DS().Edit();
  name->Clear();

  try {
    DS().Post();
    FAIL() << "posting without a required value";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), Format(SFieldRequired, {"NAME"}));
  }
  EXPECT_EQ(DS().State(), dsEdit);
  EXPECT_EQ(std::count(fLog.begin(), fLog.end(), "link: FocusControl NAME"), 1);

  int calls = 0;
  DS().OnPostError = [&](TDataSet*, EDatabaseError& e, TDataAction& action) {
    ++calls;
    EXPECT_EQ(e.Message(), Format(SFieldRequired, {"NAME"}));
    action = daAbort;
  };
  EXPECT_THROW(DS().Post(), EAbort);
  EXPECT_EQ(DS().State(), dsEdit);

  // Retry after the handler repaired the record.
  DS().OnPostError = [&](TDataSet*, EDatabaseError&, TDataAction& action) {
    ++calls;
    name->SetAsString("Repaired");
    action = daRetry;
  };
  DS().Post();
  EXPECT_EQ(DS().State(), dsBrowse);
  EXPECT_EQ(name->AsString(), "Repaired");
  EXPECT_EQ(calls, 2);

  // An error in BeforeEdit or BeforeDelete stops the operation where it is.
  DS().BeforeDelete = [](TDataSet*) { Abort(); };
  EXPECT_THROW(DS().Delete(), EAbort);
  EXPECT_EQ(Id(), 1);
}

TEST_P(DataSetBehaviour, DataSourceStateAndAutoEdit) {
  Open();
  int stateChanges = 0, dataChanges = 0;
  fSource->OnStateChange = [&](TObject*) { ++stateChanges; };
  fSource->OnDataChange = [&](TObject*, TField*) { ++dataChanges; };
  EXPECT_EQ(fSource->State(), dsBrowse);

  // A control asks to edit through its link; AutoEdit decides.
  EXPECT_TRUE(fLink->Edit());
  EXPECT_EQ(DS().State(), dsEdit);
  EXPECT_EQ(stateChanges, 1);
  DS().Cancel();
  fSource->SetAutoEdit(false);
  EXPECT_FALSE(fLink->Edit());
  EXPECT_EQ(DS().State(), dsBrowse);
  fSource->SetAutoEdit(true);
  fLink->SetReadOnly(true);
  EXPECT_FALSE(fLink->Edit());
  fLink->SetReadOnly(false);

  dataChanges = 0;
  DS().Next();
  EXPECT_EQ(dataChanges, 1);

  // A disabled source makes its links inactive.
  fSource->SetEnabled(false);
  EXPECT_FALSE(fLink->Active());
  EXPECT_EQ(fSource->State(), dsInactive);
  DS().Next();
  fSource->SetEnabled(true);
  EXPECT_TRUE(fLink->Active());
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(fLink->ActiveRecord(), 2);

  // Whichever goes first, nobody keeps a pointer to it.
  fLink.reset();
  EXPECT_EQ(fSource->DataSet(), fDataSet.get());
  TRecordingLink survivor(fLog, "survivor");
  survivor.SetDataSource(fSource.get());
  fDataSet.reset();
  EXPECT_EQ(fSource->DataSet(), nullptr);
  EXPECT_FALSE(survivor.Active());
  fSource.reset();
  EXPECT_EQ(survivor.DataSource(), nullptr);
}

TEST_P(DataSetBehaviour, CalculatedFieldsAreFilledAsRecordsAreRead) {
  Open();
  DS().Close();
  auto* twice = AddField<TIntegerField>("TWICE", fkCalculated);
  auto* upper = AddField<TStringField>("UPPER", fkCalculated);
  int calls = 0;
  DS().OnCalcFields = [&](TDataSet* ds) {
    ++calls;
    EXPECT_EQ(ds->State(), dsCalcFields);
    const TField* id = ds->FieldByName("ID");
    if (!id->IsNull()) twice->SetAsInteger(2 * id->AsInteger());
    upper->SetAsString(UpperCase(ds->FieldByName("NAME")->AsString()));
  };
  DS().Open();
  // The data fields still come from the definitions, ahead of the application's.
  ASSERT_EQ(DS().FieldCount(), 4);
  EXPECT_EQ(DS().Fields()[0]->FieldName(), "ID");
  EXPECT_EQ(DS().Fields()[3], upper);
  EXPECT_EQ(calls, 10);  // once per record read into the window
  EXPECT_EQ(DS().State(), dsBrowse);
  for (int row = 0; row < fLink->RecordCount(); ++row) {
    fLink->SetActiveRecord(row);
    EXPECT_EQ(twice->AsInteger(), 2 * Id());
    EXPECT_EQ(upper->AsString(), UpperCase(ItemName(Id())));
  }
  fLink->SetActiveRecord(0);
  calls = 0;
  DS().MoveBy(9);
  EXPECT_EQ(calls, 0);  // rows already in the window keep their values
  DS().MoveBy(3);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(twice->AsInteger(), 26);

  // Only a calculation writes them.
  EXPECT_EQ(MessageOf([&] { twice->SetAsInteger(1); }), SNotEditing);
  EXPECT_FALSE(twice->CanModify());
  EXPECT_TRUE(twice->Calculated());
  calls = 0;
  DS().Edit();
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(DS().Modified());
  EXPECT_EQ(MessageOf([&] { twice->SetAsInteger(1); }), Format(SFieldReadOnly, {"TWICE"}));
  DS().FieldByName("NAME")->SetAsString("Changed");
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(upper->AsString(), "CHANGED");
  DS().SetAutoCalcFields(false);
  DS().FieldByName("NAME")->SetAsString("Later");
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(upper->AsString(), "CHANGED");
  DS().Post();  // read again
  EXPECT_EQ(upper->AsString(), "LATER");
  DS().SetAutoCalcFields(true);

  // A new record starts with no calculated values.
  DS().Insert();
  EXPECT_TRUE(twice->IsNull());
  EXPECT_TRUE(upper->IsNull());
  DS().FieldByName("ID")->SetAsInteger(500);
  EXPECT_EQ(twice->AsInteger(), 1000);
  DS().Cancel();
  EXPECT_EQ(twice->AsInteger(), 26);

  // Searching reads the calculated values as it walks.
  EXPECT_TRUE(DS().Locate("TWICE", 150));
  EXPECT_EQ(Id(), 75);
  EXPECT_TRUE(DS().Locate("UPPER", "name04", {loPartialKey, loCaseInsensitive}));
  EXPECT_EQ(Id(), 40);
  EXPECT_EQ(DS().Lookup("TWICE", 60, "UPPER").AsString(), "NAME030");
  EXPECT_FALSE(DS().Locate("TWICE", 7));
  EXPECT_EQ(Id(), 40);

  // A calculation that fails stops the move; the cursor stays in step with the window.
  DS().First();
  DS().OnCalcFields = [](TDataSet* ds) {
    if (ds->FieldByName("ID")->AsInteger() == 12) DatabaseError("bad record");
  };
  EXPECT_EQ(MessageOf([&] { DS().MoveBy(15); }), "bad record");
  EXPECT_EQ(DS().State(), dsBrowse);
  EXPECT_EQ(Id(), 11);
  DS().OnCalcFields = nullptr;
  DS().Next();
  EXPECT_EQ(Id(), 12);
  DS().Next();
  EXPECT_EQ(Id(), 13);
}

TEST_P(DataSetBehaviour, LookupFieldsReadTheirLookupDataSet) {
  Open();
  TLabelTable labels(20, "Label");
  DS().Close();
  TField* label = AddLabelField(nullptr);
  EXPECT_EQ(MessageOf([&] { DS().Open(); }), Format(SLookupInfoError, {"LABEL"}));
  EXPECT_FALSE(DS().Active());
  EXPECT_THROW(label->SetLookupDataSet(&DS()), EDatabaseError);  // itself
  label->SetLookupDataSet(&labels);
  DS().Open();
  EXPECT_TRUE(label->Lookup());
  EXPECT_FALSE(label->CanModify());
  for (int row = 0; row < fLink->RecordCount(); ++row) {
    fLink->SetActiveRecord(row);
    EXPECT_EQ(label->AsString(), Format("Label%.2d", {Id()}));
  }
  fLink->SetActiveRecord(0);
  EXPECT_EQ(labels.FieldByName("CODE")->AsInteger(), 1);  // the lookups did not move it
  // Reading a label never posts an edit pending on the lookup table (a paint reads them).
  labels.Edit();
  labels.FieldByName("LABEL")->SetAsString("Unposted");
  fLink->SetActiveRecord(1);
  EXPECT_EQ(label->AsString(), "Label02");
  EXPECT_EQ(labels.State(), dsEdit);
  labels.Cancel();
  DS().MoveBy(25);
  EXPECT_TRUE(label->IsNull());  // no such code

  // Without a cache each record read asks again; with one, each key is asked once.
  labels.Lookups = 0;
  DS().Last();
  DS().First();
  EXPECT_EQ(labels.Lookups, 20);
  label->SetLookupCache(true);
  labels.Lookups = 0;
  DS().Last();
  DS().First();
  DS().Last();
  DS().First();
  EXPECT_EQ(labels.Lookups, 20);

  // A change of the lookup data empties the cache.
  ASSERT_TRUE(labels.Locate("CODE", 3));
  labels.Edit();
  labels.FieldByName("LABEL")->SetAsString("Third");
  labels.Post();
  DS().Refresh();
  fLink->SetActiveRecord(2);
  EXPECT_EQ(label->AsString(), "Third");
  labels.Lookups = 0;
  DS().Refresh();
  EXPECT_EQ(labels.Lookups, 0);

  // Another lookup dataset shows at once; a closed one gives nothing.
  TLabelTable other(20, "Other");
  label->SetLookupDataSet(&other);
  EXPECT_EQ(label->AsString(), "Other03");
  other.Close();
  DS().Refresh();
  EXPECT_TRUE(label->IsNull());
  other.Open();
  DS().Refresh();
  EXPECT_EQ(label->AsString(), "Other03");
}

TEST_P(DataSetBehaviour, ALookupDataSetThatGoesAwayLeavesNull) {
  Open();
  auto labels = std::make_unique<TLabelTable>(20, "Label");
  DS().Close();
  TField* label = AddLabelField(labels.get());
  label->SetLookupCache(true);
  DS().Open();
  EXPECT_EQ(label->AsString(), "Label01");
  fLog.clear();
  labels.reset();
  EXPECT_EQ(label->LookupDataSet(), nullptr);
  EXPECT_TRUE(label->IsNull());
  EXPECT_EQ(fLog, std::vector<std::string>{"link: DataSetChanged"});  // the controls show it at once
  DS().MoveBy(15);
  EXPECT_TRUE(label->IsNull());
  DS().Close();
  EXPECT_EQ(MessageOf([&] { DS().Open(); }), Format(SLookupInfoError, {"LABEL"}));

  // A lookup field that goes first leaves nothing behind in its lookup dataset.
  TLabelTable again(5, "Again");
  label->SetLookupDataSet(&again);
  delete label;
  EXPECT_EQ(DS().FindField("LABEL"), nullptr);
  again.Edit();
  again.FieldByName("LABEL")->SetAsString("Changed");
  again.Post();
  DS().Open();
  EXPECT_EQ(DS().FieldCount(), 2);
}

TEST_P(DataSetBehaviour, BookmarksOfOneRecordCompareEqualWithoutAQuery) {
  Open();
  DS().MoveBy(41);
  const TBookmarkStr first = DS().Bookmark();
  DS().Last();
  DS().First();
  ASSERT_TRUE(DS().Locate("ID", 42));
  const TBookmarkStr again = DS().Bookmark();  // read anew, not a copy
  DS().Next();
  const TBookmarkStr next = DS().Bookmark();
  const long long before = GetParam().StatementsRun ? GetParam().StatementsRun(DS()) : 0;
  EXPECT_EQ(DS().CompareBookmarks(first, again), 0);
  EXPECT_EQ(DS().CompareBookmarks(again, first), 0);
  if (GetParam().StatementsRun) { EXPECT_EQ(GetParam().StatementsRun(DS()), before); }
  EXPECT_LT(DS().CompareBookmarks(first, next), 0);
  EXPECT_GT(DS().CompareBookmarks(next, again), 0);
  if (GetParam().StatementsRun) {  // the count does see what the dataset asks
    const long long counted = GetParam().StatementsRun(DS());
    DS().Locate("NAME", Variant(ItemName(7)));
    EXPECT_GT(GetParam().StatementsRun(DS()), counted);
  }
}

TEST_P(DataSetBehaviour, WindowPlaceTellsWhereARecordLiesWithoutMoving) {
  Open(100, 10);
  TRecordingLink small(fLog, "small");
  small.SetBufferCount(3);
  small.SetDataSource(fSource.get());
  std::vector<TBookmarkStr> marks(101);
  for (int id : {1, 20, 25, 26, 28, 30, 33, 35, 36, 90}) {
    ASSERT_TRUE(DS().Locate("ID", id));
    marks[static_cast<std::size_t>(id)] = DS().Bookmark();
  }
  ASSERT_TRUE(DS().Locate("ID", 30));
  const std::vector<int> window = WindowIds(*fLink);
  const std::vector<int> smallWindow = WindowIds(small);
  ASSERT_EQ(window.size(), 10u);
  ASSERT_EQ(smallWindow.size(), 3u);
  ASSERT_LT(window.front(), smallWindow.front());  // the small window lies inside the large one
  fLog.clear();
  const int row = fLink->ActiveRecord();
  auto expected = [](const std::vector<int>& ids, int id) {
    return id < ids.front() ? wpBefore : id > ids.back() ? wpAfter : wpInWindow;
  };
  for (int id : {1, 20, 25, 26, 28, 30, 33, 35, 36, 90}) {
    const TBookmarkStr& mark = marks[static_cast<std::size_t>(id)];
    EXPECT_EQ(fLink->WindowPlace(mark), expected(window, id)) << id;
    EXPECT_EQ(small.WindowPlace(mark), expected(smallWindow, id)) << id;
  }
  EXPECT_TRUE(fLog.empty());  // no scroll, no change
  EXPECT_EQ(fLink->ActiveRecord(), row);
  EXPECT_EQ(Id(), 30);
  EXPECT_EQ(fLink->WindowPlace(TBookmarkStr()), wpNoWindow);

  // A row being inserted has no bookmark of its own; the posted rows around it still place.
  DS().Insert();
  EXPECT_EQ(fLink->WindowPlace(marks[1]), wpBefore);
  EXPECT_EQ(fLink->WindowPlace(marks[90]), wpAfter);
  EXPECT_EQ(fLink->WindowPlace(marks[30]), wpInWindow);
  DS().Cancel();

  // A closed dataset has no window.
  DS().Close();
  EXPECT_EQ(fLink->WindowPlace(marks[30]), wpNoWindow);
}

TEST_P(DataSetBehaviour, InsertRecordAndAppendRecordPostInOneStep) {
  Open(20, 5);
  RecordDataSetEvents();
  DS().OnNewRecord = [this](TDataSet* ds) {
    fLog.push_back("OnNewRecord");
    ds->FieldByName("NAME")->SetAsString("New");
  };
  fLog.clear();
  DS().AppendRecord({Variant(101)});
  EXPECT_EQ(fLog, (std::vector<std::string>{"link: CheckBrowseMode", "BeforeInsert", "OnNewRecord", "AfterInsert",
                                            "BeforePost", "AfterPost", "link: DataSetChanged"}));
  EXPECT_EQ(DS().State(), dsBrowse);
  EXPECT_FALSE(DS().Modified());
  EXPECT_EQ(Id(), 101);
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "New");  // not given: OnNewRecord's value stays
  DS().Next();
  EXPECT_TRUE(DS().Eof());  // appended after the last

  // Inserted where the dataset's order puts it; Null clears a field that OnNewRecord set (a NOT
  // NULL key column with a default stores its default instead).
  DS().First();
  DS().MoveBy(2);
  DS().InsertRecord({Variant(102), Variant::Null()});
  EXPECT_EQ(Id(), 102);
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "");
  EXPECT_EQ(DS().RecordCount(), 22);
  ASSERT_TRUE(DS().Locate("ID", 101));
  EXPECT_EQ(DS().FieldByName("NAME")->AsString(), "New");

  // A failure adds nothing and leaves the window as it was.
  DS().First();
  DS().MoveBy(1);
  const std::vector<int> window = WindowIds(*fLink);
  EXPECT_THROW(DS().AppendRecord({Variant(103), Variant("x"), Variant(1)}), EDatabaseError);  // more values than fields
  DS().FieldByName("NAME")->SetRequired(true);
  DS().OnNewRecord = nullptr;
  EXPECT_EQ(MessageOf([&] { DS().InsertRecord({Variant(104)}); }), Format(SFieldRequired, {"NAME"}));
  DS().BeforePost = [](TDataSet*) { Abort(); };
  EXPECT_THROW(DS().InsertRecord({Variant(105), Variant("x")}), EAbort);
  EXPECT_EQ(DS().State(), dsBrowse);
  EXPECT_EQ(WindowIds(*fLink), window);
  EXPECT_EQ(Id(), 2);
  EXPECT_EQ(DS().RecordCount(), 22);
  EXPECT_FALSE(DS().Locate("ID", 104));
}

#endif  // ZV_DATASET_BEHAVIOUR_FIXTURE_ONLY

}  // namespace zvtest

#ifndef ZV_DATASET_BEHAVIOUR_FIXTURE_ONLY
#include "BookmarkSetBehaviour.h"
#endif
