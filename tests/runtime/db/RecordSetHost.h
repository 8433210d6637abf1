#pragma once
// A component holding a quick record set, so that the set is stored with a form and read back
// as a form would hold it. The class is defined here: include this from one source file of a
// program only.

#include "platform/classes/Component.h"
#include "platform/classes/TypeInfo.h"
#include "runtime/db/QuickRecordSet.h"

#include <memory>

namespace zvtest {

class TRecordSetHost : public zv::TComponent {
  ZV_CLASS(TRecordSetHost, zv::TComponent)

public:
  explicit TRecordSetHost(zv::TComponent* owner)
      : zv::TComponent(owner), fRecordSet(std::make_unique<zv::TvpQuickRecordSet>()) {
    SetName("Host");
  }
  zv::TvpQuickRecordSet* RecordSet() const { return fRecordSet.get(); }
  static void DeclareProperties(zv::TPropTable<TRecordSetHost>& t) {
    t.Prop("RecordSet", &TRecordSetHost::RecordSet);
  }

private:
  std::unique_ptr<zv::TvpQuickRecordSet> fRecordSet;
};

ZV_DEFINE_CLASS_WITH_PROPS(TRecordSetHost, zv::TComponent)

}  // namespace zvtest
