#include "runtime/positions.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tdx::rt {
namespace {

TEST(PositionStore, NormalWindowComesBackWhereItWas) {
  test::TempFolder dir;
  {
    PositionStore s(dir / "tendrix.ini");
    s.save("brpodatki", WindowState{false, false, 10, 20, 300, 200, true});
  }
  PositionStore s(dir / "tendrix.ini");
  auto p = s.restore("brpodatki", false, true);
  ASSERT_TRUE(p.apply);
  EXPECT_FALSE(p.maximize);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 20);
  EXPECT_EQ(p.width, 300);
  EXPECT_EQ(p.height, 200);
  auto ini = test::readFile(dir / "tendrix.ini");
  EXPECT_NE(ini.find("[brpodatki]"), std::string::npos);
  EXPECT_NE(ini.find("Maximize=No"), std::string::npos);
}

TEST(PositionStore, MaximisedComesBackMaximisedWithPlaceLeftToTheWindowSystem) {
  test::TempFolder dir;
  PositionStore s(dir / "tendrix.ini");
  s.save("Main", WindowState{false, false, 5, 5, 100, 100, true});
  s.save("Main", WindowState{true, false, 0, 0, 0, 0, true});
  auto p = s.restore("Main", false, true);
  EXPECT_TRUE(p.apply);
  EXPECT_TRUE(p.maximize);
  EXPECT_FALSE(p.x || p.y || p.width || p.height);  // the old normal place was removed
}

TEST(PositionStore, MinimisedOpensAtItsDefaultPlaceNotMinimised) {
  test::TempFolder dir;
  PositionStore s(dir / "tendrix.ini");
  s.save("vizitka", WindowState{false, true, 7, 8, 9, 10, true});
  auto p = s.restore("vizitka", false, true);
  EXPECT_TRUE(p.apply);
  EXPECT_FALSE(p.maximize);
  EXPECT_FALSE(p.x || p.y || p.width || p.height);
}

TEST(PositionStore, FixedSizeWindowKeepsNoSizeAndNothingSavedDoesNothing) {
  test::TempFolder dir;
  PositionStore s(dir / "tendrix.ini");
  EXPECT_FALSE(s.restore("pcenik", false, false).apply);
  s.save("pcenik", WindowState{false, false, 1, 2, 3, 4, false});
  auto p = s.restore("pcenik", true, false);
  EXPECT_TRUE(p.restoreNormal);
  EXPECT_EQ(p.x, 1);
  EXPECT_FALSE(p.width.has_value());
}

}  // namespace
}  // namespace tdx::rt
