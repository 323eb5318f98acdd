// Main: the start-up checks, the applicant in the title, the status bar,
// the menu, the start-up browser closed by the first command, closing.

#include "shell/main_frame.h"

#include <gtest/gtest.h>

#include "runtime/stdfiles.h"
#include "shell/main_frame_menu.h"
#include "shell/shell_fixture.h"
#include "shell/status_clock.h"

namespace tdx::shell::test {
namespace {

// Stands in for the items browser: a child window holding the items file.
class FakeBrowser : public rt::Procedure, public rt::WindowEvents {
 public:
  static inline int opened = 0, closed = 0;
  FakeBrowser(rt::Context& c, const rt::Options& o) : Procedure(c, o) {}
  void begin() override {
    rt::useFile(ctx(), FileId::Podatki);
    rt::WindowSpec s;
    s.title = "Pregled podatkov";
    s.positionName = "brpodatki";
    win_ = ui().windows()->openWindow(s, *this);
    ++opened;
  }
  void requestClose() override {
    win_->close();
    rt::releaseFile(ctx(), FileId::Podatki);
    ++closed;
    end();
  }
  void onEvent(rt::Window&, const rt::Event& e) override {
    if (e.kind == rt::Event::Kind::CloseRequest) requestClose();
  }

 private:
  std::unique_ptr<rt::Window> win_;
};

class MainFrameTest : public ShellTest {
 protected:
  const std::string title = kFrameTitle;

  void withBrowser() {
    FakeBrowser::opened = FakeBrowser::closed = 0;
    program.add("brpodatki", [](rt::Context& c, const rt::Options& o) { return std::make_unique<FakeBrowser>(c, o); });
  }
  std::uint64_t start() { return program.start("Main"); }
  rt::HeadlessWindow* frame() { return host.frame(); }
};

TEST_F(MainFrameTest, MissingItemsFileIsReportedAndNothingIsCreated) {
  EXPECT_EQ(start(), 0u);
  EXPECT_EQ(lines(), std::vector<std::string>{"Opozorilo: Ne obstaja datoteka podatki.dat!"});
  EXPECT_EQ(ui.messages()[0].icon, rt::Icon::Stop);
  EXPECT_TRUE(files().empty());
  EXPECT_EQ(frame(), nullptr);
}

TEST_F(MainFrameTest, EmptyItemsFileIsReportedAndTheFrameCloses) {
  ASSERT_TRUE(RecordFile(fileDef(FileId::Podatki), dir.path()).create());
  EXPECT_EQ(start(), 0u);
  EXPECT_EQ(lines(), std::vector<std::string>{"Opozorilo: Datoteka podatki.dat je prazna!"});
  EXPECT_EQ(frame(), nullptr);
  EXPECT_EQ(program.runningCount(), 0u);
}

TEST_F(MainFrameTest, TitleNamesTheApplicantOfTheFirstItem) {
  struct Case {
    const char* tax;
    const char* registered;  // VERANT record for the tax number, nullptr: none
    std::string suffix;
  } cases[] = {
      {"12345678", "Lekarna Šiška d.o.o.", " (Prijavitelj: 12345678 Lekarna Šiška d.o.o.)"},
      {"87654321", nullptr, " (Prijavitelj: 87654321 neznani prijavitelj)"},
      {"12345678", "", " (Prijavitelj: 12345678 )"},
      {"1234", "Kratka", " (Prijavitelj: 1234     Kratka)"},
      {"", nullptr, ""},
  };
  for (const auto& c : cases) {
    TempFolder work("title");
    rt::HeadlessUi ui2;
    rt::Session s2(ui2, work.path());
    rt::Program p2(s2);
    s2.setProgram(&p2);
    registerProcedures(p2);
    {
      Records items(FileId::Podatki, work.path());
      items.next<Podatki>().doba.set(c.tax);
      items.add();
      items.next<Podatki>().doba.set("99999999");  // only the first item counts
      items.add();
      Records applicants(FileId::Verant, work.path());
      applicants.next<Verant>().davcna.set("99999999");
      applicants.add();
      if (c.registered) {
        auto& v = applicants.next<Verant>();
        v.davcna.set(c.tax);
        v.naziv.set(cp(c.registered));
        applicants.add();
      }
    }
    ASSERT_NE(p2.start("Main"), 0u) << c.tax;
    ASSERT_NE(ui2.windowHost().frame(), nullptr);
    EXPECT_EQ(ui2.windowHost().frame()->title(), title + c.suffix) << c.tax;
    EXPECT_TRUE(ui2.transcript().empty()) << c.tax;
  }
}

TEST_F(MainFrameTest, StatusBarShowsTheEnglishWeekdayAndTheDateAndTheTime) {
  addItem(28, "12345678");
  std::string before = statusDate(localNow());
  ASSERT_NE(start(), 0u);
  std::string shown = frame()->status(3);
  std::string after = statusDate(localNow());
  EXPECT_TRUE(shown == before || shown == after) << shown;
  EXPECT_EQ(frame()->timer(), 100);
  frame()->setStatus(4, "");
  frame()->tick();
  EXPECT_EQ(frame()->status(4).size(), 8u) << frame()->status(4);
  EXPECT_EQ(frame()->status(4)[5], ':');

  std::tm t{};
  struct Case {
    int y, m, d, wday;
    const char* text;
  } cases[] = {
      {2022, 3, 15, 2, "Tuesday, 15.03.2022"},
      {2022, 3, 5, 6, "Saturday, 05.03.2022"},
      {2023, 1, 1, 0, "Sunday, 01.01.2023"},
  };
  for (const auto& c : cases) {
    t.tm_year = c.y - 1900;
    t.tm_mon = c.m - 1;
    t.tm_mday = c.d;
    t.tm_wday = c.wday;
    EXPECT_EQ(statusDate(t), c.text);
  }
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 7;
  EXPECT_EQ(statusTime(t), " 9:05:07");
}

TEST_F(MainFrameTest, StartSetsTheGroupAndTheOffersFileAndReleasesTheItemsFile) {
  addItem(28, "12345678");
  addItem(30, "12345678", 2);
  session.globals().csvFileName.clear();
  ASSERT_NE(start(), 0u);
  EXPECT_EQ(session.globals().psk, 28);
  EXPECT_EQ(session.globals().csvFileName, "paralela.csv");
  // The items file is free for whole-file work (the eJN copy needs it so).
  RecordFile items(fileDef(FileId::Podatki), dir.path());
  EXPECT_TRUE(items.open(OpenMode::exclusive())) << items.error().describe();
}

TEST_F(MainFrameTest, IndexRebuildRefusedWhileAnotherWindowHoldsTheItemsShowsTheStopBox) {
  addItem(28, "12345678");
  rt::Context other(session);
  rt::useFile(other, FileId::Podatki);
  ASSERT_NE(start(), 0u);  // Ignore goes on
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0].rfind("Stop: File Is Already Locked", 0), 0u) << lines()[0];
  EXPECT_NE(frame(), nullptr);

