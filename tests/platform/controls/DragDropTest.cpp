// Drag and drop on the headless backend: thresholds, modes, accepting and refusing, cursors,
// drop coordinates, cancelling, drags across top-level windows and drag images.

#include "HarnessTest.h"

#include "platform/controls/DragDrop.h"
#include "platform/controls/DragImageList.h"
#include "platform/null/NullWindowBackend.h"

namespace zvtest {

namespace {

// A probe with drag images of its own.
class TImageProbe : public TProbe {
public:
  using TProbe::TProbe;
  TDragImageList* Images = nullptr;
  TDragImageList* GetDragImages() override { return Images; }
};

class DragDrop : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    top = h->TopLevel(0, 0, 300, 200);
    a = h->Child(top, "A", 10, 10, 80, 80);
    b = h->Child(top, "B", 150, 10, 80, 80);
    Watch(a);
    Watch(b);
    h->Pump();
  }
  void TearDown() override {
    Mouse->SetDragImmediate(true);
    Mouse->SetDragThreshold(5);
    THarnessTest::TearDown();
  }

  static std::string NameOf(TObject* o) {
    if (!o) return "null";
    if (auto* p = dynamic_cast<TProbe*>(o)) return p->Id;
    if (auto* g = dynamic_cast<TGraphicProbe*>(o)) return g->Id;
    return IsDragObject(o) ? "object" : o->ClassName();
  }
  // Logs the drag events of c; c accepts what AcceptIf allows (nothing when unset).
  void Watch(TProbe* c) {
    c->OnStartDrag = [this](TObject* s, TDragObject*& o) {
      events.push_back(NameOf(s) + " start");
      if (StartWith) o = StartWith;
    };
    c->OnDragOver = [this](TObject* s, TObject* src, int x, int y, TDragState st, bool& accept) {
      static const char* names[] = {"enter", "leave", "move"};
      events.push_back(NameOf(s) + " over " + names[st] + " " + NameOf(src) + " " + std::to_string(x) + " " +
                       std::to_string(y));
      accept = AcceptIf && AcceptIf(s, x, y);
    };
    c->OnDragDrop = [this](TObject* s, TObject* src, int x, int y) {
      events.push_back(NameOf(s) + " drop " + NameOf(src) + " " + std::to_string(x) + " " + std::to_string(y));
    };
    c->OnEndDrag = [this](TObject* s, TObject* target, int x, int y) {
      events.push_back(NameOf(s) + " end " + NameOf(target) + " " + std::to_string(x) + " " + std::to_string(y));
    };
    c->OnClick = [this](TObject* s) { events.push_back(NameOf(s) + " click"); };
  }
  TCursor Cursor(TWinControl* c) { return ActiveNullWindowBackend()->Window(NativeWindowOf(c->Handle()))->Cursor; }
  std::vector<std::string> Take() { return std::exchange(events, {}); }

  TProbe* top = nullptr;
  TProbe* a = nullptr;
  TProbe* b = nullptr;
  std::vector<std::string> events;
  std::function<bool(TObject*, int, int)> AcceptIf;
  TDragObject* StartWith = nullptr;
};

bool OnlyB(TObject* s, int, int) { return dynamic_cast<TProbe*>(s)->Id == "B"; }

}  // namespace

