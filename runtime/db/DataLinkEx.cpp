#include "runtime/db/DataLinkEx.h"

namespace zv {

ZV_DEFINE_CLASS(TDataLinkEx, TDataLink)

void TDataLinkEx::ActiveChanged() {
  if (OnActiveChanged) OnActiveChanged(this);
}

void TDataLinkEx::DataSetChanged() {
  if (OnDataSetChanged) OnDataSetChanged(this);
}

void TDataLinkEx::DataSetScrolled(int distance) {
  if (OnDataSetScrolled) OnDataSetScrolled(this, distance);
}

void TDataLinkEx::FocusControl(TField** field) {
  if (!field || !*field) return;
  TField* copy = *field;
  if (OnFocusControl) OnFocusControl(this, copy);
  if (!copy) *field = nullptr;
}

void TDataLinkEx::EditingChanged() {
  if (OnEditingChanged) OnEditingChanged(this);
}

void TDataLinkEx::LayoutChanged() {
  if (OnLayoutChanged) OnLayoutChanged(this);
}

void TDataLinkEx::RecordChanged(TField* field) {
  if (OnRecordChanged) OnRecordChanged(this, field);
}

void TDataLinkEx::UpdateData() {
  if (OnUpdateData) OnUpdateData(this);
}

}  // namespace zv
