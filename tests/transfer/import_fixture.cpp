#include "import_fixture.h"

#include "exchange/dbf_table.h"
#include "transfer/register.h"

namespace tdx::transfer::imports {

namespace fs = std::filesystem;

Decimal dec(const char* text) { return *Decimal::parse(text); }

Paralela blankOffer() {
  RecordBuffer buf(FileId::Paralela);
  buf.clear();
  return buf.as<Paralela>();
}

ImportTest::ImportTest() {
  session.setProgram(&program);
  registerProcedures(program);
  writeRegistry({});
}

namespace {

// Writes a record file anew from buffers.
template <class Fill>
void writeRecords(FileId id, const fs::path& folder, std::size_t n, Fill fill) {
  RecordFile f(fileDef(id), folder);
  ASSERT_TRUE(f.create()) << f.error().describe();
  ASSERT_TRUE(f.open(OpenMode::exclusive())) << f.error().describe();
  ASSERT_TRUE(f.stream());
  RecordBuffer buf(id);
  for (std::size_t i = 0; i < n; ++i) {
    buf.clear();
    fill(i, buf);
    ASSERT_TRUE(f.add(buf)) << f.error().describe();
  }
  ASSERT_TRUE(f.close()) << f.error().describe();
}

}  // namespace

void ImportTest::writeRegistry(const std::vector<Medicine>& medicines) {
  writeRecords(FileId::Zdravnet, dir.path(), medicines.size(), [&](std::size_t i, RecordBuffer& buf) {
    auto& r = buf.as<Zdravnet>();
    const Medicine& m = medicines[i];
    r.idzdr = m.idzdr;
    r.ncena = dec(m.ncena);
    r.kolenote = std::int16_t(m.kolenote);
    r.imeregistr = m.name;
    r.proizn = "Imetnik " + m.idzdr;
    r.pakiranje = "Pakiranje " + m.idzdr;
    r.crtnakoda = "383" + m.idzdr;
    r.enota = "kapsula";
    r.atc = "N02BE01";
  });
}

void ImportTest::writeItems(const std::vector<Item>& items) {
  writeRecords(FileId::Podatki, dir.path(), items.size(), [&](std::size_t i, RecordBuffer& buf) {
    auto& p = buf.as<Podatki>();
    p.skup = std::int16_t(items[i].skup);
    p.posk = std::int16_t(items[i].posk);
    p.sklop = std::int16_t(items[i].sklop);
    p.sifr = items[i].sifr;
    p.nazi = "Postavka " + std::to_string(items[i].sifr);
  });
}

void ImportTest::writeOffers(const std::vector<Paralela>& offers, const char* diskName) {
  fs::path folder = dir.path() / "offers-staging";
  fs::create_directories(folder);
  writeRecords(FileId::Paralela, folder, offers.size(),
               [&](std::size_t i, RecordBuffer& buf) { buf.as<Paralela>() = offers[i]; });
  fs::rename(folder / "paralela.dat", dir / diskName);
  fs::remove_all(folder);
}

void ImportTest::writeTable(const std::vector<TableRow>& rows) {
  dbf::Table t;
  const fs::path path = dir / "PARALDBF.DBF";
  ASSERT_TRUE(t.create(path, dbf::kParaldbf)) << t.error().describe();
  ASSERT_TRUE(t.open(path, dbf::kParaldbf, OpenMode::exclusive())) << t.error().describe();
  dbf::Record r(dbf::kParaldbf);
  for (const TableRow& row : rows) {
    r.clear();
    r.setNumber("SKUP", row.skup);
    r.setNumber("POSK", row.posk);
    r.setNumber("SKLOP", row.sklop);
    r.setText("SIFR", row.sifr);
    r.setText("IDZDR", row.idzdr);
    r.setText("IMEZD", row.imezd);
    r.setText("EM", row.em);
    r.setNumber("NCENA", dec(row.ncena));
    r.setNumber("POPUST", dec(row.popust));
    r.setNumber("PDDV", dec(row.pddv));
    r.setNumber("KFAKTOR", dec(row.kfaktor));
    r.setNumber("SORT", row.sort);
    r.setNumber("PAKIR", row.pakir);
    ASSERT_TRUE(t.append(r)) << t.error().describe();
  }
  ASSERT_TRUE(t.close()) << t.error().describe();
}

void ImportTest::writeCsv(const std::string& bytes) { tdx::test::writeFile(dir / "paralela.csv", bytes); }

void ImportTest::run(const char* procedure) {
  ui.clear();
  ASSERT_TRUE(program.has(procedure));
  program.start(procedure);
}

std::vector<Paralela> ImportTest::offers(const char* diskName) {
  std::vector<Paralela> out;
  fs::path folder = dir.path();
  if (std::string(diskName) != "paralela.dat") {
    folder = dir.path() / "offers-reading";
    fs::create_directories(folder);
    fs::copy_file(dir / diskName, folder / "paralela.dat", fs::copy_options::overwrite_existing);
  }
  RecordFile f(fileDef(FileId::Paralela), folder);
  EXPECT_TRUE(f.open()) << diskName << ": " << f.error().describe();
  RecordBuffer buf(FileId::Paralela);
  while (f.next(buf)) out.push_back(buf.as<Paralela>());
  f.close();
  if (folder != dir.path()) fs::remove_all(folder);
  return out;
}

std::vector<dbf::Record> ImportTest::logRows() {
  std::vector<dbf::Record> out;
  dbf::Table t;
  EXPECT_TRUE(t.open(dir / "LOG.DBF", dbf::kLog)) << t.error().describe();
  dbf::Record r(dbf::kLog);
  while (t.readNext(r)) out.push_back(r);
  return out;
}

}  // namespace tdx::transfer::imports
