#pragma once
// TvpUniValue: one value of any field type, with its type and a null state. It converts
// between kinds on reading and writing (AsString, AsInteger, ... AsVariant), copies itself to
// and from host fields, parameters and other values, orders two values and streams itself as
// part of a component's stored properties. Field values of visions, object dataset cells,
// quick record set cells and the property accessor all hold their values in it.
//
// The bytes of the value are kept as the field type lays them out (a string with its
// terminating zero, a 4-byte integer, a 16-byte time stamp, ...; see ValueAccessor.h); a
// value is null exactly when it holds no bytes. Reading and writing go to the accessor of the
// value's DataType, a stateless strategy shared by every value of that kind.

#include "platform/classes/Persistent.h"
#include "platform/db/DBTypes.h"
#include "platform/rtl/Bcd.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/Variant.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <type_traits>

namespace zv {

class TField;
class TParam;
class TReader;
class TStream;
class TWriter;
class TvpValueAccessor;
template <class C>
class TPropTable;

// True for the nine blob types: ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftParadoxOle,
// ftDBaseOle, ftTypedBinary, ftOraBlob, ftOraClob.
bool IsBlobField(TFieldType fieldType);

// The variant a variant-kind value holds; created on the first write, freed when the value
// empties.
class TvpVariantHolder : public TPersistent {
  ZV_CLASS(TvpVariantHolder, TPersistent)

public:
  TvpVariantHolder() = default;
  const Variant& Value() const { return fValue; }
  void SetValue(const Variant& value) { fValue = value; }

private:
  Variant fValue;
};

class TvpUniValue : public TPersistent {
  ZV_CLASS(TvpUniValue, TPersistent)

public:
  // autoChangeType: every typed write and assignment retypes the value to the kind written.
  // convertOnChange: a type change converts the held value into the new kind.
  // With both false the first type given sticks for the value's life.
  explicit TvpUniValue(bool autoChangeType = false, bool convertOnChange = false);
  ~TvpUniValue() override;

  TFieldType DataType() const { return static_cast<TFieldType>(fDataType); }
  // Changes the kind under the flag rules above; with ConvertOnChange the held value is
  // converted (a failing conversion raises and leaves the value null in the new kind).
  void SetDataType(TFieldType fieldType);
  // What every typed write and assignment calls first: retypes when AutoChangeType is set or
  // the value has no type yet, never converting the old value (it is about to be replaced).
  void TryChangeType(TFieldType fieldType) {
    if (fAutoChangeType || fDataType == ftUnknown) ChangeTypeForWrite(fieldType);
  }

  bool AutoChangeType() const { return fAutoChangeType; }
  void SetAutoChangeType(bool value) { fAutoChangeType = value; }
  bool ConvertOnChange() const { return fConvertOnChange; }
  void SetConvertOnChange(bool value) { fConvertOnChange = value; }
  // True while an assignment adjusts the type.
  bool ChangingType() const { return fChangingType; }
  // Whether DataType is written when the value is streamed (true after construction).
  bool StoreDataType() const { return fStoreDataType; }
  void SetStoreDataType(bool value) { fStoreDataType = value; }
  // Set by every change of the held bytes (clearing included); only the value's users reset it.
  bool Modified() const { return fModified; }
  void SetModified(bool value) { fModified = value; }

  bool IsNull() const { return fSize == 0; }
  // True clears the value; false does nothing.
  void SetIsNull(bool value);
  void Clear();

  // The stored bytes. Setting the size keeps the leading bytes and zero-fills new ones; size 0
  // makes the value null (and frees a variant holder). Negative sizes raise ERangeError.
  int BufferSize() const { return fSize; }
  void SetBufferSize(int size);
  std::span<const std::uint8_t> Data() const { return {Bytes(), static_cast<std::size_t>(fSize)}; }
  // Replaces the stored bytes (none: the value becomes null) and sets Modified.
  void SetData(std::span<const std::uint8_t> bytes);
  void SetData(const void* bytes, int count);
  // Replaces the stored bytes by `size` bytes of unspecified content that the caller fills at
  // once (size 0: the value becomes null); sets Modified. A building block of the typed writes:
  // an observed value (see ValueWritten) hears of it only when the enclosing write ends.
  std::span<std::uint8_t> NewData(int size);
  // SetData of one fixed-size stored form (an integer, a double, a TBcd record...).
  template <class T>
  void SetFixed(const T& value) {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= InlineCapacity);
    std::memcpy(Bytes(), &value, sizeof(T));  // the buffer always holds InlineCapacity bytes
    fSize = static_cast<int>(sizeof(T));
    fModified = true;
    if (fObserved && fWriteDepth == 0) ValueWritten();
  }

  const TvpValueAccessor& Accessor() const { return *fAccessor; }
  // The variant of a variant-kind value; null while there is none.
  const TvpVariantHolder* VariantHolder() const { return fHolder.get(); }

