// Panels (bevels, border, caption, the client area children align in) and speed buttons
// (groups, pressing, flat hover, glyph layout, glyph images) on the headless backend.

#include "HarnessTest.h"

#include "platform/controls/Panel.h"
#include "platform/controls/SpeedButton.h"
#include "platform/null/NullBackend.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

class PanelButton : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    form = h->TopLevel(50, 50, 400, 300);
  }
  TPanel* Panel(int x, int y, int w, int h) {
    auto* p = new TPanel(form);
    p->SetParent(form);
    p->SetBounds(x, y, w, h);
    return p;
  }
  TSpeedButton* Button(TWinControl* parent, int x, int y, int w = 23, int hgt = 22) {
    auto* b = new TSpeedButton(parent);
    b->SetParent(parent);
    b->SetBounds(x, y, w, hgt);
    b->OnClick = [this, b](TObject* sender) {
      EXPECT_EQ(sender, b);
      ++clicks;
    };
    return b;
  }
  // The null surface of control's window and where its client area lies on it.
  TNullSurface* Surface(TWinControl* control, TPoint& origin) {
    return AsNullSurface(RetainedSurfaceOf(control->Handle(), &origin));
  }

  TProbe* form = nullptr;
  int clicks = 0;
};

TEST_F(PanelButton, APanelsChildrenAlignInsideItsBorderAndBevels) {
  TPanel* panel = Panel(10, 10, 200, 100);
  EXPECT_TRUE(panel->ControlStyle().Contains(csAcceptsControls));
  EXPECT_EQ(panel->Color(), clBtnFace);
  auto* fill = new TProbe(panel, "F", nullptr);
  fill->SetParent(panel);
  fill->SetAlign(alClient);
  EXPECT_EQ(fill->BoundsRect(), Rect(1, 1, 199, 99)) << "the default raised outer bevel";

  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(3);
  EXPECT_EQ(fill->BoundsRect(), Rect(7, 7, 193, 93));
  panel->SetBevelOuter(bvNone);
  EXPECT_EQ(fill->BoundsRect(), Rect(5, 5, 195, 95));
  panel->SetBevelWidth(0);
  EXPECT_EQ(panel->BevelWidth(), 1) << "at least one pixel";
  EXPECT_EQ(fill->BoundsRect(), Rect(4, 4, 196, 96));

  panel->SetBorderStyle(bsSingle);
  h->Pump();
  EXPECT_EQ(panel->ClientRect(), Rect(0, 0, 196, 96)) << "a sunken client edge outside the client area";
  EXPECT_EQ(fill->BoundsRect(), Rect(4, 4, 192, 92));
  TRect adjusted = panel->ClientRect();
  panel->AdjustClientRect(adjusted);
  EXPECT_EQ(adjusted, Rect(4, 4, 192, 92));
}

TEST_F(PanelButton, APanelPaintsItsBevelsAndCaption) {
  TPanel* panel = Panel(10, 10, 100, 40);
  panel->SetBevelInner(bvLowered);
  panel->SetCaption("Hi");
  TPoint origin;
  TNullSurface* surface = Surface(panel, origin);
  ASSERT_NE(surface, nullptr);
  h->Pump();
  const TColor light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow);
  EXPECT_EQ(h->Pixel(panel, 0, 0), light) << "raised outside: light at the top left";
  EXPECT_EQ(h->Pixel(panel, 0, 38), light);
  EXPECT_EQ(h->Pixel(panel, 0, 39), dark) << "the bottom edge is dark to the very left";
  EXPECT_EQ(h->Pixel(panel, 99, 39), dark);
  EXPECT_EQ(h->Pixel(panel, 99, 0), dark) << "the right edge is dark from the very top";
  EXPECT_EQ(h->Pixel(panel, 1, 1), dark) << "lowered inside: dark at the top left";
  EXPECT_EQ(h->Pixel(panel, 98, 38), light);
  EXPECT_EQ(h->Pixel(panel, 10, 5), ColorToRGB(clBtnFace));

  auto captionOp = [&]() {
    std::vector<TPaintOp> ops = surface->OpsOf(TPaintOpKind::DrawText);
    EXPECT_FALSE(ops.empty());
    return ops.empty() ? TPaintOp{} : ops.back();
  };
  TPaintOp op = captionOp();
  EXPECT_EQ(op.Text, "Hi");
  EXPECT_TRUE(op.Flags & DT_CENTER);
  // Inside the bevels (2..38), one line of text (13 pixels) centred.
  EXPECT_EQ(op.Rect, Rect(origin.X + 2, origin.Y + 13, origin.X + 98, origin.Y + 26));

  surface->ClearOps();
  panel->SetAlignment(taRightJustify);
  panel->SetVerticalAlignment(taAlignBottom);
  h->Pump();
  op = captionOp();
  EXPECT_TRUE(op.Flags & DT_RIGHT);
  EXPECT_EQ(op.Rect.Bottom, origin.Y + 38);

  surface->ClearOps();
  panel->SetCaption("");
  h->Pump();
  EXPECT_TRUE(surface->OpsOf(TPaintOpKind::DrawText).empty()) << "a caption change repaints";
}

