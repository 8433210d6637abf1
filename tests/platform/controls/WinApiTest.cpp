// The Win32-style calls on the headless backend, where the clock, the beeps and the pointer
// can be read: cursors, the update region, window shapes, scroll-bar tracking and repeat.

#include "HarnessTest.h"

#include "platform/controls/WindowBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"

namespace zvtest {

namespace {

using WinApi = THarnessTest;

// Logs the scroll messages control gets, with the bar's track position at the time, and lets
// a test act on them.
struct TScrollRecorder {
  struct TEntry {
    int Code;
    int Pos;
    int TrackPos;
  };
  std::vector<TEntry> Entries;
  std::function<void(int code)> OnScroll;

  void Attach(TProbe* probe) {
    auto previous = probe->WindowProc;
    probe->WindowProc = [this, probe, previous](TMessage& m) {
      if (m.Msg == WM_VSCROLL) {
        TScrollInfo info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(probe->Handle(), SB_VERT, info);
        const TWMScroll s(m);
        Entries.push_back({s.ScrollCode(), s.Pos(), info.nTrackPos});
        if (OnScroll) OnScroll(s.ScrollCode());
      }
      previous(m);
    };
  }
  int Count(int code) const {
    return static_cast<int>(std::count_if(Entries.begin(), Entries.end(), [code](const TEntry& e) { return e.Code == code; }));
  }
};

TProbe* ScrollingChild(THarness& h, TProbe* top, int min, int max, unsigned page) {
  TProbe* c = h.Child(top, "C", 10, 10, 100, 200, clWhite, [](TProbe& p) { p.ExtraStyle = WS_VSCROLL; });
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = min;
  info.nMax = max;
  info.nPage = page;
  SetScrollInfo(c->Handle(), SB_VERT, info, true);
  h.Pump();
  return c;
}

}  // namespace

TEST_F(WinApi, CursorShapesBeepsAndThePointer) {
  TProbe* top = h->TopLevel(40, 30, 200, 120);
  h->Pump();
  h->MouseMove(top, 10, 10);
  TNullWindowBackend& backend = *ActiveNullWindowBackend();
  const auto* record = backend.Window(NativeWindowOf(top->Handle()));

  SetCursor(crHandPoint);
  EXPECT_EQ(GetCursor(), crHandPoint);
  EXPECT_EQ(record->Cursor, crHandPoint);
  EXPECT_EQ(SetCursor(12345), crHandPoint) << "the shape before";
  EXPECT_EQ(GetCursor(), crArrow) << "an unknown cursor shows the arrow";
  SetCursor(crIBeam);
  SetCursor(-5);
  EXPECT_EQ(record->Cursor, crArrow);
  SetCursor(crDefault);
  EXPECT_EQ(GetCursor(), crArrow);

  const int beeps = backend.BeepCount();
  EXPECT_TRUE(MessageBeep(0));
  EXPECT_TRUE(MessageBeep(0xFFFFFFFFu));
  EXPECT_EQ(backend.BeepCount(), beeps + 2);

  EXPECT_TRUE(SetCursorPos(300, 200));
  EXPECT_EQ(GetCursorPos(), (TPoint{300, 200}));
  EXPECT_EQ(backend.CursorPos(), (TPoint{300, 200}));
}

TEST_F(WinApi, UpdateRegionIsReadWithItsShapeAndAnOptionalErase) {
  TProbe* top = h->TopLevel(40, 30, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 100, 60);
  int erases = 0;
  auto previous = a->WindowProc;
  a->WindowProc = [&, previous](TMessage& m) {
    if (m.Msg == WM_ERASEBKGND) ++erases;
    previous(m);
  };
  h->Pump();
  erases = 0;
  TRegion region;
  EXPECT_EQ(GetUpdateRgn(a->Handle(), &region, false), NULLREGION);

  const TRect r1 = Rect(0, 0, 10, 10), r2 = Rect(50, 30, 60, 200);
  InvalidateRect(a->Handle(), &r1, false);
  InvalidateRect(a->Handle(), &r2, true);
  EXPECT_EQ(GetUpdateRgn(a->Handle(), &region, true), COMPLEXREGION);
  TRegion expected(r1);
  expected.Unite(Rect(50, 30, 60, 60));  // kept inside the client area
  EXPECT_TRUE(region.SamePixels(expected));
  EXPECT_EQ(erases, 1) << "erased now";
  h->Pump();
  EXPECT_EQ(erases, 1) << "and not again when painted";
  EXPECT_EQ(GetUpdateRgn(a->Handle(), &region, false), NULLREGION);
  EXPECT_EQ(GetUpdateRgn(static_cast<HWND>(999999), &region, false), RGN_ERROR);
}

TEST_F(WinApi, AWindowShapeClipsPaintingAndTheMouse) {
  TProbe* top = h->TopLevel(40, 30, 200, 120, clBlue);
  TProbe* a = h->Child(top, "A", 10, 10, 100, 60, clRed);
  h->Pump();
  TRegion shape(Rect(0, 0, 50, 60));
  TRegion read;
  EXPECT_EQ(GetWindowRgn(a->Handle(), read), RGN_ERROR) << "no shape yet";
  ASSERT_TRUE(SetWindowRgn(a->Handle(), &shape, true));
  EXPECT_EQ(GetWindowRgn(a->Handle(), read), SIMPLEREGION);
  EXPECT_TRUE(read.SamePixels(shape));
  h->Pump();
  EXPECT_EQ(h->Pixel(top, 30, 30), clRed);
  EXPECT_EQ(h->Pixel(top, 90, 30), clBlue) << "the parent shows where the shape is not";
  h->Log.clear();
  h->Click(top, 90, 30);
  h->Click(top, 30, 30);
  EXPECT_EQ(h->Take({"ldown"}), (TLog{"T ldown 90 30", "A ldown 20 20"}));

  ASSERT_TRUE(SetWindowRgn(a->Handle(), nullptr, true));
  h->Pump();
  EXPECT_EQ(h->Pixel(top, 90, 30), clRed);
  EXPECT_FALSE(SetWindowRgn(static_cast<HWND>(999999), nullptr, false));
}

TEST_F(WinApi, AnInvertedScrollRangeBecomesEmpty) {
  TProbe* top = h->TopLevel(40, 30, 200, 240);
  TProbe* c = ScrollingChild(*h, top, 0, 99, 10);
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_POS;
  info.nMin = 50;
  info.nMax = 10;
  info.nPos = 30;
  EXPECT_EQ(SetScrollInfo(c->Handle(), SB_VERT, info, false), 0);
  info.fMask = SIF_RANGE | SIF_POS;
  ASSERT_TRUE(GetScrollInfo(c->Handle(), SB_VERT, info));
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, 0);
  EXPECT_EQ(info.nPos, 0);
}

