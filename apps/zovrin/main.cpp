// Zovrin's main program. Until the database browser exists it shows a form built on the host
// layer: a custom-painted table of values formatted by the runtime layer, with a heading, a
// find box, a context menu and a status line. With a display the window opens; without one it is rendered off-screen to a PNG
// whose path is printed.

#include "ValueTable.h"

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Form.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "platform/rtl/Format.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

using namespace zv;
using namespace zovrin;

std::vector<TValueRow> SampleRows() {
  static const char* const names[] = {
      "Café Nöel",   "Москва",     "Αθήνα",      "Zürich",     "København", "São Paulo", "Kraków",
      "İstanbul",    "Reykjavík",  "Ljubljana",  "Θεσσαλονίκη", "Санкт-Петербург", "Łódź",    "Málaga",
      "Göteborg",    "Tromsø",     "Čakovec",    "Śląsk",      "Ærøskøbing", "Genève",   "Київ",
      "Bratislava",  "Ñuñoa",      "Straße 42",  "Þingvellir", "Vilnius",   "Ålesund",   "Cluj-Napoca",
      "Pärnu",       "Žilina",     "Hämeenlinna", "Besançon",  "Ouro Preto", "Ağrı",      "Ηράκλειο"};
  std::vector<TValueRow> rows;
  int i = 0;
  for (const char* name : names) {
    TValueRow r;
    r.Name = name;
    r.Amount = ((i * 7919) % 20000 - 8000) * 1.37 + i / 8.0;
    r.When = EncodeDate(2026, 1, 1) + i * 11 + EncodeTime(9, 30, 0, 0);
    r.Share = ((i * 37) % 100) / 100.0;
    rows.push_back(r);
    ++i;
  }
  return rows;
}

// The main form: heading, a find box, the table with its context menu, status line.
class TMainForm : public TForm {
public:
  explicit TMainForm(TComponent* owner) : TForm(owner) {
    SetColor(clBtnFace);
    SetCaption("Zovrin");
    SetBounds(120, 80, 800, 560);
    Font()->SetHeight(-13);
    auto* heading = new THeading(this);
    heading->SetCaption("Zovrin — a table painted on the host's controls layer");
    heading->SetAlign(alTop);
    heading->SetParent(this);

    auto* findBar = new TPanel(this);
    findBar->SetBevelOuter(bvNone);
    findBar->SetHeight(34);
    findBar->SetAlign(alTop);
    findBar->SetTop(heading->Height());
    findBar->SetParent(this);
    Find = new TEdit(this);
    Find->SetBounds(10, 5, 260, 24);
    Find->SetParent(findBar);
    Find->OnChange = [this](TObject*) {
      if (const int row = Table->FindName(Find->Text()); row >= 0) Table->SetRow(row);
    };

    Status = new TStatusLine(this);
    Status->SetAlign(alBottom);
    Status->SetParent(this);
    Table = new TValueTable(this);
    Table->SetAlign(alClient);
    Table->SetParent(this);
    Table->SetTabStop(true);
    Table->OnSelect = [this](TObject*) { ShowSelection(); };
    Table->SetRows(SampleRows());
    Table->SetPopupMenu(BuildTableMenu());
    SetActiveControl(Table);
  }

  void ShowSelection() {
    const TValueRow& r = Table->Rows(Table->Row());
    Status->SetCaption(Format("Row %d of %d: %s, %.2n — type a name above to find it; right click for more",
                              {Table->Row() + 1, Table->RowCount(), r.Name, r.Amount}));
    Status->Invalidate();
  }

  TValueTable* Table = nullptr;
  TEdit* Find = nullptr;
  TStatusLine* Status = nullptr;

private:
  TPopupMenu* BuildTableMenu() {
    auto* menu = new TPopupMenu(this);
    auto add = [&](const char* caption, std::function<void()> action) {
      auto* item = new TMenuItem(this);
      item->SetCaption(caption);
      item->OnClick = [action = std::move(action)](TObject*) { action(); };
      menu->Items()->Add(item);
    };
    add("&Copy row", [this] { Clipboard()->SetAsText(Table->RowText(Table->Row())); });
    add("-", nullptr);
    add("&First row", [this] { Table->SetRow(0); });
    add("&Last row", [this] { Table->SetRow(Table->RowCount() - 1); });
    return menu;
  }
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
      // The first form the application creates is its main form: Run shows it, and closing
      // it (from the window manager too) ends Run.
      TMainForm* created = nullptr;
      Application->CreateForm(created);
      const std::unique_ptr<TMainForm> owned(created);  // gone before the backends go
      TMainForm& window = *created;
      window.Table->SetRow(3);
      window.ShowSelection();
      if (windowed) {
        Application->Run();
      } else {
        window.Show();
        Application->ProcessMessages();
        if (WritePng(window, png)) {
          std::printf("No display in use: rendered the main window off-screen to %s\n", png.c_str());
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
