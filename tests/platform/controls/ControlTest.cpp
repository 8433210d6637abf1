// Controls apart from the window model: inheritance of font and colour, parents and owners,
// alignment, tab order, published properties, message packing and stale handles.

#include "HarnessTest.h"

#include "platform/classes/TypeInfo.h"
#include "platform/controls/Menus.h"

#include "platform/classes/FormText.h"
#include "platform/controls/Panel.h"

#include <gtest/gtest.h>

namespace zvtest {

namespace {

class Controls : public THarnessTest {};

class TWatcher : public TComponent {
public:
  using TComponent::TComponent;
  std::vector<TComponent*> Gone;

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) Gone.push_back(c);
  }
};

}  // namespace

TEST_F(Controls, FontAndColourComeFromTheParentUntilSet) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 50, 50);
  TGraphicProbe* g = h->Graphic(a, "G", 1, 1, 10, 10);
  h->Pump();
  top->Font()->SetName("DejaVu Sans Mono");
  top->Font()->SetSize(12);
  top->SetColor(clRed);
  EXPECT_EQ(a->Font()->Name(), "DejaVu Sans Mono");
  EXPECT_EQ(g->Font()->Size(), 12) << "down the whole tree";
  EXPECT_EQ(a->Color(), clRed);
  EXPECT_TRUE(a->ParentFont());
  EXPECT_TRUE(a->ParentColor());
  EXPECT_EQ(a->Brush()->Color(), clRed) << "a window's brush follows its colour";

  a->Font()->SetStyle({fsBold});
  a->SetColor(clBlue);
  EXPECT_FALSE(a->ParentFont());
  EXPECT_FALSE(a->ParentColor());
  top->Font()->SetSize(20);
  top->SetColor(clLime);
  EXPECT_EQ(a->Font()->Size(), 12);
  EXPECT_EQ(a->Color(), clBlue);
  EXPECT_EQ(g->Font()->Size(), 12) << "the grandchild follows its own parent";
  a->SetParentColor(true);
  a->SetParentFont(true);
  EXPECT_EQ(a->Color(), clLime);
  EXPECT_EQ(a->Font()->Size(), 20);
  EXPECT_FALSE(a->Font()->Style().Contains(fsBold));

  // A change repaints.
  const int paints = a->PaintCount;
  a->SetColor(clYellow);
  h->Pump();
  EXPECT_EQ(a->PaintCount, paints + 1);
}

TEST_F(Controls, ParentsDestroyTheirChildrenAndChildrenLeaveTheirParents) {
  TWatcher watcher(nullptr);
  auto owner = std::make_unique<TComponent>(nullptr);
  auto top = std::make_unique<TWinControl>(nullptr);
  auto* a = new TWinControl(owner.get());
  auto* b = new TGraphicControl(owner.get());
  a->SetParent(top.get());
  b->SetParent(a);
  a->FreeNotification(&watcher);
  b->FreeNotification(&watcher);
  EXPECT_EQ(top->ControlCount(), 1);
  EXPECT_TRUE(top->ContainsControl(b));
  EXPECT_EQ(GetTopLevelParent(b), top.get());

  try {
    a->SetParent(a);
    ADD_FAILURE() << "a control became its own parent";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "A control cannot have itself as its parent");
  }
  EXPECT_THROW(top->SetParent(a), EInvalidOperation);
  EXPECT_THROW(top->Controls(1), EListError);

  top.reset();
  // Each is announced as its destruction starts, while whole: the parent before the children
  // its destructor destroys.
  EXPECT_EQ(watcher.Gone, (std::vector<TComponent*>{a, b}));
  EXPECT_EQ(owner->ComponentCount(), 0);

  auto parent = std::make_unique<TWinControl>(nullptr);
  auto* c = new TGraphicControl(parent.get());
  c->SetParent(parent.get());
  delete c;
  EXPECT_EQ(parent->ControlCount(), 0);
}