// A scroll position that leaves the drawn thumb where it was paints nothing of the frame; one
// that moves it repaints that bar alone, and the frame then looks as a full repaint leaves it.
TEST_F(WinApi, TheFrameRepaintsOnlyTheBarWhoseThumbMoved) {
  TProbe* top = h->TopLevel(40, 30, 200, 240);
  TProbe* c = ScrollingChild(*h, top, 0, 999999, 1000);
  std::vector<WPARAM> ncPaints;
  auto previous = c->WindowProc;
  c->WindowProc = [&ncPaints, previous](TMessage& m) {
    if (m.Msg == WM_NCPAINT) ncPaints.push_back(m.WParam);
    previous(m);
  };
  auto frame = [&] {
    std::vector<TColor> pixels;
    for (int y = 0; y < c->Height(); ++y)
      for (int x = 0; x < c->Width(); ++x) pixels.push_back(h->WindowPixel(c, x, y));
    return pixels;
  };
  struct TCase {
    int Pos;
    int Paints;  // WM_NCPAINT messages
    bool Whole;  // of the whole frame
  };
  const TCase cases[] = {{1, 0, false}, {999, 0, false}, {500000, 1, false}, {500001, 0, false}, {0, 1, false}};
  auto* surface = dynamic_cast<TNullSurface*>(RetainedSurfaceOf(c->Handle()));
  ASSERT_NE(surface, nullptr);
  for (const TCase& k : cases) {
    ncPaints.clear();
    surface->ClearOps();
    SetScrollPos(c->Handle(), SB_VERT, k.Pos, true);
    h->Pump();
    ASSERT_EQ(static_cast<int>(ncPaints.size()), k.Paints) << "to " << k.Pos;
    if (k.Paints > 0) EXPECT_EQ(ncPaints[0] == 1, k.Whole) << "to " << k.Pos;
    EXPECT_TRUE(surface->OpsOf(TPaintOpKind::DrawFrameControl).empty()) << "the arrows stay, to " << k.Pos;
    const std::vector<TColor> painted = frame();
    FrameChanged(c->Handle());
    h->Pump();
    EXPECT_EQ(painted, frame()) << "to " << k.Pos;
  }
  ncPaints.clear();
  TScrollInfo info;
  info.fMask = SIF_RANGE;
  info.nMin = 0;
  info.nMax = 99;
  SetScrollInfo(c->Handle(), SB_VERT, info, true);
  h->Pump();
  EXPECT_EQ(ncPaints, std::vector<WPARAM>{1}) << "a new range that hides the bar changes the frame";
}

