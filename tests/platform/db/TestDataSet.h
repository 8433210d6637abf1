#pragma once
// A one-record dataset for testing fields on their own: the record is one Variant per field,
// the state is whatever the test sets, and writes are counted. Navigation does nothing.

#include "platform/classes/Streams.h"
#include "platform/db/DataSet.h"

#include <map>
#include <memory>

namespace zvtest {

using namespace zv;

class TTestDataSet : public TDataSet {
  ZV_CLASS(TTestDataSet, TDataSet)

public:
  explicit TTestDataSet(TComponent* owner = nullptr) : TDataSet(owner) {}
  ~TTestDataSet() override { Destroying(); }

  void SetTestState(TDataSetState state) { SetState(state); }
  // The stored value of a field, bypassing the field's checks and conversions.
  Variant Raw(const TField* field) const {
    auto it = fValues.find(field);
    return it == fValues.end() ? Variant::Null() : it->second;
  }
  void SetRaw(const TField* field, const Variant& value) { fValues[field] = value; }
  int Writes = 0;

  bool GetFieldData(const TField* field, Variant& value) const override {
    value = Raw(field);
    return !value.IsNull();
  }
  void SetFieldData(TField* field, const Variant& value) override {
    fValues[field] = value;
    ++Writes;
    field->Change();
  }

  // Reads the field's bytes; a stream opened for writing stores its bytes when it is freed.
  std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode) override {
    auto stream = std::make_unique<BlobStream>(*this, field, mode != bmRead);
    if (mode != bmWrite) {
      const String bytes = field->AsString();
      stream->WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
      stream->SetPosition(0);
    }
    return stream;
  }

protected:
  TRecordBufferPtr AllocRecordBuffer() override { return std::make_unique<TRecordBuffer>(); }
  void InternalInitRecord(TRecordBuffer&) override {}
  TGetResult GetRecord(TRecordBuffer&, TGetMode, bool) override { return grEOF; }
  void InternalGotoBookmark(const TBookmarkStr&) override {}
  void InternalSetToRecord(TRecordBuffer&) override {}
  void InternalFirst() override {}
  void InternalLast() override {}
  void InternalOpen() override {}
  void InternalClose() override {}
  void InternalInitFieldDefs() override {}
  void InternalAddRecord(TRecordBuffer&, bool) override {}
  void InternalDelete() override {}
  bool IsCursorOpen() const override { return false; }

private:
  class BlobStream : public TMemoryStream {
  public:
    BlobStream(TTestDataSet& owner, TField* field, bool write) : fOwner(owner), fField(field), fWrite(write) {}
    ~BlobStream() override {
      if (!fWrite) return;
      auto bytes = Memory();
      fOwner.fValues[fField] = bytes.empty() ? Variant::Null() : VarArrayOfBytes(bytes);
    }

  private:
    TTestDataSet& fOwner;
    TField* fField;
    bool fWrite;
  };

  std::map<const TField*, Variant> fValues;
};

}  // namespace zvtest
