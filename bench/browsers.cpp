// The browsers on a tender of 20,000 items, 30,000 medicines and 100,000
// offers (the demo generator), run as the user works them through the
// headless window host: opening the items browser to its first page,
// moving its cursor one row (the offer list filled again for the new
// item), a name locator jump, paging, opening the registry browser in
// select mode and paging in it. The baseline, run in the same process, is
// the store's own page read of the same size through the same key, so the
// ratios show what the browse list, the window and the procedure add.
//
// Memory: the process's VmRSS with the registry browser open on a
// 3,000-medicine and on a 30,000-medicine registry, and after paging
// through it; a list that holds only its page must not grow with the file.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/demo_tender.h"
#include "app/procedures.h"
#include "records/layouts.h"
#include "records/store.h"
#include "runtime/browse.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/headless_window.h"
#include "runtime/procedure.h"
#include "runtime/qt_program.h"
#include "runtime/qt_ui.h"
#include "runtime/stdfiles.h"
#include "tender/items_browser.h"
#include "ratio_reporter.h"

namespace {

using namespace tdx;
namespace fs = std::filesystem;

fs::path root() {
  static const fs::path p = fs::temp_directory_path() / ("tendrix-bench-browsers-" + std::to_string(::getpid()));
  return p;
}

// A demo tender in its own folder, written once.
fs::path tender(const std::string& name, std::int64_t items, std::int64_t registry,
                std::optional<std::int64_t> offers) {
  fs::path dir = root() / name;
  if (fs::exists(dir / "podatki.dat")) return dir;
  fs::create_directories(dir);
  app::demo::DemoOptions o;
  o.items = items;
  o.registry = registry;
  o.offers = offers;
  // The record files only: the browsers read nothing else.
  auto t = app::demo::planDemoTender(o);
  using namespace app::demo;
  for (auto write : {writeSkupine, writePskupine, writePodatki, writeOpism, writeZdravnet, writeParalela,
                     writePonudnik, writeKupec, writeVerant, writeZdrapcen})
    write(t, dir);
  return dir;
}
fs::path large() { return tender("large", 20000, 30000, 100000); }
fs::path smallRegistry() { return tender("small-registry", 420, 3000, std::nullopt); }

long vmRssKb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// One running program on a tender folder.
struct Running {
  explicit Running(const fs::path& dir) : session(ui, dir), program(session) {
    app::registerAllProcedures(program);
    session.setProgram(&program);
    session.globals().psk = 28;
  }
  rt::HeadlessWindowHost& host() { return ui.windowHost(); }
  rt::HeadlessUi ui;
  rt::Session session;
  rt::Program program;
};

// The rows the items browser's list shows (its height in the window).
int itemPageRows() { return rt::listRowsFor(136); }

void BM_StorePageBaseline(benchmark::State& state) {
  Running run(large());
  rt::Context ctx(run.session);
  rt::useFile(ctx, FileId::Podatki);
  OrderedView view(ctx.file(FileId::Podatki), Key::POD_KNAZI,
                   {Condition::eq(fileDef(FileId::Podatki).findField("POSK"), 1)});
  std::vector<ViewRow> rows;
  for (auto _ : state) {
    view.first(itemPageRows(), rows);
    benchmark::DoNotOptimize(rows.data());
  }
  rt::releaseFile(ctx, FileId::Podatki);
}

void BM_OpenItemsBrowser(benchmark::State& state) {
  Running run(large());
  for (auto _ : state) {
    auto id = run.program.start("brpodatki");
    state.PauseTiming();
    if (!id || run.host().find("brpodatki")->list(tender::items::kItems)->rows() == 0)
      state.SkipWithError("the items browser did not open on its first page");
    run.program.requestClose(id);
    state.ResumeTiming();
  }
}

// Benchmarks in an open items browser.
template <class Step>
void inItemsBrowser(benchmark::State& state, Step step) {
  Running run(large());
  auto id = run.program.start("brpodatki");
  auto* w = run.host().find("brpodatki");
  if (!w) {
    state.SkipWithError("no items browser");
    return;
  }
  std::int64_t i = 0;
  for (auto _ : state) step(*w, i++);
  run.program.requestClose(id);
}

void BM_ItemsMoveOneRow(benchmark::State& state) {
  inItemsBrowser(state, [](rt::HeadlessWindow& w, std::int64_t i) {
    // A hundred rows down and back up: each step a new item whose offers
    // are read, past the page's edge one item row read as well.
    w.move(tender::items::kItems, (i / 100) % 2 == 0 ? rt::ListMove::Down : rt::ListMove::Up);
  });
}

void BM_ItemsLocatorJump(benchmark::State& state) {
  static const char* kTyped[] = {"par", "ami", "ž", "cef", "b", "met", "ins", "z", "d", "lev", "ome", "s"};
  inItemsBrowser(state, [](rt::HeadlessWindow& w, std::int64_t i) {
    w.enter(tender::items::kLocator, kTyped[i % (sizeof kTyped / sizeof *kTyped)]);
  });
}

void BM_ItemsPaging(benchmark::State& state) {
  inItemsBrowser(state, [](rt::HeadlessWindow& w, std::int64_t i) {
    // Twenty pages down, twenty back: every step reads a page of rows.
    bool down = (i / 20) % 2 == 0;
    w.move(tender::items::kItems, down ? rt::ListMove::PageDown : rt::ListMove::PageUp);
  });
}

// Once on the Qt host, to see what the widgets cost: the window built,
// shown and painted once.
void BM_OpenItemsBrowserQt(benchmark::State& state) {
  rt::QtUi ui;
  rt::Session session(ui, large());
  rt::QtProgram program(session, ui);
  ui.attach(session);
  app::registerAllProcedures(program);
  session.setProgram(&program);
  session.globals().psk = 28;
  for (auto _ : state) {
    auto id = program.start("brpodatki");
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QWidget* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->windowTitle() == "Pregled in urejanje podatkov") shown = w;
    if (!shown) {
      state.SkipWithError("no items browser window");
      break;
    }
    benchmark::DoNotOptimize(shown->grab());
    state.PauseTiming();
    program.requestClose(id);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_OpenRegistryBrowserSelect(benchmark::State& state) {
  Running run(large());
  rt::Context ctx(run.session);
  for (auto _ : state) {
    run.host().onOpen("brzdravnet", [](rt::HeadlessWindow& w) { w.press("?Close"); });
    ctx.globalRequest = rt::req::Select;
    run.program.call("brzdravnet", ctx);
  }
}

void BM_RegistryPaging(benchmark::State& state) {
  Running run(large());
  rt::Context ctx(run.session);
  run.host().onOpen("brzdravnet", [&state](rt::HeadlessWindow& w) {
    std::int64_t i = 0;
    for (auto _ : state) {
      bool down = (i++ / 20) % 2 == 0;
      w.move("?Browse:1", down ? rt::ListMove::PageDown : rt::ListMove::PageUp);
    }
    w.press("?Close");
  });
  ctx.globalRequest = rt::req::Select;
  run.program.call("brzdravnet", ctx);
}

// VmRSS before, with the registry browser open, and after paging through
// as many rows as the small registry holds (140 pages of 20).
constexpr int kMemoryPages = 140;
struct Rss {
  long before = 0, open = 0, paged = 0;
  long sqliteOpen = 0, sqlitePaged = 0;  // what SQLite holds (its page caches), kB
};
Rss registryMemory(const fs::path& dir) {
  Running run(dir);
  rt::Context ctx(run.session);
  Rss r;
  r.before = vmRssKb();
  run.host().onOpen("brzdravnet", [&r](rt::HeadlessWindow& w) {
    r.open = vmRssKb();
    r.sqliteOpen = long(sqlite3_memory_used() / 1024);
    for (int i = 0; i < kMemoryPages; ++i) w.move("?Browse:1", rt::ListMove::PageDown);
    r.paged = vmRssKb();
    r.sqlitePaged = long(sqlite3_memory_used() / 1024);
    w.press("?Close");
  });
  ctx.globalRequest = rt::req::Select;
  run.program.call("brzdravnet", ctx);
  return r;
}

BENCHMARK(BM_StorePageBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenItemsBrowser)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemsMoveOneRow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemsLocatorJump)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemsPaging)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenItemsBrowserQt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenRegistryBrowserSelect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegistryPaging)->Unit(benchmark::kMillisecond);

}  // namespace