TEST_F(DragDrop, ADelayedDragStartsPastTheThresholdAndAShortPressStaysAClick) {
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { a->BeginDrag(false); };
  h->MouseDown(a, 20, 20);
  EXPECT_TRUE(a->Dragging()) << "begun, waiting for the threshold";
  EXPECT_FALSE(Mouse->IsDragging());
  h->MouseMove(a, 24, 16);  // 4 pixels: not yet
  EXPECT_FALSE(Mouse->IsDragging());
  h->MouseUp(a, 24, 16);
  EXPECT_EQ(Take(), (std::vector<std::string>{"A click"})) << "no drag events at all";
  EXPECT_FALSE(a->Dragging());
  EXPECT_EQ(GetCapture(), HWND{});

  h->Wait(600);
  h->MouseDown(a, 20, 20);
  h->MouseMove(a, 20, 25);  // 5 pixels: the drag starts here
  EXPECT_TRUE(Mouse->IsDragging());
  EXPECT_EQ(Take(), (std::vector<std::string>{"A start", "A over enter A 20 25"}));
  EXPECT_EQ(Cursor(top), crNoDrop) << "nobody accepts";
  h->MouseUp(a, 20, 25);
  EXPECT_EQ(Take(), (std::vector<std::string>{"A over leave A 20 25", "A end null 20 25"})) << "no click after a drag";
  EXPECT_FALSE(a->Dragging());
  EXPECT_EQ(GetCapture(), HWND{});

  // An explicit threshold.
  h->Wait(600);
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { a->BeginDrag(false, 20); };
  h->MouseDown(a, 20, 20);
  h->MouseMove(a, 39, 20);
  EXPECT_FALSE(Mouse->IsDragging());
  h->MouseMove(a, 40, 20);
  EXPECT_TRUE(Mouse->IsDragging());
  a->EndDrag(false);
  EXPECT_FALSE(a->Dragging());
  EXPECT_EQ(Take().back(), "A end null 40 20") << "cancelled where the mouse was";
}

TEST_F(DragDrop, AnAcceptedDropReachesTheTargetThenTheSourceHearsTheEnd) {
  AcceptIf = OnlyB;
  a->SetDragCursor(crMultiDrag);
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { a->BeginDrag(true); };
  h->MouseDown(a, 5, 5);
  EXPECT_TRUE(Mouse->IsDragging());
  EXPECT_EQ(Cursor(top), crNoDrop);
  h->MouseMove(b, 20, 30);
  EXPECT_EQ(Cursor(top), crMultiDrag) << "the source's drag cursor where accepted";
  h->MouseMove(b, 22, 31);
  h->MouseUp(b, 25, 35);  // released somewhere new: the drag moves there first
  EXPECT_EQ(Take(), (std::vector<std::string>{"A start", "A over enter A 5 5", "A over leave A 160 30",
                                              "B over enter A 20 30", "B over move A 22 31", "B over move A 25 35",
                                              "B drop A 25 35", "A end B 25 35"}));
  EXPECT_FALSE(a->Dragging());
  EXPECT_FALSE(Mouse->IsDragging());
}

TEST_F(DragDrop, ARefusedDropEndsWithNoTarget) {
  AcceptIf = [](TObject* s, int x, int) { return OnlyB(s, 0, 0) && x < 40; };
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { a->BeginDrag(true); };
  h->MouseDown(a, 5, 5);
  h->MouseMove(b, 10, 10);
  EXPECT_EQ(Cursor(top), crDrag);
  h->MouseMove(b, 50, 10);
  EXPECT_EQ(Cursor(top), crNoDrop) << "the target may change its mind while the mouse moves";
  h->MouseUp(b, 50, 10);
  const auto got = Take();
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[got.size() - 2], "B over leave A 50 10");
  EXPECT_EQ(got.back(), "A end null 190 10") << "no drop; the position in the source's coordinates";

  // Released outside every window of the application.
  h->Wait(600);
  h->MouseDown(a, 5, 5);
  h->MouseMove(top, 500, 500);
  EXPECT_EQ(Cursor(top), crNoDrop);
  h->MouseUp(top, 500, 500);
  EXPECT_EQ(Take().back(), "A end null 490 490");
}

