// The check-box vision: the state read from a logical field or from lists of values, the
// switch that writes the next state, and the box drawn as the windowing system draws one.

#include "runtime/std/SwitchVisions.h"
#include "runtime/std/detail/TextFields.h"

#include "platform/db/Field.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/DrawFlags.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldValue.h"

#include <array>
#include <vector>

namespace zv {

namespace switchdetail {

bool IsMemoType(TFieldType type) { return type == ftMemo || type == ftFmtMemo; }

// A text column stored as a memo is text all the same: a flag kept there must be a check box
// or a state too. Binary and graphic blobs are not.
void ValidTextOrMemo(TgpFieldList& fields, bool& valid) {
  const TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField();
  valid = !fields.FieldNames().empty() && !(field && field->IsBlob() && !IsMemoType(field->DataType()));
}

// The text a value list is matched against: a memo's own text, not its "(MEMO)" marker.
String FieldValueText(const TField& field) {
  return IsMemoType(field.DataType()) ? field.AsString() : field.Text();
}

}  // namespace switchdetail

using namespace switchdetail;

namespace {

constexpr int BoxSize = 13;
constexpr int CaptionIndent = 16;

// Whether text is one of the ";"-items of list; an empty text or item never matches.
bool InValueList(const String& list, const String& text) {
  if (text.empty() || list.empty()) return false;
  for (std::string_view item : lioSplit(list))
    if (!item.empty() && AnsiSameText(item, text)) return true;
  return false;
}

}  // namespace

// The box in each look it was drawn in: a cell then paints it with one copy instead of some
// twenty fills. A look is the frame control's flags, the style and the system colours the box
// is drawn with, which a change of theme may change.
struct TCheckBoxVision::TBoxImages {
  struct TImage {
    unsigned Flags;
    TcbvBoxStyle Style;
    std::array<TColor, 8> Colors;
    std::unique_ptr<TBitmap> Bitmap;
  };
  std::vector<TImage> Images;

  TBitmap* Find(unsigned flags, TcbvBoxStyle style) {
    const std::array<TColor, 8> colors{ColorToRGB(clBtnShadow), ColorToRGB(clBtnFace),     ColorToRGB(clWindow),
                                       ColorToRGB(clWindowText), ColorToRGB(cl3DLight),    ColorToRGB(clBtnHighlight),
                                       ColorToRGB(cl3DDkShadow), ColorToRGB(clWindowFrame)};
    for (TImage& image : Images)
      if (image.Flags == flags && image.Style == style && image.Colors == colors) return image.Bitmap.get();
    // Few looks are ever used; colours that changed leave stale ones behind, so start over.
    if (Images.size() >= 32) Images.clear();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetWidth(BoxSize);
    bitmap->SetHeight(BoxSize);
    Draw(*bitmap->Canvas(), flags, style);
    Images.push_back({flags, style, colors, std::move(bitmap)});
    return Images.back().Bitmap.get();
  }

