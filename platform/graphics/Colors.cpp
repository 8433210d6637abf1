#include "platform/graphics/Colors.h"

#include "platform/classes/TypeInfo.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"

#include <iterator>

namespace zv {

namespace {

// The classic "Windows Standard" scheme, by colour index.
constexpr TColor Palette[] = {
    RGB(212, 208, 200),  // scroll bar
    RGB(58, 110, 165),   // background (desktop)
    RGB(10, 36, 106),    // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(212, 208, 200),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(212, 208, 200),  // active border
    RGB(212, 208, 200),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(10, 36, 106),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(212, 208, 200),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // gray text
    RGB(0, 0, 0),        // button text
    RGB(212, 208, 200),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3D dark shadow
    RGB(212, 208, 200),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(181, 181, 181),  // (unused index 25)
    RGB(0, 0, 128),      // hot light
    RGB(166, 202, 240),  // gradient active caption
    RGB(192, 192, 192),  // gradient inactive caption
    RGB(10, 36, 106),    // menu highlight
    RGB(212, 208, 200),  // menu bar
};

struct TColorName {
  TColor Color;
  const char* Name;
};

// The host's colour names (IdentToColor), in its order.
constexpr TColorName Names[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"}, {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"}, {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"}, {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"}, {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
    {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"}, {clMenuHighlight, "clMenuHighlight"}, {clMenuText, "clMenuText"},
    {clNone, "clNone"}, {clScrollBar, "clScrollBar"}, {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
};

}  // namespace

TColor DefaultSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(Palette))) return clBlack;
  return Palette[index];
}

TColor GetSysColor(int index) {
  return HasGraphicsBackend() ? GraphicsBackend().SysColor(index) : DefaultSysColor(index);
}

TColor ColorToRGB(TColor color) { return color < 0 ? GetSysColor(color & 0xFF) : color; }

bool ColorToIdent(TColor color, String& ident) {
  for (const TColorName& n : Names)
    if (n.Color == color) {
      ident = n.Name;
      return true;
    }
  return false;
}

void GetColorValues(const TGetStrProc& proc) {
  if (!proc) return;
  for (const TColorName& n : Names) proc(n.Name);
}

bool IdentToColor(std::string_view ident, TColor& color) {
  for (const TColorName& n : Names)
    if (SameText(ident, n.Name)) {
      color = n.Color;
      return true;
    }
  return false;
}

const TTypeInfo* ColorTypeInfo() {
  static const TTypeInfo* type = RegisterIntegerConsts("TColor", &IdentToColor, &ColorToIdent);
  return type;
}

String ColorToString(TColor color) {
  String s;
  if (ColorToIdent(color, s)) return s;
  return "$" + IntToHex(color, 8);
}

TColor StringToColor(std::string_view text) {
  TColor c;
  if (IdentToColor(text, c)) return c;
  return StrToInt(text);
}

}  // namespace zv
