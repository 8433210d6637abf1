#pragma once
// The settings every text conversion reads. The defaults are fixed (not taken from the process
// locale) so that results are the same on every machine; an application may change the global
// instance, pass its own, or fill one from a named locale (GetLocaleFormatSettings).

#include <array>
#include <string>
#include <string_view>

namespace zv {

using String = std::string;

// One character of the settings (a separator), held as its UTF-8 text, so that the no-break
// spaces, apostrophes and Arabic marks of real locales are characters and not bytes. It may be
// empty only where that means "none" (a thousand separator). Built from an ASCII char, a code
// point or a UTF-8 text of exactly one character; anything else raises EConvertError.
class TFormatChar {
public:
  TFormatChar() = default;
  TFormatChar(char c);  // '\0' is "none"; a byte past ASCII is no character and is refused
  TFormatChar(char32_t c);
  TFormatChar(std::string_view utf8);
  TFormatChar(const char* utf8) : TFormatChar(std::string_view(utf8)) {}
  TFormatChar(const String& utf8) : TFormatChar(std::string_view(utf8)) {}

  bool IsEmpty() const { return fSize == 0; }
  char32_t Code() const { return fCode; }  // 0 when empty
  std::string_view View() const { return {fBytes.data(), fSize}; }
  operator std::string_view() const { return View(); }
  // Whether text holds this character at byte offset pos; never true when empty.
  bool IsAt(std::string_view text, std::size_t pos) const {
    return fSize > 0 && pos <= text.size() && text.substr(pos).starts_with(View());
  }
  std::size_t Size() const { return fSize; }  // in bytes

  friend bool operator==(const TFormatChar& a, const TFormatChar& b) { return a.fCode == b.fCode && a.fSize == b.fSize; }
  friend bool operator==(const TFormatChar& a, char c) {
    return c == '\0' ? a.fSize == 0 : a.fSize == 1 && a.fBytes[0] == c;
  }
  friend bool operator==(const TFormatChar& a, char32_t c) { return a.fSize > 0 && a.fCode == c; }

private:
  std::array<char, 4> fBytes{};
  std::size_t fSize = 0;
  char32_t fCode = 0;
};

inline String& operator+=(String& s, const TFormatChar& c) { return s.append(c.View()); }

struct TFormatSettings {
  String CurrencyString = "$";
  unsigned char CurrencyFormat = 0;     // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  unsigned char NegCurrFormat = 0;      // 0 "($1)" ... 15, as the host numbers them
  TFormatChar ThousandSeparator = ',';  // may be empty: no grouping
  TFormatChar DecimalSeparator = '.';
  unsigned char CurrencyDecimals = 2;
  TFormatChar DateSeparator = '/';
  String ShortDateFormat = "M/d/yyyy";
  String LongDateFormat = "dddd, MMMM d, yyyy";
  TFormatChar TimeSeparator = ':';
  String TimeAMString = "AM";
  String TimePMString = "PM";
  String ShortTimeFormat = "h:mm AMPM";
  String LongTimeFormat = "h:mm:ss AMPM";
  std::array<String, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<String, 12> LongMonthNames{"January", "February", "March",     "April",
                                        "May",     "June",     "July",      "August",
                                        "September", "October", "November", "December"};
  // The names a month takes on its own ("январь" where a date says "1 января"): a date format
  // with no day in it (a calendar's caption, "MMMM yyyy") shows these.
  std::array<String, 12> ShortMonthStandAloneNames = ShortMonthNames;
  std::array<String, 12> LongMonthStandAloneNames = LongMonthNames;
  // Index 0 is Sunday, as the host orders day names.
  std::array<String, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<String, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
  // The day a week starts on, 0 Sunday ... 6 Saturday as the day names are indexed.
  unsigned char FirstDayOfWeek = 0;
  unsigned short TwoDigitYearCenturyWindow = 50;
  String ListSeparator = ",";
};

// The application-wide instance that conversions use when no settings are passed.
TFormatSettings& FormatSettings();

// Raises EConvertError when the number separators cannot be told apart: the decimal separator
// empty, or equal to the thousand separator. Conversions that group digits check this.
void CheckNumberSeparators(const TFormatSettings& fs);

// Settings filled from a named locale ("de_DE", "fr-CH", "ja") by ICU: separators, currency
// symbol, date and time formats, month and day names with their stand-alone forms, AM/PM and
// the first day of the week. EConvertError for a name ICU has no data for.
TFormatSettings GetLocaleFormatSettings(std::string_view localeName);

}  // namespace zv
