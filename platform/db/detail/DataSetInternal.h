#pragma once
// Helpers shared by the sources of TDataSet (DataSet.cpp, DataSetEditing.cpp,
// DataSetFields.cpp) and the datasets of this module; not part of the public interface.

#include "platform/db/DataSet.h"

#include <string_view>
#include <vector>

namespace zv::dataset_detail {

inline constexpr TSet<TDataSetState> dsEditModes{dsEdit, dsInsert, dsSetKey};

// Counts a scope in, and out however it ends.
struct TCounterGuard {
  int& Counter;
  explicit TCounterGuard(int& counter) : Counter(++counter) {}
  ~TCounterGuard() { --Counter; }
  TCounterGuard(const TCounterGuard&) = delete;
  TCounterGuard& operator=(const TCounterGuard&) = delete;
};

// Keeps controls quiet for a scope.
struct TControlsGuard {
  TDataSet& DataSet;
  explicit TControlsGuard(TDataSet& dataSet) : DataSet(dataSet) { DataSet.DisableControls(); }
  ~TControlsGuard() {
    try {
      DataSet.EnableControls();
    } catch (...) {
      // A control that fails to repaint must not replace the error that unwound the scope.
    }
  }
  TControlsGuard(const TControlsGuard&) = delete;
  TControlsGuard& operator=(const TControlsGuard&) = delete;
};

// Runs body, then finish, whether body fails or not (the host's try..finally).
template <class Body, class Finish>
void TryFinally(Body&& body, Finish&& finish) {
  try {
    body();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// The names of a ";" list, trimmed, empty entries left out.
std::vector<String> SplitFieldNames(const String& names);

// The i-th of the key values given to Locate or Lookup: the value itself for one field.
Variant KeyValue(const Variant& keyValues, std::size_t index, std::size_t count);

// Whether the field's value in the record being read is key, as Locate and Lookup compare:
// text as text under the options, other kinds by value; a null key matches a null field.
bool MatchesKey(const TField& field, const Variant& key, TLocateOptions options);
bool MatchesKeys(const std::vector<TField*>& fields, const std::vector<Variant>& keys, TLocateOptions options);

}  // namespace zv::dataset_detail
