// The calculator drop-down in use through the pack's Calculator vision on the float field of the
// numeric suites' table: opened by the edit's button, driven by keys as a keyboard sends them
// (key down, character, key up) and by clicks on its keys.
#include "tests/runtime/std/NumericVisionFixture.h"

#include "platform/controls/Application.h"
#include "platform/controls/Panel.h"
#include "platform/controls/SpeedButton.h"
#include "platform/controls/WindowBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"

#include "IdleScript.h"

#include <random>
#include <set>

namespace zvtest {
namespace {

class CalculatorInUse : public NumericFixture {
protected:
  using Step = std::function<void()>;
  void SetUp() override {
    NumericFixture::SetUp();
    vision = dynamic_cast<TNumericVision*>(pack->FindComponent("Calculator"));
    ASSERT_NE(vision, nullptr);
    Open(vision, "F");
    Application->OnException = [this](TObject*, const Exception& e) { escaped.push_back(e.Message()); };
  }
  void TearDown() override {
    Application->OnException = nullptr;
    NumericFixture::TearDown();
  }
  // Opens the calculator by the edit's button on text and runs steps inside its loop.
  void Run(const String& text, std::vector<Step> steps) {
    edit->SetFocus();
    h->Pump();
    edit->SetDataText(text, true);
    // The pop-up opens on the press of the button; the release is the user's first act in it.
    const TRect b = edit->ButtonRect();
    steps.insert(steps.begin(), [this, b] { h->MouseUp(edit, b.Left + 2, b.Top + 2); });
    TIdleScript script(std::move(steps));
    h->MouseDown(edit, b.Left + 2, b.Top + 2);
    EXPECT_FALSE(script.GaveUp);
    EXPECT_EQ(edit->ToolForm(), nullptr) << "closed";
  }
  TSpeedButton* Key(TvpCalcButton key) { return pack->CalcButton(key); }
  Step Click(TvpCalcButton key) {
    return [this, key] { h->Click(Key(key), 5, 5); };
  }
  // A key as the keyboard sends it, with the character it makes.
  Step Type(Word key, char32_t c = 0) {
    return [this, key, c] { PressKey(*h, pack->vtfCalculator, key, c); };
  }
  Step Char(char32_t c) {
    return [this, c] { h->Char(pack->vtfCalculator, c); };
  }
  Step Held() {
    return [this] { h->Wait(TzvDefPack::CalcPressTime); };
  }
  Step Expect(const String& text) {
    return [this, text] { EXPECT_EQ(edit->Text(), text); };
  }
  double F() const { return table->FieldByName("F")->AsFloat(); }