  static void Draw(TCanvas& canvas, unsigned flags, TcbvBoxStyle style) {
    const TRect box{0, 0, BoxSize, BoxSize};
    TRect frame = box;
    DrawFrameControl(canvas, frame, DFC_BUTTON, flags);
    canvas.Brush()->SetStyle(bsSolid);
    if (style == cbvFlat) {
      canvas.Brush()->SetColor(clBtnShadow);
      canvas.FrameRect(box);
    }
    if (style != cbv3D) {
      canvas.Brush()->SetColor(style == cbv3DSoft ? cl3DLight : clWindow);
      canvas.FrameRect({1, 1, BoxSize - 1, BoxSize - 1});
    }
  }
};

ZV_DEFINE_CLASS_WITH_PROPS(TCheckBoxVision, TvpFieldVision)

TCheckBoxVision::TCheckBoxVision(TComponent* owner) : TvpFieldVision(owner), fBoxImages(std::make_unique<TBoxImages>()) {
  SetSurfaceKind(vskCustom);
  SetEnableSwitches(true);
}

TCheckBoxVision::~TCheckBoxVision() { Destroying(); }

void TCheckBoxVision::DeclareProperties(TPropTable<TCheckBoxVision>& t) {
  using V = TvpFieldVision;
  using C = TCheckBoxVision;
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment).Default(talDefault);
  t.Prop("ReadOnly", &V::ReadOnly, &V::SetReadOnly).Default(false);
  t.Prop("OptionsSwitch", &V::OptionsSwitch, &V::SetOptionsSwitch).Default(TfvSwitchOptions{vsoEditDataSet});
  t.Prop("FullFocusRect", &C::FullFocusRect, &C::SetFullFocusRect).Default(false);
  t.Prop("BoxStyle", &C::BoxStyle, &C::SetBoxStyle).Default(cbvFlat);
  t.Prop("ValueChecked", &C::ValueChecked, &C::SetValueChecked);
  t.Prop("ValueUnChecked", &C::ValueUnChecked, &C::SetValueUnChecked);
  t.Prop("ValueGrayed", &C::ValueGrayed, &C::SetValueGrayed);
  t.Prop("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed).Default(false);
  t.Prop("ShowNullAs", &C::ShowNullAs, &C::SetShowNullAs).Default(cbvGrayed);
  t.Event("BeforeEdit", &C::BeforeEdit);
  t.Event("BeforePost", &C::BeforePost);
  t.Event("AfterPost", &C::AfterPost);
  t.Event("OnGetState", &C::OnGetState);
  t.Event("OnSetState", &C::OnSetState);
}

void TCheckBoxVision::SetFullFocusRect(bool value) {
  if (fFullFocusRect == value) return;
  fFullFocusRect = value;
  Invalidate();
}

void TCheckBoxVision::SetBoxStyle(TcbvBoxStyle value) {
  if (fBoxStyle == value) return;
  fBoxStyle = value;
  Invalidate();
}

void TCheckBoxVision::SetShowNullAs(TcbvState value) {
  if (fShowNullAs == value) return;
  fShowNullAs = value;
  Invalidate();
}

void TCheckBoxVision::SetValue(int index, const String& value) {
  if (fValues[index] == value) return;
  fValues[index] = value;
  Invalidate();
}

TcbvState TCheckBoxVision::GetState(TgpFieldList& fields) {
  TcbvState state = cbvUnChecked;
  if (TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField()) {
    if (field->IsNull()) {
      state = fShowNullAs;
    } else if (field->DataType() == ftBoolean) {
      state = field->AsBoolean() ? cbvChecked : cbvUnChecked;
    } else {
      const String text = FieldValueText(*field);
      state = InValueList(fValues[0], text) ? cbvChecked : InValueList(fValues[1], text) ? cbvUnChecked : cbvGrayed;
    }
  }
  if (OnGetState) OnGetState(this, &fields, state);
  return state;
}

bool TCheckBoxVision::SetNextState(IvpFieldEditor& edit) {
  TgpFieldList& fields = edit.Fields();
  TcbvState state = cbvChecked;
  switch (GetState(fields)) {
    case cbvChecked: state = cbvUnChecked; break;
    case cbvUnChecked: state = fAllowGrayed ? cbvGrayed : cbvChecked; break;
    case cbvGrayed: state = cbvChecked; break;
  }
  bool doPost = true;
  if (OnSetState) OnSetState(this, &fields, state, doPost);
  if (!doPost) return false;
  TfvCurrentValue& current = edit.CurrentValue();
  if (current.DataType() == ftBoolean) {
    if (state == cbvGrayed)
      current.Clear();
    else
      current.SetAsBoolean(state == cbvChecked);
  } else {
    const std::vector<std::string_view> items = lioSplit(fValues[static_cast<int>(state)]);
    const String first(items.front());
    if (first.empty())
      current.Clear();
    else
      current.SetAsString(first);
  }
  current.SetModified(true);
  return PostChanges(edit, false);
}

void TCheckBoxVision::DrawState(TgpFieldList& fields, TfvPainter& painter, TcbvState state) {
  painter.DefaultDrawing = false;
  if (!painter.Canvas) return;
  TCanvas& canvas = *painter.Canvas;
  const bool standalone = !painter.IsGrid && fields.Column() == nullptr;
  const TRect& client = painter.ClientRect;
  const TRect& cell = painter.CellRect;

  TAlignment alignment = fields.Alignment();
  if (alignment == taCenter && standalone) alignment = taLeftJustify;
  int left = client.Left + 1, leftIndent = 0, rightIndent = 0;
  if (alignment == taLeftJustify) {
    leftIndent = CaptionIndent;
  } else if (alignment == taRightJustify) {
    left = client.Right - 14;
    rightIndent = CaptionIndent;
  } else {
    left = client.Left + (client.Width() - BoxSize) / 2;
  }
  const int top = cell.Top + (cell.Height() - BoxSize) / 2;
  TRect box{left, top, left + BoxSize, top + BoxSize};

  unsigned flags = DFCS_BUTTONCHECK;
  if (state == cbvChecked) flags |= DFCS_CHECKED;
  if (state == cbvGrayed) flags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
  if (fBoxStyle == cbvMono || fBoxStyle == cbvFlat) flags |= DFCS_FLAT;
  if (painter.CellAttrs && painter.CellAttrs->Pressed) flags |= DFCS_PUSHED;
  canvas.Draw(box.Left, box.Top, fBoxImages->Find(flags, fBoxStyle));

  if (standalone) {
    TRect text{painter.TextRect.Left + leftIndent, painter.TextRect.Top, painter.TextRect.Right - rightIndent,
               painter.TextRect.Bottom};
    unsigned format = DT_SINGLELINE | (alignment == taRightJustify ? DT_RIGHT : DT_LEFT);
    switch (fields.Layout()) {
      case tlTop: format |= DT_TOP; break;
      case tlCenter: format |= DT_VCENTER; break;
      case tlBottom: format |= DT_BOTTOM; break;
    }
    ::zv::DrawText(canvas, fields.Caption(), text, format);
  }

  if (!painter.IsGrid && painter.CellAttrs && painter.CellAttrs->Focused) {
    TRect focus{cell.Left + 1 + leftIndent, cell.Top + 1, cell.Right - 1 - rightIndent, cell.Bottom - 1};
    if (!fFullFocusRect) focus.Right = focus.Left + canvas.TextWidth(StripHotkey(fields.Caption())) + 3;
    focus.Right = std::min(focus.Right, client.Right);
    painter.DrawFocusRect(focus);
  }
}

void TCheckBoxVision::VM_ValidFields(TgpFieldList& fields, bool& valid) { ValidTextOrMemo(fields, valid); }

void TCheckBoxVision::VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) {
  DrawState(fields, painter, GetState(fields));
}

