#include "runtime/report_render.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <regex>
#include <string>

#include "runtime/report_engine.h"
#include "support/temp_folder.h"

namespace tdx::report {
namespace {

bool haveTool(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string run(const std::string& command) {
  std::string out;
  if (FILE* f = popen(command.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    pclose(f);
  }
  return out;
}

std::string pdfText(const std::filesystem::path& pdf, int page) {
  const std::string p = std::to_string(page);
  return run("pdftotext -layout -f " + p + " -l " + p + " '" + pdf.string() + "' - 2>/dev/null");
}

// Two pages of an offer-like report: header with the bidder and page
// number, a grey heading box, wrapped names, Slovenian letters.
Document sample() {
  Report r("Specifikacija ponudbe", PageLayout{});
  Band header("HEADER", 40, BandKind::PageHeader);
  header.font(Font{"Trebuchet MS", 10}).text({1, 0, 0, 0}, "Ponudnik:");
  header.font(Font{"Trebuchet MS", 10, true}).field({19, 0, 80, 5}, "@s50");
  header.font(Font{"Trebuchet MS", 10}).pageNumber({231, 4, 0, 0}, "@pStran:          <<<#p");
  header.box({0, 31, 275, 9}, Colour{192, 192, 192});
  header.font(Font{"Trebuchet MS", 8}).text({105, 32, 0, 0}, "Šifra");
  r.setPageHeader(header, {std::string("Lekarna Žalec d.o.o.")});
  Band line("DETAIL2");
  line.font(Font{"Trebuchet MS", 8}).line(0, 0, 275, 0);
  line.field({2, 0.5, 50, 0}, "", Align::Left, Flow::Wrap);
  line.field({176, 0.5, 22, 0}, "@n13`4~ €~B", Align::Right);
  for (int i = 0; i < 60; ++i)
    r.print(line, {std::string("Čaj iz šipka in žajblja, ŠUMEČE tablete, ovojnina ŽIG ") + std::to_string(i + 1),
                   Decimal::parse("1234.5").value()});
  return r.take();
}

TEST(ReportRender, APdfWhoseTextReadsBack) {
  test::TempFolder dir;
  const Document doc = sample();
  ASSERT_GE(doc.pages.size(), 2u);
  std::string error;
  ASSERT_TRUE(writePdf(doc, dir / "ponudba.pdf", &error)) << error;
  EXPECT_EQ(test::readFile(dir / "ponudba.pdf").substr(0, 5), "%PDF-");
  if (!haveTool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";

  const std::string first = pdfText(dir / "ponudba.pdf", 1);
  EXPECT_NE(first.find("Ponudnik:"), std::string::npos) << first;
  EXPECT_NE(first.find("Lekarna Žalec d.o.o."), std::string::npos);
  EXPECT_NE(first.find("Šifra"), std::string::npos);
  EXPECT_NE(first.find("Čaj iz šipka in"), std::string::npos);
  EXPECT_NE(first.find("1.234,5000 €"), std::string::npos);
  EXPECT_TRUE(std::regex_search(first, std::regex("Stran: +1\\b")));
  const std::string last = pdfText(dir / "ponudba.pdf", static_cast<int>(doc.pages.size()));
  EXPECT_TRUE(std::regex_search(last, std::regex("Stran: +" + std::to_string(doc.pages.size()) + "\\b")));
  EXPECT_NE(last.find("ŽIG 60"), std::string::npos) << last;
  if (haveTool("pdfinfo")) {
    const std::string info = run("pdfinfo '" + (dir / "ponudba.pdf").string() + "'");
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +" + std::to_string(doc.pages.size()) + "\n"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +842 x 595 pts \\(A4\\)"))) << info;  // landscape
  }
}

TEST(ReportRender, APrinterGetsTheSamePagesInItsChosenRange) {
  if (!haveTool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  test::TempFolder dir;
  const Document doc = sample();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((dir / "tiskalnik.pdf").string()));
  printer.setPrintRange(QPrinter::PageRange);
  printer.setFromTo(2, 2);
  std::string error;
  ASSERT_TRUE(draw(doc, printer, &error)) << error;
  const std::string text = pdfText(dir / "tiskalnik.pdf", 1);
  EXPECT_TRUE(std::regex_search(text, std::regex("Stran: +2\\b"))) << text;
  EXPECT_TRUE(pdfText(dir / "tiskalnik.pdf", 2).empty());
}

TEST(ReportRender, NothingToWriteOrNowhereToWriteIsAnError) {
  test::TempFolder dir;
  std::string error;
  EXPECT_FALSE(writePdf(Document{}, dir / "prazno.pdf", &error));
  EXPECT_NE(error.find("no pages"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(dir / "prazno.pdf"));
  error.clear();
  EXPECT_FALSE(writePdf(sample(), dir / "ni" / "mape.pdf", &error));
  EXPECT_NE(error.find("mape.pdf"), std::string::npos) << error;
}

// Any paint device draws the same model: here an image at 2 dots per mm.
TEST(ReportRender, APageOnAnImageHasItsBoxLineAndText) {
  const Document doc = sample();
  QImage image(594, 420, QImage::Format_RGB32);
  image.setDotsPerMeterX(2000);
  image.setDotsPerMeterY(2000);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    drawPage(p, doc, 0);
  }
  EXPECT_EQ(image.pixelColor(2 * 250, 2 * 45).rgb(), QColor(192, 192, 192).rgb());  // heading box
  EXPECT_LT(qGray(image.pixel(2 * 150, 2 * 46)), 200);  // first line's rule, thinner than a dot
  int dark = 0;  // the bidder's name, bold, from x 24 mm at y 6 mm
  for (int x = 2 * 24; x < 2 * 60; ++x)
    for (int y = 2 * 6; y < 2 * 10; ++y) dark += qGray(image.pixel(x, y)) < 128;
  EXPECT_GT(dark, 20);
}

}  // namespace
}  // namespace tdx::report
