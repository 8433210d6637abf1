// Linked into every test program. A suite whose SetUpTestSuite throws or fails has its tests
// reported as skipped, and ctest counts a skip as no failure: the suite would never run and
// nobody would hear of it. This listener ends the program with a failure instead, before the
// first of those tests is reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

class TSuiteSetUpGuard : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& test) override {
    const testing::TestSuite* suite = testing::UnitTest::GetInstance()->current_test_suite();
    if (suite == nullptr || !suite->ad_hoc_test_result().Failed()) return;
    std::fprintf(stderr, "The set-up of %s failed: its tests cannot run.\n", test.test_suite_name());
    std::fflush(nullptr);
    std::_Exit(1);
  }
};

const bool gGuardAppended = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new TSuiteSetUpGuard);
  return true;
}();

}  // namespace