void TCheckBoxVision::VM_DrawInactive(TgpFieldList& fields, TfvPainter& painter) {
  DrawState(fields, painter, cbvGrayed);
}

void TCheckBoxVision::PE_KeySwitch(IvpFieldEditor& edit, bool& posted) { posted = SetNextState(edit); }

void TCheckBoxVision::PE_MouseSwitch(IvpFieldEditor& edit, bool& posted) { posted = SetNextState(edit); }

void TCheckBoxVision::PE_KeySwitchHit(IvpFieldEditor& edit, Word key, TShiftState shift, bool& hit) {
  (void)edit;
  hit = key == VK_SPACE && shift.Empty();
}

void TCheckBoxVision::PE_MouseSwitchHit(IvpFieldEditor& edit, int x, int y, TShiftState shift, bool& hit) {
  (void)edit;
  (void)x;
  (void)y;
  (void)shift;
  hit = true;
}

void TCheckBoxVision::PE_ResetEdit(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  TgpFieldList& fields = edit.Fields();
  current.Clear();
  if (TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField()) {
    if (IsMemoType(field->DataType())) {
      current.SetDataType(ftString);
      if (!field->IsNull()) current.SetAsString(field->AsString());
    } else {
      current.SetDataType(field->DataType());
      current.SetAsVariant(field->AsVariant());
    }
  } else {
    current.SetDataType(ftBoolean);
    const TcbvState state = GetState(fields);
    if (state != cbvGrayed) current.SetAsBoolean(state == cbvChecked);
  }
  current.SetModified(false);
  current.SetTextChanged(false);
}

TAlignment TCheckBoxVision::DefaultAlignment(TgpFieldList& fields) {
  (void)fields;
  return taCenter;
}

TvpDefLayout TCheckBoxVision::DefaultLayout(TgpFieldList& fields) {
  return fields.Column() ? tlaDefault : tlaCenter;
}

}  // namespace zv
