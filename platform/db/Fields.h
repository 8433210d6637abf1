#pragma once
// The field classes, in the host's hierarchy, so that class tests (dynamic_cast) work as the
// host's "is" does:
//
//   TField ─ TStringField ─ TWideStringField, TGuidField
//          ─ TNumericField ─ TIntegerField ─ TSmallintField, TWordField, TAutoIncField
//                          ─ TLargeintField
//                          ─ TFloatField ─ TCurrencyField
//                          ─ TBCDField, TFMTBCDField
//          ─ TBooleanField
//          ─ TDateTimeField ─ TDateField, TTimeField
//          ─ TSQLTimeStampField
//          ─ TBinaryField ─ TBytesField, TVarBytesField
//          ─ TBlobField ─ TMemoField, TGraphicField
//          ─ TVariantField
//
// Values travel between a field and its dataset as Variants (GetFieldData / SetFieldData).
// The kind each class stores, which datasets rely on:
//   String, FixedChar, WideString, Guid, Memo   varString (UTF-8)
//   Smallint, Integer, Word, AutoInc            varInteger
//   Largeint                                    varInt64
//   Float, Currency                             varDouble (the host's currency field is a float)
//   BCD                                         varCurrency
//   FMTBcd                                      varFMTBcd
//   Boolean                                     varBoolean
//   Date, Time, DateTime                        varDate (a date field keeps midnight, a time
//                                               field the time of day only)
//   TimeStamp                                   varSQLTimeStamp
//   Bytes, VarBytes, Blob, Graphic              varArray | varByte
//   Variant                                     the value as it is
// Null is Null for every class. A dataset may hand back any kind convertible to the one
// listed; the field converts on reading.

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/Field.h"

namespace zv {

class TStream;

// The field class the host creates by default for a type; null for types it has none for
// here (ADT, arrays, references, nested datasets, cursors, interfaces).
TClass DefaultFieldClass(TFieldType type);

// Text. Size counts characters; a longer text is cut to Size characters, as the host's
// fixed-size buffers cut it. Size 0 means no limit (for columns that declare no length).
class TStringField : public TField {
  ZV_CLASS(TStringField, TField)

public:
  explicit TStringField(TComponent* owner);  // ftString, Size 20

  bool FixedChar() const { return DataType() == ftFixedChar; }
  void SetFixedChar(bool value);
  bool Transliterate() const { return fTransliterate; }
  void SetTransliterate(bool value) { fTransliterate = value; }

  String AsString() const override;
  void SetAsString(const String& v) override;
  int AsInteger() const override;                 // StrToInt
  void SetAsInteger(int v) override;
  std::int64_t AsLargeInt() const override;       // StrToInt64
  void SetAsLargeInt(std::int64_t v) override;
  double AsFloat() const override;                // StrToFloat
  void SetAsFloat(double v) override;
  TBcd AsBCD() const override;                    // StrToBcd
  void SetAsBCD(const TBcd& v) override;
  bool AsBoolean() const override;                // first character T, t, Y or y
  void SetAsBoolean(bool v) override;             // "T" / "F"
  TDateTime AsDateTime() const override;          // StrToDateTime
  void SetAsDateTime(TDateTime v) override;
  Variant AsVariant() const override;

  static void DeclareProperties(TPropTable<TStringField>& t);

protected:
  String GetText(bool displayText) const override;
  void SetVarValue(const Variant& v) override;
  int GetDefaultWidth() const override { return Size() > 0 ? Size() : 20; }
  void CheckTypeSize(int size) const override;

private:
  bool fTransliterate = true;
};

// A string field whose database column holds UTF-16; Size still counts characters.
class TWideStringField : public TStringField {
  ZV_CLASS(TWideStringField, TStringField)

public:
  explicit TWideStringField(TComponent* owner);  // ftWideString
  WideString Value() const { return UTF8Decode(AsString()); }
  void SetValue(const WideString& v) { SetAsString(UTF8Encode(v)); }
};

// A GUID as text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; Size 38.
class TGuidField : public TStringField {
  ZV_CLASS(TGuidField, TStringField)

public:
  explicit TGuidField(TComponent* owner);

protected:
  void CheckTypeSize(int size) const override;
};

// Numbers: right-justified; DisplayFormat (display) and EditFormat (editing; DisplayFormat
// when empty) are FormatFloat pictures.
class TNumericField : public TField {
  ZV_CLASS(TNumericField, TField)

public:
  explicit TNumericField(TComponent* owner);

