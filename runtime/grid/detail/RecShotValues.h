#pragma once
// How snapshots read the values of a field list, shared by the snapshots and the grid.

#include "platform/rtl/Variant.h"

namespace zv {
class TDataSet;
namespace recshot {

// Every name of the ";" list is a field of the dataset (and there is at least one).
bool HasFields(const TDataSet& dataSet, const String& fieldNames);
// The combined values of the fields; unassigned when the list is empty or names a missing field.
Variant RecordValues(const TDataSet& dataSet, const String& fieldNames);
// Null, unassigned, or an array with such an element.
bool HasNullPart(const Variant& value);

}  // namespace recshot
}  // namespace zv