  TNumericVision* vision = nullptr;
  std::vector<String> escaped;
};

TEST_F(CalculatorInUse, TypedAndClickedSequencesAndTheEnterRule) {
  // Typed: no digit counts twice, Enter presses "=" and then accepts.
  Run("", {Type('1', U'1'), Held(), Expect("1"), Type('2', U'2'), Held(), Expect("12"), Type(VK_ADD, U'+'), Held(),
           Type(VK_NUMPAD0 + 3, U'3'), Held(), Expect("3"), Type(VK_RETURN, U'\r'), Held(), Expect("15"),
           Type(VK_RETURN, U'\r')});
  EXPECT_EQ(F(), 15);
  // A character arriving after its key was handled is not typed again.
  Run("", {[this] { h->KeyDown(pack->vtfCalculator, '4'); }, Held(), Char(U'4'), Expect("4"),
           [this] { h->KeyUp(pack->vtfCalculator, '4'); }, Type(VK_ESCAPE)});
  EXPECT_EQ(F(), 15) << "Escape posts nothing";
  // Clicked 5 + 3 =, then Enter posts 8: the click was the last key.
  Run("", {Click(cbtnFive), Click(cbtnPlus), Click(cbtnThree), Click(cbtnEqu), Expect("8"), Type(VK_RETURN, U'\r')});
  EXPECT_EQ(F(), 8);
  // A typed "=" counts the same.
  Run("6", {Char(U'*'), Held(), Type('7', U'7'), Held(), Char(U'='), Held(), Expect("42"), Type(VK_RETURN, U'\r')});
  EXPECT_EQ(F(), 42);
  // A key shows pressed for its moment, then clicks.
  Run("", {Type('9', U'9'),
           [this] {
             EXPECT_EQ(Key(cbtnNine)->State(), bsDown);
             EXPECT_EQ(edit->Text(), "");
           },
           Held(),
           [this] {
             EXPECT_EQ(Key(cbtnNine)->State(), bsUp);
             EXPECT_EQ(edit->Text(), "9");
           },
           Type(VK_ESCAPE)});
  EXPECT_TRUE(escaped.empty()) << escaped.front();
}

// The grid's in-place editor opens it by Alt+Down; Enter after "=" posts into the cell.
TEST_F(CalculatorInUse, InTheGridsInplaceEditor) {
  auto* grid = new TDBDivoRud(form.get());
  grid->SetBounds(10, 60, 380, 120);
  grid->SetParent(form.get());
  grid->Columns()->Add()->SetFieldName("F");
  grid->Columns()->Items(0)->SetVision(vision);
  grid->SetDataSource(source.get());
  grid->SetFocus();
  h->KeyDown(grid, VK_F1 + 1);
  TDBDevidEdit* inplace = grid->InplaceEditor();
  ASSERT_TRUE(inplace && inplace->Visible());
  inplace->SetDataText("20", true);
  TIdleScript script({Type(VK_DIVIDE, U'/'), Held(), Type('8', U'8'), Held(), Type(VK_RETURN, U'\r'), Held(),
                      [&] { EXPECT_EQ(inplace->Text(), "2.5"); }, Type(VK_RETURN, U'\r')});
  h->KeyDown(inplace, VK_DOWN, {ssAlt});
  EXPECT_FALSE(script.GaveUp);
  EXPECT_EQ(script.StepsRun(), 8u);
  EXPECT_EQ(F(), 2.5);
  EXPECT_TRUE(escaped.empty()) << escaped.front();
}

TEST_F(CalculatorInUse, ErrorsRestoreTheOpeningTextOnEitherClose) {
  // Escape and a press outside post nothing; Enter posts the text restored.
  const std::tuple<const char*, Step, double> closes[] = {
      {"Escape", Type(VK_ESCAPE), 1234.5},
      {"a press outside", [this] { h->MouseDown(form.get(), 300, 250); }, 1234.5},
      {"Enter", Type(VK_RETURN, U'\r'), 8},
  };
  for (const auto& [name, close, stored] : closes) {
    SCOPED_TRACE(name);
    Run("8", {Click(cbtnDiv), Click(cbtnZero), Click(cbtnEqu),
              [this] {
                EXPECT_EQ(edit->Text(), "Error");
                EXPECT_EQ(edit->SelLength(), 0);
              },
              close});
    h->MouseUp(form.get(), 300, 250);
    EXPECT_EQ(edit->Text(), "8");
    EXPECT_EQ(F(), stored);
  }
  // A key still held when the pop-up closes does not reach the editor afterwards.
  Run("8", {Click(cbtnDiv), Click(cbtnZero), Click(cbtnEqu), Type('5', U'5'), Type(VK_ESCAPE), Held(), Held()});
  EXPECT_EQ(edit->Text(), "8");
  Run("7", {Type('5', U'5'), Type(VK_ESCAPE), Held(), Held()});
  EXPECT_EQ(edit->Text(), "7");
  // Text that is no number: the host's conversion error and no pop-up.
  Run("1,5", {});
  ASSERT_EQ(escaped.size(), 1u);
  EXPECT_EQ(escaped[0], Format(SInvalidFloat, {"1,5"}));
  EXPECT_EQ(edit->Text(), "1,5");
}

TEST_F(CalculatorInUse, MemoryAtOnceAndAcrossOpenings) {
  Run("15", {[this] { EXPECT_FALSE(Key(cbtnMR)->Enabled()); }, Click(cbtnMS),
             [this] {
               EXPECT_TRUE(Key(cbtnMR)->Enabled());
               EXPECT_TRUE(Key(cbtnMC)->Enabled());
               EXPECT_EQ(pack->pnCalcMemory->Caption(), " 15");
             },
             Type(VK_ADD, U'+'), Held(), Click(cbtnMR), Expect("15"), Click(cbtnEqu), Expect("30"), Click(cbtnMPlus),
             [this] { EXPECT_EQ(pack->pnCalcMemory->Caption(), " 45"); }, Type(VK_ESCAPE)});
  Run("1", {[this] { EXPECT_TRUE(Key(cbtnMR)->Enabled()) << "kept between openings"; }, Click(cbtnMR), Expect("45"),
            Click(cbtnMC),
            [this] {
              EXPECT_FALSE(Key(cbtnMR)->Enabled());
              EXPECT_EQ(pack->pnCalcMemory->Caption(), " ");
            },
            Type(VK_RETURN, U'\r'), Held(), Type(VK_RETURN, U'\r')});
  EXPECT_EQ(F(), 45);
}

TEST_F(CalculatorInUse, CaptionsColoursAndPaintedFrames) {
  const std::set<int> maroon{cbtnBS, cbtnCE, cbtnC}, red{cbtnMC, cbtnMR, cbtnMS, cbtnMPlus, cbtnDiv,
                                                         cbtnMult, cbtnMinus, cbtnPlus, cbtnEqu},
                      navy{cbtnSqrt, cbtnPerc, cbtn1DivX};
  // In the engine's key order; the square root key has a glyph instead.
  const char* const captions[] = {"0", "1", "2",   "3",  "4",  "5",  "6",  "7",  "8",  "9",  ".", "+/-", "+", "-",
                                  "*", "/", "=",   "%",  "1/x", "",  "MS", "M+", "MR", "MC", "C", "CE",  "BS"};
  static_assert(std::size(captions) == cbtnBS + 1);
  Run("2", {[&] {
              for (int k = cbtnZero; k <= cbtnBS; ++k) {
                TSpeedButton* b = Key(static_cast<TvpCalcButton>(k));
                ASSERT_NE(b, nullptr) << k;
                EXPECT_EQ(b->Caption(), captions[k]) << b->Name();
                const TColor want = maroon.count(k) ? clMaroon : red.count(k) ? clRed : navy.count(k) ? clNavy : clBlue;
                EXPECT_EQ(b->Font()->Color(), want) << b->Name();
                EXPECT_EQ(b->Font()->Name(), pack->vtfCalculator->Font()->Name()) << b->Name();
              }
              // Each key's soft frame reaches one pixel further left than the key.
              TPoint origin;
              TNullSurface* surface = AsNullSurface(RetainedSurfaceOf(pack->vtfCalculator->Handle(), &origin));
              ASSERT_NE(surface, nullptr);
              std::set<std::pair<int, int>> framed;
              for (const TPaintOp& op : surface->OpsOf(TPaintOpKind::DrawEdge))
                if (op.Flags == BF_LEFT) framed.insert({op.Rect.Left - origin.X, op.Rect.Top - origin.Y});
              for (int k = cbtnZero; k <= cbtnBS; ++k) {
                const TRect r = Key(static_cast<TvpCalcButton>(k))->BoundsRect();
                EXPECT_TRUE(framed.count({r.Left - 1, r.Top})) << Key(static_cast<TvpCalcButton>(k))->Name();
              }
            },
            Type(VK_ESCAPE)});
}

TEST_F(CalculatorInUse, CommaAsDecimalSeparator) {
  TLocaleScope locale(",", ".");
  Run("", {[this] { EXPECT_EQ(Key(cbtnPoint)->Caption(), ","); }, Type('1', U'1'), Held(), Char(U','), Held(),
           Type('5', U'5'), Held(), Expect("1,5"), Type(VK_ADD, U'+'), Held(), Type('2', U'2'), Held(),
           Type(VK_DECIMAL, U','), Held(), Type(VK_NUMPAD0 + 5, U'5'), Held(), Expect("2,5"), Click(cbtnMS),
           [this] { EXPECT_EQ(pack->pnCalcMemory->Caption(), " 2,5"); }, Click(cbtnMC), Type(VK_RETURN, U'\r'),
           Held(), Expect("4"), Click(cbtnDiv), Click(cbtnEight), Click(cbtnEqu), Expect("0,5"),
           Type(VK_RETURN, U'\r')});
  EXPECT_EQ(F(), 0.5);
  EXPECT_TRUE(escaped.empty());
}

// Random keys, typed and clicked: nothing escapes, and the editor always shows the engine's
// display or the error prompt; closing restores (after an error) or keeps the display.
TEST_F(CalculatorInUse, RandomKeysKeepTheEditorOnTheEngine) {
  std::mt19937 random(20261209);
  const Word keys[] = {'0', '1', '5', '9', VK_NUMPAD0 + 7, VK_DECIMAL, VK_ADD, VK_SUBTRACT, VK_MULTIPLY, VK_DIVIDE,
                       VK_BACK, VK_DELETE};
  const char32_t chars[] = {U'*', U'+', U'-', U'/', U'=', U'.'};
  TvpCalcEngine* engine = pack->CalcEngine();
  for (int round = 0; round < 4; ++round) {
    std::vector<Step> steps;
    int checks = 0;
    for (int i = 0; i < 150; ++i) {
      switch (random() % 3) {
        case 0: {
          const Word key = keys[random() % std::size(keys)];
          steps.push_back([this, key] { h->KeyDown(pack->vtfCalculator, key); });
          steps.push_back(Held());
          steps.push_back([this, key] { h->KeyUp(pack->vtfCalculator, key); });
          break;
        }
        case 1:
          steps.push_back(Char(chars[random() % std::size(chars)]));
          steps.push_back(Held());
          break;
        default: steps.push_back(Click(static_cast<TvpCalcButton>(random() % (cbtnBS + 1)))); break;
      }
      steps.push_back([this, engine, &checks] {
        ++checks;
        const String shown = edit->Text();
        if (engine->IsErrorState()) EXPECT_EQ(shown, "Error");
        else EXPECT_EQ(shown, engine->DisplayText());
      });
    }
    steps.push_back(Type(VK_ESCAPE));
    Run("3", std::move(steps));
    EXPECT_EQ(checks, 150);
    EXPECT_EQ(edit->Text(), engine->IsErrorState() ? String("3") : engine->DisplayText());
    EXPECT_EQ(F(), 1234.5);
  }
  EXPECT_TRUE(escaped.empty()) << escaped.front();
}

}  // namespace
}  // namespace zvtest
