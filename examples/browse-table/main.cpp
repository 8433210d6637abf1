// browse-table: one table of an SQLite file in a TDBDivoRud on a form.
//   browse-table [FILE [TABLE]] [--png PATH]
// With no file it writes a small demo database to the temporary folder and shows that. With no
// display (or --png) the form is drawn off-screen and saved as a PNG.

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/db/DataLink.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace zv;

namespace {

std::string DemoDatabase() {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "browse-table-demo.db";
  std::filesystem::remove(path);
  sqlite::TSqliteDatabase db(path.string());
  db.Execute(
      "CREATE TABLE cities (ID INTEGER PRIMARY KEY, NAME VARCHAR(30), COUNTRY VARCHAR(30), PEOPLE INTEGER);"
      "INSERT INTO cities VALUES (1, 'Zürich', 'Schweiz', 421878), (2, 'Kraków', 'Polska', 800653),"
      " (3, 'Москва', 'Россия', 13010112), (4, 'Tōkyō', 'Nippon', 13960000), (5, 'São Paulo', 'Brasil', 11451245),"
      " (6, 'Αθήνα', 'Ελλάδα', 643452), (7, 'København', 'Danmark', 644431), (8, 'Reykjavík', 'Ísland', 139875);");
  return path.string();
}

std::string FirstTable(const std::string& file) {
  sqlite::TSqliteDatabase db(file, true);
  const std::vector<String> tables = db.TableNames();
  if (tables.empty()) throw Exception(file + " holds no tables");
  return tables.front();
}

class TBrowseForm : public TForm {
public:
  TBrowseForm(TComponent* owner, const std::string& file, const std::string& table) : TForm(owner) {
    SetCaption("browse-table: " + table);
    SetBounds(100, 100, 640, 360);
    auto* data = new TSqliteDataSet(this);
    data->SetFileName(file);
    data->SetTableName(table);
    data->SetReadOnly(true);
    auto* source = new TDataSource(this);
    source->SetDataSet(data);
    auto* grid = new TDBDivoRud(this);
    grid->SetAlign(alClient);
    grid->SetDesigner(new TStandardDesigner(this));
    grid->SetParent(this);
    grid->SetDataSource(source);
    data->Open();
    grid->CreateDefColumns(true);
    for (int i = 0; i < grid->Columns()->Count(); ++i) grid->Columns()->Items(i)->SetWidth(130);
  }
};

bool SavePng(TWinControl& form, const std::string& path) {
  TPaintDevice* surface = RetainedSurfaceOf(form.Handle());
  if (!surface) return false;
  const TPixelBuffer pixels = surface->ReadPixels(Rect(0, 0, surface->Width(), surface->Height()));
  const std::vector<std::uint8_t> png = GraphicsBackend().EncodeImage(pixels, TImageFormat::Png);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  std::string file, table, png;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--png" && i + 1 < argc) png = argv[++i];
    else if (arg[0] != '-' && file.empty()) file = arg;
    else if (arg[0] != '-' && table.empty()) table = arg;
    else {
      std::fprintf(stderr, "usage: %s [FILE [TABLE]] [--png PATH]\n", argv[0]);
      return 2;
    }
  }
  if (!png.empty()) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  try {
    if (file.empty()) file = DemoDatabase();
    if (table.empty()) table = FirstTable(file);

    // The Qt backend draws and owns the windows; the application's modules start once both are set.
    qt::TGuiSession session(argc, argv);
    SetGraphicsBackend(qt::CreateQtBackend(session.Windowed()));
    SetWindowBackend(qt::CreateQtWindowBackend());
    Application->Initialize();
    bool saved = true;
    {
      auto form = std::make_unique<TBrowseForm>(Application, file, table);
      if (session.Windowed()) {
        Application->SetMainControl(form.get());  // closing it ends Run
        form->Show();
        Application->Run();
      } else {
        if (png.empty()) png = (std::filesystem::temp_directory_path() / "browse-table.png").string();
        form->Show();
        Application->ProcessMessages();
        saved = SavePng(*form, png);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", png.c_str());
      }
    }
    FinalizeModules();
    SetWindowBackend(nullptr);
    SetGraphicsBackend(nullptr);
    return saved ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "browse-table: %s\n", e.what());
    return 1;
  }
}
