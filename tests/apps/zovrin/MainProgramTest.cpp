// The main program run as a process, as a user starts it from a shell: which arguments it
// takes, which files it opens, and what it says. Each run renders off-screen (--png) into a
// folder of the test's own.

#include "platform/db/Sqlite.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct TRun {
  int ExitCode = -1;
  std::string Out;  // standard output and error, interleaved
};

// A shell word: the text in single quotes, its own single quotes closed and escaped.
std::string Quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class MainProgram : public ::testing::Test {
protected:
  void SetUp() override {
    fDir = fs::temp_directory_path() / ("zv-main-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(fDir);
    fs::create_directories(fDir);
  }
  void TearDown() override { fs::remove_all(fDir); }

  // A database file in the test's folder, made by the statements.
  std::string Database(const std::string& name, const std::string& sql) {
    const std::string path = (fDir / name).string();
    zv::sqlite::TSqliteDatabase db(path);
    db.Execute(sql);
    return path;
  }

  // env: what env(1) is told besides ("DISPLAY=:93", "-u DISPLAY"); args: quoted here.
  TRun Run(const std::string& env, const std::vector<std::string>& args) {
    std::string command = "cd " + Quoted(fDir.string()) + " && env -u QT_QPA_PLATFORM " + env +
                          " TMPDIR=" + Quoted(fDir.string()) + " " + Quoted(ZOVRIN_PROGRAM);
    for (const std::string& a : args) command += " " + Quoted(a);
    command += " 2>&1";
    TRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.Out += buffer;
    const int status = ::pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  std::string Png() const { return (fDir / "shown.png").string(); }

  fs::path fDir;
};

TEST_F(MainProgram, HelpIsAnAnswerAndAWrongArgumentAnError) {
  for (const char* help : {"--help", "-h"}) {
    const TRun run = Run("", {help});
    EXPECT_EQ(run.ExitCode, 0) << help << ": " << run.Out;
    EXPECT_EQ(run.Out.rfind("usage: ", 0), 0u) << run.Out;
  }
  const TRun wrong = Run("", {"--no-such-option"});
  EXPECT_EQ(wrong.ExitCode, 2) << wrong.Out;
  EXPECT_NE(wrong.Out.find("usage: "), std::string::npos);
}

// Files a user may well have: a name with "=" in it (a server's connection string has one), a
// table with a column SQLite let go unnamed. Each opens and shows without a word on errors.
TEST_F(MainProgram, OddlyNamedFilesAndColumnsOpen) {
  const struct {
    const char* File;
    const char* Sql;
  } cases[] = {
      {"sales q1=final.db", "CREATE TABLE sales (ID INTEGER PRIMARY KEY, AMOUNT REAL); INSERT INTO sales VALUES (1, 2.5)"},
      {"unnamed.db", R"(CREATE TABLE t (ID INTEGER PRIMARY KEY, "" TEXT, NOTE TEXT); INSERT INTO t VALUES (1, 'a', 'b'))"},
  };
  for (const auto& c : cases) {
    const std::string file = Database(c.File, c.Sql);
    fs::remove(Png());
    const TRun run = Run("", {file, "--png", Png()});
    EXPECT_EQ(run.ExitCode, 0) << c.File << ": " << run.Out;
    EXPECT_EQ(run.Out, "Rendered the main window off-screen to " + Png() + "\n") << c.File;
    EXPECT_TRUE(fs::exists(Png())) << c.File;
  }
}

// "No display in use" only where there is none; asked to render off-screen, it says so.
TEST_F(MainProgram, ItSaysWhyItRenderedOffScreen) {
  const std::string file = Database("a.db", "CREATE TABLE a (ID INTEGER PRIMARY KEY); INSERT INTO a VALUES (1)");
  const TRun asked = Run("DISPLAY=:93", {file, "--png", Png()});
  EXPECT_EQ(asked.ExitCode, 0) << asked.Out;
  EXPECT_EQ(asked.Out, "Rendered the main window off-screen to " + Png() + "\n");

  const TRun noDisplay = Run("-u DISPLAY -u WAYLAND_DISPLAY", {file});
  EXPECT_EQ(noDisplay.ExitCode, 0) << noDisplay.Out;
  EXPECT_EQ(noDisplay.Out, "No display in use: rendered the main window off-screen to " +
                               (fDir / "zovrin-main.png").string() + "\n");
}

}  // namespace
