// The drop-down panel on the headless backend: the behaviour suite, keys typed into the window
// the null backend holds active.
#include "ToolFormBehaviour.h"

#include "platform/null/NullWindowBackend.h"

namespace zvtest {

TNativeWindow BackendActiveWindow() { return ActiveNullWindowBackend()->ActiveWindow(); }

INSTANTIATE_TEST_SUITE_P(Null, ToolFormBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

}  // namespace zvtest
