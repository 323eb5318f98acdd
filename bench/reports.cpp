// The priced offer report (rescenami) on a subgroup of 5,000 items with 3
// offers each, read from record files written by the store: the run that
// builds the page model (the store reads, the look-ups and the layout) and
// the PDF of those pages, measured separately. The baseline in the same
// process is the reading alone: the same records through the same store
// calls, with no report, which any report of these records must do.
// Prints the peak memory of the process (VmHWM).
//
//   bench_reports [--keep-pdf=FILE] [benchmark options]

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "records/store.h"
#include "reports/register.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "runtime/report_render.h"

namespace {

using namespace tdx;

constexpr int kItems = 5000;
constexpr int kOffersPerItem = 3;

std::string keepPdf;

Decimal D(const char* s) { return Decimal::parse(s).value(); }
std::string cp(const std::string& utf8) { return cp1250::fromUtf8(utf8).value(); }

// Deterministic texts of realistic lengths, Slovenian letters included.
std::string words(unsigned seed, int count) {
  static const char* vocabulary[] = {"PARACETAMOL", "tablete",  "filmsko",   "obložene", "raztopina", "za",
                                     "injiciranje", "ŠUMEČE",   "zrnca",     "žvečljive", "čepki",     "mg",
                                     "škatla",      "po",       "20",        "viala",     "ampula",    "Ž",
                                     "KLORHEKSIDIN", "pršilo", "peroralna", "suspenzija", "0,5%",     "ml"};
  std::string out;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    if (i) out += ' ';
    out += vocabulary[(seed >> 16) % (sizeof vocabulary / sizeof *vocabulary)];
  }
  return out;
}

template <class T, class F>
RecordBuffer record(FileId id, F fill) {
  RecordBuffer b(id);
  b.clear();
  fill(b.template as<T>());
  return b;
}

void write(const std::filesystem::path& folder, FileId id, const std::vector<RecordBuffer>& records) {
  RecordFile f(fileDef(id), folder);
  const auto password = fileDef(id).ownerPassword;
  if (!f.create(password) || !f.open(OpenMode::exclusive(), password) || !f.stream()) {
    std::fprintf(stderr, "cannot write %s: %s\n", std::string(fileDef(id).diskName).c_str(), f.error().describe().c_str());
    std::exit(1);
  }
  for (RecordBuffer r : records) f.add(r);
  f.close();
}

