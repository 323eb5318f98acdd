// Ordered views: pages from any place in both directions, conditions,
// ranges on leading key components, locators, counts.

#include <gtest/gtest.h>

#include <algorithm>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"
#include "support/temp_folder.h"

namespace tdx {
namespace {

std::string cp(const char* utf8) { return *cp1250::fromUtf8(utf8); }

class StoreView : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(offers.create() && offers.open());
    ASSERT_TRUE(offers.stream());
    // Three items of subgroup 1 and one of subgroup 2, several offers each,
    // some withdrawn (sort 99).
    int n = 0;
    for (int posk : {1, 2})
      for (int sifr = 1; sifr <= (posk == 1 ? 3 : 1); ++sifr)
        for (int i = 0; i < 9; ++i) {
          RecordBuffer b(FileId::Paralela);
          b.clear();
          auto& p = b.as<Paralela>();
          p.skup = 1;
          p.posk = std::int16_t(posk);
          p.sklop = 1;
          p.sifr = sifr;
          p.bcena = Decimal(10 - i % 4);  // ties in price
          p.sort = std::int16_t(i == 4 ? kWithdrawnSort : i % 3);
          p.imezd = "offer " + std::to_string(++n);
          ASSERT_TRUE(offers.add(b));
        }
    ASSERT_TRUE(offers.flush());
  }

  // Every row of a view read in pages forwards, then backwards, which
  // must agree; the rows' positions.
  std::vector<std::int64_t> walk(OrderedView& v, int page) {
    std::vector<std::int64_t> forward, backward;
    std::vector<ViewRow> rows;
    EXPECT_TRUE(v.first(page, rows)) << v.error().describe();
    while (!rows.empty()) {
      for (auto& r : rows) forward.push_back(r.position().id);
      Bookmark last = rows.back().mark;
      EXPECT_TRUE(v.after(last, page, rows)) << v.error().describe();
    }
    EXPECT_TRUE(v.last(page, rows));
    while (!rows.empty()) {
      for (auto it = rows.rbegin(); it != rows.rend(); ++it) backward.push_back(it->position().id);
      Bookmark first = rows.front().mark;
      EXPECT_TRUE(v.before(first, page, rows));
    }
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(forward, backward);
    return forward;
  }

  // The same rows by reading the whole key with next().
  std::vector<std::int64_t> byNext(Key key, bool (*keep)(const Paralela&)) {
    std::vector<std::int64_t> ids;
    RecordBuffer b(FileId::Paralela);
    EXPECT_TRUE(offers.setKey(key));
    while (offers.next(b))
      if (keep(b.as<Paralela>())) ids.push_back(offers.position().id);
    return ids;
  }

  test::TempFolder dir{"store-view"};
  RecordFile offers{fileDef(FileId::Paralela), dir.path()};
};

TEST_F(StoreView, PagesInBothDirectionsMatchTheKeyOrder) {
  OrderedView all(offers, Key::PAR_KSKLOP);
  for (int page : {1, 4, 7, 100}) {
    SCOPED_TRACE(page);
    EXPECT_EQ(walk(all, page), byNext(Key::PAR_KSKLOP, [](const Paralela&) { return true; }));
  }
  EXPECT_EQ(all.count(), 36);

  // Leading components fixed by conditions read as a range of the key,
  // with a further condition on a field outside the key.
  const auto& def = fileDef(FileId::Paralela);
  OrderedView item(offers, Key::PAR_KSKLOP,
                   {Condition::eq(def.findField("SKUP"), 1), Condition::eq(def.findField("POSK"), 1),
                    Condition::eq(def.findField("SKLOP"), 1), Condition::eq(def.findField("SIFR"), 2),
                    Condition{def.findField("SORT"), Condition::Op::Ne, kWithdrawnSort}});
  auto want = byNext(Key::PAR_KSKLOP, [](const Paralela& p) {
    return p.posk == 1 && p.sifr == 2 && p.sort != kWithdrawnSort;
  });
  ASSERT_EQ(want.size(), 8u);
  for (int page : {1, 3, 30}) EXPECT_EQ(walk(item, page), want);
  EXPECT_EQ(item.count(), 8);

  // The cheapest valid offer of the item comes first.
  std::vector<ViewRow> rows;
  ASSERT_TRUE(item.first(1, rows));
  EXPECT_EQ(rows[0].record.as<Paralela>().bcena.get(), Decimal(7));
}

