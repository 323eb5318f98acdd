#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <map>

#include "exchange/dbf_table.h"
#include "export_fixture.h"

namespace tdx::transfer::test {
namespace {

const dbf::Layout& Z = dbf::kZdrndbf;

std::string padded(std::string_view text, std::size_t width) {
  std::string s(text);
  s.resize(width, ' ');
  return s;
}

using RegistryExportTest = ExportTest;

TEST_F(RegistryExportTest, AnEmptyRegistryGivesAnEmptyTableAndZeroRows) {
  store(FileId::Zdravnet, {});
  run("izzdrnetvdbf");
  EXPECT_TRUE(rows(Z).empty());
  EXPECT_EQ(transcript(), (std::vector<std::string>{": Dodanih: 0 zapisov!"}));
  EXPECT_EQ(ui.progressLog(),
            (std::vector<std::string>{"title: Processing Records", "percent: 0% Completed", "text: "}));
}

TEST_F(RegistryExportTest, MedicinesGoInIdentifierOrderWithTheirColumnsConverted) {
  store(FileId::Zdravnet,
        {medicine("B7"), medicine("a2"),
         medicine("A1", [](Zdravnet& z) {
           z.imeregistr = "Lekadol 500 mg tablete";
           z.crtnakoda = "3838989123456";
           z.faob = "filmsko oblo\x9E" "ene tablete";
           z.kolenote = 10;
           z.enota = "tableta";
           z.pakiranje = "\x9A" "katla, 10 tablet";  // "škatla"
           z.atc = "N02BE01";
           z.atcopis = "paracetamol";
           z.ncena = *Decimal::parse("12.3456");
           z.proizs = "KRKA";
           z.proizn = "Krka, d. d., Novo mesto";
         })});
  run("izzdrnetvdbf");
  EXPECT_EQ(transcript(), (std::vector<std::string>{": Dodanih: 3 zapisov!"}));
  auto out = rows(Z);
  ASSERT_EQ(out.size(), 3u);
  // Identifiers compare without case.
  EXPECT_EQ(out[0][col(Z, "IDZDR")], "A1    ");
  EXPECT_EQ(out[1][col(Z, "IDZDR")], "a2    ");
  EXPECT_EQ(out[2][col(Z, "IDZDR")], "B7    ");

  const std::map<std::string, std::string> expected = {
      {"STATUS", " "},
      {"SIFRA", std::string(8, ' ')},
      {"IDZDR", "A1    "},
      {"IMEREGISTR", padded("Lekadol 500 mg tablete", 200)},
      {"CRTNAKODA", "3838989123456"},
      {"FAOB", padded("filmsko oblo\x9E" "ene tablete", 80)},
      {"KOLENOTE", "    10.00"},
      {"KOLENPAK", "     0.00"},
      {"PAKIRANJE", padded("\x9A" "katla, 10 tablet", 200)},
      {"ENOTA", padded("tableta", 20)},
      {"ATC", padded("N02BE01", 10)},
      {"ATCOPIS", padded("paracetamol", 50)},
      {"NCENA", "        12.3456"},
      {"PROIZS", padded("KRKA", 10)},
      {"PROIZN", padded("Krka, d. d., Novo mesto", 50)},
      {"UCINKOVINA", std::string(100, ' ')},
  };
  ASSERT_EQ(expected.size(), Z.columns.size());
  for (const auto& [column, bytes] : expected) EXPECT_EQ(out[0][col(Z, column)], bytes) << column;
}

TEST_F(RegistryExportTest, AMissingRegistryEndsTheProgramAfterTheTableWasEmptied) {
  {
    dbf::Table old;
    ASSERT_TRUE(old.create(dir / "zdrndbf.dbf", Z));
    ASSERT_TRUE(old.open(dir / "zdrndbf.dbf", Z, OpenMode::exclusive()));
    ASSERT_TRUE(old.append(dbf::Record(Z)));
  }
  EXPECT_THROW(program.start("izzdrnetvdbf"), rt::ProgramEnd);
  EXPECT_EQ(transcript(), (std::vector<std::string>{"File Creation Error: Error: (File Not Found (2)) creating "
                                                    "zdravnet.tps.  Press OK to end this application.",
                                                    "Halt: File Creation Error!"}));
  EXPECT_FALSE(std::filesystem::exists(dir / "zdravnet.tps"));
  // Still held by the run the halt cut short: the header's record count.
  const std::string table = tdx::test::readFile(dir / "zdrndbf.dbf");
  ASSERT_GE(table.size(), 8u);
  EXPECT_EQ(table.substr(4, 4), std::string(4, '\0'));
}

// Writes to files beyond `bytes` fail (EFBIG) while it lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

TEST_F(RegistryExportTest, RowsLostToAFailedWriteAreToldAndNotCounted) {
  std::vector<RecordBuffer> registry;
  for (int i = 1; i <= 400; ++i) {
    char id[8];
    std::snprintf(id, sizeof id, "%06d", i);
    registry.push_back(medicine(id));
  }
  store(FileId::Zdravnet, registry);
  {
    // Room for the header and less than the first batch of rows: that
    // batch is lost, and the rows after it fit.
    FileSizeLimit limit(100000);
    run("izzdrnetvdbf");
  }
  auto out = rows(Z);
  ASSERT_EQ(transcript().size(), 2u);
  EXPECT_EQ(transcript()[0].rfind("Stop: File System Error (zdrndbf.dbf: File too large (", 0), 0u) << transcript()[0];
  EXPECT_EQ(transcript()[1], ": Dodanih: " + std::to_string(out.size()) + " zapisov!");
  ASSERT_FALSE(out.empty());
  EXPECT_LT(out.size(), 400u);
  EXPECT_EQ(out.back()[col(Z, "IDZDR")], "000400");
}

}  // namespace
}  // namespace tdx::transfer::test