// The tender folder, written once.
const std::filesystem::path& tender() {
  static const std::filesystem::path folder = [] {
    auto dir = std::filesystem::temp_directory_path() / ("tendrix-bench-reports-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::vector<RecordBuffer> items, offers, descriptions;
    for (int i = 0; i < kItems; ++i) {
      const unsigned s = static_cast<unsigned>(i) * 7919u;
      items.push_back(record<Podatki>(FileId::Podatki, [&](Podatki& p) {
        p.skup = 28;
        p.posk = 1;
        p.sklop = static_cast<std::int16_t>(1 + i / 500);
        p.sifr = 10000 + i;
        p.nazi = cp(words(s, 3 + i % 6));
        p.faob = cp(words(s + 1, 2 + i % 4));
        p.enme = cp(words(s + 2, 1 + i % 2));
        p.koli = Decimal(1000 + i * 37 % 90000);
        p.koliane = Decimal(2000 + i * 37 % 90000);
        p.katal = cp("K" + std::to_string(i));
      }));
      descriptions.push_back(record<Opism>(FileId::Opism, [&](Opism& o) { o.sifr = 10000 + i; }));
      descriptions.back().memo() = cp(words(s + 3, 5 + i % 20));
      for (int o = 0; o < kOffersPerItem; ++o) {
        offers.push_back(record<Paralela>(FileId::Paralela, [&](Paralela& p) {
          p.skup = 28;
          p.posk = 1;
          p.sklop = static_cast<std::int16_t>(1 + i / 500);
          p.sifr = 10000 + i;
          p.idzdr = cp(std::to_string(100000 + i * 3 + o));
          p.imezd = cp(words(s + 10 + o, 2 + o));
          p.proiz = cp(words(s + 20 + o, 2));
          p.prpak = cp(words(s + 30 + o, 3 + i % 3));
          p.em = cp("tableta");
          p.ncena = Decimal::fromUnits(12345 + 1000 * o + i, 4);
          p.bcena = (Decimal::fromUnits(12345 + 1000 * o + i, 4) * D("1.0403")).rounded(4);
          p.popust = D("5");
          p.pddv = D("9.5");
          p.pakiranje = 20;
          p.sort = static_cast<std::int16_t>(o == 2 && i % 50 == 0 ? kWithdrawnSort : o);
        }));
      }
    }
    write(dir, FileId::Podatki, items);
    write(dir, FileId::Paralela, offers);
    write(dir, FileId::Opism, descriptions);
    write(dir, FileId::Skupine, {record<Skupine>(FileId::Skupine, [](Skupine& s) {
                                  s.skup = 28;
                                  s.nazi = cp("Zdravila za uporabo v humani medicini");
                                })});
    write(dir, FileId::Pskupine, {record<Pskupine>(FileId::Pskupine, [](Pskupine& s) {
                                   s.skup = 28;
                                   s.posk = 1;
                                   s.nazi = cp("Splošni sklop");
                                 })});
    write(dir, FileId::Ponudnik, {record<Ponudnik>(FileId::Ponudnik, [](Ponudnik& p) {
                                   p.naziv = cp("Lekarna Žalec d.o.o.");
                                   p.naslov = cp("Savinjska cesta 1");
                                   p.posta = cp("3310 Žalec");
                                 })});
    write(dir, FileId::Kupec, {record<Kupec>(FileId::Kupec, [](Kupec& k) { k.naz01 = cp("Splošna bolnišnica Celje"); })});
    return dir;
  }();
  return folder;
}

long peakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

std::map<std::string, double> seconds, cpuSeconds;

double cpuNow() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Stopwatch {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  double cpu = cpuNow();
};

struct Totals {
  double wall = 0, cpu = 0;
  void add(const Stopwatch& s) {
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - s.wall).count();
    cpu += cpuNow() - s.cpu;
  }
};

void record(benchmark::State& state, const char* name, const Totals& t) {
  seconds[name] = t.wall / static_cast<double>(state.iterations());
  cpuSeconds[name] = t.cpu / static_cast<double>(state.iterations());
}

// Runs the report headless; the pages come back from its preview, copied
// only when asked (a preview does not copy them).
std::optional<report::Document> runReport(bool keep, std::size_t* pageCount = nullptr) {
  rt::HeadlessUi ui;
  rt::Session session(ui, tender());
  rt::Program program(session);
  session.setProgram(&program);
  reports::registerProcedures(program);
  session.globals().psk = 28;
  session.globals().pps = 1;
  std::optional<report::Document> pages;
  ui.onPreview = [&](const report::Document& doc, std::string_view) {
    if (pageCount) *pageCount = doc.pages.size();
    if (keep) pages = doc;
  };
  program.start("rescenami");
  return pages;
}

