// The default pack: reading its form, creation and destruction, the application's ownership,
// the shared column batch, and the start-up and shutdown of the standard visions.

#include "runtime/std/DefPack.h"
#include "runtime/std/BlobVisions.h"

#include "platform/classes/FormText.h"
#include "platform/classes/Modules.h"
#include "platform/classes/Reader.h"
#include "platform/controls/Application.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/SpeedButton.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/env/Env.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/std/DateTimeVisions.h"
#include "runtime/std/ListVisions.h"
#include "runtime/std/NumericVision.h"
#include "runtime/std/SwitchVisions.h"
#include "runtime/std/detail/DefPackForm.h"
#include "runtime/vision/StdDesigners.h"

#include <charconv>
#include <utility>

namespace zv {

TzvDefPack* zvDefPack = nullptr;

ZV_DEFINE_CLASS_WITH_PROPS(TzvDefPack, TForm)

void TzvDefPack::DeclareProperties(TPropTable<TzvDefPack>& t) {
  t.Method("FormCreate", &TzvDefPack::FormCreate);
  t.Method("FormDestroy", &TzvDefPack::FormDestroy);
  t.Method("DataListShow", &TzvDefPack::DataListShow);
  t.Method("DataListClose", &TzvDefPack::DataListClose);
  t.Method("DataListSizing", &TzvDefPack::DataListSizing);
  t.Method("DataListKeyDown", &TzvDefPack::DataListKeyDown);
  t.Method("CalcShow", &TzvDefPack::CalcShow);
  t.Method("CalcClose", &TzvDefPack::CalcClose);
  t.Method("CalcPaint", &TzvDefPack::CalcPaint);
  t.Method("CalcKeyDown", &TzvDefPack::CalcKeyDown);
  t.Method("CalcKeyPress", &TzvDefPack::CalcKeyPress);
  t.Method("CalcButtonClick", &TzvDefPack::CalcButtonClick);
  t.Method("TitleSurfaceDraw", &TzvDefPack::TitleSurfaceDraw);
  t.Method("ImagedTextDraw", &TzvDefPack::ImagedTextDraw);
  t.Method("ColorPickerGetText", &TzvDefPack::ColorPickerGetText);
  t.Method("ColorPickerDraw", &TzvDefPack::ColorPickerDraw);
  t.Method("ColorPickerDrawEdit", &TzvDefPack::ColorPickerDrawEdit);
  t.Method("ColorPickerBeforePost", &TzvDefPack::ColorPickerBeforePost);
  t.Method("ColorPickerDblClick", &TzvDefPack::ColorPickerDblClick);
  t.Method("BlobPickerShow", &TzvDefPack::BlobPickerShow);
  t.Method("BlobPickerPostChanges", &TzvDefPack::BlobPickerPostChanges);
  t.Method("BlobPickerClose", &TzvDefPack::BlobPickerClose);
  t.Method("BlobPickerShortCut", &TzvDefPack::BlobPickerShortCut);
  t.Method("BlobPickerEditAction", &TzvDefPack::BlobPickerEditAction);
  t.Method("BlobPickerOKClick", &TzvDefPack::BlobPickerOKClick);
  t.Method("BlobPickerCancelClick", &TzvDefPack::BlobPickerCancelClick);
  t.Method("PictureMenuPopup", &TzvDefPack::PictureMenuPopup);
  t.Method("PictureMenuClick", &TzvDefPack::PictureMenuClick);
}

TzvDefPack::TzvDefPack(TComponent* owner) : TForm(owner) {
  // The pack is the global one from the start: handlers reached while reading refer to it.
  zvDefPack = this;
  try {
    TextToComponent(DefPackFormText, this);
  } catch (...) {
    zvDefPack = nullptr;
    throw;
  }
}

TzvDefPack::~TzvDefPack() {
  // OnDestroy runs while the pack is whole: the form's own destructor would call it too late.
  if (TNotifyEvent onDestroy = std::exchange(OnDestroy, nullptr)) onDestroy(this);
  UnregisterGlobalRoot(this);
  if (zvDefPack == this) zvDefPack = nullptr;
}

namespace {
std::vector<std::pair<int, TDefPackExtension>>& Extensions() {
  static std::vector<std::pair<int, TDefPackExtension>> extensions;
  return extensions;
}
}  // namespace

int AddDefaultPackExtension(TDefPackExtension extension) {
  static int lastId = 0;
  Extensions().emplace_back(++lastId, extension);
  if (zvDefPack && !zvDefPack->ComponentState().Contains(csLoading)) extension(*zvDefPack);
  return lastId;
}

void RemoveDefaultPackExtension(int id) {
  std::erase_if(Extensions(), [id](const auto& e) { return e.first == id; });
}

void TzvDefPack::Loaded() {
  TForm::Loaded();
  FindParts();
  for (const auto& [id, extension] : Extensions()) extension(*this);
  // The application owns the pack from now on, and other forms find it as "zvDefPack".
  if (!Owner()) Application->InsertComponent(this);
  RegisterGlobalRoot(this);
}

void TzvDefPack::FindParts() {
  auto find = [this]<class T>(T*& part, const char* name) { part = dynamic_cast<T*>(FindComponent(name)); };
  find(vtfDataList, "vtfDataList");
  find(gpDataListList, "gpDataListList");
  find(dsgDataList, "dsgDataList");
  find(visImagedText, "visImagedText");
  find(vtfCalculator, "vtfCalculator");
  find(pnCalcMemory, "pnCalcMemory");
  find(vtfCalendar, "vtfCalendar");
  find(vtfBlobPicker, "vtfBlobPicker");
  find(TitleSurface, "TitleSurface");
  find(ColorPicker, "ColorPicker");
  find(CheckBoxBool, "CheckBoxBool");
  find(CheckBoxInt, "CheckBoxInt");
  find(Date, "Date");
  find(Calendar, "Calendar");
  find(CalendarSimple, "CalendarSimple");
  find(Time, "Time");
  find(TimeShort, "TimeShort");
  find(BlobContextMenu, "BlobContextMenu");
  find(PictureContextMenu, "PictureContextMenu");
  find(NullImageList, "NullImageList");
  find(Memo, "Memo");
  find(Image, "Image");
}

namespace {

// The square root sign, in the key's font colour on a transparent ground (the bottom-left pixel).
std::unique_ptr<TBitmap> SqrtGlyph() {
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetWidth(12);
  glyph->SetHeight(10);
  TCanvas* c = glyph->Canvas();
  c->Brush()->SetColor(clOlive);
  c->FillRect(TRect(0, 0, 12, 10));
  c->Pen()->SetColor(clNavy);
  c->MoveTo(0, 5);
  c->LineTo(2, 5);
  c->LineTo(4, 9);
  c->LineTo(7, 0);
  c->LineTo(12, 0);
  return glyph;
}

}  // namespace

void TzvDefPack::FormCreate(TObject*) {
  FindParts();
  if (TitleSurface) TitleSurface->SetDescription(SfvdTitleSurface);
  if (CheckBoxBool) CheckBoxBool->SetDescription(SfvdCheckBoxBool);
  if (CheckBoxInt) CheckBoxInt->SetDescription(SfvdCheckBoxInt);
  if (Date) Date->SetDescription(SfvdDate);
  if (Calendar) Calendar->SetDescription(SfvdCalendar);
  if (CalendarSimple) CalendarSimple->SetDescription(SfvdCalendarSimple);
  for (const auto& [name, description] : {std::pair{"Numeric", SfvdNumeric}, std::pair{"NumericDef", SfvdNumericDef},
                                          std::pair{"NumericDefSep", SfvdNumericDefSep},
                                          std::pair{"NumericSpin", SfvdNumericSpin}})
    if (auto* vision = dynamic_cast<TNumericVision*>(FindComponent(name))) vision->SetDescription(description);
  if (auto* ok = dynamic_cast<TControl*>(FindComponent("btnBlobPickerOK"))) ok->SetCaption(SBtnOKCaption);
  if (auto* cancel = dynamic_cast<TControl*>(FindComponent("btnBlobPickerCancel"))) cancel->SetCaption(SBtnCancelCaption);
  const TResString actions[] = {SCutAction, SCopyAction, SPasteAction, SClearAction, SLoadAction, SSaveToAction,
                                SPreviewAction};
  for (TPopupMenu* menu : {BlobContextMenu, PictureContextMenu}) {
    if (!menu) continue;
    // The items' ImageIndex values number the environment's edit-action glyphs.
    if (zvEnv) menu->SetImages(zvEnv->ToolbarImages);
    for (int i = 0; i < menu->Items()->Count(); ++i) {
      TMenuItem* item = menu->Items()->Items(i);
      if (item->Tag() >= 1 && item->Tag() <= 7) item->SetCaption(actions[item->Tag() - 1]);
    }
  }
  ConnectBlobContextMenu(BlobContextMenu);
  if (PictureContextMenu) {
    PictureContextMenu->OnPopup = [this](TObject* sender) { PictureMenuPopup(sender); };
    for (int i = 0; i < PictureContextMenu->Items()->Count(); ++i)
      if (TMenuItem* item = PictureContextMenu->Items()->Items(i); item->Tag() >= 1 && item->Tag() <= 7)
        item->OnClick = [this](TObject* sender) { PictureMenuClick(sender); };
  }
  if (ColorPicker) {
    ColorPicker->PickList()->Clear();
    GetColorValues([this](const String& name) { AddColorIndent(name); });
  }
  if (TSpeedButton* sqrt = CalcButton(cbtnSqrt)) sqrt->SetGlyph(SqrtGlyph().get());
  fEngine = std::make_unique<TvpCalcEngine>();
  fEngine->OnChange = [this](TObject* sender) { CalcChange(sender); };
  fEngine->OnError = [this](TObject* sender, bool& handled) { CalcError(sender, handled); };
}

void TzvDefPack::FormDestroy(TObject*) {
  fEngine.reset();
  if (zvDefPack == this) zvDefPack = nullptr;
}

void TzvDefPack::AddColorIndent(const String& name) {
  if (ColorPicker) ColorPicker->PickList()->Add(name);
}

void TzvDefPack::AddBatch(TgpColumns* columns, const String& fieldNames, int defaultWidth, const String& widths) {
  if (!columns || fieldNames.empty()) return;
  const std::vector<std::string_view> names = lioSplit(fieldNames);
  const std::vector<std::string_view> sizes = lioSplit(widths);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (Trim(names[i]).empty()) continue;
    int width = 0;
    if (i < sizes.size()) {
      const String s = Trim(sizes[i]);
      const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), width);
      if (error != std::errc{} || end != s.data() + s.size()) width = 0;
    }
    TgpColumn* column = columns->Add();
    column->SetFieldName(Trim(names[i]));
    column->SetWidth(width > 0 ? width : defaultWidth);
  }
}

