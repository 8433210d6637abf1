// A vision painting a grid column's cells through the grid's one painter: the painter is set up
// once for the column and advanced row by row, so painting allocates nothing per cell. Each cell
// ends in PaintCell, the default drawing an edit control's surface ends in too.
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
    PaintCell(fields, painter);
    painter.Next();
  }
}

void TvpFieldVision::PaintCell(TgpFieldList& fields, TfvPainter& painter) {
  if (!painter.DefaultDrawing) return;
  if (ImageWidth() > 0) {
    painter.DrawImage(painter.ImageIndex);
    painter.DrawImage(painter.OverlayIndex);
  }
  if (DrawText()) painter.DrawText(painter.Text, fields.Alignment(), tlaDefault, 0, 0);
}

}  // namespace zv
