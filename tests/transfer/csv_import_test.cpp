// uvcsvparaladd: every offer replaced by the lines of the semicolon file,
// placed under the item with the line's code, completed from the registry
// and capped at its price.

#include <gtest/gtest.h>

#include <cstring>

#include "import_fixture.h"

namespace tdx::transfer::imports {
namespace {

namespace fs = std::filesystem;

class CsvImport : public ImportTest {
 protected:
  CsvImport() {
    writeItems({{2, 1, 3, 1234}, {5, 4, 1, 777}});
    writeRegistry({{"AB1234", "12", 20, "Zdravilo AB"}, {"FREE00", "0", 10}});
  }
};

TEST_F(CsvImport, ALineBecomesAnOfferUnderItsItemCompletedFromTheRegistry) {
  writeCsv("1234;AB1234;15,5;0;9,5;\r\n");
  run("uvcsvparaladd");
  auto got = offers();
  ASSERT_EQ(got.size(), 1u);
  const Paralela& p = got[0];
  EXPECT_EQ(p.skup.get(), 2);
  EXPECT_EQ(p.posk.get(), 1);
  EXPECT_EQ(p.sklop.get(), 3);
  EXPECT_EQ(p.sifr.get(), 1234);
  EXPECT_EQ(p.ncena.get(), Decimal(12));
  EXPECT_EQ(p.ncena_az.get(), Decimal(12));
  EXPECT_EQ(p.ncena_kf.get(), Decimal(12));  // a factor of 1
  EXPECT_EQ(p.bcena_az.get(), dec("13.14"));
  EXPECT_EQ(p.bcena.get(), dec("0.657"));
  EXPECT_EQ(p.sort.get(), 1);
  EXPECT_EQ(p.kfaktor.get(), Decimal(1));
  EXPECT_EQ(p.pddv.get(), dec("9.5"));
  EXPECT_EQ(p.imezd.view(), "Zdravilo AB");
  EXPECT_EQ(p.proiz.view(), "Imetnik AB1234");
  EXPECT_EQ(p.prpak.view(), "Pakiranje AB1234");
  EXPECT_EQ(p.ean.view(), "383AB1234");
  EXPECT_EQ(p.pakiranje.get(), 20);
  EXPECT_EQ(p.em.view(), "kapsula");
  auto log = logRows();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].number("NCENA"), dec("15.5"));
  EXPECT_EQ(log[1].number("CENAJAZMP"), Decimal(12));
  EXPECT_EQ(log[1].text("IDZDR"), "AB1234");
  EXPECT_EQ(std::string(log[1].text("SIFR")), "1234    ");
  EXPECT_EQ(log[1].number("SKUP"), Decimal(2));
  EXPECT_EQ(log[1].number("SKLOP"), Decimal(3));
  EXPECT_EQ(std::string(cp1250::trimRight(log[1].text("IMEZD"))), "Zdravilo AB");
  EXPECT_EQ(lines().back(), "Obvestilo: Dodanih:          1 zapisov!");  // no log copy opened
  EXPECT_TRUE(fs::exists(dir / "LOG.XLS"));
}

TEST_F(CsvImport, PricesReadWithACommaOrAFullStopAlike) {
  writeCsv("777;FREE00;1234,56;0;22\r\n777;FREE00;15.5;2,5;9.5\r\n777;FREE00;15,5;2.5;9,5\r\n");
  run("uvcsvparaladd");
  auto got = offers();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].ncena.get(), dec("1234.56"));
  EXPECT_EQ(got[0].ncena_az.get(), dec("1234.56"));  // registry price 0: no cap
  for (int i : {1, 2}) {
    EXPECT_EQ(got[i].ncena.get(), dec("15.5"));
    EXPECT_EQ(got[i].popust.get(), dec("2.5"));
    EXPECT_EQ(got[i].pddv.get(), dec("9.5"));
    EXPECT_EQ(got[i].skup.get(), 5);
  }
  EXPECT_EQ(std::memcmp(&got[1], &got[2], sizeof(Paralela)), 0);
}

