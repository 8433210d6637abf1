// The drop-down blob visions: a text or a picture shown in the cell as a marker (or, for texts,
// as text) and edited in the default pack's blob picker.

#include "runtime/std/BlobVisions.h"

#include "platform/db/Field.h"
#include "platform/graphics/ImageList.h"
#include "runtime/env/Env.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldValue.h"

namespace zv {

namespace {

TField* MainFieldOf(TgpFieldList& fields) { return fields.FieldNames().empty() ? nullptr : fields.MainField(); }

}  // namespace

// ---- TDropDownBlobVision ----------------------------------------------------------------------

ZV_DEFINE_CLASS(TDropDownBlobVision, TToolFormVision)

TDropDownBlobVision::TDropDownBlobVision(TComponent* owner) : TToolFormVision(owner) {
  SetEnableButton(true);
  SetSurfaceKind(vskCustom);
  SetComboBoxStyle(true);
}

void TDropDownBlobVision::VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) {
  (void)fields;
  painter.DefaultDrawing = false;
  if (painter.Canvas && painter.Standalone && painter.CellAttrs && painter.CellAttrs->Focused) {
    const TRect& c = painter.CellRect;
    painter.DrawFocusRect({c.Left + 1, c.Top + 1, c.Right - 1, c.Bottom - 1});
  }
}

TVisionToolForm* TDropDownBlobVision::DefaultDropDown() { return zvDefPack ? zvDefPack->vtfBlobPicker : nullptr; }

void TDropDownBlobVision::DrawMarker(TfvPainter& painter, int marker, bool isNull) {
  TImageList* markers = zvEnv ? zvEnv->BlobMarkers : nullptr;
  if (!painter.Canvas || !markers || marker >= markers->Count()) return;
  const TRect& c = painter.CellRect;
  const int x = c.Left + (c.Width() - markers->Width()) / 2;
  const int y = c.Top + (c.Height() - markers->Height()) / 2;
  markers->Draw(painter.Canvas, x, y, marker, !isNull);
}

// ---- TTextVision --------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TTextVision, TDropDownBlobVision)

TTextVision::TTextVision(TComponent* owner) : TDropDownBlobVision(owner) {}

void TTextVision::DeclareProperties(TPropTable<TTextVision>& t) {
  using V = TvpFieldVision;
  using C = TTextVision;
  PublishDropDown(t);
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment).Default(talDefault);
  t.Prop("MaxLength", &V::MaxLength, &V::SetMaxLength).Default(0);
  t.Prop("DropDownOptionsEx", &C::DropDownOptionsEx, &C::SetDropDownOptionsEx).Default(TfvDropDownTextOptions{});
  t.Prop("DropDownScrollBars", &C::DropDownScrollBars, &C::SetDropDownScrollBars).Default(ssBoth);
  t.Prop("DisplayAs", &C::DisplayAs, &C::SetDisplayAs).Default(tbmIcon);
}

void TTextVision::SetDisplayAs(TfvTextBlobMarker value) {
  if (fDisplayAs == value) return;
  fDisplayAs = value;
  Invalidate();
}

void TTextVision::PE_ResetEdit(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  current.Clear();
  current.SetDataType(ftString);
  if (TField* field = MainFieldOf(edit.Fields())) current.SetAsString(field->IsBlob() ? field->AsString() : field->Text());
  current.SetModified(false);
  current.SetTextChanged(false);
}

void TTextVision::VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) {
  TField* field = MainFieldOf(fields);
  const bool isNull = !field || field->IsNull();
  switch (fDisplayAs) {
    case tbmDefault:
      if (field) painter.DrawText(field->DisplayText(), fields.Alignment(), tlaDefault, 0, 0);
      break;
    case tbmIcon: DrawMarker(painter, 0, isNull); break;
    case tbmText:
      // Only what fits is laid out: the painter cuts the text at the cell.
      if (field) painter.DrawText(TextForCell(field->AsString(), painter.CellRect), fields.Alignment(), tlaDefault, 0, 0);
      break;
  }
  TDropDownBlobVision::VM_DrawEdit(fields, painter);
}

// ---- TPictureVision -------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TPictureVision, TDropDownBlobVision)

TPictureVision::TPictureVision(TComponent* owner) : TDropDownBlobVision(owner) {}

void TPictureVision::DeclareProperties(TPropTable<TPictureVision>& t) {
  using C = TPictureVision;
  PublishDropDown(t);
  t.Prop("DropDownOptionsEx", &C::DropDownOptionsEx, &C::SetDropDownOptionsEx)
      .Default(TfvDropDownPictureOptions{});
  t.Prop("DisabledActions", &C::DisabledActions, &C::SetDisabledActions).Default(TfvImgDisabledActions{});
}

void TPictureVision::PE_ResetEdit(IvpFieldEditor& edit) { ResetToStoredBytes(edit); }

void TPictureVision::VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) {
  TField* field = MainFieldOf(fields);
  // Bytes no codec reads are a picture all the same: the marker says one is there.
  DrawMarker(painter, 1, !field || field->IsNull());
  TDropDownBlobVision::VM_DrawEdit(fields, painter);
}

}  // namespace zv