TSpeedButton* TzvDefPack::CalcButton(TvpCalcButton key) const {
  if (!vtfCalculator) return nullptr;
  for (int i = 0; i < vtfCalculator->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TSpeedButton*>(vtfCalculator->Controls(i)); b && b->Tag() == key) return b;
  return nullptr;
}

// ---- Start-up and shutdown ---------------------------------------------------------------------------

namespace {

int& Starts() {
  static int starts = 0;
  return starts;
}

// The defaults this start-up created, freed by the matching shutdown.
std::unique_ptr<TStandardDesigner>& OwnedDesigner() {
  static std::unique_ptr<TStandardDesigner> designer;
  return designer;
}

std::unique_ptr<TLiteVision>& OwnedVision() {
  static std::unique_ptr<TLiteVision> vision;
  return vision;
}

}  // namespace

int DefaultPackStarts() { return Starts(); }

namespace {
// What was the default before the start-up (a module's stand-in, a test's): back after the stop.
TgpDesigner* gDesignerBefore = nullptr;
TvpFieldVision* gVisionBefore = nullptr;
}  // namespace

void StartDefaultPack() {
  if (Starts()++ > 0) return;
  try {
    gDesignerBefore = DefaultDesigner();
    OwnedDesigner() = std::make_unique<TStandardDesigner>(nullptr);
    SetDefaultDesigner(OwnedDesigner().get());
    gVisionBefore = DefaultVision();
    OwnedVision() = std::make_unique<TLiteVision>(nullptr);
    SetDefaultVision(OwnedVision().get());
    new TzvDefPack(nullptr);
  } catch (...) {
    StopDefaultPack();
    throw;
  }
}

void StopDefaultPack() {
  if (Starts() == 0 || --Starts() > 0) return;
  // The application may have freed the pack already; then zvDefPack is nil.
  delete zvDefPack;
  if (OwnedVision() && DefaultVision() == OwnedVision().get()) SetDefaultVision(gVisionBefore);
  OwnedVision().reset();
  if (OwnedDesigner() && DefaultDesigner() == OwnedDesigner().get()) SetDefaultDesigner(gDesignerBefore);
  OwnedDesigner().reset();
  gVisionBefore = nullptr;
  gDesignerBefore = nullptr;
}

namespace {
std::vector<TClass> PackClasses() { return {TzvDefPack::StaticClass()}; }
}  // namespace

ZV_MODULE(zvdefpack, {.Name = DefaultPackModule,
                      .Uses = {"graphics", "controls", "zvenv", "zvtoolform", "zvgrid", "zvdesigners", "zvdevidedit", "zvstd", "zvnumeric"},
                      .Initialization =
                          [] {
                            RegisterClasses(PackClasses());
                            StartDefaultPack();
                          },
                      .Finalization =
                          [] {
                            StopDefaultPack();
                            UnRegisterClasses(PackClasses());
                          }});

}  // namespace zv
