#pragma once
// Format: the host's printf-like formatting. Arguments are TVarRec values built implicitly:
//   Format("%-10s|%5.2f|%d", {name, price, count})
// Specifiers: %d %u %x (integers; precision is the minimum number of digits), %e %f %g %n %m
// (floats and Currency), %s (text; precision is the maximum number of characters), %p
// (pointer), %% ; each as %[index:][-][width][.precision]type, with '*' taking width or
// precision from the arguments. A wrong argument type raises EConvertError (SInvalidFormat), a
// missing one SArgumentMissing.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "platform/rtl/Currency.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

// One argument of Format. Text is held by view: a TVarRec must not outlive the value it was
// built from (temporaries in the argument list live until Format returns).
struct TVarRec {
  enum TVarType {
    vtInteger, vtBoolean, vtChar, vtExtended, vtString, vtPointer, vtCurrency, vtWideString,
    vtInt64, vtUInt64
  };

  TVarType VType;
  union {
    std::int64_t VInt64;  // vtInteger and vtInt64
    std::uint64_t VUInt64;
    long double VExtended;
    bool VBoolean;
    char VChar;
    const void* VPointer;
    Currency VCurrency;
  };
  std::string_view VString;       // vtString
  std::u16string_view VWideString;  // vtWideString

  TVarRec(int v) : VType(vtInteger), VInt64(v) {}
  TVarRec(unsigned v) : VType(vtInt64), VInt64(v) {}
  TVarRec(long v) : VType(vtInt64), VInt64(v) {}
  TVarRec(long long v) : VType(vtInt64), VInt64(v) {}
  TVarRec(unsigned long v) : VType(vtUInt64), VUInt64(v) {}
  TVarRec(unsigned long long v) : VType(vtUInt64), VUInt64(v) {}
  TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(long double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(bool v) : VType(vtBoolean), VBoolean(v) {}
  TVarRec(char v) : VType(vtChar), VChar(v) {}
  TVarRec(const char* v) : VType(vtString), VInt64(0), VString(v ? v : "") {}
  TVarRec(const String& v) : VType(vtString), VInt64(0), VString(v) {}
  TVarRec(std::string_view v) : VType(vtString), VInt64(0), VString(v) {}
  TVarRec(const WideString& v) : VType(vtWideString), VInt64(0), VWideString(v) {}
  TVarRec(std::u16string_view v) : VType(vtWideString), VInt64(0), VWideString(v) {}
  TVarRec(Currency v) : VType(vtCurrency), VCurrency(v) {}
  TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
  TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
};

String Format(std::string_view fmt, std::initializer_list<TVarRec> args,
              const TFormatSettings& fs = FormatSettings());

// Raises EDatabaseError with the formatted message.
[[noreturn]] void DatabaseErrorFmt(std::string_view fmt, std::initializer_list<TVarRec> args);

}  // namespace zv
