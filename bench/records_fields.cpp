// The per-field work of every record the store reads and writes: packed
// decimals in and out, the decimal a field read gives, and the Slovenian
// case-insensitive comparison of the keys and locators. Each measured path
// runs beside a plain baseline written the obvious way, and the ratios are
// printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "records/cp1250.h"
#include "records/decimal.h"
#include "records/fields.h"

namespace {

using namespace tdx;

constexpr int kDigits = 11;
constexpr int kBytes = kDigits / 2 + 1;

std::vector<std::int64_t> sampleUnits() {
  std::mt19937_64 rng(42);
  std::uniform_int_distribution<std::int64_t> price(-99999999999, 99999999999);
  std::vector<std::int64_t> v(4096);
  for (auto& u : v) u = price(rng) / std::int64_t(1 + rng() % 10000);
  return v;
}

std::vector<std::uint8_t> samplePacked(const std::vector<std::int64_t>& units) {
  std::vector<std::uint8_t> out(units.size() * kBytes);
  for (std::size_t i = 0; i < units.size(); ++i) packed::encode(&out[i * kBytes], kDigits, units[i]);
  return out;
}

// Baselines: one nibble at a time.
std::int64_t naiveDecode(const std::uint8_t* in, int digits) {
  int nibbles = (digits / 2 + 1) * 2;
  std::int64_t v = 0;
  for (int n = 1; n < nibbles; ++n) {
    int b = in[n / 2];
    v = v * 10 + ((n % 2) ? (b & 0xF) : (b >> 4));
  }
  return (in[0] >> 4) == 0xD ? -v : v;
}

void naiveEncode(std::uint8_t* out, int digits, std::int64_t units) {
  int nibbles = (digits / 2 + 1) * 2;
  std::uint64_t m = units < 0 ? 0 - std::uint64_t(units) : std::uint64_t(units);
  std::fill(out, out + nibbles / 2, 0);
  for (int n = nibbles - 1; n >= 1; --n) {
    int d = int(m % 10);
    m /= 10;
    if (n % 2) out[n / 2] |= std::uint8_t(d);
    else out[n / 2] |= std::uint8_t(d << 4);
  }
  if (units < 0) out[0] |= 0xD0;
}

void BM_DecodeBaseline(benchmark::State& state) {
  auto bytes = samplePacked(sampleUnits());
  std::size_t n = bytes.size() / kBytes;
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += naiveDecode(&bytes[i * kBytes], kDigits);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(n));
}

void BM_Decode(benchmark::State& state) {
  auto bytes = samplePacked(sampleUnits());
  std::size_t n = bytes.size() / kBytes;
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += packed::decode(&bytes[i * kBytes], kDigits);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(n));
}

void BM_EncodeBaseline(benchmark::State& state) {
  auto units = sampleUnits();
  std::vector<std::uint8_t> out(units.size() * kBytes);
  for (auto _ : state) {
    for (std::size_t i = 0; i < units.size(); ++i) naiveEncode(&out[i * kBytes], kDigits, units[i]);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(units.size()));
}

void BM_Encode(benchmark::State& state) {
  auto units = sampleUnits();
  std::vector<std::uint8_t> out(units.size() * kBytes);
  for (auto _ : state) {
    for (std::size_t i = 0; i < units.size(); ++i) packed::encode(&out[i * kBytes], kDigits, units[i]);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(units.size()));
}

// A field read becomes a reduced fraction; the baseline reduces through the
// general 128-bit path.
void BM_FromUnitsBaseline(benchmark::State& state) {
  auto units = sampleUnits();
  for (auto _ : state) {
    for (auto u : units) benchmark::DoNotOptimize(Decimal::ratio(u, 10000));
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(units.size()));
}

void BM_FromUnits(benchmark::State& state) {
  auto units = sampleUnits();
  for (auto _ : state) {
    for (auto u : units) benchmark::DoNotOptimize(Decimal::fromUnits(u, 4));
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(units.size()));
}

std::vector<std::string> sampleNames() {
  const char* stems[] = {"Čebelji vosek ", "CEBELJI VOSEK ", "Šumeča tableta ", "šumeča TABLETA ", "Žganci "};
  std::vector<std::string> v;
  for (int i = 0; i < 512; ++i) {
    auto s = cp1250::fromUtf8(std::string(stems[i % 5]) + std::to_string(i % 17) + " mg");
    v.push_back(*s + std::string(200 - s->size(), ' '));  // blank-padded as stored
  }
  return v;
}

// The obvious comparison: build both keys, compare them.
void BM_CompareBaseline(benchmark::State& state) {
  auto names = sampleNames();
  for (auto _ : state) {
    int acc = 0;
    for (std::size_t i = 1; i < names.size(); ++i)
      acc += cp1250::collationKey(names[i - 1]).compare(cp1250::collationKey(names[i])) < 0;
    benchmark::DoNotOptimize(acc);
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(names.size() - 1));
}

void BM_Compare(benchmark::State& state) {
  auto names = sampleNames();
  for (auto _ : state) {
    int acc = 0;
    for (std::size_t i = 1; i < names.size(); ++i) acc += cp1250::compareNoCase(names[i - 1], names[i]) < 0;
    benchmark::DoNotOptimize(acc);
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(names.size() - 1));
}

BENCHMARK(BM_DecodeBaseline);
BENCHMARK(BM_Decode);
BENCHMARK(BM_EncodeBaseline);
BENCHMARK(BM_Encode);
BENCHMARK(BM_FromUnitsBaseline);
BENCHMARK(BM_FromUnits);
BENCHMARK(BM_CompareBaseline);
BENCHMARK(BM_Compare);

// Keeps the per-item time of every run so the ratios can be printed.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) {
      auto it = r.counters.find("items_per_second");
      if (it != r.counters.end() && it->second.value > 0) nsPerItem_[r.benchmark_name()] = 1e9 / it->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void printRatios() const {
    std::printf("\n%-12s %14s %14s %8s\n", "path", "baseline ns", "ns per item", "speedup");
    for (const char* name : {"Decode", "Encode", "FromUnits", "Compare"}) {
      auto base = nsPerItem_.find(std::string("BM_") + name + "Baseline");
      auto ours = nsPerItem_.find(std::string("BM_") + name);
      if (base == nsPerItem_.end() || ours == nsPerItem_.end()) continue;
      std::printf("%-12s %14.2f %14.2f %7.2fx\n", name, base->second, ours->second, base->second / ours->second);
    }
  }

 private:
  std::map<std::string, double> nsPerItem_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  benchmark::Shutdown();
  return 0;
}