TEST_F(CsvImport, AnUnknownItemCodeIsToldAndTheOfferGoesInWithoutItsItem) {
  writeCsv("999;AB1234;10;0;9,5\r\n\r\n");
  run("uvcsvparaladd");
  ASSERT_GE(ui.messages().size(), 3u);
  EXPECT_EQ(ui.messages()[1].caption, "Napaka");
  EXPECT_EQ(ui.messages()[1].text, "Ne najdem zdravila s šifro: 999 !");
  EXPECT_EQ(ui.messages()[1].icon, rt::Icon::Stop);
  // An empty line is a line of blank fields: item code 0, no medicine.
  EXPECT_EQ(ui.messages()[2].text, "Ne najdem zdravila s šifro: 0 !");
  auto got = offers();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].skup.get(), 0);
  EXPECT_EQ(got[0].posk.get(), 0);
  EXPECT_EQ(got[0].sklop.get(), 0);
  EXPECT_EQ(got[0].sifr.get(), 999);
  EXPECT_EQ(got[0].ncena.get(), Decimal(10));
  EXPECT_TRUE(got[1].idzdr.blank());
  EXPECT_TRUE(got[1].ncena.isZero());
  EXPECT_TRUE(got[1].ncena_az.isZero());
}

TEST_F(CsvImport, AMedicineTheRegistryDoesNotKnowKeepsOnlyItsOfferedPrice) {
  writeCsv("1234;XY0000;10;0;9,5\r\n");
  run("uvcsvparaladd");
  auto got = offers();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].ncena.get(), Decimal(10));
  EXPECT_TRUE(got[0].ncena_az.isZero());
  EXPECT_TRUE(got[0].ncena_kf.isZero());
  EXPECT_TRUE(got[0].bcena_az.isZero());
  EXPECT_TRUE(got[0].bcena.isZero());
  EXPECT_TRUE(got[0].imezd.blank());
  EXPECT_EQ(got[0].pakiranje.get(), 0);
}

TEST_F(CsvImport, OfItemsSharingACodeTheFirstPlacesTheOfferAndCodeZeroIsNoItem) {
  writeItems({{7, 7, 7, 555}, {8, 8, 8, 555}, {9, 9, 9, 0}});
  writeCsv("555;AB1234;1;0;9,5\r\n0;AB1234;1;0;9,5\r\n555;AB1234;2;0;9,5\r\n");
  run("uvcsvparaladd");
  auto got = offers();
  ASSERT_EQ(got.size(), 3u);
  for (std::size_t i : {0u, 2u}) {
    EXPECT_EQ(got[i].skup.get(), 7);
    EXPECT_EQ(got[i].posk.get(), 7);
    EXPECT_EQ(got[i].sklop.get(), 7);
  }
  EXPECT_EQ(got[1].skup.get(), 0);
  EXPECT_EQ(got[1].sklop.get(), 0);
  EXPECT_EQ(lines()[1], "Napaka: Ne najdem zdravila s šifro: 0 !");
}

TEST_F(CsvImport, TenLinesGiveElevenLogRows) {
  std::string lines10;
  for (int i = 0; i < 10; ++i) lines10 += "1234;AB1234;" + std::to_string(10 + i) + ";0;9,5\r\n";
  writeCsv(lines10);
  run("uvcsvparaladd");
  EXPECT_EQ(offers().size(), 10u);
  auto log = logRows();
  ASSERT_EQ(log.size(), 11u);
  // Lowered from 13 on: the registry price is 12.
  EXPECT_TRUE(log[3].number("NCENA").isZero());
  EXPECT_EQ(log[4].number("NCENA"), Decimal(13));
}

TEST_F(CsvImport, AMissingFileIsCreatedEmptyAndLeavesNoOffers) {
  writeOffers(std::vector<Paralela>(3, blankOffer()));
  run("uvcsvparaladd");
  EXPECT_TRUE(fs::exists(dir / "paralela.csv"));
  EXPECT_TRUE(offers().empty());
  EXPECT_EQ(offers("paralela.bak").size(), 3u);
  EXPECT_EQ(lines(), (std::vector<std::string>{
                         "Obvestilo: Datoteka paralela.dat bo izbrisana! Dodani bodo zapisi iz paralela.csv...",
                         "Obvestilo: Dodanih:          0 zapisov!"}));
}

TEST_F(CsvImport, APriceTooLargeForItsFieldIsToldAndTheLineLeftOut) {
  writeCsv("1234;AB1234;123456789012;0;9,5\r\n1234;AB1234;1;0;9,5\r\n");
  run("uvcsvparaladd");
  EXPECT_EQ(offers().size(), 1u);
  EXPECT_EQ(lines()[1], "Stop: Value Does Not Fit Field (CSV:NCENA: 123456789012 does not fit PAR:NCENA) 1234");
  EXPECT_EQ(logRows().size(), 3u);
}

}  // namespace
}  // namespace tdx::transfer::imports
