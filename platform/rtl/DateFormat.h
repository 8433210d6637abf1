#pragma once
// Dates and times as text, driven by TFormatSettings.
//
// FormatDateTime tokens (case-insensitive): c, d..dddddd, m..mmmm (minutes right after h/hh),
// yy, yyyy, h, hh, n, nn, s, ss, z, zzz, t, tt, am/pm, a/p, ampm (which turn the preceding h
// into a 12-hour clock), '/' and ':' (the settings' separators), '...' and "..." literals.
// An empty format is "c".
//
// Parsing reads day, month and year in the order ShortDateFormat names them, separated by
// DateSeparator; a missing year is the current year; a year of one or two digits falls in the
// century window TwoDigitYearCenturyWindow. Times are h[:n[:s[.zzz]]] with an optional AM/PM
// (or the settings' TimeAMString/TimePMString). Blanks around the parts are ignored. Bad text
// raises EConvertError (SInvalidDate / SInvalidTime / SInvalidDateTime).

#include <string_view>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"

namespace zv {

String FormatDateTime(std::string_view format, TDateTime value,
                      const TFormatSettings& fs = FormatSettings());

// ShortDateFormat; LongTimeFormat; both ("c": the time is left out at exactly midnight).
String DateToStr(TDateTime value, const TFormatSettings& fs = FormatSettings());
String TimeToStr(TDateTime value, const TFormatSettings& fs = FormatSettings());
String DateTimeToStr(TDateTime value, const TFormatSettings& fs = FormatSettings());

TDateTime StrToDate(std::string_view text, const TFormatSettings& fs = FormatSettings());
bool TryStrToDate(std::string_view text, TDateTime& value,
                  const TFormatSettings& fs = FormatSettings());
TDateTime StrToDateDef(std::string_view text, TDateTime defaultValue,
                       const TFormatSettings& fs = FormatSettings());

TDateTime StrToTime(std::string_view text, const TFormatSettings& fs = FormatSettings());
bool TryStrToTime(std::string_view text, TDateTime& value,
                  const TFormatSettings& fs = FormatSettings());
TDateTime StrToTimeDef(std::string_view text, TDateTime defaultValue,
                       const TFormatSettings& fs = FormatSettings());

// A date, a date followed by a time, or a time alone (on 30 December 1899).
TDateTime StrToDateTime(std::string_view text, const TFormatSettings& fs = FormatSettings());
bool TryStrToDateTime(std::string_view text, TDateTime& value,
                      const TFormatSettings& fs = FormatSettings());
TDateTime StrToDateTimeDef(std::string_view text, TDateTime defaultValue,
                           const TFormatSettings& fs = FormatSettings());

}  // namespace zv
