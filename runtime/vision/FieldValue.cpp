#include "runtime/vision/FieldValue.h"

namespace zv {

ZV_DEFINE_CLASS(TgpFieldValue, TvpUniValue)
ZV_DEFINE_CLASS(TfvCurrentValue, TgpFieldValue)

}  // namespace zv
