#include "platform/rtl/StringUtils.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace zv {

namespace {

icu::UnicodeString ToUnicode(std::string_view text) {
  return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

String FromUnicode(const icu::UnicodeString& text) {
  String out;
  text.toUTF8String(out);
  return out;
}

int Sign(int v) { return (v > 0) - (v < 0); }

// Built once: creating a collator costs far more than a comparison.
icu::Collator& RootCollator() {
  static const std::unique_ptr<icu::Collator> collator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !c) throw std::runtime_error("ICU collator unavailable");
    return c;
  }();
  return *collator;
}

int Collate(const icu::UnicodeString& a, const icu::UnicodeString& b) {
  UErrorCode status = U_ZERO_ERROR;
  auto r = RootCollator().compare(a, b, status);
  if (U_FAILURE(status)) return Sign(a.compareCodePointOrder(b));
  return static_cast<int>(r);
}

// Byte offset of the 1-based character index (clamped to the text's end).
std::size_t ByteOffsetOfChar(std::string_view text, int index) {
  std::int32_t i = 0;
  const auto len = static_cast<std::int32_t>(text.size());
  for (int n = 1; n < index && i < len; ++n) {
    UChar32 c;
    U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), i, len, c);
    (void)c;
  }
  return static_cast<std::size_t>(i);
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

void AppendUTF8(String& out, char32_t c) {
  if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

String CodePointToUTF8(char32_t c) {
  String s;
  AppendUTF8(s, c);
  return s;
}

WideString UTF8Decode(std::string_view text) {
  auto u = ToUnicode(text);
  return WideString(u.getBuffer(), static_cast<std::size_t>(u.length()));
}

String UTF8Encode(std::u16string_view text) {
  return FromUnicode(icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())));
}

int Length(std::string_view text) {
  int count = 0;
  std::int32_t i = 0;
  const auto len = static_cast<std::int32_t>(text.size());
  while (i < len) {
    UChar32 c;
    U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), i, len, c);
    (void)c;
    ++count;
  }
  return count;
}

int CompareStr(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'a' && ca <= 'z') ca -= 32;
    if (cb >= 'a' && cb <= 'z') cb -= 32;
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int CaseFoldCompare(std::string_view a, std::string_view b) {
  return Sign(ToUnicode(a).caseCompare(ToUnicode(b), U_FOLD_CASE_DEFAULT | U_COMPARE_CODE_POINT_ORDER));
}

String CaseFold(std::string_view text) { return FromUnicode(ToUnicode(text).foldCase(U_FOLD_CASE_DEFAULT)); }

namespace {
const icu::Normalizer2& Nfc() {
  static const icu::Normalizer2* nfc = [] {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status) || !n) throw std::runtime_error("ICU normalizer unavailable");
    return n;
  }();
  return *nfc;
}

bool IsAsciiLowerOnly(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x80 && !(u >= 'A' && u <= 'Z');
  });
}
}  // namespace

String CaselessKey(std::string_view text) {
  icu::UnicodeString s = ToUnicode(text);
  s.findAndReplace(icu::UnicodeString(static_cast<UChar>(0x00A0)), icu::UnicodeString(static_cast<UChar>(' ')));
  const icu::Normalizer2& nfc = Nfc();
  UErrorCode status = U_ZERO_ERROR;
  s = nfc.normalize(s, status);
  s.foldCase(U_FOLD_CASE_DEFAULT);
  // A few folds decompose ("ǰ" to "j" and a caron): composing again keeps a plain "j" typed
  // from matching it.
  if (!nfc.isNormalized(s, status)) s = nfc.normalize(s, status);
  if (U_FAILURE(status)) return FromUnicode(ToUnicode(text).foldCase(U_FOLD_CASE_DEFAULT));
  return FromUnicode(s);
}

