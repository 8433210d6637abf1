#include "platform/db/CheckConstraints.h"

#include "platform/classes/TypeInfo.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TCheckConstraint, TCollectionItem)
ZV_DEFINE_CLASS(TCheckConstraints, TOwnedCollection)

void TCheckConstraint::DeclareProperties(TPropTable<TCheckConstraint>& t) {
  t.Prop("CustomConstraint", &TCheckConstraint::CustomConstraint, &TCheckConstraint::SetCustomConstraint);
  t.Prop("ErrorMessage", &TCheckConstraint::ErrorMessage, &TCheckConstraint::SetErrorMessage);
  t.Prop("FromDictionary", &TCheckConstraint::FromDictionary, &TCheckConstraint::SetFromDictionary).Default(true);
  t.Prop("ImportedConstraint", &TCheckConstraint::ImportedConstraint, &TCheckConstraint::SetImportedConstraint);
}

void TCheckConstraint::SetCustomConstraint(const String& value) {
  if (value == fCustomConstraint) return;
  fCustomConstraint = value;
  Changed(false);
}

void TCheckConstraint::SetErrorMessage(const String& value) {
  if (value == fErrorMessage) return;
  fErrorMessage = value;
  Changed(false);
}

void TCheckConstraint::SetFromDictionary(bool value) {
  if (value == fFromDictionary) return;
  fFromDictionary = value;
  Changed(false);
}

void TCheckConstraint::SetImportedConstraint(const String& value) {
  if (value == fImportedConstraint) return;
  fImportedConstraint = value;
  Changed(false);
}

String TCheckConstraint::DisplayName() const {
  return fCustomConstraint.empty() ? TCollectionItem::DisplayName() : fCustomConstraint;
}

void TCheckConstraint::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TCheckConstraint*>(source)) {
    fCustomConstraint = other->fCustomConstraint;
    fErrorMessage = other->fErrorMessage;
    fFromDictionary = other->fFromDictionary;
    fImportedConstraint = other->fImportedConstraint;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

}  // namespace zv
