// dump, load and demo end to end, through the real binary where CTest names it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "app/record_text.h"
#include "records/catalogue.h"
#include "records/decimal.h"
#include "support/temp_folder.h"
#include "tendrix_runner.h"

namespace tdx::test {
namespace {

namespace fs = std::filesystem;

// A dump read back: the header and the rows, values by label.
struct Table {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  std::size_t col(std::string_view label) const {
    auto it = std::find(header.begin(), header.end(), label);
    EXPECT_NE(it, header.end()) << label;
    return std::size_t(it - header.begin());
  }
};

Table parse(const std::string& text) {
  std::istringstream in(text);
  app::rtext::RowReader reader(in);
  app::rtext::Row row;
  Table t;
  if (reader.next(row)) t.header = row.values;
  while (reader.next(row)) t.rows.push_back(row.values);
  EXPECT_FALSE(reader.error());
  return t;
}

std::string dump(const fs::path& dir, const std::string& file, const std::string& key = {}) {
  std::vector<std::string> args{"dump", file, "--dir", dir.string()};
  if (!key.empty()) args.insert(args.end(), {"--key", key});
  auto r = runTendrix(args);
  EXPECT_EQ(r.status, 0) << file << ": " << r.err;
  return r.out;
}

std::vector<std::string> filesIn(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

Decimal dec(const std::string& s) { return *Decimal::parse(s); }

class DemoTender : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder("demo");
    auto r = runTendrix({"demo", folder_->path().string(), "--items", "60", "--registry", "300"});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }
  static const fs::path& dir() { return folder_->path(); }
  static TempFolder* folder_;
};
TempFolder* DemoTender::folder_ = nullptr;

TEST_F(DemoTender, EveryFileSurvivesDumpAndLoad) {
  TempFolder fresh("reload");
  for (const FileDef& def : allFiles()) {
    std::string before = dump(dir(), std::string(def.label));
    auto loaded = runTendrix({"load", std::string(def.diskName), "--dir", fresh.path().string(), "--replace"}, before);
    ASSERT_EQ(loaded.status, 0) << def.label << ": " << loaded.err;
    EXPECT_EQ(dump(fresh.path(), std::string(def.diskName)), before) << def.label;
    // --replace on the existing file empties it first: still the same text.
    loaded = runTendrix({"load", std::string(def.label), "--dir", fresh.path().string(), "--replace"}, before);
    ASSERT_EQ(loaded.status, 0) << def.label << ": " << loaded.err;
    EXPECT_EQ(dump(fresh.path(), std::string(def.label)), before) << def.label;
  }
  // The staging folders are gone; the ten files are there under their names.
  EXPECT_EQ(filesIn(fresh.path()).size(), std::size_t(kFileCount));
}

TEST_F(DemoTender, LoadWithoutReplaceAdds) {
  TempFolder fresh("append");
  std::string offers = dump(dir(), "paralela");
  ASSERT_EQ(runTendrix({"load", "paralela", "--dir", fresh.path().string()}, offers).status, 0);
  auto r = runTendrix({"load", "PARALELA.DAT", "--dir", fresh.path().string()}, offers);
  ASSERT_EQ(r.status, 0) << r.err;
  Table once = parse(offers), twice = parse(dump(fresh.path(), "paralela"));
  EXPECT_EQ(twice.rows.size(), 2 * once.rows.size());
}

// Names on disk match without case; load keeps the name the file has.
TEST_F(DemoTender, FileNamedInUpperCase) {
  TempFolder work("upper");
  fs::copy_file(dir() / "paralela.dat", work / "PARALELA.DAT");
  std::string offers = dump(work.path(), "paralela");
  ASSERT_EQ(offers, dump(dir(), "paralela"));
  auto r = runTendrix({"load", "paralela.dat", "--dir", work.path().string()}, offers);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(filesIn(work.path()), std::vector<std::string>{"PARALELA.DAT"});
  EXPECT_EQ(parse(dump(work.path(), "PARALELA")).rows.size(), 2 * parse(offers).rows.size());
}

TEST_F(DemoTender, DumpFollowsAKey) {
  Table byKey = parse(dump(dir(), "paralela", "PAR:KSKLOP"));
  Table byFile = parse(dump(dir(), "PARALELA"));
  ASSERT_EQ(byKey.rows.size(), byFile.rows.size());
  auto keyOf = [&](const std::vector<std::string>& r) {
    return std::tuple(std::stoi(r[byKey.col("PAR:SKUP")]), std::stoi(r[byKey.col("PAR:POSK")]),
                      std::stoi(r[byKey.col("PAR:SKLOP")]), std::stol(r[byKey.col("PAR:SIFR")]),
                      dec(r[byKey.col("PAR:BCENA")]), std::stoi(r[byKey.col("PAR:SORT")]));
  };
  EXPECT_TRUE(std::is_sorted(byKey.rows.begin(), byKey.rows.end(),
                             [&](const auto& a, const auto& b) { return keyOf(a) < keyOf(b); }));

  // An OPT key leaves out the offers with a blank bar code.
  Table byEan = parse(dump(dir(), "paralela", "kcrtna"));
  auto withEan = std::count_if(byFile.rows.begin(), byFile.rows.end(),
                               [&](const auto& r) { return !r[byFile.col("PAR:EAN")].empty(); });
  EXPECT_LT(withEan, std::ptrdiff_t(byFile.rows.size()));
  EXPECT_EQ(std::ptrdiff_t(byEan.rows.size()), withEan);
}

TEST_F(DemoTender, BadLinesLeaveTheFileAsItWas) {
  struct Case {
    const char* file;
    std::string input;
    std::string error;
    bool alsoWithReplace = true;
  } cases[] = {
      {"paralela", "PAR:SKUP;PAR:BOGUS\n28;1\n", "line 1, PAR:BOGUS: not a field of PARALELA\n"},
      {"paralela", "PAR:SKUP;PAR:IMEZD\n28;dobro\n28;Ωmega\n",
       "line 3, PAR:IMEZD: \"Ω\" is not a Windows-1250 character\n"},
      {"paralela", "PAR:IDZDR;PAR:SKUP\n123456;1\n1234567;1\n",
       "line 3, PAR:IDZDR: text of 7 characters does not fit 6\n"},
      {"paralela", "PAR:NCENA\n9999999.9999\n10000000\n", "line 3, PAR:NCENA: 10000000 does not fit DECIMAL(11,4)\n"},
      {"paralela", "PAR:SORT\n1\n1,5\n", "line 3, PAR:SORT: \"1,5\" is not a whole number\n"},
      {"zdravnet", "RZDR:IDZDR;RZDR:IMEREGISTR\n900001;A\n\"900001\";B\n",
       "line 3, RZDR:IDZDR: duplicate value of the unique key RZDR:KIDZDR\n"},
      // Against a record already in the file, and without regard to case.
      {"skupine", "SKU:SKUP;SKU:NAZI\n31;DIETETIČNA ŽIVILA ZA POSEBNE ZDRAVSTVENE NAMENE\n",
       "line 2, SKU:NAZI: duplicate value of the unique key SKU:KNAZI\n", false},
  };
  for (const auto& c : cases) {
    for (bool replace : {false, true}) {
      if (replace && !c.alsoWithReplace) continue;
      TempFolder work("refuse");
      const FileDef& def = *findFile(c.file);
      fs::copy_file(dir() / std::string(def.diskName), work / std::string(def.diskName));
      std::string before = readFile(work / std::string(def.diskName));
      std::vector<std::string> args{"load", c.file, "--dir", work.path().string()};
      if (replace) args.push_back("--replace");
      auto r = runTendrix(args, c.input);
      EXPECT_EQ(r.status, 1) << c.error;
      EXPECT_EQ(r.err, c.error);
      EXPECT_TRUE(readFile(work / std::string(def.diskName)) == before) << c.error;
      EXPECT_EQ(filesIn(work.path()), std::vector<std::string>{std::string(def.diskName)});
    }
  }
  // A file that was missing stays missing.
  TempFolder empty("refuse-new");
  auto r = runTendrix({"load", "paralela", "--dir", empty.path().string()}, "PAR:SKUP\n28\nx\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "line 3, PAR:SKUP: \"x\" is not a whole number\n");
  EXPECT_TRUE(filesIn(empty.path()).empty());
}

TEST(DumpLoad, MissingFileIsReportedNotCreated) {
  TempFolder empty("missing");
  auto r = runTendrix({"dump", "paralela.dat", "--dir", empty.path().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("paralela.dat not found"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_TRUE(filesIn(empty.path()).empty());
}

TEST(DumpLoad, WrongUsageExitsTwo) {
  TempFolder work("usage");
  std::string d = work.path().string();
  std::vector<std::vector<std::string>> cases = {
      {"dump"},
      {"dump", "nofile", "--dir", d},
      {"dump", "paralela", "--key", "KBOGUS", "--dir", d},
      {"dump", "paralela", "--bogus"},
      {"load", "paralela", "extra"},
      {"load", "paralela", "--replace=yes"},
      {"demo"},
      {"demo", d + "/x", "--items", "0"},
      {"demo", d + "/x", "--offers", "12x"},
  };
  for (const auto& args : cases) {
    auto r = runTendrix(args);
    EXPECT_EQ(r.status, 2) << args.size() << " " << args.back();
    EXPECT_NE(r.err.find("usage: tendrix " + args[0]), std::string::npos) << r.err;
  }
  EXPECT_TRUE(filesIn(work.path()).empty());
}

TEST(Demo, RefusesAFolderWithRecordFiles) {
  TempFolder work("occupied");
  writeFile(work / "PODATKI.DAT", "not ours");
  auto r = runTendrix({"demo", work.path().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("already holds record files"), std::string::npos) << r.err;
  EXPECT_EQ(filesIn(work.path()), std::vector<std::string>{"PODATKI.DAT"});
  EXPECT_EQ(readFile(work / "PODATKI.DAT"), "not ours");
}

TEST(Demo, SameSeedSameFiles) {
  TempFolder a("seed-a"), b("seed-b"), c("seed-c");
  std::vector<std::string> size{"--items", "40", "--registry", "200", "--offers", "30"};
  auto run = [&](const TempFolder& f, const char* seed) {
    std::vector<std::string> args{"demo", f.path().string(), "--seed", seed};
    args.insert(args.end(), size.begin(), size.end());
    auto r = runTendrix(args);
    ASSERT_EQ(r.status, 0) << r.err;
  };
  run(a, "7");
  run(b, "7");
  run(c, "8");
  for (const FileDef& def : allFiles()) {
    std::string name(def.diskName);
    EXPECT_EQ(dump(a.path(), name), dump(b.path(), name)) << name;
    // The buyer's file is sealed with a fresh nonce each time; every other
    // file is the same to the byte.
    if (def.ownerPassword.empty()) EXPECT_TRUE(readFile(a / name) == readFile(b / name)) << name;
  }
  EXPECT_NE(dump(a.path(), "podatki"), dump(c.path(), "podatki"));
}

// The default demo has what the other parts of the program are tried on.
TEST(Demo, DefaultTenderIsPlausible) {
  TempFolder work("default");
  auto r = runTendrix({"demo", (work.path() / "new" / "tender").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("podatki.dat"), std::string::npos) << r.out;
  fs::path d = work.path() / "new" / "tender";

  Table sub = parse(dump(d, "pskupine"));
  std::set<std::pair<int, int>> subgroups;
  for (const auto& row : sub.rows) {
    subgroups.insert({std::stoi(row[sub.col("PSK:SKUP")]), std::stoi(row[sub.col("PSK:POSK")])});
    EXPECT_GT(dec(row[sub.col("PSK:VRED")]), Decimal(0)) << row[sub.col("PSK:NAZI")];
  }
  for (int s : {1, 2, 3, 4, 5, 6, 28, 29}) EXPECT_TRUE(subgroups.count({28, s})) << s;
  EXPECT_TRUE(std::any_of(subgroups.begin(), subgroups.end(), [](auto g) { return g.first != 28; }));

  Table items = parse(dump(d, "podatki"));
  ASSERT_GE(items.rows.size(), 400u);
  std::map<std::string, int> names, codes;
  int fractional = 0;
  for (const auto& row : items.rows) {
    ++names[row[items.col("POD:NAZI")]];
    ++codes[row[items.col("POD:SIFR")]];
    if (!row[items.col("POD:KOLI")].ends_with(".00")) ++fractional;
  }
  EXPECT_GT(fractional, 0);
  EXPECT_TRUE(std::any_of(names.begin(), names.end(), [](auto& n) { return n.second > 1; }));
  EXPECT_TRUE(std::any_of(codes.begin(), codes.end(), [](auto& n) { return n.second > 1; }));
  EXPECT_GT(parse(dump(d, "opism")).rows.size(), codes.size() / 2);

  Table registry = parse(dump(d, "zdravnet"));
  ASSERT_GE(registry.rows.size(), 3000u);
  std::map<std::string, Decimal> registryPrice;
  for (const auto& row : registry.rows) {
    EXPECT_EQ(row[registry.col("RZDR:IDZDR")].size(), 6u);
    registryPrice[row[registry.col("RZDR:IDZDR")]] = dec(row[registry.col("RZDR:NCENA")]);
  }
  EXPECT_TRUE(std::any_of(registryPrice.begin(), registryPrice.end(), [](auto& p) { return p.second.isZero(); }));

  Table applicants = parse(dump(d, "verant"));
  std::string applicant = items.rows[0][items.col("POD:DOBA")];
  EXPECT_TRUE(std::any_of(applicants.rows.begin(), applicants.rows.end(),
                          [&](auto& row) { return row[applicants.col("VRNT:DAVCNA")] == applicant; }));
  Table buyer = parse(dump(d, "kupec"));
  ASSERT_EQ(buyer.rows.size(), 1u);
  EXPECT_FALSE(buyer.rows[0][buyer.col("KUP:NAZ01")].empty());
  EXPECT_FALSE(buyer.rows[0][buyer.col("KUP:NAZ02")].empty());
  EXPECT_EQ(parse(dump(d, "ponudnik")).rows.size(), 1u);
  EXPECT_TRUE(parse(dump(d, "zdrapcen")).rows.empty());

  Table offers = parse(dump(d, "paralela"));
  std::set<std::string> offered;
  std::map<std::string, std::vector<std::pair<Decimal, int>>> pricesOfItem;
  bool withdrawn = false, zero = false, below = false, above = false;
  for (const auto& row : offers.rows) {
    std::string item = row[offers.col("PAR:SKUP")] + "/" + row[offers.col("PAR:POSK")] + "/" +
                       row[offers.col("PAR:SKLOP")] + "/" + row[offers.col("PAR:SIFR")];
    offered.insert(item);
    Decimal gross = dec(row[offers.col("PAR:BCENA")]);
    int sort = std::stoi(row[offers.col("PAR:SORT")]);
    pricesOfItem[item].push_back({gross, sort});
    withdrawn = withdrawn || sort == 99;
    zero = zero || gross.isZero();
    if (row[offers.col("PAR:SKUP")] == "28" && std::stoi(row[offers.col("PAR:POSK")]) < 28) {
      Decimal cap = registryPrice.at(row[offers.col("PAR:IDZDR")]);
      Decimal pack = dec(row[offers.col("PAR:NCENA_AZ")]);
      below = below || (cap > Decimal(0) && pack < cap);
      above = above || (cap > Decimal(0) && pack > cap);
    }
  }
  EXPECT_TRUE(withdrawn);
  EXPECT_TRUE(zero);
  EXPECT_TRUE(below);
  EXPECT_TRUE(above);
  bool tie = std::any_of(pricesOfItem.begin(), pricesOfItem.end(), [](auto& item) {
    for (std::size_t i = 0; i < item.second.size(); ++i)
      for (std::size_t j = i + 1; j < item.second.size(); ++j)
        if (item.second[i].first == item.second[j].first && item.second[i].second != item.second[j].second &&
            !item.second[i].first.isZero())
          return true;
    return false;
  });
  EXPECT_TRUE(tie);
  // About a third of the items have offers.
  EXPECT_GT(offered.size() * 4, codes.size());
  EXPECT_LT(offered.size() * 5, items.rows.size() * 2);
}

}  // namespace
}  // namespace tdx::test
