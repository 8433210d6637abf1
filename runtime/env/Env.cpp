#include "runtime/env/Env.h"

#include "platform/classes/Modules.h"
#include "platform/controls/Menus.h"
#include "platform/db/Fields.h"
#include "platform/graphics/ImageList.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvStrings.h"

namespace zv {

ZV_DEFINE_CLASS(TzvEnv, TForm)

TzvEnv* zvEnv = nullptr;

TzvEnv::TzvEnv(TComponent* owner) : TForm(owner) {
  SetName("zvEnv");
  CreateImages();
  CreateFooterMenu();
}

TzvEnv::~TzvEnv() {
  if (zvEnv == this) zvEnv = nullptr;
}

void TzvEnv::CreateFooterMenu() {
  pumFooterMenu = new TPopupMenu(this);
  pumFooterMenu->SetName("pumFooterMenu");
  pumFooterMenu->SetAlignment(paCenter);
  pumFooterMenu->SetImages(FooterStateImgs);
  pumFooterMenu->OnPopup = [this](TObject* sender) { FooterMenuPopup(sender); };
  const String captions = SFooterStateStrings.Text();
  TMenuItem** items[] = {&miAverage, &miCount, &miMax, &miMin, &miSum, &miNone};
  const char* names[] = {"miAverage", "miCount", "miMax", "miMin", "miSum", "miNone"};
  for (int k = 0; k < FooterStateCount; ++k) {
    if (k == FooterStateNone) {
      miSep1 = new TMenuItem(this);
      miSep1->SetName("miSep1");
      miSep1->SetCaption(cLineCaption);
      pumFooterMenu->Items()->Add(miSep1);
    }
    auto* item = new TMenuItem(this);
    item->SetName(names[k]);
    item->SetTag(k);
    item->SetCaption(lioRead(captions, k));
    item->SetRadioItem(true);
    item->SetImageIndex(k == FooterStateNone ? -1 : k);
    item->OnClick = [this](TObject* sender) { FooterMenuClick(sender); };
    pumFooterMenu->Items()->Add(item);
    *items[k] = item;
  }
}

TMenuItem* TzvEnv::GetFooterStateMenu(int state) const {
  switch (state) {
    case 0: return miAverage;
    case 1: return miCount;
    case 2: return miMax;
    case 3: return miMin;
    case 4: return miSum;
    case 5: return miNone;
    default: return nullptr;
  }
}

void TzvEnv::DisableNonApplicableFooterStates(const TField* field) {
  // Average, Count, Max, Min, Sum, None.
  bool applies[FooterStateCount] = {false, true, false, false, false, true};
  if (dynamic_cast<const TSQLTimeStampField*>(field) || dynamic_cast<const TDateTimeField*>(field))
    applies[0] = applies[2] = applies[3] = true;
  if (dynamic_cast<const TNumericField*>(field)) applies[0] = applies[2] = applies[3] = applies[4] = true;
  for (int k = 0; k < FooterStateCount; ++k) GetFooterStateMenu(k)->SetEnabled(applies[k]);
}

void TzvEnv::FooterMenuClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item) return;
  if (auto* target = dynamic_cast<IzvFooterMenuTarget*>(pumFooterMenu->PopupComponent())) target->FooterMenuClick(item);
}

// The line before None belongs to None: without it the line would end the menu.
void TzvEnv::FooterMenuPopup(TObject*) { miSep1->SetVisible(miNone->Visible()); }

// ---- Start-up and shutdown ---------------------------------------------------------------------

namespace {
int gStarts = 0;
}  // namespace

void StartEnv() {
  if (gStarts++ > 0) return;
  try {
    zvEnv = new TzvEnv(nullptr);
  } catch (...) {
    gStarts = 0;
    zvEnv = nullptr;
    throw;
  }
}

void StopEnv() {
  if (gStarts == 0 || --gStarts > 0) return;
  delete zvEnv;
  zvEnv = nullptr;
}

ZV_MODULE(zvenv, {.Name = EnvModule,
                  .Uses = {"graphics", "controls"},
                  .Initialization = [] { StartEnv(); },
                  .Finalization = [] { StopEnv(); }});

}  // namespace zv
