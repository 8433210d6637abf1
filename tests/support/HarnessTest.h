#pragma once
// Test fixtures with a harness: THarnessTest on the driver that MakeDriver returns (the
// headless one unless given another), TBehaviourTest on the driver a behaviour suite is
// instantiated with (see ControlBehaviour.h).

#include "ControlHarness.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace zvtest {

class THarnessTest : public ::testing::Test {
protected:
  explicit THarnessTest(std::function<std::unique_ptr<TControlDriver>()> makeDriver = MakeNullDriver)
      : fMakeDriver(std::move(makeDriver)) {}
  void SetUp() override {
    driver = fMakeDriver();
    h = std::make_unique<THarness>(*driver);
  }
  void TearDown() override {
    h.reset();
    driver.reset();
  }
  std::unique_ptr<TControlDriver> driver;
  std::unique_ptr<THarness> h;

private:
  std::function<std::unique_ptr<TControlDriver>()> fMakeDriver;
};

// A behaviour suite's fixture: the harness on the suite's driver; the application's hooks a
// test set are cleared afterwards.
class TBehaviourTest : public ::testing::TestWithParam<TDriverFactory> {
protected:
  void SetUp() override {
    driver = GetParam().Make();
    h = std::make_unique<THarness>(*driver);
  }
  void TearDown() override {
    Application->OnException = nullptr;
    Application->OnIdle = nullptr;
    h.reset();
    driver.reset();
  }
  std::unique_ptr<TControlDriver> driver;
  std::unique_ptr<THarness> h;
};

}  // namespace zvtest
