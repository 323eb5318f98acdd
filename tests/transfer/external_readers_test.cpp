// What the exports write, read by others: Debian's dBase readers for Python
// (dbfread, dbf) must see every row as we read it back, and the Perl XBase
// reader must walk every index in key order. Skipped when the readers are
// not installed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

#include "export_fixture.h"
#include "records/cp1250.h"

namespace tdx::transfer::test {
namespace {

bool shell(const std::string& command, std::string& out) {
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
  return shell(check + " >/dev/null 2>&1", ignored);
}

// Every live row as tab-separated values: texts without trailing blanks,
// numbers with the column's decimals; each reader takes the code page from
// the table's header, as a spreadsheet user's library would.
constexpr const char* kPythonReaders = R"(
import sys, dbfread, dbf
path = sys.argv[1]
def num(v, dec):
    return 'None' if v is None else '%.*f' % (dec, v)
t = dbfread.DBF(path)
print('dbfread ' + t.encoding + ' ' + str(len(t)))
for r in t:
    print('\t'.join(r[f.name].rstrip() if f.type == 'C' else num(r[f.name], f.decimal_count) for f in t.fields))
t = dbf.Table(path)
t.open()
print('dbf ' + t.codepage.name + ' ' + str(len(t)))
for r in t:
    cells = []
    for name in t.field_names:
        kind, length, dec, _ = t.field_info(name)
        v = r[name]
        cells.append(v.rstrip() if kind == ord('C') else num(v, dec))
    print('\t'.join(cells))
t.close()
)";

class ExportsReadByOthers : public ExportTest {
 protected:
  void SetUp() override {
    // Texts with Windows-1250 letters in every text column that has them,
    // numbers with decimals, an offer without its item.
    std::vector<RecordBuffer> items, offers, registry;
    for (int i = 0; i < 60; ++i) {
      items.push_back(item(28, std::int16_t(1 + i % 3), 1, 5000 - i * 7, [i](Podatki& p) {
        p.nazi = "\xC8" "aj \x9A" "ipkov " + std::to_string(i);
        p.faob = "zeli\x9A\xE8" "e";
        p.enme = "vre\xE8" "ka";
        p.koli = Decimal::fromUnits(1260 + i, 2);
        p.ncena = Decimal::fromUnits(12345 + i, 4);
        p.davek = Decimal::fromUnits(950, 2);
        p.katal = "KAT-\x8E-" + std::to_string(i) + "-0123456789";
      }));
      offers.push_back(offer(28, std::int16_t(1 + i % 3), 1, i % 10 == 9 ? 1 : 5000 - i * 7, [i](Paralela& p) {
        p.imezd = "\x8E" "alfa " + std::to_string(i);
        p.ean = "38" + std::to_string(1000000 + (i * 37) % 23);
        p.idzdr = std::string(1, "AB\xC8\xE8z"[i % 5]) + std::to_string(i % 4);
        p.ncena = Decimal::fromUnits(123456 + i, 4);
        p.pddv = Decimal::fromUnits(2200, 2);
        p.kfaktor = Decimal::fromUnits(1000000 + i, 6);
        p.pakiranje = 10 + i;
      }));
      registry.push_back(medicine(std::to_string(100000 + i), [i](Zdravnet& z) {
        z.imeregistr = "Lekadol " + std::to_string(i);
        z.pakiranje = "\x9A" "katla";
        z.kolenote = std::int16_t(i);
        z.ncena = Decimal::fromUnits(9999 * i, 4);
      }));
    }
    store(FileId::Podatki, items);
    store(FileId::Paralela, offers);
    store(FileId::Zdravnet, registry);
  }

  // Our reading of a table, as the script prints it.
  std::string expected(const dbf::Layout& layout, const std::string& reader) {
    auto table = rows(layout);
    std::string out = reader + " cp1250 " + std::to_string(table.size()) + "\n";
    for (const auto& r : table) {
      for (std::size_t k = 0; k < layout.columns.size(); ++k) {
        if (k) out += '\t';
        const auto& c = layout.columns[k];
        if (c.type == dbf::ColumnType::Character) out += cp1250::toUtf8(cp1250::trimRight(r.record.text(int(k))));
        else out += r.record.number(int(k)).toString(c.decimals);
      }
      out += '\n';
    }
    return out;
  }

  // Our keys of a character index, as index_dump prints them.
  std::string characterKeys(const std::string& ntx) {
    std::string out;
    for (const auto& k : keys(ntx)) out += cp1250::toUtf8(k.key) + " " + std::to_string(k.recno) + "\n";
    return out;
  }
};

TEST_F(ExportsReadByOthers, PythonReadersSeeEveryExportedTableAsWeReadIt) {
  if (!available("/usr/bin/python3 -c 'import dbfread, dbf'")) GTEST_SKIP() << "python3-dbfread or python3-dbf missing";
  tdx::test::writeFile(dir / "readers.py", kPythonReaders);
  for (auto [procedure, layout] : {std::pair{"izparvdbf1", &dbf::kParaldbf}, std::pair{"izdatvdbf", &dbf::kPodatdbf},
                                   std::pair{"izzdrnetvdbf", &dbf::kZdrndbf}}) {
    SCOPED_TRACE(procedure);
    run(procedure);
    ASSERT_EQ(rows(*layout).size(), 60u);
    std::string out;
    ASSERT_TRUE(shell("PYTHONIOENCODING=utf-8 /usr/bin/python3 " + (dir / "readers.py").string() + " " +
                        (dir / std::string(layout->fileName)).string(),
                    out))
        << out;
    EXPECT_EQ(out, expected(*layout, "dbfread") + expected(*layout, "dbf"));
  }
}

TEST_F(ExportsReadByOthers, ThePerlReaderWalksEveryExportedIndexInKeyOrder) {
  if (!available("command -v index_dump")) GTEST_SKIP() << "index_dump (libdbd-xbase-perl) missing";
  run("izparvdbf1");
  run("izdatvdbf");
  for (const char* ntx : {"KCRTNA.NTX", "KIDZDR.NTX"}) {
    SCOPED_TRACE(ntx);
    std::string out;
    ASSERT_TRUE(shell("index_dump --type=char " + (dir / ntx).string() + " - 2>&1 | iconv -f cp1250 -t utf-8", out))
        << out;
    EXPECT_EQ(out, characterKeys(ntx));
  }
  // The numeric index through the table-aware reader: code and record.
  std::string expectedCodes;
  auto table = rows(dbf::kPodatdbf);
  for (const auto& k : keys("KSIFRA.NTX"))
    expectedCodes += std::to_string(k.recno) + "\t" +
                     table.at(k.recno - 1).record.number("SIFR").toString(0) + "\n";
  std::string out;
  ASSERT_TRUE(shell("cd " + dir.path().string() +
                      " && perl -MXBase -MXBase::Index -e '$t=XBase->new(\"PODATDBF.DBF\") or die XBase->errstr;"
                      " $i=XBase::Index->new(\"KSIFRA.NTX\",dbf=>$t) or die XBase::Index->errstr;"
                      " $i->prepare_select; while(($k,$r)=$i->fetch){print \"$r\\t$k\\n\"}' 2>&1",
                  out))
      << out;
  EXPECT_EQ(out, expectedCodes);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 60);
}

}  // namespace
}  // namespace tdx::transfer::test
