#include "runtime/grid/RecShot.h"

#include "platform/db/DataLink.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/RecShotValues.h"
#include "runtime/rtm/ValueRoutines.h"

namespace zv {

// ---------------------------------------------------------------------------------------------
// Values of field lists

namespace recshot {

bool HasFields(const TDataSet& dataSet, const String& fieldNames) {
  std::size_t start = 0;
  bool any = false;
  while (start <= fieldNames.size()) {
    std::size_t end = fieldNames.find(';', start);
    if (end == String::npos) end = fieldNames.size();
    const String name = Trim(fieldNames.substr(start, end - start));
    if (!name.empty()) {
      if (!dataSet.FindField(name)) return false;
      any = true;
    }
    start = end + 1;
  }
  return any;
}

Variant RecordValues(const TDataSet& dataSet, const String& fieldNames) {
  if (fieldNames.empty() || !HasFields(dataSet, fieldNames)) return Variant::Unassigned();
  return dataSet.FieldValues(fieldNames);
}

bool HasNullPart(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return true;
  if (!value.IsArray()) return false;
  for (int i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i)
    if (HasNullPart(value.GetElement(i))) return true;
  return false;
}

}  // namespace recshot

// ---------------------------------------------------------------------------------------------
// TgpDBParams

ZV_DEFINE_CLASS_WITH_PROPS(TgpDBParams, TPersistent)

void TgpDBParams::DeclareProperties(TPropTable<TgpDBParams>& t) {
  t.Prop("EnableRecNo", &TgpDBParams::EnableRecNo, &TgpDBParams::SetEnableRecNo).Default(1);
}

void TgpDBParams::Assign(const TPersistent* source) {
  if (const auto* params = dynamic_cast<const TgpDBParams*>(source)) {
    fEnableRecNo = params->fEnableRecNo;
    return;
  }
  TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------------------------
// TgpRecShot

void TgpRecShot::Init(const TBookmarkStr& bookmark) {
  fBookmark = bookmark;
  fIdentity = Variant::Unassigned();
  fBookmarkValues = Variant::Unassigned();
  fRecNo = -1;
  fRecNoPending = false;
  TDataSet* dataSet = fGrid->HasActiveDataSet() ? fGrid->DataSet() : nullptr;
  if (dataSet && !bookmark.empty()) {
    fIdentity = recshot::RecordValues(*dataSet, fGrid->UniqueFields());
    fBookmarkValues = recshot::RecordValues(*dataSet, fGrid->BookmarkFields());
    fRecNoPending = fGrid->ParamsDB()->EnableRecNo();
  }
  fHasRecord = !bookmark.empty();
}

int TgpRecShot::RecNo() const {
  if (!fRecNoPending) return fRecNo;
  TDataSet* dataSet = fGrid->HasActiveDataSet() ? fGrid->DataSet() : nullptr;
  if (!dataSet || dataSet->State() != dsBrowse) return fRecNo;
  if (dataSet->Bookmark() == fBookmark) {
    fRecNo = dataSet->RecNo();
    fRecNoPending = false;
    return fRecNo;
  }
  // A record in view is counted where it stands; the cursor never leaves the window for it.
  TDataLink& link = *fGrid->DataLink();
  const TWindowPlace place = link.WindowPlace(fBookmark);
  if (place != wpInWindow) return fRecNo;
  TActiveRecordScope record(link);
  for (int row = 0; row < link.RecordCount(); ++row) {
    link.SetActiveRecord(row);
    if (dataSet->Bookmark() != fBookmark) continue;
    fRecNo = dataSet->RecNo();
    fRecNoPending = false;
    break;
  }
  record.Restore();
  return fRecNo;
}

bool TgpRecShot::IsEqual() const {
  TDataSet* dataSet = fGrid->HasActiveDataSet() ? fGrid->DataSet() : nullptr;
  if (!dataSet) return fBookmark.empty() && fIdentity.IsEmpty();
  const String& unique = fGrid->UniqueFields();
  // The identity is asked only when one was captured and this dataset has its fields: a mark
  // made on a dataset without them is recognised by its bookmark alone.
  if (!unique.empty() && !fIdentity.IsEmpty() && recshot::HasFields(*dataSet, unique)) {
    if (!VarIsSame(dataSet->FieldValues(unique), fIdentity)) return false;
    if (fBookmark.empty() || fGrid->CursorType() == gctInsensitiveID) return true;
  }
  if (fBookmark.empty()) return false;
  // Both datasets spell one record's bookmark one way: equal strings settle it without the
  // dataset's ordering comparison, which may query.
  const TBookmarkStr current = dataSet->Bookmark();
  if (current.empty()) return false;
  return current == fBookmark || dataSet->CompareBookmarks(current, fBookmark) == 0;
}

bool TgpRecShot::GotoRecShot() {
  TDataSet* dataSet = fGrid->HasActiveDataSet() ? fGrid->DataSet() : nullptr;
  if (!dataSet) return false;
  const String& unique = fGrid->UniqueFields();
  const bool identityUsable = !unique.empty() && !fIdentity.IsEmpty() && recshot::HasFields(*dataSet, unique);
  if (fGrid->CursorType() == gctInsensitiveID) {
    if (!identityUsable) return false;
    // A key with a null part would find whichever record has a null there first.
    if (!recshot::HasNullPart(fIdentity)) return dataSet->Locate(unique, fIdentity, {});
  }
  if (fBookmark.empty() || !dataSet->BookmarkValid(fBookmark)) return false;
  const TBookmarkStr saved = dataSet->Bookmark();
  dataSet->GotoBookmark(fBookmark);
  if (identityUsable && !VarIsSame(dataSet->FieldValues(unique), fIdentity)) {
    // The bookmark names another record now (a key edited, a row renumbered): not ours.
    if (!saved.empty() && dataSet->BookmarkValid(saved)) dataSet->GotoBookmark(saved);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// TgpCurrentRecShot

void TgpCurrentRecShot::Init(const TBookmarkStr& bookmark) {
  TgpRecShot::Init(bookmark);
  fResolved = fHasRecord;
  // A record being inserted has no bookmark yet and is current where it stands.
  const bool active = fGrid->HasActiveDataSet();
  fGrid->SetCurrentRow(active && (!bookmark.empty() || fGrid->DataSet()->State() != dsBrowse)
                           ? fGrid->DataLink()->ActiveRecord()
                           : -1);
}

bool TgpCurrentRecShot::PrepareForSelect(int kind) {
  if (!fGrid->HasActiveDataSet() || (kind != 1 && fGrid->UniqueFields().empty())) return false;
  Deselect(false);
  return true;
}

void TgpCurrentRecShot::SelectByID(const Variant& value, bool locate, bool notify) {
  if (value.IsNull() || value.IsEmpty()) return;
  if (!PrepareForSelect(2)) return;
  TDataSet* dataSet = fGrid->DataSet();
  if (locate) {
    const bool found = !recshot::HasNullPart(value) && recshot::HasFields(*dataSet, fGrid->UniqueFields()) &&
                       dataSet->Locate(fGrid->UniqueFields(), value, {});
    Init(found ? dataSet->Bookmark() : TBookmarkStr());
  } else {
    // A new mark keeps nothing of the old one: it is known by this identity alone.
    TgpRecShot::Init(TBookmarkStr());
    fIdentity = value;
    fHasRecord = true;
    fResolved = false;
    fGrid->SetCurrentRow(-1);
    fGrid->UpdateCurrentInfo(0);
  }
  fGrid->InvalidateRow(fGrid->CurrentRow());
  if (notify) fGrid->SelectionChanged(true, false);
}

void TgpCurrentRecShot::SelectByBookmark(const TBookmarkStr& bookmark, bool gotoIt, bool notify) {
  if (bookmark.empty()) return;
  if (!PrepareForSelect(1)) return;
  TDataSet* dataSet = fGrid->DataSet();
  bool arrived = false;
  if (gotoIt && dataSet->BookmarkValid(bookmark)) {
    dataSet->GotoBookmark(bookmark);
    const TBookmarkStr current = dataSet->Bookmark();
    arrived = current == bookmark || (!current.empty() && dataSet->CompareBookmarks(current, bookmark) == 0);
  }
  if (arrived) {
    Init(dataSet->Bookmark());
  } else {
    // Known by this bookmark alone until the search finds it among the rows.
    TgpRecShot::Init(TBookmarkStr());
    fBookmark = bookmark;
    fHasRecord = true;
    fResolved = false;
    fGrid->SetCurrentRow(-1);
    fGrid->UpdateCurrentInfo(0);
  }
  fGrid->InvalidateRow(fGrid->CurrentRow());
  if (notify) fGrid->SelectionChanged(true, false);
}

void TgpCurrentRecShot::Select(bool notify) {
  const bool changed = notify && !IsEqual();
  const int oldRow = fGrid->CurrentRow();
  Init(fGrid->HasActiveDataSet() ? fGrid->DataSet()->Bookmark() : TBookmarkStr());
  fGrid->InvalidateRow(oldRow);
  if (fGrid->CurrentRow() != oldRow) fGrid->InvalidateRow(fGrid->CurrentRow());
  if (changed) fGrid->SelectionChanged(true, false);
}

void TgpCurrentRecShot::Update(bool notify) {
  if (fGrid->CursorType() == gctSensitive || fGrid->UserActionInProgress()) Select(notify);
}

void TgpCurrentRecShot::Deselect(bool notify) {
  if (fGrid->CursorType() == gctSensitive || !fResolved) return;
  const int oldRow = fGrid->CurrentRow();
  Init(TBookmarkStr());
  fGrid->InvalidateRow(oldRow);
  if (notify) fGrid->SelectionChanged(true, false);
}

}  // namespace zv