TEST_F(PanelButton, SpeedButtonsOfAGroupAreExclusive) {
  TSpeedButton* b1 = Button(form, 0, 0);
  TSpeedButton* b2 = Button(form, 30, 0);
  TSpeedButton* b3 = Button(form, 60, 0);
  TSpeedButton* other = Button(form, 90, 0);
  TPanel* elsewhere = Panel(0, 100, 100, 40);
  TSpeedButton* far = Button(elsewhere, 5, 5);
  for (TSpeedButton* b : {b1, b2, b3, far}) b->SetGroupIndex(1);
  other->SetGroupIndex(2);
  far->SetDown(true);
  other->SetDown(true);

  h->Click(b1, 5, 5);
  EXPECT_TRUE(b1->Down());
  EXPECT_EQ(b1->State(), bsExclusive);
  h->Click(b2, 5, 5);
  EXPECT_TRUE(b2->Down());
  EXPECT_FALSE(b1->Down());
  EXPECT_EQ(b1->State(), bsUp);
  EXPECT_TRUE(other->Down()) << "another group";
  EXPECT_TRUE(far->Down()) << "another parent";
  h->Click(b2, 5, 5);
  EXPECT_TRUE(b2->Down()) << "the down button stays down without AllowAllUp";
  b2->SetDown(false);
  EXPECT_TRUE(b2->Down());
  EXPECT_EQ(clicks, 3) << "every click still clicks";

  b1->SetAllowAllUp(true);
  EXPECT_TRUE(b2->AllowAllUp()) << "the group shares AllowAllUp";
  EXPECT_FALSE(far->AllowAllUp());
  h->Click(b2, 5, 5);
  EXPECT_FALSE(b2->Down());
  for (TSpeedButton* b : {b1, b2, b3}) EXPECT_FALSE(b->Down());

  b3->SetDown(true);
  b1->SetDown(true);
  EXPECT_FALSE(b3->Down());
  b1->SetGroupIndex(0);
  EXPECT_FALSE(b1->Down()) << "leaving the group puts it up";
  b1->SetDown(true);
  EXPECT_FALSE(b1->Down()) << "only buttons of a group can be down";
}

TEST_F(PanelButton, ASpeedButtonClicksOnReleaseInside) {
  TSpeedButton* b = Button(form, 10, 10, 40, 30);
  h->MouseDown(b, 5, 5);
  EXPECT_EQ(b->State(), bsDown) << "pressed while held inside";
  h->MouseMove(b, 60, 5);
  EXPECT_EQ(b->State(), bsUp) << "up while the mouse is outside";
  h->MouseMove(b, 6, 6);
  EXPECT_EQ(b->State(), bsDown);
  h->MouseMove(b, -20, 5);
  h->MouseUp(b, -20, 5);
  EXPECT_EQ(clicks, 0) << "released outside";
  EXPECT_EQ(b->State(), bsUp);

  h->Click(b, 20, 20);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b->State(), bsUp);
  h->MouseDown(b, 20, 20, mbRight);
  h->MouseUp(b, 20, 20, mbRight);
  EXPECT_EQ(clicks, 1) << "the right button does not click";

  b->SetEnabled(false);
  h->Click(b, 20, 20);
  EXPECT_EQ(clicks, 1);
  h->Pump();
  EXPECT_EQ(b->State(), bsDisabled);
  b->SetEnabled(true);
  h->Pump();
  EXPECT_EQ(b->State(), bsUp);
}

