// The drop markers of a title drag: two arrows, each a borderless pop-up of the image's size,
// shaped to the image, transparent to the mouse and shown without activation above every form,
// so that they may stand outside the grid. They move and repaint only when the target changes.
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Region.h"
#include "runtime/env/Env.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Dragger.h"
#include "runtime/grid/detail/GridPrivate.h"

namespace zv {

namespace {

class TgpMarkerWindow : public TCustomForm {
public:
  TgpMarkerWindow() : TCustomForm(nullptr) {
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
  }
  TCustomImageList* Images = nullptr;
  int Index = -1;

  // The window takes the opaque pixels of the image, no more: one rectangle per run of a row,
  // made again only when the image changes.
  void Shape(TCustomImageList* images, int index) {
    if (images == Images && index == Index && Shaped) return;
    Images = images;
    Index = index;
    Shaped = true;
    TRegion region;
    if (Images && Index >= 0 && Index < Images->Count()) {
      const TPixelBuffer& image = Images->Image(Index);
      for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width();) {
          if ((image.At(x, y) >> 24) == 0) {
            ++x;
            continue;
          }
          const int start = x;
          while (x < image.Width() && (image.At(x, y) >> 24) != 0) ++x;
          region.Unite({start, y, x, y + 1});
        }
    }
    SetWindowRgn(Handle(), &region, true);
  }
  bool Shaped = false;

protected:
  void Paint() override {
    if (Images) Images->Draw(Canvas(), 0, 0, Index);
  }
  void WndProc(TMessage& message) override {
    // The mouse and the drag's target search look through the arrows to what lies under them.
    if (message.Msg == WM_NCHITTEST) {
      message.Result = HTTRANSPARENT;
      return;
    }
    TCustomForm::WndProc(message);
  }
};

TgpMarkerWindow* Marker(const TgpDragger::TMarkers& m, int i) {
  return static_cast<TgpMarkerWindow*>(m.Windows[i].get());
}

}  // namespace

TgpDragger::TgpDragger(TDBDivoRud& grid) : Grid(grid), HotSpot(&grid) {}

TgpDragger::~TgpDragger() { UnPrepareMarkers(); }

void TgpDragger::PrepareMarkers() {
  for (auto& w : Markers.Windows)
    if (!w) w = std::make_unique<TgpMarkerWindow>();
}

void TgpDragger::UnPrepareMarkers() {
  Restore();
  for (auto& w : Markers.Windows) w.reset();
  Markers.Images = nullptr;
  Markers.Index[0] = Markers.Index[1] = -1;
}

void TgpDragger::SaveBG() {
  for (int i = 0; i < 2; ++i) {
    const int w = Markers.Images ? Markers.Images->Width() : 15;
    const int h = Markers.Images ? Markers.Images->Height() : 15;
    Markers.Saved[i] = {Markers.Pos[i].X, Markers.Pos[i].Y, Markers.Pos[i].X + w, Markers.Pos[i].Y + h};
  }
}

void TgpDragger::Restore() {
  if (!Markers.Shown) return;
  Markers.Shown = false;
  for (auto& w : Markers.Windows)
    if (w) w->Hide();
  Markers.Saved[0] = Markers.Saved[1] = {};
}

void TgpDragger::DrawMarkerAt(TPoint a, TPoint b, TCustomImageList* images, int ia, int ib) {
  if (!images || !Grid.HandleAllocated()) return;
  const TPoint pos[2] = {Grid.ClientToScreen(a), Grid.ClientToScreen(b)};
  const int index[2] = {ia, ib};
  if (Markers.Shown && Markers.Images == images && pos[0] == Markers.Pos[0] && pos[1] == Markers.Pos[1] &&
      index[0] == Markers.Index[0] && index[1] == Markers.Index[1])
    return;
  Restore();
  PrepareMarkers();
  Markers.Images = images;
  for (int i = 0; i < 2; ++i) {
    Markers.Pos[i] = pos[i];
    Markers.Index[i] = index[i];
  }
  SaveBG();
  for (int i = 0; i < 2; ++i) {
    TgpMarkerWindow* w = Marker(Markers, i);
    w->SetBounds(pos[i].X, pos[i].Y, images->Width(), images->Height());
    w->Shape(images, index[i]);
    w->Invalidate();
    w->ShowNoActivate();
  }
  Markers.Shown = true;
  ++Markers.Updates;
}

TCustomImageList* TgpDragger::ColorToImages(TColor color) {
  if (!zvEnv) return nullptr;
  return color == static_cast<TColor>(0xFFFF) ? zvEnv->ArrowsYwImgs : zvEnv->ArrowsGrImgs;
}

namespace {

// The visible column of group at (level, index); nullptr when none.
TgpColumn* CellAt(const TgpColumns& columns, const TgpGroupInfo& group, int level, int index) {
  for (int i = group.FirstIndex; i >= 0 && i <= group.LastIndex; ++i) {
    TgpColumn* c = columns.Items(i);
    if (c->Visible() && c->LayoutLevel() == level && (index < 0 || c->LayoutIndex() == index)) return c;
  }
  return nullptr;
}

}  // namespace

void TgpDragger::DrawMarkerAtLevel(const TgpDropHit& hit) {
  if (!hit.Group) return;
  const TgpColumns& columns = *Grid.Columns();
  int y = 0;
  if (TgpColumn* lower = CellAt(columns, *hit.Group, hit.Level, -1))
    y = Grid.TitleClientRect(lower, false).Top;
  else if (TgpColumn* upper = CellAt(columns, *hit.Group, hit.Level - 1, -1))
    y = Grid.TitleClientRect(upper, false).Bottom + 1;
  const int left = Grid.Layout().GroupLeft(*hit.Group);
  DrawMarkerAt({left - 15, y - 7}, {left + hit.Group->TotalWidth, y - 7}, ColorToImages(static_cast<TColor>(0xFFFF)),
               2, 3);
}

void TgpDragger::DrawMarkerBetweenCells(const TgpDropHit& hit) {
  if (!hit.Group) return;
  const TgpColumns& columns = *Grid.Columns();
  TRect r;
  if (TgpColumn* right = CellAt(columns, *hit.Group, hit.Level, hit.Index)) {
    r = Grid.TitleClientRect(right, false);
    r.Right = r.Left;
  } else if (TgpColumn* left = CellAt(columns, *hit.Group, hit.Level, hit.Index - 1)) {
    r = Grid.TitleClientRect(left, false);
    r.Left = r.Right;
  } else {
    return;
  }
  DrawMarkerAt({r.Left - 7, r.Top - 15}, {r.Left - 7, r.Bottom}, ColorToImages(static_cast<TColor>(0xFFFF)), 0, 1);
}

void TgpDragger::DrawMarkerBetweenGroups(const TgpDropHit& hit) {
  int x = 0;
  if (hit.Group) {
    x = Grid.Layout().GroupLeft(*hit.Group);
  } else {
    for (const TgpGroupInfo* g : Grid.Columns()->Groups())
      if (g->InView) x = std::max(x, Grid.Layout().GroupLeft(*g) + g->TotalWidth);
  }
  DrawMarkerAt({x - 7, -15}, {x - 7, Grid.Layout().TitleArea}, ColorToImages(clLime), 0, 1);
}

}  // namespace zv