bool CaselessKeyStartsWith(std::string_view text, std::string_view key) {
  if (key.empty()) return true;
  // Every composition segment (a character NFC starts afresh at, and the marks after it) keys to
  // at least one character: as many segments as key has characters, plus the one that may still
  // join the last, are enough.
  const icu::Normalizer2& nfc = Nfc();
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const auto len = static_cast<std::int32_t>(text.size());
  // Most texts differ from the key at their first character. When it is a segment of its own
  // (the next character starts one too) and both it and its one-character fold are already
  // composed, the key starts with that fold: compared without keying the text.
  if (len > 0) {
    std::int32_t at = 0;
    UChar32 c;
    U8_NEXT(bytes, at, len, c);
    std::int32_t after = at;
    UChar32 next = -1;
    if (at < len) U8_NEXT(bytes, after, len, next);
    const bool alone = at == len || (next >= 0 && (next < 0x80 || nfc.hasBoundaryBefore(next)));
    if (c >= 0 && c < 0x80 && alone) {
      const char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      if (key[0] != lower) return false;
    } else if (c >= 0x80 && c != 0x00A0 && alone && u_getIntPropertyValue(c, UCHAR_NFC_QUICK_CHECK) == UNORM_YES) {
      UChar in[2];
      std::int32_t n = 0;
      U16_APPEND_UNSAFE(in, n, c);
      UChar out[8];
      UErrorCode status = U_ZERO_ERROR;
      const std::int32_t m = u_strFoldCase(out, 8, in, n, U_FOLD_CASE_DEFAULT, &status);
      std::int32_t k = 0;
      UChar32 folded = -1;
      if (U_SUCCESS(status) && m > 0) U16_NEXT(out, k, m, folded);
      if (U_SUCCESS(status) && k == m && folded >= 0 &&
          u_getIntPropertyValue(folded, UCHAR_NFC_QUICK_CHECK) == UNORM_YES) {
        std::int32_t q = 0;
        UChar32 first;
        U8_NEXT(reinterpret_cast<const uint8_t*>(key.data()), q, static_cast<std::int32_t>(key.size()), first);
        if (first != folded) return false;
      }
    }
  }
  const int need = Length(key) + 1;
  std::int32_t i = 0;
  bool ascii = true;
  for (int boundaries = 0; i < len;) {
    std::int32_t at = i;
    UChar32 c;
    U8_NEXT(bytes, i, len, c);
    if (c >= 0x80 || c < 0) ascii = false;
    if (c >= 0 && nfc.hasBoundaryBefore(c) && ++boundaries > need) {
      i = at;
      break;
    }
  }
  const std::string_view head = text.substr(0, static_cast<std::size_t>(i));
  if (ascii) {
    // Plain ASCII keys to its lower case: no ICU call on the common path.
    if (head.size() < key.size() || !IsAsciiLowerOnly(key)) return false;
    for (std::size_t k = 0; k < key.size(); ++k) {
      char c = head[k];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != key[k]) return false;
    }
    return true;
  }
  const String headKey = CaselessKey(head);
  return headKey.size() >= key.size() && std::string_view(headKey).substr(0, key.size()) == key;
}

int AnsiCompareStr(std::string_view a, std::string_view b) { return Collate(ToUnicode(a), ToUnicode(b)); }

// Folding first (rather than a weaker collation strength) makes "ß" equal "SS" and keeps
// accents significant.
int AnsiCompareText(std::string_view a, std::string_view b) {
  return Collate(ToUnicode(a).foldCase(U_FOLD_CASE_DEFAULT), ToUnicode(b).foldCase(U_FOLD_CASE_DEFAULT));
}
namespace {
void AppendSortKey(std::vector<std::uint8_t>& key, icu::UnicodeString text, bool ignoreCase) {
  if (ignoreCase) text.foldCase(U_FOLD_CASE_DEFAULT);
  const icu::Collator& collator = RootCollator();
  const std::size_t at = key.size();
  key.resize(at + 64);
  std::int32_t length = collator.getSortKey(text, key.data() + at, 64);
  if (length > 64) {
    key.resize(at + static_cast<std::size_t>(length));
    length = collator.getSortKey(text, key.data() + at, length);
  }
  key.resize(at + static_cast<std::size_t>(std::max(length, 0)));
}
}  // namespace

void AppendAnsiSortKey(std::vector<std::uint8_t>& key, std::string_view text, bool ignoreCase) {
  AppendSortKey(key, ToUnicode(text), ignoreCase);
}
void AppendAnsiSortKey(std::vector<std::uint8_t>& key, std::u16string_view text, bool ignoreCase) {
  AppendSortKey(key, icu::UnicodeString(text.data(), static_cast<std::int32_t>(text.size())), ignoreCase);
}

