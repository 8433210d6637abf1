#include "runtime/rtm/ChildFont.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TChildFont, TPersistent)

void TChildFont::DeclareProperties(TPropTable<TChildFont>& t) {
  t.Prop("Name", &TChildFont::Name, &TChildFont::SetName);
  t.Prop("Color", &TChildFont::Color, &TChildFont::SetColor).Default(clNone).Idents(ColorTypeInfo());
  t.Prop("Style", &TChildFont::Style, &TChildFont::SetStyle).Default(TFontStyles{});
}

void TChildFont::SetName(const String& name) {
  if (fName == name) return;
  fName = name;
  Changed();
}

void TChildFont::SetColor(TColor color) {
  if (fColor == color) return;
  fColor = color;
  Changed();
}

void TChildFont::SetStyle(TFontStyles style) {
  if (fStyle == style) return;
  fStyle = style;
  Changed();
}

void TChildFont::Changed() {
  if (OnChange) OnChange(this);
}

void TChildFont::Assign(const TPersistent* source) {
  String name;
  TColor color;
  TFontStyles style;
  if (auto* font = dynamic_cast<const TFont*>(source)) {
    name = font->Name();
    color = font->Color();
    style = font->Style();
  } else if (auto* child = dynamic_cast<const TChildFont*>(source)) {
    name = child->fName;
    color = child->fColor;
    style = child->fStyle;
  } else {
    TPersistent::Assign(source);
    return;
  }
  if (name == fName && color == fColor && style == fStyle) return;
  fName = std::move(name);
  fColor = color;
  fStyle = style;
  Changed();
}

void TChildFont::CopyTo(TFont& font) const {
  if (!fName.empty()) font.SetName(fName);
  if (fColor != clNone) font.SetColor(fColor);
  if (!fStyle.Empty()) font.SetStyle(fStyle);
}

bool TChildFont::Equals(const TChildFont& other) const {
  return fName == other.fName && fColor == other.fColor && fStyle == other.fStyle;
}

}  // namespace zv
