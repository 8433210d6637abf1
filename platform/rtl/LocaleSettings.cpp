// Format settings filled from a named locale through ICU's locale data.

#include "platform/rtl/FormatSettings.h"

#include <unicode/calendar.h>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/smpdtfmt.h>

#include <memory>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace zv {

namespace {

String ToUtf8(const icu::UnicodeString& s) {
  String out;
  s.toUTF8String(out);
  return out;
}

[[noreturn]] void RaiseUnknown(std::string_view name) { throw EConvertError(Format(SUnknownLocale, {name})); }

void Check(UErrorCode status, std::string_view name) {
  if (U_FAILURE(status)) RaiseUnknown(name);
}

bool IsPatternLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// A literal of an ICU pattern as the host's format writes it: quoted when it holds anything the
// host would read as a token.
String HostLiteral(const String& text) {
  bool quote = false;
  for (char c : text)
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '/' || c == ':' || c == '"' || c == '\'') quote = true;
  if (!quote) return text;
  const char q = text.find('"') == String::npos ? '"' : '\'';
  return q + text + q;
}

struct TPatternPart {
  bool Field;          // a run of one pattern letter, else a literal
  char16_t Letter = 0;
  int Count = 0;
  String Literal;      // UTF-8
};

std::vector<TPatternPart> SplitPattern(const icu::UnicodeString& pattern) {
  std::vector<TPatternPart> parts;
  auto literal = [&](const icu::UnicodeString& s) {
    if (!parts.empty() && !parts.back().Field) {
      parts.back().Literal += ToUtf8(s);
    } else {
      parts.push_back({false, 0, 0, ToUtf8(s)});
    }
  };
  const int32_t n = pattern.length();
  for (int32_t i = 0; i < n;) {
    const char16_t c = pattern.charAt(i);
    if (c == u'\'') {
      if (i + 1 < n && pattern.charAt(i + 1) == u'\'') {
        literal(u"'");
        i += 2;
        continue;
      }
      icu::UnicodeString text;
      for (++i; i < n; ++i) {
        if (pattern.charAt(i) == u'\'') {
          if (i + 1 < n && pattern.charAt(i + 1) == u'\'') {
            text += u'\'';
            ++i;
          } else {
            ++i;
            break;
          }
        } else {
          text += pattern.charAt(i);
        }
      }
      literal(text);
    } else if (IsPatternLetter(c)) {
      int32_t j = i;
      while (j < n && pattern.charAt(j) == c) ++j;
      parts.push_back({true, c, static_cast<int>(j - i), {}});
      i = j;
    } else {
      literal(icu::UnicodeString(c));
      ++i;
    }
  }
  return parts;
}

// The one-character literal between two fields that serves as the separator (the "." of
// "dd.MM.y"), or empty.
TFormatChar SeparatorOf(const std::vector<TPatternPart>& parts) {
  for (std::size_t k = 1; k + 1 < parts.size(); ++k) {
    const TPatternPart& p = parts[k];
    if (p.Field || !parts[k - 1].Field || !parts[k + 1].Field) continue;
    try {
      const TFormatChar sep(p.Literal);
      if (sep.Code() != U' ' && sep.Code() != U',') return sep;
    } catch (const EConvertError&) {
      // several characters: no separator here
    }
  }
  return {};
}

