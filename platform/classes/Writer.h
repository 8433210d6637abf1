#pragma once
// TWriter: writes components in the host's binary form: each component with its stored,
// non-default published properties, its defined properties, nested objects, collections and
// children.

#include "platform/classes/Filer.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

class TCollection;
class TPropInfo;
class Variant;

class TWriter : public TFiler {
public:
  explicit TWriter(TStream& stream) : TFiler(stream) {}

  // Signature, then root with everything it writes as children.
  void WriteRootComponent(TComponent* root);
  void WriteSignature();
  void WriteComponent(TComponent* component);

  // Asked for the handler name of every event property written, with the name the root's class
  // gives it ("" none): a form designer names handlers the class does not publish yet.
  std::function<void(TWriter& writer, const TPersistent* instance, const TPropInfo* prop, String& methodName)>
      OnFindMethodName;

  void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const String& name, const TStreamProc& readData, const TStreamProc& writeData,
                            bool hasData) override;

  // Values, each with its tag.
  void WriteValue(TValueType value);
  void WriteInteger(std::int64_t value);  // the smallest integer tag that holds it
  void WriteBoolean(bool value);
  void WriteChar(char value);
  void WriteFloat(long double value);
  void WriteSingle(float value);
  void WriteCurrency(Currency value);
  void WriteDate(TDateTime value);
  void WriteString(std::string_view value);  // UTF-8
  void WriteWideString(std::u16string_view value);
  void WriteIdent(std::string_view ident);
  void WriteBinary(const void* data, std::int64_t size);
  void WriteSet(const std::vector<String>& names);
  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  void WriteCollection(const TCollection* collection);
  void WriteVariant(const Variant& value);

  // Untagged parts of the form.
  void WriteStr(std::string_view text);  // a short string: length byte, then at most 255 bytes
  void WritePrefix(TFilerFlags flags, int childPos);
  void WritePropName(std::string_view name);

  void Write(const void* data, std::int64_t size);

private:
  void WriteProperties(const TPersistent* instance);
  void WriteProperty(const TPersistent* instance, const TPropInfo* prop);
  String ComponentReferenceName(const TComponent* component) const;

  String fPropPath;  // "Font." while writing the properties of a nested object
  int fDepth = 0;
};

}  // namespace zv
