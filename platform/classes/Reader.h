#pragma once
// TReader: reads components from the host's binary form. A component read inside another is
// handed to it through SetParentComponent before its properties are read (a control goes into
// its parent, a menu item under its item). Component references are fixed up after the whole
// root is read; Loaded runs once per component after the fix-ups. On any
// error, the components this reader created are destroyed and the error is raised as
// EReadError (or EClassNotFound) naming the component and property.

#include "platform/classes/Filer.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringUtils.h"

#include <vector>

namespace zv {

class TCollection;
class TPropInfo;
class Variant;

class TReader : public TFiler {
public:
  explicit TReader(TStream& stream) : TFiler(stream) {}

  // Reads a whole form into root; with a null root, creates the root from the class named in
  // the stream (the class must be registered) and returns it (the caller owns it).
  TComponent* ReadRootComponent(TComponent* root);
  // Asked for a handler name the root's class does not publish, with error set: a hook that
  // takes the name (a form designer keeps it for the event) clears error; otherwise reading
  // fails as without a hook.
  std::function<void(TReader& reader, const String& methodName, TPersistent* instance, const TPropInfo* prop, bool& error)>
      OnFindMethod;

  // The component whose children are being read (handed to each through SetParentComponent).
  TComponent* Parent() const { return fParent; }

  void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const String& name, const TStreamProc& readData, const TStreamProc& writeData,
                            bool hasData) override;

  // Values. Each checks the tag and raises EReadError "Invalid property value" on a mismatch.
  TValueType ReadValue();
  TValueType NextValue();
  bool EndOfList() { return NextValue() == vaNull; }
  void ReadListBegin();
  void ReadListEnd();
  std::int64_t ReadInteger();  // any integer tag
  bool ReadBoolean();
  char ReadChar();
  long double ReadFloat();     // extended, single, currency, date or an integer
  Currency ReadCurrency();
  TDateTime ReadDate();
  String ReadString();         // any string tag, as UTF-8
  WideString ReadWideString();
  String ReadIdent();          // also False, True, nil and Null as words
  std::vector<String> ReadSet();
  std::vector<std::uint8_t> ReadBinary();
  void ReadCollection(TCollection* collection);
  Variant ReadVariant();
  void SkipValue();

  // Untagged parts of the form.
  String ReadStr();
  void ReadSignature();
  TFilerFlags ReadPrefix(int& childPos);

  void Read(void* buffer, std::int64_t count);

private:
  struct Fixup {
    TPersistent* instance;
    const TPropInfo* prop;
    String name;
    String context;  // "Owner.Component" for messages
  };

  TComponent* ReadComponent(TComponent* parent);
  void ReadProperties(TPersistent* instance);
  void ReadProperty(TPersistent* instance);
  void ReadPropValue(TPersistent* instance, const TPropInfo* prop);
  void ResolveFixups();
  [[noreturn]] void PropertyError(const String& message) const;
  std::int64_t RemainingBytes();
  template <class T> T ReadLittleEndian();

  std::vector<Fixup> fFixups;
  std::vector<TComponent*> fLoaded;    // every component read, in order, for Loaded
  std::vector<TComponent*> fCreated;   // components this reader created (destroyed on error)
  String fPropName;                    // the property being read; cleared once handled
  String fCurrentPath;                 // "Root.Component" of the component being read
  String fCurrentProp;                 // the full property path for messages
  TComponent* fParent = nullptr;
  int fDepth = 0;
};

// Lets a reader resolve "Other.Component" references to components of other roots.
void RegisterGlobalRoot(TComponent* root);
void UnregisterGlobalRoot(TComponent* root);
TComponent* FindGlobalComponent(std::string_view name);

}  // namespace zv
