#pragma once
// Parameters of queries and stored procedures: named values with a field type and a direction.
// Setting a value through a typed setter also sets the parameter's DataType, as the host does;
// setting Value on a parameter of unknown type takes the type from the Variant's kind.

#include "platform/classes/Collection.h"
#include "platform/db/DBTypes.h"
#include "platform/rtl/Variant.h"

#include <functional>
#include <string_view>
#include <vector>

namespace zv {

class TField;
class TParams;

ZV_ENUM(TParamType, ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult);

class TParam : public TCollectionItem {
  ZV_CLASS(TParam, TCollectionItem)

public:
  explicit TParam(TCollection* collection = nullptr);
  TParam(TParams* params, TParamType paramType);

  const String& Name() const { return fName; }
  void SetName(const String& name) { fName = name; }
  TFieldType DataType() const { return fDataType; }
  // Converts a value already held to the new type (Null when it does not convert).
  void SetDataType(TFieldType type);
  TParamType ParamType() const { return fParamType; }
  void SetParamType(TParamType type) { fParamType = type; }
  int Precision() const { return fPrecision; }
  void SetPrecision(int v) { fPrecision = v; }
  int NumericScale() const { return fNumericScale; }
  void SetNumericScale(int v) { fNumericScale = v; }
  int Size() const { return fSize; }
  void SetSize(int v) { fSize = v; }
  // Whether a value was given (setting one binds the parameter; Clear keeps it bound).
  bool Bound() const { return fBound; }
  void SetBound(bool v);

  const Variant& Value() const { return fData; }
  void SetValue(const Variant& value);
  bool IsNull() const { return fData.IsNull() || fData.IsEmpty(); }
  void Clear() { fData = Variant::Null(); }

  // Getters read a null parameter as "", 0, False, zero.
  String AsString() const;  // Boolean parameters as "True" / "False"
  void SetAsString(const String& v);             // ftString (ftFixedChar kept)
  int AsInteger() const;
  void SetAsInteger(int v);                      // ftInteger
  void SetAsSmallInt(int v);                     // ftSmallint
  void SetAsWord(int v);                         // ftWord
  std::int64_t AsLargeInt() const;
  void SetAsLargeInt(std::int64_t v);            // ftLargeint
  double AsFloat() const;
  void SetAsFloat(double v);                     // ftFloat
  Currency AsCurrency() const;
  void SetAsCurrency(Currency v);                // ftCurrency
  Currency AsBCD() const;
  void SetAsBCD(Currency v);                     // ftBCD
  TBcd AsFMTBCD() const;
  void SetAsFMTBCD(const TBcd& v);               // ftFMTBcd
  bool AsBoolean() const;
  void SetAsBoolean(bool v);                     // ftBoolean
  TDateTime AsDate() const { return AsDateTime(); }
  void SetAsDate(TDateTime v);                   // ftDate
  TDateTime AsTime() const { return AsDateTime(); }
  void SetAsTime(TDateTime v);                   // ftTime
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime v);               // ftDateTime
  TSQLTimeStamp AsSQLTimeStamp() const;
  void SetAsSQLTimeStamp(const TSQLTimeStamp& v);  // ftTimeStamp
  String AsMemo() const { return AsString(); }
  void SetAsMemo(const String& v);               // ftMemo
  // The bytes of a blob parameter (stored as a varArray | varByte).
  String AsBlob() const;
  void SetAsBlob(const String& v);               // ftBlob

  // Takes name, type and value from a field (or only type and the given value).
  void AssignField(const TField* field);
  void AssignFieldValue(const TField* field, const Variant& value);
  void Assign(const TPersistent* source) override;
  String DisplayName() const override { return fName.empty() ? TCollectionItem::DisplayName() : fName; }
  TParams* Params() const;

  static void DeclareProperties(TPropTable<TParam>& t);

protected:
  // Assigning a parameter to a field stores its value in the field.
  void AssignTo(TPersistent* dest) const override;

private:
  void SetTyped(TFieldType type, Variant value);

  String fName;
  TFieldType fDataType = ftUnknown;
  TParamType fParamType = ptUnknown;
  int fPrecision = 0;
  int fNumericScale = 0;
  int fSize = 0;
  bool fBound = false;
  Variant fData;
};

class TParams : public TOwnedCollection {
  ZV_CLASS(TParams, TOwnedCollection)

public:
  explicit TParams(TPersistent* owner = nullptr);

  TParam* Items(int index) const { return ItemAs<TParam>(index); }
  TParam* operator[](int index) const { return Items(index); }
  TParam* AddParameter() { return static_cast<TParam*>(Add()); }
  TParam* CreateParam(TFieldType type, const String& name, TParamType paramType);
  // Case-insensitive; the first parameter of the name. ParamByName raises SParameterNotFound.
  TParam* FindParam(std::string_view name) const;
  TParam* ParamByName(std::string_view name) const;
  // The parameters named in a ";" list; raises SParameterNotFound for a missing one.
  std::vector<TParam*> GetParamList(const String& paramNames) const;
  // One value, or a variant array for several names.
  Variant ParamValues(const String& paramNames) const;
  void SetParamValues(const String& paramNames, const Variant& values);
  // Assigns each parameter of `values` to this list's parameter of the same name, if any.
  void AssignValues(const TParams& values);
  bool IsEqual(const TParams& other) const;

  // Replaces each ":name" of the SQL by "?" and, with doCreate, makes the list one parameter
  // per occurrence, in order (a repeated name gives one parameter per occurrence, as "?"
  // placeholders bind by position). Text in '...', "..." or `...` is left alone; "::" stands
  // for a literal ":"; a colon not followed by a name character is kept; a quoted name
  // (:"my param") may hold any character.
  String ParseSQL(const String& sql, bool doCreate);

  // Called after a parameter or the list changed (a value set, one added or removed), so that
  // a dataset whose reads use the values can read again.
  std::function<void()> OnChange;

protected:
  void Update(TCollectionItem* item) override;
};

}  // namespace zv
