// Every price the offer imports store, checked on a few thousand random rows
// against an independent computation: Python's decimal module with
// ROUND_HALF_UP (half away from zero), from the inputs as the files hold
// them. The imports and this check share nothing but the rules as written.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "import_fixture.h"

namespace tdx::transfer::imports {
namespace {

constexpr const char* kCheck = R"PY(
import sys
from decimal import Decimal as D, ROUND_HALF_UP, getcontext
getcontext().prec = 60

def q(v, places):
    return v.quantize(D(1).scaleb(-places), rounding=ROUND_HALF_UP)

def derived(az, kf, popust, pddv, units):
    nkf = q(az * kf, 4)
    gross = (1 - popust / 100) * nkf * (1 + pddv / 100)
    return nkf, q(gross, 4), (q(gross / units, 4) if units != 0 else D(0))

registry, items, failures = {}, {}, 0
def fail(line, what, got, want):
    global failures
    failures += 1
    if failures <= 20:
        print("line %s: %s is %s, expected %s" % (line, what, got, want))

for n, raw in enumerate(open(sys.argv[1], encoding="utf-8"), 1):
    f = raw.rstrip("\n").split("\t")
    kind, f = f[0], f[1:]
    if kind == "R":
        registry[f[0].upper()] = (D(f[1]), int(f[2]))
        continue
    if kind == "I":
        items.setdefault(int(f[0]), tuple(int(x) for x in f[1:4]))
        continue
    if kind == "D":
        idzdr, inputs, got = f[0], [D(x) for x in f[1:6]], [D(x) for x in f[6:]]
        ncena, popust, pddv = q(inputs[0], 4), q(inputs[1], 2), q(inputs[2], 2)
        kf = q(inputs[3], 6)
        kf = D(1) if kf == 0 else kf
        units = int(inputs[4])
        place = ()
    else:
        sifr, idzdr = int(D(f[0]).quantize(D(1), rounding=ROUND_HALF_UP)), f[1]
        texts = [t.replace(",", ".") for t in f[2:5]]
        ncena, popust, pddv = q(D(texts[0]), 4), q(D(texts[1]), 2), q(D(texts[2]), 2)
        kf = D(1)
        got = [D(x) for x in f[5:]]
        place = items.get(sifr, (0, 0, 0))
        reg = registry.get(idzdr.upper())
        units = reg[1] if reg and reg[0] >= 0 else 0
    reg = registry.get(idzdr.upper())
    log = (D(0), D(0))
    if reg is None or reg[0] < 0:
        want = [ncena, D(0), D(0), D(0), D(0)]
    else:
        cap = reg[0]
        az = cap if cap > 0 and ncena >= cap else ncena
        if cap > 0 and ncena > cap:
            log = (ncena if kind == "C" else inputs[0], cap)
        nkf, bcaz, bc = derived(az, kf, popust, pddv, units)
        want = [az, az, nkf, bcaz, bc]
    want += [kf, log[0], log[1], D(units)] + [D(x) for x in place]
    names = ["NCENA", "NCENA_AZ", "NCENA_KF", "BCENA_AZ", "BCENA", "KFAKTOR", "LOG:NCENA", "LOG:CENAJAZMP",
             "PAKIRANJE", "SKUP", "POSK", "SKLOP"]
    for name, g, w in zip(names, got, want):
        if g != w:
            fail(n, name, g, w)
print("%d mismatches" % failures)
sys.exit(1 if failures else 0)
)PY";

std::string runPython(const std::filesystem::path& script, const std::filesystem::path& cases, int& status) {
  std::string cmd = "/usr/bin/python3 '" + script.string() + "' '" + cases.string() + "' 2>&1";
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) {
    status = -1;
    return "cannot run python3";
  }
  char buf[512];
  while (std::fgets(buf, sizeof buf, p)) out += buf;
  status = pclose(p);
  return out;
}

// A decimal with up to `places` decimals between -max and max (or 0 .. max).
std::string randomNumber(std::mt19937& rng, int places, int max, bool negative = false) {
  std::uniform_int_distribution<long long> whole(negative ? -max : 0, max);
  std::uniform_int_distribution<int> digits(0, places);
  int p = digits(rng);
  long long scale = 1;
  for (int i = 0; i < p; ++i) scale *= 10;
  std::uniform_int_distribution<long long> frac(0, scale - 1);
  long long w = whole(rng);
  std::string s = std::to_string(w < 0 ? -w : w);
  if (p > 0) {
    std::string f = std::to_string(frac(rng));
    s += "." + std::string(std::size_t(p) - f.size(), '0') + f;
  }
  return (w < 0 ? "-" : "") + s;
}

class ImportPrices : public ImportTest {};