TEST_F(PanelButton, ASpeedButtonShownPressedFromCodeUntilTheMouseComes) {
  TSpeedButton* b = Button(form, 10, 10, 40, 30);
  h->Pump();
  const TColor up = h->Pixel(form, 10, 10);
  b->SetState(bsDown);
  EXPECT_EQ(b->State(), bsDown);
  h->Pump();
  EXPECT_NE(h->Pixel(form, 10, 10), up) << "painted pressed";
  EXPECT_EQ(clicks, 0) << "showing it pressed clicks nothing";
  b->SetState(bsUp);
  h->Pump();
  EXPECT_EQ(h->Pixel(form, 10, 10), up);
  b->SetState(bsDown);
  h->Click(b, 5, 5);
  EXPECT_EQ(b->State(), bsUp) << "the mouse sets the look again";
  b->SetEnabled(false);
  b->SetState(bsDown);
  EXPECT_EQ(b->State(), bsDisabled);
  b->SetEnabled(true);
  b->SetState(bsDisabled);
  EXPECT_EQ(b->State(), bsUp) << "an enabled button is never shown disabled";
}

TEST_F(PanelButton, AFlatSpeedButtonShowsItsFrameUnderTheMouse) {
  TSpeedButton* b = Button(form, 10, 10, 40, 30);
  b->SetFlat(true);
  TPoint origin;
  TNullSurface* surface = Surface(form, origin);
  auto edges = [&]() {
    int n = 0;
    for (const TPaintOp& op : surface->OpsOf(TPaintOpKind::DrawEdge))
      if (op.Rect.Left >= origin.X + 10 && op.Rect.Right <= origin.X + 50) ++n;
    return n;
  };
  h->MouseMove(form, 200, 200);
  surface->ClearOps();
  form->Invalidate();
  h->Pump();
  EXPECT_EQ(edges(), 0) << "no frame while the mouse is away";

  surface->ClearOps();
  h->MouseMove(b, 5, 5);
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_EQ(edges(), 1);

  h->MouseDown(b, 5, 5);
  h->MouseMove(b, 80, 5);
  EXPECT_TRUE(b->MouseInControl()) << "kept while the button is held";
  h->MouseUp(b, 80, 5);
  h->MouseMove(form, 200, 200);
  EXPECT_FALSE(b->MouseInControl());
  surface->ClearOps();
  form->Invalidate();
  h->Pump();
  EXPECT_EQ(edges(), 0) << "gone once the mouse left";

  b->SetFlat(false);
  surface->ClearOps();
  h->Pump();
  EXPECT_FALSE(surface->OpsOf(TPaintOpKind::DrawFrameControl).empty()) << "a raised button frame";
}

