// Two calendars painted by Qt off-screen, compared pixel for pixel with golden PNGs: an English
// one (3D border, a chosen day, today, a minimum inside the page, Today and Clear) and a Russian
// one (Monday first, soft border, no chosen date, no Today button).

#include "QtDriver.h"
#include "HarnessTest.h"

#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtWindowBackend.h"
#include "platform/rtl/FormatSettings.h"
#include "runtime/ctl/Calendar.h"
#include "runtime/rtm/InputRoutines.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zvtest {
namespace {

using namespace zv;

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class CalendarGolden : public THarnessTest {
protected:
  CalendarGolden() : THarnessTest(MakeQtDriver) {}
  void SetUp() override {
    THarnessTest::SetUp();
    saved = FormatSettings();
    savedFirstDay = GetFirstDayOfWeek();
    PinClock(EncodeDate(2003, 3, 12));
  }
  void TearDown() override {
    delete cal;
    FormatSettings() = saved;
    SetFirstDayOfWeek(savedFirstDay);
    SetClockSource(nullptr);
    THarnessTest::TearDown();
  }

  TPixelBuffer Render() {
    TWinControl* form = h->TopLevel(0, 0, 200, 200, clWhite);
    cal->SetParent(form);
    cal->SetLeft(0);
    cal->SetTop(0);
    h->Pump();
    cal->Repaint();
    h->Pump();
    TPoint origin;
    TPaintDevice* surface = RetainedSurfaceOf(cal->Handle(), &origin);
    EXPECT_NE(surface, nullptr);
    if (!surface) return {};
    return surface->ReadPixels(TRect{origin.X, origin.Y, origin.X + cal->ClientRect().Right, origin.Y + cal->ClientRect().Bottom});
  }

  void Compare(const TPixelBuffer& actual, const std::string& name) {
    const std::string golden = std::string(ZV_CTL_GOLDEN_DIR) + "/" + name + ".png";
    if (std::getenv("ZV_UPDATE_GOLDENS")) {
      WriteFile(golden, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
      return;
    }
    const std::string actualPath = std::string(ZV_CTL_ACTUAL_DIR) + "/" + name + ".actual.png";
    std::ifstream in(golden, std::ios::binary);
    if (!in) {
      WriteFile(actualPath, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
      FAIL() << "no golden " << golden << "; the picture is in " << actualPath << " (ZV_UPDATE_GOLDENS=1 makes it)";
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const TPixelBuffer expected = GraphicsBackend().DecodeImage(bytes, TImageFormat::Png);
    if (expected == actual) return;
    TPixelBuffer diff(actual.Width(), actual.Height());
    int differing = 0;
    for (int y = 0; y < actual.Height(); ++y)
      for (int x = 0; x < actual.Width(); ++x) {
        const bool same = x < expected.Width() && y < expected.Height() && expected.At(x, y) == actual.At(x, y);
        differing += same ? 0 : 1;
        diff.Set(x, y, same ? ((expected.At(x, y) >> 2) & 0x003F3F3Fu) | 0xFF000000u : 0xFFFF0000u);
      }
    WriteFile(actualPath, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
    WriteFile(std::string(ZV_CTL_ACTUAL_DIR) + "/" + name + ".diff.png", GraphicsBackend().EncodeImage(diff, TImageFormat::Png));
    ADD_FAILURE() << name << ": " << differing << " pixels differ; see " << actualPath;
  }

  TDevidCalendar* cal = nullptr;
  TFormatSettings saved;
  int savedFirstDay = 1;
};

TEST_F(CalendarGolden, English) {
  cal = new TDevidCalendar(nullptr);
  cal->SetShowClearButton(true);
  cal->SetMinDate(TDate(EncodeDate(2003, 3, 5).Value));
  cal->SetDate(TDate(EncodeDate(2003, 3, 20).Value));
  Compare(Render(), "calendar-english");
}

TEST_F(CalendarGolden, Russian) {
  TFormatSettings& fs = FormatSettings();
  fs.LongMonthStandAloneNames = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                 "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
  fs.ShortDayNames = {"вс", "пн", "вт", "ср", "чт", "пт", "сб"};
  SetFirstDayOfWeek(2);
  cal = new TDevidCalendar(nullptr);
  cal->SetBorderStyle(bsSoft);
  cal->SetShowTodayButton(false);
  cal->SetShowClearButton(true);
  cal->SetDate(TDate(EncodeDate(2003, 3, 20).Value));
  cal->SetNullDate(true);
  Compare(Render(), "calendar-russian");
}

}  // namespace
}  // namespace zvtest

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  zv::qt::TGuiSession session(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
