#pragma once
// The settings every text conversion reads. The defaults are fixed (not taken from the process
// locale) so that results are the same on every machine; an application may change the global
// instance or pass its own.

#include <array>
#include <string>

namespace zv {

using String = std::string;

struct TFormatSettings {
  String CurrencyString = "$";
  unsigned char CurrencyFormat = 0;     // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  unsigned char NegCurrFormat = 0;      // 0 "($1)" ... 15, as the host numbers them
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  unsigned char CurrencyDecimals = 2;
  char DateSeparator = '/';
  String ShortDateFormat = "M/d/yyyy";
  String LongDateFormat = "dddd, MMMM d, yyyy";
  char TimeSeparator = ':';
  String TimeAMString = "AM";
  String TimePMString = "PM";
  String ShortTimeFormat = "h:mm AMPM";
  String LongTimeFormat = "h:mm:ss AMPM";
  std::array<String, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<String, 12> LongMonthNames{"January", "February", "March",     "April",
                                        "May",     "June",     "July",      "August",
                                        "September", "October", "November", "December"};
  // Index 0 is Sunday, as the host orders day names.
  std::array<String, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<String, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
  unsigned short TwoDigitYearCenturyWindow = 50;
  String ListSeparator = ",";
};

// The application-wide instance that conversions use when no settings are passed.
TFormatSettings& FormatSettings();

}  // namespace zv
