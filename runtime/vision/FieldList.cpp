#include "runtime/vision/FieldList.h"

#include "platform/db/DataLink.h"
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/FieldVisionConsumer.h"

namespace zv {

namespace {
TvpFieldVision* gDefaultVision = nullptr;
}  // namespace

TvpFieldVision* DefaultVision() { return gDefaultVision; }
void SetDefaultVision(TvpFieldVision* vision) { gDefaultVision = vision; }

namespace {
// The default a list may fall back to. When the owner of several visions goes, every one of
// them is marked as being destroyed before the first is freed: a default that is already
// going would not take the list and would leave it pointing at a freed vision.
TvpFieldVision* UsableDefault() {
  if (gDefaultVision && gDefaultVision->ComponentState().Contains(csDestroying)) return nullptr;
  return gDefaultVision;
}
}  // namespace

TgpFieldList::TgpFieldList(TPersistent* host, TgpHostType hostType, IvpFieldVisionConsumer* consumer,
                           TDataLink* dataLink)
    : fConsumer(consumer), fDataLink(dataLink), fItems(1, nullptr), fHostType(hostType), fHost(host) {
  if (TvpFieldVision* vision = UsableDefault()) {
    fVision = vision;
    fVision->AddConsumer(this);
  }
}

TgpFieldList::~TgpFieldList() {
  if (fVision) fVision->RemoveConsumer(this);
}

void TgpFieldList::SetActionTarget(TObject* sender, const TvpActionEvent* event) {
  fActionSender = sender;
  fControlAction = event;
  fGridAction = nullptr;
}

void TgpFieldList::SetActionTarget(TObject* sender, const TgpActionEvent* event) {
  fActionSender = sender;
  fGridAction = event;
  fControlAction = nullptr;
}

void TgpFieldList::SetVision(TvpFieldVision* vision) {
  // A vision on its way out would not take the list and would be left dangling in it.
  if (vision && vision->ComponentState().Contains(csDestroying)) vision = nullptr;
  TvpFieldVision* resolved = vision ? vision : UsableDefault();
  // Asking again for what is in use changes nothing; asking for the default by name (or by
  // null) after the other form still tells the host, whose stored choice differs.
  if (vision == fAsked && resolved == fVision) return;
  if (fVision) fVision->RemoveConsumer(this);
  if (vision && fConsumer) {
    if (TComponent* component = fConsumer->GetComponent()) vision->FreeNotification(component);
  }
  fAsked = vision;
  fVision = resolved;
  if (fVision) fVision->AddConsumer(this);
  if (fConsumer) fConsumer->VisionChanged(vision);
}

void TgpFieldList::VisionDestroyed() {
  fAsked = nullptr;
  fVision = UsableDefault();
  if (fVision) fVision->AddConsumer(this);
  if (fConsumer) fConsumer->VisionChanged(nullptr);
}

TField* TgpFieldList::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return fItems[static_cast<std::size_t>(index)];
}

void TgpFieldList::UpdateList(TDataSet* dataSet) {
  fDataSet = dataSet;
  String names = fFieldNames;
  if (fVision && !fVision->RelatedFields().empty()) names += ';' + fVision->RelatedFields();
  const bool open = dataSet && dataSet->Active();
  fItems.clear();
  for (std::string_view entry : lioSplit(names, ';')) {
    TField* found = nullptr;
    if (open)
      for (std::string_view alternative : lioSplit(entry, ','))
        if (!alternative.empty() && (found = dataSet->FindField(alternative))) break;
    fItems.push_back(found);
  }
}

TField* TgpFieldList::FieldByName(std::string_view name) const {
  for (TField* field : fItems)
    if (field && SameText(field->FieldName(), name)) return field;
  return nullptr;
}

void TgpFieldList::BeginPostChanges() { ++fPostLevel; }

void TgpFieldList::EndPostChanges(bool posted) {
  if (fPostLevel == 0) return;
  --fPostLevel;
  if (fPostLevel == 0 && posted && fConsumer) fConsumer->DoAfterPost();
}

bool TgpFieldList::EditInt(bool setModified) {
  struct InEditScope {
    bool& flag;
    bool old;
    explicit InEditScope(bool& f) : flag(f), old(f) { flag = true; }
    ~InEditScope() { flag = old; }
  } scope(fInEdit);
  if (fModified) return true;
  if (!fVision || !fConsumer || !CanModify() || !fValid) return false;
  if (!fConsumer->DoBeforeEdit()) return false;
  const bool ok = fVision->UnboundMode() ? true : (fDataLink && fDataLink->Edit());
  if (ok) {
    fConsumer->DoBeginEdit();
    if (setModified) fModified = true;
  }
  return ok;
}

bool TgpFieldList::CanModify() {
  if (!fVision || !fConsumer) return false;
  return fVision->CanModify(*this) && fConsumer->CanModify();
}

void TgpFieldList::DoCtlAction(const String& action, int param) {
  if (fHostType == fhtColumn) {
    if (fGridAction && *fGridAction) (*fGridAction)(fActionSender, fColumn, action, param);
  } else if (fControlAction && *fControlAction) {
    (*fControlAction)(fActionSender, action, param);
  }
}

void TgpFieldList::DoVisionAction(const String& action, int param) {
  if (fVision && fVision->OnAction) fVision->OnAction(fVision, this, action, param);
}

}  // namespace zv
