// Modules: initialization in use order, finalization in reverse, and what a bad module list or a
// failing step does.

#include "platform/classes/Modules.h"

#include "ExpectMessage.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace zv;
using zvtest::MessageOf;

namespace {

using TTrace = std::vector<String>;

// A module whose steps write "+name" / "-name" to trace; failInit makes its initialization raise.
TModuleInfo Traced(TTrace& trace, String name, std::vector<String> uses = {}, bool failInit = false) {
  return {.Name = name,
          .Uses = std::move(uses),
          .Initialization =
              [&trace, name, failInit] {
                if (failInit) throw std::runtime_error("cannot start " + name);
                trace.push_back("+" + name);
              },
          .Finalization = [&trace, name] { trace.push_back("-" + name); }};
}

TEST(Modules, InitializeUsedModulesFirstThenInAddedOrderAndFinalizeInReverse) {
  TTrace trace;
  TModuleList modules;
  // Added in an order a static-library link may well give: users before what they use.
  modules.Add(Traced(trace, "package", {"controls", "DB"}));
  modules.Add(Traced(trace, "controls", {"graphics"}));
  modules.Add(Traced(trace, "db"));
  modules.Add(Traced(trace, "graphics"));
  modules.Add(Traced(trace, "tools"));
  modules.Initialize();
  EXPECT_EQ(trace, (TTrace{"+graphics", "+controls", "+db", "+package", "+tools"}));
  EXPECT_EQ(modules.InitializationOrder(), (TTrace{"graphics", "controls", "db", "package", "tools"}));
  EXPECT_TRUE(modules.Initialized("PACKAGE"));

  // Initializing again runs only what was added since.
  modules.Add(Traced(trace, "late", {"package"}));
  modules.Add(Traced(trace, "Graphics"));  // the same module from a second copy of its library
  trace.clear();
  modules.Initialize();
  EXPECT_EQ(trace, (TTrace{"+late"}));

  trace.clear();
  modules.Finalize();
  EXPECT_EQ(trace, (TTrace{"-late", "-tools", "-package", "-db", "-controls", "-graphics"}));
  EXPECT_FALSE(modules.Initialized("graphics"));
  trace.clear();
  modules.Finalize();
  EXPECT_TRUE(trace.empty());
}

TEST(Modules, AModuleListThatCannotBeOrderedRunsNothing) {
  struct TCase {
    std::vector<std::pair<String, std::vector<String>>> Modules;
    String Message;
  };
  const TCase cases[] = {
      {{{"a", {}}, {"b", {"missing"}}}, "Module b uses missing, which is not linked in"},
      {{{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}}, "Modules use each other in a cycle through a"},
      {{{"self", {"self"}}}, "Modules use each other in a cycle through self"},
  };
  for (const TCase& c : cases) {
    TTrace trace;
    TModuleList modules;
    for (const auto& [name, uses] : c.Modules) modules.Add(Traced(trace, name, uses));
    EXPECT_EQ(MessageOf<EModuleError>([&] { modules.Initialize(); }), c.Message);
    EXPECT_TRUE(trace.empty()) << c.Message;
    EXPECT_TRUE(modules.InitializationOrder().empty());
  }
  TModuleList modules;
  EXPECT_EQ(MessageOf<EModuleError>([&] { modules.Add({}); }), "A module needs a name");
}

TEST(Modules, AFailingInitializationUndoesOnlyWhatThatCallStarted) {
  TTrace trace;
  TModuleList modules;
  modules.Add(Traced(trace, "base"));
  modules.Initialize();
  modules.Add(Traced(trace, "first", {"base"}));
  modules.Add(Traced(trace, "broken", {"first"}, true));
  modules.Add(Traced(trace, "after"));
  trace.clear();
  EXPECT_THROW(modules.Initialize(), std::runtime_error);
  EXPECT_EQ(trace, (TTrace{"+first", "-first"}));
  EXPECT_EQ(modules.InitializationOrder(), (TTrace{"base"}));
}

TEST(Modules, EveryFinalizationRunsAndTheFirstFailureIsPassedOn) {
  TTrace trace;
  TModuleList modules;
  modules.Add(Traced(trace, "a"));
  modules.Add({.Name = "b", .Finalization = [] { throw std::runtime_error("b failed"); }});
  modules.Add({.Name = "c", .Finalization = [] { throw std::logic_error("c failed"); }});
  modules.Initialize();
  EXPECT_THROW(modules.Finalize(), std::logic_error);
  EXPECT_EQ(trace, (TTrace{"+a", "-a"}));
  EXPECT_TRUE(modules.InitializationOrder().empty());
}

class TRegisteredByModule : public TObject {
  ZV_CLASS(TRegisteredByModule, TObject)
};
ZV_DEFINE_CLASS(TRegisteredByModule, TObject)

TEST(Modules, ALinkedModuleRegistersItsClassesForAsLongAsItIsInitialized) {
  TModuleList modules;
  modules.Add({.Name = "unit",
               .Initialization = [] { RegisterClasses({TRegisteredByModule::StaticClass()}); },
               .Finalization = [] { UnRegisterClasses({TRegisteredByModule::StaticClass()}); }});
  EXPECT_EQ(GetClass("TRegisteredByModule"), nullptr);
  modules.Initialize();
  EXPECT_EQ(GetClass("TRegisteredByModule"), TRegisteredByModule::StaticClass());
  modules.Finalize();
  EXPECT_EQ(GetClass("TRegisteredByModule"), nullptr);
}

}  // namespace