bool AnsiSameStr(std::string_view a, std::string_view b) { return a == b; }
bool AnsiSameText(std::string_view a, std::string_view b) { return a == b || AnsiCompareText(a, b) == 0; }

String UpperCase(std::string_view text) {
  String s(text);
  for (auto& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

String LowerCase(std::string_view text) {
  String s(text);
  for (auto& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

String AnsiUpperCase(std::string_view text) { return FromUnicode(ToUnicode(text).toUpper(icu::Locale::getRoot())); }
String AnsiLowerCase(std::string_view text) { return FromUnicode(ToUnicode(text).toLower(icu::Locale::getRoot())); }

WideString WideUpperCase(std::u16string_view text) {
  auto u = icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUpper(icu::Locale::getRoot());
  return WideString(u.getBuffer(), static_cast<std::size_t>(u.length()));
}

WideString WideLowerCase(std::u16string_view text) {
  auto u = icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toLower(icu::Locale::getRoot());
  return WideString(u.getBuffer(), static_cast<std::size_t>(u.length()));
}

String TrimLeft(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsTrimmed(text[i])) ++i;
  return String(text.substr(i));
}

String TrimRight(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && IsTrimmed(text[n - 1])) --n;
  return String(text.substr(0, n));
}

String Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

int Pos(std::string_view sub, std::string_view text) {
  if (sub.empty()) return 0;
  const auto at = text.find(sub);
  if (at == std::string_view::npos) return 0;
  return Length(text.substr(0, at)) + 1;
}

String Copy(std::string_view text, int index, int count) {
  if (count <= 0) return {};
  if (index < 1) index = 1;
  const std::size_t from = ByteOffsetOfChar(text, index);
  const std::size_t to = from + ByteOffsetOfChar(text.substr(from), count + 1);
  return String(text.substr(from, to - from));
}

void Delete(String& text, int index, int count) {
  if (index < 1 || count <= 0) return;
  const std::size_t from = ByteOffsetOfChar(text, index);
  const std::size_t len = ByteOffsetOfChar(std::string_view(text).substr(from), count + 1);
  text.erase(from, len);
}

void Insert(std::string_view sub, String& text, int index) {
  if (index < 1) index = 1;
  text.insert(ByteOffsetOfChar(text, index), sub);
}

String AnsiQuotedStr(std::string_view text, char quote) {
  String out;
  out.reserve(text.size() + 2);
  out += quote;
  for (char c : text) {
    if (c == quote) out += quote;
    out += c;
  }
  out += quote;
  return out;
}

String QuotedStr(std::string_view text) { return AnsiQuotedStr(text, '\''); }

namespace {

String ExtractQuoted(std::string_view text, std::size_t& pos, char quote, bool& closed) {
  closed = false;
  if (pos >= text.size() || text[pos] != quote) return {};
  String out;
  std::size_t i = pos + 1;
  while (i < text.size()) {
    if (text[i] == quote) {
      if (i + 1 < text.size() && text[i + 1] == quote) {
        out += quote;
        i += 2;
        continue;
      }
      ++i;
      closed = true;
      break;
    }
    out += text[i++];
  }
  pos = i;
  return out;
}

}  // namespace

String AnsiExtractQuotedStr(std::string_view text, std::size_t& pos, char quote) {
  bool closed;
  return ExtractQuoted(text, pos, quote, closed);
}

String AnsiDequotedStr(std::string_view text, char quote) {
  std::size_t pos = 0;
  bool closed;
  String out = ExtractQuoted(text, pos, quote, closed);
  // Text that is not one complete quoted string comes back as it was.
  if (!closed || pos != text.size()) return String(text);
  return out;
}

String StringOfChar(char c, int count) { return count > 0 ? String(static_cast<std::size_t>(count), c) : String(); }

String StringReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return String(text);
  String out;
  std::size_t i = 0;
  for (auto at = text.find(from); at != std::string_view::npos; at = text.find(from, i)) {
    out.append(text.substr(i, at - i)).append(to);
    i = at + from.size();
  }
  out.append(text.substr(i));
  return out;
}

}  // namespace zv
