#pragma once
// TvpPropAccessor: one published property of an object, found by name, read and written in
// any kind through a TvpUniValue. The object dataset moves object properties to and from
// record fields with it; the default visions set editor properties by name with the four
// free routines at the end.
//
// Every value travels through Value, which holds it only for the one operation: each read
// and write leaves Value cleared, also when it fails. A failed write leaves the property as it
// was: component references travel as 32-bit handles of live components (0 = none) and are
// checked against the property's class, ordinals outside their type raise ERangeError, and a
// string-list or bitmap property that holds no object reads as null and refuses writes.
//
// GetPropFieldInfo is the mapping of property types to field types that the accessor and the
// object dataset share.

#include "platform/classes/Persistent.h"
#include "platform/db/DBTypes.h"
#include "runtime/db/UniValue.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace zv {

class TPropInfo;

inline constexpr const char SEValueNotAvailable[] = "Value is not available";
inline constexpr const char SEReadOnlyProperty[] = "'%s' is read-only property";
inline constexpr const char SEPropertyHasNoObject[] = "'%s' holds no object to take the value";
inline constexpr const char SENoComponentOfHandle[] = "%d is not the handle of a live component";
inline constexpr const char SEReferenceClassMismatch[] = "'%s' cannot refer to a %s";

// How a property's value travels. pteMemoStr is never produced by the mapping; it is kept for
// callers that tag long text properties themselves.
enum TvpPropTypeEx { pteNormal, pteStrings, pteMemoStr, pteBitmap, pteReference, pteSet };

struct TvpPropInfo {
  TFieldType DataType = ftUnknown;
  int Size = 0;             // string length; bytes for wide strings
  bool ReadOnly = false;
  TvpPropTypeEx PropType = pteNormal;
  String SetElements;       // a set's element names, lowest ordinal first, ';'-separated
};

// The field type that holds a property's value. stringLength sizes long-string fields (twice
// that for wide strings); a property named in blobProperties (a ';' list, case ignored) maps to
// a memo instead. A null propInfo maps to ftUnknown, read-only.
TvpPropInfo GetPropFieldInfo(const TPropInfo* propInfo, int stringLength, std::string_view blobProperties);

class TvpPropAccessor : public TPersistent {
  ZV_CLASS(TvpPropAccessor, TPersistent)

public:
  // A missing property (or a null instance) is no error here: the accessor is just not Active.
  TvpPropAccessor(TObject* instance, std::string_view propName);
  ~TvpPropAccessor() override;

  const TPropInfo* PropInfo() const { return fPropInfo; }
  bool Active() const { return fPropInfo != nullptr; }
  TObject* Instance() const { return fInstance; }
  const String& PropName() const { return fPropName; }
  // The mapping with strings of 1024 characters and no blob list; ftUnknown when not active.
  TFieldType DataType() const { return fDataType; }
  // No write access, or not active.
  bool ReadOnly() const { return fReadOnly; }
  const String& SetElements() const { return fSetElements; }
  // The scratch value of one operation (owned): empty between operations.
  TvpUniValue& Value() const { return *fValue; }

  // Reading: ReadData, then Value's reading of that kind. Writing: Value's writing, then
  // WriteData. A conversion failure propagates with the property unchanged.
  int AsInteger() const;
  void SetAsInteger(int value);
  std::int64_t AsInt64() const;
  void SetAsInt64(std::int64_t value);
  double AsFloat() const;
  void SetAsFloat(double value);
  String AsString() const;
  void SetAsString(const String& value);
  Variant AsVariant() const;
  void SetAsVariant(const Variant& value);

  // The property into Value (Value stays null when the property cannot be read) and Value into
  // the property (then Value is cleared, whatever happens).
  void ReadData();
  void WriteData();

  // Writes the null value of the property's kind: 0, "", 0.0, Null, false, no lines, no image,
  // no component.
  void Clear();
  // Whether the property holds its kind's null value; false when it cannot be read and for
  // kinds that have none (objects, events).
  bool IsEmpty() const;
  // The property's type name equals typeName (case ignored); false when not active.
  bool PropTypeIs(std::string_view typeName) const;

  // EZVError SEValueNotAvailable when not active.
  void CheckActive() const;
  // EZVError SEReadOnlyProperty with PropName when read-only.
  void CheckReadOnly() const;

  // From another accessor's property, a TvpUniValue, a TField or a TParam (a null source
  // clears the property); anything else raises the host's assignment error.
  void Assign(const TPersistent* source) override;

protected:
  // The property's value into another value, a TField or a TParam.
  void AssignTo(TPersistent* dest) const override;

private:
  void ReadInto(TvpUniValue& value) const;
  void WriteFrom(const TvpUniValue& value);

  TObject* fInstance;
  String fPropName;
  const TPropInfo* fPropInfo = nullptr;
  TFieldType fDataType = ftUnknown;
  bool fReadOnly = true;
  String fSetElements;
  std::unique_ptr<TvpUniValue> fValue;
};

// One-call access by name that tolerates a missing property: reads give 0 or "", writes do
// nothing. Everything else (read-only, conversion) raises as the accessor does.
int zvGetPropValueInt(TObject* instance, std::string_view propName);
String zvGetPropValueStr(TObject* instance, std::string_view propName);
void zvSetPropValueInt(TObject* instance, std::string_view propName, int value);
void zvSetPropValueStr(TObject* instance, std::string_view propName, const String& value);

}  // namespace zv
