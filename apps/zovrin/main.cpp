// Zovrin's main program. Until the database browser exists it presents a page produced by the
// host runtime layer (formatting, dates, Unicode comparison), in a window when a display is
// reachable, otherwise rendered to a PNG whose path it prints.

#include "platform/qt/TextPagePresenter.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace zv;

zv::qt::TextPage BuildShowcasePage() {
  zv::qt::TextPage page;
  page.Title = "Zovrin — host runtime layer";
  const TDateTime when = EncodeDate(2026, 12, 8) + EncodeTime(14, 30, 5, 250);
  const struct { const char* name; double amount; } rows[] = {
      {"Café Nöel", 1234.5}, {"Москва", -98765.4321}, {"Αθήνα", 0.125}, {"Ünïcödé 😀", 1e9}};

  page.Lines.push_back(Format("%-14s %16s %14s", {"Name", "Amount", "FormatFloat"}));
  page.Lines.push_back(Format("%s", {StringOfChar('-', 46)}));
  for (const auto& r : rows)
    page.Lines.push_back(Format("%-14s %16.2n %14s", {r.name, r.amount, FormatFloat("#,##0.00;(#,##0.00)", r.amount)}));
  page.Lines.push_back("");
  page.Lines.push_back("Date and time:     " + DateTimeToStr(when));
  page.Lines.push_back("FormatDateTime:    " + FormatDateTime("dddd, d mmmm yyyy \"at\" hh:nn:ss.zzz", when));
  page.Lines.push_back("FloatToStr(1/3):   " + FloatToStr(1.0 / 3.0));
  page.Lines.push_back("CurrToStr:         " + CurrToStr(StrToCurr("12345.6789")));
  page.Lines.push_back(Format("AnsiCompareText(\"straße\", \"STRASSE\") = %d", {AnsiCompareText("straße", "STRASSE")}));
  page.Lines.push_back("AnsiUpperCase(\"grüße, привет\") = " + AnsiUpperCase("grüße, привет"));
  return page;
}

}  // namespace

int main(int argc, char** argv) {
  std::string png = (std::filesystem::temp_directory_path() / "zovrin-main.png").string();
  bool offscreen = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--offscreen") {
      offscreen = true;
    } else if (arg == "--png" && i + 1 < argc) {
      png = argv[++i];
      offscreen = true;
    } else {
      std::fprintf(stderr, "usage: %s [--offscreen] [--png PATH]\n", argv[0]);
      return 2;
    }
  }
  try {
    const auto result = zv::qt::PresentTextPage(BuildShowcasePage(), png, offscreen);
    if (!result.PngPath.empty())
      std::printf("No display in use: rendered the main window off-screen to %s\n", result.PngPath.c_str());
    else if (!result.Windowed)
      std::fprintf(stderr, "Could not write %s\n", png.c_str());
    return result.ExitCode;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zovrin: %s\n", e.what());
    return 1;
  }
}
