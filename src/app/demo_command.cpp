// tendrix demo DIR [--items N] [--registry N] [--offers N] [--seed S]

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "app/cli_args.h"
#include "app/commands.h"
#include "app/demo_documents.h"
#include "app/demo_tender.h"
#include "records/store.h"

namespace tdx::app {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDemoUsage =
    "usage: tendrix demo DIR [--items N] [--registry N] [--offers N] [--seed S]\n"
    "  writes a complete demo tender into DIR (created when missing; refused when DIR\n"
    "  already holds record files)\n"
    "  --items N     tender items (default 420)\n"
    "  --registry N  medicines in the registry (default 3000)\n"
    "  --offers N    offers (default: for about a third of the items)\n"
    "  --seed S      the same seed gives the same files (default 1)\n";

int usageError(const std::string& message) {
  std::cerr << "tendrix demo: " << message << "\n" << kDemoUsage;
  return 2;
}

}  // namespace

int demoCommand(const Args& args) {
  static constexpr OptionSpec specs[] = {
      {"items"}, {"registry"}, {"offers"}, {"seed"}, {"help", false}};
  std::string error;
  auto parsed = parseArgs(args, specs, error);
  if (!parsed) return usageError(error);
  if (parsed->has("help")) {
    std::cout << kDemoUsage;
    return 0;
  }
  if (parsed->positional.size() != 1)
    return usageError(parsed->positional.empty() ? "no DIR given" : "more than one DIR given");

  demo::DemoOptions options;
  struct Sized {
    const char* name;
    std::int64_t min, max;
    std::int64_t* into;
  };
  std::int64_t offers = -1, seed = std::int64_t(options.seed);
  const Sized sized[] = {
      {"items", 1, demo::kMaxItems, &options.items},
      {"registry", 1, demo::kMaxRegistry, &options.registry},
      {"offers", 0, demo::kMaxOffers, &offers},
      {"seed", 0, INT64_MAX, &seed},
  };
  for (const auto& s : sized) {
    auto text = parsed->value(s.name);
    if (!text) continue;
    auto v = parseWholeNumber(*text, s.min, s.max);
    if (!v)
      return usageError("--" + std::string(s.name) + " must be a whole number from " +
                        std::to_string(s.min) + " to " + std::to_string(s.max));
    *s.into = *v;
  }
  if (offers >= 0) options.offers = offers;
  options.seed = std::uint64_t(seed);

  fs::path folder = parsed->positional[0];
  for (const auto& def : allFiles()) {
    if (recordFileExists(def, folder)) {
      std::cerr << "tendrix demo: " << displayPath(folder) << " already holds record files ("
                << def.diskName << "); choose an empty folder\n";
      return 1;
    }
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec || !fs::is_directory(folder)) {
    std::cerr << "tendrix demo: cannot make the folder " << displayPath(folder) << ": "
              << (ec ? ec.message() : "not a folder") << "\n";
    return 1;
  }

  // Built aside and moved in at the end: a failure leaves no half tender
  // behind, which would also block the next attempt.
  std::vector<demo::Written> written;
  {
    StagingFolder staging(folder, "demo");
    if (staging.path().empty()) {
      std::cerr << "tendrix demo: cannot make a staging folder in " << displayPath(folder) << "\n";
      return 1;
    }
    try {
      demo::DemoTender tender = demo::planDemoTender(options);
      written = demo::writeDemoTender(tender, staging.path());
      for (auto& w : demo::writeDocuments(tender, staging.path())) written.push_back(std::move(w));
    } catch (const std::exception& e) {
      std::cerr << "tendrix demo: " << e.what() << "\n";
      return 1;
    }
    for (std::size_t i = 0; i < written.size(); ++i) {
      fs::rename(staging.path() / written[i].diskName, folder / written[i].diskName, ec);
      if (ec) {
        std::cerr << "tendrix demo: cannot move " << written[i].diskName << " into "
                  << displayPath(folder) << ": " << ec.message() << "\n";
        std::error_code ignored;
        for (std::size_t j = 0; j < i; ++j) fs::remove(folder / written[j].diskName, ignored);
        return 1;
      }
    }
  }

  std::cout << "Demo tender written to " << displayPath(fs::absolute(folder, ec))
            << " (seed " << options.seed << "):\n";
  for (const auto& w : written) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-17s %9lld  %s\n", w.diskName.c_str(),
                  static_cast<long long>(w.records), w.what.c_str());
    std::cout << line;
  }
  return 0;
}

}  // namespace tdx::app
