// vizitka: the buyer's lines, a window and a context per opening.

#include "shell/vizitka.h"

#include <gtest/gtest.h>

#include "shell/shell_fixture.h"

namespace tdx::shell::test {
namespace {

TEST_F(ShellTest, AboutWindowShowsTheBuyersFirstTwoLinesInEachOfItsWindows) {
  addBuyer("Splošna bolnišnica Celje", "Oblakova ulica 5");
  auto first = program.start("vizitka");
  auto second = program.start("vizitka");
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  auto windows = host.windows();
  ASSERT_EQ(windows.size(), 2u);
  for (auto* w : windows) {
    EXPECT_EQ(w->title(), "Vizitka");
    EXPECT_EQ(w->text("?KUP:NAZ01"), "Splošna bolnišnica Celje");
    EXPECT_EQ(w->text("?KUP:NAZ02"), "Oblakova ulica 5");
    EXPECT_EQ(w->text("?PLATFORM"), "Razvojno okolje: Qt 6 / C++20");
  }
  ASSERT_TRUE(windows[0]->press("?OKBUTTON"));
  EXPECT_FALSE(program.running(first));
  EXPECT_TRUE(program.running(second));
  windows[1]->requestClose();
  EXPECT_FALSE(program.running(second));
}

TEST_F(ShellTest, AboutWindowAnswersCompletedOnOkAndCancelledOtherwise) {
  addBuyer("Bolnišnica", "");
  rt::Context ctx(session);
  host.onOpen("vizitka", [](rt::HeadlessWindow& w) { w.press("?OKBUTTON"); });
  host.onOpen("vizitka", [](rt::HeadlessWindow& w) { w.requestClose(); });
  program.call("vizitka", ctx);
  EXPECT_EQ(ctx.globalResponse, rt::resp::Completed);
  program.call("vizitka", ctx);
  EXPECT_EQ(ctx.globalResponse, rt::resp::Cancelled);
  EXPECT_EQ(ctx.uses(FileId::Kupec), 0);
}

TEST_F(ShellTest, AboutWindowOnAnEmptyBuyerFileLeavesTheLinesBlank) {
  ASSERT_TRUE(RecordFile(fileDef(FileId::Kupec), dir.path()).create(fileDef(FileId::Kupec).ownerPassword));
  ASSERT_NE(program.start("vizitka"), 0u);
  EXPECT_EQ(host.find("vizitka")->text("?KUP:NAZ01"), "");
  EXPECT_TRUE(lines().empty());
}

TEST_F(ShellTest, AboutWindowWithoutTheBuyerFileEndsTheProgram) {
  EXPECT_THROW(program.start("vizitka"), rt::ProgramEnd);
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(lines()[1], "Halt: File Creation Error!");
  EXPECT_FALSE(std::filesystem::exists(dir / "kupec.dat"));
}

}  // namespace
}  // namespace tdx::shell::test