// ICU pattern to the host's format; the separator literal becomes the host's placeholder.
String HostFormat(const std::vector<TPatternPart>& parts, const TFormatChar& separator, char placeholder,
                  bool fullYear) {
  String out;
  for (const TPatternPart& p : parts) {
    if (!p.Field) {
      if (!separator.IsEmpty() && p.Literal == separator.View())
        out += placeholder;
      else
        out += HostLiteral(p.Literal);
      continue;
    }
    const int n = p.Count;
    switch (p.Letter) {
      case u'y': case u'u': case u'Y': out += n == 2 && !fullYear ? "yy" : "yyyy"; break;
      case u'M': case u'L': out += n <= 2 ? String(static_cast<std::size_t>(n), 'M') : n == 3 ? "MMM" : "MMMM"; break;
      case u'd': out += String(static_cast<std::size_t>(std::min(n, 2)), 'd'); break;
      case u'E': case u'c': case u'e': out += n >= 4 ? "dddd" : "ddd"; break;
      case u'H': case u'k': case u'h': case u'K': out += String(static_cast<std::size_t>(std::min(n, 2)), 'h'); break;
      case u'm': out += String(static_cast<std::size_t>(std::min(n, 2)), 'n'); break;
      case u's': out += String(static_cast<std::size_t>(std::min(n, 2)), 's'); break;
      case u'S': out += "zzz"; break;
      case u'a': case u'b': case u'B': out += "AMPM"; break;
      default: break;  // eras, time zones, week numbers: the host's formats have none
    }
  }
  // Whatever a dropped field leaves at the ends.
  while (!out.empty() && out.back() == ' ') out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(0, 1);
  return out;
}

icu::UnicodeString PatternOf(icu::DateFormat* format) {
  icu::UnicodeString pattern;
  if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format)) simple->toPattern(pattern);
  return pattern;
}

template <std::size_t N>
void CopyNames(std::array<String, N>& names, const icu::UnicodeString* source, int32_t count, int32_t first) {
  for (std::size_t i = 0; i < N && static_cast<int32_t>(i) + first < count; ++i)
    names[i] = ToUtf8(source[static_cast<int32_t>(i) + first]);
}

bool IsSpace(char32_t c) { return c == U' ' || c == 0xA0 || c == 0x202F || c == 0x2009; }

void FillCurrency(TFormatSettings& fs, const icu::Locale& locale, const icu::DecimalFormatSymbols& symbols) {
  fs.CurrencyString = ToUtf8(symbols.getSymbol(icu::DecimalFormatSymbols::kCurrencySymbol));
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::NumberFormat> currency(icu::NumberFormat::createCurrencyInstance(locale, status));
  if (U_FAILURE(status) || !currency) return;
  fs.CurrencyDecimals = static_cast<unsigned char>(currency->getMaximumFractionDigits());
  auto* decimal = dynamic_cast<icu::DecimalFormat*>(currency.get());
  if (!decimal) return;
  icu::UnicodeString pattern;
  decimal->toPattern(pattern);
  const int32_t end = pattern.indexOf(u';') < 0 ? pattern.length() : pattern.indexOf(u';');
  const int32_t sign = pattern.indexOf(u'\u00A4');
  int32_t digits = -1;
  for (int32_t i = 0; i < end && digits < 0; ++i)
    if (pattern.charAt(i) == u'#' || pattern.charAt(i) == u'0') digits = i;
  if (sign < 0 || digits < 0) return;
  const bool before = sign < digits;
  const bool spaced = before ? sign + 1 < end && IsSpace(pattern.charAt(sign + 1))
                             : sign > 0 && IsSpace(pattern.charAt(sign - 1));
  fs.CurrencyFormat = static_cast<unsigned char>((before ? 0 : 1) + (spaced ? 2 : 0));
  // A minus sign in front in every case, the common form of the locales ICU knows.
  static constexpr unsigned char kNegative[] = {1, 5, 9, 8};
  fs.NegCurrFormat = kNegative[fs.CurrencyFormat];
}

// ICU quietly takes its root data for a language it does not know; such a name is refused.
bool HasLanguageData(const icu::Locale& locale) {
  const std::string_view language = locale.getLanguage();
  if (language.empty()) return false;
  int32_t count = 0;
  const icu::Locale* available = icu::Locale::getAvailableLocales(count);
  for (int32_t i = 0; i < count; ++i)
    if (language == available[i].getLanguage()) return true;
  return false;
}

}  // namespace