  // Typed access. Each write first requests its own kind (TryChangeType: ftBCD, ftBoolean,
  // ftBytes, ftCurrency, ftDateTime, ftFloat, ftInteger, ftLargeint, ftTimeStamp, ftString,
  // ftVariant, ftWideString), then the accessor of the value's kind converts. Reading AsString
  // of a null value gives "", AsVariant Null; every other read asks the accessor. A failed
  // write leaves the value as it was (or null, when the write retyped it).
  TBcd AsBCD() const;
  void SetAsBCD(const TBcd& value);
  bool AsBoolean() const;
  void SetAsBoolean(bool value);
  Variant AsByteArray() const;  // Null, or a varArray | varByte array 0..BufferSize - 1
  void SetAsByteArray(const Variant& value);
  Currency AsCurrency() const;
  void SetAsCurrency(Currency value);
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime value);
  double AsFloat() const;
  void SetAsFloat(double value);
  int AsInteger() const;
  void SetAsInteger(int value);
  std::int64_t AsLargeint() const;
  void SetAsLargeint(std::int64_t value);
  TSQLTimeStamp AsSQLTimeStamp() const;
  void SetAsSQLTimeStamp(const TSQLTimeStamp& value);
  String AsString() const;
  void SetAsString(const String& value);
  Variant AsVariant() const;
  void SetAsVariant(const Variant& value);  // Null clears
  WideString AsWideString() const;
  void SetAsWideString(const WideString& value);

  // Sources: another value, a host field or a host parameter. A null source clears this value
  // (its type unchanged); otherwise the value requests the source's type, then converts.
  // Anything else raises the host's assignment error.
  void Assign(const TPersistent* source) override;
  void Assign(const TvpUniValue& source);

  // Orders two values: nulls by nullIsLess, otherwise this value's kind compares, reading the
  // other value in that kind. Only the sign counts.
  int CompareWith(const TvpUniValue& other, bool caseSensitive, bool nullIsLess) const;

  // Blob kinds only (other kinds ignore it): the whole stream, read from its beginning,
  // becomes the value; an empty stream clears it. Sets Modified.
  void LoadFromStream(TStream& stream);
  // The stored bytes as they are (a variant-kind value writes nothing: it has no bytes of
  // its own).
  void SaveToStream(TStream& stream) const;

  // The value in the host's component-stream encoding of its kind: what the stored "Data"
  // property holds. HasData is false for a null value and for a variant the stream cannot
  // encode. Reading goes through the kind's own setters (an empty text clears a number).
  bool HasData() const;
  void ReadData(TReader& reader);
  void WriteData(TWriter& writer) const;

  static void DeclareProperties(TPropTable<TvpUniValue>& t);

protected:
  void AssignTo(TPersistent* dest) const override;
  void DefineProperties(TFiler& filer) override;

  // Called once at the end of every outermost change of an observed value (SetObserved), the
  // failed ones included (a failed write may have cleared the value), so that whoever keeps the
  // value elsewhere can take it over. Writes made inside it are not reported again.
  virtual void ValueWritten() {}
  void SetObserved(bool value) { fObserved = value; }

private:
  friend class TvpVariantAccessor;

  // Runs a change; an observed value reports it when the outermost one ends.
  template <class F>
  void Write(F&& change);

  // Exactly the largest fixed-size kind (a TBcd is 34 bytes): texts up to 33 bytes fit too,
  // and the value stays at 80 bytes.
  static constexpr int InlineCapacity = 34;

  const std::uint8_t* Bytes() const { return fHeap ? fHeap.get() : fInline.data(); }
  std::uint8_t* Bytes() { return fHeap ? fHeap.get() : fInline.data(); }
  bool IsDataTypeStored() const { return fStoreDataType && fDataType != ftUnknown; }
  void SetKind(TFieldType fieldType);  // the type and its accessor, nothing else
  TvpVariantHolder& EnsureHolder();
  void ChangeTypeForWrite(TFieldType fieldType);
  void ReleaseBytes();  // no bytes, no holder, back to the inline buffer
  // SetDataType's conversion of a value that is not null.
  void ConvertTo(TFieldType fieldType);

  const TvpValueAccessor* fAccessor;  // a shared, stateless strategy: not owned
  std::unique_ptr<std::uint8_t[]> fHeap;  // the bytes when they outgrow fInline
  std::unique_ptr<TvpVariantHolder> fHolder;
  int fSize = 0;
  int fCapacity = InlineCapacity;
  std::uint8_t fDataType = ftUnknown;  // a TFieldType
  std::uint8_t fWriteDepth = 0;        // nesting of Write
  // Bits, so that the value stays at 80 bytes.
  bool fAutoChangeType : 1;
  bool fConvertOnChange : 1;
  bool fChangingType : 1 = false;
  bool fStoreDataType : 1 = true;
  bool fModified : 1 = false;
  bool fObserved : 1 = false;
  std::array<std::uint8_t, InlineCapacity> fInline;  // only ever copied byte-wise
};

}  // namespace zv
