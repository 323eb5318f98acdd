// When uvparvdat commits: a shared offers file is committed at the end of
// every batch, so another window reads each batch's prices and writes its
// own offers between two ticks; an offers file held alone commits less
// often, and the closing count is what the file holds however the run
// ends.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "import_fixture.h"
#include "records/store.h"
#include "transfer/register.h"

namespace tdx::transfer::imports {
namespace {

constexpr int kRows = 2500;

std::string code(int i) {
  char c[8];
  std::snprintf(c, sizeof c, "M%05d", i);
  return c;
}

class UpdateCommits : public ImportTest {
 protected:
  // kRows offers at 1 and one more the table does not name; a row per
  // offer, at 5.
  void SetUp() override {
    std::vector<Paralela> stored(kRows + 1, blankOffer());
    std::vector<TableRow> rows(kRows);
    for (int i = 0; i <= kRows; ++i) {
      stored[std::size_t(i)].sifr = i + 1;
      stored[std::size_t(i)].idzdr = i < kRows ? code(i) : "XTRA00";
      stored[std::size_t(i)].ncena = Decimal(1);
      if (i == kRows) break;
      rows[std::size_t(i)].idzdr = code(i);
      rows[std::size_t(i)].ncena = "5";
    }
    writeOffers(stored);
    writeTable(rows);
  }

  static int repriced(RecordFile& f) {
    RecordBuffer buf(FileId::Paralela);
    int n = 0;
    EXPECT_TRUE(f.setFileOrder());
    while (f.next(buf)) n += buf.as<Paralela>().ncena.get() == Decimal(5);
    EXPECT_EQ(f.error().code, err::EndOfFile);
    return n;
  }
};

// Headless, with a look at the offers after every tick.
class SteppingUi : public rt::HeadlessUi {
 public:
  std::function<void(int ticks)> betweenTicks;
  void runProgress(std::shared_ptr<rt::TimedTask> task, const rt::ProgressSpec& spec, bool modal) override {
    struct Quiet : rt::ProgressWindow {
      void setTitle(std::string_view) override {}
      void setUserText(std::string_view) override {}
      void setPercentText(std::string_view) override {}
      void setPercent(int) override {}
    } w;
    (void)spec, (void)modal;
    task->opened(w);
    for (int ticks = 1; task->tick(w); ++ticks) betweenTicks(ticks);
    task->closed();
  }
};

TEST_F(UpdateCommits, ASharedOffersFileIsCommittedAtTheEndOfEveryBatch) {
  RecordFile other(fileDef(FileId::Paralela), dir.path());
  ASSERT_TRUE(other.open());
  SteppingUi stepping;
  rt::Session s(stepping, dir.path());
  rt::Program p(s);
  s.setProgram(&p);
  registerProcedures(p);
  int looks = 0;
  stepping.betweenTicks = [&](int ticks) {
    ++looks;
    EXPECT_EQ(repriced(other), 1000 * ticks);
    // Not locked out: the other window's own offer is written at once.
    RecordBuffer buf(FileId::Paralela);
    buf.as<Paralela>().idzdr = "XTRA00";
    ASSERT_TRUE(other.get(Key::PAR_KIDZDR, buf));
    buf.as<Paralela>().popust = Decimal(ticks);
    EXPECT_TRUE(other.put(buf)) << other.error().describe();
  };
  p.start("uvparvdat");
  EXPECT_EQ(looks, 2);
  EXPECT_EQ(repriced(other), kRows);
  ASSERT_FALSE(stepping.transcript().empty());
  EXPECT_EQ(stepping.transcript()[0], "Obvestilo: Spremenjenih:      2.500 zapisov!");
}

TEST_F(UpdateCommits, ACancelledUpdateHeldAloneCommitsAndCountsItsRows) {
  ui.cancelAfterTicks(2);
  run("uvparvdat");
  RecordFile f(fileDef(FileId::Paralela), dir.path());
  ASSERT_TRUE(f.open());
  EXPECT_EQ(repriced(f), 2000);
  EXPECT_EQ(lines()[0], "Obvestilo: Spremenjenih:      2.000 zapisov!");
}

}  // namespace
}  // namespace tdx::transfer::imports
