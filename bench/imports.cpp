// The offer imports at their real scale: a 100,000-line "paralela.csv" and
// a 100,000-row "PARALDBF.DBF" against a registry of 30,000 medicines,
// uvcsvparaladd, uvparaladd and uvparvdat end to end (warning, backups,
// log, every row, keys, closing), next to a plain SQLite load of the same
// lines in the same run: prepared inserts in one transaction into a table
// of the offers' columns without indexes, then its three indexes built.
//
// Besides the time of a whole run, each import reports its longest batch
// (how long the other windows wait at most between two timer ticks) and
// its closing (keys built, the new file put in place, log copied).
//
// Prints Google Benchmark's figures and then the ratios to the plain load.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "exchange/csv_reader.h"
#include "exchange/dbf_table.h"
#include "exchange/number_text.h"
#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"
#include "records/store_schema.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "transfer/register.h"
#include "ratio_reporter.h"

namespace {

using namespace tdx;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRows = 100000;
constexpr int kMedicines = 30000;
constexpr int kItems = 5000;

const fs::path& folder() {
  static const fs::path p = [] {
    auto f = fs::temp_directory_path() / ("tendrix-bench-imports-" + std::to_string(::getpid()));
    fs::create_directories(f);
    return f;
  }();
  return p;
}

std::string code(int medicine) {
  char c[8];
  std::snprintf(c, sizeof c, "M%05d", medicine);
  return c;
}

// A medicine for row i: mostly registered, some not.
int medicineOf(int i) { return (i * 7919) % (kMedicines + kMedicines / 20); }

template <class Fill>
void writeRecords(FileId id, std::size_t n, Fill fill) {
  RecordFile f(fileDef(id), folder());
  if (!f.create() || !f.open(OpenMode::exclusive()) || !f.stream()) std::abort();
  RecordBuffer buf(id);
  for (std::size_t i = 0; i < n; ++i) {
    buf.clear();
    fill(int(i), buf);
    if (!f.add(buf)) std::abort();
  }
  f.close();
}

void writeFixture() {
  writeRecords(FileId::Zdravnet, kMedicines, [](int i, RecordBuffer& b) {
    auto& r = b.as<Zdravnet>();
    r.idzdr = code(i);
    r.imeregistr = "Zdravilo " + code(i) + " filmsko obložene tablete";
    r.crtnakoda = "383" + std::to_string(1000000000 + i);
    r.kolenote = std::int16_t(10 + i % 50);
    r.enota = "tableta";
    r.pakiranje = "škatla s pretisnimi omoti";
    r.proizn = "Imetnik dovoljenja d.o.o.";
    r.ncena = i % 25 == 0 ? Decimal(0) : Decimal::fromUnits(5000 + (i * 37) % 200000, 4);
  });
  writeRecords(FileId::Podatki, kItems, [](int i, RecordBuffer& b) {
    auto& p = b.as<Podatki>();
    p.skup = std::int16_t(1 + i % 30);
    p.posk = std::int16_t(1 + i % 20);
    p.sklop = std::int16_t(i % 50);
    p.sifr = 10000 + i;
    p.nazi = "Postavka " + std::to_string(i);
  });

  std::string csv;
  dbf::Table t;
  const fs::path table = folder() / "PARALDBF.DBF";
  if (!t.create(table, dbf::kParaldbf) || !t.open(table, dbf::kParaldbf, OpenMode::exclusive())) std::abort();
  dbf::Record r(dbf::kParaldbf);
  for (int i = 0; i < kRows; ++i) {
    const std::string item = std::to_string(10000 + i % kItems);
    const std::string medicine = code(medicineOf(i));
    const Decimal net = Decimal::fromUnits(4000 + (i * 131) % 250000, 4);
    csv += item + ";" + medicine + ";" + net.toString(4) + ";" + (i % 4 ? "0" : "2,5") + ";9,5;" + "\r\n";
    r.clear();
    r.setNumber("SKUP", 1 + i % 30);
    r.setNumber("POSK", 1 + i % 20);
    r.setNumber("SKLOP", i % 50);
    r.setText("SIFR", item);
    r.setText("NAZI", "Postavka " + item);
    r.setText("IMEZD", "Zdravilo " + medicine);
    r.setText("PROIZ", "Imetnik dovoljenja d.o.o.");
    r.setText("PRPAK", "škatla s pretisnimi omoti");
    r.setText("EAN", "383" + std::to_string(1000000000 + i));
    r.setText("IDZDR", medicine);
    r.setText("EM", "tableta");
    r.setNumber("NCENA", net);
    r.setNumber("POPUST", i % 4 ? Decimal(0) : Decimal::fromUnits(25, 1));
    r.setNumber("PDDV", Decimal::fromUnits(95, 1));
    r.setNumber("SORT", 1);
    r.setNumber("PAKIR", 10 + i % 50);
    r.setNumber("KFAKTOR", 1);
    if (!t.append(r)) std::abort();
  }
  t.close();
  std::FILE* f = std::fopen((folder() / "paralela.csv").c_str(), "wb");
  std::fwrite(csv.data(), 1, csv.size(), f);
  std::fclose(f);
}

void ensureFixture() {
  static bool written = (writeFixture(), true);
  (void)written;
}

// The headless runtime, timing every batch of a progress run.
class TimingUi : public rt::HeadlessUi {
 public:
  double longestBatchMs = 0, closingMs = 0;
  void runProgress(std::shared_ptr<rt::TimedTask> task, const rt::ProgressSpec&, bool) override {
    struct Quiet : rt::ProgressWindow {
      void setTitle(std::string_view) override {}
      void setUserText(std::string_view) override {}
      void setPercentText(std::string_view) override {}
      void setPercent(int) override {}
    } w;
    longestBatchMs = 0;
    auto ms = [](Clock::time_point a) { return std::chrono::duration<double, std::milli>(Clock::now() - a).count(); };
    auto start = Clock::now();
    task->opened(w);
    longestBatchMs = ms(start);
    for (bool more = true; more;) {
      start = Clock::now();
      more = task->tick(w);
      longestBatchMs = std::max(longestBatchMs, ms(start));
    }
    start = Clock::now();
    task->closed();
    closingMs = ms(start);
  }
};

void runOnce(const char* procedure) {
  rt::HeadlessUi ui;
  rt::Session session(ui, folder());
  rt::Program program(session);
  session.setProgram(&program);
  transfer::registerProcedures(program);
  program.start(procedure);
}

void runImport(benchmark::State& state, const char* procedure) {
  ensureFixture();
  double longest = 0, closing = 0;
  for (auto _ : state) {
    TimingUi ui;
    rt::Session session(ui, folder());
    rt::Program program(session);
    session.setProgram(&program);
    transfer::registerProcedures(program);
    program.start(procedure);
    longest = std::max(longest, ui.longestBatchMs);
    closing = std::max(closing, ui.closingMs);
    if (ui.transcript().size() > 4) state.SkipWithError(ui.transcript()[1].c_str());
  }
  state.counters["longest_batch_ms"] = longest;
  state.counters["closing_ms"] = closing;
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_PlainSqliteLoad(benchmark::State& state) {
  ensureFixture();
  const store::Schema schema(fileDef(FileId::Paralela));
  const fs::path file = folder() / "plain.db";
  for (auto _ : state) {
    fs::remove(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, schema.createTableSql().c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db, schema.insertSql().c_str(), -1, &insert, nullptr) != SQLITE_OK) {
      state.SkipWithError(sqlite3_errmsg(db));
      break;
    }
    const auto& fields = fileDef(FileId::Paralela).fields;
    auto col = [&](const char* name) { return fileDef(FileId::Paralela).findField(name) + 1; };
    const int pSifr = col("SIFR"), pIdzdr = col("IDZDR"), pNcena = col("NCENA"), pPopust = col("POPUST"),
              pPddv = col("PDDV");
    csv::Reader reader;
    reader.open(folder() / "paralela.csv");
    std::vector<std::string> line;
    while (reader.readNext(line)) {
      for (int p = 1; p <= int(fields.size()); ++p) {
        const FieldType type = fields[std::size_t(p - 1)].type;
        if (type == FieldType::String || type == FieldType::CString) sqlite3_bind_text(insert, p, "", 0, SQLITE_STATIC);
        else sqlite3_bind_int64(insert, p, 0);
      }
      const std::string idzdr(cp1250::trimRight(line[csv::Idzdr]));
      sqlite3_bind_int64(insert, pSifr, *readNumber(line[csv::Sifr]).toInt64());
      sqlite3_bind_text(insert, pIdzdr, idzdr.data(), int(idzdr.size()), SQLITE_TRANSIENT);
      sqlite3_bind_int64(insert, pNcena, *readNumber(line[csv::Ncena]).toUnits(4));
      sqlite3_bind_int64(insert, pPopust, *readNumber(line[csv::Popust]).toUnits(2));
      sqlite3_bind_int64(insert, pPddv, *readNumber(line[csv::Pddv]).toUnits(2));
      int p = int(fields.size()) + 1;
      for (const auto& d : schema.derived()) {
        const std::string key = d.field == pIdzdr - 1 ? cp1250::collationKey(idzdr) : std::string();
        sqlite3_bind_blob(insert, p++, key.data(), int(key.size()), SQLITE_TRANSIENT);
      }
      if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    for (const auto& k : schema.keys()) sqlite3_exec(db, k.createSql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Uvcsvparaladd(benchmark::State& state) { runImport(state, "uvcsvparaladd"); }
void BM_Uvparaladd(benchmark::State& state) { runImport(state, "uvparaladd"); }
// Runs on the offers the replacing import leaves: every row finds its offer.
void BM_Uvparvdat(benchmark::State& state) {
  ensureFixture();
  runOnce("uvparaladd");
  runImport(state, "uvparvdat");
}

BENCHMARK(BM_PlainSqliteLoad)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Uvcsvparaladd)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Uvparaladd)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Uvparvdat)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  tdx::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  const double plain = t["BM_PlainSqliteLoad"];
  std::printf("\n%d rows, %d medicines in the registry; plain SQLite load: %.1f ms\n", kRows, kMedicines, plain);
  for (const char* name : {"BM_Uvcsvparaladd", "BM_Uvparaladd", "BM_Uvparvdat"})
    if (t.count(name) && plain > 0)
      std::printf("%-20s %8.1f ms  %5.2fx the plain load\n", name + 3, t[name], t[name] / plain);
  std::error_code ignored;
  fs::remove_all(folder(), ignored);
  benchmark::Shutdown();
  return 0;
}
