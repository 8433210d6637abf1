// The design surface: what mouse and keys on a designed form do. Controls are chosen, moved
// and sized in the root's client coordinates; components that are no controls show as icons
// at their DesignInfo.

#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/WinControl.h"
#include "platform/design/DesignConsts.h"
#include "platform/design/DesignIntf.h"
#include "platform/design/FormDesigner.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace zv {

namespace {

TPoint IconOrigin(const TComponent* c) {
  const auto info = static_cast<std::uint32_t>(c->DesignInfo());
  return {static_cast<std::int16_t>(info & 0xFFFF), static_cast<std::int16_t>(info >> 16)};
}

bool IsIcon(const TComponent* c) { return !dynamic_cast<const TControl*>(c) && !c->HasParent(); }

bool Inside(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

// The eight points a control is sized by: 0 top-left, clockwise to 7 left.
std::array<TPoint, 8> HandleCentres(const TRect& r) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  return {{{r.Left, r.Top}, {cx, r.Top}, {r.Right, r.Top}, {r.Right, cy},
           {r.Right, r.Bottom}, {cx, r.Bottom}, {r.Left, r.Bottom}, {r.Left, cy}}};
}

TRect HandleRect(TPoint centre) {
  const int half = TFormDesigner::GrabSize / 2;
  return {centre.X - half, centre.Y - half, centre.X - half + TFormDesigner::GrabSize, centre.Y - half + TFormDesigner::GrabSize};
}

void FillSquare(TCanvas& canvas, const TRect& r, TColor color) {
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(color);
  canvas.FillRect(r);
}

// A component that is no control: a raised square holding the class's image (or a generic
// glyph when it has none), its name centred under it. r is the square, in dc's coordinates.
void PaintIcon(TCanvas& canvas, TComponent* component, TRect r) {
  const TRect square = r;
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(clBtnFace);
  DrawEdge(canvas, r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  const int cx = (square.Left + square.Right) / 2, cy = (square.Top + square.Bottom) / 2;
  if (TBitmap* image = ComponentImage(component->ClassType()); image && !image->Empty()) {
    canvas.Draw(cx - image->Width() / 2, cy - image->Height() / 2, image);
  } else {
    canvas.Pen()->SetColor(clBtnShadow);
    canvas.Brush()->SetColor(clWindow);
    canvas.Rectangle(cx - 8, cy - 8, cx + 8, cy + 8);
    FillSquare(canvas, {cx - 4, cy - 4, cx + 4, cy + 4}, clNavy);
  }
  const String& name = component->Name();
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetColor(clWindowText);
  canvas.TextOut(cx - canvas.TextWidth(name) / 2, square.Bottom + 2, name);
}

}  // namespace

TPoint TFormDesigner::ToRoot(TControl* control, TPoint p) const {
  for (TControl* c = control; c && c != fRoot; c = c->Parent()) {
    p.X += c->Left();
    p.Y += c->Top();
  }
  return p;
}

TRect TFormDesigner::ComponentRect(TComponent* component) const {
  if (auto* control = dynamic_cast<TControl*>(component)) {
    if (control == fRoot) return {0, 0, control->ClientWidth(), control->ClientHeight()};
    const TPoint origin = ToRoot(control->Parent(), {control->Left(), control->Top()});
    return {origin.X, origin.Y, origin.X + control->Width(), origin.Y + control->Height()};
  }
  const TPoint o = IconOrigin(component);
  return {o.X, o.Y, o.X + IconSize, o.Y + IconSize};
}

TComponent* TFormDesigner::ComponentAt(TPoint p) const {
  // Icons lie above the controls; the last one placed is on top.
  for (int i = fRoot->ComponentCount() - 1; i >= 0; --i)
    if (TComponent* c = fRoot->Components(i); IsIcon(c) && Inside(ComponentRect(c), p)) return c;
  auto* container = dynamic_cast<TWinControl*>(fRoot);
  if (!container) return fRoot;
  TControl* found = container;
  TPoint local = p;
  while (container) {
    TControl* child = container->ControlAtPos(local, true, true);
    if (!child) break;
    found = child;
    local = {local.X - child->Left(), local.Y - child->Top()};
    container = dynamic_cast<TWinControl*>(child);
  }
  return found;
}

TWinControl* TFormDesigner::ContainerAt(TPoint p) const {
  TComponent* c = ComponentAt(p);
  for (auto* control = dynamic_cast<TControl*>(c); control; control = control->Parent())
    if (auto* w = dynamic_cast<TWinControl*>(control); w && (w == fRoot || w->ControlStyle().Contains(csAcceptsControls)))
      return w;
  return dynamic_cast<TWinControl*>(fRoot);
}

int TFormDesigner::GrabHandleAt(TPoint p) const {
  if (fSelection.size() != 1 || fSelection.front() == fRoot || !dynamic_cast<TControl*>(fSelection.front())) return -1;
  const auto centres = HandleCentres(ComponentRect(static_cast<TComponent*>(static_cast<TControl*>(fSelection.front()))));
  for (int i = 0; i < 8; ++i)
    if (std::abs(p.X - centres[i].X) <= GrabSize / 2 + 1 && std::abs(p.Y - centres[i].Y) <= GrabSize / 2 + 1) return i;
  return -1;
}

void TFormDesigner::PaintDesignMarks(TWinControl* window, TPaintDevice& dc) {
  // Everything is placed in the root's client coordinates; this window's client area starts at
  // origin there, and what falls outside it is clipped by the device.
  const TPoint origin = ToRoot(window, {0, 0});
  const auto local = [&](TRect r) {
    OffsetRect(r, -origin.X, -origin.Y);
    return r;
  };
  TCanvas canvas(&dc);
  for (int i = 0; i < fRoot->ComponentCount(); ++i)
    if (TComponent* c = fRoot->Components(i); IsIcon(c)) PaintIcon(canvas, c, local(ComponentRect(c)));
  const bool single = fSelection.size() == 1;
  for (TPersistent* s : fSelection) {
    auto* c = dynamic_cast<TComponent*>(s);
    if (!c || c == fRoot || (!dynamic_cast<TControl*>(c) && !IsIcon(c))) continue;
    const auto centres = HandleCentres(local(ComponentRect(c)));
    const bool sizable = single && dynamic_cast<TControl*>(c);
    for (int h = 0; h < 8; ++h)
      if (sizable || h % 2 == 0) FillSquare(canvas, HandleRect(centres[h]), single ? clBlack : clGray);
  }
}

void TFormDesigner::InvalidateMarks() {
  auto* root = dynamic_cast<TWinControl*>(fRoot);
  if (!root || !root->HandleAllocated()) return;
  std::vector<TWinControl*> pending{root};
  while (!pending.empty()) {
    TWinControl* w = pending.back();
    pending.pop_back();
    if (w->HandleAllocated()) w->Invalidate();
    for (int i = 0; i < w->ControlCount(); ++i)
      if (auto* child = dynamic_cast<TWinControl*>(w->Controls(i))) pending.push_back(child);
  }
}

bool TFormDesigner::IsDesignMsg(TControl* sender, TMessage& message) {
  if (message.Msg >= WM_KEYFIRST && message.Msg <= WM_KEYLAST) return KeyMessage(message);
  if (message.Msg < WM_MOUSEFIRST || message.Msg > WM_MOUSELAST) return false;
  // A control may keep the mouse at design time (a grid's column edges, a page control's tabs).
  if (sender != fRoot && fDrag == Drag::None && sender->Perform(CM_DESIGNHITTEST, message.WParam, message.LParam) != 0)
    return false;
  return MouseMessage(sender, message);
}

bool TFormDesigner::MouseMessage(TControl* sender, TMessage& message) {
  const TPoint p = ToRoot(sender, LParamToPoint(message.LParam));
  const bool shift = (message.WParam & MK_SHIFT) != 0;
  auto* rootControl = dynamic_cast<TWinControl*>(fRoot);
  switch (message.Msg) {
    case WM_LBUTTONDOWN: {
      if (fPaletteTool) {
        const TClass tool = fPaletteTool;
        fPaletteTool = nullptr;
        TWinControl* container = ContainerAt(p);
        const TPoint at = container ? TPoint{p.X - ComponentRect(container).Left, p.Y - ComponentRect(container).Top} : p;
        SelectComponent(CreateComponent(tool, container, at.X, at.Y, 0, 0));
        return true;
      }
      fHandle = GrabHandleAt(p);
      TComponent* hit = ComponentAt(p);
      if (fHandle < 0) {
        const bool selected = std::find(fSelection.begin(), fSelection.end(), hit) != fSelection.end();
        if (shift) {
          TDesignerSelections next = fSelection;
          if (hit == fRoot) return true;
          std::erase(next, static_cast<TPersistent*>(fRoot));
          if (selected)
            std::erase(next, static_cast<TPersistent*>(hit));
          else
            next.push_back(hit);
          SetSelections(next);
          return true;
        }
        if (!selected) SelectComponent(hit);
      }
      fDrag = Drag::None;
      fDragOrigins.clear();
      for (TPersistent* s : fSelection)
        if (auto* c = dynamic_cast<TComponent*>(s); c && c != fRoot) fDragOrigins.push_back({c, ComponentRect(c)});
      if (!fDragOrigins.empty()) {
        fDrag = fHandle >= 0 ? Drag::Size : Drag::Move;
        fDragStart = p;
        if (rootControl && rootControl->HandleAllocated()) SetCapture(rootControl->Handle());
      }
      return true;
    }
    case WM_MOUSEMOVE: {
      if (fDrag == Drag::None) return true;
      const int dx = p.X - fDragStart.X, dy = p.Y - fDragStart.Y;
      for (const auto& [c, r] : fDragOrigins) {
        TRect n = r;
        if (fDrag == Drag::Move) {
          n = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
        } else {
          if (fHandle == 0 || fHandle == 6 || fHandle == 7) n.Left = std::min(r.Left + dx, r.Right);
          if (fHandle == 0 || fHandle == 1 || fHandle == 2) n.Top = std::min(r.Top + dy, r.Bottom);
          if (fHandle == 2 || fHandle == 3 || fHandle == 4) n.Right = std::max(r.Right + dx, r.Left);
          if (fHandle == 4 || fHandle == 5 || fHandle == 6) n.Bottom = std::max(r.Bottom + dy, r.Top);
        }
        if (auto* control = dynamic_cast<TControl*>(c)) {
          const TPoint parentOrigin = ToRoot(control->Parent(), {0, 0});
          control->SetBounds(n.Left - parentOrigin.X, n.Top - parentOrigin.Y, n.Right - n.Left, n.Bottom - n.Top);
        } else {
          c->SetDesignInfo(static_cast<std::int32_t>((static_cast<std::uint32_t>(n.Top) << 16) |
                                                     (static_cast<std::uint32_t>(n.Left) & 0xFFFFu)));
        }
      }
      InvalidateMarks();
      return true;
    }
    case WM_LBUTTONUP: {
      if (fDrag == Drag::None) return true;
      fDrag = Drag::None;
      ReleaseCapture();
      const bool moved = std::any_of(fDragOrigins.begin(), fDragOrigins.end(),
                                     [&](const auto& o) { return ComponentRect(o.first) != o.second; });
      fDragOrigins.clear();
      if (moved) Modified();
      return true;
    }
    case WM_LBUTTONDBLCLK: {
      TComponent* hit = ComponentAt(p);
      SelectComponent(hit);
      GetComponentEditor(hit, this)->Edit();
      return true;
    }
    case WM_RBUTTONDOWN: {
      TComponent* hit = ComponentAt(p);
      if (std::find(fSelection.begin(), fSelection.end(), hit) == fSelection.end()) SelectComponent(hit);
      return true;
    }
    case WM_RBUTTONUP:
      ShowContextMenu(ComponentAt(p), sender->ClientToScreen(LParamToPoint(message.LParam)));
      return true;
    default:
      return true;
  }
}

bool TFormDesigner::KeyMessage(TMessage& message) {
  if (message.Msg != WM_KEYDOWN) return true;
  const TShiftState shift = KeyboardStateToShiftState();
  const auto key = static_cast<Word>(message.WParam);
  if (key == VK_DELETE) {
    DeleteSelection();
    return true;
  }
  int dx = 0, dy = 0;
  switch (key) {
    case VK_LEFT: dx = -1; break;
    case VK_RIGHT: dx = 1; break;
    case VK_UP: dy = -1; break;
    case VK_DOWN: dy = 1; break;
    default: return true;
  }
  // Ctrl+arrows move the selected controls by a pixel, Shift+arrows size them.
  if (!shift.Contains(ssCtrl) && !shift.Contains(ssShift)) return true;
  bool changed = false;
  for (TPersistent* s : fSelection) {
    auto* control = dynamic_cast<TControl*>(s);
    if (!control || control == fRoot) continue;
    if (shift.Contains(ssShift))
      control->SetBounds(control->Left(), control->Top(), std::max(0, control->Width() + dx), std::max(0, control->Height() + dy));
    else
      control->SetBounds(control->Left() + dx, control->Top() + dy, control->Width(), control->Height());
    changed = true;
  }
  if (changed) Modified();
  return true;
}

void TFormDesigner::ReleaseEditors() {
  fContextMenu->Items()->Clear();
  fMenuEditor.reset();
}

void TFormDesigner::ShowContextMenu(TComponent* component, TPoint screen) {
  TMenuItem* items = fContextMenu->Items();
  items->Clear();
  fMenuEditor = GetComponentEditor(component, this);
  const auto add = [&](const String& caption, std::function<void()> action) {
    auto* item = new TMenuItem(fContextMenu);
    item->SetCaption(caption);
    if (action) item->OnClick = [action = std::move(action)](TObject*) { action(); };
    items->Add(item);
    return item;
  };
  const int verbs = fMenuEditor->GetVerbCount();
  for (int i = 0; i < verbs; ++i) {
    TComponentEditor* editor = fMenuEditor.get();
    TMenuItem* item = add(editor->GetVerb(i), [editor, i] { editor->ExecuteVerb(i); });
    editor->PrepareItem(i, item);
  }
  if (verbs > 0) add("-", nullptr);
  auto* control = dynamic_cast<TControl*>(component);
  const bool isChild = control && component != fRoot;
  add(SMenuBringToFront, [control] { control->BringToFront(); })->SetEnabled(isChild);
  add(SMenuSendToBack, [control] { control->SendToBack(); })->SetEnabled(isChild);
  add(SMenuDelete, [this] { DeleteSelection(); })->SetEnabled(component != fRoot);
  fContextMenu->SetPopupComponent(component);
  fContextMenu->Popup(screen.X, screen.Y);
}

}  // namespace zv
