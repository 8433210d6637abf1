#pragma once
// The default pack: one hidden form, read from its form text when the standard visions start,
// holding what the library and applications share by name ("zvDefPack.<name>"): the drop-down
// tool forms of the standard visions (list, calculator, and the shells of the calendar and the
// blob picker), stock designers and visions, the blob visions' context menus, an empty image
// list and the colour picker. The same start-up creates the library-wide DefaultDesigner and
// DefaultVision.
//
// Sources: DefPack.cpp (the form text, creation, start-up and shutdown), DataListDropDown.cpp
// (the list drop-down), CalcDropDown.cpp (the calculator drop-down), PackDrawing.cpp (title
// surface, colour picker, imaged text).

#include "platform/controls/Form.h"
#include "runtime/rtm/CalcEngine.h"
#include "runtime/vision/ToolForm.h"

#include <deque>
#include <memory>

namespace zv {

class TDBDivoRud;
class TLiteDesigner;
class TLiteVision;
class TPanel;
class TPopupMenu;
class TSpeedButton;
class TStandardVision;
class TCheckBoxVision;
class TgpColumns;
class TImageList;

class TzvDefPack : public TForm {
  ZV_CLASS(TzvDefPack, TForm)

public:
  // Reads the form text; the application takes the pack over once it is loaded.
  explicit TzvDefPack(TComponent* owner);
  ~TzvDefPack() override;

  // ---- Parts, found by name once loaded ---------------------------------------------------
  TVisionToolForm* vtfDataList = nullptr;
  TDBDivoRud* gpDataListList = nullptr;
  TLiteDesigner* dsgDataList = nullptr;
  TLiteVision* visImagedText = nullptr;
  TVisionToolForm* vtfCalculator = nullptr;
  TPanel* pnCalcMemory = nullptr;
  TVisionToolForm* vtfCalendar = nullptr;
  TVisionToolForm* vtfBlobPicker = nullptr;
  TStandardVision* TitleSurface = nullptr;
  TStandardVision* ColorPicker = nullptr;
  TCheckBoxVision* CheckBoxBool = nullptr;
  TCheckBoxVision* CheckBoxInt = nullptr;
  TPopupMenu* BlobContextMenu = nullptr;
  TPopupMenu* PictureContextMenu = nullptr;
  TImageList* NullImageList = nullptr;

  TvpCalcEngine* CalcEngine() const { return fEngine.get(); }
  // The calculator key that sends key.
  TSpeedButton* CalcButton(TvpCalcButton key) const;
  // The last calculator key pressed, by keyboard or mouse.
  std::optional<TvpCalcButton> LastCalcKey() const { return fLastKey; }
  // How long a key pressed by keyboard shows held, in milliseconds.
  static constexpr unsigned CalcPressTime = 50;

  // One column a ";"-separated name of fieldNames, each as wide as the number at the same
  // place of widths; a missing, non-numeric or non-positive width is defaultWidth.
  static void AddBatch(TgpColumns* columns, const String& fieldNames, int defaultWidth, const String& widths);
  void AddColorIndent(const String& name);

  // ---- Handlers the form text names -------------------------------------------------------
  void FormCreate(TObject* sender);
  void FormDestroy(TObject* sender);
  void DataListShow(TObject* sender);
  void DataListClose(TObject* sender);
  void DataListSizing(TObject* sender, TvpSizingInfo& info);
  void DataListKeyDown(TObject* sender, Word& key, TShiftState shift);
  void CalcShow(TObject* sender);
  void CalcClose(TObject* sender);
  void CalcPaint(TObject* sender);
  void CalcKeyDown(TObject* sender, Word& key, TShiftState shift);
  void CalcKeyPress(TObject* sender, char32_t& key);
  void CalcButtonClick(TObject* sender);
  void TitleSurfaceDraw(TObject* sender, TgpFieldList* fields, TgpPainter* painter);
  void ImagedTextDraw(TObject* sender, TgpFieldList* fields, TgpPainter* painter);
  void ColorPickerGetText(TObject* sender, TgpFieldList* fields, bool displayText, String& value);
  void ColorPickerDraw(TObject* sender, TgpFieldList* fields, TgpPainter* painter);
  void ColorPickerDrawEdit(TObject* sender, TgpFieldList* fields, TfvPainter* painter);
  void ColorPickerBeforePost(TObject* sender, TgpFieldList* fields, TgpFieldValue* value, bool& posted);
  void ColorPickerDblClick(TObject* sender, TgpFieldList* fields);

  static void DeclareProperties(TPropTable<TzvDefPack>& t);

protected:
  void Loaded() override;
  void WndProc(TMessage& message) override;

private:
  void FindParts();
  void CalcChange(TObject* sender);
  void CalcError(TObject* sender, bool& handled);
  void UpdateMemoryKeys();
  // Presses key as the keyboard does: held for CalcPressTime, then clicked; keys arriving
  // meanwhile wait their turn.
  void PressCalcKey(TvpCalcButton key);

  bool fListKeepsWidths = false;  // the vision the list shows for hears the widths it closes with
  std::unique_ptr<TvpCalcEngine> fEngine;
  String fCalcSavedText;
  std::optional<TvpCalcButton> fLastKey;
  std::deque<TvpCalcButton> fPendingKeys;
  bool fPressing = false;
  bool fPressTimeUp = false;
  char32_t fSkipChar = 0;  // the character of a key pressed already, when it comes next
};

// The pack while the standard visions run (nil before, after and once freed).
extern TzvDefPack* zvDefPack;

// Start-up and shutdown of the standard visions; nested calls count, only the outermost pair
// creates (DefaultDesigner, DefaultVision, zvDefPack) and frees (in reverse). The module
// "zvdefpack" runs them; the runtime package uses that module.
void StartDefaultPack();
void StopDefaultPack();
int DefaultPackStarts();

inline constexpr const char DefaultPackModule[] = "zvdefpack";

}  // namespace zv
