#pragma once
// A test fixture with a harness on the driver that MakeDriver returns (the headless one unless
// given another).

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

}  // namespace zvtest