TEST_F(DragDrop, EscCancelsTheDragAndIsNoKeyForTheFocusedControl) {
  AcceptIf = OnlyB;
  a->SetFocus();
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { a->BeginDrag(true); };
  h->MouseDown(a, 5, 5);
  h->MouseMove(b, 10, 10);
  Take();
  h->Log.clear();
  h->KeyDown(top, VK_ESCAPE);
  h->Char(top, U'\x1b');
  EXPECT_EQ(Take(), (std::vector<std::string>{"B over leave A 10 10", "A end null 150 10"}));
  EXPECT_EQ(h->Take({"keydown", "char"}), TLog{});
  EXPECT_FALSE(a->Dragging());
  EXPECT_EQ(GetCapture(), HWND{});
  h->MouseUp(b, 10, 10);
  EXPECT_EQ(Take(), std::vector<std::string>{}) << "the release after a cancel drops nothing";
  h->KeyDown(top, VK_ESCAPE);
  EXPECT_EQ(h->Take({"keydown"}), TLog{"A keydown 27"}) << "without a drag Esc is a key again";
}

TEST_F(DragDrop, AutomaticModeStartsOnThePressOrAfterTheThreshold) {
  AcceptIf = OnlyB;
  a->SetDragMode(dmAutomatic);
  h->Log.clear();
  h->MouseDown(a, 5, 5);
  EXPECT_TRUE(Mouse->IsDragging()) << "the host's Mouse drags at once by default";
  h->MouseUp(b, 10, 10);
  EXPECT_EQ(Take(), (std::vector<std::string>{"A start", "A over enter A 5 5", "A over leave A 150 10",
                                              "B over enter A 10 10", "B drop A 10 10", "A end B 10 10"}));

  h->Wait(600);
  Mouse->SetDragImmediate(false);
  h->MouseDown(a, 5, 5);
  EXPECT_FALSE(Mouse->IsDragging());
  h->MouseUp(a, 5, 5);
  EXPECT_EQ(Take(), (std::vector<std::string>{"A click"}));
  h->Wait(600);
  h->MouseDown(a, 5, 5);
  h->MouseMove(a, 11, 5);
  EXPECT_TRUE(Mouse->IsDragging());
  h->MouseUp(b, 1, 1);
  EXPECT_EQ(Take().back(), "A end B 1 1");
  // A right press starts nothing.
  h->MouseDown(a, 5, 5, mbRight);
  EXPECT_FALSE(a->Dragging());
  h->MouseUp(a, 5, 5, mbRight);
}

TEST_F(DragDrop, ADragCrossesIntoAnotherTopLevelWindow) {
  TProbe* other = h->TopLevel(400, 50, 200, 150);
  TProbe* c = h->Child(other, "C", 20, 20, 100, 100);
  TGraphicProbe* g = h->Graphic(other, "G", 130, 20, 40, 40);
  Watch(c);
  int graphicDrops = 0;
  g->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
  g->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
    EXPECT_EQ(src, a);
    EXPECT_EQ(TPoint(x, y), TPoint(5, 6));
    ++graphicDrops;
  };
  h->Pump();
  AcceptIf = [](TObject* s, int, int) { return dynamic_cast<TProbe*>(s)->Id == "C"; };
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { a->BeginDrag(true); };
  h->MouseDown(a, 5, 5);
  h->MouseMove(c, 10, 10);
  EXPECT_EQ(Cursor(other), crDrag) << "the cursor of the window under the mouse";
  h->MouseUp(c, 10, 12);
  EXPECT_EQ(Take(), (std::vector<std::string>{"A start", "A over enter A 5 5", "A over leave A 420 70",
                                              "C over enter A 10 10", "C over move A 10 12", "C drop A 10 12",
                                              "A end C 10 12"}));
  // A control without a window takes the drop through its parent.
  h->Wait(600);
  h->MouseDown(a, 5, 5);
  h->MouseMove(g, 5, 6);
  h->MouseUp(g, 5, 6);
  EXPECT_EQ(graphicDrops, 1);
  EXPECT_EQ(Take().back(), "A end G 5 6");
  EXPECT_EQ(FindDragTarget(other->ClientToScreen({135, 25}), false), g);
  EXPECT_EQ(FindDragTarget(other->ClientToScreen({5, 5}), false), other);
  EXPECT_EQ(FindDragTarget({390, 40}, false), nullptr);
}

