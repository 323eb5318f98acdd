// Sharing a record file between contexts of one program and between
// programs: open modes, change detection, streamed batches, online copies.
//
// The other program is this test binary again, started with
// TDX_STORE_HELPER naming what it should do (see StoreHelper.Run below).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"
#include "support/temp_folder.h"

namespace tdx {
namespace {

constexpr int kToHelperFd = 3, kFromHelperFd = 4;

RecordBuffer offer(const char* name, int sifr = 1) {
  RecordBuffer buf(FileId::Paralela);
  buf.clear();
  auto& p = buf.as<Paralela>();
  p.skup = 1;
  p.posk = 1;
  p.sklop = 1;
  p.sifr = sifr;
  p.imezd = *cp1250::fromUtf8(name);
  p.ean = "3830000000001";
  return buf;
}

std::string nameOf(const RecordBuffer& buf) { return cp1250::toUtf8(buf.as<Paralela>().imezd.view()); }

// The other program: started, told nothing more, it signals when it has
// done its part and then waits until we let it go (or kill it).
class Helper {
 public:
  Helper(const std::string& command, const std::filesystem::path& folder) {
    // Close-on-exec everywhere: the helper must hold no write end of its
    // own input, or it would never see the end of it.
    int to[2], from[2];
    if (pipe2(to, O_CLOEXEC) != 0 || pipe2(from, O_CLOEXEC) != 0) return;
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return;
    self[n] = '\0';
    pid_ = fork();
    if (pid_ == 0) {
      int in = fcntl(to[0], F_DUPFD_CLOEXEC, 10), out = fcntl(from[1], F_DUPFD_CLOEXEC, 10);
      dup2(in, kToHelperFd);  // the two copies that survive the exec
      dup2(out, kFromHelperFd);
      setenv("TDX_STORE_HELPER", command.c_str(), 1);
      setenv("TDX_STORE_FOLDER", folder.c_str(), 1);
      char filter[] = "--gtest_filter=StoreHelper.Run";
      char* argv[] = {self, filter, nullptr};
      execv(self, argv);
      _exit(127);
    }
    close(to[0]);
    close(from[1]);
    to_ = to[1];
    from_ = from[0];
  }
  ~Helper() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (to_ >= 0) close(to_);
    if (from_ >= 0) close(from_);
  }

  // True when the helper reported that it is done with its part.
  bool ready() {
    pollfd p{from_, POLLIN, 0};
    if (poll(&p, 1, 20000) != 1) return false;
    char c = 0;
    return read(from_, &c, 1) == 1 && c == 'R';
  }
  // Lets the helper finish; its exit status.
  int finish() {
    close(to_);
    to_ = -1;
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void killNow() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int to_ = -1, from_ = -1;
};

void signalReady() {
  char c = 'R';
  ASSERT_EQ(write(kFromHelperFd, &c, 1), 1);
}
void waitForRelease() {
  char c;
  while (read(kToHelperFd, &c, 1) > 0) {
  }
}

// The helper's side. Skipped in an ordinary test run.
TEST(StoreHelper, Run) {
  const char* command = std::getenv("TDX_STORE_HELPER");
  if (!command) GTEST_SKIP() << "runs only as the other program of the sharing tests";
  std::string what = command;
  RecordFile f(fileDef(FileId::Paralela), std::getenv("TDX_STORE_FOLDER"));
  if (what == "hold-shared" || what == "hold-exclusive") {
    auto mode = what == "hold-shared" ? OpenMode::shared() : OpenMode::exclusive();
    ASSERT_TRUE(f.open(mode)) << f.error().describe();
    signalReady();
    waitForRelease();
  } else if (what == "put-first") {
    ASSERT_TRUE(f.open()) << f.error().describe();
    RecordBuffer buf(FileId::Paralela);
    ASSERT_TRUE(f.setFileOrder() && f.next(buf));
    buf.as<Paralela>().imezd = "helper";
    ASSERT_TRUE(f.put(buf)) << f.error().describe();
    signalReady();
    waitForRelease();
  } else if (what == "stream-and-hang") {
    ASSERT_TRUE(f.open()) << f.error().describe();
    ASSERT_TRUE(f.stream());
    for (int batch = 0; batch < 3; ++batch) {
      for (int i = 0; i < 100; ++i) {
        auto buf = offer("batch", batch * 100 + i);
        ASSERT_TRUE(f.add(buf)) << f.error().describe();
      }
      // The third batch is never flushed: the parent kills us first.
      if (batch < 2) {
        ASSERT_TRUE(f.flush());
      }
    }
    signalReady();
    waitForRelease();
  } else {
    FAIL() << "unknown helper command " << what;
  }
}

class StoreSharing : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordFile f(fileDef(FileId::Paralela), dir.path());
    ASSERT_TRUE(f.create()) << f.error().describe();
    ASSERT_TRUE(f.open());
    for (const char* name : {"first", "second", "third", "fourth", "fifth"}) {
      auto buf = offer(name);
      ASSERT_TRUE(f.add(buf));
    }
  }
  RecordFile file() { return RecordFile(fileDef(FileId::Paralela), dir.path()); }
  test::TempFolder dir{"store-sharing"};
};

