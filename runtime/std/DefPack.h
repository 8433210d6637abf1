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
#include <functional>
#include <memory>
#include <vector>

namespace zv {

class TDBDivoRud;
class TLiteDesigner;
class TLiteVision;
class TPanel;
class TPopupMenu;
class TSpeedButton;
class TStandardVision;
class TCheckBoxVision;
class TDateVision;
class TTimeVision;
class TgpColumns;
class TImageList;
class TRichEdit;
class TImage;
class TMemoVision;
class TImageVision;

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
  TDateVision* Date = nullptr;
  TDateVision* Calendar = nullptr;
  TDateVision* CalendarSimple = nullptr;
  TTimeVision* Time = nullptr;
  TTimeVision* TimeShort = nullptr;
  TPopupMenu* BlobContextMenu = nullptr;
  TPopupMenu* PictureContextMenu = nullptr;
  TImageList* NullImageList = nullptr;
  // The stock blob visions.
  TMemoVision* Memo = nullptr;
  TImageVision* Image = nullptr;

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
  // The blob picker (BlobPicker.cpp).
  void BlobPickerShow(TObject* sender);
  void BlobPickerPostChanges(TObject* sender);
  void BlobPickerClose(TObject* sender);
  void BlobPickerShortCut(TObject* sender, Word& key);
  void BlobPickerEditAction(TObject* sender, TvpEditAction action);
  void BlobPickerOKClick(TObject* sender);
  void BlobPickerCancelClick(TObject* sender);
  void PictureMenuPopup(TObject* sender);
  void PictureMenuClick(TObject* sender);
  // What the blob picker shows: a text editor or a picture, whichever the last opening made.
  TRichEdit* BlobPickerText() const { return fBlobText; }
  TImage* BlobPickerImage() const { return fBlobImage; }

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

  // The blob picker: one text editor or one image, created on first need; the picture's
  // stored bytes, kept as they came until an action replaces them.
  // Cut, Copy, Paste, Clear, Load..., Save to... or Preview (1 to 7) on the picker's picture.
  void BlobPictureAction(int tag);
  void ShowBlobPicture();
  TRichEdit* fBlobText = nullptr;
  TImage* fBlobImage = nullptr;
  std::vector<std::uint8_t> fBlobBytes;
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

// Parts other modules put on the pack (a drop-down's control and its handlers): an extension
// runs on every pack once it is loaded, and at once on the pack that exists when it is added.
using TDefPackExtension = std::function<void(TzvDefPack& pack)>;
int AddDefaultPackExtension(TDefPackExtension extension);
void RemoveDefaultPackExtension(int id);

}  // namespace zv
