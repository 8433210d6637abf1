// A vision painting a grid column's cells through the grid's one painter: the painter is set up
// once for the column and advanced row by row, so painting allocates nothing per cell.
#include "platform/graphics/Canvas.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/Painter.h"

namespace zv {

void TvpFieldVision::DrawRecords(TgpFieldList& fields, TgpPainter& painter) {
  if (!fields.Valid() || !painter.Canvas) return;
  painter.Canvas->Brush()->SetStyle(bsClear);
  painter.Init(fields);
  while (painter.Prepare()) {
    VM_PreparePainter(fields, painter);
    if (painter.HasOwnerDraw && painter.OwnerDraw) painter.OwnerDraw(painter);
    if (painter.DefaultDrawing && OnDraw) OnDraw(this, &fields, &painter);
    if (painter.DefaultDrawing) VM_DrawCell(fields, painter);
    if (painter.DefaultDrawing) {
      if (ImageWidth() > 0) {
        painter.DrawImage(painter.ImageIndex);
        painter.DrawImage(painter.OverlayIndex);
      }
      if (DrawText()) painter.DrawText(painter.Text, fields.Alignment(), tlaDefault, 0, 0);
    }
    painter.Next();
  }
}

}  // namespace zv
