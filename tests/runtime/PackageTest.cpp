// The runtime package as a program loads it: its module starts after the host modules it is
// built on and stops before them.

#include "runtime/Package.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/StdDesigners.h"

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zvtest {

using namespace zv;

namespace {

std::ptrdiff_t Position(const std::vector<String>& order, const String& name) {
  return std::find(order.begin(), order.end(), name) - order.begin();
}

TEST(Package, StartsAfterTheHostModulesItUsesAndStopsFirst) {
  // Backends first, as a program sets them up before its modules start.
  SetGraphicsBackend(CreateNullBackend());
  SetWindowBackend(CreateNullWindowBackend());
  Application->Initialize();
  const std::vector<String> order = Modules().InitializationOrder();
  ASSERT_LT(Position(order, ZvPackageModule), static_cast<std::ptrdiff_t>(order.size())) << "the package never started";
  EXPECT_LT(Position(order, "graphics"), Position(order, "controls"));
  EXPECT_LT(Position(order, "controls"), Position(order, ZvPackageModule));
  EXPECT_NE(GetClass("TEdit"), nullptr) << "the controls module registers its classes";
  EXPECT_NE(GetClass("TImageList"), nullptr) << "the graphics module registers its classes";
  EXPECT_NE(GetClass("TQuickFieldMapper"), nullptr) << "the package's mapper module registers its classes";
  EXPECT_NE(GetClass("TDevidCalendar"), nullptr) << "the package's control module registers its classes";
  ASSERT_NE(zvDefPack, nullptr) << "the package starts the default pack";
  EXPECT_EQ(zvDefPack->Owner(), Application.operator->());
  EXPECT_NE(zvDefPack->FindComponent("calCalendar"), nullptr) << "the control module puts its calendar on the pack";
  EXPECT_NE(dynamic_cast<TLiteVision*>(DefaultVision()), nullptr);
  EXPECT_NE(dynamic_cast<TStandardDesigner*>(DefaultDesigner()), nullptr);
  EXPECT_NE(ShowGridCustomizer, nullptr) << "the package's customizer module hands grids their customizer";

  FinalizeModules();
  EXPECT_EQ(zvDefPack, nullptr);
  EXPECT_EQ(ShowGridCustomizer, nullptr);
  EXPECT_EQ(DefaultVision(), nullptr);
  EXPECT_TRUE(Modules().InitializationOrder().empty());
  EXPECT_EQ(GetClass("TEdit"), nullptr);
  Application->Initialize();  // a program may start its modules again
  EXPECT_TRUE(Modules().Initialized(ZvPackageModule));
  EXPECT_NE(zvDefPack, nullptr);
  FinalizeModules();
  SetWindowBackend(nullptr);
  SetGraphicsBackend(nullptr);
}

}  // namespace

}  // namespace zvtest
