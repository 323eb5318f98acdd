// The exchange files at the export's scale: 100,000 offers of 898 bytes
// written through the table writer next to a plain fwrite() loop of the
// same bytes (the baseline, run in the same process), read back, and one
// index of 100,000 13-character bar codes built from the table.
//
// Prints Google Benchmark's figures and then the ratios to the baseline.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "exchange/dbf_table.h"
#include "exchange/ntx_build.h"
#include "ratio_reporter.h"

namespace {

using namespace tdx;

constexpr int kRows = 100000;

const std::filesystem::path& folder() {
  static const std::filesystem::path p = [] {
    auto f = std::filesystem::temp_directory_path() / ("tendrix-bench-exchange-" + std::to_string(::getpid()));
    std::filesystem::create_directories(f);
    return f;
  }();
  return p;
}

// One offer with every column filled, and the bar code of row i.
void fillOffer(dbf::Record& r, int i) {
  char ean[16];
  std::snprintf(ean, sizeof ean, "383%010d", (i * 7919) % kRows);
  r.setText("EAN", ean);
  r.setText("IDZDR", std::to_string(100000 + i % 5000));
  r.setText("SIFR", std::to_string(i % 3000));
  r.setText("NAZI", "PARACETAMOL TABLETA 500 MG \xC8" "aj");
  r.setText("FAOB", "tableta");
  r.setText("IMEZD", "Lekadol 500 mg filmsko obložene tablete");
  r.setText("PROIZ", "Lek d.d.");
  r.setText("PRPAK", "škatla z 20 tabletami");
  r.setText("EM", "tableta");
  r.setNumber("SKUP", 28);
  r.setNumber("POSK", 1 + i % 20);
  r.setNumber("SKLOP", i % 100);
  r.setNumber("NCENA", Decimal::fromUnits(12345 + i, 4));
  r.setNumber("POPUST", Decimal::fromUnits(550, 2));
  r.setNumber("PDDV", Decimal::fromUnits(950, 2));
  r.setNumber("BCENA", Decimal::fromUnits(13521 + i, 4));
  r.setNumber("LKOLI", 1000 + i);
  r.setNumber("OKOLI", 900 + i);
  r.setNumber("SORT", 1);
  r.setNumber("PAKIR", 20);
  r.setNumber("KFAKTOR", 1);
  r.setNumber("NCENA_KF", Decimal::fromUnits(12345 + i, 4));
}

void writeTable(const std::filesystem::path& p) {
  dbf::Table t;
  if (!t.create(p, dbf::kParaldbf) || !t.open(p, dbf::kParaldbf, OpenMode::exclusive()))
    throw std::runtime_error(t.error().driverText);
  dbf::Record r(dbf::kParaldbf);
  for (int i = 0; i < kRows; ++i) {
    fillOffer(r, i);
    if (!t.append(r)) throw std::runtime_error(t.error().driverText);
  }
  if (!t.close()) throw std::runtime_error(t.error().driverText);
}

void BM_FwriteBaseline(benchmark::State& state) {
  // The very bytes the table writer produces, prepared outside the timing.
  auto source = folder() / "SOURCE.DBF";
  writeTable(source);
  std::string all(std::filesystem::file_size(source), '\0');
  {
    FILE* f = std::fopen(source.c_str(), "rb");
    std::fread(all.data(), 1, all.size(), f);
    std::fclose(f);
  }
  const std::size_t header = 32 + 32 * 23 + 1, length = 898;
  auto p = folder() / "PLAIN.DBF";
  for (auto _ : state) {
    FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(all.data(), 1, header, f);
    for (int i = 0; i < kRows; ++i) std::fwrite(all.data() + header + std::size_t(i) * length, 1, length, f);
    std::fputc(0x1A, f);
    std::fclose(f);
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(all.size()));
}

void BM_TableWrite(benchmark::State& state) {
  auto p = folder() / "PARALDBF.DBF";
  for (auto _ : state) writeTable(p);
  state.SetBytesProcessed(state.iterations() * std::int64_t(std::filesystem::file_size(p)));
}

void BM_TableRead(benchmark::State& state) {
  auto p = folder() / "PARALDBF.DBF";
  writeTable(p);
  for (auto _ : state) {
    dbf::Table t;
    t.open(p, dbf::kParaldbf);
    dbf::Record r(dbf::kParaldbf);
    int n = 0;
    while (t.readNext(r)) ++n;
    if (n != kRows) state.SkipWithError("rows lost");
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(std::filesystem::file_size(p)));
}

void BM_NtxBuild(benchmark::State& state) {
  auto p = folder() / "PARALDBF.DBF";
  writeTable(p);
  static const dbf::IndexDef kcrtna[] = {{"KCRTNA.NTX", "EAN", false}};
  for (auto _ : state) {
    dbf::Table t;
    t.open(p, dbf::kParaldbf, OpenMode::exclusive());
    err::Error e;
    if (!ntx::buildIndexes(t, kcrtna, e)) state.SkipWithError(e.driverText.c_str());
  }
}

BENCHMARK(BM_FwriteBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TableWrite)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TableRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_NtxBuild)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  tdx::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  auto ratio = [&](const char* what, const char* name) {
    if (t.count(name) && t.count("BM_FwriteBaseline") && t["BM_FwriteBaseline"] > 0)
      std::printf("%-44s %8.1f ms  %5.2fx the plain fwrite loop\n", what, t[name], t[name] / t["BM_FwriteBaseline"]);
  };
  std::printf("\n%d PARALDBF rows of 898 bytes; plain fwrite loop: %.1f ms\n", kRows, t["BM_FwriteBaseline"]);
  ratio("table writer (incl. header update and sync)", "BM_TableWrite");
  ratio("table reader", "BM_TableRead");
  ratio("NTX of 100,000 EAN keys (read, sort, write)", "BM_NtxBuild");
  std::error_code ignored;
  std::filesystem::remove_all(folder(), ignored);
  benchmark::Shutdown();
  return 0;
}
