#include "platform/rtl/DateFormat.h"

#include <cstdint>
#include <cstdio>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

namespace {

// ---------------------------------------------------------------------------------------------
// Formatting

struct Parts {
  int Year, Month, Day, DayOfWeek;
  int Hour, Minute, Second, MSec;
};

Parts Decode(TDateTime value) {
  std::uint16_t y, mo, d, dow, h, mi, s, ms;
  DecodeDateFully(value, y, mo, d, dow);
  DecodeTime(value, h, mi, s, ms);
  return Parts{y, mo, d, dow, h, mi, s, ms};
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Case-insensitive match of an ASCII token at pos.
bool TokenAt(std::string_view f, std::size_t pos, std::string_view token) {
  if (f.size() - pos < token.size()) return false;
  for (std::size_t i = 0; i < token.size(); ++i)
    if (AsciiUpper(f[pos + i]) != token[i]) return false;
  return true;
}

std::size_t RunLength(std::string_view f, std::size_t pos) {
  const char upper = AsciiUpper(f[pos]);
  std::size_t n = 1;
  while (pos + n < f.size() && AsciiUpper(f[pos + n]) == upper) ++n;
  return n;
}

void AppendNumber(String& out, int value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", digits, value);
  out += buf;
}

// Whether an am/pm, a/p or ampm follows before the next hour token: it makes that hour 12-hour.
bool UsesTwelveHourClock(std::string_view f, std::size_t pos) {
  while (pos < f.size()) {
    const char c = f[pos];
    if (c == '\'' || c == '"') {
      const std::size_t close = f.find(c, pos + 1);
      if (close == std::string_view::npos) return false;
      pos = close + 1;
      continue;
    }
    if (c == 'h' || c == 'H') return false;
    if ((c == 'a' || c == 'A') &&
        (TokenAt(f, pos, "AM/PM") || TokenAt(f, pos, "A/P") || TokenAt(f, pos, "AMPM")))
      return true;
    ++pos;
  }
  return false;
}

// Whether a format shows the day of the month ("d", "dd", or a date format that does).
bool HasDayOfMonth(std::string_view f) {
  for (std::size_t pos = 0; pos < f.size();) {
    const char c = f[pos];
    if (c == '\'' || c == '"') {
      const std::size_t close = f.find(c, pos + 1);
      if (close == std::string_view::npos) break;
      pos = close + 1;
      continue;
    }
    if (c == 'd' || c == 'D') {
      const std::size_t n = RunLength(f, pos);
      if (n <= 2 || n >= 5) return true;
      pos += n;
      continue;
    }
    if (c == 'c' || c == 'C') return true;
    ++pos;
  }
  return false;
}

template <std::size_t N>
const String& Name(const std::array<String, N>& names, int oneBased) {
  static const String empty;
  return oneBased >= 1 && oneBased <= static_cast<int>(N) ? names[oneBased - 1] : empty;
}

// The settings' formats may name one another (ddddd, t, c); nesting stops two levels down.
constexpr int kMaxNesting = 2;

void AppendFormat(String& out, std::string_view f, const Parts& p, const TFormatSettings& fs,
                  int level) {
  char lastToken = 0;
  std::size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    char token = AsciiUpper(c);
    if (IsAsciiLetter(c)) {
      if (token == 'M' && lastToken == 'H') token = 'N';
      lastToken = token;
    }
    switch (token) {
      case 'Y': {
        const std::size_t n = RunLength(f, i);
        if (n <= 2)
          AppendNumber(out, p.Year % 100, 2);
        else
          AppendNumber(out, p.Year, 4);
        i += n;
        break;
      }
      case 'M': {
        const std::size_t n = RunLength(f, i);
        if (n <= 2)
          AppendNumber(out, p.Month, static_cast<int>(n));
        else if (HasDayOfMonth(f))
          out += Name(n == 3 ? fs.ShortMonthNames : fs.LongMonthNames, p.Month);
        else  // "MMMM yyyy" names the month on its own, which some languages inflect differently
          out += Name(n == 3 ? fs.ShortMonthStandAloneNames : fs.LongMonthStandAloneNames, p.Month);
        i += n;
        break;
      }
      case 'D': {
        const std::size_t n = RunLength(f, i);
        if (n <= 2)
          AppendNumber(out, p.Day, static_cast<int>(n));
        else if (n <= 4)
          out += Name(n == 3 ? fs.ShortDayNames : fs.LongDayNames, p.DayOfWeek);
        else if (level < kMaxNesting)
          AppendFormat(out, n == 5 ? fs.ShortDateFormat : fs.LongDateFormat, p, fs, level + 1);
        i += n;
        break;
      }
      case 'H': {
        const std::size_t n = RunLength(f, i);
        int hour = p.Hour;
        if (UsesTwelveHourClock(f, i + n)) {
          hour %= 12;
          if (hour == 0) hour = 12;
        }
        AppendNumber(out, hour, n >= 2 ? 2 : 1);
        i += n;
        break;
      }
      case 'N':
      case 'S': {
        const std::size_t n = RunLength(f, i);
        AppendNumber(out, token == 'N' ? p.Minute : p.Second, n >= 2 ? 2 : 1);
        i += n;
        break;
      }
      case 'Z': {
        const std::size_t n = RunLength(f, i);
        AppendNumber(out, p.MSec, n >= 3 ? 3 : 1);
        i += n;
        break;
      }
      case 'T': {
        const std::size_t n = RunLength(f, i);
        if (level < kMaxNesting)
          AppendFormat(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, fs, level + 1);
        i += n;
        break;
      }
      case 'C': {
        if (level < kMaxNesting) {
          AppendFormat(out, fs.ShortDateFormat, p, fs, level + 1);
          if (p.Hour != 0 || p.Minute != 0 || p.Second != 0 || p.MSec != 0) {
            out += ' ';
            AppendFormat(out, fs.LongTimeFormat, p, fs, level + 1);
          }
        }
        ++i;
        break;
      }
      case 'A': {
        const bool am = p.Hour < 12;
        if (TokenAt(f, i, "AM/PM")) {
          // The text keeps the case the format writes it in.
          out += f.substr(am ? i : i + 3, 2);
          i += 5;
        } else if (TokenAt(f, i, "A/P")) {
          out += f[am ? i : i + 2];
          i += 3;
        } else if (TokenAt(f, i, "AMPM")) {
          out += am ? fs.TimeAMString : fs.TimePMString;
          i += 4;
        } else {
          out += c;
          ++i;
        }
        break;
      }
      case '/':
        out += fs.DateSeparator;
        ++i;
        break;
      case ':':
        out += fs.TimeSeparator;
        ++i;
        break;
      case '\'':
      case '"': {
        const std::size_t close = f.find(c, i + 1);
        const std::size_t end = close == std::string_view::npos ? f.size() : close;
        out += f.substr(i + 1, end - i - 1);
        i = close == std::string_view::npos ? f.size() : close + 1;
        break;
      }
      default:
        out += c;
        ++i;
        break;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Parsing

enum class DateOrder { MDY, DMY, YMD };

DateOrder GetDateOrder(std::string_view shortDateFormat) {
  for (char c : shortDateFormat) {
    switch (AsciiUpper(c)) {
      case 'D': return DateOrder::DMY;
      case 'M': return DateOrder::MDY;
      case 'Y': return DateOrder::YMD;
      default: break;
    }
  }
  return DateOrder::MDY;
}

class Scanner {
public:
  explicit Scanner(std::string_view text) : fText(text) {}

  // Spaces, and the no-break spaces locales put before AM/PM or between date parts.
  void SkipBlanks() {
    for (;;) {
      const std::string_view rest = fText.substr(fPos);
      if (rest.starts_with(' ')) {
        ++fPos;
      } else if (rest.starts_with("\u00A0")) {
        fPos += 2;
      } else if (rest.starts_with("\u202F")) {
        fPos += 3;
      } else {
        return;
      }
    }
  }

  bool AtEnd() {
    SkipBlanks();
    return fPos == fText.size();
  }

  // Digits after optional blanks; the value saturates (it is out of range for every field
  // long before that), digits counts what was read.
  bool Number(int& value, int& digits) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (fPos < fText.size() && fText[fPos] >= '0' && fText[fPos] <= '9') {
      if (value < 1'000'000) value = value * 10 + (fText[fPos] - '0');
      ++digits;
      ++fPos;
    }
    return digits > 0;
  }

  bool Char(const TFormatChar& c) {
    SkipBlanks();
    if (c.IsAt(fText, fPos)) {
      fPos += c.Size();
      return true;
    }
    return false;
  }

  // Case-insensitive match of a (possibly non-ASCII) word after optional blanks.
  bool Word(std::string_view word) {
    SkipBlanks();
    if (word.empty() || fText.size() - fPos < word.size()) return false;
    const std::string_view candidate = fText.substr(fPos, word.size());
    bool same = true;
    bool ascii = true;
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (static_cast<unsigned char>(word[i]) >= 0x80) ascii = false;
      if (AsciiUpper(candidate[i]) != AsciiUpper(word[i])) same = false;
    }
    if (!same && !ascii) same = AnsiUpperCase(candidate) == AnsiUpperCase(word);
    if (same) fPos += word.size();
    return same;
  }

private:
  std::string_view fText;
  std::size_t fPos = 0;
};

int CurrentYear() {
  std::uint16_t y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

// Two-digit years fall in the hundred years starting TwoDigitYearCenturyWindow years ago.
int ExpandYear(int year, const TFormatSettings& fs) {
  const int base = CurrentYear() - fs.TwoDigitYearCenturyWindow;
  year += base / 100 * 100;
  if (fs.TwoDigitYearCenturyWindow > 0 && year < base) year += 100;
  return year;
}

bool ScanDate(Scanner& in, TDateTime& date, const TFormatSettings& fs) {
  int n1, n2, n3 = 0, l1, l2, l3 = 0;
  if (!in.Number(n1, l1) || !in.Char(fs.DateSeparator) || !in.Number(n2, l2)) return false;
  const bool hasYear = in.Char(fs.DateSeparator);
  if (hasYear && !in.Number(n3, l3)) return false;
  int year = 0, month = 0, day = 0, yearDigits = 4;
  switch (GetDateOrder(fs.ShortDateFormat)) {
    case DateOrder::MDY:
      month = n1, day = n2, year = n3, yearDigits = l3;
      break;
    case DateOrder::DMY:
      day = n1, month = n2, year = n3, yearDigits = l3;
      break;
    case DateOrder::YMD:
      if (hasYear)
        year = n1, month = n2, day = n3, yearDigits = l1;
      else
        month = n1, day = n2, year = 0;
      break;
  }
  if (!hasYear)
    year = CurrentYear();
  else if (yearDigits <= 2)
    year = ExpandYear(year, fs);
  return TryEncodeDate(year, month, day, date);
}

// -1 when absent, else the hour the 12-hour clock starts from (0 or 12).
int ScanAmPm(Scanner& in, const TFormatSettings& fs) {
  if (in.Word(fs.TimeAMString) || in.Word("AM")) return 0;
  if (in.Word(fs.TimePMString) || in.Word("PM")) return 12;
  return -1;
}

bool ScanTime(Scanner& in, TDateTime& time, const TFormatSettings& fs) {
  int base = ScanAmPm(in, fs);  // some locales write it first
  int hour, min = 0, sec = 0, msec = 0, digits;
  if (!in.Number(hour, digits)) return false;
  if (in.Char(fs.TimeSeparator)) {
    if (!in.Number(min, digits)) return false;
    if (in.Char(fs.TimeSeparator)) {
      if (!in.Number(sec, digits)) return false;
      if (in.Char(fs.DecimalSeparator)) {
        // A decimal fraction of the second, read to the millisecond.
        if (!in.Number(msec, digits) || digits > 3) return false;
        for (; digits < 3; ++digits) msec *= 10;
      }
    }
  }
  if (base < 0) base = ScanAmPm(in, fs);
  if (base >= 0) {
    if (hour == 0 || hour > 12) return false;
    hour = hour % 12 + base;
  }
  return TryEncodeTime(hour, min, sec, msec, time);
}

[[noreturn]] void RaiseConvert(const char* message, std::string_view text) {
  String result(message);
  const std::size_t at = result.find("%s");
  if (at != String::npos) result.replace(at, 2, text);
  throw EConvertError(result);
}

}  // namespace

String FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& fs) {
  String out;
  AppendFormat(out, format.empty() ? std::string_view("c") : format, Decode(value), fs, 0);
  return out;
}

String DateToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime("ddddd", value, fs);
}

String TimeToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime("tt", value, fs);
}

String DateTimeToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime("c", value, fs);
}

bool TryStrToDate(std::string_view text, TDateTime& value, const TFormatSettings& fs) {
  Scanner in(text);
  TDateTime date;
  if (!ScanDate(in, date, fs) || !in.AtEnd()) return false;
  value = date;
  return true;
}

TDateTime StrToDate(std::string_view text, const TFormatSettings& fs) {
  TDateTime value;
  if (!TryStrToDate(text, value, fs)) RaiseConvert(SInvalidDate, text);
  return value;
}

TDateTime StrToDateDef(std::string_view text, TDateTime defaultValue, const TFormatSettings& fs) {
  TDateTime value;
  return TryStrToDate(text, value, fs) ? value : defaultValue;
}

bool TryStrToTime(std::string_view text, TDateTime& value, const TFormatSettings& fs) {
  Scanner in(text);
  TDateTime time;
  if (!ScanTime(in, time, fs) || !in.AtEnd()) return false;
  value = time;
  return true;
}

TDateTime StrToTime(std::string_view text, const TFormatSettings& fs) {
  TDateTime value;
  if (!TryStrToTime(text, value, fs)) RaiseConvert(SInvalidTime, text);
  return value;
}

TDateTime StrToTimeDef(std::string_view text, TDateTime defaultValue, const TFormatSettings& fs) {
  TDateTime value;
  return TryStrToTime(text, value, fs) ? value : defaultValue;
}

bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& fs) {
  Scanner in(text);
  TDateTime date, time;
  if (ScanDate(in, date, fs)) {
    if (in.AtEnd()) {
      value = date;
      return true;
    }
    if (!ScanTime(in, time, fs) || !in.AtEnd()) return false;
    value = ComposeDateTime(date, time);
    return true;
  }
  return TryStrToTime(text, value, fs);
}

TDateTime StrToDateTime(std::string_view text, const TFormatSettings& fs) {
  TDateTime value;
  if (!TryStrToDateTime(text, value, fs)) RaiseConvert(SInvalidDateTime, text);
  return value;
}

TDateTime StrToDateTimeDef(std::string_view text, TDateTime defaultValue,
                           const TFormatSettings& fs) {
  TDateTime value;
  return TryStrToDateTime(text, value, fs) ? value : defaultValue;
}

}  // namespace zv
