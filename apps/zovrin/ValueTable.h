#pragma once
// The main window's content until the database browser exists: a custom-painted table of
// formatted values (a small grid on the host layer), a heading and a status line.

#include "platform/controls/CustomControl.h"
#include "platform/rtl/DateTime.h"

#include <vector>

namespace zovrin {

using namespace zv;

struct TValueRow {
  String Name;
  double Amount = 0;
  TDateTime When;
  double Share = 0;
};

// Rows of values under a header; one row is selected. Clicks and the arrow, page, Home and End
// keys select; the wheel and the scroll bar scroll (moving the painted rows, repainting the
// rest). Only the rows that need painting are painted.
class TValueTable : public TCustomControl {
public:
  explicit TValueTable(TComponent* owner);

  void SetRows(std::vector<TValueRow> rows);
  int RowCount() const { return static_cast<int>(fRows.size()); }
  const TValueRow& Rows(int index) const { return fRows.at(static_cast<std::size_t>(index)); }
  int Row() const { return fRow; }
  void SetRow(int row);
  int TopRow() const { return fTopRow; }
  void SetTopRow(int row);

  // The row's cells as shown, separated by tabs (for the clipboard).
  String RowText(int row) const;
  // The first row whose name starts with prefix, ignoring case; -1 when none does.
  int FindName(const String& prefix) const;

  TNotifyEvent OnSelect;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(Word& key, TShiftState shift) override;
  bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
  bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
  void WMVScroll(TWMScroll& message) override;
  void WMGetDlgCode(TMessage& message) override;
  void WMSize(TWMSize& message) override;
  void WMSetFocus(TWMSetFocus& message) override;
  void WMKillFocus(TWMKillFocus& message) override;
  void CMFontChanged(TMessage& message) override;

private:
  int RowHeight();
  TRect BodyRect() { return {0, RowHeight(), ClientWidth(), ClientHeight()}; }
  int VisibleRows();
  TRect RowRect(int row);
  void InvalidateRow(int row);
  void UpdateScrollBar();
  String Cell(const TValueRow& row, int column) const;

  std::vector<TValueRow> fRows;
  int fRow = 0;
  int fTopRow = 0;
  int fRowHeight = 0;
};

// A line of text under a sunken edge, at the bottom of the window.
class TStatusLine : public TGraphicControl {
public:
  explicit TStatusLine(TComponent* owner);

protected:
  void Paint() override;
};

// A bold heading with a rule under it.
class THeading : public TGraphicControl {
public:
  explicit THeading(TComponent* owner);

protected:
  void Paint() override;
};

}  // namespace zovrin
