#include "platform/graphics/Brush.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Pen.h"

#include <cstdint>
#include <cstdlib>

namespace zv {

ZV_DEFINE_CLASS(TGraphicsObject, TPersistent)
ZV_DEFINE_CLASS_WITH_PROPS(TFont, TGraphicsObject)
ZV_DEFINE_CLASS_WITH_PROPS(TPen, TGraphicsObject)
ZV_DEFINE_CLASS_WITH_PROPS(TBrush, TGraphicsObject)

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  const std::int64_t q = std::llabs(c);
  std::int64_t r = (std::llabs(p) + q / 2) / q;
  if ((p < 0) != (c < 0)) r = -r;
  if (r > INT32_MAX || r < INT32_MIN) return -1;
  return static_cast<int>(r);
}

namespace {
template <class T, class V>
bool Update(T& field, const V& value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TFont

void TFont::SetName(const String& name) {
  if (!name.empty() && Update(fData.Name, name)) Changed();
}
void TFont::SetHeight(int height) {
  if (Update(fData.Height, height)) Changed();
}
int TFont::Size() const { return -MulDiv(fData.Height, 72, fPixelsPerInch); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, fPixelsPerInch, 72)); }
void TFont::SetStyle(TFontStyles style) {
  if (Update(fData.Style, style)) Changed();
}
void TFont::SetColor(TColor color) {
  if (Update(fColor, color)) Changed();
}
void TFont::SetPitch(TFontPitch pitch) {
  if (Update(fData.Pitch, pitch)) Changed();
}
void TFont::SetCharset(TFontCharset charset) {
  if (Update(fData.Charset, charset)) Changed();
}
void TFont::SetOrientation(int orientation) {
  if (Update(fData.Orientation, orientation)) Changed();
}
void TFont::SetPixelsPerInch(int ppi) {
  if (ppi > 0) fPixelsPerInch = ppi;
}
void TFont::SetData(const TFontData& data) {
  TFontData d = data;
  if (d.Name.empty()) d.Name = fData.Name;
  if (Update(fData, d)) Changed();
}

void TFont::Assign(const TPersistent* source) {
  if (auto* f = dynamic_cast<const TFont*>(source)) {
    bool changed = Update(fData, f->fData);
    changed = Update(fColor, f->fColor) || changed;
    fPixelsPerInch = f->fPixelsPerInch;
    if (changed) Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TFont::DeclareProperties(TPropTable<TFont>& t) {
  t.Prop("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
  t.Prop("Color", &TFont::Color, &TFont::SetColor).Idents(ColorTypeInfo()).Default(clWindowText);
  t.Prop("Height", &TFont::Height, &TFont::SetHeight);
  t.Prop("Name", &TFont::Name, &TFont::SetName);
  t.Prop("Orientation", &TFont::Orientation, &TFont::SetOrientation).Default(0);
  t.Prop("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  t.Prop("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  t.Prop("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
}

// ---------------------------------------------------------------------------------------------
// TPen

void TPen::SetColor(TColor color) {
  if (Update(fData.Color, color)) Changed();
}
void TPen::SetWidth(int width) {
  if (width >= 0 && Update(fData.Width, width)) Changed();
}
void TPen::SetStyle(TPenStyle style) {
  if (Update(fData.Style, style)) Changed();
}
void TPen::SetMode(TPenMode mode) {
  if (Update(fData.Mode, mode)) Changed();
}

void TPen::Assign(const TPersistent* source) {
  if (auto* p = dynamic_cast<const TPen*>(source)) {
    if (Update(fData, p->fData)) Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TPen::DeclareProperties(TPropTable<TPen>& t) {
  t.Prop("Color", &TPen::Color, &TPen::SetColor).Idents(ColorTypeInfo()).Default(clBlack);
  t.Prop("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
  t.Prop("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  t.Prop("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

// ---------------------------------------------------------------------------------------------
// TBrush

void TBrush::SetColor(TColor color) {
  bool changed = Update(fData.Color, color);
  if (fData.Style == bsClear) {
    fData.Style = bsSolid;
    changed = true;
  }
  if (changed) Changed();
}
void TBrush::SetStyle(TBrushStyle style) {
  if (Update(fData.Style, style)) Changed();
}

void TBrush::Assign(const TPersistent* source) {
  if (auto* b = dynamic_cast<const TBrush*>(source)) {
    if (Update(fData, b->fData)) Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TBrush::DeclareProperties(TPropTable<TBrush>& t) {
  t.Prop("Color", &TBrush::Color, &TBrush::SetColor).Idents(ColorTypeInfo()).Default(clWhite);
  t.Prop("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

}  // namespace zv
