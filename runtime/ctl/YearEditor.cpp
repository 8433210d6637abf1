// The calendars' year editor and its navigator object.

#include "runtime/ctl/detail/YearEditor.h"

#include "platform/graphics/Colors.h"
#include "runtime/ctl/Calendar.h"
#include "runtime/vision/FieldVision.h"

#include <utility>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TvpYearNaviObj, TPersistent)

int TvpYearNaviObj::Year() const { return Calendar ? Calendar->GetYMD(1) : 0; }

void TvpYearNaviObj::SetYear(int value) {
  if (!Calendar || value == Year()) return;
  Calendar->SetYMD(1, value);
  Calendar->Changed(false);
}

void TvpYearNaviObj::DeclareProperties(TPropTable<TvpYearNaviObj>& t) {
  t.Prop("year", &TvpYearNaviObj::Year, &TvpYearNaviObj::SetYear);
}

ZV_DEFINE_CLASS(TvpYearEditor, TDBDevidEdit)

TvpYearEditor::TvpYearEditor(TComponent* owner) : TDBDevidEdit(owner) {
  SetAutoSize(false);
  SetBorderStyle(bsSoft);
  SetColor(clBtnFace);
  SetBounds(0, 0, 46, 20);
}

void TvpYearEditor::CancelMode(TControl* control) {
  TDBDevidEdit::CancelMode(control);
  if (control && control != this)
    if (TDevidCalendar* cal = YearEditorExists() ? YearEditorParts().Navi.Calendar : nullptr) cal->HideYearEditor();
}

namespace {
// A plain pointer: the module's shutdown frees the editor, which must not wait for the
// destruction of statics (the backends are gone by then).
TYearEditorParts*& Parts() {
  static TYearEditorParts* parts = nullptr;
  return parts;
}
}  // namespace

TYearEditorParts::TYearEditorParts() {
  Data.SetUseEditBuffer(false);
  Data.SetObjectRef(&Navi);
  Data.Open();
  Source.SetDataSet(&Data);
  Vision.SetButtonStyle(pbsSpin);
  Vision.SetEnableButton(true);
  Vision.SetEditReadOnly(true);
  Vision.OnButtonClick = [this](TObject*, TgpFieldList*) {
    const TfvButtonState state = Vision.ButtonState();
    const int step = state == vbsClick || state == vbsShortCut ? 1 : state == vbsClick2 || state == vbsShortCut2 ? -1 : 0;
    if (step == 0 || !Navi.Calendar) return;
    Navi.SetYear(Navi.Year() + step);
    Data.Refresh();
    Editor->SelectAll();
  };
  Editor = std::make_unique<TvpYearEditor>(nullptr);
  Editor->SetVisible(false);
  Editor->SetVision(&Vision);
  Editor->SetDataSource(&Source);
  Editor->SetDataField("year");
}

TYearEditorParts::~TYearEditorParts() { Editor.reset(); }

TYearEditorParts& YearEditorParts() {
  if (!Parts()) Parts() = new TYearEditorParts();
  return *Parts();
}

bool YearEditorExists() { return Parts() != nullptr; }

void FreeYearEditor() {
  if (Parts() && Parts()->Navi.Calendar) Parts()->Navi.Calendar->HideYearEditor();
  delete std::exchange(Parts(), nullptr);
}

}  // namespace zv