// Baseline: the records the report reads, read through the same store
// calls (the items in their key order a page at a time, the description
// of each, the subgroup and group once, each item's offers through a view
// of that item), with nothing printed.
void BM_ReadOnly(benchmark::State& state) {
  tender();
  const FileDef& par = fileDef(FileId::Paralela);
  const int skup = par.findField("SKUP"), posk = par.findField("POSK"), sklop = par.findField("SKLOP"),
            sifr = par.findField("SIFR");
  Totals total;
  for (auto _ : state) {
    Stopwatch start;
    RecordFile items(fileDef(FileId::Podatki), tender()), offers(par, tender()), opism(fileDef(FileId::Opism), tender()),
        psk(fileDef(FileId::Pskupine), tender()), sku(fileDef(FileId::Skupine), tender());
    for (RecordFile* f : {&items, &offers, &opism, &psk, &sku}) f->open();
    RecordBuffer d(FileId::Opism), s(FileId::Pskupine), g(FileId::Skupine);
    s.as<Pskupine>().skup = 28;
    s.as<Pskupine>().posk = 1;
    std::size_t read = psk.get(Key::PSK_KSKUP, s);
    g.as<Skupine>().skup = 28;
    read += sku.get(Key::SKU_KSKUP, g);
    OrderedView view(items, Key::POD_KSKUP, {Condition::eq(0, 28), Condition::eq(1, 1)});
    std::vector<ViewRow> rows, itemOffers;
    for (bool ok = view.first(64, rows); ok && !rows.empty(); ok = view.after(rows.back().mark, 64, rows)) {
      for (const ViewRow& r : rows) {
        const Podatki& pod = r.record.as<Podatki>();
        d.clear();
        d.as<Opism>().sifr = pod.sifr.get();
        read += opism.get(Key::OMAT_KSIFRA, d);
        OrderedView mine(offers, Key::PAR_KSKLOP,
                         {Condition::eq(skup, pod.skup.get()), Condition::eq(posk, pod.posk.get()),
                          Condition::eq(sklop, pod.sklop.get()), Condition::eq(sifr, pod.sifr.get())});
        if (mine.first(8, itemOffers)) read += itemOffers.size();
      }
      if (static_cast<int>(rows.size()) < 64) break;
    }
    benchmark::DoNotOptimize(read);
    total.add(start);
  }
  record(state, "read", total);
}

void BM_PageModel(benchmark::State& state) {
  tender();
  Totals total;
  std::size_t pages = 0;
  for (auto _ : state) {
    Stopwatch start;
    pages = 0;
    runReport(false, &pages);
    total.add(start);
    if (pages == 0) {
      state.SkipWithError("the report showed nothing");
      break;
    }
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["peak_MiB"] = static_cast<double>(peakKiB()) / 1024;
  record(state, "model", total);
}

void BM_Pdf(benchmark::State& state) {
  const auto doc = runReport(true);
  if (!doc) {
    state.SkipWithError("the report showed nothing");
    return;
  }
  const std::filesystem::path file =
      keepPdf.empty() ? std::filesystem::temp_directory_path() / "tendrix-bench-reports.pdf" : std::filesystem::path(keepPdf);
  Totals total;
  for (auto _ : state) {
    Stopwatch start;
    std::string error;
    if (!report::writePdf(*doc, file, &error)) state.SkipWithError(error.c_str());
    total.add(start);
  }
  state.counters["pages"] = static_cast<double>(doc->pages.size());
  state.counters["MiB_pdf"] = static_cast<double>(std::filesystem::file_size(file)) / (1024 * 1024);
  state.counters["peak_MiB"] = static_cast<double>(peakKiB()) / 1024;
  record(state, "pdf", total);
  if (keepPdf.empty()) std::filesystem::remove(file);
}

BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PageModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Pdf)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--keep-pdf=", 11) == 0)
      keepPdf = argv[i] + 11;
    else
      args.push_back(argv[i]);
  }
  int n = static_cast<int>(args.size());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&n, args.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(tender());

  std::printf("\nrescenami: %d items, %d offers each, from the store\n", kItems, kOffersPerItem);
  std::printf("  %-32s %9s %9s %16s\n", "", "real", "CPU", "CPU / reading");
  auto show = [](const char* what, const char* key, double target) {
    if (!seconds.count(key)) return;
    std::printf("  %-32s %7.3f s %7.3f s", what, seconds[key], cpuSeconds[key]);
    if (cpuSeconds.count("read") && cpuSeconds["read"] > 0) std::printf(" %14.1f x", cpuSeconds[key] / cpuSeconds["read"]);
    if (target > 0) std::printf("   (target under %.0f s)", target);
    std::printf("\n");
  };
  show("reading only (baseline)", "read", 0);
  show("page model (the whole run)", "model", 1);
  show("PDF from the page model", "pdf", 3);
  std::printf("  %-32s %7.1f MiB   (target under 200 MB)\n", "peak memory (VmHWM)", static_cast<double>(peakKiB()) / 1024);
  return 0;
}
