// The memo and image visions on the headless backend under a stand-alone edit control, over a
// memory table and SQLite (TEXT a string field, CLOB a memo, BLOB a blob): texts posted with the
// line breaks they were stored with, pictures drawn from their stored bytes, edited through the
// clipboard, and stored bytes nobody changed (readable or not) kept as they are.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/FormText.h"
#include "platform/controls/Clipboard.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/Bitmap.h"
#include "runtime/std/BlobVisions.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/Painter.h"

#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/graphics/GraphicsConsts.h"
#include "platform/rtl/FileUtils.h"
#include "runtime/env/Env.h"
#include "platform/controls/RichEdit.h"
#include "EditControlFixture.h"
#include "IdleScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace zvtest {
namespace {

using namespace zv;

std::unique_ptr<TDataSet> MemTexts() {
  auto table = std::make_unique<TMemTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("S", ftString, 30);
  table->FieldDefs().Add("M", ftMemo);
  table->FieldDefs().Add("P", ftBlob);
  table->CreateDataSet();
  table->AppendRecord({Variant(1), Null(), Null(), Null()});
  table->First();
  return table;
}

std::unique_ptr<TDataSet> SqliteTexts() {
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    db.Execute("CREATE TABLE texts (ID INTEGER PRIMARY KEY, S VARCHAR(30), M CLOB, P BLOB)");
    db.Execute("INSERT INTO texts (ID) VALUES (1)");
  }
  auto table = std::make_unique<TGridSqliteDataSet>();
  table->SetFileName(path);
  table->SetTableName("texts");
  table->Open();
  return table;
}

void Store(TDataSet& table, const char* name, const String& value, bool isNull = false) {
  if (table.State() == dsBrowse) table.Edit();
  TField* field = table.FieldByName(name);
  if (isNull)
    field->Clear();
  else
    field->SetAsString(value);
  table.Post();
}

