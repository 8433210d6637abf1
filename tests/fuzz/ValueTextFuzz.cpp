// libFuzzer target for text converted to values: the number, currency, BCD, date, time and
// boolean conversions under three format settings, and the host's fields of those kinds. The
// first byte picks the settings; the rest is the text. A conversion either raises the host's
// conversion error or gives a value whose text converts back to the same value (numbers kept
// whole) or to the same text (formats that round), and the Try form agrees with the raising one.

#include "platform/db/Field.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/NumberConv.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace zv;

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "invariant broken: %s\n  text: [%.*s]\n", what, static_cast<int>(text.size()), text.data());
  std::abort();
}

const TFormatSettings& Settings(std::uint8_t pick) {
  static const TFormatSettings plain = FormatSettings();
  static const TFormatSettings french = [] {
    TFormatSettings fs = FormatSettings();
    fs.DecimalSeparator = TFormatChar(U',');
    fs.ThousandSeparator = TFormatChar(U'\u202F');
    fs.DateSeparator = TFormatChar(U'/');
    fs.ShortDateFormat = "dd/MM/yyyy";
    return fs;
  }();
  static const TFormatSettings arabic = [] {
    TFormatSettings fs = FormatSettings();
    fs.DecimalSeparator = TFormatChar(U'\u066B');
    fs.ThousandSeparator = TFormatChar(U'\u066C');
    fs.DateSeparator = TFormatChar(U'.');
    fs.TimeSeparator = TFormatChar(U'\u2236');
    fs.ShortDateFormat = "d.M.yyyy";
    return fs;
  }();
  switch (pick % 3) {
    case 0: return plain;
    case 1: return french;
    default: return arabic;
  }
}

// Runs parse; false when it raised the conversion error. Any other exception escapes (a crash).
template <class F>
bool Parses(F parse) {
  try {
    parse();
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

void CheckNumbers(std::string_view text, const TFormatSettings& fs) {
  std::int64_t i64 = 0;
  const bool tried = TryStrToInt64(text, i64);
  if (tried != Parses([&] { (void)StrToInt64(text); })) Fail("TryStrToInt64 and StrToInt64 disagree", text);
  if (tried && StrToInt64(IntToStr(i64)) != i64) Fail("an Int64 does not survive its text", text);

  long double ext = 0;
  if (TryStrToFloat(text, ext, fs) && std::isfinite(ext)) {
    // 18 digits round-trip decimal text through an extended, not every extended through text
    // (that takes 21): the 18-digit text must be stable.
    const String t1 = FloatToStrF(ext, ffGeneral, 18, 0, fs);
    const String t2 = FloatToStrF(StrToFloat<long double>(t1, fs), ffGeneral, 18, 0, fs);
    if (t1 != t2) Fail("an extended's 18-digit text changes on a second trip", text);
  }
  double d = 0;
  const bool dTried = TryStrToFloat(text, d, fs);
  if (dTried != Parses([&] { (void)StrToFloat<double>(text, fs); })) Fail("TryStrToFloat and StrToFloat disagree", text);
  if (dTried && std::isfinite(d)) {
    const String t1 = FloatToStr(d, fs);
    const String t2 = FloatToStr(StrToFloat<double>(t1, fs), fs);
    if (t1 != t2) Fail("a double's text changes on a second trip", text);
  }

  Currency c;
  if (TryStrToCurr(text, c, fs) && StrToCurr(CurrToStr(c, fs), fs) != c) Fail("a currency does not survive its text", text);

  TBcd bcd;
  if (TryStrToBcd(text, bcd, fs)) {
    const String t1 = BcdToStr(bcd, fs);
    if (BcdToStr(StrToBcd(t1, fs), fs) != t1) Fail("a BCD does not survive its text", text);
  }

  bool b = false;
  if (TryStrToBool(text, b) && StrToBool(BoolToStr(b)) != b) Fail("a boolean does not survive its text", text);
}

void CheckDates(std::string_view text, const TFormatSettings& fs) {
  using Format = String (*)(TDateTime, const TFormatSettings&);
  using Parse = bool (*)(std::string_view, TDateTime&, const TFormatSettings&);
  struct Kind {
    Format format;
    Parse parse;
  };
  for (const Kind& k : {Kind{&DateToStr, &TryStrToDate}, Kind{&TimeToStr, &TryStrToTime},
                        Kind{&DateTimeToStr, &TryStrToDateTime}}) {
    TDateTime v;
    if (!k.parse(text, v, fs)) continue;
    const String t1 = k.format(v, fs);
    TDateTime again;
    if (!k.parse(t1, again, fs)) Fail("a date's own text does not parse", text);
    if (k.format(again, fs) != t1) Fail("a date's text changes on a second trip", text);
  }
}

void CheckFields(std::string_view text) {
  static TMemTable* table = [] {
    auto* t = new TMemTable(nullptr);
    for (auto [name, type, size] : {std::tuple{"I", ftInteger, 0}, std::tuple{"L", ftLargeint, 0},
                                    std::tuple{"F", ftFloat, 0}, std::tuple{"C", ftCurrency, 0},
                                    std::tuple{"B", ftBCD, 4}, std::tuple{"D", ftDate, 0},
                                    std::tuple{"T", ftTime, 0}, std::tuple{"DT", ftDateTime, 0},
                                    std::tuple{"BO", ftBoolean, 0}, std::tuple{"S", ftString, 8}})
      t->FieldDefs().Add(name, type, size);
    t->CreateDataSet();
    t->Append();
    return t;
  }();
  for (int i = 0; i < table->FieldCount(); ++i) {
    TField* f = table->Fields()[i];
    try {
      f->SetAsString(String(text));
    } catch (const Exception&) {
      continue;  // the field's own conversion or range error
    }
    const String t1 = f->AsString();
    try {
      f->SetAsString(t1);
    } catch (const Exception&) {
      Fail("a field refuses the text it shows", text);
    }
    if (f->AsString() != t1) Fail("a field's text changes on a second trip", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 256) return 0;
  const TFormatSettings& fs = Settings(data[0]);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  CheckNumbers(text, fs);
  CheckDates(text, fs);
  CheckFields(text);
  return 0;
}
