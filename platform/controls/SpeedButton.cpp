#include "platform/controls/SpeedButton.h"

#include "platform/controls/WinApi.h"
#include "platform/controls/WinControl.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TSpeedButton, TGraphicControl)

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), fGlyph(std::make_unique<TBitmap>()) {
  SetControlStyle({csCaptureMouse, csDoubleClicks});
  SetBounds(0, 0, 23, 22);
  fGlyph->OnChange = [this](TObject* sender) { GlyphChanged(sender); };
}

TSpeedButton::~TSpeedButton() {
  Destroying();
  fGlyph->OnChange = nullptr;
}

void TSpeedButton::GlyphChanged(TObject*) {
  fImagesValid = false;
  Invalidate();
}

void TSpeedButton::SetGlyph(const TBitmap* glyph) {
  fGlyph->Assign(glyph);
  GlyphChanged(nullptr);
}

void TSpeedButton::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (fNumGlyphs == value) return;
  fNumGlyphs = value;
  GlyphChanged(nullptr);
}

void TSpeedButton::SetLayout(TButtonLayout value) {
  if (fLayout == value) return;
  fLayout = value;
  Invalidate();
}

void TSpeedButton::SetMargin(int value) {
  value = std::max(value, -1);
  if (fMargin == value) return;
  fMargin = value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
  value = std::max(value, -1);
  if (fSpacing == value) return;
  fSpacing = value;
  Invalidate();
}

void TSpeedButton::SetFlat(bool value) {
  if (fFlat == value) return;
  fFlat = value;
  if (!value) fMouseInControl = false;
  Invalidate();
}

void TSpeedButton::SetDown(bool value) {
  if (fGroupIndex == 0) value = false;
  if (value == fDown) return;
  // The down button of a group stays down unless the group allows all up.
  if (fDown && !fAllowAllUp) return;
  fDown = value;
  fState = value ? bsExclusive : bsUp;
  Invalidate();
  if (value) UpdateExclusive();
}

void TSpeedButton::SetState(TButtonState value) {
  if (!Enabled()) value = bsDisabled;
  else if (value == bsDisabled) value = fDown ? bsExclusive : bsUp;
  if (value == fState) return;
  fState = value;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
  if (fGroupIndex == value) return;
  fGroupIndex = value;
  if (value == 0 && fDown) {
    fDown = false;
    fState = bsUp;
    Invalidate();
  }
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
  if (fAllowAllUp == value) return;
  fAllowAllUp = value;
  UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (fGroupIndex == 0 || !fParent) return;
  for (int i = 0; i < fParent->ControlCount(); ++i) {
    TControl* c = fParent->Controls(i);
    if (c != this) c->Perform(CM_BUTTONPRESSED, static_cast<WPARAM>(fGroupIndex), reinterpret_cast<LPARAM>(this));
  }
}

void TSpeedButton::CMButtonPressed(TMessage& m) {
  auto* sender = reinterpret_cast<TSpeedButton*>(m.LParam);
  if (static_cast<int>(m.WParam) != fGroupIndex || sender == this || !sender) return;
  if (sender->Down() && fDown) {
    fDown = false;
    fState = bsUp;
    Invalidate();
  }
  fAllowAllUp = sender->AllowAllUp();
}

void TSpeedButton::Dispatch(TMessage& m) {
  if (m.Msg == CM_BUTTONPRESSED) return CMButtonPressed(m);
  TGraphicControl::Dispatch(m);
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

// --- Mouse -----------------------------------------------------------------------------------------

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (!fDown) {
    fState = bsDown;
    Invalidate();
  }
  fDragging = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!fDragging) return;
  const bool inside = PtInRect(ClientRect(), {x, y});
  const TButtonState state = fDown ? bsExclusive : inside ? bsDown : bsUp;
  if (state == fState) return;
  fState = state;
  Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!fDragging || button != mbLeft) return;
  fDragging = false;
  const bool doClick = PtInRect(ClientRect(), {x, y});
  if (fGroupIndex != 0 && doClick) SetDown(!fDown);
  fState = fDown ? bsExclusive : bsUp;
  fMouseInControl = fFlat && Enabled() && PtInRect(ClientRect(), ScreenToClient(GetCursorPos()));
  Invalidate();
  if (doClick) Click();
}

void TSpeedButton::CMMouseEnter(TMessage& m) {
  TGraphicControl::CMMouseEnter(m);
  if (fFlat && !fMouseInControl && Enabled() && (fDragging || GetCapture() == HWND{})) {
    fMouseInControl = true;
    Invalidate();
  }
}

void TSpeedButton::CMMouseLeave(TMessage& m) {
  TGraphicControl::CMMouseLeave(m);
  if (fFlat && fMouseInControl && !fDragging) {
    fMouseInControl = false;
    Invalidate();
  }
}

void TSpeedButton::CMEnabledChanged(TMessage& m) {
  TGraphicControl::CMEnabledChanged(m);
  if (!Enabled()) {
    fMouseInControl = false;
    fDragging = false;
  }
  Invalidate();
}

void TSpeedButton::CMTextChanged(TMessage& m) {
  TGraphicControl::CMTextChanged(m);
  Invalidate();
}

void TSpeedButton::CMFontChanged(TMessage& m) {
  TGraphicControl::CMFontChanged(m);
  Invalidate();
}

// --- Layout and painting ---------------------------------------------------------------------------

