#include "platform/controls/RichEdit.h"


#include "platform/rtl/Consts.h"

namespace zv {

ZV_DEFINE_CLASS(TRichEditStrings, TStrings)
ZV_DEFINE_CLASS_WITH_PROPS(TCustomRichEdit, TCustomEdit)
ZV_DEFINE_CLASS_WITH_PROPS(TRichEdit, TCustomRichEdit)

// --- TCustomRichEdit -------------------------------------------------------------------------------

TCustomRichEdit::TCustomRichEdit(TComponent* owner)
    : TCustomEdit(owner), fLines(std::make_unique<TRichEditStrings>(this)) {
  SetControlStyle(ControlStyle() - TControlStyle{csFixedHeight});
  SetAutoSize(false);
  SetMultiLine(true);
  SetWordWrap(true);
  SetWantReturns(true);
  SetHideScrollBars(true);
  SetBounds(Left(), Top(), 185, 89);
}

TCustomRichEdit::~TCustomRichEdit() { Destroying(); }

const std::vector<std::size_t>& TCustomRichEdit::LineStarts() {
  if (fStartsValid) return fStarts;
  fStarts.clear();
  const String& text = WindowText();
  fStarts.push_back(0);
  for (std::size_t i = text.find("\r\n"); i != String::npos; i = text.find("\r\n", i + 2)) fStarts.push_back(i + 2);
  fStartsValid = true;
  return fStarts;
}

int TCustomRichEdit::LogicalLineCount() {
  const auto& starts = LineStarts();
  // An empty last line (an empty text, or one ending in a break) is not a line of Lines.
  const bool emptyLast = starts.back() == WindowText().size();
  return static_cast<int>(starts.size()) - (emptyLast ? 1 : 0);
}

void TCustomRichEdit::LogicalLine(int index, std::size_t& start, std::size_t& end) {
  const auto& starts = LineStarts();
  const auto i = static_cast<std::size_t>(index);
  start = starts[i];
  end = i + 1 < starts.size() ? starts[i + 1] - 2 : WindowText().size();
}

void TCustomRichEdit::DeclareProperties(TPropTable<TCustomRichEdit>& t) {
  // The text is streamed as Lines.
  t.Prop("Lines", &TCustomRichEdit::Lines).Unpublished();
  t.Prop("PlainText", &TCustomRichEdit::PlainText, &TCustomRichEdit::SetPlainText).Default(0).Unpublished();
  using R = TCustomRichEdit;
  t.Prop("HideScrollBars", &R::HideScrollBars, &R::SetHideScrollBars)
      .Default(1)
      .Unpublished();
  t.Prop("ScrollBars", &R::ScrollBars, &R::SetScrollBars)
      .Default(ssNone)
      .Unpublished();
  t.Prop("WantReturns", &R::WantReturns, &R::SetWantReturns)
      .Default(1)
      .Unpublished();
  t.Prop("WantTabs", &R::WantTabs, &R::SetWantTabs)
      .Default(0)
      .Unpublished();
  t.Prop("WordWrap", &R::WordWrap, &R::SetWordWrap)
      .Default(1)
      .Unpublished();
}

// The host's TRichEdit list, less what this host has no property for.
void TRichEdit::DeclareProperties(TPropTable<TRichEdit>& t) {
  for (const char* name :
       {"Align", "Alignment", "Anchors", "BorderStyle", "Color", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled", "Font", "HideScrollBars",
        "HideSelection", "Lines", "MaxLength", "ParentColor", "ParentFont", "ParentShowHint", "PlainText", "PopupMenu", "ReadOnly",
        "ScrollBars", "ShowHint", "TabOrder", "TabStop", "Visible", "WantTabs", "WantReturns", "WordWrap", "OnChange",
        "OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress",
        "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseWheel", "OnMouseWheelDown", "OnMouseWheelUp",
        "OnStartDrag"})
    t.Publish(name);
}

// --- TRichEditStrings --------------------------------------------------------------------------------
// Changes go through the selection and EM_REPLACESEL, as the host's do: they work on a
// read-only edit, fire the change event, and are not undoable.

int TRichEditStrings::GetCount() const { return fEdit->LogicalLineCount(); }

String TRichEditStrings::Get(int index) const {
  if (index < 0 || index >= GetCount()) Error(SListIndexError, index);
  std::size_t start = 0, end = 0;
  fEdit->LogicalLine(index, start, end);
  return fEdit->WindowText().substr(start, end - start);
}

namespace {
void ReplaceBytes(TCustomRichEdit* edit, std::size_t from, std::size_t to, const String& text) {
  const String& all = edit->WindowText();
  const int start = CountCodePoints(std::string_view(all).substr(0, from));
  const int end = start + CountCodePoints(std::string_view(all).substr(from, to - from));
  edit->SetSel(start, end);
  edit->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
}  // namespace

void TRichEditStrings::Put(int index, const String& s) {
  if (index < 0 || index >= GetCount()) Error(SListIndexError, index);
  std::size_t start = 0, end = 0;
  fEdit->LogicalLine(index, start, end);
  ReplaceBytes(fEdit, start, end, s);
}

void TRichEditStrings::Insert(int index, const String& s) {
  const int count = GetCount();
  if (index < 0 || index > count) Error(SListIndexError, index);
  std::size_t start = 0, end = 0;
  if (index < count) {
    fEdit->LogicalLine(index, start, end);
    ReplaceBytes(fEdit, start, start, s + "\r\n");
  } else if (count == 0) {
    ReplaceBytes(fEdit, 0, 0, fEdit->WindowText().empty() ? s : s + "\r\n");
  } else {
    // After the last line, before a trailing break if there is one.
    fEdit->LogicalLine(count - 1, start, end);
    ReplaceBytes(fEdit, end, end, "\r\n" + s);
  }
}

void TRichEditStrings::Delete(int index) {
  const int count = GetCount();
  if (index < 0 || index >= count) Error(SListIndexError, index);
  std::size_t start = 0, end = 0;
  fEdit->LogicalLine(index, start, end);
  const std::size_t size = fEdit->WindowText().size();
  if (end + 2 <= size)
    end += 2;  // the line and its break
  else if (start >= 2)
    start -= 2;  // the last line and the break before it
  ReplaceBytes(fEdit, start, end, String());
}

void TRichEditStrings::Clear() { fEdit->SetWindowText(String()); }

String TRichEditStrings::Text() const { return fEdit->WindowText(); }

void TRichEditStrings::SetText(const String& text) { fEdit->SetWindowText(text); }

}  // namespace zv
