// Readers other than ours: Debian's dBase readers for Python (dbfread, dbf)
// and the Perl XBase index reader must see what we wrote. Skipped when the
// tools are not installed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <random>
#include <algorithm>

#include "exchange/dbf_table.h"
#include "exchange/ntx_build.h"
#include "records/cp1250.h"
#include "sample_rows.h"
#include "support/temp_folder.h"

namespace tdx::dbf {
namespace {

using tdx::test::TempFolder;
using tdx::test::writeFile;

// Runs a shell command; its standard output, and whether it exited with 0.
bool run(const std::string& command, std::string& out) {
  out.clear();
  FILE* p = popen(command.c_str(), "r");
  if (!p) return false;
  char buf[65536];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int status = pclose(p);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool available(const std::string& check) {
  std::string ignored;
  return run(check + " >/dev/null 2>&1", ignored);
}

// Prints every live row as tab-separated values: texts without trailing
// blanks, numbers with the column's decimals. The code page comes from the
// table's language-driver byte, as a spreadsheet user's library would take it.
constexpr const char* kPythonReaders = R"(
import sys, dbfread, dbf
path = sys.argv[1]
def num(v, dec):
    return 'None' if v is None else '%.*f' % (dec, v)
t = dbfread.DBF(path)
print('dbfread ' + t.encoding)
for r in t:
    print('\t'.join(r[f.name].rstrip() if f.type == 'C' else num(r[f.name], f.decimal_count) for f in t.fields))
t = dbf.Table(path)
t.open()
print('dbf ' + t.codepage.name)
for r in t:
    if dbf.is_deleted(r):
        continue
    cells = []
    for name in t.field_names:
        kind, length, dec, _ = t.field_info(name)
        v = r[name]
        cells.append(v.rstrip() if kind == ord('C') else num(v, dec))
    print('\t'.join(cells))
t.close()
)";

std::string expectedRow(const Record& r) {
  std::string line;
  const auto& cols = r.layout().columns;
  for (std::size_t k = 0; k < cols.size(); ++k) {
    if (k) line += '\t';
    if (cols[k].type == ColumnType::Character)
      line += cp1250::toUtf8(cp1250::trimRight(r.text(int(k))));
    else
      line += r.number(int(k)).toString(cols[k].decimals);
  }
  return line + "\n";
}

TEST(ExternalReaders, PythonReadersSeeEveryLayoutAsWritten) {
  if (!available("/usr/bin/python3 -c 'import dbfread, dbf'")) GTEST_SKIP() << "python3-dbfread or python3-dbf missing";
  TempFolder dir("ext");
  writeFile(dir / "readers.py", kPythonReaders);
  for (const Layout* layout : {&kParaldbf, &kCenikdbf, &kPodatdbf, &kLog, &kZdrndbf}) {
    SCOPED_TRACE(std::string(layout->label));
    auto p = dir / std::string(layout->fileName);
    Table t;
    ASSERT_TRUE(t.create(p, *layout));
    ASSERT_TRUE(t.open(p, *layout, OpenMode::exclusive()));
    std::string expected;
    Record r(*layout);
    for (int i = 0; i < 4; ++i) {
      test::fillSample(r, i);
      if (i == 1) {
        // Negative and rounded values, where the column has room for a sign.
        for (std::size_t k = 0; k < layout->columns.size(); ++k) {
          const Column& c = layout->columns[k];
          if (c.type == ColumnType::Numeric && c.width - (c.decimals ? c.decimals + 1 : 0) >= 2)
            r.setNumber(int(k), -*Decimal::parse("1.23456789"));
        }
      }
      r.setDeleted(i == 2);
      ASSERT_TRUE(t.append(r));
      if (i != 2) {
        // What a reader sees: the values rounded to the columns.
        Record shown = r;
        for (std::size_t k = 0; k < layout->columns.size(); ++k)
          if (layout->columns[k].type == ColumnType::Numeric)
            shown.setNumber(int(k), r.number(int(k)).rounded(layout->columns[k].decimals));
        expected += expectedRow(shown);
      }
    }
    ASSERT_TRUE(t.close());

    std::string out;
    ASSERT_TRUE(run("PYTHONIOENCODING=utf-8 /usr/bin/python3 " + (dir / "readers.py").string() + " " + p.string(), out))
        << out;
    EXPECT_EQ(out, "dbfread cp1250\n" + expected + "dbf cp1250\n" + expected);
  }
}

// One "key recno" line per key, in the order the Perl reader walks the tree.
std::string indexDump(const std::filesystem::path& ntx, const char* type) {
  std::string out;
  EXPECT_TRUE(run(std::string("index_dump --type=") + type + " " + ntx.string() + " - 2>&1", out)) << out;
  return out;
}

TEST(ExternalReaders, ThePerlIndexReaderWalksOurTreesInOrder) {
  if (!available("command -v index_dump")) GTEST_SKIP() << "index_dump (libdbd-xbase-perl) missing";
  TempFolder dir("ext");
  auto p = dir / "PARALDBF.DBF";
  Table t;
  err::Error e;
  // The empty index of an empty table.
  ASSERT_TRUE(t.create(p, kParaldbf));
  ASSERT_TRUE(t.open(p, kParaldbf, OpenMode::exclusive()));
  ASSERT_TRUE(ntx::buildIndexes(t, e)) << e.driverText;
  ASSERT_TRUE(t.close());
  EXPECT_EQ(indexDump(dir / "KCRTNA.NTX", "char"), "");

  ASSERT_TRUE(t.create(p, kParaldbf));
  ASSERT_TRUE(t.open(p, kParaldbf, OpenMode::exclusive()));
  // Enough rows for three levels, with runs of duplicates, and identifiers
  // with Windows-1250 letters.
  std::mt19937 rng(11);
  std::vector<std::pair<std::string, std::uint32_t>> eans, ids;
  Record r(kParaldbf);
  for (std::uint32_t i = 1; i <= 5000; ++i) {
    char ean[16];
    std::snprintf(ean, sizeof ean, "38%011u", unsigned(rng() % 3000));
    std::string id = std::string(1, "AB\xC8\xE8z"[rng() % 5]) + std::to_string(rng() % 50);
    r.setText("EAN", ean);
    r.setText("IDZDR", id);
    ASSERT_TRUE(t.append(r));
    eans.push_back({std::string(r.text("EAN")), i});
    ids.push_back({std::string(r.text("IDZDR")), i});
  }
  ASSERT_TRUE(ntx::buildIndexes(t, e)) << e.driverText;
  ASSERT_TRUE(t.close());

  for (auto [file, keys] : {std::pair{"KCRTNA.NTX", &eans}, std::pair{"KIDZDR.NTX", &ids}}) {
    std::stable_sort(keys->begin(), keys->end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::string expected;
    for (const auto& [key, recno] : *keys) expected += key + " " + std::to_string(recno) + "\n";
    EXPECT_EQ(indexDump(dir / file, "char"), expected) << file;
  }

  // Numeric keys, negatives among them, through the table-aware reader.
  auto c = dir / "CENIKDBF.DBF";
  ASSERT_TRUE(t.create(c, kCenikdbf));
  ASSERT_TRUE(t.open(c, kCenikdbf, OpenMode::exclusive()));
  Record row(kCenikdbf);
  std::vector<std::pair<int, std::uint32_t>> codes;
  for (std::uint32_t i = 1; i <= 2000; ++i) {
    int code = int(rng() % 20001) - 10000;
    row.setNumber("SIFR", code);
    ASSERT_TRUE(t.append(row));
    codes.push_back({code, i});
  }
  ASSERT_TRUE(ntx::buildIndexes(t, e)) << e.driverText;
  ASSERT_TRUE(t.close());
  std::stable_sort(codes.begin(), codes.end(), [](auto& a, auto& b) { return a.first < b.first; });
  std::string expected;
  int last = 1 << 30;
  for (const auto& [code, recno] : codes) {
    if (code == last) continue;  // KIDENT is unique: the first record of each code
    last = code;
    expected += std::to_string(recno) + "\t" + std::to_string(code) + "\n";
  }
  std::string out;
  ASSERT_TRUE(run("cd " + dir.path().string() +
                      " && perl -MXBase -MXBase::Index -e '$t=XBase->new(\"CENIKDBF.DBF\") or die XBase->errstr;"
                      " $i=XBase::Index->new(\"KIDENT.NTX\",dbf=>$t) or die XBase::Index->errstr;"
                      " $i->prepare_select; while(($k,$r)=$i->fetch){print \"$r\\t$k\\n\"}' 2>&1",
                  out))
      << out;
  EXPECT_EQ(out, expected);
}

}  // namespace
}  // namespace tdx::dbf
