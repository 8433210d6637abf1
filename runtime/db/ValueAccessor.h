#pragma once
// TvpValueAccessor: how the bytes of one kind of TvpUniValue are laid out and how they convert
// to and from every other kind. One shared, stateless instance serves each kind; the value is
// passed to every operation.
//
//   kind (TFieldType)                           accessor                 stored bytes
//   ftString, ftFixedChar                       TvpStringAccessor        text + zero byte
//   ftWideString                                TvpWideStringAccessor    UTF-16 + zero unit
//   ftSmallint, ftInteger, ftWord, ftAutoInc    TvpIntegerAccessor       4-byte integer
//   ftLargeint                                  TvpLargeIntAccessor      8-byte integer
//   ftFloat, ftCurrency                         TvpFloatAccessor         8-byte double
//   ftBoolean                                   TvpBoolAccessor          2-byte word, 0 / -1
//   ftDate, ftTime, ftDateTime                  TvpDateTimeAccessor      8-byte TDateTime
//   ftTimeStamp                                 TvpSQLTimeStampAccessor  16-byte TSQLTimeStamp
//   ftBytes, ftVarBytes                         TvpBinaryAccessor        the bytes
//   ftBCD                                       TvpBCDAccessor           8-byte Currency
//   ftFMTBcd                                    TvpFMTBCDAccessor        34-byte TBcd
//   the nine blob types (IsBlobField)           TvpBlobAccessor          the bytes (empty: null)
//   ftVariant, ftUnknown                        TvpVariantAccessor       4 bytes; the variant
//                                                                        is in a holder
//   ftCursor, ftADT, ftArray, ftReference,      TvpValueAccessor         raw bytes, no typed
//   ftDataSet, ftInterface, ftIDispatch, ftGuid                          access
//
// A new value uses the base accessor until it gets a type. An access error is EDatabaseError
// "Cannot access field 'UniValue' as type <kind>".

#include "runtime/db/UniValue.h"

namespace zv {

class TvpValueAccessor {
public:
  TvpValueAccessor() = default;
  TvpValueAccessor(const TvpValueAccessor&) = delete;
  TvpValueAccessor& operator=(const TvpValueAccessor&) = delete;
  virtual ~TvpValueAccessor() = default;

  // Reads. The base: AsBCD from AsCurrency (precision 32, 4 decimals); AsByteArray the stored
  // bytes; AsCurrency AsFloat to four decimals, ties to even; AsInteger AsFloat rounded (any
  // failure becomes the access error "Integer"); AsLargeint from AsInteger; AsWideString from
  // AsString; the rest raise the access error.
  virtual TBcd GetAsBCD(const TvpUniValue& v) const;
  virtual bool GetAsBoolean(const TvpUniValue& v) const;
  virtual Variant GetAsByteArray(const TvpUniValue& v) const;
  virtual Currency GetAsCurrency(const TvpUniValue& v) const;
  virtual TDateTime GetAsDateTime(const TvpUniValue& v) const;
  virtual double GetAsFloat(const TvpUniValue& v) const;
  virtual int GetAsInteger(const TvpUniValue& v) const;
  virtual std::int64_t GetAsLargeint(const TvpUniValue& v) const;
  virtual TSQLTimeStamp GetAsSQLTimeStamp(const TvpUniValue& v) const;
  virtual String GetAsString(const TvpUniValue& v) const;
  virtual Variant GetAsVariant(const TvpUniValue& v) const;
  virtual WideString GetAsWideString(const TvpUniValue& v) const;

  // Writes. The base: AsBCD through AsCurrency, AsCurrency through AsFloat; the rest raise the
  // access error.
  virtual void SetAsBCD(TvpUniValue& v, const TBcd& value) const;
  virtual void SetAsBoolean(TvpUniValue& v, bool value) const;
  virtual void SetAsByteArray(TvpUniValue& v, const Variant& value) const;
  virtual void SetAsCurrency(TvpUniValue& v, Currency value) const;
  virtual void SetAsDateTime(TvpUniValue& v, TDateTime value) const;
  virtual void SetAsFloat(TvpUniValue& v, double value) const;
  virtual void SetAsInteger(TvpUniValue& v, int value) const;
  virtual void SetAsLargeint(TvpUniValue& v, std::int64_t value) const;
  virtual void SetAsSQLTimeStamp(TvpUniValue& v, const TSQLTimeStamp& value) const;
  virtual void SetAsString(TvpUniValue& v, const String& value) const;
  virtual void SetAsVariant(TvpUniValue& v, const Variant& value) const;
  virtual void SetAsWideString(TvpUniValue& v, const WideString& value) const;

  // The "Data" stream form. The base kinds stream their raw bytes as binary data.
  virtual bool HasStreamForm(const TvpUniValue& v) const;
  virtual void ReadData(TvpUniValue& v, TReader& reader) const;
  virtual void WriteData(const TvpUniValue& v, TWriter& writer) const;

  // Assignments of a non-null source or to a destination, each through the one typed
  // property of the kind. The base copies the raw bytes of another base-kind value and
  // raises the access error for anything else, so that nothing is silently dropped.
  virtual void AssignValue(TvpUniValue& v, const TvpUniValue& source) const;
  virtual void AssignFromField(TvpUniValue& v, const TField& field) const;
  virtual void AssignFromParam(TvpUniValue& v, const TParam& param) const;
  virtual void AssignToField(const TvpUniValue& v, TField& field) const;
  virtual void AssignToParam(const TvpUniValue& v, TParam& param) const;

  // Both values are not null; only the sign counts. The base orders raw bytes.
  virtual int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const;
};

// The accessor of a kind (the table above); the base accessor for ftUnknown's "no type yet"
// is BaseAccessor().
const TvpValueAccessor& AccessorOf(TFieldType fieldType);
const TvpValueAccessor& BaseAccessor();

// Raises EDatabaseError "Cannot access field 'UniValue' as type <kindName>".
[[noreturn]] void UniValueAccessError(const char* kindName);

}  // namespace zv
