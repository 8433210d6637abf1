#include "runtime/db/UniValue.h"

#include "platform/classes/Filer.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypeInfo.h"
#include "platform/classes/Writer.h"
#include "platform/db/Fields.h"
#include "platform/db/Params.h"
#include "platform/rtl/Consts.h"
#include "runtime/db/ValueAccessor.h"

#include <cstring>
#include <vector>

namespace zv {

// Values are made by the thousand (field values, cells handed out): keep them small.
static_assert(sizeof(void*) != 8 || sizeof(TvpUniValue) <= 80);

ZV_DEFINE_CLASS(TvpVariantHolder, TPersistent)
ZV_DEFINE_CLASS_WITH_PROPS(TvpUniValue, TPersistent)

bool IsBlobField(TFieldType fieldType) {
  switch (fieldType) {
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
      return true;
    default:
      return false;
  }
}

void TvpUniValue::DeclareProperties(TPropTable<TvpUniValue>& t) {
  t.Prop("DataType", &TvpUniValue::DataType, &TvpUniValue::SetDataType).Stored(&TvpUniValue::IsDataTypeStored);
  t.Prop("IsNull", &TvpUniValue::IsNull, &TvpUniValue::SetIsNull).Stored(false);
  t.Prop("AsString", &TvpUniValue::AsString, &TvpUniValue::SetAsString).Stored(false);
}

TvpUniValue::TvpUniValue(bool autoChangeType, bool convertOnChange)
    : fAccessor(&BaseAccessor()), fAutoChangeType(autoChangeType), fConvertOnChange(convertOnChange) {}

TvpUniValue::~TvpUniValue() = default;

template <class F>
void TvpUniValue::Write(F&& change) {
  if (!fObserved) {
    change();
    return;
  }
  ++fWriteDepth;
  try {
    change();
  } catch (...) {
    if (--fWriteDepth == 0) ValueWritten();
    throw;
  }
  if (--fWriteDepth == 0) ValueWritten();
}

// ---------------------------------------------------------------------------------------------
// Buffer

void TvpUniValue::ReleaseBytes() {
  // Whatever the kind: a holder never outlives the bytes that stand for it.
  fHolder.reset();
  fHeap.reset();
  fCapacity = InlineCapacity;
  fSize = 0;
}

void TvpUniValue::SetBufferSize(int size) {
  Write([&] {
    if (size == fSize) return;
    if (size < 0) throw ERangeError(SRangeError);
    if (size == 0) {
      ReleaseBytes();
      return;
    }
    if (size > fCapacity) {
      auto block = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(size));  // zeroed
      std::memcpy(block.get(), Bytes(), static_cast<std::size_t>(fSize));
      fHeap = std::move(block);
      fCapacity = size;
    } else if (size > fSize) {
      std::memset(Bytes() + fSize, 0, static_cast<std::size_t>(size - fSize));
    }
    fSize = size;
  });
}

void TvpUniValue::SetData(const void* bytes, int count) {
  Write([&] {
    if (!bytes || count <= 0) {
      if (count < 0) throw ERangeError(SRangeError);
      SetBufferSize(0);
    } else if (count <= fCapacity) {
      // Overwritten at once: no zero-fill, no reallocation.
      std::memmove(Bytes(), bytes, static_cast<std::size_t>(count));
      fSize = count;
    } else {
      auto block = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(count));
      std::memcpy(block.get(), bytes, static_cast<std::size_t>(count));
      fHeap = std::move(block);
      fCapacity = count;
      fSize = count;
    }
    fModified = true;
  });
}

std::span<std::uint8_t> TvpUniValue::NewData(int size) {
  if (size <= 0) {
    if (size < 0) throw ERangeError(SRangeError);
    SetBufferSize(0);
  } else if (size > fCapacity) {
    fHeap = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(size));
    fCapacity = size;
  }
  fSize = size;
  fModified = true;
  return {Bytes(), static_cast<std::size_t>(size)};
}

void TvpUniValue::SetData(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) throw ERangeError(SRangeError);
  SetData(bytes.data(), static_cast<int>(bytes.size()));
}

void TvpUniValue::Clear() {
  Write([&] {
    if (fSize != 0 || fHolder) ReleaseBytes();
    fModified = true;
  });
}

void TvpUniValue::SetIsNull(bool value) {
  if (value) Clear();
}

TvpVariantHolder& TvpUniValue::EnsureHolder() {
  if (!fHolder) fHolder = std::make_unique<TvpVariantHolder>();
  return *fHolder;
}

