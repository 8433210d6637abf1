// The bevel, the image and the splitter.

#include "platform/controls/ExtCtrls.h"

#include "platform/controls/Panel.h"
#include "platform/controls/WinApi.h"

#include <algorithm>

namespace zv {

// --- Bevel ---------------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TBevel, TGraphicControl)

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape value) {
  if (fShape == value) return;
  fShape = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (fStyle == value) return;
  fStyle = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas& c = *Canvas();
  const TColor dark = clBtnShadow, light = clBtnHighlight;
  // A lowered bevel is dark at the top left, a raised one light.
  const TColor first = fStyle == bsLowered ? dark : light, second = fStyle == bsLowered ? light : dark;
  TRect r = ClientRect();
  auto line = [&c](TColor color, int x1, int y1, int x2, int y2) {
    c.Pen()->SetColor(color);
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
  };
  c.Pen()->SetStyle(psSolid);
  c.Pen()->SetWidth(1);
  switch (fShape) {
    case bsBox: Frame3D(c, r, first, second, 1); break;
    case bsFrame: {
      // Two nested outlines, one pixel apart: an etched (or bumped) frame.
      TRect outer{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
      TRect inner{r.Left + 1, r.Top + 1, r.Right, r.Bottom};
      Frame3D(c, outer, first, first, 1);
      Frame3D(c, inner, second, second, 1);
      break;
    }
    case bsTopLine:
      line(first, r.Left, r.Top, r.Right, r.Top);
      line(second, r.Left, r.Top + 1, r.Right, r.Top + 1);
      break;
    case bsBottomLine:
      line(first, r.Left, r.Bottom - 2, r.Right, r.Bottom - 2);
      line(second, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
      break;
    case bsLeftLine:
      line(first, r.Left, r.Top, r.Left, r.Bottom);
      line(second, r.Left + 1, r.Top, r.Left + 1, r.Bottom);
      break;
    case bsRightLine:
      line(first, r.Right - 2, r.Top, r.Right - 2, r.Bottom);
      line(second, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
      break;
    case bsSpacer: break;
  }
}

void TBevel::DeclareProperties(TPropTable<TBevel>& t) {
  t.Publish("Align");
  DeclareSizing(t, true, true);
  t.Publish("ParentShowHint");
  t.Prop("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
  t.Publish("ShowHint");
  t.Prop("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
  t.Publish("Visible");
}

// --- Image ---------------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TImage, TGraphicControl)

TImage::TImage(TComponent* owner) : TGraphicControl(owner), fPicture(std::make_unique<TPicture>()) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(0, 0, 105, 105);
  fPicture->OnChange = [this](TObject* sender) { PictureChanged(sender); };
}

TImage::~TImage() {
  Destroying();
  fPicture->OnChange = nullptr;
}

void TImage::PictureChanged(TObject*) {
  if (fAutoSize && fPicture->Width() > 0 && fPicture->Height() > 0)
    SetBounds(Left(), Top(), fPicture->Width(), fPicture->Height());
  Invalidate();
}

void TImage::SetCenter(bool value) {
  if (fCenter == value) return;
  fCenter = value;
  Invalidate();
}

void TImage::SetStretch(bool value) {
  if (fStretch == value) return;
  fStretch = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  if (fProportional == value) return;
  fProportional = value;
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  fAutoSize = value;
  if (value) PictureChanged(nullptr);
}

TRect TImage::DestRect() const {
  int w = fPicture->Width(), h = fPicture->Height();
  const int cw = ClientWidth(), ch = ClientHeight();
  if (fStretch || (fProportional && (w > cw || h > ch))) {
    if (fProportional && w > 0 && h > 0) {
      // Fit the longer side first, then the other if it still overflows; aspect kept.
      const double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<int>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<int>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<int>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (fCenter) OffsetRect(r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* graphic = fPicture->Graphic();
  if (!graphic || graphic->Empty()) return;
  Canvas()->StretchDraw(DestRect(), graphic);
}

void TImage::DeclareProperties(TPropTable<TImage>& t) {
  t.Publish("Align");
  DeclareSizing(t, true, true);
  t.Prop("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(0);
  t.Prop("Center", &TImage::Center, &TImage::SetCenter).Default(0);
  for (const char* name : {"DragCursor", "DragKind", "DragMode", "Enabled", "ParentShowHint"})
    t.Publish(name);
  t.Prop("Picture", &TImage::Picture);
  t.Publish("PopupMenu");
  t.Prop("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(0);
  t.Publish("ShowHint");
  t.Prop("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(0);
  for (const char* name : {"Visible", "OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver",
                           "OnEndDrag", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag"})
    t.Publish(name);
}

// --- Splitter ----------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TSplitter, TGraphicControl)

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
  SetAlign(alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
}

bool TSplitter::Horizontal() const { return Align() == alLeft || Align() == alRight; }

void TSplitter::AlignChanged() {
  const TCursor wanted = Horizontal() ? crHSplit : crVSplit;
  if (Cursor() != wanted) SetCursor(wanted);
}

void TSplitter::Dispatch(TMessage& message) {
  AlignChanged();
  TGraphicControl::Dispatch(message);
}

void TSplitter::SetBeveled(bool value) {
  if (fBeveled == value) return;
  fBeveled = value;
  Invalidate();
}

TControl* TSplitter::FindControl() const {
  if (!Parent()) return nullptr;
  TControl* best = nullptr;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    bool touches = false;
    switch (Align()) {
      case alLeft: touches = c->Left() + c->Width() == Left(); break;
      case alRight: touches = c->Left() == Left() + Width(); break;
      case alTop: touches = c->Top() + c->Height() == Top(); break;
      case alBottom: touches = c->Top() == Top() + Height(); break;
      default: break;
    }
    if (touches) best = c;
  }
  return best;
}

bool TSplitter::NewSize(int x, int y, int& size) {
  const TPoint p{Left() + x, Top() + y};
  const int delta = Horizontal() ? p.X - fDownPos.X : p.Y - fDownPos.Y;
  size = fStartSize + (Align() == alLeft || Align() == alTop ? delta : -delta);
  size = std::max(fMinSize, std::min(size, fMaxSize));
  bool accept = true;
  if (OnCanResize) OnCanResize(this, size, accept);
  return accept;
}

void TSplitter::ApplySize(int size) {
  if (!fControl) return;
  if (Horizontal()) fControl->SetWidth(size);
  else fControl->SetHeight(size);
}

TRect TSplitter::LineRect(int size) const {
  const int delta = Align() == alLeft || Align() == alTop ? size - fStartSize : fStartSize - size;
  TRect r = BoundsRect();
  if (Horizontal())
    OffsetRect(r, delta, 0);
  else
    OffsetRect(r, 0, delta);
  return r;
}

namespace {

// Inverts r on canvas, every other pixel for a pattern; origin is where the canvas's (0, 0) lies
// in the splitter's parent, so that the pattern keeps one phase across windows.
void InvertBar(TCanvas& canvas, const TRect& r, TPoint origin, bool pattern) {
  if (r.IsEmpty()) return;
  if (!pattern) {
    InvertRect(canvas, r);
    return;
  }
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left + ((r.Left + origin.X + y + origin.Y) & 1); x < r.Right; x += 2)
      InvertRect(canvas, {x, y, x + 1, y + 1});
}

// The line crosses the windowed controls on the parent too (a window's device leaves its
// children out): each gets its part, frame included. r is in parent's client coordinates, origin
// where those lie in the splitter's parent.
void InvertOnChildren(TWinControl* parent, const TRect& r, TPoint origin, bool pattern) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* c = dynamic_cast<TWinControl*>(parent->Controls(i));
    TRect window;
    if (!c || !c->Showing() || !c->HandleAllocated() || !GetWindowRect(c->Handle(), window)) continue;
    TRect part;
    if (!IntersectRect(part, r, c->BoundsRect())) continue;
    OffsetRect(part, -c->Left(), -c->Top());
    const TPoint windowOrigin{origin.X + c->Left(), origin.Y + c->Top()};
    if (const auto dc = GetWindowDC(c->Handle())) {
      TCanvas canvas(dc.get());
      InvertBar(canvas, part, windowOrigin, pattern);
    }
    const TPoint clientOrigin = c->ClientOrigin();
    const TPoint client{clientOrigin.X - window.Left, clientOrigin.Y - window.Top};
    OffsetRect(part, -client.X, -client.Y);
    InvertOnChildren(c, part, {windowOrigin.X + client.X, windowOrigin.Y + client.Y}, pattern);
  }
}

}  // namespace

void TSplitter::InvertLine(int size) {
  if (!Parent() || !Parent()->HandleAllocated()) return;
  const TRect r = LineRect(size);
  const bool pattern = fResizeStyle == rsPattern;
  if (const auto dc = GetDC(Parent()->Handle())) {
    TCanvas canvas(dc.get());
    InvertBar(canvas, r, {0, 0}, pattern);
  }
  InvertOnChildren(Parent(), r, {0, 0}, pattern);
}

void TSplitter::HideLine() {
  if (fLineSize < 0) return;
  InvertLine(fLineSize);
  fLineSize = -1;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  fControl = FindControl();
  if (!fControl) return;
  fDownPos = {Left() + x, Top() + y};
  fStartSize = Horizontal() ? fControl->Width() : fControl->Height();
  // What the other controls along the same axis leave, less the room the rest needs.
  const TRect client = Parent()->ClientRect();
  int taken = 0;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == fControl || !c->Visible()) continue;
    if (Horizontal() && (c->Align() == alLeft || c->Align() == alRight)) taken += c->Width();
    if (!Horizontal() && (c->Align() == alTop || c->Align() == alBottom)) taken += c->Height();
  }
  const int whole = Horizontal() ? client.Width() : client.Height();
  fMaxSize = std::max(fMinSize, whole - taken - fMinSize);
  fPendingSize = -1;
  if (fResizeStyle == rsLine || fResizeStyle == rsPattern) {
    fLineSize = fStartSize;
    InvertLine(fLineSize);
  }
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!fControl) return;
  int size = 0;
  if (!NewSize(x, y, size)) return;
  if (fResizeStyle == rsUpdate) {
    // The splitter moves with the control: keep measuring from where the mouse is now.
    const int before = Horizontal() ? fControl->Width() : fControl->Height();
    ApplySize(size);
    const int moved = (Horizontal() ? fControl->Width() : fControl->Height()) - before;
    const int signedMove = Align() == alLeft || Align() == alTop ? moved : -moved;
    if (Horizontal()) fDownPos.X += signedMove;
    else fDownPos.Y += signedMove;
    fStartSize += moved;
  } else {
    fPendingSize = size;
    if (fLineSize >= 0 && size != fLineSize) {
      HideLine();
      fLineSize = size;
      InvertLine(size);
    }
  }
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!fControl || button != mbLeft) return;
  HideLine();
  if (fResizeStyle != rsUpdate && fResizeStyle != rsNone && fPendingSize >= 0) ApplySize(fPendingSize);
  const bool moved = fResizeStyle == rsUpdate || fPendingSize >= 0;
  fControl = nullptr;
  fPendingSize = -1;
  if (moved && OnMoved) OnMoved(this);
}

void TSplitter::Paint() {
  TCanvas& c = *Canvas();
  TRect r = ClientRect();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  if (fBeveled) DrawEdge(c, r, BDR_RAISEDINNER, BF_RECT);
}

void TSplitter::DeclareProperties(TPropTable<TSplitter>& t) {
  t.Publish("Align");
  t.Prop("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled).Default(0);
  t.Publish("Color");
  DeclareSizing(t, false, true);
  t.Prop("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize).Default(30);
  t.Publish("ParentColor");
  t.Prop("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle).Default(rsPattern);
  t.Publish("Visible");
  t.Event("OnCanResize", &TSplitter::OnCanResize);
  t.Event("OnMoved", &TSplitter::OnMoved);
}

}  // namespace zv