TEST_F(Controls, AlignmentPlacesChildrenAndFollowsResizes) {
  TProbe* top = h->TopLevel(0, 0, 200, 100);
  TProbe* t = h->Child(top, "T", 0, 0, 50, 20);
  TProbe* b = h->Child(top, "B", 0, 0, 50, 10);
  TProbe* l = h->Child(top, "L", 0, 0, 30, 50);
  TProbe* r = h->Child(top, "R", 0, 0, 40, 50);
  TProbe* c = h->Child(top, "C", 0, 0, 5, 5);
  c->SetAlign(alClient);
  l->SetAlign(alLeft);
  r->SetAlign(alRight);
  b->SetAlign(alBottom);
  t->SetAlign(alTop);
  EXPECT_EQ(t->BoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(b->BoundsRect(), Rect(0, 90, 200, 100));
  EXPECT_EQ(l->BoundsRect(), Rect(0, 20, 30, 90));
  EXPECT_EQ(r->BoundsRect(), Rect(160, 20, 200, 90));
  EXPECT_EQ(c->BoundsRect(), Rect(30, 20, 160, 90));
  top->SetBounds(0, 0, 300, 150);
  EXPECT_EQ(c->BoundsRect(), Rect(30, 20, 260, 140));
  t->Hide();
  EXPECT_EQ(c->BoundsRect(), Rect(30, 0, 260, 140)) << "hidden controls take no room";
}

TEST_F(Controls, TabOrderDecidesWhereTabGoes) {
  TProbe* top = h->TopLevel(0, 0, 200, 100);
  TProbe* a = h->Child(top, "A", 0, 0, 10, 10);
  TProbe* b = h->Child(top, "B", 20, 0, 10, 10);
  TProbe* c = h->Child(top, "C", 40, 0, 10, 10);
  for (TProbe* p : {a, b, c}) p->SetTabStop(true);
  EXPECT_EQ(c->TabOrder(), 2);
  c->SetTabOrder(0);
  std::vector<TWinControl*> list;
  top->GetTabOrderList(list);
  EXPECT_EQ(list, (std::vector<TWinControl*>{c, a, b}));
  EXPECT_EQ(a->TabOrder(), 1);
  EXPECT_EQ(top->FindNextControl(b, true, true, false), c);
  EXPECT_EQ(top->FindNextControl(c, false, true, false), b);
  a->SetTabStop(false);
  EXPECT_EQ(top->FindNextControl(c, true, true, false), b);
  b->SetEnabled(false);
  EXPECT_EQ(top->FindNextControl(c, true, true, false), c) << "round to itself";
  top->SelectNext(c, true, false);
  EXPECT_TRUE(a->Focused()) << "without the tab-stop check";
}

TEST_F(Controls, PublishedPropertiesAreTheHostsPerClass) {
  TProbe* top = h->TopLevel(0, 0, 200, 100);
  // A custom control publishes what the host's TControl publishes, and nothing else.
  std::vector<String> names;
  for (const TPropInfo* p : GetPropInfos(TCustomControl::StaticClass())) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<String>{"Tag", "Left", "Top", "Width", "Height", "Cursor", "Hint", "HelpType",
                                        "HelpKeyword", "HelpContext"}));
  // A panel publishes the inherited properties it shows, in its own order after those.
  auto* a = new TPanel(top);
  a->SetParent(top);
  a->SetBounds(1, 2, 30, 40);
  for (const char* name : {"Align", "Color", "ParentColor", "Font", "ParentFont", "Enabled", "ShowHint", "Visible",
                           "PopupMenu", "TabStop", "TabOrder", "DragCursor", "DragKind", "DragMode", "OnClick"})
    EXPECT_TRUE(IsPublishedProp(a, name)) << name;
  EXPECT_FALSE(IsPublishedProp(a, "OnKeyDown")) << "not among a panel's events";
  EXPECT_LT(GetPropInfo(a, "HelpContext")->NameIndex, GetPropInfo(a, "Align")->NameIndex);
  SetPropValue(a, "Width", Variant(77));
  EXPECT_EQ(a->Width(), 77);
  SetEnumProp(a, "Align", "alBottom");
  EXPECT_EQ(a->Top(), 100 - 40);
  SetEnumProp(a, "DragMode", "dmAutomatic");
  EXPECT_EQ(a->DragMode(), dmAutomatic);
  EXPECT_EQ(GetPropText(a, GetPropInfo(a, "DragCursor")), "crDrag");
  const TPropInfo* color = GetPropInfo(a, "Color");
  a->SetParentColor(true);
  EXPECT_FALSE(IsStoredProp(a, color)) << "an inherited colour is not stored";
  a->SetColor(clRed);
  EXPECT_TRUE(IsStoredProp(a, color));

  // Form text lists exactly the published properties: the probe's colour and caption are not.
  top->SetName("Top");
  top->SetColor(clRed);
  top->SetCaption("probe");
  top->SetHelpContext(12);
  const String text = ComponentToText(top);
  EXPECT_EQ(text.find("\n  Color = clRed"), String::npos) << text;
  EXPECT_EQ(text.find("Caption = 'probe'"), String::npos) << text;
  EXPECT_NE(text.find("HelpContext = 12"), String::npos) << text;
  EXPECT_NE(text.find("    Color = clRed"), String::npos) << "the panel's is:\n" << text;

  {
    auto* b = new TProbe(top, "B", nullptr);
    auto watch = std::make_unique<TPopupMenu>(nullptr);
    b->SetPopupMenu(watch.get());
    EXPECT_EQ(b->PopupMenu(), watch.get());
    watch.reset();
    EXPECT_EQ(b->PopupMenu(), nullptr) << "free notification clears the reference";
    delete b;
  }
}

