#include "VisionTestKit.h"

namespace zvtest {

ZV_DEFINE_CLASS_WITH_PROPS(TTestVision, TvpFieldVision)
ZV_DEFINE_CLASS(TTestHost, TComponent)

void TTestVision::DeclareProperties(TPropTable<TTestVision>& t) { PublishCarried(t); }

}  // namespace zvtest