  const String& DisplayFormat() const { return fDisplayFormat; }
  void SetDisplayFormat(const String& v);
  const String& EditFormat() const { return fEditFormat; }
  void SetEditFormat(const String& v);

  static void DeclareProperties(TPropTable<TNumericField>& t);

protected:
  // The picture for the text: EditFormat when editing and set, else DisplayFormat.
  const String& FormatFor(bool displayText) const;
  // Raises SFieldRangeError for the value and bounds.
  [[noreturn]] void RangeError(double value, double min, double max) const;

private:
  String fDisplayFormat;
  String fEditFormat;
};

// 32-bit integers. MinValue/MaxValue both 0 means the type's own range.
class TIntegerField : public TNumericField {
  ZV_CLASS(TIntegerField, TNumericField)

public:
  explicit TIntegerField(TComponent* owner);  // ftInteger

  int MinValue() const { return fMinValue; }
  void SetMinValue(int v);
  int MaxValue() const { return fMaxValue; }
  void SetMaxValue(int v);

  String AsString() const override;
  void SetAsString(const String& v) override;  // SInvalidIntegerValue
  int AsInteger() const override;
  void SetAsInteger(int v) override;           // SFieldRangeError
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t v) override;
  double AsFloat() const override;
  void SetAsFloat(double v) override;          // rounds half to even
  Variant AsVariant() const override;

  static void DeclareProperties(TPropTable<TIntegerField>& t);

protected:
  // The type's own range (Smallint, Word, ...).
  TIntegerField(TComponent* owner, TFieldType type, std::int64_t minRange, std::int64_t maxRange);
  String GetText(bool displayText) const override;
  void SetVarValue(const Variant& v) override;
  int GetDefaultWidth() const override { return 11; }
  void CheckRange(std::int64_t v) const;
  bool GetValue(int& v) const;

private:
  int fMinValue = 0;
  int fMaxValue = 0;
  std::int64_t fMinRange;
  std::int64_t fMaxRange;
};

class TSmallintField : public TIntegerField {
  ZV_CLASS(TSmallintField, TIntegerField)

public:
  explicit TSmallintField(TComponent* owner);  // ftSmallint, -32768..32767

protected:
  int GetDefaultWidth() const override { return 6; }
};

class TWordField : public TIntegerField {
  ZV_CLASS(TWordField, TIntegerField)

public:
  explicit TWordField(TComponent* owner);  // ftWord, 0..65535

protected:
  int GetDefaultWidth() const override { return 5; }
};

class TAutoIncField : public TIntegerField {
  ZV_CLASS(TAutoIncField, TIntegerField)

public:
  explicit TAutoIncField(TComponent* owner);  // ftAutoInc
};

// 64-bit integers.
class TLargeintField : public TNumericField {
  ZV_CLASS(TLargeintField, TNumericField)

public:
  explicit TLargeintField(TComponent* owner);  // ftLargeint

  std::int64_t MinValue() const { return fMinValue; }
  void SetMinValue(std::int64_t v);
  std::int64_t MaxValue() const { return fMaxValue; }
  void SetMaxValue(std::int64_t v);

  String AsString() const override;
  void SetAsString(const String& v) override;  // SInvalidIntegerValue
  int AsInteger() const override;              // ERangeError past 32 bits
  void SetAsInteger(int v) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t v) override;
  double AsFloat() const override;
  void SetAsFloat(double v) override;
  Variant AsVariant() const override;

  static void DeclareProperties(TPropTable<TLargeintField>& t);

protected:
  String GetText(bool displayText) const override;
  void SetVarValue(const Variant& v) override;
  int GetDefaultWidth() const override { return 15; }
  bool GetValue(std::int64_t& v) const;

private:
  std::int64_t fMinValue = 0;
  std::int64_t fMaxValue = 0;
};

// Doubles. Precision (2..15, default 15) is the significant digits of the default text;
// Currency shows the value as money. MinValue/MaxValue both 0: no range.
class TFloatField : public TNumericField {
  ZV_CLASS(TFloatField, TNumericField)

public:
  explicit TFloatField(TComponent* owner);  // ftFloat

