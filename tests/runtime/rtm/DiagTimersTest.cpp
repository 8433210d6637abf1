// The diagnostic timers on the headless clock, and the window _PrintToScreen shows text on.

#include "runtime/rtm/DiagTimers.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

#include "platform/controls/Form.h"

namespace zvtest {
namespace {

class DiagTimers : public THarnessTest {
protected:
  void TearDown() override {
    // The print window belongs to the application; free it before this test's backend goes.
    for (int i = Screen->FormCount() - 1; i >= 0; --i) delete Screen->Forms(i);
    THarnessTest::TearDown();
  }
};

TEST_F(DiagTimers, SlotsMeasureInTurnAndNeverOverflow) {
  _time = 0;
  const unsigned waits[] = {0, 5, 250, 1};
  for (unsigned ms : waits) {
    _StartTime();
    driver->Wait(ms);
    EXPECT_EQ(_StopTime(), static_cast<std::int32_t>(ms));
  }
  EXPECT_EQ(_time, 4);
  for (std::size_t i = 0; i < std::size(waits); ++i) EXPECT_EQ(_times[i], static_cast<std::int32_t>(waits[i]));

  _time = _max_time - 1;
  _StartTime();
  driver->Wait(3);
  EXPECT_EQ(_StopTime(), 3);
  EXPECT_EQ(_time, _max_time);
  const std::int32_t last = _times[_max_time - 1];
  EXPECT_THROW(_StartTime(), ERangeError);
  EXPECT_THROW(_StopTime(), ERangeError);
  EXPECT_EQ(_time, _max_time);
  EXPECT_EQ(_times[_max_time - 1], last);
  _time = 0;
}

TEST_F(DiagTimers, PrintToScreenShowsTextOnATopMostWindowOfItsOwn) {
  const int forms = Screen->FormCount();
  _PrintToScreen("elapsed: 12 ms");
  ASSERT_EQ(Screen->FormCount(), forms + 1);
  TCustomForm* window = Screen->Forms(Screen->FormCount() - 1);
  EXPECT_TRUE(window->Visible());
  EXPECT_FALSE(window->Active());  // never takes the focus
  EXPECT_EQ(window->FormStyle(), fsStayOnTop);
  EXPECT_EQ(window->BorderStyle(), bsNone);
  EXPECT_EQ(window->Left(), 0);
  EXPECT_EQ(window->Top(), 0);
  EXPECT_GT(window->Width(), 0);
  const int oneLine = window->Height();

  // A longer text: the same window, as large as the text needs within 1024 x 768.
  String many;
  for (int i = 0; i < 400; ++i) many += "line " + std::to_string(i) + "\n";
  _PrintToScreen(many);
  EXPECT_EQ(Screen->FormCount(), forms + 1);
  EXPECT_GT(window->Height(), oneLine);
  EXPECT_LE(window->Height(), 768);
  EXPECT_LE(window->Width(), 1024);
  _PrintToScreen(String(3000, 'x'));
  EXPECT_LE(window->Width(), 1024);
}

}  // namespace
}  // namespace zvtest
