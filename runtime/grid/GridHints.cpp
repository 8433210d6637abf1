// Hints over titles and footers whose text the grid had to cut: the column's whole caption, or
// the footer's text with its aggregate's name ("Sum = 1250").
#include "platform/controls/Application.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
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

// Whether text needs more room than r, measured as it is drawn (word-wrapped for titles).
bool TDBDivoRud::TextTruncated(const String& text, const TRect& r, bool wrap) {
  if (!HandleAllocated() || r.IsEmpty()) return false;
  TRect needed{0, 0, r.Width(), 0};
  DrawText(*Canvas(), text, needed, DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : 0u));
  return needed.Width() > r.Width() || needed.Height() > r.Height();
}

String TDBDivoRud::HintTextAt(const TgpGridHit& hit) {
  if (hit.Column < 0 || (hit.Area != gaTitle && hit.Area != gaFooter)) return {};
  TgpColumn* c = fColumns->Items(hit.Column);
  TgpDesigner* d = EffectiveDesigner();
  TCanvas& canvas = *Canvas();
  canvas.Font()->Assign(Font());
  if (hit.Area == gaTitle) {
    if (c->OptionsVisual().Contains(cvoNoCaption)) return {};
    if (d && d->HasTitleFont()) d->TitleFont()->CopyTo(*canvas.Font());
    TRect r = fLayout.TitleRect(*c, false);
    if (d) r = d->TitleMargins()->Shrink(r);
    const String caption = c->Caption().empty() ? c->FieldName() : c->Caption();
    return TextTruncated(caption, r, true) ? caption : String();
  }
  if (c->FooterState() == fsNone && c->FooterText().empty()) return {};
  if (d && d->HasFooterFont()) d->FooterFont()->CopyTo(*canvas.Font());
  TRect r = fLayout.FooterRect(*c, false, true);
  if (d) r = d->FooterMargins()->Shrink(r);
  if (!TextTruncated(FooterDisplayText(*c), r, false)) return {};
  if (c->FooterState() == fsNone) return c->FooterText();
  return lioRead(SFooterStateStrings.Text(), static_cast<int>(c->FooterState())) + " = " + c->FooterText();
}

void TDBDivoRud::CMHintShow(TMessage& message) {
  THintInfo* info = TCMHintShow(message).HintInfo();
  message.Result = 1;  // nothing to show unless a cut text is under the mouse
  if (!info) return;
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
