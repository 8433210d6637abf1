// The extended data link: each dataset event reaches exactly its own handler, never the host
// link's chained defaults, and a focus request stops only at a handler that takes it.
#include "platform/db/DataLink.h"
#include "platform/db/DataSet.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/Format.h"
#include "runtime/db/DataLinkEx.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace zv;
using Log = std::vector<std::string>;

std::unique_ptr<TMemTable> Items(int count) {
  auto table = std::make_unique<TMemTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("NAME", ftString, 20);
  table->CreateDataSet();
  for (int i = 1; i <= count; ++i) table->AppendRecord({Variant(i), Variant(Format("Name%.3d", {i}))});
  table->First();
  return table;
}

// A link whose every handler writes what it heard, prefixed with the link's name.
void Record(TDataLinkEx& link, Log& log, const std::string& name = "") {
  auto write = [&log, name](const std::string& what) { log.push_back(name + what); };
  link.OnActiveChanged = [=, &link](TDataLinkEx* s) { EXPECT_EQ(s, &link); write(s->Active() ? "Active" : "Inactive"); };
  link.OnDataSetChanged = [=](TDataLinkEx*) { write("Changed"); };
  link.OnDataSetScrolled = [=](TDataLinkEx*, int d) { write("Scrolled " + std::to_string(d)); };
  link.OnEditingChanged = [=](TDataLinkEx* s) { write(s->Editing() ? "Editing" : "NotEditing"); };
  link.OnLayoutChanged = [=](TDataLinkEx*) { write("Layout"); };
  link.OnRecordChanged = [=](TDataLinkEx*, TField* f) { write(f ? "Record " + f->FieldName() : "Record"); };
  link.OnUpdateData = [=](TDataLinkEx*) { write("UpdateData"); };
  link.OnFocusControl = [=](TDataLinkEx*, TField*& f) { write("Focus " + f->FieldName()); };
}

class DataLinkExTest : public ::testing::Test {
protected:
  void SetUp() override {
    fTable = Items(100);
    fTable->Close();
    fSource = std::make_unique<TDataSource>(nullptr);
    fSource->SetDataSet(fTable.get());
    fLink.SetBufferCount(10);
    fLink.SetDataSource(fSource.get());
  }
  // What the link heard during f alone.
  Log During(const std::function<void()>& f) {
    fLog.clear();
    f();
    return fLog;
  }

  std::unique_ptr<TMemTable> fTable;
  std::unique_ptr<TDataSource> fSource;
  TDataLinkEx fLink;
  Log fLog;
};

TEST_F(DataLinkExTest, EachEventReachesOnlyItsHandler) {
  Record(fLink, fLog);
  TMemTable& t = *fTable;
  struct Case {
    const char* what;
    std::function<void()> act;
    Log heard;
  };
  const std::vector<Case> cases = {
      {"open", [&] { t.Open(); }, {"Active"}},
      {"a move inside the window", [&] { t.MoveBy(5); }, {"Scrolled 0"}},
      {"a scroll past the window's end", [&] { t.MoveBy(6); }, {"Scrolled 2"}},
      {"a scroll back before its start", [&] { t.MoveBy(-11); }, {"Scrolled -2"}},
      {"a jump to the last record", [&] { t.Last(); }, {"Changed"}},
      {"a jump to a bookmark", [&] {
         t.First();
         const TBookmarkStr b = t.Bookmark();
         t.Last();
         fLog.clear();
         t.GotoBookmark(b);
       }, {"Changed"}},
      {"a locate", [&] { t.Locate("ID", Variant(50)); }, {"Changed"}},
      {"edit", [&] { t.Edit(); }, {"Editing", "Record"}},
      {"a field set", [&] { t.FieldByName("NAME")->SetAsString("x"); }, {"Record NAME"}},
      {"post", [&] { t.Post(); }, {"UpdateData", "NotEditing", "Changed"}},
      {"cancel", [&] {
         t.Edit();
         t.FieldByName("NAME")->SetAsString("y");
         fLog.clear();
         t.Cancel();
       }, {"NotEditing", "Changed"}},
      {"a layout change", [&] { t.DataEvent(deLayoutChange, 0); }, {"Layout"}},
      {"close", [&] { t.Close(); }, {"Inactive"}},
  };
  for (const Case& c : cases) EXPECT_EQ(During(c.act), c.heard) << c.what;
  EXPECT_EQ(t.Active(), false);
}

TEST_F(DataLinkExTest, AHandlerAloneHearsOnlyItsOwnEvent) {
  fTable->Open();
  int changes = 0;
  fLink.OnDataSetChanged = [&](TDataLinkEx*) { ++changes; };
  fTable->MoveBy(3);   // a move in the window
  fTable->MoveBy(30);  // a scroll
  fTable->DataEvent(deLayoutChange, 0);
  fTable->Edit();
  fTable->FieldByName("NAME")->SetAsString("z");
  EXPECT_EQ(changes, 0);  // neither a scroll, a layout change nor a field change is a dataset change
  fTable->Post();
  EXPECT_EQ(changes, 1);
  fLink.OnDataSetChanged = nullptr;
  fTable->First();  // a link without handlers ignores everything
  fTable->Close();
}

TEST_F(DataLinkExTest, FocusStopsOnlyAtTheLinkThatTakesIt) {
  fTable->Open();
  TDataLinkEx second;
  second.SetDataSource(fSource.get());
  TField* name = fTable->FieldByName("NAME");
  TField* id = fTable->FieldByName("ID");
  Log heard;
  struct Case {
    bool firstTakes;     // the first link's handler sets the field to null
    bool firstSwaps;     // it tries to hand another field on instead
    Log expected;
  };
  const std::vector<Case> cases = {
      {false, false, {"1 NAME", "2 NAME"}},
      {true, false, {"1 NAME"}},
      {false, true, {"1 NAME", "2 NAME"}},  // the next link still hears the field asked for
  };
  for (const Case& c : cases) {
    heard.clear();
    fLink.OnFocusControl = [&](TDataLinkEx*, TField*& f) {
      heard.push_back("1 " + f->FieldName());
      if (c.firstTakes) f = nullptr;
      if (c.firstSwaps) f = id;
    };
    second.OnFocusControl = [&](TDataLinkEx*, TField*& f) { heard.push_back("2 " + f->FieldName()); };
    name->FocusControl();
    EXPECT_EQ(heard, c.expected);
  }
  // Without handlers nobody takes the focus, and a null field asks nobody.
  fLink.OnFocusControl = nullptr;
  second.OnFocusControl = nullptr;
  TField* field = name;
  fTable->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&field));
  EXPECT_EQ(field, name);
  second.SetDataSource(nullptr);
}

}  // namespace
