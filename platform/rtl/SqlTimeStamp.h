#pragma once
// TSQLTimeStamp: a date and time in separate fields, as databases hand them over. Fractions are
// milliseconds. The all-zero value is the null (blank) time stamp.

#include <cstdint>
#include <string_view>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"

namespace zv {

struct TSQLTimeStamp {
  std::int16_t Year = 0;
  std::uint16_t Month = 0;
  std::uint16_t Day = 0;
  std::uint16_t Hour = 0;
  std::uint16_t Minute = 0;
  std::uint16_t Second = 0;
  std::uint32_t Fractions = 0;

  friend bool operator==(const TSQLTimeStamp&, const TSQLTimeStamp&) = default;
};

inline constexpr TSQLTimeStamp NullSQLTimeStamp{};

bool IsSQLTimeStampBlank(const TSQLTimeStamp& stamp);
// Raises ESQLTimeStampException (SInvalidSQLTimeStamp) for an impossible date or time; the
// blank time stamp, and a time with an all-zero date, are valid.
void CheckSqlTimeStamp(const TSQLTimeStamp& stamp);

// The blank time stamp is 0; bad fields raise EConvertError as EncodeDate/EncodeTime do.
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& stamp);
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value);

// An empty format is ShortDateFormat + ' ' + LongTimeFormat.
String SQLTimeStampToStr(std::string_view format, const TSQLTimeStamp& stamp,
                         const TFormatSettings& fs = FormatSettings());
// Text as StrToDateTime reads it; bad text raises EConvertError (SCouldNotParseTimeStamp).
TSQLTimeStamp StrToSQLTimeStamp(std::string_view text,
                                const TFormatSettings& fs = FormatSettings());
bool TryStrToSQLTimeStamp(std::string_view text, TSQLTimeStamp& stamp,
                          const TFormatSettings& fs = FormatSettings());

}  // namespace zv
