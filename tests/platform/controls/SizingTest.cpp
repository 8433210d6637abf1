// Anchors and size constraints: what a child does when its parent's client area changes size,
// and the limits every resize keeps, whoever asks for it.

#include "HarnessTest.h"

#include "platform/classes/FormText.h"
#include "platform/controls/Form.h"
#include "platform/controls/Panel.h"
#include "platform/null/NullWindowBackend.h"

namespace zvtest {

namespace {

class Sizing : public THarnessTest {
protected:
  TNullWindowBackend& Backend() { return *ActiveNullWindowBackend(); }
};

struct TAnchorCase {
  TAnchors Anchors;
  TRect Grown;  // after the parent grows from 200 x 100 to 300 x 160
};

}  // namespace

TEST_F(Sizing, AnchoredEdgesKeepTheirDistanceWhenTheParentResizes) {
  const TAnchorCase cases[] = {
      {{akLeft, akTop}, Rect(20, 10, 70, 40)},
      {{akLeft, akTop, akRight}, Rect(20, 10, 170, 40)},
      {{akRight, akBottom}, Rect(120, 70, 170, 100)},
      {{akLeft, akTop, akRight, akBottom}, Rect(20, 10, 170, 100)},
      {{}, Rect(42, 25, 92, 55)},                // the centre keeps its proportion
      {{akTop, akBottom}, Rect(42, 10, 92, 100)},
  };
  TProbe* top = h->TopLevel(0, 0, 400, 300);
  for (bool windowed : {true, false}) {
    for (const TAnchorCase& c : cases) {
      // A windowless parent (not yet shown) follows the same rules.
      auto parent = std::make_unique<TPanel>(nullptr);
      parent->SetBevelOuter(bvNone);
      parent->SetBounds(0, 0, 200, 100);
      if (windowed) parent->SetParent(top);
      auto* child = new TPanel(parent.get());
      child->SetParent(parent.get());
      child->SetBounds(20, 10, 50, 30);
      child->SetAnchors(c.Anchors);
      h->Pump();
      parent->SetBounds(0, 0, 300, 160);
      EXPECT_EQ(child->BoundsRect(), c.Grown) << c.Anchors.Bits() << " windowed " << windowed;
      parent->SetBounds(0, 0, 200, 100);
      EXPECT_EQ(child->BoundsRect(), Rect(20, 10, 70, 40)) << "and back: " << c.Anchors.Bits();
      // Moving the child by hand makes the new place the one anchoring keeps.
      child->SetBounds(30, 10, 50, 30);
      parent->SetBounds(0, 0, 300, 160);
      EXPECT_EQ(child->Left(), c.Grown.Left + (c.Anchors.Contains(akLeft) || c.Anchors.Contains(akRight) ? 10 : 15))
          << c.Anchors.Bits();
    }
  }
}

TEST_F(Sizing, AFrameThatComesWithTheWindowDoesNotMoveAnchoredChildren) {
  TProbe* top = h->TopLevel(0, 0, 400, 300);
  auto* parent = new TPanel(top);
  parent->SetBorderStyle(bsSingle);
  parent->SetBounds(0, 0, 200, 100);
  auto* child = new TPanel(parent);
  child->SetParent(parent);
  child->SetBounds(150, 10, 40, 20);
  child->SetAnchors({akTop, akRight});
  parent->SetParent(top);  // the window, and its client edge, come now
  h->Pump();
  EXPECT_EQ(child->Left(), 150);
  parent->SetWidth(300);
  EXPECT_EQ(child->Left(), 250) << "the distance to the client area's right edge is kept";
}

TEST_F(Sizing, AUserResizeMovesAnchoredChildrenOfAForm) {
  TForm form(nullptr);
  form.SetBorderStyle(bsSizeable);
  form.SetBounds(10, 10, 300, 200);
  auto* ok = new TPanel(&form);
  ok->SetParent(&form);
  const TRect client = form.ClientRect();
  ok->SetBounds(client.Right - 90, client.Bottom - 40, 80, 30);
  ok->SetAnchors({akRight, akBottom});
  form.Show();
  h->Pump();
  Backend().UserResize(NativeWindowOf(form.Handle()), 400, 260);
  h->Pump();
  const TRect after = form.ClientRect();
  EXPECT_EQ(ok->BoundsRect(), Rect(after.Right - 90, after.Bottom - 40, after.Right - 10, after.Bottom - 10));
}

TEST_F(Sizing, ConstraintsHoldForEveryResize) {
  TProbe* top = h->TopLevel(0, 0, 400, 300);
  auto* c = new TPanel(top);
  c->SetParent(top);
  TSizeConstraints* k = c->Constraints();
  k->SetMinWidth(40);
  k->SetMaxWidth(100);
  k->SetMaxHeight(50);
  c->SetBounds(0, 0, 10, 80);
  EXPECT_EQ(c->BoundsRect(), Rect(0, 0, 40, 50));
  c->SetWidth(500);
  EXPECT_EQ(c->Width(), 100);
  // Aligning and anchoring are resizes too.
  c->SetAlign(alClient);
  EXPECT_EQ(c->BoundsRect(), Rect(0, 0, 100, 50));
  c->SetAlign(alNone);
  c->SetBounds(10, 10, 60, 30);
  c->SetAnchors({akLeft, akTop, akRight});
  top->SetBounds(0, 0, 600, 300);
  EXPECT_EQ(c->Width(), 100) << "stretching stops at the maximum";
  // New limits apply to the present size at once; 0 lifts a limit.
  k->SetMaxWidth(0);
  k->SetMinHeight(45);
  EXPECT_EQ(c->Height(), 45);
  c->SetBounds(10, 10, 1000, 30);
  EXPECT_EQ(c->Width(), 1000);
}

TEST_F(Sizing, ConstraintLimitsStayOrderedAndRefuseNegatives) {
  TSizeConstraints k;
  k.SetMinWidth(40);
  k.SetMaxWidth(30);
  EXPECT_EQ(k.MinWidth(), 30) << "a maximum below the minimum lowers the minimum";
  k.SetMaxHeight(50);
  k.SetMinHeight(60);
  EXPECT_EQ(k.MaxHeight(), 60) << "a minimum above the maximum raises the maximum";
  EXPECT_THROW(k.SetMinWidth(-1), ERangeError);
  EXPECT_THROW(k.SetMaxHeight(-5), ERangeError);
  EXPECT_EQ(k.MinWidth(), 30);
  EXPECT_EQ(k.MaxHeight(), 60);
  TSizeConstraints copy;
  copy.Assign(&k);
  EXPECT_EQ(copy.MaxWidth(), 30);
  EXPECT_EQ(copy.MinHeight(), 60);
}

TEST_F(Sizing, AUserCannotSizeAWindowPastItsConstraints) {
  TProbe* top = h->TopLevel(20, 20, 300, 200);
  top->Constraints()->SetMinWidth(250);
  top->Constraints()->SetMaxHeight(220);
  const TNativeWindow native = NativeWindowOf(top->Handle());
  Backend().UserResize(native, 100, 400);
  h->Pump();
  EXPECT_EQ(top->BoundsRect(), Rect(20, 20, 270, 240));
  EXPECT_EQ(Backend().Window(native)->Bounds, top->BoundsRect()) << "the window is put back to the allowed size";
}

TEST_F(Sizing, ScaleByScalesSizesChildrenFontsAndConstraintsAndUndoes) {
  TForm form(nullptr);
  form.SetBounds(100, 80, 400, 300);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(20, 30, 200, 100);
  auto* top = new TPanel(&form);
  top->SetParent(panel);
  top->SetAlign(alTop);
  top->SetHeight(20);
  auto* child = new TPanel(&form);
  child->SetParent(panel);
  child->SetBounds(10, 40, 60, 30);
  child->Font()->SetHeight(-12);
  child->Constraints()->SetMinWidth(40);
  child->Constraints()->SetMaxHeight(50);
  auto* right = new TPanel(&form);
  right->SetParent(panel);
  right->SetBounds(150, 40, 40, 20);
  right->SetAnchors({akTop, akRight});
  form.Show();
  const int formFont = form.Font()->Height();

  struct Step {
    int M, D;
    TRect Panel, Top, Child, Right;
    int ChildFont, MinWidth, MaxHeight;
  } steps[] = {
      // The scaled control keeps its corner; its children are scaled whole, edges rounded.
      {3, 2, {20, 30, 320, 180}, {1, 1, 299, 31}, {15, 60, 105, 105}, {225, 60, 285, 90}, -18, 60, 75},
      {2, 3, {20, 30, 220, 130}, {1, 1, 199, 21}, {10, 40, 70, 70}, {150, 40, 190, 60}, -12, 40, 50},
      {1, 1, {20, 30, 220, 130}, {1, 1, 199, 21}, {10, 40, 70, 70}, {150, 40, 190, 60}, -12, 40, 50},
      {1, 0, {20, 30, 220, 130}, {1, 1, 199, 21}, {10, 40, 70, 70}, {150, 40, 190, 60}, -12, 40, 50},
  };
  for (const Step& st : steps) {
    SCOPED_TRACE(::testing::Message() << st.M << "/" << st.D);
    panel->ScaleBy(st.M, st.D);
    EXPECT_EQ(panel->BoundsRect(), st.Panel);
    EXPECT_EQ(top->BoundsRect(), st.Top) << "aligned children align in the new size";
    EXPECT_EQ(child->BoundsRect(), st.Child);
    EXPECT_EQ(right->BoundsRect(), st.Right) << "an anchored child is not moved twice";
    EXPECT_EQ(child->Font()->Height(), st.ChildFont);
    EXPECT_EQ(top->Font()->Height(), formFont) << "a child with its parent's font keeps following it";
    EXPECT_EQ(child->Constraints()->MinWidth(), st.MinWidth);
    EXPECT_EQ(child->Constraints()->MaxHeight(), st.MaxHeight);
  }
  // The right-anchored child still follows its parent's edge after scaling.
  panel->SetWidth(panel->Width() + 10);
  EXPECT_EQ(right->Left(), 160);
  form.ScaleBy(2, 1);
  EXPECT_EQ(form.Font()->Height(), MulDiv(formFont, 2, 1)) << "a form scales its own font";
  EXPECT_EQ(form.BoundsRect().TopLeft(), (TPoint{100, 80}));
  EXPECT_EQ(panel->BoundsRect(), (TRect{40, 60, 460, 260}));
}

TEST_F(Sizing, AnchorsAndConstraintsStreamWithTheControl) {
  TForm form(nullptr);
  form.SetName("SizingForm");
  auto* panel = new TPanel(&form);
  panel->SetName("Panel1");
  panel->SetParent(&form);
  panel->SetAnchors({akRight, akBottom});
  panel->Constraints()->SetMinWidth(30);
  panel->Constraints()->SetMaxHeight(90);
  auto* plain = new TPanel(&form);
  plain->SetName("Panel2");
  plain->SetParent(&form);
  const String text = ComponentToText(&form);
  EXPECT_NE(text.find("Anchors = [akRight, akBottom]"), String::npos) << text;
  EXPECT_NE(text.find("Constraints.MinWidth = 30"), String::npos) << text;
  EXPECT_NE(text.find("Constraints.MaxHeight = 90"), String::npos) << text;
  EXPECT_EQ(text.find("Anchors = [akLeft, akTop]"), String::npos) << "the default is not written";

  TForm read(nullptr);
  TextToComponent(text, &read);
  auto* back = static_cast<TPanel*>(read.FindComponent("Panel1"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Anchors(), (TAnchors{akRight, akBottom}));
  EXPECT_EQ(back->Constraints()->MinWidth(), 30);
  EXPECT_EQ(back->Constraints()->MaxHeight(), 90);
  EXPECT_EQ(static_cast<TPanel*>(read.FindComponent("Panel2"))->Anchors(), (TAnchors{akLeft, akTop}));
}

}  // namespace zvtest
