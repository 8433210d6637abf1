// The column customizer: reading its form, showing and placing it, the list of offered fields,
// its side of the customizer message, drags onto its list, height alignment and closing.
#include "runtime/env/Customizer.h"

#include "platform/classes/FormText.h"
#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/Messages.h"
#include "platform/controls/Panel.h"
#include "platform/controls/SpeedButton.h"
#include "platform/db/DataLink.h"
#include "platform/db/Field.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/ObjDataSet.h"
#include "runtime/env/detail/CustomizerForm.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/StdDesigners.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace zv {

ZV_DEFINE_CLASS(TzvDivoRudCustomizer, TForm)

TzvDivoRudCustomizer* zvDivoRudCustomizer = nullptr;

TzvCustomizerPlace& CustomizerPlace() {
  static TzvCustomizerPlace place;
  return place;
}

namespace {

LPARAM AsParam(TObject* object) { return reinterpret_cast<LPARAM>(object); }

// A name's key for lookups that ignore case: the plain ASCII fold unless the name needs more.
String NameKey(const String& name) {
  const bool ascii = std::all_of(name.begin(), name.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
  return ascii ? UpperCase(name) : AnsiUpperCase(name);
}

std::vector<String> SplitList(const String& list) {
  std::vector<String> items;
  if (list.empty()) return items;
  for (std::string_view item : lioSplit(list, ';')) items.emplace_back(item);
  return items;
}

}  // namespace

TzvDivoRudCustomizer::TzvDivoRudCustomizer(TComponent* owner)
    : TForm(nullptr), fStrings(std::make_unique<TStringList>()) {
  // Read without an owner: the form text names the root, and a customizer being replaced may
  // still hold that name among the owner's components until it is released.
  TextToComponent(CustomizerFormText, this);
  SetName("");
  if (owner) owner->InsertComponent(this);
  auto find = [this]<class T>(T*& part, const char* name) { part = dynamic_cast<T*>(FindComponent(name)); };
  find(gpList, "gpList");
  find(datFields, "datFields");
  find(dsFields, "dsFields");
  find(ldDesigner, "ldDesigner");
  find(pnBottom, "pnBottom");
  find(sbClose, "sbClose");
  if (gpList->Columns()->Count() > 0 && !gpList->Columns()->Items(0)->Vision() && zvDefPack)
    gpList->Columns()->Items(0)->SetVision(zvDefPack->TitleSurface);
  gpList->SetDragMode(dmAutomatic);
  gpList->OnDragOver = [this](TObject*, TObject* source, int, int, TDragState state, bool& accept) {
    ListDragOver(source, state, accept);
  };
  gpList->OnDragDrop = [this](TObject*, TObject* source, int, int) { ListDragDrop(source); };
  sbClose->OnClick = [this](TObject*) { Close(); };
}

TzvDivoRudCustomizer::~TzvDivoRudCustomizer() {
  // Freed without being closed (the program ends): the grid still lets it go.
  Detach(true);
  if (zvDivoRudCustomizer == this) zvDivoRudCustomizer = nullptr;
  if (datFields) datFields->SetObjectRef(nullptr);
}

void TzvDivoRudCustomizer::Setup(TDBDivoRud* grid, const String& names, const String& captions,
                                 TgpCustomizeMode mode, const String& present) {
  fGrid = grid;
  fNames = names;
  fCaptions = captions;
  fMode = mode;
  fPresent.clear();
  for (const String& name : SplitList(present)) fPresent.insert(NameKey(name));
}

void TzvDivoRudCustomizer::Detach(bool tellGrid) {
  TDBDivoRud* grid = std::exchange(fGrid, nullptr);
  if (!grid) return;
  grid->RemoveFreeNotification(this);
  if (tellGrid) grid->Perform(CM_CUSTOMIZER, gcaFinish, AsParam(this));
}

// ---- The list -----------------------------------------------------------------------------------

void TzvDivoRudCustomizer::FillList() {
  fStrings->Clear();
  fListed.clear();
  fListedNames.clear();
  const std::vector<String> names = SplitList(fNames);
  const std::vector<String> captions = SplitList(fCaptions);
  std::unordered_set<String> offered;
  offered.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const String& name = names[i];
    const String key = NameKey(name);
    if (name.empty() || fPresent.count(key) || !offered.insert(key).second) continue;
    fStrings->Add(i < captions.size() && !captions[i].empty() ? captions[i] : name);
    fListedNames.push_back(name);
    fListed += (fListed.empty() ? "" : ";") + name;
  }
}

