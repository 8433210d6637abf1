#pragma once
// A shown form with one edit control on a field of a dataset, focused: the fixture the vision
// tests type, click and post through.
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/vision/DevidEdit.h"

#include "HarnessTest.h"

#include <cctype>
#include <memory>
#include <string>

namespace zvtest {

class EditControlFixture : public THarnessTest {
protected:
  void Open(zv::TvpFieldVision* vision, zv::TDataSet* dataSet, const zv::String& field) {
    form = std::make_unique<zv::TForm>(nullptr);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    source.SetDataSet(dataSet);
    edit = new zv::TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form.get());
    edit->SetVision(vision);
    edit->SetDataSource(&source);
    edit->SetDataField(field);
    h->Pump();
    edit->SetFocus();
    h->Pump();
  }
  void Type(const std::u32string& text) {
    for (char32_t c : text) {
      const zv::Word key = static_cast<zv::Word>(std::toupper(static_cast<int>(c)));
      h->KeyDown(edit, key);
      h->Char(edit, c);
      h->KeyUp(edit, key);
    }
  }
  void Enter() {
    h->KeyDown(edit, zv::VK_RETURN);
    h->KeyUp(edit, zv::VK_RETURN);
  }
  void Click() {
    h->Wait(600);  // a press, not the second half of a double click
    h->Click(edit, 20, 8);
  }
  void TearDown() override {
    form.reset();
    THarnessTest::TearDown();
  }
  std::unique_ptr<zv::TForm> form;
  zv::TDataSource source{nullptr};
  zv::TDBDevidEdit* edit = nullptr;
};

}  // namespace zvtest
