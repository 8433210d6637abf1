// The memo vision: a text or memo field's whole value in a multi-line editor, posted with the
// line breaks the stored text uses.

#include "runtime/std/BlobVisions.h"

#include "platform/db/Field.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldValue.h"
#include "runtime/vision/Painter.h"

#include <algorithm>

namespace zv {

bool AllBreaksAreLineFeeds(std::string_view stored) {
  bool any = false;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == '\r') return false;
    if (stored[i] == '\n') any = true;
  }
  return any;
}

String RestoreLineFeeds(std::string_view typed, std::string_view stored) {
  if (!AllBreaksAreLineFeeds(stored)) return String(typed);
  String out;
  out.reserve(typed.size());
  for (std::size_t i = 0; i < typed.size(); ++i) {
    if (typed[i] == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n') continue;
    out += typed[i];
  }
  return out;
}

std::string_view TextForCell(std::string_view text, const TRect& cell) {
  // A generous bound: a character of one pixel by two on every line the cell holds.
  const std::size_t room = 64 + static_cast<std::size_t>(std::max(0, cell.Width())) *
                                    static_cast<std::size_t>(std::max(0, cell.Height()) / 2 + 1) * 4;
  if (text.size() <= room) return text;
  std::size_t end = room;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // not inside a character
  return text.substr(0, end);
}

ZV_DEFINE_CLASS_WITH_PROPS(TMemoVision, TvpFieldVision)

TMemoVision::TMemoVision(TComponent* owner) : TvpFieldVision(owner) {
  SetMultiLine(true);
  SetWantReturns(true);
  SetWantTabs(true);
  SetEnableButton(false);
  SetEditWordWrap(true);
  SetEditScrollBars(ssVertical);
}

void TMemoVision::DeclareProperties(TPropTable<TMemoVision>& t) {
  using V = TvpFieldVision;
  using C = TMemoVision;
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment).Default(talDefault);
  t.Prop("MaxLength", &V::MaxLength, &V::SetMaxLength).Default(0);
  t.Prop("EditWordWrap", &V::EditWordWrap, &V::SetEditWordWrap).Default(true);
  t.Prop("EditScrollBars", &V::EditScrollBars, &V::SetEditScrollBars).Default(ssVertical);
  t.Prop("EditReadOnly", &V::EditReadOnly, &V::SetEditReadOnly).Default(false);
  t.Prop("WantReturns", &V::WantReturns, &V::SetWantReturns).Default(true);
  t.Prop("WantTabs", &V::WantTabs, &V::SetWantTabs).Default(true);
  t.Event("OnGetText", &C::OnGetText);
  t.Event("BeforeEdit", &C::BeforeEdit);
  t.Event("BeforePost", &C::BeforePost);
  t.Event("AfterPost", &C::AfterPost);
  t.Event("OnInitEdit", &C::OnInitEdit);
  t.Event("OnDraw", &C::OnDraw);
  t.Event("OnGetValue", &C::OnGetValue);
}

void TMemoVision::VM_ValidFields(TgpFieldList& fields, bool& valid) { valid = !fields.FieldNames().empty(); }

void TMemoVision::VM_GetText(TgpFieldList& fields, bool displayText, String& text) {
  (void)displayText;
  if (TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField()) {
    text = field->AsString();
    return;
  }
  text.clear();
  bool isNull = true;
  if (OnGetValue) OnGetValue(this, &fields, text, isNull);
}

void TMemoVision::PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) {
  (void)cancel;
  TgpFieldList& fields = edit.Fields();
  TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField();
  value.SetAsString(field && !field->IsNull() ? RestoreLineFeeds(edit.Text(), field->AsString()) : edit.Text());
}

void TMemoVision::VM_PreparePainter(TgpFieldList& fields, TfvPainter& painter) {
  TvpFieldVision::VM_PreparePainter(fields, painter);
  const std::string_view shown = TextForCell(painter.Text, painter.CellRect);
  if (shown.size() < painter.Text.size()) painter.Text.resize(shown.size());
}

TvpDefLayout TMemoVision::DefaultLayout(TgpFieldList& fields) {
  (void)fields;
  return tlaTop;
}

TField* TMemoVision::AutoSearchField(TgpFieldList& fields, TFieldTextKind& kind) {
  if (fields.FieldNames().empty() || OnGetText) return nullptr;
  TField* field = fields.MainField();
  if (field) kind = ftkValueString;
  return field;
}

}  // namespace zv
