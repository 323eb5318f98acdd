// The report engine on a large offer report: 5,000 items with 3 offers
// each, laid out like the priced offer report (an item line with wrapped
// name, form, unit and description; offer lines with ten formatted price
// columns). Measures building the page model and writing the PDF
// separately, against a baseline in the same process: only formatting the
// same values through their pictures, which any report must do. Prints the
// peak memory of the process (VmHWM).
//
//   bench_report_engine [--keep-pdf=FILE] [benchmark options]

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "runtime/pictures.h"
#include "runtime/report_engine.h"
#include "runtime/report_render.h"

namespace {

using namespace tdx;
using namespace tdx::report;

constexpr int kItems = 5000;
constexpr int kOffersPerItem = 3;

std::string keepPdf;

Decimal D(const char* s) { return Decimal::parse(s).value(); }

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

struct Bands {
  Band header{"HEADER", 40, BandKind::PageHeader};
  Band item{"DETAIL2"};
  Band offer{"DETAIL:OPISM"};
  Band footer{"FOOTER:POSK", 14, BandKind::Footer};

  Bands() {
    const Font regular{"Trebuchet MS", 10}, bold{"Trebuchet MS", 10, true};
    header.font(regular).text({1, 0, 0, 0}, "Ponudnik:");
    header.font(bold).field({19, 0, 80, 5}, "@s50");
    header.field({19, 4, 80, 5}, "@s50");
    header.field({19, 8, 80, 5}, "@s50");
    header.font(regular).text({106, 0, 0, 0}, "Naročnik:");
    header.font(bold).field({124, 0, 90, 5}, "@s35");
    header.font(regular).text({231, 0, 0, 0}, "Datum:");
    header.field({244, 0, 0, 0}, "@d06.");
    header.pageNumber({231, 4, 0, 0}, "@pStran:          <<<#p");
    header.font(Font{"Trebuchet MS", 14, true})
        .text({2, 14, 270, 6}, "SPECIFIKACIJA PONUDBE S CENAMI - priloga Predračuna (OBR-8)", Align::Centre);
    header.box({0, 31, 275, 9}, Colour{192, 192, 192});
    header.font(Font{"Trebuchet MS", 8});
    for (auto [x, t] : std::initializer_list<std::pair<double, const char*>>{
             {2, "Naziv"}, {54, "Oblika"}, {105, "Šifra"}, {122, "Okvirna količ."}, {141, "Enota mere"},
             {176, "Opis"}, {266, "Z.št."}})
      header.text({x, 32, 0, 0}, t);

    item.font(Font{"Trebuchet MS", 8}).line(0, 0, 275, 0);
    item.field({2, 0.5, 50, 0}, "", Align::Left, Flow::Wrap);
    item.field({54, 0.5, 50, 0}, "", Align::Left, Flow::Wrap);
    item.field({105, 0.5, 17, 0}, "@n08b");
    item.field({124, 0.5, 15, 0}, "@n10.", Align::Right);
    item.field({141, 0.5, 35, 0}, "", Align::Left, Flow::Wrap);
    item.field({176, 0.5, 65, 0}, "", Align::Left, Flow::Wrap);
    item.font(Font{"Trebuchet MS", 8, true}).field({242, 0.5, 21, 0}, "@s12");
    item.font(Font{"Trebuchet MS", 8}).field({264, 0.5, 8, 0}, "@n04b");

    offer.font(Font{"Trebuchet MS", 8, true});
    offer.field({2, 0, 10, 0}, "@s6");
    offer.field({12, 0, 45, 0}, "", Align::Left, Flow::Wrap);
    offer.field({58, 0, 45, 0}, "", Align::Left, Flow::Wrap);
    offer.field({104, 0, 50, 0}, "", Align::Left, Flow::Wrap);
    offer.field({155, 0, 22, 0}, "", Align::Left, Flow::Wrap);
    offer.field({176, 0, 21, 0}, "@n13`4~ €~B", Align::Right);
    offer.field({197, 0, 10, 0}, "@n_6`2~%~", Align::Right);
    offer.field({208, 0, 9.5, 0}, "@n_6`2~%~", Align::Right);
    offer.field({218, 0, 9.5, 0}, "@n6.b", Align::Right);
    offer.field({228, 0, 22, 0}, "@n13`4~ €~B", Align::Right);
    offer.field({250, 0, 19, 0}, "@n12`2~ €~B", Align::Right);
    offer.field({269, 0, 6, 0}, "@n02b", Align::Right);
    offer.field({238, 6, 30, 0}, "@s20");

    footer.font(Font{"Trebuchet MS", 8, true}).line(0, 0, 275, 0);
    footer.text({60, 1, 0, 0}, "Končna ponudbena vrednost (brez DDV/vrednost DDV/z DDV):");
    footer.field({168, 1, 30, 0}, "@n15`2~ €~B", Align::Right);
    footer.field({207, 1, 30, 0}, "@n15`2~ €~B", Align::Right);
    footer.field({245, 1, 30, 0}, "@n15`2~ €~B", Align::Right);
    footer.font(Font{"Arial CE", 10}).text({204, 8, 0, 0}, "ŽIG IN PODPIS:");
  }
};

struct ItemRow {
  std::vector<Value> item;
  std::vector<std::vector<Value>> offers;
};

// The values as a procedure would hand them over, made once.
const std::vector<ItemRow>& rows() {
  static const std::vector<ItemRow> all = [] {
    std::vector<ItemRow> out;
    out.reserve(kItems);
    for (int i = 0; i < kItems; ++i) {
      const unsigned s = static_cast<unsigned>(i) * 7919u;
      ItemRow r;
      r.item = {words(s, 3 + i % 6), words(s + 1, 2 + i % 4), Decimal(10000 + i), Decimal(1000 + i * 37 % 90000),
                words(s + 2, 1 + i % 2), words(s + 3, 5 + i % 20), std::string("K") + std::to_string(i), Decimal(1)};
      for (int o = 0; o < kOffersPerItem; ++o) {
        const Decimal net = Decimal::fromUnits(12345 + 1000 * o + i, 4);
        r.offers.push_back({std::to_string(100000 + i * 3 + o), words(s + 10 + o, 2 + o), words(s + 20 + o, 2),
                            words(s + 30 + o, 3 + i % 3), std::string("tableta"), net, D("5"), D("9.5"),
                            Decimal(20), net * D("1.0403"), net * D("1.0403") * Decimal(1000 + i),
                            Decimal(o + 1), o == 2 && i % 50 == 0 ? std::string("Odstop od ponudbe!") : std::string()});
      }
      out.push_back(std::move(r));
    }
    return out;
  }();
  return all;
}

Document buildModel() {
  static const Bands bands;
  Report report("Specifikacija ponudbe s cenami", PageLayout{});
  report.setPageHeader(bands.header, {std::string("Lekarna Žalec d.o.o."), std::string("Savinjska cesta 1"),
                                      std::string("3310 Žalec"), std::string("Splošna bolnišnica Celje"),
                                      pic::Date{5, 3, 2022}});
  for (const ItemRow& r : rows()) {
    report.print(bands.item, r.item);
    for (const auto& o : r.offers) report.print(bands.offer, o);
  }
  report.print(bands.footer, {D("123456789.12"), D("11728395.21"), D("135185184.33")});
  return report.take();
}

long peakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Per iteration, by benchmark: real time, and this thread's CPU time, which
// is the fairer figure on a machine shared with other work.
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

// Baseline: every value of the report through its picture, no layout.
void BM_FormatOnly(benchmark::State& state) {
  const auto& all = rows();
  const pic::Picture& price = pic::picture("@n13`4~ €~B");
  const pic::Picture& rate = pic::picture("@n_6`2~%~");
  const pic::Picture& value = pic::picture("@n12`2~ €~B");
  const pic::Picture& count = pic::picture("@n10.");
  Totals total;
  for (auto _ : state) {
    Stopwatch start;
    std::size_t chars = 0;
    for (const ItemRow& r : all) {
      chars += pic::format(count, std::get<Decimal>(r.item[3])).size();
      for (const auto& o : r.offers) {
        chars += pic::format(price, std::get<Decimal>(o[5])).size();
        chars += pic::format(rate, std::get<Decimal>(o[6])).size();
        chars += pic::format(rate, std::get<Decimal>(o[7])).size();
        chars += pic::format(price, std::get<Decimal>(o[9])).size();
        chars += pic::format(value, std::get<Decimal>(o[10])).size();
      }
    }
    benchmark::DoNotOptimize(chars);
    total.add(start);
  }
  record(state, "format", total);
}

void BM_PageModel(benchmark::State& state) {
  rows();
  Totals total;
  std::size_t pages = 0;
  for (auto _ : state) {
    Stopwatch start;
    Document doc = buildModel();
    total.add(start);
    pages = doc.pages.size();
    benchmark::DoNotOptimize(doc);
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["peak_MiB"] = static_cast<double>(peakKiB()) / 1024;
  record(state, "model", total);
}

void BM_Pdf(benchmark::State& state) {
  const Document doc = buildModel();
  const std::filesystem::path file =
      keepPdf.empty() ? std::filesystem::temp_directory_path() / "tendrix-bench-report.pdf" : std::filesystem::path(keepPdf);
  Totals total;
  for (auto _ : state) {
    Stopwatch start;
    std::string error;
    if (!writePdf(doc, file, &error)) state.SkipWithError(error.c_str());
    total.add(start);
  }
  state.counters["pages"] = static_cast<double>(doc.pages.size());
  state.counters["MiB_pdf"] = static_cast<double>(std::filesystem::file_size(file)) / (1024 * 1024);
  state.counters["peak_MiB"] = static_cast<double>(peakKiB()) / 1024;
  record(state, "pdf", total);
  if (keepPdf.empty()) std::filesystem::remove(file);
}

BENCHMARK(BM_FormatOnly)->Unit(benchmark::kMillisecond)->Iterations(5);
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

  std::printf("\n%d items, %d offers each\n", kItems, kOffersPerItem);
  std::printf("  %-30s %9s %9s %20s\n", "", "real", "CPU", "CPU / formatting");
  auto show = [](const char* what, const char* key, double target) {
    if (!seconds.count(key)) return;
    std::printf("  %-30s %7.3f s %7.3f s", what, seconds[key], cpuSeconds[key]);
    if (cpuSeconds.count("format") && cpuSeconds["format"] > 0) std::printf(" %18.1f x", cpuSeconds[key] / cpuSeconds["format"]);
    if (target > 0) std::printf("   (target under %.0f s)", target);
    std::printf("\n");
  };
  show("formatting only (baseline)", "format", 0);
  show("page model", "model", 1);
  show("PDF from the page model", "pdf", 3);
  std::printf("  %-30s %7.1f MiB   (target under 200 MB)\n", "peak memory (VmHWM)", static_cast<double>(peakKiB()) / 1024);
  return 0;
}
