// Zovrin's main program: a table of an SQLite database in the library's grid. With no argument
// it opens the sample database (created next to the program on first use); otherwise the file
// given, first table by name or --table NAME. Given a PostgreSQL connection string instead of a
// file ("host=/run/postgresql dbname=shop" or "postgresql://..."), it opens the server's table
// --table NAME. With a display the window opens; without one it is
// rendered off-screen to a PNG whose path is printed.

#include "ExportCommand.h"
#include "SampleDatabase.h"

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/db/DataLink.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/db/pg/PgDataSet.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "platform/rtl/Format.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace zv;
using zv::sqlite::TSqliteDatabase;

// What the main form shows, chosen before the application creates it.
std::string ShownFile;
std::string ShownTable;
bool ShownOnServer = false;  // ShownFile is a connection string

// libpq's two forms: a URI, or key=value pairs. A file that exists is a file, whatever its name
// holds ("sales q1=final.db").
bool IsConnectionString(const std::string& arg) {
  std::error_code ignored;
  if (std::filesystem::exists(arg, ignored)) return false;
  return arg.starts_with("postgresql://") || arg.starts_with("postgres://") || arg.find('=') != std::string::npos;
}

void PrintUsage(std::FILE* to, const char* program) {
  std::fprintf(to, "usage: %s [FILE | CONNECTION-STRING] [--table NAME] [--offscreen] [--png PATH]\n", program);
}

class TMainForm : public TForm {
public:
  explicit TMainForm(TComponent* owner) : TForm(owner) {
    const std::string& file = ShownFile;
    const std::string& table = ShownTable;
    SetColor(clBtnFace);
    SetCaption("Zovrin");
    SetBounds(120, 80, 900, 600);
    Font()->SetHeight(-13);

    if (ShownOnServer) {
      auto* connection = new TPgConnection(this);
      connection->SetConnectionString(file);
      auto* pgTable = new TPgDataSet(this);
      pgTable->SetConnection(connection);
      pgTable->SetTableName(ShownTable);
      pgTable->SetReadOnly(true);
      DataSet = pgTable;
    } else {
      auto* sqlite = new TSqliteDataSet(this);
      sqlite->SetFileName(file);
      sqlite->SetTableName(table);
      sqlite->SetReadOnly(true);
      DataSet = sqlite;
    }
    Source = new TDataSource(this);
    Source->SetDataSet(DataSet);

    Status = new TPanel(this);
    Status->SetAlign(alBottom);
    Status->SetHeight(24);
    Status->SetBevelOuter(bvNone);
    Status->SetParent(this);

    auto* designer = new TStandardDesigner(this);
    Grid = new TDBDivoRud(this);
    Grid->SetAlign(alClient);
    Grid->SetDesigner(designer);
    Grid->SetShowFooters(true);
    Grid->SetParent(this);
    Grid->SetDataSource(Source);
    DataSet->Open();
    Grid->CreateDefColumns(true);
    TgpColumns& columns = *Grid->Columns();
    columns.BeginUpdate();
    for (int i = 0; i < columns.Count(); ++i) {
      TgpColumn* c = columns.Items(i);
      TField* field = DataSet->FindField(c->FieldName());
      const bool text = field && (field->DataType() == ftMemo ||
                                  (field->DataType() == ftString && (field->Size() == 0 || field->Size() > 60)) ||
                                  field->DataType() == ftVariant);
      c->SetWidth(text ? 170 : 95);
      if (text) c->SetOptionsVisual(c->OptionsVisual() + TgpColumnVisualOptions{cvoWordWrap});
    }
    columns.EndUpdate();
    if (columns.Count() > 0)
      columns.Items(0)->SetFooterText(Format("%d records", {DataSet->RecordCount()}));
    Grid->SetRowLines(2);
    // Ctrl+F searches the current column; F3 and Shift+F3 go on to the next and previous match,
    // round the ends. Typing alone still edits.
    TgpAutoSearchParams& search = *Grid->ParamsAutoSearch();
    search.SetEnabled(true);
    search.SetShortCut(ShortCut('F', {ssCtrl}));
    search.SetShortCutFindNext(ShortCut(VK_F1 + 2, {}));
    search.SetShortCutFindPrevious(ShortCut(VK_F1 + 2, {ssShift}));
    search.SetCycleSearch(true);
    BuildMenus();
    SetActiveControl(Grid);
    Status->SetCaption(Format("  %d records in %s of %s; the wheel and the scroll bars move through them",
                              {DataSet->RecordCount(), String(table),
                               ShownOnServer ? String("the server") : String(std::filesystem::path(file).filename().string())}));
  }

