#pragma once
// String and WideString, the conversions between them, and the host's string routines.
// Case mapping and collation come from ICU; positions count characters (code points), never
// bytes, so that Pos and Copy are right for any Unicode text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

using String = std::string;        // UTF-8
using WideString = std::u16string;  // UTF-16

// Conversions. Invalid UTF-8 sequences become U+FFFD; unpaired surrogates likewise.
WideString UTF8Decode(std::string_view text);
String UTF8Encode(std::u16string_view text);
// Appends one code point as UTF-8; surrogates and values past U+10FFFF become U+FFFD.
void AppendUTF8(String& out, char32_t c);
String CodePointToUTF8(char32_t c);

// Number of characters (code points) in a UTF-8 text.
int Length(std::string_view text);

// Ordinal comparison of the bytes (same order as code points); <0, 0, >0.
int CompareStr(std::string_view a, std::string_view b);
// ASCII-only case-insensitive comparison, as the host's CompareText.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Unicode case-insensitive comparison by full case folding ("straße" equals "STRASSE"):
// code-point order of the folded texts, much cheaper than collation.
int CaseFoldCompare(std::string_view a, std::string_view b);
// The full case folding of a text: equal folds mean equal ignoring case, in any script.
String CaseFold(std::string_view text);
// The caseless key that searching by typing compares: canonical composition, full case folding
// (composed again where folding decomposed), and U+00A0 read as a space. Texts that read alike
// ignoring case share a key in any script, composed or decomposed ("Straße", "STRASSE").
String CaselessKey(std::string_view text);
// Whether CaselessKey(text) starts with key (itself a caseless key). Only as much of text is keyed
// as key can reach: the cost follows key's length, not text's.
bool CaselessKeyStartsWith(std::string_view text, std::string_view key);
// Locale-aware (collation) comparisons; the Text forms ignore case.
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameStr(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
// Appends the text's collation key: keys compared byte by byte order their texts as
// AnsiCompareStr does (AnsiCompareText with ignoreCase). For sorts that key each value once.
void AppendAnsiSortKey(std::vector<std::uint8_t>& key, std::string_view text, bool ignoreCase);
void AppendAnsiSortKey(std::vector<std::uint8_t>& key, std::u16string_view text, bool ignoreCase);

// Case mapping: the plain forms touch ASCII letters only, the Ansi forms all of Unicode.
String UpperCase(std::string_view text);
String LowerCase(std::string_view text);
String AnsiUpperCase(std::string_view text);
String AnsiLowerCase(std::string_view text);
WideString WideUpperCase(std::u16string_view text);
WideString WideLowerCase(std::u16string_view text);

// Trimming removes spaces and control characters (code <= 32) at the ends.
String Trim(std::string_view text);
String TrimLeft(std::string_view text);
String TrimRight(std::string_view text);

// 1-based character position of sub in text, 0 when absent.
int Pos(std::string_view sub, std::string_view text);
// Characters [index, index + count) with 1-based index, clamped to the text.
String Copy(std::string_view text, int index, int count);
// Deletes count characters from 1-based index; inserts sub before 1-based index.
void Delete(String& text, int index, int count);
void Insert(std::string_view sub, String& text, int index);

// Quoting: QuotedStr doubles every quote and encloses the text; AnsiExtractQuotedStr reads a
// quoted text starting at pos (a byte offset, advanced past the closing quote).
String QuotedStr(std::string_view text);
String AnsiQuotedStr(std::string_view text, char quote);
String AnsiExtractQuotedStr(std::string_view text, std::size_t& pos, char quote);
String AnsiDequotedStr(std::string_view text, char quote);

String StringOfChar(char c, int count);
String StringReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace zv
