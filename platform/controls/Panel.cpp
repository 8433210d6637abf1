#include "platform/controls/Panel.h"

#include <algorithm>
#include <array>

namespace zv {

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  canvas.Pen()->SetStyle(psSolid);
  canvas.Pen()->SetWidth(1);
  // Lines leave out their end point: the right and bottom edges are one pixel inside.
  --rect.Bottom;
  --rect.Right;
  for (; width > 0; --width) {
    const std::array<TPoint, 3> topLeft{TPoint{rect.Left, rect.Bottom}, TPoint{rect.Left, rect.Top},
                                         TPoint{rect.Right, rect.Top}};
    canvas.Pen()->SetColor(topColor);
    canvas.Polyline(topLeft);
    const std::array<TPoint, 3> bottomRight{TPoint{rect.Right, rect.Top}, TPoint{rect.Right, rect.Bottom},
                                             TPoint{rect.Left - 1, rect.Bottom}};
    canvas.Pen()->SetColor(bottomColor);
    canvas.Polyline(bottomRight);
    InflateRect(rect, -1, -1);
  }
  ++rect.Bottom;
  ++rect.Right;
}

namespace {

// The host's panel colours: only a lowered bevel is dark at the top left.
void BevelColors(TBevelCut bevel, TColor& top, TColor& bottom) {
  top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
  bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

}  // namespace

ZV_DEFINE_CLASS_WITH_PROPS(TCustomPanel, TCustomControl)
ZV_DEFINE_CLASS_WITH_PROPS(TPanel, TCustomPanel)

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks,
                   csReplicatable});
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::Changed() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (fBevelInner == value) return;
  fBevelInner = value;
  Changed();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (fBevelOuter == value) return;
  fBevelOuter = value;
  Changed();
}

void TCustomPanel::SetBevelWidth(int value) {
  value = std::max(value, 1);
  if (fBevelWidth == value) return;
  fBevelWidth = value;
  Changed();
}

void TCustomPanel::SetBorderWidth(int value) {
  value = std::max(value, 0);
  if (fBorderWidth == value) return;
  fBorderWidth = value;
  Changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value != bsNone) value = bsSingle;
  if (fBorderStyle == value) return;
  fBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
  Realign();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (fAlignment == value) return;
  fAlignment = value;
  Invalidate();
}

void TCustomPanel::SetVerticalAlignment(TVerticalAlignment value) {
  if (fVerticalAlignment == value) return;
  fVerticalAlignment = value;
  Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (fBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::AdjustClientRect(TRect& rect) const {
  InflateRect(rect, -fBorderWidth, -fBorderWidth);
  int bevel = 0;
  if (fBevelOuter != bvNone) bevel += fBevelWidth;
  if (fBevelInner != bvNone) bevel += fBevelWidth;
  InflateRect(rect, -bevel, -bevel);
}

void TCustomPanel::AlignControls(TControl* control, TRect& rect) {
  AdjustClientRect(rect);
  TCustomControl::AlignControls(control, rect);
}

void TCustomPanel::Resize() {
  if (fFullRepaint) Invalidate();
  TCustomControl::Resize();
}

void TCustomPanel::CMTextChanged(TMessage& message) {
  TCustomControl::CMTextChanged(message);
  Invalidate();
}

void TCustomPanel::Paint() {
  TCanvas& c = *Canvas();
  TRect r = ClientRect();
  TColor top = clNone, bottom = clNone;
  if (fBevelOuter != bvNone) {
    BevelColors(fBevelOuter, top, bottom);
    Frame3D(c, r, top, bottom, fBevelWidth);
  }
  Frame3D(c, r, Color(), Color(), fBorderWidth);
  if (fBevelInner != bvNone) {
    BevelColors(fBevelInner, top, bottom);
    Frame3D(c, r, top, bottom, fBevelWidth);
  }
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  if (Caption().empty()) return;
  c.Brush()->SetStyle(bsClear);
  c.SetFont(Font());
  const int textHeight = c.TextHeight("W");
  switch (fVerticalAlignment) {
    case taAlignTop: break;
    case taAlignBottom: r.Top = r.Bottom - textHeight; break;
    case taVerticalCenter: r.Top = (r.Top + r.Bottom - textHeight) / 2; break;
  }
  r.Bottom = r.Top + textHeight;
  const unsigned align = fAlignment == taLeftJustify ? DT_LEFT : fAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
  DrawText(c, Caption(), r, DT_EXPANDTABS | DT_SINGLELINE | align);
  c.Brush()->SetStyle(bsSolid);
}

void TCustomPanel::DeclareProperties(TPropTable<TCustomPanel>& t) {
  t.Prop("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter).Unpublished();
  t.Prop("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).Default(bvNone).Unpublished();
  t.Prop("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter).Default(bvRaised).Unpublished();
  t.Prop("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1).Unpublished();
  t.Prop("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth).Default(0).Unpublished();
  t.Prop("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle).Default(bsNone).Unpublished();
  t.Prop("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(1).Unpublished();
  t.Prop("VerticalAlignment", &TCustomPanel::VerticalAlignment, &TCustomPanel::SetVerticalAlignment)
      .Default(taVerticalCenter)
      .Unpublished();
  DeclareSizing(t);
}

// The host's TPanel list, less what this host has no property for.
void TPanel::DeclareProperties(TPropTable<TPanel>& t) {
  for (const char* name :
       {"Align", "Alignment", "Anchors", "BevelInner", "BevelOuter", "BevelWidth", "BorderWidth", "BorderStyle", "Caption",
        "Color", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled", "FullRepaint", "Font", "ParentColor", "ParentFont",
        "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "VerticalAlignment", "Visible", "OnClick",
        "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnMouseDown",
        "OnMouseMove", "OnMouseUp", "OnResize", "OnStartDrag"})
    t.Publish(name);
}

}  // namespace zv
