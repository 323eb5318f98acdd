// An import that replaces all offers, killed at any moment, leaves an
// offers file that opens (empty, or holding every row imported) and a
// backup that holds the previous offers whole.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "import_fixture.h"

extern char** environ;

namespace tdx::transfer::imports {
namespace {

namespace fs = std::filesystem;

// The program as the user runs it: the one the environment names, else the build's own.
fs::path tendrixBinary() {
  if (const char* named = std::getenv("TENDRIX_BINARY")) return named;
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec).parent_path().parent_path() / "src" / "app" / "tendrix";
}

pid_t startImport(const fs::path& folder, const char* procedure = "uvparaladd") {
  const std::string binary = tendrixBinary().string(), dirText = folder.string();
  std::vector<std::string> args = {binary, "run", procedure, "--dir", dirText};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, binary.c_str(), &quiet, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&quiet);
  return rc == 0 ? pid : -1;
}

std::uintmax_t sizeOf(const fs::path& p) {
  std::error_code ec;
  auto n = fs::file_size(p, ec);
  return ec ? 0 : n;
}

// Kills the process once the change log holds `bytes`; true when it was
// killed while still running.
bool killWhenLogHolds(pid_t pid, const fs::path& log, std::uintmax_t bytes) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, &status, WNOHANG) == pid) return false;  // finished before the moment came
    if (sizeOf(log) >= bytes) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return WIFSIGNALED(status);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return false;
}

class KilledImport : public ImportTest {};

TEST_F(KilledImport, LeavesAWholeOffersFileAndAWholeBackup) {
  ASSERT_TRUE(fs::exists(tendrixBinary())) << tendrixBinary();
  constexpr int kRows = 60000;
  std::vector<TableRow> rows(kRows);
  for (int i = 0; i < kRows; ++i) rows[std::size_t(i)].sifr = std::to_string(i + 1);
  writeTable(rows);
  std::vector<Paralela> previous(2000, blankOffer());
  for (std::size_t i = 0; i < previous.size(); ++i) {
    previous[i].sifr = std::int32_t(900000 + i);
    previous[i].ncena = Decimal(std::int64_t(i));
  }

  // Killed while rows are read, halfway, and as the last rows go in (or
  // while the new file takes the place of the empty one).
  const std::uintmax_t logFull = 162u * (kRows + 1);
  for (std::uintmax_t killAt : {logFull / 20, logFull / 2, logFull - 4096}) {
    SCOPED_TRACE("killed once the log held " + std::to_string(killAt) + " bytes");
    for (const char* f : {"paralela.bak", "paralela.ba1", "LOG.DBF"}) fs::remove(dir / f);
    writeOffers(previous);

    pid_t pid = startImport(dir.path());
    ASSERT_GT(pid, 0);
    const bool killedWhileRunning = killWhenLogHolds(pid, dir / "LOG.DBF", killAt);
    if (killAt < logFull / 2 + 1) {
      EXPECT_TRUE(killedWhileRunning);
    }

    auto now = offers();
    EXPECT_TRUE(now.empty() || now.size() == std::size_t(kRows)) << now.size() << " offers";
    if (!killedWhileRunning) {
      EXPECT_EQ(now.size(), std::size_t(kRows));
    }
    auto kept = offers("paralela.bak");
    ASSERT_EQ(kept.size(), previous.size());
    for (std::size_t i = 0; i < kept.size(); ++i)
      ASSERT_EQ(std::memcmp(&kept[i], &previous[i], sizeof(Paralela)), 0) << "backup offer " << i;
  }

  // The next import replaces whatever a killed one left behind.
  writeTable({TableRow{}, TableRow{}});
  run("uvparaladd");
  EXPECT_EQ(offers().size(), 2u);
  EXPECT_FALSE(fs::exists(dir / "paralela.uvoz"));
}

// An update in place killed midway leaves every offer there, and the
// offers it had committed are the first rows' offers: each one either
// with its new price or as it was.
TEST_F(KilledImport, AnUpdateLeavesEveryOfferWholeWithTheRowsCommittedSoFar) {
  ASSERT_TRUE(fs::exists(tendrixBinary())) << tendrixBinary();
  constexpr int kRows = 60000;
  std::vector<Paralela> stored(kRows, blankOffer());
  std::vector<TableRow> rows(kRows);
  for (int i = 0; i < kRows; ++i) {
    char code[8];
    std::snprintf(code, sizeof code, "M%05d", i);
    stored[std::size_t(i)].sifr = i + 1;
    stored[std::size_t(i)].idzdr = code;
    stored[std::size_t(i)].ncena = Decimal(1);
    rows[std::size_t(i)].idzdr = code;
    rows[std::size_t(i)].ncena = "5";
  }
  writeOffers(stored);
  writeTable(rows);

  pid_t pid = startImport(dir.path(), "uvparvdat");
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(killWhenLogHolds(pid, dir / "LOG.DBF", 162u * (kRows / 2)));

  auto now = offers();
  ASSERT_EQ(now.size(), std::size_t(kRows));
  std::size_t updated = 0;
  while (updated < now.size() && now[updated].ncena.get() == Decimal(5)) ++updated;
  for (std::size_t i = updated; i < now.size(); ++i)
    ASSERT_EQ(std::memcmp(&now[i], &stored[i], sizeof(Paralela)), 0) << "offer " << i << " of " << updated;
  EXPECT_LT(updated, std::size_t(kRows));
}

}  // namespace
}  // namespace tdx::transfer::imports