// The dataset follows the string list: rows come and go with every action.
void TzvDivoRudCustomizer::RefreshData() {
  if (!datFields->Active()) return;
  datFields->Refresh();
}

String TzvDivoRudCustomizer::SelectedName() const {
  if (!datFields->Active() || datFields->IsEmpty()) return String();
  const int index = datFields->FieldByName("no")->AsInteger();
  return index >= 0 && index < static_cast<int>(fListedNames.size()) ? fListedNames[index] : String();
}

TgpColumn* TzvDivoRudCustomizer::SelectedColumn() const {
  const String name = SelectedName();
  if (name.empty() || !fGrid) return nullptr;
  const TgpColumns& columns = *fGrid->Columns();
  for (int i = 0; i < columns.Count(); ++i)
    if (SameText(columns.Items(i)->FieldName(), name)) return columns.Items(i);
  return nullptr;
}

// ---- Showing, sizing, closing ------------------------------------------------------------------

int TzvDivoRudCustomizer::AlignedHeight(int requested) const {
  const int chrome = Height() - ClientHeight() + gpList->Height() - gpList->ClientHeight();
  const int rowHeight = std::max(gpList->RowHeight(), 1);
  const int rows = std::max((requested - chrome) / rowHeight, 2);
  return chrome + rows * rowHeight;
}

void TzvDivoRudCustomizer::DoShow() {
  SetCaption(SPickerCaption.Text());
  sbClose->SetCaption(SPickerClose.Text());
  FillList();
  datFields->SetObjectRef(fStrings.get());
  datFields->Open();
  if (fGrid) {
    fGrid->Perform(CM_CUSTOMIZER, gcaStart, AsParam(this));
    fGrid->FreeNotification(this);
  }
  const TzvCustomizerPlace& place = CustomizerPlace();
  SetBounds(place.Left + 8, place.Top + 8, place.Width, place.Height);
  // The list's border is known once it has a window.
  gpList->HandleNeeded();
  SetHeight(AlignedHeight(Height()));
  TForm::DoShow();
}

void TzvDivoRudCustomizer::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  action = caFree;
  if (fClosed) return;
  fClosed = true;
  Detach(true);
  if (!fReplaced) {
    if (zvDivoRudCustomizer == this) zvDivoRudCustomizer = nullptr;
    CustomizerPlace() = {Left(), Top(), Width(), Height()};
  }
}

void TzvDivoRudCustomizer::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation != opRemove || !fGrid || component != fGrid) return;
  // The grid is going: it hears nothing more, and the customizer goes once this message is done.
  Detach(false);
  Close();
}

void TzvDivoRudCustomizer::WndProc(TMessage& message) {
  if (message.Msg == CM_CUSTOMIZER) return CustomizerAction(message);
  if (message.Msg == WM_SIZING && message.LParam) {
    auto* r = reinterpret_cast<TRect*>(message.LParam);
    const int height = AlignedHeight(r->Bottom - r->Top);
    if (r->Top == Top())
      r->Bottom = r->Top + height;
    else
      r->Top = r->Bottom - height;
    message.Result = 1;
    return;
  }
  TForm::WndProc(message);
}

// ---- The customizer message ----------------------------------------------------------------------

void TzvDivoRudCustomizer::CustomizerAction(TMessage& message) {
  message.Result = 0;
  if (!fGrid) return;
  auto* column = dynamic_cast<TgpColumn*>(reinterpret_cast<TObject*>(message.LParam));
  switch (static_cast<TgpCustomizerAction>(message.WParam)) {
    case gcaBeforeAddColumn:
      if (column) column->SetFieldName(SelectedName());
      break;
    case gcaAddColumn:
    case gcaShowColumn:
      if (!column) break;
      fPresent.insert(NameKey(column->FieldName()));
      FillList();
      RefreshData();
      break;
    case gcaRemoveColumn:
    case gcaHideColumn: {
      if (!column || column->GetGrid() != fGrid) break;
      fPresent.erase(NameKey(column->FieldName()));
      if (fMode == gcmRemove)
        delete column;
      else
        column->SetVisible(false);
      FillList();
      RefreshData();
      break;
    }
    case gcaGetSel: message.Result = reinterpret_cast<LRESULT>(static_cast<TObject*>(SelectedColumn())); break;
    case gcaDragDrop: DropFromList(); break;
    default: break;
  }
}

