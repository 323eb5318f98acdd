#include "records/catalogue.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>

#include "records/layouts.h"

namespace tdx {
namespace {

struct Member {
  int offset, size;
};
#define M(S, m) Member{int(offsetof(S, m)), int(sizeof(S::m))}

// The layout structs, member by member in layout order: the catalogue must
// describe exactly these bytes.
const std::map<FileId, std::pair<int, std::vector<Member>>>& layouts() {
  static const std::map<FileId, std::pair<int, std::vector<Member>>> l = {
      {FileId::Podatki,
       {int(sizeof(Podatki)),
        {M(Podatki, skup), M(Podatki, posk), M(Podatki, sifr), M(Podatki, nazi), M(Podatki, faob),
         M(Podatki, enme), M(Podatki, koli), M(Podatki, koliane), M(Podatki, cena), M(Podatki, ncena),
         M(Podatki, davek), M(Podatki, rabat), M(Podatki, doba), M(Podatki, proiz), M(Podatki, paral),
         M(Podatki, katal), M(Podatki, leto), M(Podatki, mese), M(Podatki, sklop), M(Podatki, izdelek),
         M(Podatki, pakir), M(Podatki, opis)}}},
      {FileId::Skupine, {int(sizeof(Skupine)), {M(Skupine, skup), M(Skupine, nazi)}}},
      {FileId::Pskupine,
       {int(sizeof(Pskupine)),
        {M(Pskupine, skup), M(Pskupine, posk), M(Pskupine, nazi), M(Pskupine, vred), M(Pskupine, refer),
         M(Pskupine, zaklj), M(Pskupine, nizbo)}}},
      {FileId::Opism, {int(sizeof(Opism)), {M(Opism, sifr)}}},
      {FileId::Zdrapcen,
       {int(sizeof(Zdrapcen)),
        {M(Zdrapcen, skup), M(Zdrapcen, posk), M(Zdrapcen, sklop), M(Zdrapcen, sifr), M(Zdrapcen, doba),
         M(Zdrapcen, pbcena), M(Zdrapcen, koli), M(Zdrapcen, koliane)}}},
      {FileId::Paralela,
       {int(sizeof(Paralela)),
        {M(Paralela, skup), M(Paralela, posk), M(Paralela, sklop), M(Paralela, sifr), M(Paralela, doba),
         M(Paralela, imezd), M(Paralela, proiz), M(Paralela, prpak), M(Paralela, em), M(Paralela, ean),
         M(Paralela, idzdr), M(Paralela, ncena), M(Paralela, popust), M(Paralela, pddv), M(Paralela, bcena),
         M(Paralela, sort), M(Paralela, pakiranje), M(Paralela, ncena_az), M(Paralela, bcena_az),
         M(Paralela, kfaktor), M(Paralela, ncena_kf)}}},
      {FileId::Ponudnik,
       {int(sizeof(Ponudnik)),
        {M(Ponudnik, naziv), M(Ponudnik, naslov), M(Ponudnik, posta), M(Ponudnik, davcna)}}},
      {FileId::Kupec,
       {int(sizeof(Kupec)),
        {M(Kupec, naz01), M(Kupec, naz02), M(Kupec, naz03), M(Kupec, naz04), M(Kupec, naz05), M(Kupec, naz06),
         M(Kupec, naz07), M(Kupec, naz08), M(Kupec, naz09), M(Kupec, naz10)}}},
      {FileId::Zdravnet,
       {int(sizeof(Zdravnet)),
        {M(Zdravnet, idzdr), M(Zdravnet, imeregistr), M(Zdravnet, crtnakoda), M(Zdravnet, faob),
         M(Zdravnet, kolenote), M(Zdravnet, enota), M(Zdravnet, pakiranje), M(Zdravnet, atc),
         M(Zdravnet, atcopis), M(Zdravnet, ncena), M(Zdravnet, proizs), M(Zdravnet, proizn)}}},
      {FileId::Verant, {int(sizeof(Verant)), {M(Verant, davcna), M(Verant, naziv)}}},
  };
  return l;
}
#undef M

TEST(Catalogue, FieldsMatchTheLayoutStructs) {
  ASSERT_EQ(allFiles().size(), std::size_t(kFileCount));
  for (const FileDef& f : allFiles()) {
    SCOPED_TRACE(std::string(f.label));
    EXPECT_EQ(&fileDef(f.id), &f);
    const auto& [size, members] = layouts().at(f.id);
    EXPECT_EQ(f.recordSize, size);
    std::size_t stored = f.fields.size() - (f.hasMemo() ? 1 : 0);
    ASSERT_EQ(stored, members.size());
    for (std::size_t i = 0; i < stored; ++i) {
      const FieldDef& fd = f.fields[i];
      EXPECT_EQ(fd.offset, members[i].offset) << fd.name;
      EXPECT_EQ(fd.size, members[i].size) << fd.name;
      EXPECT_NE(fd.type, FieldType::Memo) << fd.name;
      if (fd.type == FieldType::Decimal) {
        EXPECT_EQ(fd.size, fd.digits / 2 + 1) << fd.name;
      }
    }
  }
}

TEST(Catalogue, DecimalDigitsMatchTheLayoutTypes) {
  auto check = [](FileId file, const char* name, int digits, int places) {
    const FileDef& f = fileDef(file);
    const FieldDef& fd = f.fields.at(std::size_t(f.findField(name)));
    EXPECT_EQ(fd.digits, digits) << name;
    EXPECT_EQ(fd.places, places) << name;
  };
  check(FileId::Podatki, "KOLI", decltype(Podatki::koli)::digits, decltype(Podatki::koli)::places);
  check(FileId::Podatki, "CENA", decltype(Podatki::cena)::digits, decltype(Podatki::cena)::places);
  check(FileId::Podatki, "DAVEK", decltype(Podatki::davek)::digits, decltype(Podatki::davek)::places);
  check(FileId::Podatki, "RABAT", decltype(Podatki::rabat)::digits, decltype(Podatki::rabat)::places);
  check(FileId::Pskupine, "VRED", decltype(Pskupine::vred)::digits, decltype(Pskupine::vred)::places);
  check(FileId::Zdrapcen, "PBCENA", decltype(Zdrapcen::pbcena)::digits, decltype(Zdrapcen::pbcena)::places);
  check(FileId::Paralela, "NCENA", decltype(Paralela::ncena)::digits, decltype(Paralela::ncena)::places);
  check(FileId::Paralela, "POPUST", decltype(Paralela::popust)::digits, decltype(Paralela::popust)::places);
  check(FileId::Paralela, "PDDV", decltype(Paralela::pddv)::digits, decltype(Paralela::pddv)::places);
  check(FileId::Paralela, "KFAKTOR", decltype(Paralela::kfaktor)::digits, decltype(Paralela::kfaktor)::places);
  check(FileId::Zdravnet, "NCENA", decltype(Zdravnet::ncena)::digits, decltype(Zdravnet::ncena)::places);
}

// A key as the record-file tables write it.
std::string describe(const FileDef& f, const KeyDef& k) {
  std::string s = std::string(f.prefix) + ":" + std::string(k.name) + " =";
  for (int c : k.components) s += " " + std::string(f.fields.at(std::size_t(c)).name);
  s += k.maintained ? " | KEY" : " | INDEX";
  if (k.primary) s += " PRIMARY";
  if (k.dup) s += " DUP";
  if (k.opt) s += " OPT";
  if (k.nocase) s += " NOCASE";
  return s;
}

TEST(Catalogue, KeysAsTheRecordFilesDeclareThem) {
  const char* expected[] = {
      "POD:KSKUP = SKUP POSK SKLOP NAZI | INDEX DUP OPT NOCASE",
      "POD:KNAZI = NAZI | INDEX DUP OPT NOCASE",
      "POD:KSKLOP = SKUP POSK SKLOP SIFR | INDEX DUP OPT NOCASE",
      "POD:KSIFR = SIFR | INDEX DUP OPT NOCASE",
      "SKU:KSKUP = SKUP | KEY PRIMARY OPT NOCASE",
      "SKU:KNAZI = NAZI | KEY OPT NOCASE",
      "PSK:KSKUP = SKUP POSK | KEY PRIMARY OPT NOCASE",
      "PSK:KNAZI = NAZI | KEY OPT NOCASE",
      "OMAT:KSIFRA = SIFR | KEY OPT NOCASE",
      "PAR:KCRTNA = EAN | KEY DUP OPT NOCASE",
      "PAR:KSKLOP = SKUP POSK SKLOP SIFR BCENA SORT | KEY DUP OPT NOCASE",
      "PAR:KIDZDR = IDZDR | KEY DUP OPT NOCASE",
      "RZDR:KCRTNA = CRTNAKODA | KEY DUP NOCASE",
      "RZDR:KIME = IMEREGISTR | KEY DUP OPT NOCASE",
      "RZDR:KIDZDR = IDZDR | KEY PRIMARY OPT NOCASE",
      "RZDR:KATC = ATC | KEY DUP OPT NOCASE",
      "VRNT:KDAVCNA = DAVCNA | KEY DUP OPT NOCASE",
  };
  std::vector<std::string> actual;
  for (const FileDef& f : allFiles())
    for (const KeyDef& k : f.keys) {
      actual.push_back(describe(f, k));
      EXPECT_EQ(&keyDef(k.id), &k);
      EXPECT_EQ(fileOf(k.id), f.id);
    }
  EXPECT_EQ(actual, std::vector<std::string>(std::begin(expected), std::end(expected)));
}

TEST(Catalogue, FilesNamesAndRules) {
  const FileDef& opism = fileDef(FileId::Opism);
  ASSERT_TRUE(opism.hasMemo());
  EXPECT_EQ(opism.fields.back().name, "OPIS");
  EXPECT_EQ(opism.fields.back().offset, -1);
  EXPECT_EQ(opism.fields.back().size, 5000);
  for (const FileDef& f : allFiles()) {
    bool supplied = f.id == FileId::Kupec || f.id == FileId::Zdravnet;
    EXPECT_EQ(f.creatable, !supplied) << f.label;
    EXPECT_EQ(f.ownerPassword, f.id == FileId::Kupec ? std::string_view(kKupecPassword) : std::string_view())
        << f.label;
    EXPECT_EQ(f.hasMemo(), f.id == FileId::Opism) << f.label;
  }
  EXPECT_EQ(fileDef(FileId::Zdravnet).diskName, "zdravnet.tps");
  EXPECT_EQ(fileDef(FileId::Kupec).diskName, "kupec.dat");

  EXPECT_EQ(findFile("paralela"), &fileDef(FileId::Paralela));
  EXPECT_EQ(findFile("PARALELA.DAT"), &fileDef(FileId::Paralela));
  EXPECT_EQ(findFile("Opism.Tps"), &fileDef(FileId::Opism));
  EXPECT_EQ(findFile("paralela.tps"), nullptr);
  EXPECT_EQ(findFile(""), nullptr);

  const FileDef& par = fileDef(FileId::Paralela);
  EXPECT_EQ(par.fieldLabel(17), "PAR:NCENA_AZ");
  EXPECT_EQ(par.findField("ncena_az"), 17);
  EXPECT_EQ(par.findField("par:NCENA_AZ"), 17);
  EXPECT_EQ(par.findField("RZDR:NCENA"), -1);
  EXPECT_EQ(par.findField("NCENA_"), -1);
  EXPECT_EQ(par.findKey("par:ksklop"), &keyDef(Key::PAR_KSKLOP));
  EXPECT_EQ(par.findKey("KIDZDR"), &keyDef(Key::PAR_KIDZDR));
  EXPECT_EQ(par.findKey("POD:KSKLOP"), nullptr);
}

TEST(RecordBuffer, ClearBlanksTextsAndZeroesTheRest) {
  RecordBuffer buf(FileId::Zdravnet);
  std::memset(buf.data(), 0x5A, buf.size());
  buf.clear();
  const auto& z = buf.as<Zdravnet>();
  EXPECT_EQ(z.idzdr.raw(), "      ");
  EXPECT_EQ(z.faob.b[0], '\0');
  EXPECT_EQ(z.faob.b[80], '\0');
  EXPECT_EQ(z.kolenote.get(), 0);
  EXPECT_TRUE(z.ncena.isZero());
  EXPECT_EQ(z.proizn.view(), "");

  RecordBuffer memo(FileId::Opism);
  memo.memo() = "opis";
  memo.clear();
  EXPECT_TRUE(memo.memo().empty());
  EXPECT_EQ(memo.size(), 4u);
}

TEST(RecordBuffer, GenericAccessMatchesTheTypedView) {
  RecordBuffer buf(FileId::Paralela);
  const FileDef& def = buf.def();
  auto f = [&](const char* n) -> const FieldDef& { return def.fields.at(std::size_t(def.findField(n))); };
  auto& p = buf.as<Paralela>();

  field::setInt(buf, f("SORT"), -99);
  field::setInt(buf, f("PAKIRANJE"), 2000000000);
  field::setDecimal(buf, f("KFAKTOR"), *Decimal::parse("1.2345675"));
  field::setUnits(buf, f("NCENA"), -99999999999);
  field::setText(buf, f("IDZDR"), "AB12345678");
  EXPECT_EQ(p.sort.get(), -99);
  EXPECT_EQ(p.pakiranje.get(), 2000000000);
  EXPECT_EQ(p.kfaktor.get(), *Decimal::parse("1.234568"));
  EXPECT_EQ(p.ncena.units(), -99999999999);
  EXPECT_EQ(p.idzdr.raw(), "AB1234");  // cut to the width
  EXPECT_EQ(field::getText(buf, f("IDZDR")), "AB1234");
  EXPECT_EQ(field::getInt(buf, f("PAKIRANJE")), 2000000000);
  EXPECT_EQ(field::getDecimal(buf, f("KFAKTOR")), *Decimal::parse("1.234568"));

  // Refused, not wrapped or cut: the field keeps its value.
  EXPECT_THROW(field::setInt(buf, f("SORT"), 40000), FieldOverflow);
  EXPECT_THROW(field::setUnits(buf, f("NCENA"), 100000000000), FieldOverflow);
  EXPECT_THROW(field::setDecimal(buf, f("POPUST"), Decimal(1000)), FieldOverflow);
  EXPECT_EQ(p.sort.get(), -99);
  EXPECT_TRUE(p.popust.isZero());
  EXPECT_THROW(field::getInt(buf, f("NCENA")), std::invalid_argument);

  RecordBuffer reg(FileId::Zdravnet);
  const FieldDef& faob = reg.def().fields.at(3);
  EXPECT_EQ(field::textCapacity(faob), 80);
  field::setText(reg, faob, std::string(100, 'x'));
  EXPECT_EQ(field::getText(reg, faob), std::string(80, 'x'));
  EXPECT_EQ(reg.as<Zdravnet>().faob.b[80], '\0');

  RecordBuffer opis(FileId::Opism);
  const FieldDef& memo = opis.def().fields.back();
  field::setText(opis, memo, std::string(6000, 'm') );
  EXPECT_EQ(opis.memo().size(), 5000u);
}

}  // namespace
}  // namespace tdx

namespace tdx {
namespace {

// Windows bind controls to fields inside a record buffer; a record read
// into the buffer later must land in the same storage.
TEST(RecordBufferStorage, AssigningARecordOfTheSameFileKeepsTheFieldsInPlace) {
  RecordBuffer shown(FileId::Ponudnik);
  auto* field = &shown.as<Ponudnik>().naziv;
  RecordBuffer read(FileId::Ponudnik);
  read.as<Ponudnik>().naziv = "Drugi d.o.o.";
  shown = std::move(read);
  EXPECT_EQ(&shown.as<Ponudnik>().naziv, field);
  EXPECT_EQ(field->view(), "Drugi d.o.o.");
  RecordBuffer copy(FileId::Ponudnik);
  copy.as<Ponudnik>().naziv = "Tretji";
  shown = copy;
  EXPECT_EQ(&shown.as<Ponudnik>().naziv, field);
  EXPECT_EQ(field->view(), "Tretji");
}

}  // namespace
}  // namespace tdx
