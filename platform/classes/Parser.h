#pragma once
// TParser: the tokenizer of the textual form format. It splits the text into symbols
// (identifiers), strings ('quoted' parts and #nnn characters run together), integers
// (decimal or $hex, with an optional leading '-'), floats (with an optional s/c/d suffix for
// single, currency and date) and single characters. Errors carry the line of the token.

#include "platform/classes/Object.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringUtils.h"

#include <cstdint>

namespace zv {

class TStream;

class EParserError : public Exception {
public:
  using Exception::Exception;
};

inline constexpr const char SParUnterminatedString[] = "Unterminated string";
inline constexpr const char SParInvalidString[] = "Invalid string constant";
inline constexpr const char SParInvalidNumber[] = "Invalid number";
inline constexpr const char SParNumberTooLarge[] = "Number too large";
inline constexpr const char SParNestingTooDeep[] = "Nesting too deep";
inline constexpr const char SParIdentifierTooLong[] = "Identifier too long";

// Token kinds; any other token is the character itself ('=', '(', '+', ...).
inline constexpr char toEOF = 0;
inline constexpr char toSymbol = 1;
inline constexpr char toString = 2;
inline constexpr char toInteger = 3;
inline constexpr char toFloat = 4;
inline constexpr char toWString = 5;  // a string with characters beyond ASCII

class TParser : public TObject {
  ZV_CLASS(TParser, TObject)

public:
  // Reads the rest of stream and positions on the first token. On destruction the stream is
  // left just after the current token, so that a caller can go on reading after the form.
  explicit TParser(TStream& stream);
  ~TParser() override;

  char Token() const { return fToken; }
  char NextToken();
  // The 1-based line on which the current token starts.
  int SourceLine() const { return fTokenLine; }
  // The stream offset of the current token.
  std::int64_t SourcePos() const { return fOrigin + static_cast<std::int64_t>(fTokenStart); }

  // EParserError "Identifier expected", "String expected", "Number expected" or "'c' expected".
  void CheckToken(char token) const;
  // EParserError "<symbol> expected" unless the token is that identifier (any case).
  void CheckTokenSymbol(std::string_view symbol) const;
  bool TokenSymbolIs(std::string_view symbol) const;

  // The identifier, the number's text, or a string's value (UTF-8).
  const String& TokenString() const { return fValue; }
  WideString TokenWideString() const;
  std::int64_t TokenInt() const;   // EParserError "Number too large" beyond Int64
  long double TokenFloat() const;  // integers too
  // 's', 'c' or 'd' when a float carried that suffix (lower case), else 0.
  char FloatType() const { return fFloatType; }
  // An identifier with dotted parts ("Owner.Component"); advances past it.
  String TokenComponentIdent();
  // Reads hexadecimal digit pairs up to the closing '}' into stream and positions after it.
  void HexToBinary(TStream& stream);

  // EParserError "<message> on line N".
  [[noreturn]] void Error(const String& message) const;

private:
  void SkipBlanks();
  void ScanString();
  void ScanNumber();

  String fText;
  std::int64_t fOrigin = 0;  // stream offset of fText[0]
  TStream& fStream;
  std::size_t fPos = 0;
  std::size_t fTokenStart = 0;
  int fLine = 1;
  int fTokenLine = 1;
  char fToken = toEOF;
  char fFloatType = 0;
  String fValue;
};

}  // namespace zv
