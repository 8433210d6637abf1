#include "runtime/vision/Painter.h"

#include <algorithm>

#include "platform/db/DataLink.h"
#include "platform/db/Fields.h"
#include "platform/graphics/DrawTextWhole.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/FieldVision.h"

namespace zv {

void TfvPainter::Init(TgpFieldList* fields, const TfvPlacement& placement) {
  Fields = fields;
  Images = placement.Images;
  fFieldsLayout = placement.Layout;
  fCustomSurface = placement.CustomSurface;
  fUnreadable = false;
  fNumber = placement.Number;
  TextRect = ImageRect = ClientRect;
  const int w = placement.ImageWidth;
  const int h = placement.ImageHeight;
  if (w > 0) {
    switch (placement.Layout) {
      case tlTop: ImageRect.Top = ClientRect.Top; break;
      case tlCenter: ImageRect.Top = ClientRect.Top + (ClientRect.Bottom - ClientRect.Top - h) / 2; break;
      case tlBottom: ImageRect.Top = ClientRect.Bottom - h; break;
    }
    ImageRect.Bottom = ImageRect.Top + h;
    if (!placement.DrawText) {
      ImageRect.Left = ClientRect.Left + (ClientRect.Right - ClientRect.Left - w) / 2;
      ImageRect.Right = ImageRect.Left + w;
    } else if (placement.AlignImage == aiRight) {
      ImageRect.Left = ClientRect.Right - w;
      TextRect.Right = ImageRect.Left - 2;
    } else {
      ImageRect.Right = ClientRect.Left + w;
      TextRect.Left = ImageRect.Right + 2;
    }
  }
  WordWrap = WordWrap || placement.MultiLine;
}

void TfvPainter::Init(TgpFieldList& fields) {
  TfvPlacement placement;
  placement.Layout = fields.Layout();
  placement.Number = fields.Count() > 0 && dynamic_cast<TNumericField*>(fields.Items(0)) != nullptr;
  if (const TvpFieldVision* vision = fields.Vision()) {
    placement.Images = vision->Images();
    placement.ImageWidth = vision->ImageWidth();
    placement.ImageHeight = vision->ImageHeight();
    placement.AlignImage = vision->AlignImage();
    placement.DrawText = vision->DrawText();
    placement.MultiLine = vision->MultiLine();
    placement.CustomSurface = vision->SurfaceKind() == vskCustom;
  }
  Init(&fields, placement);
}

void TfvPainter::DrawText(std::string_view text, TAlignment alignment, TvpDefLayout layout, int leftIndent,
                          int rightIndent) {
  if (!Canvas) return;
  TLayout l = fFieldsLayout;
  switch (layout) {
    case tlaDefault: break;
    case tlaTop: l = tlTop; break;
    case tlaCenter: l = tlCenter; break;
    case tlaBottom: l = tlBottom; break;
  }
  const bool editText = !IsGrid && !fCustomSurface;
  // Cut to its leading digits and an ellipsis, a number reads as another, smaller one (and cut
  // on the left it would too): one that does not fit shows only that, as spreadsheets do, so
  // that the user widens the column. The marks are never cut themselves.
  // A single line finds out from the layout it draws (nothing is drawn when it is cut), so the
  // text is measured once.
  if (fNumber && !fUnreadable && EndEllipsis && !text.empty()) {
    const int room = TextRect.Width() - leftIndent - rightIndent;
    const bool cut = WordWrap ? Canvas->TextWidth(text) > room
                              : vprDrawText(*Canvas, TextRect, text, alignment, l, leftIndent, rightIndent, false, true,
                                            editText, 0, DT_WHOLEONLY) == DrawTextCut;
    if (cut) {
      const int mark = std::max(1, Canvas->TextWidth("#"));
      const String marks(static_cast<std::size_t>(std::max(1, room / mark)), '#');
      vprDrawText(*Canvas, TextRect, marks, alignment, l, leftIndent, rightIndent, false, false, editText);
    }
    if (cut || !WordWrap) return;
  }
  // No rectangle shows more characters than it has pixels: a value of megabytes is cut (at a
  // character's start) to what could appear, so painting costs what the cell holds.
  const std::size_t budget = static_cast<std::size_t>(std::max(TextRect.Width(), 0) + 1) *
                             static_cast<std::size_t>(std::max(TextRect.Height(), 0) + 1) * 4;
  if (text.size() > budget) {
    std::size_t cut = budget;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut);
  }
  vprDrawText(*Canvas, TextRect, text, alignment, l, leftIndent, rightIndent, WordWrap, EndEllipsis, editText);
}

void TfvPainter::DrawImage(int index, TCustomImageList* images) {
  if (index == -1) return;
  if (!images) images = Images;
  if (!images || !Canvas) return;
  images->Draw(Canvas, ImageRect.Left, ImageRect.Top, index, true);
}

void TfvPainter::DrawFocusRect(const TRect& rect) {
  if (NoFocusRect || !Canvas) return;
  vprDrawFocusRect(*Canvas, rect);
}

namespace {

void MoveDown(TRect& r, int dy) {
  r.Top += dy;
  r.Bottom += dy;
}

}  // namespace

bool TgpPainter::Prepare() {
  if (Row > LastRow) return false;
  DefaultDrawing = true;
  if (DataLink) DataLink->SetActiveRecord(Row);
  if (Canvas) {
    RowAttrs = PaintInfo && Row < PaintInfo->RowAttrsCount() ? &PaintInfo->GetRowAttrs(Row) : nullptr;
    TgpCellAttrs* cell = RowAttrs ? RowAttrs->GetCellAttr(ColumnIndex) : nullptr;
    CellAttrs = cell;
    // The base font already holds the grid's, the designer's and the column's.
    TgpLookSources sources;
    sources.GridFont = &Font;
    sources.Row = RowAttrs;
    sources.Cell = cell;
    ResolveCellLook(sources, Canvas->Font());
  }
  Text.clear();
  fUnreadable = false;
  ImageIndex = OverlayIndex = -1;
  return true;
}

void TgpPainter::Next() {
  ++Row;
  MoveDown(CellRect, RowHeight);
  MoveDown(ClientRect, RowHeight);
  MoveDown(ImageRect, RowHeight);
  MoveDown(TextRect, RowHeight);
}

void TfvPainter::MarkUnreadable() {
  fUnreadable = true;
  if (Canvas) Canvas->Font()->SetColor(clGrayText);
}

// Function statics: made on first use, freed when the library is unloaded.
TfvPainter& EditPainter() {
  static TfvPainter painter(false);
  return painter;
}

TvpCellAttrs& EditCellAttrs() {
  static TvpCellAttrs attrs;
  return attrs;
}

}  // namespace zv