TEST_F(WinApi, TheTrackPositionHas32BitsWhileTheThumbIsDragged) {
  TProbe* top = h->TopLevel(40, 30, 200, 240);
  TProbe* c = ScrollingChild(*h, top, 0, 999999, 1000);
  TScrollRecorder rec;
  rec.Attach(c);
  h->MouseDown(c, 91, 19);  // the thumb, at the top
  h->MouseMove(c, 91, 100);
  h->MouseUp(c, 91, 100);
  ASSERT_EQ(rec.Entries.size(), 3u);
  EXPECT_EQ(rec.Entries[0].Code, SB_THUMBTRACK);
  EXPECT_GT(rec.Entries[0].TrackPos, 400000);
  EXPECT_LE(rec.Entries[0].Pos, 32767) << "the message carries 16 bits";
  EXPECT_EQ(rec.Entries[1].Code, SB_THUMBPOSITION);
  EXPECT_EQ(rec.Entries[1].TrackPos, rec.Entries[0].TrackPos) << "still readable at the end of the drag";
  EXPECT_EQ(rec.Entries[2].Code, SB_ENDSCROLL);
  TScrollInfo info;
  info.fMask = SIF_TRACKPOS | SIF_POS;
  GetScrollInfo(c->Handle(), SB_VERT, info);
  EXPECT_EQ(info.nTrackPos, info.nPos) << "after the drag, the position";
}

TEST_F(WinApi, AHeldArrowRepeatsAfterTheFirstDelay) {
  TProbe* top = h->TopLevel(40, 30, 200, 240);
  TProbe* c = ScrollingChild(*h, top, 0, 99, 10);
  TScrollRecorder rec;
  rec.Attach(c);
  h->MouseDown(c, 91, 190);  // the down arrow
  EXPECT_EQ(rec.Count(SB_LINEDOWN), 1);
  h->Wait(150);
  EXPECT_EQ(rec.Count(SB_LINEDOWN), 1) << "nothing before the first delay";
  h->Wait(60);
  EXPECT_EQ(rec.Count(SB_LINEDOWN), 2);
  h->Wait(100);
  EXPECT_EQ(rec.Count(SB_LINEDOWN), 4) << "then every 50 ms";
  h->MouseMove(c, 20, 20);  // off the arrow: held, but quiet
  h->Wait(100);
  EXPECT_EQ(rec.Count(SB_LINEDOWN), 4);
  h->MouseMove(c, 91, 190);
  h->Wait(50);
  EXPECT_EQ(rec.Count(SB_LINEDOWN), 5);
  h->MouseUp(c, 91, 190);
  EXPECT_EQ(rec.Entries.back().Code, SB_ENDSCROLL);
  h->Wait(300);
  EXPECT_EQ(rec.Count(SB_LINEDOWN), 5) << "released: no more";
}

TEST_F(WinApi, AHeldTrackPagesUntilTheThumbReachesTheMouse) {
  TProbe* top = h->TopLevel(40, 30, 200, 240);
  TProbe* c = ScrollingChild(*h, top, 0, 99, 10);
  TScrollRecorder rec;
  rec.Attach(c);
  rec.OnScroll = [&](int code) {
    if (code == SB_PAGEDOWN) SetScrollPos(c->Handle(), SB_VERT, GetScrollPos(c->Handle(), SB_VERT) + 10, true);
  };
  h->MouseDown(c, 91, 120);  // the track below the thumb
  h->Wait(1000);
  const int pages = rec.Count(SB_PAGEDOWN);
  EXPECT_GE(pages, 3);
  const int pos = GetScrollPos(c->Handle(), SB_VERT);
  EXPECT_GT(pos, 40);
  EXPECT_LT(pos, 90) << "stopped under the mouse, not at the end";
  h->MouseUp(c, 91, 120);
}

}  // namespace zvtest
