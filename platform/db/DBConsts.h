#pragma once
// Message texts of the host's data-access layer, as the host words them.

namespace zv {

inline constexpr const char SFieldNotFound[] = "Field '%s' not found";
inline constexpr const char SFieldReadOnly[] = "Field '%s' cannot be modified";
inline constexpr const char SNotEditing[] = "Dataset not in edit or insert mode";
inline constexpr const char SDuplicateFieldName[] = "Duplicate field name '%s'";
inline constexpr const char SFieldAccessError[] = "Cannot access field '%s' as type %s";
inline constexpr const char STextTrue[] = "True";
inline constexpr const char STextFalse[] = "False";
inline constexpr const char SFieldRequired[] = "Field '%s' must have a value";
inline constexpr const char SFieldRangeError[] = "%g is not a valid value for field '%s'. The allowed range is %g to %g";
inline constexpr const char SInvalidIntegerValue[] = "'%s' is not a valid integer value for field '%s'";
inline constexpr const char SInvalidFloatValue[] = "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char SInvalidBoolValue[] = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char SFieldValueError[] = "Invalid value for field '%s'";
inline constexpr const char SFieldTypeMismatch[] = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char SDataSetMissing[] = "Field '%s' has no dataset";
inline constexpr const char SFieldIndexError[] = "Field index out of range";
inline constexpr const char SDataSetOpen[] = "Cannot perform this operation on an open dataset";
inline constexpr const char SDataSetClosed[] = "Cannot perform this operation on a closed dataset";
inline constexpr const char SDataSetEmpty[] = "Cannot perform this operation on an empty dataset";
inline constexpr const char SDataSetReadOnly[] = "Cannot modify a read-only dataset";
inline constexpr const char SRecordNotFound[] = "Record not found";
inline constexpr const char SBookmarkNotFound[] = "Bookmark not found";
inline constexpr const char SCircularDataLink[] = "Circular datalinks are not allowed";
inline constexpr const char SDataSourceChange[] = "DataSource cannot be changed";
inline constexpr const char SInvalidFieldSize[] = "Invalid field size";
inline constexpr const char SUnknownFieldType[] = "Field '%s' is of an unknown type";
inline constexpr const char SParameterNotFound[] = "Parameter '%s' not found";
inline constexpr const char SInvalidSortField[] = "Invalid sort field '%s'";
inline constexpr const char SFilterNotExpression[] = "The filter must be a single expression over the table's columns.";
// The host's DB unit calls this one SDuplicateName; that name is the component message here.
inline constexpr const char SDuplicateItemName[] = "Duplicate name '%s' in %s";
inline constexpr const char SFieldNameMissing[] = "Field name missing";
inline constexpr const char SLookupInfoError[] = "Lookup information for field '%s' is incomplete";

}  // namespace zv