// ---------------------------------------------------------------------------------------------
// Type changes

void TvpUniValue::SetDataType(TFieldType fieldType) {
  Write([&] {
    if (!fAutoChangeType && !fConvertOnChange && fDataType != ftUnknown) return;
    if (fieldType == fDataType) return;
    if (fConvertOnChange && !fChangingType && !IsNull()) {
      ConvertTo(fieldType);
      return;
    }
    Clear();
    SetKind(fieldType);
  });
}

void TvpUniValue::SetKind(TFieldType fieldType) {
  fDataType = static_cast<std::uint8_t>(fieldType);
  fAccessor = &AccessorOf(fieldType);
}

void TvpUniValue::ConvertTo(TFieldType fieldType) {
  // The old value moves out whole (bytes, kind and holder) instead of being copied through
  // its typed properties: nothing can fail or be lost on the way.
  TvpUniValue old(fAutoChangeType, fConvertOnChange);
  old.fDataType = fDataType;
  old.fAccessor = fAccessor;
  old.fHeap = std::move(fHeap);
  old.fHolder = std::move(fHolder);
  old.fCapacity = fCapacity;
  old.fSize = fSize;
  if (!old.fHeap) std::memcpy(old.fInline.data(), fInline.data(), static_cast<std::size_t>(fSize));
  fCapacity = InlineCapacity;
  fSize = 0;
  Clear();
  SetKind(fieldType);
  fAccessor->AssignValue(*this, old);
}

void TvpUniValue::ChangeTypeForWrite(TFieldType fieldType) {
  fChangingType = true;
  try {
    SetDataType(fieldType);
  } catch (...) {
    fChangingType = false;
    throw;
  }
  fChangingType = false;
}

// ---------------------------------------------------------------------------------------------
// Typed access

TBcd TvpUniValue::AsBCD() const { return fAccessor->GetAsBCD(*this); }
void TvpUniValue::SetAsBCD(const TBcd& value) {
  Write([&] {
    TryChangeType(ftBCD);
    fAccessor->SetAsBCD(*this, value);
  });
}

bool TvpUniValue::AsBoolean() const { return fAccessor->GetAsBoolean(*this); }
void TvpUniValue::SetAsBoolean(bool value) {
  Write([&] {
    TryChangeType(ftBoolean);
    fAccessor->SetAsBoolean(*this, value);
  });
}

Variant TvpUniValue::AsByteArray() const { return fAccessor->GetAsByteArray(*this); }
void TvpUniValue::SetAsByteArray(const Variant& value) {
  Write([&] {
    TryChangeType(ftBytes);
    fAccessor->SetAsByteArray(*this, value);
  });
}

Currency TvpUniValue::AsCurrency() const { return fAccessor->GetAsCurrency(*this); }
void TvpUniValue::SetAsCurrency(Currency value) {
  Write([&] {
    TryChangeType(ftCurrency);
    fAccessor->SetAsCurrency(*this, value);
  });
}

TDateTime TvpUniValue::AsDateTime() const { return fAccessor->GetAsDateTime(*this); }
void TvpUniValue::SetAsDateTime(TDateTime value) {
  Write([&] {
    TryChangeType(ftDateTime);
    fAccessor->SetAsDateTime(*this, value);
  });
}

double TvpUniValue::AsFloat() const { return fAccessor->GetAsFloat(*this); }
void TvpUniValue::SetAsFloat(double value) {
  Write([&] {
    TryChangeType(ftFloat);
    fAccessor->SetAsFloat(*this, value);
  });
}

int TvpUniValue::AsInteger() const { return fAccessor->GetAsInteger(*this); }
void TvpUniValue::SetAsInteger(int value) {
  Write([&] {
    TryChangeType(ftInteger);
    fAccessor->SetAsInteger(*this, value);
  });
}

std::int64_t TvpUniValue::AsLargeint() const { return fAccessor->GetAsLargeint(*this); }
void TvpUniValue::SetAsLargeint(std::int64_t value) {
  Write([&] {
    TryChangeType(ftLargeint);
    fAccessor->SetAsLargeint(*this, value);
  });
}

TSQLTimeStamp TvpUniValue::AsSQLTimeStamp() const { return fAccessor->GetAsSQLTimeStamp(*this); }
void TvpUniValue::SetAsSQLTimeStamp(const TSQLTimeStamp& value) {
  Write([&] {
    TryChangeType(ftTimeStamp);
    fAccessor->SetAsSQLTimeStamp(*this, value);
  });
}