void TSpeedButton::CalcLayout(TRect& glyphRect, TRect& textRect) {
  const TRect client = ClientRect();
  TSize text{0, 0};
  if (!Caption().empty()) {
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.Canvas()->SetFont(Font());
    TRect r{0, 0, client.Width(), 0};
    DrawText(*measure.Canvas(), Caption(), r, DT_CALCRECT | DT_SINGLELINE);
    text = {r.Width(), r.Height()};
  }
  const TSize glyph = fGlyph->Empty() ? TSize{0, 0} : TSize{fGlyph->Width() / fNumGlyphs, fGlyph->Height()};
  const bool horizontal = fLayout == blGlyphLeft || fLayout == blGlyphRight;
  const int along = horizontal ? client.Width() : client.Height();
  const int g = horizontal ? glyph.cx : glyph.cy, t = horizontal ? text.cx : text.cy;
  int margin = fMargin;
  int spacing = glyph.cx == 0 || text.cx == 0 ? 0 : fSpacing;
  if (margin == -1) {
    if (spacing == -1) {
      margin = (along - g - t) / 3;
      spacing = margin;
    } else {
      margin = (along - g - spacing - t + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (along - margin - g - t) / 2;
  }
  int glyphAt = 0, textAt = 0;
  switch (fLayout) {
    case blGlyphLeft:
    case blGlyphTop:
      glyphAt = margin;
      textAt = glyphAt + g + spacing;
      break;
    case blGlyphRight:
    case blGlyphBottom:
      glyphAt = along - margin - g;
      textAt = glyphAt - spacing - t;
      break;
  }
  // Across the layout both are centred.
  const int across = horizontal ? client.Height() : client.Width();
  const int glyphAcross = ((across - (horizontal ? glyph.cy : glyph.cx) + 1) / 2);
  const int textAcross = ((across - (horizontal ? text.cy : text.cx) + 1) / 2);
  if (horizontal) {
    glyphRect = {glyphAt, glyphAcross, glyphAt + glyph.cx, glyphAcross + glyph.cy};
    textRect = {textAt, textAcross, textAt + text.cx, textAcross + text.cy};
  } else {
    glyphRect = {glyphAcross, glyphAt, glyphAcross + glyph.cx, glyphAt + glyph.cy};
    textRect = {textAcross, textAt, textAcross + text.cx, textAt + text.cy};
  }
}

void TSpeedButton::DrawGlyph(TCanvas& canvas, TPoint at) {
  if (fGlyph->Empty()) return;
  if (!fImagesValid) {
    fImages = std::make_unique<TCustomImageList>(nullptr);
    fImages->SetWidth(std::max(fGlyph->Width() / fNumGlyphs, 1));
    fImages->SetHeight(fGlyph->Height());
    fImages->AddMasked(fGlyph.get(), fGlyph->TransparentColor());
    fImagesValid = true;
  }
  int index = 0;
  bool enabled = true;
  switch (fState) {
    case bsUp: break;
    case bsDisabled:
      if (fNumGlyphs > 1)
        index = 1;
      else
        enabled = false;  // generated: the up image embossed
      break;
    case bsDown: index = fNumGlyphs > 2 ? 2 : 0; break;
    case bsExclusive: index = fNumGlyphs > 3 ? 3 : 0; break;
  }
  fImages->Draw(&canvas, at.X, at.Y, index, enabled);
}

void TSpeedButton::Paint() {
  if (!Enabled()) {
    fState = bsDisabled;
    fDragging = false;
  } else if (fState == bsDisabled) {
    fState = fDown && fGroupIndex != 0 ? bsExclusive : bsUp;
  }
  TCanvas& c = *Canvas();
  TRect r = ClientRect();
  const bool pressed = fState == bsDown || fState == bsExclusive;
  if (!fFlat) {
    DrawFrameControl(c, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
  } else if (pressed || fMouseInControl) {
    DrawEdge(c, r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  }
  if (fState == bsExclusive && (!fFlat || !fMouseInControl)) {
    // The host dithers the face of a down button; a plain highlight here.
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(clBtnHighlight);
    c.FillRect(r);
  }
  const TPoint offset = pressed ? TPoint{1, 1} : TPoint{0, 0};
  TRect glyphRect, textRect;
  CalcLayout(glyphRect, textRect);
  DrawGlyph(c, {glyphRect.Left + offset.X, glyphRect.Top + offset.Y});
  if (Caption().empty()) return;
  OffsetRect(textRect, offset.X, offset.Y);
  c.SetFont(Font());
  c.Brush()->SetStyle(bsClear);
  const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (fState == bsDisabled) {
    TRect lit = textRect;
    OffsetRect(lit, 1, 1);
    c.Font()->SetColor(clBtnHighlight);
    DrawText(c, Caption(), lit, format);
    c.Font()->SetColor(clBtnShadow);
  }
  DrawText(c, Caption(), textRect, format);
  c.Brush()->SetStyle(bsSolid);
}

// In the host's order, inherited properties among the button's own.
void TSpeedButton::DeclareProperties(TPropTable<TSpeedButton>& t) {
  t.Prop("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(0);
  t.Prop("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  t.Prop("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(0);
  for (const char* name : {"Caption", "Enabled"}) t.Publish(name);
  t.Prop("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(0);
  t.Publish("Font");
  t.Prop("Glyph", &TSpeedButton::Glyph);
  t.Prop("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
  t.Prop("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
  t.Prop("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
  for (const char* name : {"ParentFont", "ParentShowHint", "PopupMenu", "ShowHint"}) t.Publish(name);
  t.Prop("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
  DeclareSizing(t, true, true);
  for (const char* name : {"Visible", "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"})
    t.Publish(name);
}

}  // namespace zv
