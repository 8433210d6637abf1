#pragma once
// The records a grid's columns share with the rest of the grid: the column option sets and
// states, the per-group layout record, the per-column layout links, the footer attributes and
// the per-row cell attributes a column owns.

#include "platform/classes/Persistent.h"
#include "platform/classes/TypeInfo.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/rtl/Set.h"
#include "runtime/vision/PaintRecords.h"

#include <functional>
#include <memory>
#include <vector>

namespace zv {

class TgpColumn;

ZV_ENUM(TgpColumnVisualOption, cvoForeColorFill, cvoNoCaption, cvoNoFooterMarker, cvoWordWrap, cvoOwnerDraw);
using TgpColumnVisualOptions = TSet<TgpColumnVisualOption>;
ZV_ENUM(TgpColumnBehaviorOption,
  cboNoTitleStates, cboNoFooterStates, cboFixedWidth, cboStandalone, cboNoDragging, cboNoCustomizing, cboNoSelecting);
using TgpColumnBehaviorOptions = TSet<TgpColumnBehaviorOption>;
ZV_ENUM(TgpColumnMappingOption, cioImportCaption, cioImportDomain);
using TgpColumnMappingOptions = TSet<TgpColumnMappingOption>;
ZV_ENUM(TgpColumnFixed, cfNone, cfLeft);
ZV_ENUM(TgpColumnTitleState, tsSortedNone, tsSortedUp, tsSortedDown);
ZV_ENUM(TgpColumnFooterState, fsAverage, fsCount, fsMax, fsMin, fsSum, fsNone);
using TgpColumnFooterStates = TSet<TgpColumnFooterState>;

inline const TgpColumnFooterStates AllFooterStates{fsAverage, fsCount, fsMax, fsMin, fsSum, fsNone};

// How the in-place editor was left, and what the grid does next.
ZV_ENUM(TgpFieldEditAction,
  feaPost, feaCancel, feaMoveLeft, feaMoveRight, feaMoveUp, feaMoveDown, feaPrevTab, feaNextTab, feaNone);
ZV_ENUM(TgpFieldPostCode, fpcUnknown, fpcReturnKey, fpcArrowKey, fpcTabKey, fpcCharKey);

// DoEdit starts true; Action may be changed by the handler.
ZV_EVENT(TgpBeforeFieldEditEvent, void(TObject* sender, TgpColumn* column, bool& doEdit));
using TgpAfterFieldPostEvent =
    std::function<void(TObject* sender, TgpColumn* column, TgpFieldPostCode postCode, TgpFieldEditAction& action)>;

// One group of columns that has at least one visible column. Groups are numbered among the
// groups with visible columns; the ordinal counts every group. Widths in pixels.
class TgpGroupInfo {
public:
  int Number = -1;
  int Ordinal = -1;
  int FirstIndex = -1;  // collection indexes, hidden columns included
  int LastIndex = -1;
  int FirstVisible = -1;
  int SecondVisible = -1;
  int LastVisible = -1;
  int LevelCount = 0;  // actual levels: levels holding a visible column
  bool Single = false;
  int ContentWidth = 0;  // the widest level
  int TotalWidth = 0;    // content + line
  int MinWidth = 0;      // 2 pixels per visible column of the most crowded level
  int LineWidth = 0;     // the designer's space after each group
  int Left = 0;          // sum of the total widths of the groups before it
  TgpColumnFixed FixedKind = cfNone;
  bool HasFixedWidth = false;
  bool HasStandalone = false;
  bool InView = false;
  int DisplayLeft = 0;  // left edge in client coordinates

  void Clear();
};

// Where one column stands in its group, recomputed with the groups and widths.
struct TgpColumnLowLevelInfo {
  bool EndsLine = false;     // its right edge is the group's right edge on its level
  bool OnLastLevel = false;  // its bottom edge is the row's bottom edge
  TgpColumn* PrevVisible = nullptr;
  TgpColumn* NextVisible = nullptr;
};

// The look of a column's footer that the application may change at run time. clNone (the
// "no colour" value) leaves the colour to the designer.
class TgpFooterAttrs : public TPersistent {
  ZV_CLASS(TgpFooterAttrs, TPersistent)

public:
  explicit TgpFooterAttrs(TgpColumn* column = nullptr) : fColumn(column) {}

  TgpColumn* Column() const { return fColumn; }
  TColor Color() const { return fColor; }
  TColor FontColor() const { return fFontColor; }
  TFontStyles FontStyle() const { return fFontStyle; }
  const String& FontName() const { return fFontName; }

  // selector 1 the footer colour, 2 the font colour; any other selector raises EZVError.
  void SetColor(int selector, TColor value);
  void SetFontStyle(TFontStyles value);
  void SetFontName(const String& value);
  // Back to no colours, no style, no font name.
  void Reset();
  // From another TgpFooterAttrs: the four values; from nothing: Reset.
  void Assign(const TPersistent* source) override;

protected:
  // Repaints the owning column's footer.
  virtual void Changed();

private:
  TgpColumn* fColumn;
  TColor fColor = clNone;
  TColor fFontColor = clNone;
  TFontStyles fFontStyle;
  String fFontName;
};

// One TgpCellAttrs per buffered row of a column; resizing drops rows from the front.
class TgpCellAttrsList {
public:
  int Count() const { return static_cast<int>(fItems.size()); }
  // Null when out of range.
  TgpCellAttrs* Items(int index) const;
  void SetCount(int count);

private:
  std::vector<std::unique_ptr<TgpCellAttrs>> fItems;
};

}  // namespace zv
