#pragma once
// TgpDragger: one grid's side of a drag, a column's or a record's: what kind of drag runs, the
// foreign drag being accepted, the drop row shown, the record under the mouse, the drop markers
// and the last title hit. The markers are two small pop-up windows, since a canvas is clipped to
// its own control and an arrow reaches outside the grid.

#include "platform/graphics/Colors.h"
#include "platform/graphics/Geometry.h"
#include "runtime/grid/RecShot.h"
#include "runtime/grid/TitleTracker.h"

#include <memory>

namespace zv {

class TCustomImageList;
class TCustomForm;
class TDBDivoRud;
class TObject;

class TgpDragger {
public:
  explicit TgpDragger(TDBDivoRud& grid);
  ~TgpDragger();
  TgpDragger(const TgpDragger&) = delete;
  TgpDragger& operator=(const TgpDragger&) = delete;

  struct TMarkers {
    bool Shown = false;
    // The arrows' windows (made by PrepareMarkers) stand in for the host's screen and memory
    // devices; what was saved is the place they covered.
    std::unique_ptr<TCustomForm> Windows[2];
    TRect Saved[2];
    TPoint Pos[2];  // screen coordinates of each arrow's top left
    TCustomImageList* Images = nullptr;
    int Index[2] = {-1, -1};
    int Updates = 0;  // times the arrows moved or were repainted
  };

  TDBDivoRud& Grid;
  bool DesignDrag = false;
  bool RecordDragPending = false;
  bool RecordDragStarted = false;
  bool ColumnDrag = false;
  bool Accepting = false;
  bool TrackShown = false;
  TgpRecShot HotSpot;
  TMarkers Markers;
  TObject* Source = nullptr;
  TgpDropHit Hit;

  // The arrows' windows, made hidden; freed by UnPrepareMarkers.
  void PrepareMarkers();
  void UnPrepareMarkers();
  // Remembers the places the arrows cover, and hides them again.
  void SaveBG();
  void Restore();
  // Both arrows at client points a and b with images ia and ib of images; only a change of
  // place, list or index moves and repaints them.
  void DrawMarkerAt(TPoint a, TPoint b, TCustomImageList* images, int ia, int ib);
  // 0xFFFF is the yellow list; anything else the green one.
  static TCustomImageList* ColorToImages(TColor color);
  void DrawMarkerAtLevel(const TgpDropHit& hit);
  void DrawMarkerBetweenCells(const TgpDropHit& hit);
  void DrawMarkerBetweenGroups(const TgpDropHit& hit);
  // The record under the mouse while a drop row is shown; cleared with clear or off the cells.
  void UpdateHotSpotRecShot(bool clear);
  // Hit-tests a title drag at client (x, y), applies exclusions and restrictions, and shows
  // the markers for the result.
  void TraceTitleDrag(int x, int y);
};

}  // namespace zv