TEST_F(StoreSharing, SecondWriterOfARecordIsToldAndSeesTheFirstOnesVersion) {
  RecordFile a(fileDef(FileId::Paralela), dir.path()), b(fileDef(FileId::Paralela), dir.path());
  ASSERT_TRUE(a.open() && b.open());
  RecordBuffer ra(FileId::Paralela), rb(FileId::Paralela);
  ASSERT_TRUE(a.reget(Position{2}, ra) && b.reget(Position{2}, rb));

  rb.as<Paralela>().imezd = "from b";
  ASSERT_TRUE(b.put(rb)) << b.error().describe();
  ra.as<Paralela>().imezd = "from a";
  EXPECT_FALSE(a.put(ra));
  EXPECT_EQ(a.error().code, err::ChangedByOther);
  EXPECT_EQ(nameOf(ra), "from b");
  // Re-read, so the next put stands (and b is now the one behind).
  ra.as<Paralela>().imezd = "from a again";
  EXPECT_TRUE(a.put(ra)) << a.error().describe();
  EXPECT_FALSE(b.put(rb));
  EXPECT_EQ(b.error().code, err::ChangedByOther);
  EXPECT_EQ(nameOf(rb), "from a again");

  // A record deleted by the other one is gone, not changed.
  ASSERT_TRUE(b.erase());
  EXPECT_FALSE(a.put(ra));
  EXPECT_EQ(a.error().code, err::RecordNotFound);
}

TEST_F(StoreSharing, SecondWriterInAnotherProgramIsToldToo) {
  auto a = file();
  ASSERT_TRUE(a.open());
  RecordBuffer buf(FileId::Paralela);
  ASSERT_TRUE(a.setFileOrder() && a.next(buf));
  Helper other("put-first", dir.path());
  ASSERT_TRUE(other.ready());
  buf.as<Paralela>().imezd = "parent";
  EXPECT_FALSE(a.put(buf));
  EXPECT_EQ(a.error().code, err::ChangedByOther);
  EXPECT_EQ(nameOf(buf), "helper");
  EXPECT_EQ(other.finish(), 0);
}

TEST_F(StoreSharing, OpenModesAcrossContexts) {
  struct Case {
    OpenMode first, second;
    int expected;
  };
  const Case cases[] = {
      {OpenMode::shared(), OpenMode::shared(), err::None},
      {OpenMode::shared(), OpenMode::exclusive(), err::FileLocked},
      {OpenMode::exclusive(), OpenMode::shared(), err::FileLocked},
      {OpenMode::exclusive(), OpenMode::exclusive(), err::FileLocked},
      {OpenMode{Access::ReadOnly, Share::DenyNone}, OpenMode::exclusive(), err::FileLocked},
  };
  for (const auto& c : cases) {
    auto a = file(), b = file();
    ASSERT_TRUE(a.open(c.first)) << a.error().describe();
    EXPECT_EQ(b.open(c.second), c.expected == err::None);
    EXPECT_EQ(b.error().code, c.expected);
    // Nobody may re-create a file that is open.
    auto other = file();
    EXPECT_FALSE(other.create());
    EXPECT_EQ(other.error().code, err::FileLocked);
    b.close();
    a.close();
    EXPECT_TRUE(b.open(c.second)) << "once the other context has closed it";
  }
  auto a = file();
  ASSERT_TRUE(a.open());
  EXPECT_FALSE(a.open());
  EXPECT_EQ(a.error().code, err::AlreadyOpen);
  EXPECT_TRUE(a.isOpen());
}

