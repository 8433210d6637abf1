// The list drop-down (vtfDataList): the read-only grid gpDataListList bound, while shown, to
// the list of the vision that opened it; sized in whole rows; the navigation keys of the editor
// go to the grid; on close the user's widths and rows go back to the vision.

#include "runtime/std/DefPack.h"

#include "platform/controls/WinApi.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ScreenRoutines.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/StdDesigners.h"

#include <algorithm>

namespace zv {

namespace {

TDataListVision* ListVision(TVisionToolForm* form) {
  return form ? dynamic_cast<TDataListVision*>(form->Vision()) : nullptr;
}

int ListRecordCount(TDBDivoRud* grid) {
  TDataSet* data = grid->DataSet();
  return data && data->Active() ? data->RecordCount() : 0;
}

}  // namespace

void TzvDefPack::DataListShow(TObject*) {
  TVisionToolForm* form = vtfDataList;
  TDBDivoRud* grid = gpDataListList;
  grid->SetAutoColumnFit(false);
  grid->Columns()->Clear();
  grid->CurrentRecShot()->Deselect(false);
  const int width = form->Width();
  visImagedText->SetImages(nullptr);

  TDataListVision* vision = ListVision(form);
  TDataListLayout layout;
  fListKeepsWidths = false;
  if (!vision || !vision->DL_DropDownLayout(width, layout)) return;
  fListKeepsWidths = layout.KeepsWidths;
  grid->SetUniqueFields(layout.UniqueFields);
  if (layout.EditorWidth) form->SetPopupWidth(0);
  if (layout.Images && vision->DrawImages()) visImagedText->SetImages(layout.Images);
  AddBatch(grid->Columns(), layout.FieldNames, width, layout.Widths);

  dsgDataList->SetFocusRectKind(vision->SupportsDropDownOption(ddoNoFocusRect) ? frcNone : frcPersistentRow);
  // The image field names no field of the list without one: the cells then carry no image.
  visImagedText->SetRelatedFields(layout.ImageField.empty() ? "?" : layout.ImageField);
  if (grid->Columns()->Count() > 0) grid->Columns()->Items(0)->SetVision(visImagedText);
  const int columns = grid->Columns()->Count();
  dsgDataList->SetShowLines(columns > 1);

  grid->SetDataSource(vision->DefDataSource());
  grid->tfCurrentChanged();
  // No record holds the value: the first becomes the grid's current one, as a user's move there.
  if (!grid->CurrentRecShot()->HasRecord())
    if (TDataSet* data = grid->DataSet(); data && data->Active() && !data->IsEmpty()) {
      data->First();
      grid->CurrentRecShot()->Select(false);
    }

  TvtfOptions options = form->Options();
  if (!layout.EditorWidth) {
    options.Exclude(tfoFixedWidth);
    int sum = 0;
    for (int i = 0; i < columns; ++i) sum += grid->Columns()->Items(i)->Width();
    form->SetPopupWidth(sum + columns * dsgDataList->ColumnMargin() + GetScrollWidth(true));
  } else {
    options.Include(tfoFixedWidth);
  }
  grid->SetAutoColumnFit(true);

  int rows = vision->DropDownRows();
  const int count = ListRecordCount(grid);
  if (count < rows) {
    rows = count;
    options.Include(tfoFixedHeight);
  } else {
    options.Exclude(tfoFixedHeight);
  }
  form->SetOptions(options);
  form->SetHeight(grid->RowHeight() * std::max(rows, 2));
}

void TzvDefPack::DataListKeyDown(TObject*, Word& key, TShiftState shift) {
  if (!shift.Empty()) return;
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN:
      gpDataListList->Perform(WM_KEYDOWN, key, 0);
      key = 0;
      break;
    default: break;
  }
}

void TzvDefPack::DataListSizing(TObject*, TvpSizingInfo& info) {
  const int rowHeight = gpDataListList->RowHeight();
  if (rowHeight <= 0) return;
  TvpToolFormBG* popup = vtfDataList->Popup();
  const int frame = popup ? 2 * popup->FrameWidth() : 0;
  int rows = (info.Height - frame) / rowHeight;
  rows = std::max(std::min(rows, ListRecordCount(gpDataListList)), 2);
  info.Height = rows * rowHeight + frame;
}

void TzvDefPack::DataListClose(TObject*) {
  TDBDivoRud* grid = gpDataListList;
  TDataListVision* vision = ListVision(vtfDataList);
  // The widths the user sees, taken without the room of the vertical scroll bar.
  const TScrollStyle bars = grid->ScrollBars();
  grid->SetScrollBars(ssNone);
  vtfDataList->SetWidth(vtfDataList->Width() - GetScrollWidth(true));
  String widths;
  for (int i = 0; i < grid->Columns()->Count(); ++i)
    widths = lioAdd3(widths, std::to_string(grid->Columns()->Items(i)->Width()));
  grid->SetScrollBars(bars);
  if (vision) {
    if (fListKeepsWidths) vision->DL_StoreDropDownWidths(widths);
    const int shown = grid->VisibleRowCount();
    const int rows = vision->DropDownRows();
    if (shown > 0 && shown != rows && (shown < ListRecordCount(grid) || rows < shown)) vision->SetDropDownRows(shown);
  }
  grid->SetDataSource(nullptr);
}

}  // namespace zv
