#pragma once
// Integer and boolean text conversions, as the host's SysUtils does them. None of these read
// the format settings.

#include <cstdint>
#include <string_view>

#include "platform/rtl/StringUtils.h"

namespace zv {

String IntToStr(int value);
String IntToStr(std::int64_t value);
String UIntToStr(std::uint64_t value);
// Upper-case hexadecimal, zero padded to at least `digits`. Negative values print their two's
// complement: 8 digits for int, 16 for int64.
String IntToHex(int value, int digits);
String IntToHex(std::int64_t value, int digits);

// Decimal, or hexadecimal after "$", "0x" or "0X"; optional sign; leading blanks allowed,
// nothing after the digits. Hexadecimal without a sign may use the full bit pattern of the
// type ("$FFFFFFFF" is -1 for StrToInt), so that IntToHex round-trips. Junk or overflow raise
// EConvertError (SInvalidInteger with the text).
int StrToInt(std::string_view text);
std::int64_t StrToInt64(std::string_view text);
int StrToIntDef(std::string_view text, int defaultValue);
std::int64_t StrToInt64Def(std::string_view text, std::int64_t defaultValue);
bool TryStrToInt(std::string_view text, int& value);
bool TryStrToInt64(std::string_view text, std::int64_t& value);

// "-1"/"0", or "True"/"False" when useBoolStrs.
String BoolToStr(bool value, bool useBoolStrs = false);
// "True"/"False" in any case, or a number (0 is false, any other true); else EConvertError
// (SInvalidBoolean).
bool StrToBool(std::string_view text);
bool StrToBoolDef(std::string_view text, bool defaultValue);
bool TryStrToBool(std::string_view text, bool& value);

}  // namespace zv
