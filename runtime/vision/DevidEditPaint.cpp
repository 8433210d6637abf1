// TDBDevidEdit painting: the native edit paints a focused text editor and a multi-line vision;
// everything else is painted by the vision into an off-screen bitmap through the one edit
// painter (DrawRecords2), or by the grid for an in-place switch editor, and then copied.

#include "runtime/vision/DevidEdit.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/vision/EditSwitchers.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/Painter.h"

namespace zv {

bool TDBDevidEdit::PaintsNatively() {
  TvpFieldVision* vision = fFields->Vision();
  if (!vision || vision->MultiLine()) return true;
  return fFocused && !CustomSurface();
}

void TDBDevidEdit::WMEraseBkgnd(TWMEraseBkgnd& message) {
  if (PaintsNatively()) return TCustomMaskEdit::WMEraseBkgnd(message);
  message.Result = 1;  // the bitmap covers everything
}

void TDBDevidEdit::PaintWindow(TPaintDevice& dc) {
  if (PaintsNatively()) return TCustomMaskEdit::PaintWindow(dc);
  const TRect client = ClientRect();
  if (client.Width() <= 0 || client.Height() <= 0) return;
  TBitmap bitmap;
  bitmap.SetSize(client.Width(), client.Height());
  TCanvas& canvas = *bitmap.Canvas();
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(Enabled() ? Color() : clBtnFace);
  canvas.FillRect(client);
  TvpFieldVision* vision = fFields->Vision();
  // An in-place switch looks exactly like its cell: the grid draws it.
  if (!(fIsInplace && vision->EnableSwitches() && DrawGridCell(canvas, client)))
    vision->DrawRecords2(*this, canvas, client);
  TCanvas out(&dc);
  out.Draw(0, 0, &bitmap);
}

void TvpFieldVision::DrawRecords2(TDBDevidEdit& edit, TCanvas& canvas, const TRect& rect) {
  TfvPainter& painter = EditPainter();
  TgpFieldList& fields = edit.Fields();
  canvas.Brush()->SetStyle(bsClear);
  painter.Canvas = &canvas;
  painter.CellRect = rect;
  if (edit.IsInplace()) {
    const TRect& m = edit.TextMargins();
    painter.ClientRect = {rect.Left + m.Left, rect.Top + m.Top, rect.Right - m.Right, rect.Bottom - m.Bottom};
  } else {
    painter.ClientRect = {rect.Left + 1, rect.Top, rect.Right - 1, rect.Bottom - 1};
  }
  const bool custom = fSurfaceKind == vskCustom;
  painter.InGrid = fields.Column() != nullptr;
  painter.Standalone = !painter.InGrid;
  painter.NoFocusRect = edit.ButtonTracker().Downed() && custom;
  TvpCellAttrs& attrs = EditCellAttrs();
  attrs.Color = edit.Color();
  attrs.Focused = edit.TWinControl::Focused() && !edit.ToolForm();
  attrs.Pressed = edit.SwitchTracker().Downed();
  attrs.Tracked = false;
  painter.CellAttrs = &attrs;
  painter.Font.Assign(edit.Font());
  if (!edit.Enabled()) painter.Font.SetColor(clGrayText);
  canvas.Font()->Assign(&painter.Font);
  painter.DefaultDrawing = true;
  painter.Text.clear();
  painter.ImageIndex = painter.OverlayIndex = -1;
  painter.EndEllipsis = false;
  painter.WordWrap = edit.WordWrap();
  painter.Init(fields);
  if (painter.Standalone) {
    painter.TextRect.Top += 1;
    if (custom) {
      painter.TextRect.Left += 1;
      painter.TextRect.Right -= 1;
    }
  }
  if (!fields.Valid()) {
    VM_DrawInactive(fields, painter);
    return;
  }
  VM_PreparePainter(fields, painter);
  if (edit.CharCase() == ecUpperCase) painter.Text = AnsiUpperCase(painter.Text);
  if (edit.CharCase() == ecLowerCase) painter.Text = AnsiLowerCase(painter.Text);
  if (edit.PasswordChar() != 0) {
    String masked;
    const String one = CodePointToUTF8(edit.PasswordChar());
    for (int i = 0, n = Length(painter.Text); i < n; ++i) masked += one;
    painter.Text = masked;
  }
  if (OnGetEditFont) OnGetEditFont(this, &fields, canvas.Font());
  if (edit.OnDraw) edit.OnDraw(&edit, &painter);
  if (painter.DefaultDrawing && OnDrawEdit) OnDrawEdit(this, &fields, &painter);
  if (painter.DefaultDrawing) VM_DrawEdit(fields, painter);
  PaintCell(fields, painter);
}

}  // namespace zv
