#pragma once
// Exceptions and message texts of the graphics layer, as the host words them.

#include "platform/rtl/Exceptions.h"

namespace zv {

class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
public:
  using Exception::Exception;
};

inline constexpr const char SInvalidBitmap[] = "Bitmap image is not valid";
inline constexpr const char SInvalidPixelFormat[] = "Invalid pixel format";
inline constexpr const char SInvalidImageSize[] = "Invalid image size";
inline constexpr const char SUnknownExtension[] = "Unknown picture file extension (.%s)";
inline constexpr const char SNoCanvasHandle[] = "Canvas does not allow drawing";
inline constexpr const char SOutOfResources[] = "Out of system resources";
inline constexpr const char SImageIndexError[] = "Invalid ImageList Index";
inline constexpr const char SScanLine[] = "Scan line index out of range";
// Messages of this system's own making.
inline constexpr const char SNoGraphicsBackend[] = "No graphics backend is active";
inline constexpr const char SUnsupportedImageFormat[] = "The %s graphics backend cannot %s %s images";
inline constexpr const char SInvalidImageData[] = "%s image is not valid: %s";

}  // namespace zv
