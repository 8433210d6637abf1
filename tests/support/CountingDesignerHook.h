#pragma once
// A form designer that only counts how often it is told the form changed: for tests of controls
// that call their form's Modified after a change made by mouse in design mode.

#include "platform/controls/Form.h"

namespace zvtest {

class TCountingDesignerHook : public zv::IDesignerHook {
public:
  int Modifications = 0;
  void Modified() override { ++Modifications; }
  void Notification(zv::TPersistent*, zv::TOperation) override {}
  bool IsDesignMsg(zv::TControl*, zv::TMessage&) override { return false; }
  void ValidateRename(zv::TComponent*, const zv::String&, const zv::String&) override {}
  zv::String UniqueName(const zv::String& baseName) override { return baseName + "1"; }
  zv::TComponent* GetRoot() override { return nullptr; }
};

}  // namespace zvtest
