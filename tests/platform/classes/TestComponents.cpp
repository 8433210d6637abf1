#include "TestComponents.h"

namespace zvtest {

ZV_DEFINE_CLASS_WITH_PROPS(TSampleStyle, TPersistent)
ZV_DEFINE_CLASS_WITH_PROPS(TSampleItem, TCollectionItem)
ZV_DEFINE_CLASS_WITH_PROPS(TSample, TComponent)
ZV_DEFINE_CLASS(TSampleRoot, TSample)

void RegisterSampleClasses() {
  RegisterClass(TSample::StaticClass());
  RegisterClass(TSampleRoot::StaticClass());
  RegisterClass(TSampleItem::StaticClass());
}

}  // namespace zvtest