void TzvDivoRudCustomizer::DropFromList() {
  TDBDivoRud* grid = fGrid;
  const TgpDropHit hit = grid->LastDropHit();
  TgpColumns& columns = *grid->Columns();
  TgpColumn* target = hit.Group && hit.Group->FirstIndex >= 0 && hit.Group->FirstIndex < columns.Count()
                          ? columns.Items(hit.Group->FirstIndex)
                          : nullptr;
  if (fMode == gcmHide) {
    // Found afresh: code may have freed the column since the drag began.
    TgpColumn* shown = SelectedColumn();
    if (!shown) return;
    grid->FreezeGrid();
    try {
      switch (hit.Result) {
        case chtMovingSingle: columns.Outgroup(shown, target); break;
        case chtNewLayoutLevel: columns.Regroup(shown, target, -1, hit.Level); break;
        case chtNewLayoutIndex: columns.Regroup(shown, target, hit.Index, hit.Level); break;
        default: shown->SetVisible(true); break;
      }
    } catch (...) {
      grid->UnfreezeGrid(true);
      throw;
    }
    grid->UnfreezeGrid(true);
    grid->Perform(CM_CUSTOMIZER, gcaShowColumn, AsParam(shown));
    return;
  }
  // A column of a collection without a grid stands for the new one until it is named.
  TgpColumns temporary(nullptr);
  TgpColumn* named = temporary.Add();
  grid->Perform(CM_CUSTOMIZER, gcaBeforeAddColumn, AsParam(named));
  if (named->FieldName().empty() || fGrid != grid) return;
  TgpColumn* added = nullptr;
  switch (hit.Result) {
    case chtMovingSingle: added = columns.Insert(target, -1, 0, named); break;
    case chtNewLayoutLevel: added = columns.Insert(target, hit.Level, -1, named); break;
    case chtNewLayoutIndex: added = columns.Insert(target, hit.Level, hit.Index, named); break;
    default: added = columns.Insert(nullptr, -1, 0, named); break;
  }
  grid->Perform(CM_CUSTOMIZER, gcaAddColumn, AsParam(added));
}

// ---- Titles dragged onto the list --------------------------------------------------------------

void TzvDivoRudCustomizer::ListDragOver(TObject* source, TDragState, bool& accept) {
  accept = false;
  if (!fGrid || source != fGrid || !fGrid->ColumnDragging() || fGrid->CustomizerWindow() != this) return;
  const TgpColumn* column = fGrid->DraggedColumn();
  if (!column || column->OptionsBehavior().Contains(cboNoCustomizing)) return;
  const std::vector<String> names = SplitList(fNames);
  accept = std::any_of(names.begin(), names.end(), [&](const String& n) { return SameText(n, column->FieldName()); });
}

void TzvDivoRudCustomizer::ListDragDrop(TObject* source) {
  bool accept = false;
  ListDragOver(source, dsDragMove, accept);
  if (!accept) return;
  fGrid->Perform(CM_CUSTOMIZER, fMode == gcmRemove ? gcaRemoveColumn : gcaHideColumn, AsParam(fGrid->DraggedColumn()));
}

// ---- Showing a new one ---------------------------------------------------------------------------

void ShowDivoRudCustomizer(TDBDivoRud* grid, const String& names, const String& captions, TgpCustomizeMode mode,
                           const String& present) {
  if (!grid) return;
  if (TzvDivoRudCustomizer* open = std::exchange(zvDivoRudCustomizer, nullptr)) {
    open->SetReplaced(true);
    open->Close();
  }
  auto* customizer = new TzvDivoRudCustomizer(Application);
  zvDivoRudCustomizer = customizer;
  customizer->Setup(grid, names, captions, mode, present);
  customizer->Show();
}

namespace {

std::vector<TClass> gRegistered;

void StartCustomizer() {
  // The form's parts are read by class name; only what nobody registered yet is registered here.
  for (TClass cls : {TzvDivoRudCustomizer::StaticClass(), TObjDataSet::StaticClass(), TDataSource::StaticClass()})
    if (!GetClass(cls->Name)) {
      RegisterClass(cls);
      gRegistered.push_back(cls);
    }
  ShowGridCustomizer = &ShowDivoRudCustomizer;
}

void StopCustomizer() {
  if (ShowGridCustomizer == &ShowDivoRudCustomizer) ShowGridCustomizer = nullptr;
  delete zvDivoRudCustomizer;
  zvDivoRudCustomizer = nullptr;
  UnRegisterClasses(gRegistered);
  gRegistered.clear();
}

}  // namespace

ZV_MODULE(zvcustomizer, {.Name = CustomizerModule,
                         .Uses = {"graphics", "controls", "zvenv", "zvgrid", "zvdesigners", "zvdefpack"},
                         .Initialization = [] { StartCustomizer(); },
                         .Finalization = [] { StopCustomizer(); }});

}  // namespace zv
