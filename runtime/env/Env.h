#pragma once
// The environment form: one per process (zvEnv), created when the runtime package starts and
// freed when it ends, holding what every grid and vision shares: the arrow markers of column
// dragging, the title sort-state glyphs, the footer-state images and menu, the edit-action
// glyphs and the blob markers.
//
// The environment knows no grid: a footer state is its ordinal (Average, Count, Max, Min, Sum,
// None = 0..5), and a chosen menu item reaches the control that popped the menu up through
// IzvFooterMenuTarget.

#include "platform/controls/Form.h"

namespace zv {

class TField;
class TImageList;
class TMenuItem;
class TPopupMenu;

// A control that pops the footer menu up: it receives the chosen item.
class IzvFooterMenuTarget {
public:
  virtual ~IzvFooterMenuTarget() = default;
  virtual void FooterMenuClick(TMenuItem* item) = 0;
};

class TzvEnv : public TForm {
  ZV_CLASS(TzvEnv, TForm)

public:
  explicit TzvEnv(TComponent* owner);
  ~TzvEnv() override;

  // The number of footer states; an item's Tag is its state's ordinal.
  static constexpr int FooterStateCount = 6;
  static constexpr int FooterStateNone = 5;

  // ---- Image lists ---------------------------------------------------------------------------
  // Column-drag arrow markers, 15 x 15: 0 points down (drawn above the drop place), 1 points up,
  // 2 right, 3 left.
  TImageList* ArrowsYwImgs = nullptr;
  TImageList* ArrowsGrImgs = nullptr;
  // Title sort states, 10 x 9: 0 sorted up, 1 sorted down.
  TImageList* TitleStateImgs = nullptr;
  // Footer aggregates, one per state Average..Sum (0..4).
  TImageList* FooterStateImgs = nullptr;
  // Design-time glyphs: 0 a column, 1 a designer.
  TImageList* DesigntimeImgs = nullptr;
  // Edit actions: 0 cut, 1 copy, 2 paste, 3 clear, 4 load, 5 save to, 6 preview.
  TImageList* ToolbarImages = nullptr;
  // Blob markers: 0 a text (memo), 1 a picture, 2 other binary data.
  TImageList* BlobMarkers = nullptr;

  // ---- The footer menu -----------------------------------------------------------------------
  TPopupMenu* pumFooterMenu = nullptr;
  TMenuItem* miAverage = nullptr;
  TMenuItem* miCount = nullptr;
  TMenuItem* miMax = nullptr;
  TMenuItem* miMin = nullptr;
  TMenuItem* miSum = nullptr;
  TMenuItem* miSep1 = nullptr;
  TMenuItem* miNone = nullptr;

  // The item of a footer state's ordinal; null out of range.
  TMenuItem* GetFooterStateMenu(int state) const;
  // Enables exactly the items whose state applies to field: Count and None always, Average,
  // Max and Min for dates and times, those and Sum for numbers. No field: Count and None.
  void DisableNonApplicableFooterStates(const TField* field);
  // Every item's click: handed to the menu's pop-up component when it takes footer choices.
  void FooterMenuClick(TObject* sender);

private:
  void CreateImages();
  void CreateFooterMenu();
  void FooterMenuPopup(TObject* sender);
};

// The environment while the runtime package runs (nil before and after).
extern TzvEnv* zvEnv;

// Start-up and shutdown of the environment; nested calls count, only the outermost pair creates
// and frees zvEnv. The module "zvenv" runs them; the default pack's module and the package use it.
void StartEnv();
void StopEnv();

inline constexpr const char EnvModule[] = "zvenv";

}  // namespace zv
