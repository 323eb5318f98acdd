#include "export_fixture.h"

#include "exchange/dbf_table.h"
#include "exchange/ntx_read.h"
#include "records/store.h"
#include "transfer/register.h"

namespace tdx::transfer::test {

namespace {

template <class T>
RecordBuffer cleared(FileId id, const std::function<void(T&)>& more) {
  RecordBuffer b(id);
  b.clear();
  if (more) more(b.as<T>());
  return b;
}

}  // namespace

RecordBuffer item(std::int16_t group, std::int16_t subgroup, std::int16_t lot, std::int32_t code,
                  const std::function<void(Podatki&)>& more) {
  return cleared<Podatki>(FileId::Podatki, [&](Podatki& p) {
    p.skup = group;
    p.posk = subgroup;
    p.sklop = lot;
    p.sifr = code;
    if (more) more(p);
  });
}

RecordBuffer offer(std::int16_t group, std::int16_t subgroup, std::int16_t lot, std::int32_t code,
                   const std::function<void(Paralela&)>& more) {
  return cleared<Paralela>(FileId::Paralela, [&](Paralela& p) {
    p.skup = group;
    p.posk = subgroup;
    p.sklop = lot;
    p.sifr = code;
    if (more) more(p);
  });
}

RecordBuffer medicine(std::string_view id, const std::function<void(Zdravnet&)>& more) {
  return cleared<Zdravnet>(FileId::Zdravnet, [&](Zdravnet& z) {
    z.idzdr = id;
    if (more) more(z);
  });
}

ExportTest::ExportTest() {
  session.setProgram(&program);
  registerProcedures(program);
}

void ExportTest::store(FileId file, const std::vector<RecordBuffer>& records) {
  RecordFile f(fileDef(file), dir.path());
  ASSERT_TRUE(f.create(fileDef(file).ownerPassword)) << f.error().describe();
  ASSERT_TRUE(f.open(OpenMode::exclusive(), fileDef(file).ownerPassword)) << f.error().describe();
  ASSERT_TRUE(f.stream());
  for (RecordBuffer r : records) ASSERT_TRUE(f.add(r)) << f.error().describe();
  ASSERT_TRUE(f.close());
}

void ExportTest::run(const std::string& procedure) {
  ASSERT_TRUE(program.has(procedure));
  EXPECT_EQ(program.start(procedure), 0u) << procedure << " still running after start";
}

std::vector<TableRow> ExportTest::rows(const dbf::Layout& layout, const std::string& fileName) {
  std::vector<TableRow> out;
  dbf::Table t;
  auto path = dir / (fileName.empty() ? std::string(layout.fileName) : fileName);
  EXPECT_TRUE(t.open(path, layout, OpenMode{Access::ReadOnly, Share::DenyNone})) << t.error().driverText;
  if (!t.isOpen()) return out;
  std::string_view bytes;
  std::uint32_t recno = 0;
  while (t.readNextRaw(bytes, recno)) {
    TableRow row{{}, dbf::Record(layout)};
    for (const auto& f : t.header().fields) row.raw.emplace_back(bytes.substr(std::size_t(f.offset), std::size_t(f.width)));
    out.push_back(std::move(row));
  }
  EXPECT_EQ(t.error().code, err::EndOfFile);
  t.rewind();
  for (auto& row : out) EXPECT_TRUE(t.readNext(row.record));
  return out;
}

std::vector<IndexKey> ExportTest::keys(const std::string& ntxFile) {
  std::vector<IndexKey> out;
  ntx::Index index;
  EXPECT_TRUE(index.open(dir / ntxFile)) << ntxFile << ": " << index.error().driverText;
  if (!index.isOpen()) return out;
  EXPECT_TRUE(index.seek(""));
  ntx::Entry e;
  while (index.next(e)) out.push_back({e.key, e.recno});
  EXPECT_EQ(index.error().code, err::EndOfFile) << index.error().driverText;
  return out;
}

}  // namespace tdx::transfer::test
