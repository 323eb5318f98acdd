// The store on a tender of realistic size: 20,000 items, 30,000 registered
// medicines, 100,000 offers, generated here with a fixed seed.
//
// Figures: rebuilding the four item indexes; a page of 30 offers by key from
// a random key value, forwards and backwards (through an ordered view and
// through next/previous); opening a file; 100,000 streamed adds beside a
// plain SQLite insert loop of the same rows into a table with the same three
// indexes, with the ratio of the two printed at the end.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"

namespace tdx {
namespace {

namespace fs = std::filesystem;

constexpr int kItems = 20000, kMedicines = 30000, kOffers = 100000;

// Plausible Windows-1250 text: words of Slovenian syllables.
class Words {
 public:
  explicit Words(std::uint64_t seed) : rng_(seed) {}
  std::string text(int minLen, int maxLen) {
    static const char* syllables[] = {"ka", "mi", "lo", "\xE8" "e", "\x9A" "o", "\x9E" "a", "tri", "pro",
                                      "dol", "ni", "va", "zi", "\xE6" "i", "ra", "st", "en", "ol", "tab"};
    int len = minLen + int(rng_() % unsigned(maxLen - minLen + 1));
    std::string s;
    while (int(s.size()) < len) {
      if (!s.empty() && rng_() % 4 == 0) s += ' ';
      s += syllables[rng_() % (sizeof syllables / sizeof *syllables)];
      if (s.size() == 2 && rng_() % 2) s[0] = char(cp1250::upper((unsigned char)s[0]));
    }
    s.resize(std::size_t(len));
    return s;
  }
  std::string digits(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char('0' + rng_() % 10);
    return s;
  }
  std::uint64_t next() { return rng_(); }

 private:
  std::mt19937_64 rng_;
};

struct ItemKey {
  int skup, posk, sklop, sifr;
};

std::vector<RecordBuffer> makeOffers(const std::vector<ItemKey>& items) {
  Words w(3);
  std::vector<RecordBuffer> rows;
  rows.reserve(kOffers);
  for (int i = 0; i < kOffers; ++i) {
    RecordBuffer b(FileId::Paralela);
    b.clear();
    auto& p = b.as<Paralela>();
    const auto& item = items[w.next() % items.size()];
    p.skup = std::int16_t(item.skup);
    p.posk = std::int16_t(item.posk);
    p.sklop = std::int16_t(item.sklop);
    p.sifr = item.sifr;
    p.doba = "12345678";
    p.imezd = w.text(10, 60);
    p.proiz = w.text(8, 30);
    p.prpak = w.text(20, 120);
    p.em = "tableta";
    if (w.next() % 10) p.ean = "383" + w.digits(10);
    char code[8];
    std::snprintf(code, sizeof code, "A%05d", int(w.next() % kMedicines));
    p.idzdr = code;
    p.ncena.setUnits(std::int64_t(w.next() % 5000000));
    p.popust.setUnits(std::int64_t(w.next() % 1000));
    p.pddv.setUnits(950);
    p.bcena.setUnits(std::int64_t(w.next() % 2000000));
    p.sort = std::int16_t(w.next() % 20 == 0 ? kWithdrawnSort : w.next() % 9);
    p.pakiranje = std::int32_t(1 + w.next() % 100);
    p.ncena_az.setUnits(std::int64_t(w.next() % 5000000));
    p.bcena_az.setUnits(std::int64_t(w.next() % 5000000));
    p.kfaktor.setUnits(1000000);
    p.ncena_kf.setUnits(std::int64_t(w.next() % 5000000));
    rows.push_back(std::move(b));
  }
  return rows;
}

// The tender, written once per run into a temporary folder.
struct Tender {
  fs::path folder;
  std::vector<ItemKey> items;
  std::vector<RecordBuffer> offers;

