// The offers export with prices (izparvdbf1) end to end on a generated
// tender of 100,000 offers: the table and both indexes, through the
// headless runtime, next to a plain loop that fwrites the same bytes, in the
// same run. Also: reading the offers with their items alone (the source of
// the export), reading the exported table back, and the memory the export
// takes on top of the process for 25,000 and for 100,000 offers.
//
// Targets: within 5x of the plain write loop and under 1 s for 100,000
// rows; memory that grows only by the index keys.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/demo_tender.h"
#include "exchange/dbf_record.h"
#include "exchange/dbf_table.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "runtime/record_source.h"
#include "records/layouts.h"
#include "transfer/register.h"

namespace {

using namespace tdx;
namespace fs = std::filesystem;

constexpr std::int64_t kOffers = 100000;
constexpr std::int64_t kFewOffers = 25000;

// A demo tender with only the files the export reads.
fs::path tender(std::int64_t offers) {
  static std::map<std::int64_t, fs::path> made;
  auto& dir = made[offers];
  if (!dir.empty()) return dir;
  dir = fs::temp_directory_path() / ("tendrix-bench-exports-" + std::to_string(offers));
  fs::remove_all(dir);
  fs::create_directories(dir);
  app::demo::DemoOptions options;
  options.items = offers / 3;
  options.registry = 3000;
  options.offers = offers;
  auto plan = app::demo::planDemoTender(options);
  app::demo::writePodatki(plan, dir);
  app::demo::writeParalela(plan, dir);
  return dir;
}

long statusKiB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
  return 0;
}

// The peak resident size is reset to the current one (Linux).
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Runs izparvdbf1 in `dir`; the peak memory it took above what the process
// held before, in KiB.
long exportOnce(const fs::path& dir) {
  resetPeak();
  long before = statusKiB("VmRSS");
  rt::HeadlessUi ui;
  rt::Session session(ui, dir);
  rt::Program program(session);
  session.setProgram(&program);
  transfer::registerProcedures(program);
  program.start("izparvdbf1");
  if (ui.transcript().empty() || ui.transcript().back().find("Dodanih") == std::string::npos)
    std::fprintf(stderr, "export did not report its rows\n");
  return statusKiB("VmHWM") - before;
}

// Per benchmark, the mean of its iterations: wall clock and processor time
// (the machine may be shared; the processor time shows what waiting hides).
std::map<std::string, double> seconds, cpuSeconds;
std::map<std::int64_t, long> exportPeakKiB;

void BM_ExportOffersWithPrices(benchmark::State& state) {
  auto dir = tender(state.range(0));
  long peak = 0;
  for (auto _ : state) peak = std::max(peak, exportOnce(dir));
  exportPeakKiB[state.range(0)] = peak;
  state.counters["peak_extra_MiB"] = double(peak) / 1024;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same bytes, one fwrite per record after the header, and the indexes'
// bytes after them: what writing the files costs with nothing else to do.
void BM_FwriteSameBytes(benchmark::State& state) {
  auto dir = tender(state.range(0));
  exportOnce(dir);
  std::ifstream in(dir / "PARALDBF.DBF", std::ios::binary);
  std::string table((std::istreambuf_iterator<char>(in)), {});
  std::string indexes;
  for (const char* ntx : {"KCRTNA.NTX", "KIDZDR.NTX"}) {
    std::ifstream i(dir / ntx, std::ios::binary);
    indexes.append(std::istreambuf_iterator<char>(i), {});
  }
  const std::size_t headerLength = std::size_t(std::uint8_t(table[8]) | (std::uint8_t(table[9]) << 8));
  const std::size_t record = dbf::kParaldbf.recordLength();
  auto out = dir / "plain.out";
  for (auto _ : state) {
    FILE* f = std::fopen(out.c_str(), "wb");
    std::fwrite(table.data(), 1, headerLength, f);
    for (std::size_t at = headerLength; at + record <= table.size(); at += record) std::fwrite(&table[at], 1, record, f);
    std::fwrite(indexes.data(), 1, indexes.size(), f);
    std::fclose(f);
  }
  fs::remove(out);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The export's source alone: every offer in key order with its item, the
// items read alongside (as the export does, range 1 = 1) or looked up one
// by one (range 1 = 0).
void BM_ReadOffersWithTheirItems(benchmark::State& state) {
  auto dir = tender(state.range(0));
  rt::HeadlessUi ui;
  rt::Session session(ui, dir);
  for (auto _ : state) {
    rt::Context ctx(session);
    ctx.file(FileId::Paralela).open();
    ctx.file(FileId::Podatki).open();
    rt::RecordSource source(ctx, FileId::Paralela, Key::PAR_KSKLOP);
    source.joinTo(Key::POD_KSKLOP, [](const RecordBuffer& read, RecordBuffer& item) {
      const auto& par = read.as<Paralela>();
      auto& pod = item.as<Podatki>();
      pod.skup = par.skup;
      pod.posk = par.posk;
      pod.sklop = par.sklop;
      pod.sifr = par.sifr;
    }, state.range(1) == 1);
    source.open();
    std::int64_t progress = 0, n = 0;
    while (source.next(progress)) ++n;
    benchmark::DoNotOptimize(n);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReadTableBack(benchmark::State& state) {
  auto dir = tender(state.range(0));
  exportOnce(dir);
  for (auto _ : state) {
    dbf::Table t;
    t.open(dir / "PARALDBF.DBF", dbf::kParaldbf, OpenMode{Access::ReadOnly, Share::DenyNone});
    dbf::Record r(dbf::kParaldbf);
    std::int64_t n = 0;
    while (t.readNext(r)) ++n;
    benchmark::DoNotOptimize(n);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The smaller run first: the larger one then shows what more rows add.
BENCHMARK(BM_ExportOffersWithPrices)->Arg(kFewOffers)->Arg(kOffers)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FwriteSameBytes)->Arg(kOffers)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadOffersWithTheirItems)->Args({kOffers, 1})->Args({kOffers, 0})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadTableBack)->Arg(kOffers)->Unit(benchmark::kMillisecond)->Iterations(5);

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs)
      if (r.iterations > 0) {
        seconds[r.benchmark_name()] = r.real_accumulated_time / double(r.iterations);
        cpuSeconds[r.benchmark_name()] = r.cpu_accumulated_time / double(r.iterations);
      }
    ConsoleReporter::ReportRuns(runs);
  }
};

