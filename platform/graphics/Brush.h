#pragma once
// TBrush: how areas are filled. bsClear fills nothing and makes text and dashed-line
// backgrounds transparent; hatch styles draw their lines in Color over what is there.

#include "platform/graphics/GraphicsObject.h"

namespace zv {

ZV_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross);

struct TBrushData {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  bool operator==(const TBrushData&) const = default;
};


class TBrush : public TGraphicsObject {
  ZV_CLASS(TBrush, TGraphicsObject)

public:
  TColor Color() const { return fData.Color; }
  // Setting a colour on a clear brush makes it solid, as on the host.
  void SetColor(TColor color);
  TBrushStyle Style() const { return fData.Style; }
  void SetStyle(TBrushStyle style);

  const TBrushData& Data() const { return fData; }
  void Assign(const TPersistent* source) override;

  static void DeclareProperties(TPropTable<TBrush>& t);

private:
  TBrushData fData;
};

}  // namespace zv
