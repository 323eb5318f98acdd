// The registry update: runs copyzdr.bat from the working folder in its
// window and waits; a missing batch file does nothing.

#include "shell/registry_update.h"

#include <gtest/gtest.h>

#include "shell/main_frame_menu.h"
#include "shell/shell_fixture.h"

namespace tdx::shell::test {
namespace {

TEST_F(ShellTest, RegistryUpdateRunsTheBatchFileInTheWorkingFolderAndWaits) {
  tdx::test::writeFile(dir / "copyzdr.bat", "echo posodobljeno > narejeno.txt\n");
  std::vector<std::string> opened;
  host.onOpen(kRegistryUpdate, [&](rt::HeadlessWindow& w) { opened.push_back(w.title()); });
  EXPECT_EQ(program.start(kRegistryUpdate), 0u);  // ended by the time it returns
  EXPECT_EQ(tdx::test::readFile(dir / "narejeno.txt"), "posodobljeno\n");
  EXPECT_TRUE(host.windows().empty());
  EXPECT_TRUE(lines().empty());
}

TEST_F(ShellTest, RegistryUpdateWithoutTheBatchFileReportsNothing) {
  EXPECT_EQ(program.start(kRegistryUpdate), 0u);
  EXPECT_TRUE(lines().empty());
  EXPECT_TRUE(files().empty());
}

TEST(RegistryUpdateCommand, RunsTheBatchFileThroughTheShell) {
  auto c = registryUpdateCommand();
#ifdef _WIN32
  EXPECT_EQ(c.program, "cmd");
  EXPECT_EQ(c.args, (std::vector<std::string>{"/c", "copyzdr.bat"}));
#else
  EXPECT_EQ(c.program, "sh");
  EXPECT_EQ(c.args, std::vector<std::string>{"copyzdr.bat"});
#endif
}

}  // namespace
}  // namespace tdx::shell::test
