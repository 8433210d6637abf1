#pragma once
// Enumerations and constant tables shared by the runtime module's painters and controls.

#include "platform/db/DBTypes.h"
#include "platform/classes/TypeInfo.h"
#include "platform/graphics/DrawFlags.h"

#include <array>
#include <cstdint>

namespace zv {

// Border of the library's windowed controls; the Ext styles are two pixels wide.
ZV_ENUM(TvpBorderStyle, bsNoBorder, bs3D, bsSoft, bsSoftExt, bsFlat, bsFlatExt, bsMono, bsMonoExt);

// Vertical placement of text in a rectangle.
ZV_ENUM(TLayout, tlTop, tlCenter, tlBottom);

// Placement of a bitmap in a rectangle.
ZV_ENUM(TImageLayout, ilLeft, ilLeftTop, ilTop, ilRightTop, ilRight, ilRightBottom, ilBottom, ilLeftBottom, ilCenter);

// DrawText flags of each horizontal alignment, indexed by TAlignment. Prefix characters are
// never interpreted: cell texts are data, not captions.
inline constexpr std::array<unsigned, 3> Alignments = {
    DT_NOPREFIX,               // taLeftJustify
    DT_NOPREFIX | DT_RIGHT,    // taRightJustify
    DT_NOPREFIX | DT_CENTER};  // taCenter

inline constexpr unsigned AlignmentFlags(TAlignment alignment) { return Alignments.at(static_cast<std::size_t>(alignment)); }

// 0 for false, 1 for true, indexed by a boolean.
inline constexpr std::array<std::int32_t, 2> BooleanMapper = {0, 1};

}  // namespace zv