  rt::HeadlessUi ui2;
  rt::Session s2(ui2, dir.path());
  rt::Program p2(s2);
  s2.setProgram(&p2);
  registerProcedures(p2);
  ui2.answer("Abort");
  EXPECT_THROW(p2.start("Main"), rt::ProgramEnd);
}

TEST_F(MainFrameTest, MenuHasEveryCommandAndGreysThoseWithoutTheirProcedure) {
  addItem(28, "12345678");
  ASSERT_NE(start(), 0u);
  auto* f = frame();
  struct Item {
    const char* label;
    const char* text;
    bool enabled;
  } items[] = {
      {"?PRINTSETUP", "&1) Nastavitev tiskalnika", true},
      {"?IZVOZPODATKIDBF", "&2) Izvoz datoteke Podatki.dat v Excel", false},
      {"?UVOZPARALELACSVZBRISANJEM", "&B) Uvoz cen iz paralela.csv-Z BRISANJEM", false},
      {"?PONUDNIK", "&9) Podatki o prijavitelju/ponudniku", true},
      {"?EXIT", "&X) Izhod", true},
      {"?PREGLEDINVNOS", "&2) Pregled podatkov in vnos sprememb", false},
      {"?PREPISCENIKANAUSB", "&3) Priprava podatkov za eJN", true},
      {"?SPECZAHTEV", "&4) Specifikacija zahtev (PDF)", true},
      {"?NAVODILA", "&5) Navodila", true},
      {"?CASCADEWINDOW", "V kaskado", true},
      {"?POSODOBIZDRAVNET", "&7) Posodobitev podatkov o zdravilih", true},
      {"?VIZITKA", "Vi&zitka", true},
      {"?IZHOD", "&X-Izhod", true},
  };
  for (const auto& i : items) {
    const rt::MenuSpec* m = f->menuItem(i.label);
    ASSERT_NE(m, nullptr) << i.label;
    EXPECT_EQ(m->text, i.text);
    EXPECT_EQ(!m->disabled, i.enabled) << i.label;
  }
  EXPECT_EQ(f->menuItem("?EXIT")->shortcut, "Alt-F4");
  EXPECT_EQ(f->menuItem("?EXIT")->icon, "Preklicc.ico");
  EXPECT_EQ(f->menuItem("?PONUDNIK")->icon, "help.ico");
  EXPECT_EQ(f->menuItem("?PONUDNIK")->message, "Vnos podatkov o prijavitelju/ponudniku");
  // A greyed command does nothing, and opens no placeholder.
  EXPECT_FALSE(f->press("?IZVOZPODATKIDBF"));
  EXPECT_EQ(host.windows().size(), 1u);
  // The toolbar: exit, items browser (greyed here), eJN.
  EXPECT_TRUE(f->enabled("?OUT"));
  EXPECT_FALSE(f->enabled("?CENIK"));
  EXPECT_TRUE(f->enabled("?TDISK"));
  EXPECT_EQ(f->spec().controls[2].tip, "Prepis podatkov na disketo");
  EXPECT_EQ(f->menu().size(), 10u);
  EXPECT_EQ(f->menu()[8].text, " ");
  EXPECT_TRUE(f->menu()[8].items.empty());
  EXPECT_TRUE(f->menu()[5].windowList);
}