TEST_F(ImportPrices, AgreeWithExactDecimalArithmeticOnRandomRows) {
  std::mt19937 rng(20240607);
  std::ostringstream cases;

  // The registry: prices of every kind, some zero, a few negative.
  std::vector<Medicine> medicines;
  std::vector<std::string> owned;
  for (int i = 0; i < 150; ++i) {
    char code[8];
    std::snprintf(code, sizeof code, "M%05d", i);
    owned.push_back(randomNumber(rng, 4, 300));
    if (i % 10 == 0) owned.back() = "0";
    if (i % 37 == 5) owned.back() = "-" + owned.back();
    Medicine m{code, nullptr, int(rng() % 40), "Zdravilo"};
    medicines.push_back(m);
  }
  for (std::size_t i = 0; i < medicines.size(); ++i) {
    medicines[i].ncena = owned[i].c_str();
    cases << "R\t" << medicines[i].idzdr << "\t" << dec(owned[i].c_str()).toString(4) << "\t"
          << medicines[i].kolenote << "\n";
  }
  writeRegistry(medicines);
  std::vector<Item> items;
  for (int i = 1; i <= 60; ++i) {
    items.push_back({1 + i % 5, 1 + i % 7, i % 11, i * 3});
    cases << "I\t" << i * 3 << "\t" << 1 + i % 5 << "\t" << 1 + i % 7 << "\t" << i % 11 << "\n";
  }
  writeItems(items);

  auto pickMedicine = [&]() -> std::string {
    std::size_t i = rng() % (medicines.size() + 20);
    if (i >= medicines.size()) return "X" + std::to_string(10000 + i);  // not registered
    std::string c = medicines[i].idzdr;
    if (rng() % 4 == 0) c[0] = 'm';  // the registry is looked up without case
    return c;
  };

  // The dBase rows hold the decimals of their columns.
  constexpr int kRows = 3000;
  std::vector<TableRow> rows(kRows);
  std::vector<std::string> texts;
  texts.reserve(kRows * 5);
  for (auto& r : rows) {
    r.idzdr = pickMedicine();
    texts.push_back(randomNumber(rng, 4, rng() % 3 ? 400 : 99999));
    r.ncena = texts.back().c_str();
    texts.push_back(rng() % 8 ? randomNumber(rng, 2, 60) : randomNumber(rng, 2, 9, true));
    r.popust = texts.back().c_str();
    texts.push_back(rng() % 2 ? "9.5" : randomNumber(rng, 2, 30));
    r.pddv = texts.back().c_str();
    texts.push_back(rng() % 5 == 0 ? "0" : randomNumber(rng, 6, 3));
    r.kfaktor = texts.back().c_str();
    r.pakir = int(rng() % 60);
  }
  writeTable(rows);
  run("uvparaladd");
  auto got = offers();
  auto log = logRows();
  ASSERT_EQ(got.size(), std::size_t(kRows));
  ASSERT_EQ(log.size(), std::size_t(kRows) + 1);
  for (int i = 0; i < kRows; ++i) {
    const TableRow& r = rows[std::size_t(i)];
    const Paralela& p = got[std::size_t(i)];
    const dbf::Record& l = log[std::size_t(i) + 1];
    cases << "D\t" << r.idzdr << "\t" << r.ncena << "\t" << r.popust << "\t" << r.pddv << "\t" << r.kfaktor << "\t"
          << r.pakir << "\t" << p.ncena.get().toString(4) << "\t" << p.ncena_az.get().toString(4) << "\t"
          << p.ncena_kf.get().toString(4) << "\t" << p.bcena_az.get().toString(4) << "\t"
          << p.bcena.get().toString(4) << "\t" << p.kfaktor.get().toString(6) << "\t"
          << l.number("NCENA").toString(4) << "\t" << l.number("CENAJAZMP").toString(4) << "\t"
          << p.pakiranje.get() << "\n";
  }

  // The semicolon lines carry more decimals than the fields keep, with
  // either separator: the conversion rounds them.
  std::string csv;
  std::vector<std::vector<std::string>> lines;
  for (int i = 0; i < kRows; ++i) {
    auto comma = [&](std::string s) {
      if (rng() % 2)
        for (auto& c : s)
          if (c == '.') c = ',';
      return s;
    };
    std::vector<std::string> f = {std::to_string(3 * (1 + int(rng() % 70))), pickMedicine(),
                                  comma(randomNumber(rng, 8, 5000)), comma(randomNumber(rng, 4, 60)),
                                  comma(rng() % 2 ? "9,5" : randomNumber(rng, 3, 30))};
    csv += f[0] + ";" + f[1] + ";" + f[2] + ";" + f[3] + ";" + f[4] + ";\r\n";
    lines.push_back(f);
  }
  writeCsv(csv);
  run("uvcsvparaladd");
  got = offers();
  log = logRows();
  ASSERT_EQ(got.size(), std::size_t(kRows));
  ASSERT_EQ(log.size(), std::size_t(kRows) + 1);
  for (int i = 0; i < kRows; ++i) {
    const auto& f = lines[std::size_t(i)];
    const Paralela& p = got[std::size_t(i)];
    const dbf::Record& l = log[std::size_t(i) + 1];
    cases << "C\t" << f[0] << "\t" << f[1] << "\t" << f[2] << "\t" << f[3] << "\t" << f[4] << "\t"
          << p.ncena.get().toString(4) << "\t" << p.ncena_az.get().toString(4) << "\t"
          << p.ncena_kf.get().toString(4) << "\t" << p.bcena_az.get().toString(4) << "\t"
          << p.bcena.get().toString(4) << "\t" << p.kfaktor.get().toString(6) << "\t"
          << l.number("NCENA").toString(4) << "\t" << l.number("CENAJAZMP").toString(4) << "\t"
          << p.pakiranje.get() << "\t" << p.skup.get() << "\t" << p.posk.get() << "\t" << p.sklop.get() << "\n";
  }

  {
    std::ofstream(dir / "cases.txt") << cases.str();
    std::ofstream(dir / "check.py") << kCheck;
  }
  int status = 0;
  std::string out = runPython(dir / "check.py", dir / "cases.txt", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("0 mismatches"), std::string::npos) << out;
}

}  // namespace
}  // namespace tdx::transfer::imports
