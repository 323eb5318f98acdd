// `tendrix run rescenami|reparalela --group G --subgroup S [--pdf FILE]
// [--text]`: the pages as a PDF whose text reads back as formatted, or as
// the page model's text.

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "app/commands.h"
#include "report_fixture.h"

namespace tdx::reports::test {
namespace {

struct RunResult {
  int status = -1;
  std::string out;
};

std::string quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string capture(const std::string& command) {
  std::string out;
  if (FILE* f = popen(command.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    pclose(f);
  }
  return out;
}

// The real program when the environment names it, else the command in-process.
RunResult tendrixRun(const std::vector<std::string>& args) {
  RunResult r;
  if (const char* binary = std::getenv("TENDRIX_BINARY"); binary && *binary) {
    std::string cmd = quoted(binary) + " run";
    for (const auto& a : args) cmd += " " + quoted(a);
    FILE* f = popen((cmd + " 2>/dev/null").c_str(), "r");
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) r.out.append(buf, n);
    const int raw = pclose(f);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
  }
  std::ostringstream out;
  auto* old = std::cout.rdbuf(out.rdbuf());
  r.status = app::runCommand(args);
  std::cout.rdbuf(old);
  r.out = out.str();
  return r;
}

bool haveTool(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

class ReportCommandTest : public ReportTest {
 protected:
  void SetUp() override {
    parties();
    groups();
    store(FileId::Podatki, {item(28, 1, 1, 1004, "Deksametazon 4 mg/ml raztopina za injiciranje",
                                 [](Podatki& p) { p.koli = Decimal(3000); })});
    store(FileId::Paralela, {offer(28, 1, 1, 1004, "D1", "4.9275", [](Paralela& p) { p.ncena = D("4.5"); }),
                             offer(28, 1, 1, 1004, "D2", "5.1", [](Paralela& p) {
                               p.ncena = D("4.6575");
                               p.sort = kWithdrawnSort;
                             })});
  }
};

TEST_F(ReportCommandTest, ThePdfHoldsTheHeadingLinesAndTotalsAsFormatted) {
  const auto pdf = dir / "obr8.pdf";
  RunResult r = tendrixRun({"rescenami", "--dir", dir.path().string(), "--group", "28", "--subgroup", "1", "--pdf", pdf.string()});
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "PDF: " + pdf.string() + "\n");
  if (!haveTool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  const std::string text = capture("pdftotext -layout " + quoted(pdf.string()) + " - 2>/dev/null");
  for (const char* expected : {"SPECIFIKACIJA PONUDBE S CENAMI - priloga Predračuna (OBR-8)", "Lekarna Žalec d.o.o.",
                               "Splošna bolnišnica Celje", "Splošni sklop", "Deksametazon 4 mg/ml raztopina za",
                               "00001004", "Zdravilo D1", "4,5000 €", "4,9275 €", "14.782,50 €", "Odstop od ponudbe!",
                               "13.500,00 €", "1.282,50 €", "ŽIG IN PODPIS:"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in\n" << text;
  // The withdrawn offer's value is not printed anywhere.
  EXPECT_EQ(text.find("15.300,00"), std::string::npos) << text;
}

TEST_F(ReportCommandTest, TextPrintsThePageModelAndWithoutPdfNothingIsWritten) {
  RunResult r = tendrixRun({"reparalela", "--dir", dir.path().string(), "--group", "28", "--subgroup", "1", "--text"});
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out.rfind("document SPECIFIKACIJA PONUDBE - PARALELE\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find(" R9 L D1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" B9 L 00001004\n"), std::string::npos) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir / "Paralele_28_1.pdf"));
}

TEST_F(ReportCommandTest, AGroupThatIsNoNumberIsRefused) {
  RunResult r = tendrixRun({"rescenami", "--dir", dir.path().string(), "--group", "28a", "--subgroup", "1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("Opozorilo: Skupina (--group) mora biti celo število"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tdx::reports::test
