#pragma once
// Floating-point and Currency text conversions, as the host's SysUtils does them. The host
// computes in its extended type, which is C++'s long double here (a 64-bit mantissa): a value is
// first turned into 18 significant decimal digits; that digit string is then rounded half away
// from zero, so FormatFloat("0.00", 1.005) is "1.00" (1.005 is really 1.00499999999999989...)
// and FormatFloat("0.00", 0.125) is "0.13". A double converts to long double exactly, so one
// formatting routine serves both; 18 digits written with ffGeneral read back to the same long
// double.
//
// The separators are characters of any width (a no-break space, "’", "٫"). An empty decimal
// separator is refused (EConvertError), and so is a thousand separator equal to the decimal one
// wherever digits are grouped (ffNumber, ffCurrency, pictures with ','), as the text would not
// read back.

#include <concepts>
#include <string_view>
#include <type_traits>

#include "platform/rtl/Currency.h"
#include "platform/rtl/FormatSettings.h"

namespace zv {

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
using enum TFloatFormat;  // the host's plain names: ffFixed etc.

// General form with 15 significant digits: "1.5", "1E20", "1.5E-10", "INF", "-INF", "NAN".
String FloatToStr(long double value, const TFormatSettings& fs = FormatSettings());
// ffGeneral: shortest of fixed/scientific with `precision` digits (scientific when the exponent
// is >= precision or the value < 0.00001), `digits` is unused;
// ffExponent: d.ddd with precision digits, "E", sign, at least `digits` exponent digits;
// ffFixed / ffNumber: `digits` decimals (ffNumber with thousand separators);
// ffCurrency: as ffNumber, placed with CurrencyString, CurrencyFormat and NegCurrFormat.
// Precision is clamped to 1..18; ffFixed, ffNumber and ffCurrency fall back to ffGeneral when
// the integer part has more digits than the precision. A value that rounds to zero has no sign.
String FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& fs = FormatSettings());
// The same for an exact Currency; precision may go up to 19 (every digit a Currency has).
String FloatToStrF(Currency value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& fs = FormatSettings());
// Picture formats: up to three sections "positive;negative;zero"; '0' digit, '#' optional digit,
// '.' decimal point, ',' thousand separators, "E+"/"E-"/"e+"/"e-" exponent, '...' and "..."
// literals, anything else literal. An empty format gives FloatToStr.
String FormatFloat(std::string_view format, long double value,
                   const TFormatSettings& fs = FormatSettings());

// Blanks around, optional sign, digits with DecimalSeparator, optional exponent; no thousand
// separators. The text is rounded once, straight to the type asked for: StrToFloat(text) is a
// double, StrToFloat<long double>(text) the host's extended. Bad text or a value out of the
// type's range raise EConvertError (SInvalidFloat).
template <std::floating_point T = double>
T StrToFloat(std::string_view text, const TFormatSettings& fs = FormatSettings());
template <std::floating_point T = double>
T StrToFloatDef(std::string_view text, std::type_identity_t<T> defaultValue,
                const TFormatSettings& fs = FormatSettings());
bool TryStrToFloat(std::string_view text, double& value,
                   const TFormatSettings& fs = FormatSettings());
bool TryStrToFloat(std::string_view text, long double& value,
                   const TFormatSettings& fs = FormatSettings());

extern template double StrToFloat<double>(std::string_view, const TFormatSettings&);
extern template long double StrToFloat<long double>(std::string_view, const TFormatSettings&);
extern template double StrToFloatDef<double>(std::string_view, double, const TFormatSettings&);
extern template long double StrToFloatDef<long double>(std::string_view, long double,
                                                       const TFormatSettings&);

// Currency text is exact: no detour through double.
String CurrToStr(Currency value, const TFormatSettings& fs = FormatSettings());
// FloatToStrF with a precision of 19, so that no digit of the amount is lost.
String CurrToStrF(Currency value, TFloatFormat format, int digits,
                  const TFormatSettings& fs = FormatSettings());
String FormatCurr(std::string_view format, Currency value,
                  const TFormatSettings& fs = FormatSettings());
// Exact decimal parsing; more than four decimals round to nearest, ties to even. Bad text or
// out of range raise EConvertError (SInvalidCurrency).
Currency StrToCurr(std::string_view text, const TFormatSettings& fs = FormatSettings());
Currency StrToCurrDef(std::string_view text, Currency defaultValue,
                      const TFormatSettings& fs = FormatSettings());
bool TryStrToCurr(std::string_view text, Currency& value,
                  const TFormatSettings& fs = FormatSettings());

}  // namespace zv
