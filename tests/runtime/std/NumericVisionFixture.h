#pragma once
// The numeric vision's suites: the default pack of the headless backend and a form over a
// one-record memory table with a float (F = 1234.5), a currency (C = 1234.5), an integer
// (I = 42), a BCD (B = 12.25) and a string (S) field; Open puts an edit control on it.

#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataLink.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/FormatSettings.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/NumericVision.h"
#include "runtime/vision/DevidEdit.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <memory>

namespace zvtest {

using namespace zv;

// The host's separators for one scope.
class TLocaleScope {
public:
  TLocaleScope(const char* decimal, const char* thousand) : fSaved(FormatSettings()) {
    FormatSettings().DecimalSeparator = TFormatChar(decimal);
    FormatSettings().ThousandSeparator = TFormatChar(thousand);
  }
  ~TLocaleScope() { FormatSettings() = fSaved; }
  TLocaleScope(const TLocaleScope&) = delete;
  TLocaleScope& operator=(const TLocaleScope&) = delete;

private:
  TFormatSettings fSaved;
};

class NumericFixture : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    while (DefaultPackStarts() > 0) StopDefaultPack();
    StartDefaultPack();
    ASSERT_NE(zvDefPack, nullptr);
    pack = zvDefPack;
    table = std::make_unique<TMemTable>(nullptr);
    table->FieldDefs().Add("F", ftFloat);
    table->FieldDefs().Add("C", ftCurrency);
    table->FieldDefs().Add("I", ftInteger);
    table->FieldDefs().Add("B", ftBCD, 2);
    table->FieldDefs().Add("S", ftString, 10);
    table->CreateDataSet();
    table->AppendRecord({Variant(1234.5), Variant(1234.5), Variant(42), Variant(12.25), Variant("s")});
    table->First();
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(table.get());
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
  }
  void TearDown() override {
    form.reset();
    source.reset();
    table.reset();
    while (DefaultPackStarts() > 0) StopDefaultPack();
    THarnessTest::TearDown();
  }
  // A focused edit control on field through vision.
  void Open(TvpFieldVision* vision, const char* field) {
    edit = new TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form.get());
    edit->SetVision(vision);
    edit->SetDataSource(source.get());
    edit->SetDataField(field);
    h->Pump();
    edit->SetFocus();
    h->Pump();
  }

  TzvDefPack* pack = nullptr;
  std::unique_ptr<TMemTable> table;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TForm> form;
  TDBDevidEdit* edit = nullptr;
};

}  // namespace zvtest
