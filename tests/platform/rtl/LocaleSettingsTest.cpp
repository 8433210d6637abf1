// Settings filled from ICU's locale data, and the file-name routines.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/rtl/DateFormat.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/FloatFormat.h"

namespace zv {
namespace {

struct TLocaleCase {
  const char* Name;
  const char* Decimal;
  const char* Thousand;
  int FirstDay;            // 0 Sunday
  const char* January;     // in a date
  const char* JanuaryAlone;
  const char* Sunday;
  const char* ShortDate;   // 2024-01-05 as DateToStr writes it
  const char* MonthYear;   // "MMMM yyyy" of the same date
  const char* DayMonth;    // "d MMMM" of the same date
};

const TLocaleCase kLocales[] = {
    {"en_US", ".", ",", 0, "January", "January", "Sunday", "1/5/2024", "January 2024", "5 January"},
    {"de_DE", ",", ".", 1, "Januar", "Januar", "Sonntag", "05.01.2024", "Januar 2024", "5 Januar"},
    {"fr-FR", ",", "\u202F", 1, "janvier", "janvier", "dimanche", "05/01/2024", "janvier 2024", "5 janvier"},
    {"ru_RU", ",", "\u00A0", 1, "января", "январь", "воскресенье", "05.01.2024", "январь 2024", "5 января"},
    {"ja_JP", ".", ",", 0, "1月", "1月", "日曜日", "2024/01/05", "1月 2024", "5 1月"},
};

TEST(LocaleSettings, FilledFromNamedLocales) {
  const TDateTime date = EncodeDateTime(2024, 1, 5, 14, 30, 15, 0);
  for (const TLocaleCase& c : kLocales) {
    SCOPED_TRACE(c.Name);
    const TFormatSettings fs = GetLocaleFormatSettings(c.Name);
    EXPECT_EQ(fs.DecimalSeparator.View(), c.Decimal);
    EXPECT_EQ(fs.ThousandSeparator.View(), c.Thousand);
    EXPECT_NO_THROW(CheckNumberSeparators(fs));
    EXPECT_EQ(fs.FirstDayOfWeek, c.FirstDay);
    EXPECT_EQ(fs.LongMonthNames[0], c.January);
    EXPECT_EQ(fs.LongMonthStandAloneNames[0], c.JanuaryAlone);
    EXPECT_EQ(fs.LongDayNames[0], c.Sunday);
    EXPECT_EQ(DateToStr(date, fs), c.ShortDate);
    EXPECT_EQ(FormatDateTime("MMMM yyyy", date, fs), c.MonthYear);
    EXPECT_EQ(FormatDateTime("d MMMM", date, fs), c.DayMonth);
    // What the settings write, they read back.
    EXPECT_EQ(StrToDate(DateToStr(date, fs), fs).Value, EncodeDate(2024, 1, 5).Value);
    EXPECT_EQ(StrToTime(TimeToStr(date, fs), fs).Value, EncodeTime(14, 30, 15, 0).Value);
    EXPECT_EQ(StrToFloat(FloatToStrF(-1234567.25, ffGeneral, 15, 0, fs), fs), -1234567.25);
    EXPECT_FALSE(FloatToStrF(1234567.25, ffNumber, 15, 2, fs).empty());
    EXPECT_FALSE(fs.LongDateFormat.empty());
  }
}

TEST(LocaleSettings, UnknownNamesAreRefused) {
  for (const char* name : {"", "zz_ZZ", "qq", "!!"}) {
    EXPECT_THROW(GetLocaleFormatSettings(name), EConvertError) << name;
  }
}

// ---- file names ---------------------------------------------------------------------------------

struct TFileNameCase {
  const char* Name;
  const char* Path;
  const char* File;
  const char* Ext;
  const char* Changed;  // ChangeFileExt(Name, ".bak")
};

const TFileNameCase kFileNames[] = {
    {"/home/ann/report.txt", "/home/ann/", "report.txt", ".txt", "/home/ann/report.bak"},
    {"archive.tar.gz", "", "archive.tar.gz", ".gz", "archive.tar.bak"},
    {"dir.d/readme", "dir.d/", "readme", "", "dir.d/readme.bak"},
    {"/", "/", "", "", "/.bak"},
    {"", "", "", "", ".bak"},
    {"notes.", "", "notes.", ".", "notes.bak"},
    {"données/été.résumé", "données/", "été.résumé", ".résumé", "données/été.bak"},
    {"写真/猫.jpeg", "写真/", "猫.jpeg", ".jpeg", "写真/猫.bak"},
};

TEST(FileNames, TakenApart) {
  for (const TFileNameCase& c : kFileNames) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ExtractFilePath(c.Name), c.Path);
    EXPECT_EQ(ExtractFileName(c.Name), c.File);
    EXPECT_EQ(ExtractFileExt(c.Name), c.Ext);
    EXPECT_EQ(ChangeFileExt(c.Name, ".bak"), c.Changed);
    EXPECT_EQ(ExtractFilePath(c.Name) + ExtractFileName(c.Name), c.Name);
  }
  EXPECT_EQ(ChangeFileExt("a/b.txt", ""), "a/b");
  EXPECT_EQ(ExtractFileDir("/home/ann/report.txt"), "/home/ann");
  EXPECT_EQ(ExtractFileDir("/report.txt"), "/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/"), "/tmp/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/"), "/tmp");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(FileNames, FilesAndFolders) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("zv-files-" + std::to_string(::getpid()));
  fs::create_directories(root / "dossier été");
  const String dir = (root / "dossier été").string();
  const String file = IncludeTrailingPathDelimiter(dir) + "reçu.txt";
  std::ofstream(file) << "x";
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(dir));  // a folder is no file
  EXPECT_TRUE(DirectoryExists(dir));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_FALSE(FileExists(file + ".missing"));
  EXPECT_FALSE(FileExists(""));

  const String old = GetCurrentDir();
  EXPECT_TRUE(SetCurrentDir(dir));
  EXPECT_EQ(GetCurrentDir(), dir);
  EXPECT_TRUE(FileExists("reçu.txt"));
  EXPECT_FALSE(SetCurrentDir(file));
  EXPECT_FALSE(SetCurrentDir(""));
  EXPECT_EQ(GetCurrentDir(), dir);  // unchanged by a failed change
  EXPECT_TRUE(SetCurrentDir(old));
  fs::remove_all(root);
}

}  // namespace
}  // namespace zv
