// The pack's cell looks: the title surface (a raised cell, inverted on the current row), the
// list drop-down's imaged text, and the colour picker (a swatch before the colour's name;
// names, identifiers and numbers posted as colours; the colour dialog on a double click).

#include "runtime/std/DefPack.h"

#include "platform/controls/Dialogs.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/NumberConv.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/FieldValue.h"
#include "runtime/vision/Painter.h"

namespace zv {

namespace {

// A colour's text back into the colour: an identifier or an integer (decimal or "$" hex).
bool TryTextToColor(const String& text, TColor& color) {
  if (text.empty()) return false;
  if (IdentToColor(text, color)) return true;
  int value = 0;
  if (!TryStrToInt(text, value)) return false;
  color = static_cast<TColor>(value);
  return true;
}

TField* MainFieldOf(TgpFieldList* fields) {
  return fields && fields->Count() > 0 ? fields->MainField() : nullptr;
}

void DrawSwatch(TfvPainter& painter) {
  TColor color = clNone;
  if (!painter.Canvas || !TryTextToColor(painter.Text, color)) return;
  TRect r = painter.ImageRect;
  InflateRect(r, -1, -1);
  if (r.IsEmpty()) return;
  TCanvas& canvas = *painter.Canvas;
  const TColor pen = canvas.Pen()->Color();
  const TColor brush = canvas.Brush()->Color();
  const TBrushStyle style = canvas.Brush()->Style();
  canvas.Pen()->SetColor(clBlack);
  canvas.Brush()->SetColor(color);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Rectangle(r);
  canvas.Pen()->SetColor(pen);
  canvas.Brush()->SetColor(brush);
  canvas.Brush()->SetStyle(style);
}

}  // namespace

void TzvDefPack::TitleSurfaceDraw(TObject*, TgpFieldList*, TgpPainter* painter) {
  if (!painter || !painter->Canvas) return;
  painter->DefaultDrawing = false;
  TRect r = painter->CellRect;
  DrawEdge(*painter->Canvas, r, BDR_RAISEDINNER, BF_RECT);
  painter->DrawText(painter->Text, taLeftJustify, tlaDefault, 0, 0);
  if (painter->RowAttrs && (painter->RowAttrs->Current || painter->RowAttrs->Selected)) {
    TRect inverted = painter->CellRect;
    InflateRect(inverted, 1, 1);
    InvertRect(*painter->Canvas, inverted);
  }
}

void TzvDefPack::ImagedTextDraw(TObject*, TgpFieldList* fields, TgpPainter* painter) {
  if (!painter || !fields || fields->Count() < 2) return;
  if (TField* image = fields->Items(1)) painter->ImageIndex = image->IsNull() ? -1 : image->AsInteger();
}

void TzvDefPack::ColorPickerGetText(TObject*, TgpFieldList* fields, bool, String& value) {
  TField* field = MainFieldOf(fields);
  if (!field) return;
  value = field->IsNull() ? String() : ColorToString(static_cast<TColor>(field->AsInteger()));
}

void TzvDefPack::ColorPickerDraw(TObject*, TgpFieldList*, TgpPainter* painter) {
  if (painter) DrawSwatch(*painter);
}

void TzvDefPack::ColorPickerDrawEdit(TObject*, TgpFieldList*, TfvPainter* painter) {
  if (painter) DrawSwatch(*painter);
}

void TzvDefPack::ColorPickerBeforePost(TObject*, TgpFieldList* fields, TgpFieldValue* value, bool& posted) {
  TField* field = MainFieldOf(fields);
  if (!field || !value) return;
  const String text = value->AsString();
  TColor color = clNone;
  if (!text.empty() && !IdentToColor(text, color)) color = static_cast<TColor>(StrToInt(text));
  field->SetAsInteger(static_cast<int>(color));
  posted = true;
}

void TzvDefPack::ColorPickerDblClick(TObject*, TgpFieldList* fields) {
  TField* field = MainFieldOf(fields);
  if (!field) return;
  TColorDialog dialog(nullptr);
  dialog.SetColor(field->IsNull() ? clBlack : static_cast<TColor>(field->AsInteger()));
  if (dialog.Execute() && fields->Edit()) field->SetAsInteger(static_cast<int>(dialog.Color()));
}

}  // namespace zv