  bool Currency() const { return fCurrency; }
  void SetCurrency(bool v);
  int Precision() const { return fPrecision; }
  void SetPrecision(int v);
  double MinValue() const { return fMinValue; }
  void SetMinValue(double v) { fMinValue = v; }
  double MaxValue() const { return fMaxValue; }
  void SetMaxValue(double v) { fMaxValue = v; }

  String AsString() const override;            // FloatToStr
  void SetAsString(const String& v) override;  // SInvalidFloatValue
  int AsInteger() const override;              // rounds half to even
  void SetAsInteger(int v) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t v) override;
  double AsFloat() const override;
  void SetAsFloat(double v) override;          // SFieldRangeError
  Variant AsVariant() const override;

  static void DeclareProperties(TPropTable<TFloatField>& t);

protected:
  String GetText(bool displayText) const override;
  void SetVarValue(const Variant& v) override;
  bool GetValue(double& v) const;

private:
  bool fCurrency = false;
  int fPrecision = 15;
  double fMinValue = 0;
  double fMaxValue = 0;
};

// A float field shown as money.
class TCurrencyField : public TFloatField {
  ZV_CLASS(TCurrencyField, TFloatField)

public:
  explicit TCurrencyField(TComponent* owner);  // ftCurrency, Currency true
};

// Exact decimals held as Currency (four places). Size is the number of decimal places
// (0..4, default 4), Precision the total digits (0 = any).
class TBCDField : public TNumericField {
  ZV_CLASS(TBCDField, TNumericField)

public:
  explicit TBCDField(TComponent* owner);  // ftBCD, Size 4

  bool Currency() const { return fCurrency; }
  void SetCurrency(bool v);
  int Precision() const { return fPrecision; }
  void SetPrecision(int v);
  zv::Currency MinValue() const { return fMinValue; }
  void SetMinValue(zv::Currency v) { fMinValue = v; }
  zv::Currency MaxValue() const { return fMaxValue; }
  void SetMaxValue(zv::Currency v) { fMaxValue = v; }

  String AsString() const override;            // CurrToStr
  void SetAsString(const String& v) override;  // SInvalidFloatValue
  int AsInteger() const override;
  void SetAsInteger(int v) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t v) override;
  double AsFloat() const override;
  void SetAsFloat(double v) override;
  zv::Currency AsCurrency() const override;
  void SetAsCurrency(zv::Currency v) override;  // SFieldRangeError
  TBcd AsBCD() const override;
  void SetAsBCD(const TBcd& v) override;
  Variant AsVariant() const override;

  static void DeclareProperties(TPropTable<TBCDField>& t);

protected:
  String GetText(bool displayText) const override;
  void SetVarValue(const Variant& v) override;
  int GetDefaultWidth() const override;
  void CheckTypeSize(int size) const override;
  bool GetValue(zv::Currency& v) const;

private:
  bool fCurrency = false;
  int fPrecision = 0;
  zv::Currency fMinValue;
  zv::Currency fMaxValue;
};

// Exact decimals of up to 64 digits (TBcd). Size is the number of decimal places (default 8),
// Precision the total digits (default 15). MinValue/MaxValue are decimal texts; both empty:
// no range. Values with more places than Size are truncated to Size places.
class TFMTBCDField : public TNumericField {
  ZV_CLASS(TFMTBCDField, TNumericField)

public:
  explicit TFMTBCDField(TComponent* owner);  // ftFMTBcd

  bool Currency() const { return fCurrency; }
  void SetCurrency(bool v);
  int Precision() const { return fPrecision; }
  void SetPrecision(int v);
  const String& MinValue() const { return fMinValue; }
  void SetMinValue(const String& v);
  const String& MaxValue() const { return fMaxValue; }
  void SetMaxValue(const String& v);

  String AsString() const override;            // BcdToStr
  void SetAsString(const String& v) override;  // SInvalidFloatValue
  int AsInteger() const override;
  void SetAsInteger(int v) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t v) override;
  double AsFloat() const override;
  void SetAsFloat(double v) override;
  zv::Currency AsCurrency() const override;
  void SetAsCurrency(zv::Currency v) override;
  TBcd AsBCD() const override;
  void SetAsBCD(const TBcd& v) override;  // SFieldRangeError
  Variant AsVariant() const override;

  static void DeclareProperties(TPropTable<TFMTBCDField>& t);

