#pragma once
// The message of the exception of class E that f raises, or a marker when it raises none, so
// that a test compares the whole text in one expectation.

#include <string>

namespace zvtest {

template <class E, class F>
std::string MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return "<no exception>";
}

}  // namespace zvtest
