#include "runtime/record_browse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/record_droplist.h"
#include "runtime/stdfiles.h"
#include "support/temp_folder.h"

namespace tdx::rt {
namespace {

std::string cp(std::string_view utf8) { return cp1250::fromUtf8(utf8).value(); }

const FileDef& items() { return fileDef(FileId::Podatki); }
int itemField(std::string_view name) { return items().findField(name); }

class RecordBrowseTest : public ::testing::Test {
 protected:
  test::TempFolder dir{"browse"};
  HeadlessUi ui;
  Session session{ui, dir.path()};
  Context ctx{session};
  std::int16_t subgroup = 1;

  void SetUp() override {
    useFile(ctx, FileId::Podatki);
    useFile(ctx, FileId::Pskupine);
    useFile(ctx, FileId::Paralela);
    // Fixtures are written in one transaction per file: durable writes one
    // by one would make every test wait for the disk.
    for (auto id : {FileId::Podatki, FileId::Pskupine, FileId::Paralela}) ctx.file(id).stream();
  }

  Position addItem(std::int16_t posk, std::int32_t code, std::string_view nameUtf8) {
    RecordBuffer b(FileId::Podatki);
    b.clear();
    auto& p = b.as<Podatki>();
    p.skup = 28;
    p.posk = posk;
    p.sifr = code;
    p.nazi = cp(nameUtf8);
    p.sklop = 1;
    EXPECT_TRUE(ctx.file(FileId::Podatki).add(b));
    return ctx.file(FileId::Podatki).position();
  }

  // Items named "Item 00" ... in subgroup 1 and every third one also in 2.
  void addNumberedItems(int n) {
    for (int i = 0; i < n; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "Item %02d", i);
      addItem(i % 3 == 0 ? 2 : 1, 1000 + i, name);
    }
  }

  RecordBrowseSpec itemSpec(int pageSize = 5) {
    RecordBrowseSpec s{FileId::Podatki, Key::POD_KNAZI};
    s.where = [this] { return std::vector<Condition>{Condition::eq(itemField("POSK"), subgroup)}; };
    s.columns.push_back(RecordColumn::field(items(), "SIFR", "@n08b", {"Šifra"}));
    s.columns.push_back(RecordColumn::field(items(), "NAZI", "@s200", {"Naziv"}));
    s.pageSize = pageSize;
    return s;
  }