TFormatSettings GetLocaleFormatSettings(std::string_view localeName) {
  const String name(localeName);
  const icu::Locale locale = icu::Locale::createCanonical(name.c_str());
  if (name.empty() || locale.isBogus() || !HasLanguageData(locale)) RaiseUnknown(localeName);

  TFormatSettings fs;
  UErrorCode status = U_ZERO_ERROR;
  const icu::DecimalFormatSymbols symbols(locale, status);
  Check(status, localeName);
  fs.DecimalSeparator = ToUtf8(symbols.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol));
  fs.ThousandSeparator = ToUtf8(symbols.getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol));
  if (fs.ThousandSeparator == fs.DecimalSeparator) fs.ThousandSeparator = TFormatChar();
  fs.ListSeparator = fs.DecimalSeparator == ',' ? ";" : ",";
  FillCurrency(fs, locale, symbols);

  status = U_ZERO_ERROR;
  const icu::DateFormatSymbols dates(locale, status);
  Check(status, localeName);
  using DFS = icu::DateFormatSymbols;
  // ICU sets the count as it hands out the array: read it only after the call.
  auto months = [&](auto& names, DFS::DtContextType context, DFS::DtWidthType width) {
    int32_t n = 0;
    const icu::UnicodeString* source = dates.getMonths(n, context, width);
    CopyNames(names, source, n, 0);
  };
  auto weekdays = [&](auto& names, DFS::DtWidthType width) {
    int32_t n = 0;
    const icu::UnicodeString* source = dates.getWeekdays(n, DFS::FORMAT, width);
    CopyNames(names, source, n, 1);  // an empty slot, then Sunday
  };
  months(fs.LongMonthNames, DFS::FORMAT, DFS::WIDE);
  months(fs.ShortMonthNames, DFS::FORMAT, DFS::ABBREVIATED);
  months(fs.LongMonthStandAloneNames, DFS::STANDALONE, DFS::WIDE);
  months(fs.ShortMonthStandAloneNames, DFS::STANDALONE, DFS::ABBREVIATED);
  weekdays(fs.LongDayNames, DFS::WIDE);
  weekdays(fs.ShortDayNames, DFS::ABBREVIATED);
  int32_t count = 0;
  const icu::UnicodeString* ampm = dates.getAmPmStrings(count);
  if (count >= 2) {
    fs.TimeAMString = ToUtf8(ampm[0]);
    fs.TimePMString = ToUtf8(ampm[1]);
  }

  std::unique_ptr<icu::DateFormat> shortDate(icu::DateFormat::createDateInstance(icu::DateFormat::kShort, locale));
  std::unique_ptr<icu::DateFormat> fullDate(icu::DateFormat::createDateInstance(icu::DateFormat::kFull, locale));
  std::unique_ptr<icu::DateFormat> shortTime(icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, locale));
  std::unique_ptr<icu::DateFormat> mediumTime(icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, locale));
  if (!shortDate || !fullDate || !shortTime || !mediumTime) RaiseUnknown(localeName);
  const auto shortDateParts = SplitPattern(PatternOf(shortDate.get()));
  const auto timeParts = SplitPattern(PatternOf(mediumTime.get()));
  fs.DateSeparator = SeparatorOf(shortDateParts);
  fs.TimeSeparator = SeparatorOf(timeParts);
  if (fs.DateSeparator.IsEmpty()) fs.DateSeparator = '/';
  if (fs.TimeSeparator.IsEmpty()) fs.TimeSeparator = ':';
  // Dates are typed and read back: a short date keeps the whole year.
  fs.ShortDateFormat = HostFormat(shortDateParts, fs.DateSeparator, '/', true);
  fs.LongDateFormat = HostFormat(SplitPattern(PatternOf(fullDate.get())), TFormatChar(), '/', false);
  fs.ShortTimeFormat = HostFormat(SplitPattern(PatternOf(shortTime.get())), fs.TimeSeparator, ':', false);
  fs.LongTimeFormat = HostFormat(timeParts, fs.TimeSeparator, ':', false);

  status = U_ZERO_ERROR;
  std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(locale, status));
  Check(status, localeName);
  fs.FirstDayOfWeek = static_cast<unsigned char>(calendar->getFirstDayOfWeek(status) - UCAL_SUNDAY);
  Check(status, localeName);
  return fs;
}

}  // namespace zv