  Tender() {
    char tmpl[] = "/tmp/tendrix-bench-store-XXXXXX";
    folder = mkdtemp(tmpl);
    Words w(1);
    RecordFile pod(fileDef(FileId::Podatki), folder);
    pod.create();
    pod.open(OpenMode::exclusive());
    pod.stream();
    for (int i = 0; i < kItems; ++i) {
      RecordBuffer b(FileId::Podatki);
      b.clear();
      auto& p = b.as<Podatki>();
      ItemKey k{1 + i % 30, 1 + (i / 30) % 20, 1 + int(w.next() % 5), 10000000 + i};
      items.push_back(k);
      p.skup = std::int16_t(k.skup);
      p.posk = std::int16_t(k.posk);
      p.sklop = std::int16_t(k.sklop);
      p.sifr = k.sifr;
      p.nazi = w.text(20, 90);
      p.faob = w.text(8, 40);
      p.enme = "kos";
      p.koli.setUnits(std::int64_t(w.next() % 10000000));
      p.koliane.setUnits(std::int64_t(w.next() % 10000000));
      p.doba = "12345678";
      pod.add(b);
    }
    pod.close();

    RecordFile reg(fileDef(FileId::Zdravnet), folder);
    reg.create();
    reg.open(OpenMode::exclusive());
    reg.stream();
    for (int i = 0; i < kMedicines; ++i) {
      RecordBuffer b(FileId::Zdravnet);
      b.clear();
      auto& z = b.as<Zdravnet>();
      char code[8];
      std::snprintf(code, sizeof code, "A%05d", i);
      z.idzdr = code;
      z.imeregistr = w.text(15, 80);
      if (w.next() % 5) z.crtnakoda = "383" + w.digits(10);
      z.faob = w.text(5, 40);
      z.kolenote = std::int16_t(1 + w.next() % 100);
      z.pakiranje = w.text(20, 150);
      z.atc = "N02BA" + w.digits(2);
      z.ncena.setUnits(std::int64_t(w.next() % 5000000));
      reg.add(b);
    }
    reg.close();

    offers = makeOffers(items);
    RecordFile par(fileDef(FileId::Paralela), folder);
    par.create();
    par.open(OpenMode::exclusive());
    par.stream();
    for (auto& b : offers) par.add(b);
    par.close();

    RecordFile buyer(fileDef(FileId::Kupec), folder);
    buyer.create(kKupecPassword);
  }
  ~Tender() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

Tender& tender() {
  static Tender t;
  return t;
}

void BM_RebuildItemIndexes(benchmark::State& state) {
  RecordFile f(fileDef(FileId::Podatki), tender().folder);
  if (!f.open(OpenMode::exclusive())) state.SkipWithError(f.error().describe().c_str());
  for (auto _ : state)
    if (!f.build()) state.SkipWithError(f.error().describe().c_str());
}
BENCHMARK(BM_RebuildItemIndexes)->Unit(benchmark::kMillisecond);

// Key values spread like the offers' own, but mostly not equal to any.
std::vector<RecordBuffer> probes(int n) {
  Words w(9);
  std::vector<RecordBuffer> out;
  const auto& items = tender().items;
  for (int i = 0; i < n; ++i) {
    RecordBuffer b(FileId::Paralela);
    b.clear();
    const auto& item = items[w.next() % items.size()];
    auto& p = b.as<Paralela>();
    p.skup = std::int16_t(item.skup);
    p.posk = std::int16_t(item.posk);
    p.sklop = std::int16_t(item.sklop);
    p.sifr = item.sifr;
    p.bcena.setUnits(std::int64_t(w.next() % 2000000));
    out.push_back(std::move(b));
  }
  return out;
}

void BM_OfferPageByKeyView(benchmark::State& state) {
  bool forward = state.range(0) != 0;
  RecordFile f(fileDef(FileId::Paralela), tender().folder);
  f.open();
  OrderedView view(f, Key::PAR_KSKLOP);
  auto keys = probes(1000);
  std::vector<ViewRow> rows;
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& probe = keys[i++ % keys.size()];
    bool ok = forward ? view.from(probe, 30, rows)
                      : view.before(view.markOf(probe, Position{INT64_MAX}), 30, rows);
    if (!ok || rows.size() != 30) state.SkipWithError("short page");
  }
}
BENCHMARK(BM_OfferPageByKeyView)->Arg(1)->Arg(0)->ArgName("forward")->Unit(benchmark::kMicrosecond);

void BM_OfferPageByKeyNext(benchmark::State& state) {
  bool forward = state.range(0) != 0;
  RecordFile f(fileDef(FileId::Paralela), tender().folder);
  f.open();
  auto keys = probes(1000);
  RecordBuffer buf(FileId::Paralela);
  std::size_t i = 0;
  for (auto _ : state) {
    f.setKey(Key::PAR_KSKLOP, keys[i++ % keys.size()]);
    for (int n = 0; n < 30; ++n)
      if (!(forward ? f.next(buf) : f.previous(buf))) state.SkipWithError("short page");
  }
}
BENCHMARK(BM_OfferPageByKeyNext)->Arg(1)->Arg(0)->ArgName("forward")->Unit(benchmark::kMicrosecond);

// The registry browser's locator: a page by name from typed letters.
void BM_RegistryPageByName(benchmark::State& state) {
  RecordFile f(fileDef(FileId::Zdravnet), tender().folder);
  f.open();
  OrderedView view(f, Key::RZDR_KIME);
  Words w(11);
  std::vector<std::string> typed;
  for (int i = 0; i < 1000; ++i) typed.push_back(w.text(1, 4));
  std::vector<ViewRow> rows;
  std::size_t i = 0;
  for (auto _ : state) view.fromText(typed[i++ % typed.size()], 30, rows);
}
BENCHMARK(BM_RegistryPageByName)->Unit(benchmark::kMicrosecond);

void BM_OpenOffers(benchmark::State& state) {
  RecordFile f(fileDef(FileId::Paralela), tender().folder);
  for (auto _ : state) {
    if (!f.open()) state.SkipWithError(f.error().describe().c_str());
    f.close();
  }
}
BENCHMARK(BM_OpenOffers)->Unit(benchmark::kMicrosecond);

void BM_OpenSealedBuyer(benchmark::State& state) {
  RecordFile f(fileDef(FileId::Kupec), tender().folder);
  for (auto _ : state) {
    if (!f.open(OpenMode::shared(), kKupecPassword)) state.SkipWithError(f.error().describe().c_str());
    f.close();
  }
}
BENCHMARK(BM_OpenSealedBuyer)->Unit(benchmark::kMillisecond);

void BM_StreamedAdds(benchmark::State& state) {
  auto& t = tender();
  fs::path folder = t.folder / "streamed";
  fs::create_directories(folder);
  for (auto _ : state) {
    state.PauseTiming();
    RecordFile f(fileDef(FileId::Paralela), folder);
    f.create();
    f.open(OpenMode::exclusive());
    state.ResumeTiming();
    f.stream();
    for (auto& b : t.offers)
      if (!f.add(b)) state.SkipWithError(f.error().describe().c_str());
    f.flush();
    state.PauseTiming();
    f.close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StreamedAdds)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same rows as plain values, prepared before the clock starts, inserted
// with one prepared statement in one transaction into a table with the
// three offer indexes.
void BM_PlainInsertLoop(benchmark::State& state) {
  auto& t = tender();
  const auto& def = fileDef(FileId::Paralela);
  struct Value {
    bool text;
    std::int64_t number;
    std::string utf8;
  };
  std::vector<std::vector<Value>> rows;
  for (const auto& b : t.offers) {
    std::vector<Value> row;
    for (const auto& f : def.fields) {
      if (f.type == FieldType::String) row.push_back({true, 0, cp1250::toUtf8(field::getText(b, f))});
      else if (f.type == FieldType::Decimal) row.push_back({false, field::getUnits(b, f), {}});
      else row.push_back({false, field::getInt(b, f), {}});
    }
    rows.push_back(std::move(row));
  }
  std::string columns, marks;
  for (const auto& f : def.fields) {
    columns += std::string(columns.empty() ? "" : ",") + std::string(f.name);
    marks += marks.empty() ? "?" : ",?";
  }
  fs::path file = t.folder / "plain.db";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    std::string ddl = "CREATE TABLE PARALELA(id INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const auto& f : def.fields)
      ddl += std::string(",") + std::string(f.name) + (f.type == FieldType::String ? " TEXT" : " INTEGER");
    ddl += ");CREATE INDEX KCRTNA ON PARALELA(EAN);"
           "CREATE INDEX KSKLOP ON PARALELA(SKUP,POSK,SKLOP,SIFR,BCENA,SORT);"
           "CREATE INDEX KIDZDR ON PARALELA(IDZDR);";
    sqlite3_exec(db, ddl.c_str(), nullptr, nullptr, nullptr);
    sqlite3_stmt* ins = nullptr;
    std::string sql = "INSERT INTO PARALELA(" + columns + ") VALUES(" + marks + ")";
    sqlite3_prepare_v2(db, sql.c_str(), -1, &ins, nullptr);
    state.ResumeTiming();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) {
        if (row[i].text)
          sqlite3_bind_text(ins, int(i) + 1, row[i].utf8.data(), int(row[i].utf8.size()), SQLITE_STATIC);
        else
          sqlite3_bind_int64(ins, int(i) + 1, row[i].number);
      }
      sqlite3_step(ins);
      sqlite3_reset(ins);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    state.PauseTiming();
    sqlite3_finalize(ins);
    sqlite3_close(db);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PlainInsertLoop)->Unit(benchmark::kMillisecond)->Iterations(3);

// Keeps the time of every run so the store's adds can be set against the
// plain loop of the same process.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) ms_[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void printRatios() const {
    auto ours = ms_.find("BM_StreamedAdds/iterations:3"), base = ms_.find("BM_PlainInsertLoop/iterations:3");
    if (ours == ms_.end() || base == ms_.end()) return;
    std::printf("\n100,000 offers: streamed adds %.0f ms, plain insert loop %.0f ms, ratio %.2f (target 1.5)\n",
                ours->second, base->second, ours->second / base->second);
  }

 private:
  std::map<std::string, double> ms_;
};

}  // namespace
}  // namespace tdx

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  tdx::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  benchmark::Shutdown();
  return 0;
}
