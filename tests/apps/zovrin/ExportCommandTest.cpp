// The program's export command on the headless backend: the file dialog answered by a
// responder, the progress window's modal loop run for real, Esc typed into it part way. Each way
// out leaves the grid on the record and row it showed, and a file only when it completed.
#include "ExportCommand.h"

#include "platform/controls/Dialogs.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/Format.h"
#include "runtime/grid/ExportAsText.h"

#include "ControlHarness.h"
#include "IdleScript.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace zvtest {
namespace {

namespace fs = std::filesystem;

TEST(ExportCommand, CompletesCancelsAndFails) {
  const auto driver = MakeNullDriver();
  THarness h(*driver);
  const fs::path folder = fs::temp_directory_path() / ("zv-export-command-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  struct TCase {
    const char* Name;
    String Answer;      // the name typed into the save dialog
    int FilterIndex;
    int EscAt;          // the record whose reading the user answers with Esc; 0: none
    bool ReadOnly;      // the folder
    String Written;     // the file expected; empty: none
    String Shown;       // the message box's text
  };
  const String out = (folder / "out").string();
  const std::vector<TCase> cases = {
      {"completed, tab-separated by the chosen type", out, 2, 0, false, out + ".txt", ""},
      {"completed, comma-separated by the name", out + ".csv", 2, 0, false, out + ".csv", ""},
      {"cancelled by Esc part way", out + ".csv", 1, 1500, false, "", ""},
      {"failing on a read-only folder", out + ".csv", 1, 0, true, "", "Cannot create file " + out + ".csv"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TMemTable table(nullptr);
    table.FieldDefs().Add("ID", ftInteger);
    table.FieldDefs().Add("NAME", ftString, 20);
    table.CreateDataSet();
    for (int i = 1; i <= 3000; ++i) table.AppendRecord({Variant(i), Variant(i % 7 ? Format("n%d", {i}) : String("a, b"))});
    TDataSource source(nullptr);
    source.SetDataSet(&table);
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    TDBDivoRud grid(&form);
    grid.SetParent(&form);
    grid.SetBounds(0, 0, 400, 300);
    grid.SetDataSource(&source);
    grid.CreateDefColumns(true);
    form.Show();
    // Record 1200 shown on the fourth row.
    table.SetRecNo(1200 - 3);
    table.MoveBy(grid.DataLink()->BufferCount() - 1);
    table.MoveBy(3 - (grid.DataLink()->BufferCount() - 1));
    ASSERT_EQ(grid.DataLink()->ActiveRecord(), 3);
    ASSERT_EQ(table.FieldByName("ID")->AsInteger(), 1200);

    fs::remove_all(folder);
    fs::create_directories(folder);
    if (c.ReadOnly) fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    std::vector<String> shown;
    SetDialogResponder([&](TDialogRequest& request) {
      if (request.Kind == TDialogKind::Message) {
        shown.push_back(request.Message);
        return mrOk;
      }
      EXPECT_TRUE(request.File.Save);
      request.File.FileName = c.Answer;
      request.File.FilterIndex = c.FilterIndex;
      return mrOk;
    });
    int lastRead = 0;
    table.AfterScroll = [&](TDataSet*) {
      TCustomForm* progress = nullptr;
      for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->FormState().Contains(fsModal)) progress = Screen->Forms(i);
      if (!progress) return;
      lastRead = std::max(lastRead, table.FieldByName("ID")->AsInteger());
      if (lastRead != c.EscAt) return;
      // The user presses Esc in the progress window; it is heard at the next report.
      TNativeInput key;
      key.Kind = TNativeInputKind::KeyDown;
      key.Key = VK_ESCAPE;
      h.Driver().Inject(NativeWindowOf(progress->Handle()), key);
      key.Kind = TNativeInputKind::KeyUp;
      h.Driver().Inject(NativeWindowOf(progress->Handle()), key);
    };
    TIdleScript guard({});  // a loop that never ends fails instead of hanging
    const bool written = zovrin::ExportGridCommand(grid);
    table.AfterScroll = nullptr;
    SetDialogResponder(nullptr);
    EXPECT_FALSE(guard.GaveUp);
    EXPECT_EQ(written, !c.Written.empty());
    EXPECT_EQ(shown, c.Shown.empty() ? std::vector<String>{} : std::vector<String>{c.Shown});
    EXPECT_EQ(lastRead, c.EscAt ? 2000 : c.Written.empty() ? 0 : 3000) << "a cancel is heard at the next report";
    EXPECT_EQ(table.FieldByName("ID")->AsInteger(), 1200);
    EXPECT_EQ(grid.DataLink()->ActiveRecord(), 3);
    EXPECT_EQ(grid.FreezeCount(), 0);
    fs::permissions(folder, fs::perms::owner_all);
    std::vector<String> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path().string());
    EXPECT_EQ(files, c.Written.empty() ? std::vector<String>{} : std::vector<String>{c.Written});
    if (!c.Written.empty()) {
      TgpExportAsText expected(&grid);
      expected.SetColSep(c.Written.ends_with(".txt") ? "\t" : ",");
      std::ifstream in(c.Written, std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      EXPECT_TRUE(text.str() == "\xEF\xBB\xBF" + expected.DoExport()) << "the file holds the export";
    }
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace zvtest
