// The environment's pictures, drawn here as character maps: each character a pixel, '.' the
// transparent ground, other characters colours of the picture's palette.
#include "platform/controls/Menus.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"
#include "runtime/env/Env.h"

#include <initializer_list>
#include <string_view>

namespace zv {

namespace {

constexpr TColor Ground = clFuchsia;

struct TInk {
  char Key;
  TColor Color;
};

// Dark outline, a light and a dark fill, white, red, blue, green, yellow.
constexpr TInk Palette[] = {{'#', static_cast<TColor>(0x202020)}, {'o', static_cast<TColor>(0x808080)},
                            {'w', clWhite},  {'r', clRed},  {'b', clNavy},  {'g', static_cast<TColor>(0x008000)},
                            {'y', static_cast<TColor>(0x00D8FF)}, {'l', clSilver}};

TColor InkOf(char key, TColor fill) {
  if (key == 'f') return fill;
  for (const TInk& ink : Palette)
    if (ink.Key == key) return ink.Color;
  return Ground;
}

// Adds one picture, rows of equal length; 'f' takes fill.
void AddPicture(TImageList* list, std::initializer_list<std::string_view> rows, TColor fill = clBlack) {
  TBitmap bitmap;
  bitmap.SetWidth(list->Width());
  bitmap.SetHeight(list->Height());
  TCanvas* c = bitmap.Canvas();
  c->Brush()->SetColor(Ground);
  c->FillRect(TRect(0, 0, list->Width(), list->Height()));
  int y = 0;
  for (std::string_view row : rows) {
    for (int x = 0; x < static_cast<int>(row.size()) && x < list->Width(); ++x)
      if (row[static_cast<std::size_t>(x)] != '.') c->SetPixels(x, y, InkOf(row[static_cast<std::size_t>(x)], fill));
    if (++y >= list->Height()) break;
  }
  list->AddMasked(&bitmap, Ground);
}

TImageList* NewList(TComponent* owner, const char* name, int width, int height) {
  auto* list = new TImageList(owner);
  list->SetName(name);
  list->SetWidth(width);
  list->SetHeight(height);
  list->SetMasked(true);
  return list;
}

// The drag markers: a down arrow above the drop place, an up arrow below it.
void AddArrows(TImageList* list, TColor fill) {
  AddPicture(list,
             {"...#########...", "...#fffffff#...", "...#fffffff#...", "...#fffffff#...", "...#fffffff#...",
              "...#fffffff#...", "####fffffff####", ".#fffffffffff#.", "..#fffffffff#..", "...#fffffff#...",
              "....#fffff#....", ".....#fff#.....", "......#f#......", ".......#.......", "..............."},
             fill);
  AddPicture(list,
             {"...............", ".......#.......", "......#f#......", ".....#fff#.....", "....#fffff#....",
              "...#fffffff#...", "..#fffffffff#..", ".#fffffffffff#.", "####fffffff####", "...#fffffff#...",
              "...#fffffff#...", "...#fffffff#...", "...#fffffff#...", "...#fffffff#...", "...#########..."},
             fill);
  // 2 points right (drawn left of the drop place), 3 points left.
  AddPicture(list,
             {"......#........", "......##.......", "......#f#......", "#######ff#.....", "#fffffffff#....",
              "#ffffffffff#...", "#fffffffffff#..", "#ffffffffffff#.", "#fffffffffff#..", "#ffffffffff#...",
              "#fffffffff#....", "#######ff#.....", "......#f#......", "......##.......", "......#........"},
             fill);
  AddPicture(list,
             {"........#......", ".......##......", "......#f#......", ".....#ff#######", "....#fffffffff#",
              "...#ffffffffff#", "..#fffffffffff#", ".#ffffffffffff#", "..#fffffffffff#", "...#ffffffffff#",
              "....#fffffffff#", ".....#ff#######", "......#f#......", ".......##......", "........#......"},
             fill);
}

}  // namespace

void TzvEnv::CreateImages() {
  ArrowsYwImgs = NewList(this, "ArrowsYwImgs", 15, 15);
  AddArrows(ArrowsYwImgs, static_cast<TColor>(0x00E0FF));
  ArrowsGrImgs = NewList(this, "ArrowsGrImgs", 15, 15);
  AddArrows(ArrowsGrImgs, static_cast<TColor>(0x00B000));

  TitleStateImgs = NewList(this, "TitleStateImgs", 10, 9);
  // Sorted up: the small end on top; sorted down: the small end below.
  AddPicture(TitleStateImgs, {"....##....", "....##....", "...#oo#...", "...#oo#...", "..#oooo#..", "..#oooo#..",
                              ".#oooooo#.", ".#oooooo#.", "##########"});
  AddPicture(TitleStateImgs, {"##########", ".#oooooo#.", ".#oooooo#.", "..#oooo#..", "..#oooo#..", "...#oo#...",
                              "...#oo#...", "....##....", "....##...."});

  FooterStateImgs = NewList(this, "FooterStateImgs", 16, 16);
  // Average: a bar over x; Count: a tally; Max: a rising arrow to a line; Min: a falling one; Sum: sigma.
  AddPicture(FooterStateImgs, {"................", "...##########...", "................", "...##......##...",
                               "....##....##....", ".....##..##.....", "......####......", ".......##.......",
                               "......####......", ".....##..##.....", "....##....##....", "...##......##...",
                               "................", "................", "................", "................"});
  AddPicture(FooterStateImgs, {"................", "................", "..#..#..#..#....", "..#..#..#..#....",
                               "..#..#..#..#....", "..#..#..#..#....", "..############..", "..#..#..#..#....",
                               "..#..#..#..#....", "..#..#..#..#....", "..#..#..#..#....", "................",
                               "................", "................", "................", "................"});
  AddPicture(FooterStateImgs, {"................", "..############..", "................", ".......##.......",
                               "......####......", ".....##gg##.....", "....##gggg##....", ".......gg.......",
                               ".......gg.......", ".......gg.......", ".......gg.......", ".......gg.......",
                               "................", "................", "................", "................"});
  AddPicture(FooterStateImgs, {"................", ".......rr.......", ".......rr.......", ".......rr.......",
                               ".......rr.......", ".......rr.......", "....##rrrr##....", ".....##rr##.....",
                               "......####......", ".......##.......", "................", "..############..",
                               "................", "................", "................", "................"});
  AddPicture(FooterStateImgs, {"................", "...##########...", "...##......##...", "....##..........",
                               ".....##.........", "......##........", ".......##.......", "......##........",
                               ".....##.........", "....##..........", "...##......##...", "...##########...",
                               "................", "................", "................", "................"});

  DesigntimeImgs = NewList(this, "DesigntimeImgs", 16, 16);
  AddPicture(DesigntimeImgs, {"................", ".##############.", ".#bbbbbbbbbbbb#.", ".##############.",
                              ".#wwwwwwwwwwww#.", ".#wwwwwwwwwwww#.", ".##############.", ".#wwwwwwwwwwww#.",
                              ".#wwwwwwwwwwww#.", ".##############.", ".#wwwwwwwwwwww#.", ".#wwwwwwwwwwww#.",
                              ".##############.", "................", "................", "................"});
  AddPicture(DesigntimeImgs, {"................", "..........##....", ".........#yy#...", "........#yy#....",
                              ".......#yy#.....", "......#yy#......", ".....#yy#.......", "....#yy#........",
                              "...#yy#.........", "..#oo#..........", "..#o#...........", "..##............",
                              "................", "................", "................", "................"});

  ToolbarImages = NewList(this, "ToolbarImages", 16, 16);
  AddPicture(ToolbarImages, {"................", "...#.......#....", "...#.......#....", "....#.....#.....",
                             "....#.....#.....", ".....#...#......", "......#.#.......", ".......#........",
                             "......#.#.......", ".....#...#......", "...bbb...bbb....", "..b...b.b...b...",
                             "..b...b.b...b...", "...bbb...bbb....", "................", "................"});
  AddPicture(ToolbarImages, {"................", ".#######........", ".#wwwww#........", ".#w###w#........",
                             ".#wwwww######...", ".#w###w#wwww##..", ".#wwwww#w###w#..", ".#w####ww###w#..",
                             ".#######wwwww#..", "......#w####w#..", "......#wwwwww#..", "......#w####w#..",
                             "......#wwwwww#..", "......########..", "................", "................"});
  AddPicture(ToolbarImages, {"................", ".....####.......", "..###oooo###....", "..#oo####oo#....",
                             "..#oooooooo#....", "..#ooo########..", "..#ooo#wwwww##..", "..#ooo#w###w#...",
                             "..#ooo#wwwww#...", "..#ooo#w####w#..", "..#ooo#wwwwww#..", "..#####w####w#..",
                             "......#wwwwww#..", "......########..", "................", "................"});
  AddPicture(ToolbarImages, {"................", "................", "...rr......rr...", "....rr....rr....",
                             ".....rr..rr.....", "......rrrr......", ".......rr.......", "......rrrr......",
                             ".....rr..rr.....", "....rr....rr....", "...rr......rr...", "................",
                             "................", "................", "................", "................"});
  AddPicture(ToolbarImages, {"................", "................", ".####...........", "#yyyy#######....",
                             "#yyyyyyyyyy#....", "#yy###########..", "#yy#yyyyyyyyy#..", "#y#yyyyyyyyy#...",
                             "#y#yyyyyyyyy#...", "##yyyyyyyyy#....", "##yyyyyyyyy#....", "###########.....",
                             "................", "................", "................", "................"});
  AddPicture(ToolbarImages, {"................", ".#############..", ".#bb#lllll#bb#..", ".#bb#lllll#bb#..",
                             ".#bb#lllll#bb#..", ".#bb#######bb#..", ".#bbbbbbbbbbb#..", ".#bb#######bb#..",
                             ".#bb#wwwww#bb#..", ".#bb#wwwww#bb#..", ".#bb#wwwww#bb#..", ".#############..",
                             "................", "................", "................", "................"});
  AddPicture(ToolbarImages, {"................", ".....####.......", "...##wwww##.....", "..#ww....ww#....",
                             "..#w......w#....", ".#w........w#...", ".#w........w#...", ".#w........w#...",
                             "..#w......w#....", "..#ww....ww#....", "...##wwww###....", ".....####.###...",
                             "...........###..", "............###.", ".............##.", "................"});

  BlobMarkers = NewList(this, "BlobMarkers", 12, 12);
  AddPicture(BlobMarkers, {"#########...", "#wwwwwww##..", "#w#####w#w#.", "#wwwwwww####", "#w######www#",
                           "#wwwwwwwwww#", "#w########w#", "#wwwwwwwwww#", "#w######www#", "#wwwwwwwwww#",
                           "############", "............"});
  AddPicture(BlobMarkers, {"############", "#bbbbbbbbbb#", "#bbbbbbyybb#", "#bbbbbbyybb#", "#bbbbbbbbbb#",
                           "#bbbgbbbbbb#", "#bbgggbbbbb#", "#bgggggbgbb#", "#gggggggggg#", "#gggggggggg#",
                           "############", "............"});
  AddPicture(BlobMarkers, {"############", "#w#ww#w##ww#", "#ww#w##w#w##", "#w##ww#w#w##", "##w#w#ww##w#",
                           "#w#ww#w##ww#", "#ww#w##w#w##", "#w##ww#w#w##", "##w#w#ww##w#", "#w#ww#w##ww#",
                           "############", "............"});
}

}  // namespace zv
