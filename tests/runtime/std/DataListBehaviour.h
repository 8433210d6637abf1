#pragma once
// The list drop-down of the default pack as a behaviour suite, instantiated on the headless
// backend (DefPackTest.cpp) and on Qt off-screen (qt/DefPackQtTest.cpp): a pack of the suite's
// backend, a shown form and an editor on NAME of a three-record memory table (ID 1..3, NAME
// "Name001"...).

#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/Form.h"
#include "runtime/std/DefPack.h"

#include "HarnessTest.h"

namespace zvtest {

class DataListBehaviour : public TBehaviourTest {
protected:
  void SetUp() override;
  void TearDown() override;
  void MakeEditor(zv::TvpFieldVision* vision);
  zv::String Name() const { return data->FieldByName("NAME")->AsString(); }

  zv::TzvDefPack* pack = nullptr;
  std::unique_ptr<zv::TForm> form;
  std::unique_ptr<zv::TDataSet> data;
  std::unique_ptr<zv::TDataSource> source;
  zv::TDBDevidEdit* edit = nullptr;
};

}  // namespace zvtest
