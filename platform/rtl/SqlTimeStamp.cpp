#include "platform/rtl/SqlTimeStamp.h"

#include "platform/rtl/Consts.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/Exceptions.h"

namespace zv {

bool IsSQLTimeStampBlank(const TSQLTimeStamp& stamp) { return stamp == NullSQLTimeStamp; }

void CheckSqlTimeStamp(const TSQLTimeStamp& stamp) {
  if (IsSQLTimeStampBlank(stamp)) return;
  const bool noDate = stamp.Year == 0 && stamp.Month == 0 && stamp.Day == 0;
  const bool dateOk =
      noDate || (stamp.Day >= 1 && stamp.Day <= DaysInAMonth(stamp.Year, stamp.Month));
  const bool timeOk = stamp.Hour < HoursPerDay && stamp.Minute < 60 && stamp.Second < 60 &&
                      stamp.Fractions < static_cast<std::uint32_t>(MSecsPerSec);
  if (!dateOk || !timeOk) throw ESQLTimeStampException(SInvalidSQLTimeStamp);
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& stamp) {
  if (IsSQLTimeStampBlank(stamp)) return TDateTime(0);
  // Fractions is wider than the millisecond argument; a value that does not fit is invalid.
  const int msec = stamp.Fractions < static_cast<std::uint32_t>(MSecsPerSec)
                       ? static_cast<int>(stamp.Fractions)
                       : MSecsPerSec;
  const TDateTime time = EncodeTime(stamp.Hour, stamp.Minute, stamp.Second, msec);
  if (stamp.Year == 0 && stamp.Month == 0 && stamp.Day == 0) return time;
  return ComposeDateTime(EncodeDate(stamp.Year, stamp.Month, stamp.Day), time);
}

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value) {
  // Goes through the checked split so that a value outside years 1..9999 raises.
  DateTimeToTimeStamp(value);
  std::uint16_t year, month, day, hour, min, sec, msec;
  DecodeDateTime(value, year, month, day, hour, min, sec, msec);
  TSQLTimeStamp stamp;
  stamp.Year = static_cast<std::int16_t>(year);
  stamp.Month = month;
  stamp.Day = day;
  stamp.Hour = hour;
  stamp.Minute = min;
  stamp.Second = sec;
  stamp.Fractions = msec;
  return stamp;
}

String SQLTimeStampToStr(std::string_view format, const TSQLTimeStamp& stamp,
                         const TFormatSettings& fs) {
  const TDateTime value = SQLTimeStampToDateTime(stamp);
  if (!format.empty()) return FormatDateTime(format, value, fs);
  return FormatDateTime(fs.ShortDateFormat + ' ' + fs.LongTimeFormat, value, fs);
}

bool TryStrToSQLTimeStamp(std::string_view text, TSQLTimeStamp& stamp,
                          const TFormatSettings& fs) {
  TDateTime value;
  if (!TryStrToDateTime(text, value, fs)) return false;
  stamp = DateTimeToSQLTimeStamp(value);
  return true;
}

TSQLTimeStamp StrToSQLTimeStamp(std::string_view text, const TFormatSettings& fs) {
  TSQLTimeStamp stamp;
  if (!TryStrToSQLTimeStamp(text, stamp, fs)) throw EConvertError(SCouldNotParseTimeStamp);
  return stamp;
}

}  // namespace zv