TEST_F(StoreView, LocatorsStartAtTheFirstRowNotLessThanTheValue) {
  const auto& def = fileDef(FileId::Paralela);
  OrderedView item(offers, Key::PAR_KSKLOP,
                   {Condition::eq(def.findField("SKUP"), 1), Condition::eq(def.findField("POSK"), 1),
                    Condition::eq(def.findField("SKLOP"), 1), Condition::eq(def.findField("SIFR"), 3)});
  std::vector<ViewRow> rows;
  // The first component the conditions leave open is the price.
  ASSERT_TRUE(item.fromText("8.5", 50, rows)) << item.error().describe();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front().record.as<Paralela>().bcena.get(), Decimal(9));
  for (const auto& r : rows) EXPECT_EQ(r.record.as<Paralela>().sifr, 3);
  // A record as the locator: from an item before the range, the whole
  // range; from one after it, nothing.
  RecordBuffer probe(FileId::Paralela);
  probe.clear();
  probe.as<Paralela>().skup = 1;
  probe.as<Paralela>().posk = 1;
  probe.as<Paralela>().sklop = 1;
  probe.as<Paralela>().sifr = 2;
  ASSERT_TRUE(item.from(probe, 50, rows));
  EXPECT_EQ(rows.size(), 9u);
  probe.as<Paralela>().sifr = 4;
  ASSERT_TRUE(item.from(probe, 50, rows));
  EXPECT_TRUE(rows.empty());
  // The bookmark a view computes for a record is the one its rows carry.
  ASSERT_TRUE(item.first(3, rows));
  auto mark = item.markOf(rows[2].record, rows[2].position());
  EXPECT_EQ(mark.keyBytes, rows[2].mark.keyBytes);
  std::vector<ViewRow> after;
  ASSERT_TRUE(item.after(mark, 1, after));
  ASSERT_TRUE(item.first(4, rows));
  EXPECT_EQ(after[0].position(), rows[3].position());
}

TEST_F(StoreView, NameLocatorsAndTextConditionsIgnoreCase) {
  RecordFile registry(fileDef(FileId::Zdravnet), dir.path());
  ASSERT_TRUE(registry.create() && registry.open());
  const char* names[] = {"Aspirin", "čaj kamilični", "Cvetni prah", "Čaj lipov", "ćevap", "dan"};
  for (const char* name : names) {
    RecordBuffer b(FileId::Zdravnet);
    b.clear();
    b.as<Zdravnet>().imeregistr = cp(name);
    b.as<Zdravnet>().atc = name[0] == 'A' ? "N02BA01" : "V03";
    ASSERT_TRUE(registry.add(b));
  }
  OrderedView byName(registry, Key::RZDR_KIME);
  std::vector<ViewRow> rows;
  ASSERT_TRUE(byName.fromText(cp("ČA"), 2, rows));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].record.as<Zdravnet>().imeregistr.utf8(), "čaj kamilični");
  EXPECT_EQ(rows[1].record.as<Zdravnet>().imeregistr.utf8(), "Čaj lipov");

  const auto& def = fileDef(FileId::Zdravnet);
  OrderedView notAspirin(registry, Key::RZDR_KIME,
                         {Condition::eqText(def.findField("ATC"), "v03", true),
                          Condition{def.findField("IMEREGISTR"), Condition::Op::Lt, 0, cp("Ć"), true}});
  EXPECT_EQ(notAspirin.count(), 3);  // čaj, Cvetni, Čaj: below Ć without case
  // File order, filtered on a field no key orders.
  OrderedView inFileOrder(registry, std::nullopt, {Condition::eqText(def.findField("ATC"), "V03")});
  ASSERT_TRUE(inFileOrder.last(10, rows));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_LT(rows[0].position().id, rows[4].position().id);

  registry.close();
  EXPECT_FALSE(byName.first(1, rows));
  EXPECT_EQ(byName.error().code, err::FileNotOpen);
}

}  // namespace
}  // namespace tdx
