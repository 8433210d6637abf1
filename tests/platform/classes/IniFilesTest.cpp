// Settings files: reading, typed values, keeping what it does not understand, and replacing the
// file only when the new one is whole.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/classes/IniFiles.h"
#include "platform/rtl/DateTime.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

class IniFiles : public ::testing::Test {
protected:
  void SetUp() override {
    fDir = fs::temp_directory_path() / ("zv-ini-" + std::to_string(::getpid()));
    fs::create_directories(fDir);
    fFile = (fDir / "réglages.ini").string();
  }
  void TearDown() override {
    fs::remove_all(fDir);
  }
  void Put(const String& text) { std::ofstream(fFile, std::ios::binary) << text; }
  String Get() const {
    std::ifstream in(fFile, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::size_t FilesInDir() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(fDir), fs::directory_iterator()));
  }

  fs::path fDir;
  String fFile;
};

TEST_F(IniFiles, ReadsSectionsAndValuesWhateverTheirCase) {
  Put("\xEF\xBB\xBF; written by hand\r\n[Général]\r\n  Nom = Zoë  \r\nÉtat=ouvert\r\n\r\n[Grid]\nRows=12\nHex=$1F\n"
      "Ratio=0.25\nOn=1\nOff=false\nBad=x\n; trailing note\n[grid]\nCols=3\n");
  TMemIniFile ini(fFile);
  struct TCase {
    const char* Section;
    const char* Ident;
    const char* Expected;
  } cases[] = {
      {"général", "NOM", "Zoë"}, {"GÉNÉRAL", "état", "ouvert"}, {"Grid", "Rows", "12"},
      {"grid", "cols", "3"},     {"Grid", "missing", "(default)"}, {"Nowhere", "Rows", "(default)"},
  };
  for (const TCase& c : cases) EXPECT_EQ(ini.ReadString(c.Section, c.Ident, "(default)"), c.Expected) << c.Ident;
  EXPECT_EQ(ini.ReadInteger("Grid", "Rows", 0), 12);
  EXPECT_EQ(ini.ReadInteger("Grid", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Grid", "Bad", -1), -1);
  EXPECT_EQ(ini.ReadFloat("Grid", "Ratio", 0), 0.25);
  EXPECT_EQ(ini.ReadFloat("Grid", "Bad", 1.5), 1.5);
  EXPECT_TRUE(ini.ReadBool("Grid", "On", false));
  EXPECT_FALSE(ini.ReadBool("Grid", "Off", true));
  EXPECT_TRUE(ini.ReadBool("Grid", "Bad", true));

  TStringList list;
  list.SetLineBreak("\n");
  ini.ReadSections(list);
  EXPECT_EQ(list.Text(), "Général\nGrid\n");  // the second [grid] joins the first
  ini.ReadSection("GRID", list);
  EXPECT_EQ(list.Text(), "Rows\nHex\nRatio\nOn\nOff\nBad\nCols\n");
  ini.ReadSectionValues("Général", list);
  EXPECT_EQ(list.Text(), "Nom=Zoë\nÉtat=ouvert\n");
  EXPECT_TRUE(ini.SectionExists("grid"));
  EXPECT_TRUE(ini.ValueExists("grid", "ROWS"));
  EXPECT_FALSE(ini.ValueExists("grid", "Nom"));
}

TEST_F(IniFiles, TypedValuesRoundTripAndCommentsSurvive) {
  Put("; keep me\n[A]\n# and me\nx=1\n");
  const TDateTime when = EncodeDateTime(2024, 2, 29, 23, 59, 58, 123);
  {
    TMemIniFile ini(fFile);
    ini.WriteInteger("A", "x", -7);
    ini.WriteFloat("B", "third", 1.0 / 3);
    ini.WriteFloat("B", "tenth", 0.1);
    ini.WriteBool("B", "flag", true);
    ini.WriteDateTime("B", "when", when);
    ini.WriteString("B", "padded", "  two spaces  ");
    ini.WriteString("B", "quoted", "\"q\"");
    ini.WriteString("B", "emoji", "😀 ünïcödé");
    ini.UpdateFile();
  }
  EXPECT_EQ(Get(), "; keep me\n\n[A]\n# and me\nx=-7\n\n[B]\nthird=0.3333333333333333\ntenth=0.1\nflag=1\n"
                   "when=2024-02-29 23:59:58.123\npadded=\"  two spaces  \"\nquoted=\"\"q\"\"\nemoji=😀 ünïcödé\n");
  TMemIniFile back(fFile);
  EXPECT_EQ(back.ReadInteger("A", "x", 0), -7);
  EXPECT_EQ(back.ReadFloat("B", "third", 0), 1.0 / 3);
  EXPECT_EQ(back.ReadFloat("B", "tenth", 0), 0.1);
  EXPECT_TRUE(back.ReadBool("B", "flag", false));
  EXPECT_EQ(back.ReadDateTime("B", "when", TDateTime()).Value, when.Value);
  EXPECT_EQ(back.ReadString("B", "padded", ""), "  two spaces  ");
  EXPECT_EQ(back.ReadString("B", "quoted", ""), "\"q\"");
  EXPECT_EQ(back.ReadString("B", "emoji", ""), "😀 ünïcödé");

  back.DeleteKey("b", "FLAG");
  back.EraseSection("a");
  EXPECT_FALSE(back.ValueExists("B", "flag"));
  EXPECT_FALSE(back.SectionExists("A"));
  EXPECT_EQ(back.Text().find("[A]"), String::npos);
}

TEST_F(IniFiles, BadNamesAndValuesAreRefused) {
  TMemIniFile ini(fFile);
  const std::pair<const char*, const char*> names[] = {
      {"", "k"}, {"a]b", "k"}, {"s", ""}, {"s", "a=b"}, {"s", "[k"}, {"s", ";k"}, {"s\n", "k"}, {"s", " k"}};
  for (const auto& [section, ident] : names)
    EXPECT_THROW(ini.WriteString(section, ident, "v"), EIniFileException) << section << "/" << ident;
  EXPECT_THROW(ini.WriteString("s", "k", "two\nlines"), EIniFileException);
  EXPECT_FALSE(ini.SectionExists("s"));
}

// A write that fails half way (here a file size limit, which holds for root too) raises.
TEST_F(IniFiles, AFailedWriteLeavesTheOldFileWhole) {
  Put("[A]\nx=1\n");
  TIniFile ini(fFile);
  ini.WriteString("A", "y", "2");  // written through at once
  EXPECT_EQ(Get(), "[A]\nx=1\ny=2\n");
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(ini.WriteString("A", "z", "3"), EIniFileException);
  EXPECT_THROW(ini.DeleteKey("A", "x"), EIniFileException);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, handler);
  EXPECT_EQ(Get(), "[A]\nx=1\ny=2\n");
  EXPECT_FALSE(ini.ValueExists("A", "z"));  // undone in memory too
  EXPECT_TRUE(ini.ValueExists("A", "x"));
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind

  TMemIniFile mem((fDir / "missing" / "x.ini").string());
  mem.WriteString("A", "x", "1");
  EXPECT_THROW(mem.UpdateFile(), EIniFileException);
}

TEST_F(IniFiles, WritingKeepsTheFilesPermissions) {
  Put("[A]\n");
  ::chmod(fFile.c_str(), 0600);
  TIniFile ini(fFile);
  ini.WriteInteger("A", "n", 1);
  struct stat st {};
  ASSERT_EQ(::stat(fFile.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace zv
