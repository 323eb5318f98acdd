// pcenik: the exclusive test of the items file, the folder chooser, the
// copies in their order with their progress texts, the failure messages.

#include "shell/pcenik.h"

#include <gtest/gtest.h>

#include "runtime/stdfiles.h"
#include "shell/shell_fixture.h"

namespace tdx::shell::test {
namespace {

namespace fs = std::filesystem;

class EjnTransferTest : public ShellTest {
 protected:
  TempFolder dest{"ejn"};
  rt::Context ctx{session};
  std::vector<std::string> shown;  // the progress texts in the order shown

  int run(rt::HeadlessWindowHost::Script script) {
    if (script) host.onOpen("pcenik", std::move(script));
    EXPECT_TRUE(program.call("pcenik", ctx));
    return ctx.globalResponse;
  }
  rt::HeadlessWindowHost::Script chooseAndCopy() {
    ui.chooseFolders(dest.path());
    return [](rt::HeadlessWindow& w) {
      w.press("?LOOKUPFILE");
      w.press("?OKBUTTON");
    };
  }
  std::vector<std::string> copied() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dest.path())) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(EjnTransferTest, WithoutBidderAndOffersOnlyTheItemsAreCopied) {
  addItem(28, "12345678");
  EXPECT_EQ(run(chooseAndCopy()), rt::resp::Completed);
  EXPECT_EQ(copied(), std::vector<std::string>{"podatki.dat"});
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(files(), std::vector<std::string>{"podatki.dat"});  // nothing created at home either
  RecordFile copy(fileDef(FileId::Podatki), dest.path());
  ASSERT_TRUE(copy.open());
  EXPECT_EQ(copy.records(), 1);
}

TEST_F(EjnTransferTest, AllThreeFilesAreCopiedEachAnnouncedFirst) {
  addItem(28, "12345678");
  addBidder("Farmacija d.o.o.");
  ASSERT_TRUE(RecordFile(fileDef(FileId::Paralela), dir.path()).create());
  ui.chooseFolders(dest.path());
  std::vector<std::string> texts;
  int response = run([&](rt::HeadlessWindow& w) {
    EXPECT_EQ(w.text("?STRING1"), "Izberite mapo za prenos podatkov (Išči) in pritisnite OK");
    w.press("?LOOKUPFILE");
    EXPECT_EQ(w.text("?GLO:PATH"), dest.path().string());
    w.press("?OKBUTTON");
    texts.push_back(w.text("?STRING1"));
  });
  EXPECT_EQ(response, rt::resp::Completed);
  EXPECT_EQ(copied(), (std::vector<std::string>{"paralela.dat", "podatki.dat", "ponudnik.dat"}));
  EXPECT_EQ(texts, std::vector<std::string>{"Prepisujem Paralela.dat. Prosim počakajte..."});
}

TEST_F(EjnTransferTest, ItemsFileHeldElsewhereRefusesWithoutOpeningTheWindow) {
  addItem(28, "12345678");
  rt::Context browser(session);
  rt::useFile(browser, FileId::Podatki);
  bool opened = false;
  EXPECT_EQ(run([&](rt::HeadlessWindow&) { opened = true; }), rt::resp::Cancelled);
  EXPECT_FALSE(opened);
  EXPECT_EQ(lines(), std::vector<std::string>{"Opozorilo: Zaprite datoteko s podatki in poskusite znova!"});
  EXPECT_EQ(ui.messages()[0].icon, rt::Icon::Stop);
  EXPECT_TRUE(copied().empty());
}

TEST_F(EjnTransferTest, FailedCopyOfTheOffersLeavesTheEarlierCopies) {
  addItem(28, "12345678");
  addBidder("Farmacija d.o.o.");
  ASSERT_TRUE(RecordFile(fileDef(FileId::Paralela), dir.path()).create());
  // Someone has the destination's offers file open: it cannot be replaced.
  ASSERT_TRUE(RecordFile(fileDef(FileId::Paralela), dest.path()).create());
  RecordFile held(fileDef(FileId::Paralela), dest.path());
  ASSERT_TRUE(held.open());
  EXPECT_EQ(run(chooseAndCopy()), rt::resp::Cancelled);
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0].rfind("Napaka: Napaka pri kopiranju Paralela.dat | File Is Already Locked", 0), 0u) << lines()[0];
  EXPECT_EQ(ui.messages()[0].icon, rt::Icon::Stop);
  EXPECT_EQ(copied(), (std::vector<std::string>{"paralela.dat", "podatki.dat", "ponudnik.dat"}));
  RecordFile bidder(fileDef(FileId::Ponudnik), dest.path());
  ASSERT_TRUE(bidder.open());
  EXPECT_EQ(bidder.records(), 1);
}

TEST_F(EjnTransferTest, TheFolderSurvivesCancelForTheNextRun) {
  addItem(28, "12345678");
  ui.chooseFolders(dest.path());
  EXPECT_EQ(run([](rt::HeadlessWindow& w) {
              w.press("?LOOKUPFILE");
              w.press("?CANCELBUTTON");
            }),
            rt::resp::Cancelled);
  EXPECT_TRUE(copied().empty());
  std::string shownNext;
  EXPECT_EQ(run([&](rt::HeadlessWindow& w) {
              shownNext = w.text("?GLO:PATH");
              w.press("?OKBUTTON");
            }),
            rt::resp::Completed);
  EXPECT_EQ(shownNext, dest.path().string());
  EXPECT_EQ(copied(), std::vector<std::string>{"podatki.dat"});
  // A chooser that is cancelled keeps the folder too.
  run([](rt::HeadlessWindow& w) {
    w.press("?LOOKUPFILE");
    w.press("?CANCELBUTTON");
  });
  EXPECT_EQ(session.globals().ejnPath, dest.path().string());
}

TEST_F(EjnTransferTest, FolderNeverChosenOrMissingIsRefusedWithTheCopyMessage) {
  addItem(28, "12345678");
  EXPECT_EQ(run([](rt::HeadlessWindow& w) { w.press("?OKBUTTON"); }), rt::resp::Cancelled);
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0], "Napaka: Napaka pri kopiranju Podatki.dat | Path Not Found (mapa za prenos ni izbrana)");
  ui.clear();
  std::string missing = (dest.path() / "nowhere").string();
  EXPECT_EQ(run([&](rt::HeadlessWindow& w) { w.enter("?GLO:PATH", missing) && w.press("?OKBUTTON"); }),
            rt::resp::Cancelled);
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0].rfind("Napaka: Napaka pri kopiranju Podatki.dat | Path Not Found", 0), 0u) << lines()[0];
  // The working folder itself is not a destination: the file would be
  // copied over itself.
  ui.clear();
  session.globals().ejnPath = dir.path().string();
  EXPECT_EQ(run([&](rt::HeadlessWindow& w) { w.press("?OKBUTTON"); }), rt::resp::Cancelled);
  ASSERT_EQ(lines().size(), 1u) << lines().size();
  RecordFile items(fileDef(FileId::Podatki), dir.path());
  ASSERT_TRUE(items.open());
  EXPECT_EQ(items.records(), 1);
}

TEST_F(EjnTransferTest, CommandLineOptionChoosesTheFolderAndPressesOk) {
  addItem(28, "12345678");
  ctx.globalRequest = rt::req::None;
  EXPECT_TRUE(program.call("pcenik", ctx, {{"to", dest.path().string()}}));
  EXPECT_EQ(ctx.globalResponse, rt::resp::Completed);
  EXPECT_EQ(copied(), std::vector<std::string>{"podatki.dat"});
}

}  // namespace
}  // namespace tdx::shell::test
