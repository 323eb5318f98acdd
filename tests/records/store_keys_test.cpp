// Key order and attributes of the store: DUP, unique, OPT, NOCASE, ties,
// and reading forwards and backwards from any key value.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"
#include "records/store_range.h"
#include "records/store_schema.h"
#include "support/temp_folder.h"

namespace tdx {
namespace {

std::string cp(const char* utf8) { return *cp1250::fromUtf8(utf8); }

struct Offer {
  int skup, posk, sklop, sifr;
  const char* bcena;
  int sort;
  const char* ean;
  const char* idzdr;
  const char* name;
};

RecordBuffer offerRecord(const Offer& o) {
  RecordBuffer buf(FileId::Paralela);
  buf.clear();
  auto& p = buf.as<Paralela>();
  p.skup = std::int16_t(o.skup);
  p.posk = std::int16_t(o.posk);
  p.sklop = std::int16_t(o.sklop);
  p.sifr = o.sifr;
  p.bcena = *Decimal::parse(o.bcena);
  p.sort = std::int16_t(o.sort);
  p.ean = o.ean;
  p.idzdr = o.idzdr;
  p.imezd = cp(o.name);
  return buf;
}

class StoreKeys : public ::testing::Test {
 protected:
  test::TempFolder dir{"store-keys"};

