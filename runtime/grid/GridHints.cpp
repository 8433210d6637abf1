// Hints over titles and footers whose text the grid had to cut: the column's whole caption, or
// the footer's text with its aggregate's name ("Sum = 1250").
#include "platform/controls/Application.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/GridHint.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvStrings.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(THintWindowEx, THintWindow)

THintWindowEx::THintWindowEx(TComponent* owner) : THintWindow(owner) {}

TRect THintWindowEx::CalcHintRect(int maxWidth, const String& hint, void*) {
  TCanvas& c = MeasureCanvas();
  c.Font()->Assign(Font());
  TRect r{0, 0, std::max(maxWidth, 1), 0};
  DrawText(c, ShowableText(hint, r.Right, Screen->WorkAreaRect(), c.TextHeight("Wg")), r,
           DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  r.Right += 6;
  r.Bottom += 4;
  return r;
}

void THintWindowEx::Paint() {
  TCanvas& c = *Canvas();
  const TRect client = ClientRect();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect(client);
  c.Brush()->SetColor(clWindowFrame);
  c.FrameRect(client);
  c.Font()->Assign(Font());
  c.Brush()->SetStyle(bsClear);
  TRect r{client.Left + 3, client.Top + 2, client.Right - 1, client.Bottom - 1};
  DrawText(c, Caption(), r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

// ---- The grid's side ---------------------------------------------------------------------------------

// The column draws its title or footer once onto a scratch canvas and tells whether the text
// was cut; only then is there a hint.
String TDBDivoRud::HintTextAt(const TgpGridHit& hit) {
  if (hit.Column < 0 || (hit.Area != gaTitle && hit.Area != gaFooter)) return {};
  TgpColumn* c = d->Columns->Items(hit.Column);
  if (!d->HintScratch) {
    d->HintScratch = std::make_unique<TBitmap>();
    d->HintScratch->SetSize(1, 1);
  }
  TCanvas& canvas = *d->HintScratch->Canvas();
  bool truncated = false;
  if (hit.Area == gaTitle) {
    c->DrawTitle(canvas, &truncated);
    return truncated ? c->TitleCaption() : String();
  }
  c->DrawFooter(canvas, &truncated);
  if (!truncated) return {};
  if (c->FooterState() == fsNone) return c->FooterText();
  return lioRead(SFooterStateStrings.Text(), static_cast<int>(c->FooterState())) + " = " + c->FooterText();
}

void TDBDivoRud::CMHintShow(TMessage& message) {
  THintInfo* info = TCMHintShow(message).HintInfo();
  message.Result = 1;  // nothing to show unless a cut text is under the mouse
  // Nor while a title is held down, an edge or anything else dragged.
  if (!info || d->GridState != gsNormal || d->TitleTracker->DragRunning()) return;
  const TPoint p = info->CursorPos;
  const String text = HintTextAt(PointToCell(p.X, p.Y));
  if (text.empty()) return;
  info->HintStr = text;
  info->HintWindowClass = THintWindowEx::StaticClass();
  info->ReshowTimeout = 0;
  info->HideTimeout = 20000;
  info->HintData = this;
  info->CursorRect = TRect{p.X - 4, p.Y - 4, p.X + 4, p.Y + 4};
  message.Result = 0;
}

void TDBDivoRud::CMHintShowPause(TMessage& message) {
  if (int* pause = TCMHintShowPause(message).Pause()) *pause = 500;
  message.Result = 0;
}

}  // namespace zv
