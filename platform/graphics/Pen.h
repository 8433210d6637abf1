#pragma once
// TPen: how lines and shape outlines are drawn. Width 0 and 1 are both one pixel wide; Mode is
// the raster operation (Windows ROP2) combining the pen with what is already there, and also
// applies to the interiors of the shapes it outlines.

#include "platform/graphics/GraphicsObject.h"

namespace zv {

ZV_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate);
// In the host's order; PenModeToRop2 gives the Windows R2_* code.
ZV_ENUM(TPenMode,
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
  pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor);

// R2_BLACK (1) .. R2_WHITE (16): the code's value - 1 is its truth table over (pen, dest).
constexpr int PenModeToRop2(TPenMode mode) {
  constexpr int codes[] = {1, 16, 11, 6, 13, 4, 14, 5, 12, 3, 15, 2, 9, 8, 7, 10};
  return codes[static_cast<int>(mode)];
}
inline constexpr int R2_NOP = 11;
inline constexpr int R2_COPYPEN = 13;

struct TPenData {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
  bool operator==(const TPenData&) const = default;
};


class TPen : public TGraphicsObject {
  ZV_CLASS(TPen, TGraphicsObject)

public:
  TColor Color() const { return fData.Color; }
  void SetColor(TColor color);
  int Width() const { return fData.Width; }
  void SetWidth(int width);  // negative widths are ignored
  TPenStyle Style() const { return fData.Style; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return fData.Mode; }
  void SetMode(TPenMode mode);

  const TPenData& Data() const { return fData; }
  void Assign(const TPersistent* source) override;

  static void DeclareProperties(TPropTable<TPen>& t);

private:
  TPenData fData;
};

}  // namespace zv
