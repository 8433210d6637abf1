#include "platform/rtl/FormatSettings.h"

namespace zv {

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

}  // namespace zv
