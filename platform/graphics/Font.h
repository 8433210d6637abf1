#pragma once
// TFont: typeface, size, style and colour of text. Height is in pixels with the host's sign
// rule: negative is the character (em) height, positive the cell height including internal
// leading, 0 the default. Size is in points at PixelsPerInch (96 unless set):
// Height = -MulDiv(Size, PixelsPerInch, 72). Forms store Height; Size is derived.

#include "platform/graphics/GraphicsObject.h"
#include "platform/rtl/Set.h"

namespace zv {

ZV_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut);
using TFontStyles = TSet<TFontStyle>;
ZV_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed);
using TFontCharset = unsigned char;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;

inline constexpr const char DefaultFontName[] = "DejaVu Sans";
inline constexpr int DefaultFontHeight = -11;  // 8 points at 96 pixels per inch
inline constexpr int ScreenPixelsPerInch = 96;

// What a backend needs to pick a typeface: the font without its colour.
struct TFontData {
  String Name = DefaultFontName;
  int Height = DefaultFontHeight;
  TFontStyles Style;
  TFontPitch Pitch = fpDefault;
  TFontCharset Charset = DEFAULT_CHARSET;
  int Orientation = 0;  // tenths of a degree
  bool operator==(const TFontData&) const = default;
};


class TFont : public TGraphicsObject {
  ZV_CLASS(TFont, TGraphicsObject)

public:
  TFont() = default;

  const String& Name() const { return fData.Name; }
  void SetName(const String& name);  // an empty name is ignored, as on the host
  int Height() const { return fData.Height; }
  void SetHeight(int height);
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return fData.Style; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return fColor; }
  void SetColor(TColor color);
  TFontPitch Pitch() const { return fData.Pitch; }
  void SetPitch(TFontPitch pitch);
  TFontCharset Charset() const { return fData.Charset; }
  void SetCharset(TFontCharset charset);
  int Orientation() const { return fData.Orientation; }
  void SetOrientation(int orientation);
  // Changing the resolution keeps Height (the pixels) and so changes Size.
  int PixelsPerInch() const { return fPixelsPerInch; }
  void SetPixelsPerInch(int ppi);

  const TFontData& Data() const { return fData; }
  void SetData(const TFontData& data);

  // Copies another font's data, colour and resolution; one OnChange at most.
  void Assign(const TPersistent* source) override;

  static void DeclareProperties(TPropTable<TFont>& t);

private:
  TFontData fData;
  TColor fColor = clWindowText;
  int fPixelsPerInch = ScreenPixelsPerInch;
};

}  // namespace zv