std::span<const std::uint8_t> BytesOfString(const String& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

String ReadFileText(const String& path) {
  std::ifstream in(path, std::ios::binary);
  return String(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

String Bytes(std::span<const std::uint8_t> data) { return String(reinterpret_cast<const char*>(data.data()), data.size()); }

// A BMP file of a w × h picture in one colour.
String BmpFile(int w, int h, TColor color) {
  TBitmap bitmap;
  bitmap.SetSize(w, h);
  bitmap.Canvas()->Brush()->SetColor(color);
  bitmap.Canvas()->FillRect({0, 0, w, h});
  return Bytes(EncodeBitmapFile(bitmap));
}

class BlobVisions : public EditControlFixture {
protected:
  // A pack a test started goes with the test: left to the end of the process, it would be freed
  // after the tables its handlers are reached through.
  void TearDown() override {
    EditControlFixture::TearDown();
    while (DefaultPackStarts() > 0) StopDefaultPack();
  }
  // Editing starts before the caret moves: entering edit mode shows the text anew.
  void CaretToEnd() {
    edit->Fields().Edit();
    h->Pump();
    edit->SetSelStart(static_cast<int>(edit->Text().size()));
  }
  // Posts what the editor holds and ends the dataset's editing.
  void Post(TvpFieldVision& vision, TDataSet& table) {
    vision.PostChanges(*edit, false);
    if (table.State() != dsBrowse) table.Post();
  }
};

// ---- Memo ---------------------------------------------------------------------------------

TEST_F(BlobVisions, MemoDefaultsAndTexts) {
  TMemoVision memo(nullptr);
  EXPECT_TRUE(memo.MultiLine());
  EXPECT_TRUE(memo.WantReturns());
  EXPECT_TRUE(memo.WantTabs());
  EXPECT_FALSE(memo.EnableButton());
  EXPECT_TRUE(memo.EditWordWrap());
  EXPECT_EQ(memo.EditScrollBars(), ssVertical);

  auto table = MemTexts();
  Store(*table, "M", "one\ntwo");
  Open(&memo, table.get(), "M");
  TgpFieldList& fields = edit->Fields();
  EXPECT_EQ(memo.GetText(fields, true), "one\ntwo") << "the memo's own text, not its marker";
  EXPECT_EQ(memo.GetText(fields, false), "one\ntwo");
  EXPECT_EQ(memo.DefaultLayout(fields), tlaTop);
  TFieldTextKind kind = ftkDisplayText;
  EXPECT_EQ(memo.AutoSearchField(fields, kind), table->FieldByName("M"));
  EXPECT_EQ(kind, ftkValueString);

  bool startedNull = false;
  memo.OnGetValue = [&](TObject*, TgpFieldList*, String& value, bool& isNull) {
    startedNull = isNull;
    value = "computed";
  };
  TgpFieldList unbound(nullptr, fhtEdit, nullptr);
  String text;
  memo.VM_GetText(unbound, false, text);
  EXPECT_EQ(text, "computed");
  EXPECT_TRUE(startedNull);
}

TEST_F(BlobVisions, MemoPostsTheLineBreaksTheTextWasStoredWith) {
  struct Case {
    const char* field;
    const char* stored;
    const char* posted;  // after "x" typed at the end
  } const cases[] = {
      {"M", "a\nb\nc", "a\nb\ncx"},      // written by another program: stays with LF
      {"S", "a\nb", "a\nbx"},
      {"M", "a\r\nb", "a\r\nbx"},        // CR LF stays CR LF
      {"M", "a\r\nb\nc", "a\r\nb\r\ncx"},  // mixed: as typed
      {"S", "ab", "abx"},
  };
  for (auto make : {&MemTexts, &SqliteTexts}) {
    for (const Case& c : cases) {
      auto table = make();
      Store(*table, c.field, c.stored);
      TMemoVision memo(nullptr);
      Open(&memo, table.get(), c.field);
      CaretToEnd();
      Type(U"x");
      Post(memo, *table);
      EXPECT_EQ(table->FieldByName(c.field)->AsString(), c.posted)
          << c.field << " " << table->ClassType()->ClassName() << " stored " << c.stored;
      form.reset();
    }
  }
}

TEST_F(BlobVisions, MegabyteAndInvalidTextsPaintBoundedByTheCell) {
  String big(1 << 20, 'w');
  for (std::size_t i = 0; i < big.size(); i += 97) big[i] = '\xC3';  // lead bytes without their tails
  big += "\xE2\x82\xAC";
  const TRect cell{0, 0, 80, 40};
  EXPECT_LT(TextForCell(big, cell).size(), 20000u);
  EXPECT_EQ(TextForCell("short", cell), "short");
  EXPECT_EQ(TextForCell(String(100000, 'a') + "\xE2\x82\xAC", {0, 0, 4000, 100}).size(), 100003u);
  // Never inside a character: a cut just after a lead byte backs off to it.
  const String euros = String(100000, 'a') + String(20000, '\xE2');
  EXPECT_NE(static_cast<unsigned char>(TextForCell("\xE2\x82\xAC" + euros, cell).back()) & 0xC0, 0x80u);
  for (int kind = 0; kind < 2; ++kind) {
    auto table = MemTexts();
    Store(*table, "M", big);
    std::unique_ptr<TvpFieldVision> vision;
    if (kind == 0)
      vision = std::make_unique<TMemoVision>(nullptr);
    else {
      auto text = std::make_unique<TTextVision>(nullptr);
      text->SetDisplayAs(tbmText);
      vision = std::move(text);
    }
    // A grid column's field list: painting goes through no editor.
    TgpFieldList fields(nullptr, fhtColumn, nullptr);
    fields.SetFieldNames("M");
    fields.UpdateList(table.get());
    fields.SetVision(vision.get());
    TBitmap target;
    target.SetSize(80, 40);
    TfvPainter painter(true);
    TvpCellAttrs attrs;
    painter.Canvas = target.Canvas();
    painter.CellAttrs = &attrs;
    painter.CellRect = painter.ClientRect = painter.TextRect = cell;
    painter.Init(fields);
    painter.CellRect = painter.ClientRect = painter.TextRect = cell;
    vision->VM_PreparePainter(fields, painter);
    EXPECT_LT(painter.Text.size(), kind == 0 ? 20000u : big.size() + 1);
    EXPECT_NO_THROW(vision->VM_DrawEdit(fields, painter));
    if (painter.DefaultDrawing) { EXPECT_NO_THROW(painter.DrawText(painter.Text, taLeftJustify, tlaDefault, 0, 0)); }
    fields.SetVision(nullptr);
  }
}

TEST_F(BlobVisions, LineFeedsComeBackOnlyForTextsStoredWithThem) {
  EXPECT_TRUE(AllBreaksAreLineFeeds("a\nb"));
  EXPECT_FALSE(AllBreaksAreLineFeeds("ab"));
  EXPECT_FALSE(AllBreaksAreLineFeeds("a\r\nb\nc"));
  EXPECT_EQ(RestoreLineFeeds("a\r\nb\r\n", "x\ny"), "a\nb\n");
  EXPECT_EQ(RestoreLineFeeds("a\r\nb", "xy"), "a\r\nb");
}

// ---- Image --------------------------------------------------------------------------------

TEST_F(BlobVisions, ImagePropertiesStreamAndMenuReferenceClears) {
  TImageVision image(nullptr);
  EXPECT_EQ(image.SurfaceKind(), vskCustom);
  EXPECT_TRUE(image.Center());
  EXPECT_TRUE(image.QuickDraw());
  EXPECT_FALSE(image.WantArrows());
  EXPECT_EQ(ComponentToText(&image).find("Center"), String::npos) << "defaults are not stored";
  image.SetStretch(true);
  image.SetCenter(false);
  image.SetDisabledActions({vdaLoad, vdaPreview});
  TMemoVision memo(nullptr);
  memo.SetWantTabs(false);
  memo.SetEditScrollBars(ssBoth);
  for (TComponent* vision : std::initializer_list<TComponent*>{&image, &memo}) {
    const String text = ComponentToText(vision);
    std::unique_ptr<TComponent> back(static_cast<TComponent*>(vision->ClassType()->Factory(nullptr)));
    TextToComponent(text, back.get());
    EXPECT_EQ(ComponentToText(back.get()), text);
  }
  auto menu = std::make_unique<TPopupMenu>(nullptr);
  image.SetPopupMenu(menu.get());
  EXPECT_EQ(image.DefaultPopupMenu(), menu.get());
  menu.reset();
  EXPECT_EQ(image.PopupMenu(), nullptr) << "a destroyed menu is forgotten";
}

struct PixelCase {
  const char* name;
  bool stretch, center, grid;
  TRect cell;
  TPoint red, white;  // a pixel the picture covers, one it does not
};

class ImageVisionPixels : public BlobVisions, public ::testing::WithParamInterface<PixelCase> {};

TEST_P(ImageVisionPixels, DrawsTheStoredPicture) {
  const PixelCase& c = GetParam();
  for (auto make : {&MemTexts, &SqliteTexts}) {
    auto table = make();
    Store(*table, "P", BmpFile(20, 10, clRed));
    TImageVision image(nullptr);
    image.SetStretch(c.stretch);
    image.SetCenter(c.center);
    Open(&image, table.get(), "P");
    TBitmap target;
    target.SetSize(60, 40);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect({0, 0, 60, 40});
    TfvPainter painter(c.grid);
    TvpCellAttrs attrs;
    painter.Canvas = target.Canvas();
    painter.CellAttrs = &attrs;
    painter.CellRect = painter.ClientRect = c.cell;
    image.VM_DrawEdit(edit->Fields(), painter);
    EXPECT_FALSE(painter.DefaultDrawing);
    EXPECT_EQ(ColorToRGB(target.Canvas()->Pixels(c.red.X, c.red.Y)), ColorToRGB(clRed)) << c.name;
    EXPECT_EQ(ColorToRGB(target.Canvas()->Pixels(c.white.X, c.white.Y)), ColorToRGB(clWhite)) << c.name;
    form.reset();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ImageVisionPixels,
    ::testing::Values(PixelCase{"centred", false, true, false, {0, 0, 60, 40}, {20, 15}, {19, 14}},
                      PixelCase{"top-left", false, false, false, {0, 0, 60, 40}, {0, 0}, {20, 10}},
                      PixelCase{"stretched", true, true, false, {0, 0, 50, 40}, {49, 39}, {50, 39}},
                      PixelCase{"grid stretched", true, true, true, {0, 0, 60, 40}, {1, 1}, {0, 0}},
                      PixelCase{"clipped", false, false, false, {0, 0, 8, 6}, {7, 5}, {8, 6}}),
    [](const auto& info) {
      String n = info.param.name;
      for (char& ch : n)
        if (ch == ' ' || ch == '-') ch = '_';
      return n;
    });

TEST_F(BlobVisions, ImageKeepsStoredBytesAndPaintsBrokenOnesEmpty) {
  // A readable picture with bytes a codec would not write back: kept too.
  const String padded = BmpFile(3, 2, clRed) + String("trailer");
  for (auto make : {&MemTexts, &SqliteTexts}) {
    auto table = make();
    Store(*table, "P", padded);
    TImageVision image(nullptr);
    Open(&image, table.get(), "P");
    image.PE_ResetEdit(*edit);
    EXPECT_EQ(Bytes(edit->CurrentValue().Data()), padded);
    form.reset();
  }
  const String broken = "not a picture at all";
  for (auto make : {&MemTexts, &SqliteTexts}) {
    auto table = make();
    Store(*table, "P", broken);
    TImageVision image(nullptr);
    Open(&image, table.get(), "P");
    image.PE_ResetEdit(*edit);
    EXPECT_EQ(Bytes(edit->CurrentValue().Data()), broken) << "stored bytes go into the value as they are";
    EXPECT_FALSE(edit->CurrentValue().Modified());
    TBitmap target;
    target.SetSize(30, 20);
    TfvPainter painter(true);
    TvpCellAttrs attrs;
    painter.Canvas = target.Canvas();
    painter.CellAttrs = &attrs;
    painter.CellRect = painter.ClientRect = {0, 0, 30, 20};
    EXPECT_NO_THROW(image.VM_DrawEdit(edit->Fields(), painter)) << "an unreadable picture paints as none";
    image.PE_EditAction(*edit, veaCopy);  // nothing to copy
    Post(image, *table);
    EXPECT_EQ(table->FieldByName("P")->AsString(), broken) << "unchanged bytes post back byte for byte";
    form.reset();
  }
}

TEST_F(BlobVisions, ImageEditActions) {
  const String red = BmpFile(4, 3, clRed);
  struct Case {
    const char* name;
    TvpEditAction action;
    bool storedPicture, clipboardPicture, readOnly;
    TfvImgDisabledActions disabled;
    bool nullAfter, changed, clipboardRed;
  } const cases[] = {
      {"copy", veaCopy, true, false, false, {}, false, false, true},
      {"cut", veaCut, true, false, false, {}, true, true, true},
      {"paste", veaPaste, false, true, false, {}, false, true, false},
      {"clear", veaClear, true, false, false, {}, true, true, false},
      {"cut disabled", veaCut, true, false, false, {vdaCut}, false, false, false},
      {"paste disabled", veaPaste, false, true, false, {vdaPaste}, true, false, false},
      {"clear read-only", veaClear, true, false, true, {}, false, false, false},
      {"paste read-only", veaPaste, false, true, true, {}, true, false, false},
  };
  for (const Case& c : cases) {
    auto table = MemTexts();
    if (c.storedPicture) Store(*table, "P", red);
    Clipboard()->Clear();
    if (c.clipboardPicture) {
      TBitmap blue;
      blue.SetSize(2, 2);
      blue.Canvas()->Brush()->SetColor(clBlue);
      blue.Canvas()->FillRect({0, 0, 2, 2});
      Clipboard()->Assign(&blue);
    }
    TImageVision image(nullptr);
    image.SetDisabledActions(c.disabled);
    image.SetReadOnly(c.readOnly);
    Open(&image, table.get(), "P");
    image.PE_EditAction(*edit, c.action);
    TfvCurrentValue& value = edit->CurrentValue();
    EXPECT_EQ(value.IsNull(), c.nullAfter) << c.name;
    EXPECT_EQ(value.Modified(), c.changed) << c.name;
    if (c.action == veaPaste && c.changed) {
      std::unique_ptr<TBitmap> pasted = DecodePicture(value.Data());
      ASSERT_TRUE(pasted) << c.name;
      EXPECT_EQ(pasted->Width(), 2);
      EXPECT_EQ(ColorToRGB(pasted->Canvas()->Pixels(1, 1)), ColorToRGB(clBlue));
      Post(image, *table);
      EXPECT_EQ(Bytes(value.Data()), table->FieldByName("P")->AsString()) << "a pasted picture is stored";
    }
    EXPECT_EQ(Clipboard()->HasFormat(CF_BITMAP), c.clipboardRed || c.clipboardPicture) << c.name;
    if (c.clipboardRed) {
      TBitmap got;
      got.Assign(Clipboard());
      EXPECT_EQ(got.Width(), 4) << c.name;
    }
    form.reset();
  }
}

TEST_F(BlobVisions, BlobMenuStatesAndCommands) {
  StartDefaultPack();
  ASSERT_NE(zvDefPack, nullptr);
  TPopupMenu* menu = zvDefPack->BlobContextMenu;
  ASSERT_NE(menu, nullptr);
  const String red = BmpFile(4, 3, clRed);
  // Items in menu order: Cut, Copy, Paste, Clear, separator, Load..., Save to..., separator,
  // Preview; "E" enabled, "d" disabled, "-" hidden.
  struct Case {
    const char* name;
    const char* stored;  // "picture", "broken" or null
    bool readOnly;
    TfvImgDisabledActions disabled;
    const char* expected;
  } const cases[] = {
      {"empty", nullptr, false, {}, "dddd.Ed.d"},
      {"present", "picture", false, {}, "EEEE.EE.E"},
      {"broken", "broken", false, {}, "ddEE.Ed.d"},  // cleared, never copied
      {"read-only", "picture", true, {}, "dEdd.dE.E"},
      {"no files", "picture", false, {vdaLoad, vdaSave}, "EEdE---.E"},
      {"no preview", "picture", false, {vdaPreview}, "EEdE.EE--"},
  };
  for (const Case& c : cases) {
    auto table = MemTexts();
    if (c.stored) Store(*table, "P", String(c.stored) == "picture" ? red : String("garbage bytes"));
    Clipboard()->Clear();
    if (String(c.name) == "broken" || String(c.name) == "present") {  // Paste has something
      TBitmap blue;
      blue.SetSize(2, 2);
      Clipboard()->Assign(&blue);
    }
    TImageVision image(nullptr);
    image.SetReadOnly(c.readOnly);
    image.SetDisabledActions(c.disabled);
    Open(&image, table.get(), "P");
    EXPECT_EQ(image.DefaultPopupMenu(), menu);
    menu->SetPopupComponent(edit);
    ASSERT_TRUE(menu->OnPopup);
    menu->OnPopup(menu);
    String got;
    for (int i = 0; i < menu->Items()->Count(); ++i) {
      TMenuItem* item = menu->Items()->Items(i);
      got += !item->Visible() ? '-' : item->Caption() == "-" ? '.' : item->Enabled() ? 'E' : 'd';
    }
    EXPECT_EQ(got, c.expected) << c.name;
    form.reset();
  }

  // The commands act on the editor: Copy puts the picture on the clipboard, Cut empties it.
  auto table = MemTexts();
  Store(*table, "P", red);
  TImageVision image(nullptr);
  Open(&image, table.get(), "P");
  menu->SetPopupComponent(edit);
  Clipboard()->Clear();
  menu->Items()->Items(1)->OnClick(menu);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  menu->Items()->Items(0)->OnClick(menu);
  EXPECT_TRUE(edit->CurrentValue().IsNull());
  // And by keys: Ctrl+V pastes it back, Ctrl+C copies, Ctrl+X cuts.
  h->Char(edit, 22);
  EXPECT_FALSE(edit->CurrentValue().IsNull());
  Clipboard()->Clear();
  h->Char(edit, 3);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  h->Char(edit, 24);
  EXPECT_TRUE(edit->CurrentValue().IsNull());
  bool previewed = false;
  image.OnPreview = [&](TObject*, TgpFieldList*) { previewed = true; };
  menu->Items()->Items(8)->OnClick(menu);
  EXPECT_TRUE(previewed);
  menu->SetPopupComponent(nullptr);
}

TEST_F(BlobVisions, ImageFilesAndPreview) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("zv-blob-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const String red = BmpFile(5, 4, clRed), picture = (dir / "red.bmp").string(), broken = (dir / "broken.bmp").string();
  {
    TFileStream a(picture, fmCreate);
    a.WriteBuffer(red.data(), static_cast<std::int64_t>(red.size()));
    TFileStream b(broken, fmCreate);
    b.WriteBuffer("BMnot really", 12);
  }
  auto table = MemTexts();
  TImageVision image(nullptr);
  Open(&image, table.get(), "P");
  std::vector<TDialogRequest> asked;
  String answer;
  SetDialogResponder([&](TDialogRequest& request) {
    asked.push_back(request);
    request.File.FileName = answer;
    return answer.empty() ? mrCancel : mrOk;
  });
  const String cwd = GetCurrentDir();
  answer = broken;
  EXPECT_THROW(image.LoadImage(*edit), EInvalidGraphic);
  EXPECT_TRUE(edit->CurrentValue().IsNull()) << "a file that does not decode changes nothing";
  EXPECT_FALSE(edit->CurrentValue().Modified());
  answer = picture;
  image.LoadImage(*edit);
  EXPECT_EQ(Bytes(edit->CurrentValue().Data()), red) << "the file's own bytes";
  EXPECT_EQ(GetCurrentDir(), cwd);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1].Kind, TDialogKind::OpenFile);
  EXPECT_TRUE(asked[1].File.MustExist);
  EXPECT_EQ(asked[1].File.Filter, GraphicFilter());
  EXPECT_EQ(asked[1].File.DefaultExt, "bmp");
  EXPECT_EQ(asked[1].File.InitialDir, dir.string()) << "the folder of the last file loaded";

  const String saved = (dir / "copy.bmp").string();
  answer = saved;
  image.SaveImage(*edit);
  EXPECT_EQ(asked.back().Kind, TDialogKind::SaveFile);
  EXPECT_TRUE(asked.back().File.OverwritePrompt);
  EXPECT_EQ(ReadFileText(saved), red);
  answer = (dir / "missing" / "x.bmp").string();
  EXPECT_ANY_THROW(image.SaveImage(*edit)) << "a folder that does not exist: the host's error";
  answer.clear();
  image.LoadImage(*edit);  // cancelled
  EXPECT_EQ(Bytes(edit->CurrentValue().Data()), red);
  SetDialogResponder(nullptr);

  String caption;
  int clientWidth = 0;
  TIdleScript script({[&] {
    TForm* preview = Screen->ActiveForm();
    ASSERT_NE(preview, nullptr);
    caption = preview->Caption();
    clientWidth = preview->ClientWidth();
    PressKey(*h, preview, VK_ESCAPE);
  }});
  image.PreviewImage(*edit);
  EXPECT_EQ(caption, "Picture preview");
  EXPECT_GE(clientWidth, 5 + 2);
  std::filesystem::remove_all(dir);
}

TEST_F(BlobVisions, Markers) {
  ASSERT_NE(zvEnv, nullptr);
  for (int kind = 0; kind < 2; ++kind) {
    auto table = MemTexts();
    std::unique_ptr<TvpFieldVision> vision;
    if (kind == 0)
      vision = std::make_unique<TTextVision>(nullptr);
    else
      vision = std::make_unique<TPictureVision>(nullptr);
    const char* field = kind == 0 ? "M" : "P";
    Open(vision.get(), table.get(), field);
    auto draw = [&] {
      TBitmap target;
      target.SetSize(30, 20);
      target.Canvas()->Brush()->SetColor(clWhite);
      target.Canvas()->FillRect({0, 0, 30, 20});
      TfvPainter painter(true);
      TvpCellAttrs attrs;
      painter.Canvas = target.Canvas();
      painter.CellAttrs = &attrs;
      painter.CellRect = painter.ClientRect = {0, 0, 30, 20};
      vision->VM_DrawEdit(edit->Fields(), painter);
      EXPECT_FALSE(painter.DefaultDrawing);
      return target.ToPixels();
    };
    const TPixelBuffer empty = draw();
    Store(*table, field, kind == 0 ? String("text") : String("unreadable"));
    const TPixelBuffer present = draw();
    TBitmap white;
    white.SetSize(30, 20);
    white.Canvas()->Brush()->SetColor(clWhite);
    white.Canvas()->FillRect({0, 0, 30, 20});
    EXPECT_FALSE(present == white.ToPixels()) << "a marker for " << field;
    EXPECT_FALSE(present == empty) << "an empty value shows the marker greyed";
    form.reset();
  }
}

// ---- The blob picker ----------------------------------------------------------------------

class BlobPicker : public BlobVisions {
protected:
  using Step = std::function<void()>;
  void SetUp() override {
    BlobVisions::SetUp();
    StartDefaultPack();
    pack = zvDefPack;
  }
  // Opens the picker by the edit's button and runs steps inside its loop.
  void Run(std::vector<Step> steps) {
    const TRect b = edit->ButtonRect();
    steps.insert(steps.begin(), [this, b] { h->MouseUp(edit, b.Left + 2, b.Top + 2); });
    TIdleScript script(std::move(steps));
    h->MouseDown(edit, b.Left + 2, b.Top + 2);
    EXPECT_FALSE(script.GaveUp);
    EXPECT_EQ(edit->ToolForm(), nullptr) << "closed";
  }
  TWinControl* Button(const char* name) { return static_cast<TWinControl*>(pack->FindComponent(name)); }
  Step ClickOK() {
    return [this] { h->Click(Button("btnBlobPickerOK"), 5, 5); };
  }
  Step Key(Word key, char32_t c = 0) {
    return [this, key, c] { PressKey(*h, pack->vtfBlobPicker, key, c); };
  }
  Step TypeText(const char* text) {
    return [this, text] {
      TRichEdit* editor = pack->BlobPickerText();
      ASSERT_NE(editor, nullptr);
      editor->SetSelStart(static_cast<int>(editor->Text().size()));
      for (const char* c = text; *c; ++c) h->Char(editor, static_cast<char32_t>(*c));
    };
  }
  // The tool form's size as shown.
  TSize Shown() const { return {pack->vtfBlobPicker->Width(), pack->vtfBlobPicker->Height()}; }
  TzvDefPack* pack = nullptr;
};

TEST_F(BlobPicker, TextDropDown) {
  struct Case {
    const char* name;
    const char* field;
    TfvDropDownTextOptions options;
    bool readOnly;
    const char* typed;
    Word closeKey;  // 0: OK
    const char* posted;
  } const cases[] = {
      {"OK keeps LF breaks", "M", {}, false, "x", 0, "a\nbx"},
      {"escape posts", "M", {}, false, "y", VK_ESCAPE, "a\nby"},
      {"escape without auto post", "M", {dtoNoAutoPost}, false, "y", VK_ESCAPE, "a\nb"},
      // The editor counts the break as two of the field's 30 characters.
      {"field size cuts typing", "S", {}, false, "0123456789012345678901234567890123", 0,
       "a\nb01234567890123456789012345"},
      {"read-only", "M", {}, true, "z", VK_ESCAPE, "a\nb"},
  };
  for (const Case& c : cases) {
    for (auto make : {&MemTexts, &SqliteTexts}) {
      auto table = make();
      Store(*table, c.field, "a\nb");
      TTextVision vision(nullptr);
      vision.SetDropDownOptionsEx(c.options);
      vision.SetReadOnly(c.readOnly);
      Open(&vision, table.get(), c.field);
      bool okEnabledAtStart = true, readOnly = false;
      Run({[&] {
             okEnabledAtStart = Button("btnBlobPickerOK")->Enabled();
             readOnly = pack->BlobPickerText()->ReadOnly();
             EXPECT_EQ(pack->BlobPickerText()->Text(), "a\r\nb") << c.name;
           },
           TypeText(c.typed), c.closeKey ? Key(c.closeKey) : ClickOK()});
      EXPECT_FALSE(okEnabledAtStart) << c.name;
      EXPECT_EQ(readOnly, c.readOnly) << c.name;
      if (table->State() != dsBrowse) table->Post();
      EXPECT_EQ(table->FieldByName(c.field)->AsString(), c.posted) << c.name << " " << table->ClassType()->ClassName();
      form.reset();
    }
  }
}

TEST_F(BlobPicker, TextDropDownSizesAndOptions) {
  for (bool noSizing : {false, true}) {
    auto table = MemTexts();
    TTextVision vision(nullptr);
    vision.SetDropDownOptionsEx(noSizing ? TfvDropDownTextOptions{dtoNoSizing, dtoNoWordWrap}
                                         : TfvDropDownTextOptions{});
    Open(&vision, table.get(), "M");
    Run({[&] {
           EXPECT_EQ(pack->BlobPickerText()->WordWrap(), !noSizing);
           EXPECT_EQ(pack->vtfBlobPicker->Options().Contains(tfoFixedWidth), noSizing);
           pack->vtfBlobPicker->Popup()->SetBounds(0, 0, 260, 140);  // the user's size
         },
         Key(VK_ESCAPE)});
    if (noSizing) {
      EXPECT_EQ(vision.DropDownWidth(), 0);
      form.reset();
      continue;
    }
    EXPECT_EQ(vision.DropDownWidth(), 256) << "the pop-up less its frame";
    EXPECT_EQ(vision.DropDownHeight(), 136);
    TSize reopened;
    Run({[&] { reopened = Shown(); }, Key(VK_ESCAPE)});
    EXPECT_EQ(reopened.cx, 256) << "the size the user left";
    EXPECT_EQ(reopened.cy, 136);
    EXPECT_EQ(vision.DropDownWidth(), 256) << "an unchanged size is kept";
    form.reset();
  }
}

TEST_F(BlobPicker, PictureDropDown) {
  const String small = BmpFile(20, 10, clRed);
  const String broken = "broken picture bytes";
  // Auto size: as wide as the OK/Cancel panel, as high as it plus the button row.
  for (const String& stored : {small, broken}) {
    auto table = MemTexts();
    Store(*table, "P", stored);
    TPictureVision vision(nullptr);
    Open(&vision, table.get(), "P");
    TSize size;
    bool okEnabled = true;
    Run({[&] {
           size = Shown();
           okEnabled = Button("btnBlobPickerOK")->Enabled();
         },
         Key(VK_ESCAPE)});
    EXPECT_EQ(size.cx, 136);
    EXPECT_EQ(size.cy, 30 + 32);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(table->FieldByName("P")->AsString(), stored) << "an unchanged picture posts nothing new";
    form.reset();
  }
  {
    auto table = MemTexts();
    Store(*table, "P", small);
    TPictureVision vision(nullptr);
    vision.SetDropDownOptionsEx({dpoNoAutoSize});
    vision.SetDropDownWidth(200);
    Open(&vision, table.get(), "P");
    TSize size;
    Run({[&] { size = Shown(); }, Key(VK_ESCAPE)});
    EXPECT_EQ(size.cx, 200);
    form.reset();
  }
  // Paste from the menu, then OK: the clipboard's picture is stored as a BMP file.
  auto table = MemTexts();
  Store(*table, "P", broken);
  TPictureVision vision(nullptr);
  Open(&vision, table.get(), "P");
  TBitmap blue;
  blue.SetSize(3, 3);
  blue.Canvas()->Brush()->SetColor(clBlue);
  blue.Canvas()->FillRect({0, 0, 3, 3});
  Clipboard()->Assign(&blue);
  String menuStates;
  Run({[&] {
         TPopupMenu* menu = pack->PictureContextMenu;
         menu->OnPopup(menu);
         for (int i = 0; i < menu->Items()->Count(); ++i) {
           TMenuItem* item = menu->Items()->Items(i);
           menuStates += item->Caption() == "-" ? '.' : item->Enabled() ? 'E' : 'd';
         }
         menu->Items()->Items(2)->OnClick(menu->Items()->Items(2));
         EXPECT_TRUE(Button("btnBlobPickerOK")->Enabled());
         EXPECT_EQ(pack->BlobPickerImage()->Picture()->Width(), 3);
       },
       ClickOK()});
  EXPECT_EQ(menuStates, "ddEE.Ed.d") << "broken bytes: cleared or replaced, never copied";
  if (table->State() != dsBrowse) table->Post();
  std::unique_ptr<TBitmap> stored = DecodePicture(BytesOfString(table->FieldByName("P")->AsString()));
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->Width(), 3);
}

}  // namespace
}  // namespace zvtest
