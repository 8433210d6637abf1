#pragma once
// TCheckConstraints: record-level check constraints as a dataset stores them with its form
// (a SQL-like condition and the message to show when it fails). This layer keeps and streams
// them; no dataset here evaluates them, so a form that carries them loads and saves unchanged.

#include "platform/classes/Collection.h"

namespace zv {

class TCheckConstraint : public TCollectionItem {
  ZV_CLASS(TCheckConstraint, TCollectionItem)

public:
  explicit TCheckConstraint(TCollection* collection = nullptr) : TCollectionItem(collection) {}

  const String& CustomConstraint() const { return fCustomConstraint; }
  void SetCustomConstraint(const String& value);
  const String& ErrorMessage() const { return fErrorMessage; }
  void SetErrorMessage(const String& value);
  bool FromDictionary() const { return fFromDictionary; }
  void SetFromDictionary(bool value);
  const String& ImportedConstraint() const { return fImportedConstraint; }
  void SetImportedConstraint(const String& value);

  String DisplayName() const override;
  void Assign(const TPersistent* source) override;
  static void DeclareProperties(TPropTable<TCheckConstraint>& t);

private:
  String fCustomConstraint;
  String fErrorMessage;
  bool fFromDictionary = true;
  String fImportedConstraint;
};

class TCheckConstraints : public TOwnedCollection {
  ZV_CLASS(TCheckConstraints, TOwnedCollection)

public:
  explicit TCheckConstraints(TPersistent* owner = nullptr)
      : TOwnedCollection(owner, TCheckConstraint::StaticClass()) {}
  TCheckConstraint* Items(int index) const { return ItemAs<TCheckConstraint>(index); }
  TCheckConstraint* AddConstraint() { return static_cast<TCheckConstraint*>(Add()); }
};

}  // namespace zv