TEST_F(PanelButton, GlyphAndCaptionLayout) {
  TSpeedButton* b = Button(form, 0, 0, 80, 30);
  TBitmap glyph;
  glyph.SetSize(16, 16);
  b->SetGlyph(&glyph);
  b->SetCaption("Go");  // 12 x 13 with the null metrics
  TRect g, t;
  b->CalcLayout(g, t);
  EXPECT_EQ(g, Rect(24, 7, 40, 23)) << "glyph, spacing and caption centred together";
  EXPECT_EQ(t, Rect(44, 9, 56, 22));

  b->SetLayout(blGlyphRight);
  b->CalcLayout(g, t);
  EXPECT_EQ(g, Rect(40, 7, 56, 23));
  EXPECT_EQ(t, Rect(24, 9, 36, 22));

  b->SetBounds(0, 0, 80, 50);
  b->SetLayout(blGlyphTop);
  b->CalcLayout(g, t);
  EXPECT_EQ(g, Rect(32, 9, 48, 25));
  EXPECT_EQ(t, Rect(34, 29, 46, 42));
  b->SetLayout(blGlyphBottom);
  b->CalcLayout(g, t);
  EXPECT_EQ(g, Rect(32, 25, 48, 41));
  EXPECT_EQ(t, Rect(34, 8, 46, 21));

  b->SetBounds(0, 0, 80, 30);
  b->SetLayout(blGlyphLeft);
  b->SetMargin(2);
  b->SetSpacing(-1);
  b->CalcLayout(g, t);
  EXPECT_EQ(g.Left, 2);
  EXPECT_EQ(t.Left, 18 + 25) << "the caption centred in the room after the glyph";
  b->SetMargin(-1);
  b->CalcLayout(g, t);
  EXPECT_EQ(g.Left, 17) << "margin and spacing share the room evenly";
  EXPECT_EQ(t.Left, 17 + 16 + 17);

  b->SetCaption("");
  b->SetSpacing(4);
  b->CalcLayout(g, t);
  EXPECT_EQ(g, Rect(32, 7, 48, 23)) << "without a caption the spacing does not count";
  glyph.SetSize(32, 16);
  b->SetGlyph(&glyph);
  b->SetNumGlyphs(2);
  b->CalcLayout(g, t);
  EXPECT_EQ(g.Width(), 16) << "one image of two";
  b->SetNumGlyphs(9);
  EXPECT_EQ(b->NumGlyphs(), 4);
}

TEST_F(PanelButton, GlyphImagesFollowTheStateWithTheBottomLeftColourTransparent) {
  TSpeedButton* b = Button(form, 10, 10, 40, 30);
  TBitmap glyph;
  glyph.SetSize(32, 16);
  TCanvas& c = *glyph.Canvas();
  c.Brush()->SetColor(clFuchsia);
  c.FillRect(Rect(0, 0, 32, 16));
  c.Brush()->SetColor(clRed);
  c.FillRect(Rect(2, 2, 14, 14));
  c.Brush()->SetColor(clBlue);
  c.FillRect(Rect(18, 2, 30, 14));
  b->SetGlyph(&glyph);
  b->SetNumGlyphs(2);
  h->Pump();
  // The glyph sits at (12, 7) in the button, the button at (10, 10) in the form.
  EXPECT_EQ(h->Pixel(form, 10 + 12 + 8, 10 + 7 + 8), clRed);
  EXPECT_EQ(h->Pixel(form, 10 + 12 + 0, 10 + 7 + 0), ColorToRGB(clBtnFace)) << "fuchsia is transparent";

  // The red square spans glyph columns 2..13: button columns 14..25, or 15..26 when pressed.
  EXPECT_EQ(h->Pixel(form, 10 + 14, 10 + 15), clRed);
  EXPECT_NE(h->Pixel(form, 10 + 26, 10 + 15), clRed);
  h->MouseDown(b, 5, 5);
  h->Pump();
  EXPECT_NE(h->Pixel(form, 10 + 14, 10 + 15), clRed) << "pressed: moved by one pixel";
  EXPECT_EQ(h->Pixel(form, 10 + 26, 10 + 15), clRed);
  h->MouseUp(b, 60, 60);

  b->SetEnabled(false);
  h->Pump();
  EXPECT_EQ(h->Pixel(form, 10 + 12 + 8, 10 + 7 + 8), clBlue) << "the second image is the disabled one";
  b->SetNumGlyphs(1);
  glyph.SetSize(16, 16);
  b->SetGlyph(&glyph);
  h->Pump();
  EXPECT_NE(h->Pixel(form, 10 + 12 + 8, 10 + 7 + 8), clRed) << "a disabled image made from the only one";
}

}  // namespace
}  // namespace zvtest