TEST_F(Controls, MessagesPackTheHostsWay) {
  EXPECT_EQ(LParamToPoint(PointToLParam({-70, 32767})), (TPoint{-70, 32767}));
  EXPECT_EQ(LParamToPoint(PointToLParam({40000, -40000})), (TPoint{32767, -32768})) << "clamped, not wrapped";
  const LPARAM data = MakeKeyData(true, true, true);
  EXPECT_EQ(static_cast<std::uint32_t>(data), 0xE0000001u);
  EXPECT_TRUE(KeyDataToShiftState(data).Contains(ssAlt));
  EXPECT_EQ(KeysToShiftState(MK_SHIFT | MK_LBUTTON | MK_MBUTTON), (TShiftState{ssShift, ssLeft, ssMiddle}));
  EXPECT_EQ(ShiftStateToKeys({ssCtrl, ssRight, ssAlt}), MK_CONTROL | MK_RBUTTON);
  const TWMMouseWheel wheel(WheelMessage(MK_CONTROL, -240, {-5, 7}));
  EXPECT_EQ(wheel.WheelDelta(), -240);
  EXPECT_EQ(wheel.Keys(), MK_CONTROL);
  EXPECT_EQ(wheel.Pos(), (TPoint{-5, 7}));
  const TWMScroll scroll(ScrollMessage(WM_VSCROLL, SB_THUMBTRACK, 1234));
  EXPECT_EQ(scroll.ScrollCode(), SB_THUMBTRACK);
  EXPECT_EQ(scroll.Pos(), 1234);
  EXPECT_EQ(ZV_CM_FIELDMAPCHANGED, 1525u);
  EXPECT_EQ(CM_MOUSELEAVE, 0xB014u);
}

TEST_F(Controls, StaleHandlesDoNothingAndRecreatedWindowsKeepTheFocus) {
  TProbe* top = h->TopLevel(0, 0, 200, 100);
  TProbe* a = h->Child(top, "A", 10, 10, 50, 50);
  a->SetFocus();
  const HWND old = a->Handle();
  a->RecreateWnd();
  EXPECT_NE(a->Handle(), old);
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(TWinControl::FindControl(old), nullptr);
  const TRect r = Rect(0, 0, 5, 5);
  EXPECT_FALSE(InvalidateRect(old, &r, true));
  EXPECT_FALSE(PostMessage(old, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(old, CM_HITTEST, 0, 0), 0);
  EXPECT_EQ(GetDC(old), nullptr);
  EXPECT_EQ(ScrollWindowEx(old, 1, 1, nullptr, nullptr, nullptr, nullptr, 0), RGN_ERROR);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(IsWindowVisible(a->Handle()));

  // A device kept past its window's end draws nothing.
  auto dc = GetDC(a->Handle());
  a->DestroyHandle();
  dc->FillRect(Rect(0, 0, 50, 50), {clRed, bsSolid});
  EXPECT_EQ(dc->Width(), 0);
  EXPECT_FALSE(a->Focused());
  EXPECT_EQ(GetFocus(), HWND{}) << "the focus went with the window";
}

}  // namespace zvtest