TEST_F(MainFrameTest, FirstCommandClosesTheStartUpBrowserAndASecondOneDoesNot) {
  addItem(28, "12345678");
  withBrowser();
  ASSERT_NE(start(), 0u);
  EXPECT_EQ(FakeBrowser::opened, 1);
  EXPECT_EQ(frame()->childTitles(), std::vector<std::string>{"Pregled podatkov"});
  ASSERT_TRUE(frame()->press("?NAVODILA"));
  EXPECT_EQ(FakeBrowser::closed, 1);
  EXPECT_EQ(lines(), (std::vector<std::string>{"open: navodila.pdf", ": File not found | navodila.pdf"}));
  // "Pregled podatkov" as the first command of another run closes the
  // start-up browser and opens a new one; here it just opens one more.
  ASSERT_TRUE(frame()->press("?PREGLEDINVNOS"));
  ASSERT_TRUE(frame()->press("?CASCADEWINDOW"));
  EXPECT_EQ(FakeBrowser::opened, 2);
  EXPECT_EQ(FakeBrowser::closed, 1);
}

TEST_F(MainFrameTest, FirstCommandOpeningTheBrowserReplacesTheStartUpOne) {
  addItem(28, "12345678");
  withBrowser();
  ASSERT_NE(start(), 0u);
  ASSERT_TRUE(frame()->press("?CENIK"));
  EXPECT_EQ(FakeBrowser::opened, 2);
  EXPECT_EQ(FakeBrowser::closed, 1);
  EXPECT_EQ(frame()->childTitles().size(), 1u);
}

TEST_F(MainFrameTest, EveryWayOfClosingEndsTheFrameAndItsChildren) {
  for (const char* way : {"?EXIT", "?IZHOD", "?OUT", "close box"}) {
    TempFolder work("close");
    rt::HeadlessUi ui2;
    rt::Session s2(ui2, work.path());
    rt::Program p2(s2);
    s2.setProgram(&p2);
    registerProcedures(p2);
    FakeBrowser::opened = FakeBrowser::closed = 0;
    p2.add("brpodatki", [](rt::Context& c, const rt::Options& o) { return std::make_unique<FakeBrowser>(c, o); });
    {
      Records items(FileId::Podatki, work.path());
      items.next<Podatki>().doba.set("12345678");
      items.add();
    }
    auto id = p2.start("Main");
    ASSERT_NE(id, 0u);
    auto* f = ui2.windowHost().frame();
    if (std::string(way) == "close box") f->requestClose();
    else ASSERT_TRUE(f->press(way)) << way;
    EXPECT_FALSE(p2.running(id)) << way;
    EXPECT_EQ(FakeBrowser::closed, 1) << way;
    EXPECT_TRUE(ui2.windowHost().windows().empty()) << way;
    // Every file was given back.
    RecordFile verant(fileDef(FileId::Verant), work.path());
    EXPECT_TRUE(verant.open(OpenMode::exclusive())) << way;
  }
}

TEST_F(MainFrameTest, BidderCommandOpensTheFormInInsertModeOnAnEmptyFile) {
  addItem(28, "12345678");
  ASSERT_NE(start(), 0u);
  bool insertMode = false;
  host.onOpen("upponud", [&](rt::HeadlessWindow& w) {
    insertMode = w.status() == "Stavek bo dodan" && w.hidden("?DELETE");
    w.press("?CANCEL");
  });
  ASSERT_TRUE(frame()->press("?PONUDNIK"));
  EXPECT_TRUE(insertMode);
  EXPECT_EQ(host.windows().size(), 1u);
}

}  // namespace
}  // namespace tdx::shell::test