void printSummary() {
  auto at = [](const std::string& name, const std::map<std::string, double>& from = seconds) {
    auto it = from.find(name);
    return it == from.end() ? 0.0 : it->second;
  };
  const std::string n = std::to_string(kOffers);
  double exportS = at("BM_ExportOffersWithPrices/" + n + "/iterations:3");
  double plainS = at("BM_FwriteSameBytes/" + n + "/iterations:5");
  double sourceS = at("BM_ReadOffersWithTheirItems/" + n + "/1/iterations:3");
  double lookupS = at("BM_ReadOffersWithTheirItems/" + n + "/0/iterations:3");
  double readS = at("BM_ReadTableBack/" + n + "/iterations:5");
  auto dir = tender(kOffers);
  std::printf("\n%s offers (paralela.dat %.1f MiB, podatki.dat %.1f MiB)\n", n.c_str(),
              double(fs::file_size(dir / "paralela.dat")) / 1048576, double(fs::file_size(dir / "podatki.dat")) / 1048576);
  std::printf("  %-36s %9.3f s   (processor %.3f s)\n", "izparvdbf1 end to end", exportS,
              at("BM_ExportOffersWithPrices/" + n + "/iterations:3", cpuSeconds));
  std::printf("  %-36s %9.3f s   (processor %.3f s)\n", "plain fwrite of the same bytes", plainS,
              at("BM_FwriteSameBytes/" + n + "/iterations:5", cpuSeconds));
  if (plainS > 0) std::printf("  %-36s %9.2fx   (target within 5x)\n", "export / plain write", exportS / plainS);
  std::printf("  %-36s %9s     (target under 1 s)\n", "", exportS < 1.0 ? "under" : "OVER");
  std::printf("  %-36s %9.3f s\n", "of it: the offers with their items", sourceS);
  std::printf("  %-36s %9.3f s\n", "  (items looked up one by one)", lookupS);
  std::printf("  %-36s %9.3f s\n", "reading the table back", readS);
  for (auto [rows, kib] : exportPeakKiB)
    std::printf("  %-36s %9.1f MiB for %lld rows\n", "memory on top of the process", double(kib) / 1024,
                static_cast<long long>(rows));
  // What the indexes' keys take: both key lists (key and record number),
  // and the sort order and tree level of the one being written.
  std::printf("  %-36s %9.1f MiB for %lld rows\n", "index keys alone",
              double(kOffers) * ((13 + 4) + (6 + 4) + 4 + 8) / 1048576,
              static_cast<long long>(kOffers));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printSummary();
  benchmark::Shutdown();
  for (auto offers : {kOffers, kFewOffers})
    fs::remove_all(fs::temp_directory_path() / ("tendrix-bench-exports-" + std::to_string(offers)));
  return 0;
}