protected:
  String GetText(bool displayText) const override;
  void SetVarValue(const Variant& v) override;
  int GetDefaultWidth() const override;
  void CheckTypeSize(int size) const override;
  bool GetValue(TBcd& v) const;

private:
  bool fCurrency = false;
  int fPrecision = 15;
  String fMinValue;
  String fMaxValue;
};

// True/False with display texts "True;False" by default; DisplayValues "Yes;No" changes them
// ("Yes" alone: true is "Yes", false is empty). Setting text accepts any leading part of
// either text, ignoring case (false tried first); an empty text stores the value whose text is
// empty, else clears.
class TBooleanField : public TField {
  ZV_CLASS(TBooleanField, TField)

public:
  explicit TBooleanField(TComponent* owner);  // ftBoolean

  const String& DisplayValues() const { return fDisplayValues; }
  void SetDisplayValues(const String& v);

  String AsString() const override;
  void SetAsString(const String& v) override;  // SInvalidBoolValue
  bool AsBoolean() const override;
  void SetAsBoolean(bool v) override;
  Variant AsVariant() const override;

  static void DeclareProperties(TPropTable<TBooleanField>& t);

protected:
  int GetDefaultWidth() const override;
  void SetVarValue(const Variant& v) override;

private:
  String fDisplayValues;
  String fTrueText = STextTrue;
  String fFalseText = STextFalse;
};

// Dates with times. DisplayFormat is a FormatDateTime format for display; the default text is
// DateTimeToStr (DateToStr for a date field, TimeToStr for a time field).
class TDateTimeField : public TField {
  ZV_CLASS(TDateTimeField, TField)

public:
  explicit TDateTimeField(TComponent* owner);  // ftDateTime

  const String& DisplayFormat() const { return fDisplayFormat; }
  void SetDisplayFormat(const String& v);

  String AsString() const override;
  void SetAsString(const String& v) override;  // StrToDateTime / StrToDate / StrToTime errors
  double AsFloat() const override;
  void SetAsFloat(double v) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime v) override;
  TSQLTimeStamp AsSQLTimeStamp() const override;
  void SetAsSQLTimeStamp(const TSQLTimeStamp& v) override;
  Variant AsVariant() const override;

  static void DeclareProperties(TPropTable<TDateTimeField>& t);

protected:
  TDateTimeField(TComponent* owner, TFieldType type);
  String GetText(bool displayText) const override;
  void SetVarValue(const Variant& v) override;
  int GetDefaultWidth() const override { return 18; }
  bool GetValue(TDateTime& v) const;

private:
  String fDisplayFormat;
};

class TDateField : public TDateTimeField {
  ZV_CLASS(TDateField, TDateTimeField)

public:
  explicit TDateField(TComponent* owner);  // ftDate

protected:
  int GetDefaultWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
  ZV_CLASS(TTimeField, TDateTimeField)

public:
  explicit TTimeField(TComponent* owner);  // ftTime

protected:
  int GetDefaultWidth() const override { return 10; }
};

// SQL time stamps; DisplayFormat as for date-time fields, default ShortDateFormat +
// LongTimeFormat.
class TSQLTimeStampField : public TField {
  ZV_CLASS(TSQLTimeStampField, TField)

public:
  explicit TSQLTimeStampField(TComponent* owner);  // ftTimeStamp

  const String& DisplayFormat() const { return fDisplayFormat; }
  void SetDisplayFormat(const String& v);

  String AsString() const override;
  void SetAsString(const String& v) override;  // StrToSQLTimeStamp errors
  double AsFloat() const override;
  void SetAsFloat(double v) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime v) override;
  TSQLTimeStamp AsSQLTimeStamp() const override;
  void SetAsSQLTimeStamp(const TSQLTimeStamp& v) override;
  Variant AsVariant() const override;

  static void DeclareProperties(TPropTable<TSQLTimeStampField>& t);