  static std::vector<std::string> names(const RecordBrowse& b) {
    std::vector<std::string> out;
    for (int i = 0; i < b.rows(); ++i) out.push_back(b.cell(i, 1));
    return out;
  }
  std::string currentName() { return std::string(ctx.rec<Podatki>(FileId::Podatki).nazi.view()); }
};

std::vector<std::string> range(int from, int to, int skipEvery = 3) {
  std::vector<std::string> out;
  for (int i = from; out.size() < std::size_t(to); ++i) {
    if (i % skipEvery == 0) continue;
    char name[16];
    std::snprintf(name, sizeof name, "Item %02d", i);
    out.push_back(name);
  }
  return out;
}

TEST_F(RecordBrowseTest, PagesMoveByTheRowsThatScrollIn) {
  addNumberedItems(30);  // subgroup 1: items 1 2 4 5 7 8 10 11 ...
  RecordBrowse b(ctx, itemSpec());
  ASSERT_TRUE(b.reload());
  EXPECT_EQ(names(b), range(1, 5));
  EXPECT_EQ(b.current(), 0);
  EXPECT_EQ(currentName(), "Item 01");
  EXPECT_EQ(b.cell(0, 0), "00001001");

  for (int i = 0; i < 5; ++i) b.down();  // the fifth step scrolls one row in
  EXPECT_EQ(names(b), range(2, 5));
  EXPECT_EQ(b.current(), 4);
  EXPECT_EQ(currentName(), "Item 08");

  b.pageDown();  // the highlight keeps its place on the screen
  EXPECT_EQ(names(b), range(10, 5));
  EXPECT_EQ(currentName(), "Item 16");

  b.end();
  EXPECT_EQ(names(b), range(23, 5));
  EXPECT_EQ(currentName(), "Item 29");
  b.down();  // nothing after the last row
  EXPECT_EQ(currentName(), "Item 29");
  b.pageDown();
  EXPECT_EQ(currentName(), "Item 29");

  b.home();
  EXPECT_EQ(currentName(), "Item 01");
  b.up();
  b.pageUp();
  EXPECT_EQ(names(b), range(1, 5));
  EXPECT_EQ(currentName(), "Item 01");

  b.scrollBy(2);  // the wheel: the highlighted record scrolls out, the highlight stays on the top row
  EXPECT_EQ(names(b), range(4, 5));
  EXPECT_EQ(currentName(), "Item 04");
  b.scrollBy(-1);
  EXPECT_EQ(names(b), range(2, 5));
  EXPECT_EQ(currentName(), "Item 04");
}

TEST_F(RecordBrowseTest, ScrollingKeepsTheRowsItHoldsAndAForcedRefreshRereadsThePage) {
  addNumberedItems(12);
  RecordBrowse b(ctx, itemSpec(3));
  ASSERT_TRUE(b.reload());
  ASSERT_EQ(names(b), range(1, 3));  // Item 01 02 04

  // Another station renames the second row.
  ASSERT_TRUE(ctx.file(FileId::Podatki).flush());
  Context other(session);
  useFile(other, FileId::Podatki);
  auto& f = other.file(FileId::Podatki);
  RecordBuffer rec(FileId::Podatki);
  ASSERT_TRUE(f.reget(b.row(1).position(), rec));
  rec.as<Podatki>().nazi = std::string("Item 02 renamed");
  ASSERT_TRUE(f.put(rec));

  b.down();
  b.down();
  b.down();  // one row scrolls in; the rows that stay are not read again
  EXPECT_EQ(names(b), (std::vector<std::string>{"Item 02", "Item 04", "Item 05"}));
  EXPECT_FALSE(b.refresh());  // the conditions did not change: nothing is read
  EXPECT_EQ(b.cell(0, 1), "Item 02");
  EXPECT_TRUE(b.refresh(true));  // from the page's first row
  EXPECT_EQ(names(b), (std::vector<std::string>{"Item 02 renamed", "Item 04", "Item 05"}));
  EXPECT_EQ(currentName(), "Item 05");  // the highlight stays on its record
}

TEST_F(RecordBrowseTest, ConditionsAreAskedAgainAtEveryRefreshAndAChangeReloadsFromTheTop) {
  addNumberedItems(12);
  RecordBrowse b(ctx, itemSpec(3));
  ASSERT_TRUE(b.reload());
  b.end();
  subgroup = 2;
  EXPECT_TRUE(b.refresh());
  EXPECT_EQ(names(b), (std::vector<std::string>{"Item 00", "Item 03", "Item 06"}));
  EXPECT_EQ(b.current(), 0);
  EXPECT_EQ(currentName(), "Item 00");
  EXPECT_EQ(b.count(), 4);

  subgroup = 7;  // a subgroup without items: empty, the buffer cleared
  int calls = 0;
  bool gotEmpty = false;
  b.onCurrent = [&](const BrowseRow* r) { ++calls; gotEmpty = r == nullptr; };
  EXPECT_TRUE(b.refresh());
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(b.current(), -1);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(gotEmpty);
  EXPECT_EQ(currentName(), "");
  b.down();
  b.pageDown();
  b.dragThumb(50);
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(b.thumb(), 0);
}

TEST_F(RecordBrowseTest, LocatorFindsTheFirstNameNotLessWithoutCaseInSlovenianOrder) {
  for (const char* n : {"cesar", "Čebula", "ćevap", "dren", "Sivka", "šipek", "zelje", "Žajbelj"}) addItem(1, 1, n);
  RecordBrowse b(ctx, itemSpec(3));
  ASSERT_TRUE(b.reload());
  struct Case {
    const char* typed;
    const char* found;
    int highlighted;  // on the page
  };
  for (const Case& c : std::vector<Case>{{"č", "Čebula", 0},
                                         {"ČE", "Čebula", 0},
                                         {"Ć", "ćevap", 0},
                                         {"s", "Sivka", 0},
                                         {"ŠI", "šipek", 0},
                                         {"zZ", "Žajbelj", 2},   // near the end: the page is filled from before
                                         {"ž", "Žajbelj", 2},
                                         {"žz", "Žajbelj", 2},   // nothing is not less: the last row
                                         {"A", "cesar", 0}}) {
    ASSERT_TRUE(b.locate(cp(c.typed))) << c.typed;
    EXPECT_EQ(currentName(), cp(c.found)) << c.typed;
    EXPECT_EQ(b.current(), c.highlighted) << c.typed;
    EXPECT_EQ(b.rows(), 3) << c.typed;
  }
}

TEST_F(RecordBrowseTest, RangeOnLeadingKeyComponentsKeepsTiesInTheirKeyOrder) {
  auto offer = [&](std::int32_t item, const char* price, std::int16_t sort, const char* name) {
    RecordBuffer b(FileId::Paralela);
    b.clear();
    auto& p = b.as<Paralela>();
    p.skup = 28;
    p.posk = 1;
    p.sklop = 2;
    p.sifr = item;
    p.bcena = *Decimal::parse(price);
    p.sort = sort;
    p.imezd = std::string(name);
    EXPECT_TRUE(ctx.file(FileId::Paralela).add(b));
  };
  offer(7, "5", 3, "c");
  offer(7, "4.5", 0, "a");
  offer(8, "1", 0, "other item");
  offer(7, "5", 1, "b");
  const auto& par = fileDef(FileId::Paralela);
  RecordBrowseSpec s{FileId::Paralela, Key::PAR_KSKLOP};
  s.where = [&] {
    return std::vector<Condition>{Condition::eq(par.findField("SKUP"), 28), Condition::eq(par.findField("POSK"), 1),
                                  Condition::eq(par.findField("SKLOP"), 2), Condition::eq(par.findField("SIFR"), 7)};
  };
  s.columns.push_back(RecordColumn::field(par, "IMEZD", "@s100", {"Ime"}));
  s.columns.push_back(RecordColumn::field(par, "BCENA", "@n15`4~ €~B", {"Cena"}));
  s.styleOf = [](int pos, const BrowseRow&) { return pos % 2 == 0 ? 1 : 2; };
  RecordBrowse b(ctx, s);
  ASSERT_TRUE(b.reload());
  ASSERT_EQ(b.rows(), 3);
  EXPECT_EQ(b.cell(0, 0), "a");
  EXPECT_EQ(b.cell(1, 0), "b");
  EXPECT_EQ(b.cell(2, 0), "c");
  EXPECT_EQ(b.cell(0, 1), "4,5000 €");
  EXPECT_EQ(b.styleOf(0), 1);
  EXPECT_EQ(b.styleOf(1), 2);
  // The thumb interpolates the gross price, the first component the range
  // leaves open.
  EXPECT_EQ(b.thumb(), 0);
  b.dragThumb(100);
  EXPECT_EQ(b.thumb(), 100);
  b.dragThumb(50);  // 4.75: the first offer not below it
  EXPECT_EQ(ctx.rec<Paralela>(FileId::Paralela).imezd.view(), "b");
}

TEST_F(RecordBrowseTest, ShowRecordPositionsOnItAndTellsWhenTheViewDoesNotHoldIt) {
  addNumberedItems(30);
  RecordBrowse b(ctx, itemSpec());
  ASSERT_TRUE(b.reload());
  b.down();  // the highlight on the second row of the page
  auto pos = addItem(1, 5000, "Item 15b");
  RecordBuffer added(FileId::Podatki);
  ASSERT_TRUE(ctx.file(FileId::Podatki).reget(pos, added));
  ASSERT_TRUE(b.showRecord(added, pos));
  EXPECT_EQ(currentName(), "Item 15b");
  EXPECT_EQ(b.current(), 1);
  EXPECT_EQ(b.cell(0, 1), "Item 14");

  auto elsewhere = addItem(2, 5001, "Item 15c");  // not in this subgroup
  ASSERT_TRUE(ctx.file(FileId::Podatki).reget(elsewhere, added));
  EXPECT_FALSE(b.showRecord(added, elsewhere));
  EXPECT_NE(currentName(), "Item 15c");
}

TEST_F(RecordBrowseTest, TextThumbSpreadsStepsBetweenFirstAndLastNames) {
  for (const char* n : {"Acetilcistein", "Bisoprolol", "Cefazolin", "Čaj", "Diazepam", "Enalapril", "Furosemid",
                        "Metformin", "Paracetamol", "Šumeča tableta", "Tramadol", "Žlička"})
    addItem(1, 1, n);
  RecordBrowse b(ctx, itemSpec(2));
  ASSERT_TRUE(b.reload());
  EXPECT_EQ(b.thumb(), 0);
  b.dragThumb(100);
  EXPECT_EQ(currentName(), cp("Žlička"));
  EXPECT_EQ(b.thumb(), 100);
  // Every step lands on a row not less than the step and moves forward.
  std::string last;
  int lastThumb = -1;
  for (int p = 2; p <= 99; p += 7) {
    b.dragThumb(p);
    std::string now = currentName();
    EXPECT_GE(cp1250::compareNoCase(now, last), 0) << p;
    EXPECT_GE(b.thumb(), lastThumb) << p;
    last = now;
    lastThumb = b.thumb();
  }
  b.dragThumb(1);
  EXPECT_EQ(currentName(), "Acetilcistein");
}

TEST(ThumbTableTest, StepsAndPositions) {
  auto n = ThumbTable::ofNumbers(100, 1090);
  EXPECT_EQ(n.number(1), 100);
  EXPECT_EQ(n.number(100), 1090);
  EXPECT_EQ(n.number(2), 110);
  EXPECT_EQ(n.positionOf(100), 0);    // the first step
  EXPECT_EQ(n.positionOf(105), 2);    // the first step not below it
  EXPECT_EQ(n.positionOf(1090), 100);
  EXPECT_EQ(n.positionOf(5000), 100);

  auto t = ThumbTable::ofTexts(cp("AB"), cp("ŽA"));
  EXPECT_EQ(t.text(1), "AB");
  EXPECT_EQ(t.text(100), cp("ŽA"));
  for (int p = 2; p <= 100; ++p) EXPECT_LE(cp1250::compareNoCase(t.text(p - 1), t.text(p)), 0) << p;
  // Č sorts between C and Ć: the steps go through it, not through the
  // bytes between C and Ć.
  auto c = ThumbTable::ofTexts("C", cp("Ć"));
  EXPECT_EQ(c.text(49)[0], 'C');
  EXPECT_EQ(c.text(51)[0], cp("Č")[0]);
  EXPECT_EQ(c.positionOf(cp("Č")), 51);
  EXPECT_EQ(c.positionOf(c.text(65)), 65);
}

TEST_F(RecordBrowseTest, EndsThumbStandsInTheMiddleUnlessAnEndIsShown) {
  addNumberedItems(30);
  auto s = itemSpec(3);
  s.thumb = ThumbMode::Ends;
  RecordBrowse b(ctx, s);
  ASSERT_TRUE(b.reload());
  EXPECT_EQ(b.thumb(), 0);
  b.pageDown();
  EXPECT_EQ(b.thumb(), 50);
  b.end();
  EXPECT_EQ(b.thumb(), 100);
}

TEST_F(RecordBrowseTest, JoinedRecordsAreLookedUpOncePerKeyAndRestoredWithTheRow) {
  auto sub = [&](std::int16_t posk, const char* name) {
    RecordBuffer b(FileId::Pskupine);
    b.clear();
    b.as<Pskupine>().skup = 28;
    b.as<Pskupine>().posk = posk;
    b.as<Pskupine>().nazi = cp(name);
    ASSERT_TRUE(ctx.file(FileId::Pskupine).add(b));
  };
  sub(1, "Zdravila");
  sub(2, "Cepiva");
  addItem(1, 1, "A");
  addItem(2, 2, "B");
  addItem(1, 3, "C");
  addItem(3, 4, "D");  // no such subgroup: a blank name
  auto s = itemSpec(10);
  s.where = nullptr;
  s.joins.push_back({FileId::Pskupine, Key::PSK_KSKUP, [](const RecordBuffer& item, RecordBuffer& probe) {
                       probe.as<Pskupine>().skup = item.as<Podatki>().skup.get();
                       probe.as<Pskupine>().posk = item.as<Podatki>().posk.get();
                     }});
  s.columns.push_back(RecordColumn::joined(0, fileDef(FileId::Pskupine), "NAZI", "@s110", {"Sklop"}));
  RecordBrowse b(ctx, s);
  ASSERT_TRUE(b.reload());
  ASSERT_EQ(b.rows(), 4);
  EXPECT_EQ(b.cell(0, 2), "Zdravila");
  EXPECT_EQ(b.cell(1, 2), "Cepiva");
  EXPECT_EQ(b.cell(2, 2), "Zdravila");
  EXPECT_EQ(b.cell(3, 2), "");
  EXPECT_EQ(b.row(0).joined[0], b.row(2).joined[0]);  // one look-up for both
  b.select(1);
  EXPECT_EQ(ctx.rec<Pskupine>(FileId::Pskupine).posk.get(), 2);
  b.select(3);
  EXPECT_EQ(ctx.rec<Pskupine>(FileId::Pskupine).posk.get(), 0);
}

TEST_F(RecordBrowseTest, PageSizeChangeKeepsTheHighlightedRecordInView) {
  addNumberedItems(30);
  RecordBrowse b(ctx, itemSpec(6));
  ASSERT_TRUE(b.reload());
  for (int i = 0; i < 5; ++i) b.down();
  ASSERT_EQ(currentName(), "Item 08");
  int selections = 0;
  b.onNewSelection = [&] { ++selections; };
  b.setPageSize(3);
  EXPECT_EQ(b.rows(), 3);
  EXPECT_EQ(currentName(), "Item 08");
  EXPECT_EQ(b.cell(b.current(), 1), "Item 08");
  b.setPageSize(10);
  EXPECT_EQ(b.rows(), 10);
  EXPECT_EQ(b.cell(b.current(), 1), "Item 08");
  EXPECT_EQ(selections, 0);  // the same record stays highlighted
}

TEST_F(RecordBrowseTest, ReadErrorsAndConditionsThatCannotApplyAreReported) {
  addNumberedItems(6);
  std::vector<int> warnings;
  auto s = itemSpec();
  s.where = [] { return std::vector<Condition>{Condition::eq(999, 1)}; };
  RecordBrowse b(ctx, s);
  b.onError = [&](const BrowseError& e) { warnings.push_back(e.warning); };
  ASSERT_TRUE(b.reload());
  EXPECT_EQ(warnings, std::vector<int>{36});
  EXPECT_EQ(b.rows(), 5);  // read without the condition

  warnings.clear();
  RecordBrowse closed(ctx, itemSpec());
  closed.onError = [&](const BrowseError& e) { warnings.push_back(e.warning); };
  releaseFile(ctx, FileId::Podatki);
  EXPECT_FALSE(closed.reload());
  EXPECT_EQ(warnings, std::vector<int>{35});
  EXPECT_TRUE(closed.empty());
}

TEST_F(RecordBrowseTest, DropListLoadsEveryRecordOfTheGroupAndCopiesTheChoice) {
  for (std::int16_t g : {27, 28}) {
    for (std::int16_t p : {3, 1, 2}) {
      RecordBuffer b(FileId::Pskupine);
      b.clear();
      b.as<Pskupine>().skup = g;
      b.as<Pskupine>().posk = p;
      b.as<Pskupine>().nazi = cp("Sklop " + std::to_string(g) + "/" + std::to_string(p));
      ASSERT_TRUE(ctx.file(FileId::Pskupine).add(b));
    }
  }
  const auto& psk = fileDef(FileId::Pskupine);
  std::int16_t group = 28;
  RecordDropListSpec s{FileId::Pskupine, Key::PSK_KSKUP};
  s.where = [&] { return std::vector<Condition>{Condition::eq(psk.findField("SKUP"), group)}; };
  s.columns.push_back(RecordColumn::field(psk, "NAZI", "@s110", {"Naziv sklopa"}));
  s.columns.push_back(RecordColumn::field(psk, "POSK", "@n02b", {"SK"}));
  RecordDropList d(ctx, s);
  ASSERT_TRUE(d.load());
  ASSERT_EQ(d.rows(), 3);
  EXPECT_EQ(d.cell(0, 0), "Sklop 28/1");
  EXPECT_EQ(d.cell(2, 1), "03");
  d.select(2);
  EXPECT_EQ(ctx.rec<Pskupine>(FileId::Pskupine).posk.get(), 3);
  EXPECT_TRUE(d.show(psk.findField("POSK"), 2));
  EXPECT_EQ(d.current(), 1);
  group = 5;
  ASSERT_TRUE(d.load());
  EXPECT_TRUE(d.empty());
  EXPECT_EQ(ctx.rec<Pskupine>(FileId::Pskupine).posk.get(), 0);
}

}  // namespace
}  // namespace tdx::rt