TEST_F(StoreSharing, OpenModesAcrossPrograms) {
  {
    Helper other("hold-shared", dir.path());
    ASSERT_TRUE(other.ready());
    auto a = file();
    EXPECT_FALSE(a.open(OpenMode::exclusive()));
    EXPECT_EQ(a.error().code, err::FileLocked);
    EXPECT_FALSE(a.create());
    EXPECT_EQ(a.error().code, err::FileLocked);
    EXPECT_TRUE(a.open(OpenMode::shared())) << a.error().describe();
    a.close();
    EXPECT_EQ(other.finish(), 0);
    EXPECT_TRUE(a.open(OpenMode::exclusive())) << a.error().describe();
  }
  {
    Helper other("hold-exclusive", dir.path());
    ASSERT_TRUE(other.ready());
    auto a = file();
    EXPECT_FALSE(a.open(OpenMode::shared()));
    EXPECT_EQ(a.error().code, err::FileLocked);
    EXPECT_EQ(other.finish(), 0);
    EXPECT_TRUE(a.open(OpenMode::shared())) << a.error().describe();
  }
}

TEST_F(StoreSharing, AReaderThatStandsStillNeverBlocksAWriter) {
  auto reader = file(), writer = file();
  ASSERT_TRUE(reader.open() && writer.open());
  RecordBuffer buf(FileId::Paralela);
  ASSERT_TRUE(reader.setKey(Key::PAR_KCRTNA) && reader.next(buf));
  // A statement left open would hold a read lock, and the write would give
  // up with "database is locked" after the busy timeout.
  auto added = offer("sixth");
  EXPECT_TRUE(writer.add(added)) << writer.error().describe();

  // The reader's read-ahead does not hide its own writes.
  RecordBuffer second(FileId::Paralela);
  ASSERT_TRUE(reader.reget(Position{2}, second));
  second.as<Paralela>().imezd = "changed";
  ASSERT_TRUE(reader.put(second));
  ASSERT_TRUE(reader.next(buf));
  EXPECT_EQ(nameOf(buf), "changed");
}

TEST_F(StoreSharing, KilledInTheMiddleOfAStreamedBatchKeepsTheFlushedBatches) {
  {
    Helper other("stream-and-hang", dir.path());
    ASSERT_TRUE(other.ready());
    other.killNow();
  }
  auto a = file();
  ASSERT_TRUE(a.open()) << a.error().describe();
  EXPECT_EQ(a.records(), 5 + 200);
  a.close();
  EXPECT_FALSE(std::filesystem::exists(dir / "paralela.dat-journal"));
}

TEST_F(StoreSharing, CopyWhileAnotherContextStreamsIsWholeAndOpens) {
  auto writer = file(), copier = file();
  ASSERT_TRUE(writer.open() && copier.open());
  ASSERT_TRUE(writer.stream());
  for (int i = 0; i < 300; ++i) {
    auto buf = offer("streamed", i);
    ASSERT_TRUE(writer.add(buf));
  }
  ASSERT_TRUE(writer.flush());
  for (int i = 0; i < 200; ++i) {  // still uncommitted during the copy
    auto buf = offer("pending", i);
    ASSERT_TRUE(writer.add(buf));
  }
  test::TempFolder elsewhere("store-copy");
  ASSERT_TRUE(copier.copyTo(elsewhere.path())) << copier.error().describe();
  ASSERT_TRUE(writer.flush()) << writer.error().describe();

  RecordFile copy(fileDef(FileId::Paralela), elsewhere.path());
  ASSERT_TRUE(copy.open()) << copy.error().describe();
  EXPECT_EQ(copy.records(), 5 + 300);
  EXPECT_EQ(writer.records(), 5 + 500);
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "paralela.dat-journal"));
  // A copy never replaces a file somebody has open.
  EXPECT_FALSE(copier.copyTo(elsewhere.path()));
  EXPECT_EQ(copier.error().code, err::FileLocked);
}

}  // namespace
}  // namespace tdx