protected:
  String GetText(bool displayText) const override;
  void SetVarValue(const Variant& v) override;
  int GetDefaultWidth() const override { return 20; }
  bool GetValue(TSQLTimeStamp& v) const;

private:
  String fDisplayFormat;
};

// Bytes; AsString is the bytes as they are. Shown as "(Bytes)", "(BYTES)" when not null.
class TBinaryField : public TField {
  ZV_CLASS(TBinaryField, TField)

public:
  String AsString() const override;
  void SetAsString(const String& v) override;
  Variant AsVariant() const override;

protected:
  TBinaryField(TComponent* owner, TFieldType type);  // Size 16
  void SetVarValue(const Variant& v) override;  // byte arrays and text
  String GetText(bool displayText) const override;
  void CheckTypeSize(int size) const override;
};

// A fixed number (Size) of bytes: shorter values are padded with zeros, longer ones cut.
class TBytesField : public TBinaryField {
  ZV_CLASS(TBytesField, TBinaryField)

public:
  explicit TBytesField(TComponent* owner);  // ftBytes
  static void DeclareProperties(TPropTable<TBytesField>& t);
};

// Up to Size bytes; longer values are cut.
class TVarBytesField : public TBinaryField {
  ZV_CLASS(TVarBytesField, TBinaryField)

public:
  explicit TVarBytesField(TComponent* owner);  // ftVarBytes
  static void DeclareProperties(TPropTable<TVarBytesField>& t);
};

// Large binary values, read and written whole or through the dataset's blob stream.
class TBlobField : public TField {
  ZV_CLASS(TBlobField, TField)

public:
  explicit TBlobField(TComponent* owner);  // ftBlob

  TFieldType BlobType() const { return DataType(); }
  void SetBlobType(TFieldType type);  // one of the blob types
  bool IsBlob() const override { return true; }
  int BlobSize() const;
  // Whether the value was changed since the record was read; the dataset resets it.
  bool Modified() const { return fModified; }
  void SetModified(bool v) { fModified = v; }

  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName) const;

  String AsString() const override;             // the bytes
  void SetAsString(const String& v) override;
  Variant AsVariant() const override;           // varArray | varByte

  static void DeclareProperties(TPropTable<TBlobField>& t);

protected:
  TBlobField(TComponent* owner, TFieldType type);
  void SetVarValue(const Variant& v) override;  // byte arrays and text
  // The class description: "(Blob)", "(BLOB)" when not null; (Memo), (Graphic) for those.
  String GetText(bool displayText) const override;
  void CheckTypeSize(int size) const override;

private:
  bool fModified = false;
};

// Text blobs: the value reads and writes as a String (varString).
class TMemoField : public TBlobField {
  ZV_CLASS(TMemoField, TBlobField)

public:
  explicit TMemoField(TComponent* owner);  // ftMemo

  Variant AsVariant() const override;

protected:
  void SetVarValue(const Variant& v) override;
};

class TGraphicField : public TBlobField {
  ZV_CLASS(TGraphicField, TBlobField)

public:
  explicit TGraphicField(TComponent* owner);  // ftGraphic
};

// Any Variant, stored as given; typed access converts by the Variant rules.
class TVariantField : public TField {
  ZV_CLASS(TVariantField, TField)

public:
  explicit TVariantField(TComponent* owner);  // ftVariant

  String AsString() const override;
  void SetAsString(const String& v) override;
  int AsInteger() const override;
  void SetAsInteger(int v) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t v) override;
  double AsFloat() const override;
  void SetAsFloat(double v) override;
  zv::Currency AsCurrency() const override;
  void SetAsCurrency(zv::Currency v) override;
  TBcd AsBCD() const override;
  void SetAsBCD(const TBcd& v) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool v) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime v) override;
  TSQLTimeStamp AsSQLTimeStamp() const override;
  void SetAsSQLTimeStamp(const TSQLTimeStamp& v) override;
  Variant AsVariant() const override;

protected:
  void SetVarValue(const Variant& v) override;
  // An array (a blob a table stores in a column of no type) shows as a blob field does,
  // "(BLOB)", in display and edit text alike; AsString still raises for it, since code that
  // asks for the string of bytes would otherwise take the description for the value.
  String GetText(bool displayText) const override;
};

}  // namespace zv

// Type information of the enumerations that fields and definitions publish.
