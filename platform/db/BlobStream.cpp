#include "platform/db/BlobStream.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Format.h"

namespace zv {

namespace {

bool IsTextField(const TField& field) {
  return dynamic_cast<const TMemoField*>(&field) || dynamic_cast<const TStringField*>(&field);
}

class TRecordBlobStream final : public TMemoryStream {
public:
  TRecordBlobStream(TDataSet& dataSet, TField& field, bool writes) : fDataSet(dataSet), fField(field), fWrites(writes) {}

  ~TRecordBlobStream() override {
    if (!fWrites || !fModified) return;
    if (fDataSet.State() != dsEdit && fDataSet.State() != dsInsert) return;  // the edit was given up
    try {
      const auto bytes = Memory();
      Variant value = Variant::Null();
      if (!bytes.empty()) {
        if (IsTextField(fField))
          value = String(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        else
          value = VarArrayOfBytes(bytes);
      }
      fDataSet.SetFieldData(&fField, value);
    } catch (...) {
      // A destructor has no caller to raise to: the application's handler shows the error.
      fDataSet.HandleExceptionQuietly();
    }
  }

  void Load(std::span<const std::uint8_t> bytes) {
    TMemoryStream::Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    Seek(0, soBeginning);
  }
  void MarkModified() { fModified = true; }

  std::int64_t Write(const void* buffer, std::int64_t count) override {
    fModified = true;
    return TMemoryStream::Write(buffer, count);
  }
  void SetSize(std::int64_t newSize) override {
    fModified = true;
    TMemoryStream::SetSize(newSize);
  }

private:
  TDataSet& fDataSet;
  TField& fField;
  bool fWrites;
  bool fModified = false;
};

}  // namespace

std::unique_ptr<TStream> CreateRecordBlobStream(TDataSet& dataSet, TField& field, TBlobStreamMode mode) {
  if (mode != bmRead) {
    if (field.ReadOnly() || field.FieldKind() != fkData) DatabaseErrorFmt(SFieldReadOnly, {field.DisplayName()});
    if (dataSet.State() != dsEdit && dataSet.State() != dsInsert) DatabaseError(SNotEditing, &dataSet);
  }
  auto stream = std::make_unique<TRecordBlobStream>(dataSet, field, mode != bmRead);
  if (mode == bmWrite) {
    stream->MarkModified();  // writing starts from nothing: the old value goes
    return stream;
  }
  Variant value;
  if (field.GetData(value)) {  // calculated values too
    if (value.IsArray()) {
      stream->Load(value.Bytes());
    } else {
      const String text = VarToStr(value);
      stream->Load({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    }
  }
  return stream;
}

}  // namespace zv