// Each registry size is measured in a fresh process of this program, so
// that neither sees the other's (or the timings') memory.
Rss registryMemoryApart(const fs::path& dir) {
  std::string cmd = fs::read_symlink("/proc/self/exe").string() + " --registry-memory '" + dir.string() + "'";
  Rss r;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    if (std::fscanf(p, "%ld %ld %ld %ld %ld", &r.before, &r.open, &r.paged, &r.sqliteOpen, &r.sqlitePaged) != 5)
      r = Rss{};
    pclose(p);
  }
  return r;
}

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!getenv("XDG_RUNTIME_DIR")) {
    std::string dir = "/tmp/tendrix-xdg-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  }
  QApplication qt(argc, argv);
  if (argc == 3 && std::string(argv[1]) == "--registry-memory") {
    Rss r = registryMemory(argv[2]);
    std::printf("%ld %ld %ld %ld %ld\n", r.before, r.open, r.paged, r.sqliteOpen, r.sqlitePaged);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  std::printf("Writing the demo tenders (20,000 items, 30,000 medicines, 100,000 offers)...\n");
  large();
  smallRegistry();
  tdx::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  double base = t["BM_StorePageBaseline"];
  std::printf("\nStore page read of %d items (baseline): %.3f ms\n", itemPageRows(), base);
  auto line = [&](const char* what, const char* name, double target) {
    if (!t.count(name)) return;
    std::printf("%-48s %8.3f ms  %7.1fx the store's page read  (target under %.0f ms: %s)\n", what, t[name],
                base > 0 ? t[name] / base : 0.0, target, t[name] < target ? "met" : "MISSED");
  };
  line("open the items browser to its first page", "BM_OpenItemsBrowser", 20);
  line("move the cursor one row (offers read again)", "BM_ItemsMoveOneRow", 20);
  line("name locator jump", "BM_ItemsLocatorJump", 20);
  line("page down or up in the items list", "BM_ItemsPaging", 5);
  if (t.count("BM_OpenItemsBrowserQt"))
    std::printf("%-48s %8.3f ms  (the widget cost beside the headless figure above; no target)\n",
                "the same on the Qt host, shown and painted", t["BM_OpenItemsBrowserQt"]);
  line("open the registry browser in select mode", "BM_OpenRegistryBrowserSelect", 20);
  line("page down or up in the registry", "BM_RegistryPaging", 5);

  Rss small = registryMemoryApart(smallRegistry());
  Rss big = registryMemoryApart(large());
  std::printf("\nVmRSS with the registry browser open (kB): before / open / after %d pages\n", kMemoryPages);
  std::printf("   3,000 medicines: %ld / %ld / %ld  (SQLite's own: %ld / %ld)\n", small.before, small.open, small.paged,
              small.sqliteOpen, small.sqlitePaged);
  std::printf("  30,000 medicines: %ld / %ld / %ld  (SQLite's own: %ld / %ld)\n", big.before, big.open, big.paged,
              big.sqliteOpen, big.sqlitePaged);
  long growth = big.open - small.open;
  if (small.open <= 0 || big.open <= 0) {
    std::printf("growth from 3,000 to 30,000 medicines: not measured\n");
  } else {
    std::printf("growth with the browser open, 3,000 to 30,000 medicines: %.2f MB (target under 5 MB: %s)\n",
                growth / 1024.0, growth < 5 * 1024 ? "met" : "MISSED");
    // Paging reads ever new database pages; SQLite keeps them in the
    // store's page cache (bounded per open file), not the list.
    std::printf("growth after %d pages: %.2f MB, of it %.2f MB in SQLite's page cache (the name order visits\n"
                "rows all over the larger file; the cache is bounded per open file by the store)\n",
                kMemoryPages, (big.paged - small.paged) / 1024.0, (big.sqlitePaged - small.sqlitePaged) / 1024.0);
  }
  std::error_code ignored;
  fs::remove_all(root(), ignored);
  benchmark::Shutdown();
  return 0;
}
