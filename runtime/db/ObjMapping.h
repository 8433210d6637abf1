#pragma once
// Object mapping: how the published properties of a class become field definitions, how an
// object names its own fields and marks nullable properties, how a dotted property path is
// followed, and three routines that copy object properties to and from parameters and records
// by the same rules.
//
// An object class describes its own fields by publishing a method "_GetObjFieldsInfo" taking
// a TObjFieldsInfo by reference (t.Method("_GetObjFieldsInfo", &TMyItem::GetObjFieldsInfo)).
// PropNames and FieldNames are parallel ";" lists: property i shows as field i.

#include "platform/classes/Object.h"
#include "platform/db/DBTypes.h"

#include <string_view>

namespace zv {

class TDataSet;
class TFieldDefs;
class TParams;
class TStrings;
class TvpPropAccessor;

inline constexpr const char SEObjToParamsNoProperty[] = "ObjToParams - property not found: \"%s\"";
inline constexpr const char SEDataSetToOwnCollection[] =
    "DataSetToObj cannot copy a dataset into the collection it shows";

struct TObjFieldsInfo {
  String Reserved;       // filled by some describing classes; not read here
  String NullableProps;  // ";" list of property names that read as null when empty
  String PropNames;      // ";" list, parallel to FieldNames
  String FieldNames;
};

// The object's own description (the four strings cleared first, then its "_GetObjFieldsInfo");
// false when its class publishes none.
bool GetObjFieldsInfo(TObject* obj, TObjFieldsInfo& info);
bool HasObjFieldsInfo(TClass cls);

// A property's field name and back, through the object's description; the name itself when
// there is none or it is not listed (case ignored).
String PropToFieldName(TObject* obj, std::string_view propName);
String FieldToPropName(TObject* obj, std::string_view fieldName);
// The same through a description already read.
String PropToFieldName(const TObjFieldsInfo& info, std::string_view propName);
String FieldToPropName(const TObjFieldsInfo& info, std::string_view fieldName);

// Whether the property counts as null by the object's own description: listed in its
// NullableProps and holding its kind's empty value.
bool IsNullValue(TObject* obj, std::string_view propName);
// The dataset's rule: the property's type name is in nullableTypes or its name in
// nullableProperties (";" lists, case ignored) and the accessor says it is empty.
bool IsNullByOptions(const TvpPropAccessor& accessor, std::string_view nullableProperties,
                     std::string_view nullableTypes);

// Field definitions from the published properties of itemClass, sorted by name: fieldNames
// becomes the ";" list of the names defined. With expandSets a set property becomes one
// boolean field per element, "<field>_<element>"; each such name goes to setFieldNames and its
// property's field name to setOwnerNames (both may be null). Properties of no known field type
// get ftUnknown definitions. instance (the object, or the collection for its items) names the
// fields through its description.
void BuildFieldDefs(TFieldDefs& fieldDefs, TClass itemClass, TObject* instance, String& fieldNames,
                    std::string_view blobProperties, int stringLength, bool expandSets, TStrings* setFieldNames,
                    TStrings* setOwnerNames);

// The object at the end of a dotted path of object properties; null when the path breaks.
// An empty path gives root.
TObject* ResolvePath(TObject* root, std::string_view path);

// Parses sql into params and fills them from obj's properties. Parameters named in
// inOutParams, or not named in outParams, are inputs (a missing property raises EZVError
// SEObjToParamsNoProperty); the others are outputs typed by their property when it exists.
void ObjToParams(const String& sql, TObject* obj, TParams& params, std::string_view inOutParams,
                 std::string_view outParams);
// Every parameter that names a writable published property of obj (directly or through its
// description) is written into it; others are ignored.
void ParamsToObj(const TParams& params, TObject* obj);
// The current record into obj's writable properties by field name. Into a collection: one new item per
// record from the current one to the end (the dataset moves), then the record current at the
// end into the collection itself. A collection the dataset is showing raises EZVError.
void DataSetToObj(TDataSet& dataSet, TObject* obj);

}  // namespace zv
