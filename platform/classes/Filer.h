#pragma once
// What the form reader and writer share: the value types of the binary form, the filer base
// with its defined-property hooks, and the encoding of the 80-bit extended floats the binary
// form stores.

#include "platform/classes/Object.h"
#include "platform/rtl/Set.h"

#include <array>
#include <cstdint>
#include <functional>

namespace zv {

class TStream;
class TReader;
class TWriter;
class TComponent;
class TPersistent;

// Value tags of the binary form, numbered as the host numbers them; vaUTF8String carries text
// that is not plain ASCII.
enum TValueType : std::uint8_t {
  vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue,
  vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
  vaInt64, vaUTF8String
};
inline constexpr TValueType vaLastValueType = vaUTF8String;

enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag>;

using TReaderProc = std::function<void(TReader&)>;
using TWriterProc = std::function<void(TWriter&)>;
using TStreamProc = std::function<void(TStream&)>;

// The four bytes that open every binary form.
inline constexpr std::array<std::uint8_t, 4> FilerSignature{'T', 'P', 'F', '0'};

class TFiler : public TObject {
public:
  explicit TFiler(TStream& stream) : fStream(stream) {}

  TComponent* Root() const { return fRoot; }
  void SetRoot(TComponent* root) { fRoot = root; }
  TComponent* LookupRoot() const { return fLookupRoot ? fLookupRoot : fRoot; }
  void SetLookupRoot(TComponent* root) { fLookupRoot = root; }
  TStream& Stream() const { return fStream; }

  // Extra properties of a persistent object that are not published: readData/writeData
  // handle the value; hasData tells the writer whether there is anything to write.
  virtual void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                              bool hasData) = 0;
  virtual void DefineBinaryProperty(const String& name, const TStreamProc& readData, const TStreamProc& writeData,
                                    bool hasData) = 0;

protected:
  TStream& fStream;
  TComponent* fRoot = nullptr;
  TComponent* fLookupRoot = nullptr;
};

// The binary form's 10-byte extended float (x87 layout), converted portably.
std::array<std::uint8_t, 10> EncodeExtended(long double value);
long double DecodeExtended(const std::array<std::uint8_t, 10>& bytes);
// The extended a double property streams as: the one its short form text ("0.1") reads back
// as, which is the nearest extended to that text and still rounds to the double itself. Form
// text thus stays short for doubles while an extended property read from "0.1" gets the nearest
// extended to 0.1, the same value typing "0.1" gives it.
long double StreamedDouble(double value);

// Bounds that keep a hostile or corrupted form from exhausting the stack.
inline constexpr int MaxFormNesting = 200;

}  // namespace zv