String TvpUniValue::AsString() const { return IsNull() ? String() : fAccessor->GetAsString(*this); }
void TvpUniValue::SetAsString(const String& value) {
  Write([&] {
    TryChangeType(ftString);
    fAccessor->SetAsString(*this, value);
  });
}

Variant TvpUniValue::AsVariant() const { return IsNull() ? Variant::Null() : fAccessor->GetAsVariant(*this); }
void TvpUniValue::SetAsVariant(const Variant& value) {
  Write([&] {
    TryChangeType(ftVariant);
    if (value.IsNull())
      Clear();
    else
      fAccessor->SetAsVariant(*this, value);
  });
}

WideString TvpUniValue::AsWideString() const { return fAccessor->GetAsWideString(*this); }
void TvpUniValue::SetAsWideString(const WideString& value) {
  Write([&] {
    TryChangeType(ftWideString);
    fAccessor->SetAsWideString(*this, value);
  });
}

// ---------------------------------------------------------------------------------------------
// Assignment and order

void TvpUniValue::Assign(const TvpUniValue& source) {
  Write([&] {
    if (source.IsNull()) {
      Clear();
      return;
    }
    TryChangeType(source.DataType());
    fAccessor->AssignValue(*this, source);
  });
}

void TvpUniValue::Assign(const TPersistent* source) {
  Write([&] {
    if (auto* value = dynamic_cast<const TvpUniValue*>(source)) {
      Assign(*value);
    } else if (auto* field = dynamic_cast<const TField*>(source)) {
      if (field->IsNull()) {
        Clear();
        return;
      }
      TryChangeType(field->DataType());
      fAccessor->AssignFromField(*this, *field);
    } else if (auto* param = dynamic_cast<const TParam*>(source)) {
      if (param->IsNull()) {
        Clear();
        return;
      }
      TryChangeType(param->DataType());
      fAccessor->AssignFromParam(*this, *param);
    } else {
      TPersistent::Assign(source);
    }
  });
}

void TvpUniValue::AssignTo(TPersistent* dest) const {
  if (auto* value = dynamic_cast<TvpUniValue*>(dest)) {
    value->Assign(*this);
  } else if (auto* field = dynamic_cast<TField*>(dest)) {
    if (IsNull())
      field->Clear();
    else
      fAccessor->AssignToField(*this, *field);
  } else if (auto* param = dynamic_cast<TParam*>(dest)) {
    if (IsNull())
      param->Clear();
    else
      fAccessor->AssignToParam(*this, *param);
  } else {
    TPersistent::AssignTo(dest);
  }
}

int TvpUniValue::CompareWith(const TvpUniValue& other, bool caseSensitive, bool nullIsLess) const {
  const bool thisNull = IsNull();
  const bool otherNull = other.IsNull();
  if (thisNull && otherNull) return 0;
  if (thisNull) return nullIsLess ? -1 : 1;
  if (otherNull) return nullIsLess ? 1 : -1;
  return fAccessor->Compare(*this, other, caseSensitive);
}

// ---------------------------------------------------------------------------------------------
// Streams and streaming

void TvpUniValue::LoadFromStream(TStream& stream) {
  Write([&] {
    if (!IsBlobField(DataType())) return;
    const std::int64_t size = stream.Size();
    if (size > INT32_MAX) throw ERangeError(SRangeError);
    if (size <= 0) {
      Clear();
      return;
    }
    // Read whole before anything changes: a short stream raises and leaves the value as it was.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    stream.SetPosition(0);
    stream.ReadBuffer(bytes.data(), size);
    SetData(bytes);
  });
}

void TvpUniValue::SaveToStream(TStream& stream) const {
  if (fHolder || fSize == 0) return;
  stream.WriteBuffer(Bytes(), fSize);
}

bool TvpUniValue::HasData() const { return !IsNull() && fAccessor->HasStreamForm(*this); }

void TvpUniValue::ReadData(TReader& reader) {
  Write([&] { fAccessor->ReadData(*this, reader); });
}

void TvpUniValue::WriteData(TWriter& writer) const { fAccessor->WriteData(*this, writer); }

void TvpUniValue::DefineProperties(TFiler& filer) {
  TPersistent::DefineProperties(filer);
  filer.DefineProperty(
      "Data", [this](TReader& reader) { ReadData(reader); }, [this](TWriter& writer) { WriteData(writer); },
      HasData());
}

}  // namespace zv
