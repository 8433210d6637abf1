#pragma once
// The column customizer: a stay-on-top tool window listing the fields a grid could show but does
// not. Its entries are dragged onto the grid to add (or show) a column there, and titles dragged
// from the grid onto it remove (or hide) theirs. At most one is open in the process; the grid
// reaches it only through ShowGridCustomizer and the customizer message, so the grid does not
// depend on it.

#include "platform/controls/Form.h"
#include "runtime/grid/TitleTracker.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace zv {

class TDataSource;
class TDBDivoRud;
class TLiteDesigner;
class TObjDataSet;
class TPanel;
class TSpeedButton;
class TStringList;

class TzvDivoRudCustomizer : public TForm {
  ZV_CLASS(TzvDivoRudCustomizer, TForm)

public:
  explicit TzvDivoRudCustomizer(TComponent* owner);
  ~TzvDivoRudCustomizer() override;

  // The parts read from the form text.
  TDBDivoRud* gpList = nullptr;
  TObjDataSet* datFields = nullptr;
  TDataSource* dsFields = nullptr;
  TLiteDesigner* ldDesigner = nullptr;
  TPanel* pnBottom = nullptr;
  TSpeedButton* sbClose = nullptr;

  // What it customizes; set before it is shown.
  void Setup(TDBDivoRud* grid, const String& names, const String& captions, TgpCustomizeMode mode,
             const String& present);
  TDBDivoRud* Grid() const { return fGrid; }
  TgpCustomizeMode Mode() const { return fMode; }
  const String& Names() const { return fNames; }
  const String& Captions() const { return fCaptions; }
  // The names offered, parallel to the list's rows, ";"-separated.
  const String& Listed() const { return fListed; }
  // The rows of the list (the captions of the listed names).
  TStringList* Strings() const { return fStrings.get(); }
  bool Replaced() const { return fReplaced; }
  void SetReplaced(bool value) { fReplaced = value; }

  // The height the window gets for a requested one: whole rows of the list, at least two.
  int AlignedHeight(int requested) const;
  // The listed name at the list's current row; empty when none.
  String SelectedName() const;
  // The grid's column of that name; nullptr when none.
  TgpColumn* SelectedColumn() const;

  void Notification(TComponent* component, TOperation operation) override;
  void WndProc(TMessage& message) override;

protected:
  void DoShow() override;
  void DoClose(TCloseAction& action) override;

private:
  void FillList();
  void RefreshData();
  void CustomizerAction(TMessage& message);
  void DropFromList();
  void ListDragOver(TObject* source, TDragState state, bool& accept);
  void ListDragDrop(TObject* source);
  void Detach(bool tellGrid);

  TDBDivoRud* fGrid = nullptr;
  String fNames, fCaptions, fListed;
  TgpCustomizeMode fMode = gcmRemove;
  // The names the grid shows, upper-cased.
  std::unordered_set<String> fPresent;
  std::unique_ptr<TStringList> fStrings;
  std::vector<String> fListedNames;
  bool fReplaced = false;
  bool fClosed = false;
};

// The open customizer, nullptr when none.
extern TzvDivoRudCustomizer* zvDivoRudCustomizer;

// Where the next customizer goes (8 pixels right of and below it) and its size: where the last
// one closed, shared by every customizer of the process.
struct TzvCustomizerPlace {
  int Left = 240;
  int Top = 100;
  int Width = 224;
  int Height = 340;
};
TzvCustomizerPlace& CustomizerPlace();

// ShowGridCustomizer while the customizer module runs: replaces an open customizer by a new one
// for grid.
void ShowDivoRudCustomizer(TDBDivoRud* grid, const String& names, const String& captions, TgpCustomizeMode mode,
                           const String& present);

inline constexpr const char CustomizerModule[] = "zvcustomizer";

}  // namespace zv