TEST_F(DragDrop, AnApplicationsDragObjectIsTheSourceTargetsSee) {
  class TRowDrag : public TDragObject {
  public:
    std::vector<std::string> Seen;
    TCursor GetDragCursor(bool accepted, int, int) override { return accepted ? crHandPoint : crNo; }

  protected:
    void Finished(TObject* target, int x, int y, bool accepted) override {
      Seen.push_back((target ? "target " : "none ") + std::to_string(x) + " " + std::to_string(y) +
                     (accepted ? " accepted" : ""));
    }
  } row;
  StartWith = &row;
  AcceptIf = [&](TObject* s, int, int) {
    EXPECT_EQ(row.DragTarget(), s);
    return OnlyB(s, 0, 0);
  };
  b->OnDragDrop = [&](TObject*, TObject* src, int, int) {
    EXPECT_EQ(src, &row);
    EXPECT_TRUE(IsDragObject(src));
    EXPECT_TRUE(row.Dropped());
  };
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { a->BeginDrag(true); };
  h->MouseDown(a, 5, 5);
  EXPECT_EQ(Cursor(top), crNo);
  h->MouseMove(b, 7, 8);
  EXPECT_EQ(Cursor(top), crHandPoint);
  EXPECT_EQ(row.DragPos(), b->ClientToScreen({7, 8}));
  EXPECT_EQ(row.DragTargetPos(), TPoint(7, 8));
  h->MouseUp(b, 7, 8);
  EXPECT_EQ(row.Seen, (std::vector<std::string>{"target 7 8 accepted"}));
  EXPECT_EQ(Take().back(), "B over enter object 7 8") << "an application's object does not fire OnEndDrag";
  EXPECT_FALSE(row.Cancelling());
}

TEST_F(DragDrop, DragImagesFollowTheMouseOverControlsThatShowThem) {
  TImageProbe* s = new TImageProbe(top, "S", &h->Log);
  s->SetBounds(10, 120, 40, 40);
  s->SetParent(top);
  TDragImageList images(nullptr);
  images.SetWidth(8);
  images.SetHeight(8);
  TBitmap glyph;
  glyph.SetSize(8, 8);
  images.Add(&glyph, nullptr);
  EXPECT_TRUE(images.SetDragImage(0, 2, 3));
  EXPECT_FALSE(images.SetDragImage(1, 0, 0));
  int changes = 0;
  images.OnDragImageChanged = [&](TObject*) { ++changes; };
  s->Images = &images;
  b->SetControlStyle(b->ControlStyle() + TControlStyle{csDisplayDragImage});
  h->Pump();
  s->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { s->BeginDrag(true); };
  h->MouseDown(s, 5, 5);
  EXPECT_TRUE(images.Dragging());
  EXPECT_FALSE(images.DragImageVisible()) << "the source does not ask for drag images";
  h->MouseMove(b, 10, 10);
  EXPECT_TRUE(images.DragImageVisible());
  EXPECT_EQ(images.DragPos(), b->ClientToScreen({10, 10}));
  EXPECT_EQ(images.DragHotspot(), TPoint(2, 3));
  h->MouseMove(a, 10, 10);
  EXPECT_FALSE(images.DragImageVisible());
  h->MouseUp(a, 10, 10);
  EXPECT_FALSE(images.Dragging());
  EXPECT_GE(changes, 4);
  s->Images = nullptr;
}

TEST_F(DragDrop, ControlsThatGoAwayDuringADragAreForgotten) {
  AcceptIf = OnlyB;
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { a->BeginDrag(true); };
  h->MouseDown(a, 5, 5);
  h->MouseMove(b, 10, 10);
  delete b;
  b = nullptr;
  h->MouseUp(top, 160, 20);
  EXPECT_EQ(Take().back(), "A end null 150 10");

  h->Wait(600);
  h->MouseDown(a, 5, 5);
  EXPECT_TRUE(Mouse->IsDragging());
  delete a;
  a = nullptr;
  EXPECT_FALSE(Mouse->IsDragging());
  h->MouseMove(top, 100, 100);
  h->MouseUp(top, 100, 100);
}

}  // namespace zvtest
