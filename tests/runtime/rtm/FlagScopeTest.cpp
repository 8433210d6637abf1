// The one flag bracket: the value set for a scope and put back on every way out.
#include "runtime/rtm/FlagScope.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using zv::TFlagScope;

TEST(FlagScope, PutsTheValueBackOnEveryWayOut) {
  struct Case {
    const char* name;
    bool before, value;
    int after;  // -1: the old value comes back
    bool raise;
    bool want;
  } cases[] = {
      {"set, left normally", false, true, -1, false, false},
      {"set, left by an exception", false, true, -1, true, false},
      {"already set stays set", true, true, -1, true, true},
      {"cleared for the scope", true, false, -1, false, true},
      {"always ends cleared, even entered set", true, true, 0, false, false},
      {"always ends cleared, on an exception too", true, true, 0, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool flag = c.before;
    try {
      auto body = [&](TFlagScope<>& scope) {
        EXPECT_EQ(flag, c.value);
        (void)scope;
        if (c.raise) throw std::runtime_error("x");
      };
      if (c.after < 0) {
        TFlagScope scope(flag, c.value);
        body(scope);
      } else {
        TFlagScope scope(flag, c.value, c.after != 0);
        body(scope);
      }
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(flag, c.want);
  }
}

TEST(FlagScope, NestsAndHoldsOtherValues) {
  bool flag = false;
  {
    TFlagScope outer(flag);
    {
      TFlagScope inner(flag);
      EXPECT_TRUE(flag);
    }
    EXPECT_TRUE(flag) << "the inner scope gives back the outer's value";
  }
  EXPECT_FALSE(flag);
  int a = 1, b = 2;
  int* p = &a;
  {
    TFlagScope<int*> suspended(p, &b);
    EXPECT_EQ(p, &b);
  }
  EXPECT_EQ(p, &a);
}

}  // namespace