  // A fresh, open file of the given kind.
  std::unique_ptr<RecordFile> fresh(FileId id) {
    auto f = std::make_unique<RecordFile>(fileDef(id), dir.path());
    EXPECT_TRUE(f->create()) << f->error().describe();
    EXPECT_TRUE(f->open()) << f->error().describe();
    return f;
  }
};

// The names of the offers in a key's order, forwards or backwards.
std::vector<std::string> offerNames(RecordFile& f, std::optional<Key> key, bool backwards = false) {
  std::vector<std::string> names;
  EXPECT_TRUE(key ? f.setKey(*key) : f.setFileOrder());
  RecordBuffer buf(FileId::Paralela);
  while (backwards ? f.previous(buf) : f.next(buf)) names.push_back(cp1250::toUtf8(buf.as<Paralela>().imezd.view()));
  EXPECT_EQ(f.error().code, err::EndOfFile);
  return names;
}

using Names = std::vector<std::string>;

const Offer kOffers[] = {
    {1, 1, 1, 100, "5.0", 8, "3830000000001", "A00001", "A"},
    {1, 1, 1, 100, "5.0", 2, "", "A00002", "B"},  // blank bar code
    {1, 1, 1, 100, "4.5", 8, "3830000000001", "A00001", "C"},
    {1, 1, 2, 200, "1.0", 8, "3830000000002", "A00003", "D"},
    {0, 0, 0, 0, "0", 0, "", "", "E"},  // blank in every key
};

TEST_F(StoreKeys, OffersKeysOrderAndLeaveOutBlankValues) {
  auto f = fresh(FileId::Paralela);
  for (const auto& o : kOffers) {
    auto buf = offerRecord(o);
    ASSERT_TRUE(f->add(buf)) << f->error().describe();
  }
  EXPECT_EQ(f->records(), 5);
  EXPECT_EQ(offerNames(*f, std::nullopt), (Names{"A", "B", "C", "D", "E"}));
  // Cheapest first; equal gross unit prices by PAR:SORT.
  EXPECT_EQ(offerNames(*f, Key::PAR_KSKLOP), (Names{"C", "B", "A", "D"}));
  EXPECT_EQ(offerNames(*f, Key::PAR_KSKLOP, true), (Names{"D", "A", "B", "C"}));
  // Equal bar codes in the order they were added; blank ones left out.
  EXPECT_EQ(offerNames(*f, Key::PAR_KCRTNA), (Names{"A", "C", "D"}));
  EXPECT_EQ(offerNames(*f, Key::PAR_KIDZDR), (Names{"A", "C", "B", "D"}));

  // The offer without a bar code is found through its item and its code.
  RecordBuffer probe = offerRecord(kOffers[1]);
  EXPECT_FALSE(f->get(Key::PAR_KCRTNA, probe));
  EXPECT_EQ(f->error().code, err::RecordNotFound);
  probe = offerRecord(kOffers[1]);
  ASSERT_TRUE(f->get(Key::PAR_KSKLOP, probe));
  EXPECT_EQ(probe.as<Paralela>().imezd.view(), "B");
  probe.clear();
  probe.as<Paralela>().idzdr = "A00002";
  ASSERT_TRUE(f->get(Key::PAR_KIDZDR, probe));
  EXPECT_EQ(probe.as<Paralela>().imezd.view(), "B");
  // Of several equal values, get finds the first in key order.
  probe.clear();
  probe.as<Paralela>().ean = "3830000000001";
  ASSERT_TRUE(f->get(Key::PAR_KCRTNA, probe));
  EXPECT_EQ(probe.as<Paralela>().imezd.view(), "A");
}

TEST_F(StoreKeys, ReadsForwardsAndBackwardsFromAnyKeyValue) {
  auto f = fresh(FileId::Paralela);
  for (const auto& o : kOffers) {
    auto buf = offerRecord(o);
    ASSERT_TRUE(f->add(buf));
  }
  struct Case {
    Offer from;
    const char* next;      // first record at or after the value ("" = none)
    const char* previous;  // last record at or before it
  };
  const Case cases[] = {
      {{1, 1, 1, 100, "5.0", 0, "", "", ""}, "B", "C"},
      {{1, 1, 1, 100, "5.0", 2, "", "", ""}, "B", "B"},
      {{1, 1, 1, 100, "4.9999", 99, "", "", ""}, "B", "C"},
      {{1, 1, 2, 0, "0", 0, "", "", ""}, "D", "A"},
      {{0, 0, 0, 0, "0", 0, "", "", ""}, "C", ""},
      {{9, 0, 0, 0, "0", 0, "", "", ""}, "", "D"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("from ") + std::to_string(c.from.sklop) + "/" + c.from.bcena);
    RecordBuffer buf(FileId::Paralela);
    ASSERT_TRUE(f->setKey(Key::PAR_KSKLOP, offerRecord(c.from)));
    bool got = f->next(buf);
    EXPECT_EQ(got ? std::string(buf.as<Paralela>().imezd.view()) : "", c.next);
    ASSERT_TRUE(f->setKey(Key::PAR_KSKLOP, offerRecord(c.from)));
    got = f->previous(buf);
    EXPECT_EQ(got ? std::string(buf.as<Paralela>().imezd.view()) : "", c.previous);
  }

  // Turning round reads the record before the last one handed out.
  RecordBuffer buf(FileId::Paralela);
  ASSERT_TRUE(f->setKey(Key::PAR_KSKLOP));
  ASSERT_TRUE(f->next(buf) && f->next(buf) && f->next(buf));
  EXPECT_EQ(buf.as<Paralela>().imezd.view(), "A");
  ASSERT_TRUE(f->previous(buf));
  EXPECT_EQ(buf.as<Paralela>().imezd.view(), "B");

  // File order from a position, inclusive both ways.
  ASSERT_TRUE(f->setPosition(Position{3}));
  ASSERT_TRUE(f->next(buf));
  EXPECT_EQ(buf.as<Paralela>().imezd.view(), "C");
  ASSERT_TRUE(f->setPosition(Position{3}));
  ASSERT_TRUE(f->previous(buf));
  EXPECT_EQ(buf.as<Paralela>().imezd.view(), "C");
  ASSERT_TRUE(f->previous(buf));
  EXPECT_EQ(buf.as<Paralela>().imezd.view(), "B");
}

// Many ties and long runs: the reading crosses read-ahead batches and tie
// groups in both directions and must match a plain sort of the same rows.
TEST_F(StoreKeys, LongRunsOfTiesReadInExactKeyOrder) {
  auto f = fresh(FileId::Paralela);
  std::mt19937 rng(7);
  using Tuple = std::tuple<int, int, int, int, int, int, std::int64_t>;  // KSKLOP value, then row id
  std::vector<Tuple> expected;
  const char* prices[] = {"1", "2.5", "3"};
  ASSERT_TRUE(f->stream());
  for (int i = 0; i < 700; ++i) {
    Offer o{int(rng() % 2) + 1, int(rng() % 2) + 1, int(rng() % 2) + 1, int(rng() % 3) + 1, prices[rng() % 3],
            int(rng() % 2), "", "", "x"};
    auto buf = offerRecord(o);
    ASSERT_TRUE(f->add(buf));
    int units = int(buf.as<Paralela>().bcena.units());
    expected.emplace_back(o.skup, o.posk, o.sklop, o.sifr, units, o.sort, f->position().id);
  }
  ASSERT_TRUE(f->flush());
  std::sort(expected.begin(), expected.end());

  auto idsOf = [&](bool backwards) {
    std::vector<std::int64_t> ids;
    RecordBuffer buf(FileId::Paralela);
    while (backwards ? f->previous(buf) : f->next(buf)) ids.push_back(f->position().id);
    return ids;
  };
  std::vector<std::int64_t> want;
  for (const auto& t : expected) want.push_back(std::get<6>(t));
  ASSERT_TRUE(f->setKey(Key::PAR_KSKLOP));
  EXPECT_EQ(idsOf(false), want);
  ASSERT_TRUE(f->setKey(Key::PAR_KSKLOP));
  auto back = idsOf(true);
  std::reverse(back.begin(), back.end());
  EXPECT_EQ(back, want);

  // From the middle of a tie group, forwards then backwards.
  for (std::size_t at : {std::size_t(0), std::size_t(123), std::size_t(350), expected.size() - 1}) {
    RecordBuffer here(FileId::Paralela);
    ASSERT_TRUE(f->reget(Position{std::get<6>(expected[at])}, here));
    ASSERT_TRUE(f->setKey(Key::PAR_KSKLOP, here));
    RecordBuffer buf(FileId::Paralela);
    ASSERT_TRUE(f->next(buf));
    // The first of the record's tie group, which may be an earlier row.
    auto keyOf = [](const Tuple& t) {
      return std::make_tuple(std::get<0>(t), std::get<1>(t), std::get<2>(t), std::get<3>(t), std::get<4>(t),
                             std::get<5>(t));
    };
    auto first = std::find_if(expected.begin(), expected.end(),
                              [&](const Tuple& t) { return keyOf(t) == keyOf(expected[at]); });
    EXPECT_EQ(f->position().id, std::get<6>(*first));
  }
}

TEST_F(StoreKeys, UniqueKeysRefuseDuplicatesOnAddAndPut) {
  auto f = fresh(FileId::Skupine);
  auto group = [](int skup, const char* name) {
    RecordBuffer b(FileId::Skupine);
    b.clear();
    b.as<Skupine>().skup = std::int16_t(skup);
    b.as<Skupine>().nazi = cp(name);
    return b;
  };
  auto a = group(1, "Čaj");
  ASSERT_TRUE(f->add(a));
  auto sameNumber = group(1, "Drugo");
  EXPECT_FALSE(f->add(sameNumber));
  EXPECT_EQ(f->error().code, err::DuplicateKey);
  // NOCASE: the same name in other letter case is the same key value.
  auto sameName = group(2, "čaj");
  EXPECT_FALSE(f->add(sameName));
  EXPECT_EQ(f->error().code, err::DuplicateKey);
  // OPT: blank values are out of the key, so they never collide.
  auto blank1 = group(0, ""), blank2 = group(0, "");
  EXPECT_TRUE(f->add(blank1));
  EXPECT_TRUE(f->add(blank2));

  auto b = group(3, "Dan");
  ASSERT_TRUE(f->add(b));
  b.as<Skupine>().skup = 1;
  EXPECT_FALSE(f->put(b));
  EXPECT_EQ(f->error().code, err::DuplicateKey);
  EXPECT_EQ(f->records(), 4);
}

TEST_F(StoreKeys, NocaseKeysSortSlovenianAndMatchWithoutCase) {
  auto f = fresh(FileId::Zdravnet);
  for (const char* name : {"dan", "ćup", "Čaj", "cvet", "čaj", "Cvet"}) {
    RecordBuffer b(FileId::Zdravnet);
    b.clear();
    b.as<Zdravnet>().imeregistr = cp(name);
    ASSERT_TRUE(f->add(b)) << name << ": " << f->error().describe();
  }
  std::vector<std::string> names;
  ASSERT_TRUE(f->setKey(Key::RZDR_KIME));
  RecordBuffer b(FileId::Zdravnet);
  while (f->next(b)) names.push_back(b.as<Zdravnet>().imeregistr.utf8());
  EXPECT_EQ(names, (Names{"cvet", "Cvet", "Čaj", "čaj", "ćup", "dan"}));

  b.clear();
  b.as<Zdravnet>().imeregistr = cp("ČAJ");
  ASSERT_TRUE(f->get(Key::RZDR_KIME, b));
  EXPECT_EQ(b.as<Zdravnet>().imeregistr.utf8(), "Čaj");
  // A blank bar code is in RZDR:KCRTNA (no OPT there).
  b.clear();
  EXPECT_TRUE(f->get(Key::RZDR_KCRTNA, b));
}

// Every seek the store makes is an index search in the key's own index,
// never a scan of the table and never a sort.
TEST_F(StoreKeys, EverySeekIsAnIndexSearch) {
  for (const auto& def : allFiles()) {
    if (!def.ownerPassword.empty()) continue;
    RecordFile f(def, dir.path());
    ASSERT_TRUE(f.create()) << f.error().describe();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(f.path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    store::Schema schema(def);
    auto planOf = [&](const std::string& sql) {
      std::string plan;
      sqlite3_stmt* s = nullptr;
      EXPECT_EQ(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &s, nullptr), SQLITE_OK)
          << sqlite3_errmsg(db) << "\n" << sql;
      while (s && sqlite3_step(s) == SQLITE_ROW)
        plan += std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 3))) + "\n";
      sqlite3_finalize(s);
      return plan;
    };
    for (bool forward : {true, false}) {
      auto plan = planOf(store::seekSql(schema, nullptr, {}, 0, forward));
      EXPECT_NE(plan.find("INTEGER PRIMARY KEY"), std::string::npos) << plan;
      for (const auto& k : schema.keys()) {
        // With and without the leading component fixed by a condition.
        store::Filter fixed{" AND " + k.components[0].column + "=?", {{}}, 1};
        for (const store::Filter* filter : std::initializer_list<const store::Filter*>{&fixed, nullptr}) {
          store::Filter none;
          for (int level = -1; level <= int(k.components.size()); ++level) {
            auto sql = store::seekSql(schema, &k, filter ? *filter : none, level, forward);
            auto plan = planOf(sql);
            SCOPED_TRACE(sql);
            // Only the very first page of an unfiltered view starts at an
            // end of the index rather than at a sought value.
            if (level >= 0 || filter) {
              EXPECT_NE(plan.find("SEARCH"), std::string::npos) << plan;
              EXPECT_EQ(plan.find("SCAN"), std::string::npos) << plan;
            }
            EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
            EXPECT_NE(plan.find("INDEX " + std::string(k.def->name)), std::string::npos) << plan;
          }
        }
      }
    }
    sqlite3_close(db);
  }
}

}  // namespace
}  // namespace tdx