  // The program's commands, in one place: the menu bar and the grid's context menu.
  void BuildMenus() {
    const auto item = [this](TMenuItem* parent, const char* caption, TNotifyEvent onClick) {
      auto* added = new TMenuItem(this);
      added->SetCaption(caption);
      added->OnClick = std::move(onClick);
      parent->Add(added);
      return added;
    };
    const TNotifyEvent exportGrid = [this](TObject*) { zovrin::ExportGridCommand(*Grid); };
    auto* bar = new TMainMenu(this);
    TMenuItem* file = item(bar->Items(), "&File", nullptr);
    item(file, "&Export...", exportGrid);
    SetMenu(bar);
    auto* context = new TPopupMenu(this);
    item(context->Items(), "&Export...", exportGrid);
    Grid->SetPopupMenu(context);
  }

  TDataSet* DataSet = nullptr;
  TDataSource* Source = nullptr;
  TDBDivoRud* Grid = nullptr;
  TPanel* Status = nullptr;
};

bool WritePng(TWinControl& window, const std::string& path) {
  TPaintDevice* surface = RetainedSurfaceOf(window.Handle());
  if (!surface) return false;
  const TPixelBuffer pixels = surface->ReadPixels(Rect(0, 0, surface->Width(), surface->Height()));
  const std::vector<std::uint8_t> png = GraphicsBackend().EncodeImage(pixels, TImageFormat::Png);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(out);
}

// The table to show: the one asked for, else the first by name. An empty result and a message
// on stderr when the file is missing, is no database or has no such table.
std::string PickTable(const std::string& file, const std::string& wanted) {
  if (!std::filesystem::is_regular_file(file)) {
    std::fprintf(stderr, "zovrin: %s: no such file\n", file.c_str());
    return {};
  }
  try {
    TSqliteDatabase db(file, true);  // read-only: never creates anything
    std::vector<String> tables = db.TableNames();
    if (tables.empty()) {
      std::fprintf(stderr, "zovrin: %s holds no tables\n", file.c_str());
      return {};
    }
    if (wanted.empty()) {
      std::sort(tables.begin(), tables.end());
      return tables.front();
    }
    if (!db.TableExists(wanted)) {
      std::fprintf(stderr, "zovrin: %s has no table %s\n", file.c_str(), wanted.c_str());
      return {};
    }
    return wanted;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zovrin: %s is not a database it can read: %s\n", file.c_str(), e.what());
    return {};
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string png = (std::filesystem::temp_directory_path() / "zovrin-main.png").string();
  std::string file;
  std::string wantedTable;
  bool offscreen = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      PrintUsage(stdout, argv[0]);
      return 0;
    } else if (arg == "--offscreen") {
      offscreen = true;
    } else if (arg == "--png" && i + 1 < argc) {
      png = argv[++i];
      offscreen = true;
    } else if (arg == "--table" && i + 1 < argc) {
      wantedTable = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && file.empty()) {
      file = arg;
    } else {
      PrintUsage(stderr, argv[0]);
      return 2;
    }
  }
  if (file.empty()) {
    file = (std::filesystem::absolute(argv[0]).parent_path() / "zovrin-sample.db").string();
    try {
      zovrin::EnsureSampleDatabase(file);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "zovrin: cannot create the sample database %s: %s\n", file.c_str(), e.what());
      return 1;
    }
  }
  ShownOnServer = IsConnectionString(file);
  if (ShownOnServer && wantedTable.empty()) {
    std::fprintf(stderr, "zovrin: a server table is named with --table NAME\n");
    return 2;
  }
  // A server's table is checked when the dataset opens: a wrong name raises there.
  const std::string table = ShownOnServer ? wantedTable : PickTable(file, wantedTable);
  if (table.empty()) return 1;

  if (offscreen) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  char name[] = "zovrin";
  char* qtArgv[] = {name, nullptr};
  int exitCode = 0;
  try {
    qt::TGuiSession session(qtArgc, qtArgv);
    const bool windowed = session.Windowed() && !offscreen;
    SetGraphicsBackend(qt::CreateQtBackend(windowed));
    SetWindowBackend(qt::CreateQtWindowBackend());
    Application->Initialize();
    {
      ShownFile = file;
      ShownTable = table;
      // The first form the application creates is its main form: Run shows it, and closing
      // it (from the window manager too) ends Run.
      TMainForm* created = nullptr;
      Application->CreateForm(created);
      const std::unique_ptr<TMainForm> window(created);  // gone before the backends go
      if (windowed) {
        Application->Run();
      } else {
        window->Show();
        Application->ProcessMessages();
        if (WritePng(*window, png)) {
          // Off-screen because it was asked for, or because no display could be reached.
          std::printf(offscreen ? "Rendered the main window off-screen to %s\n"
                                : "No display in use: rendered the main window off-screen to %s\n",
                      png.c_str());
        } else {
          std::fprintf(stderr, "Could not write %s\n", png.c_str());
          exitCode = 1;
        }
      }
    }
    FinalizeModules();
    SetWindowBackend(nullptr);
    SetGraphicsBackend(nullptr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zovrin: %s\n", e.what());
    return 1;
  }
  return exitCode;
}
