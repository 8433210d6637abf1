// The delete command: when it applies, the question it asks, and the delete over the current
// record or the selection.
#include "runtime/grid/DeleteParams.h"

#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Menus.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Format.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/Selection.h"
#include "runtime/rtm/ZvStrings.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TgpDeleteParams, TPersistent)

void TgpDeleteParams::DeclareProperties(TPropTable<TgpDeleteParams>& t) {
  t.Prop("Enabled", &TgpDeleteParams::Enabled, &TgpDeleteParams::SetEnabled).Default(false);
  t.Prop("ShortCut", &TgpDeleteParams::ShortCut, &TgpDeleteParams::SetShortCut).Default(16430);
  t.Prop("PromptKind", &TgpDeleteParams::PromptKind, &TgpDeleteParams::SetPromptKind).Default(dpkAlways);
  t.Prop("PromptMsg", &TgpDeleteParams::PromptMsg, &TgpDeleteParams::SetPromptMsg);
  t.Prop("PromptMsgMulti", &TgpDeleteParams::PromptMsgMulti, &TgpDeleteParams::SetPromptMsgMulti);
}

void TgpDeleteParams::Assign(const TPersistent* source) {
  if (const auto* params = dynamic_cast<const TgpDeleteParams*>(source)) {
    fEnabled = params->fEnabled;
    fShortCut = params->fShortCut;
    fPromptKind = params->fPromptKind;
    fPromptMsg = params->fPromptMsg;
    fPromptMsgMulti = params->fPromptMsgMulti;
    return;
  }
  TPersistent::Assign(source);
}

namespace {

// An application's own question may hold a "%" that is not a format ("100% sure?"): it is
// shown as written rather than failing the delete.
String FormatOrAsWritten(const String& text, std::initializer_list<TVarRec> args) {
  try {
    return Format(text, args);
  } catch (const EConvertError&) {
    return text;
  }
}

}  // namespace

bool TgpDeleteParams::Confirm(int count) const {
  if (fPromptKind == dpkNever || (fPromptKind == dpkMultiRecord && count == 1)) return true;
  const String text = count > 1
                          ? FormatOrAsWritten(fPromptMsgMulti.empty() ? SDeleteRecordsPrompt.Text() : fPromptMsgMulti,
                                              {count})
                          : FormatOrAsWritten(fPromptMsg.empty() ? SDeleteRecordPrompt.Text() : fPromptMsg, {});
  return MessageBoxDlg(Application->Title(), text, mtConfirmation, mbOKCancel) == mrOk;
}

bool TgpDeleteParams::DeleteRecordsInt(Word key, TShiftState shift) {
  fDeleted = false;
  TDBDivoRud* grid = fGrid;
  if (!grid || !grid->HasActiveDataSet() || !grid->DataSet()->CanModify()) return false;
  if (key != 0 && (!fEnabled || ::zv::ShortCut(key, shift) != fShortCut)) return false;
  const int count = grid->DeleteCount();
  if (count == 0) return true;
  // The selection's records go, however many: one selected record that is not the current
  // one is that record, not the current one.
  const bool selected = !grid->Selection().Empty();
  if (!selected && !grid->SyncCursors(false)) return true;
  if (!Confirm(count)) return true;
  if (selected) {
    grid->Selection().DeleteRecords();
  } else {
    grid->DataSet()->Delete();
    grid->d->CurrentRecShot->Select(true);
  }
  fDeleted = true;
  if (grid->AfterDelete) grid->AfterDelete(grid);
  return true;
}

}  // namespace zv
