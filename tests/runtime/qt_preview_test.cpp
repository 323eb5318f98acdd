#include "runtime/qt_preview_window.h"
#include "runtime/qt_preview_page.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>
#include <cstdio>
#include <cstdlib>
#include <regex>

#include "runtime/report_engine.h"
#include "support/temp_folder.h"

namespace tdx::rt {
namespace {

// Three pages: a grey heading box behind the headings on each, numbered.
report::Document threePages() {
  report::Report r("Specifikacija ponudbe s cenami");
  report::Band header("HEADER", 40, report::BandKind::PageHeader);
  header.box({0, 31, 275, 9}, report::Colour{192, 192, 192});
  header.font(report::Font{"Trebuchet MS", 8}).text({2, 32, 0, 0}, "Naziv");
  header.pageNumber({231, 4, 0, 0}, "@pStran:          <<<#p");
  r.setPageHeader(header);
  report::Band line("DETAIL2");
  line.font(report::Font{"Trebuchet MS", 8}).field({2, 0.5, 50, 0}, "", report::Align::Left, report::Flow::Wrap);
  for (int i = 0; i < 110; ++i) r.print(line, {std::string("Šumeče tablete ") + std::to_string(i)});
  return r.take();
}

std::string pdfText(const std::filesystem::path& pdf) {
  std::string out;
  if (FILE* f = popen(("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null").c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    pclose(f);
  }
  return out;
}

bool havePdfToText() { return std::system("command -v pdftotext >/dev/null 2>&1") == 0; }

TEST(PrintPreview, NavigatesThePagesAndZooms) {
  const report::Document doc = threePages();
  ASSERT_EQ(doc.pages.size(), 3u);
  PrintPreview preview(doc, "OBR-8_28_1.pdf");
  EXPECT_EQ(preview.pageCount(), 3);
  EXPECT_EQ(preview.page(), 0);
  EXPECT_EQ(preview.pageText(), " od 3 ");
  preview.setPage(1);
  EXPECT_EQ(preview.page(), 1);
  preview.setPage(7);
  EXPECT_EQ(preview.page(), 2);
  preview.setPage(-1);
  EXPECT_EQ(preview.page(), 0);

  preview.setZoom(1.0);
  preview.zoomIn();
  EXPECT_DOUBLE_EQ(preview.zoom(), 1.25);
  preview.zoomOut();
  preview.zoomOut();
  EXPECT_DOUBLE_EQ(preview.zoom(), 0.8);
  preview.setZoom(100);
  EXPECT_DOUBLE_EQ(preview.zoom(), 4.0);
  preview.resize(1000, 700);
  preview.fitPage();
  EXPECT_LT(preview.zoom(), 1.0);
}

// What the preview shows is the page drawn: the grey box where the page
// model puts it, black text, white paper.
TEST(PrintPreview, ShowsThePageItDrawsOnPaper) {
  const report::Document doc = threePages();
  PrintPreview preview(doc, "p.pdf");
  preview.resize(1200, 900);
  preview.show();
  preview.setZoom(1.0);
  const QImage shot = preview.grab().toImage();
  if (const char* dir = std::getenv("TENDRIX_SCREENSHOTS")) shot.save(QString(dir) + "/print-preview.png");
  auto* page = preview.findChild<PreviewPage*>();
  ASSERT_NE(page, nullptr);
  const QImage paper = page->grab().toImage();
  ASSERT_EQ(paper.size(), page->size());
  ASSERT_EQ(page->size(), page->paperSize(1.0) + QSize(2 * PreviewPage::kMargin, 2 * PreviewPage::kMargin));
  const double dots = page->logicalDpiX() / 25.4;
  const int m = PreviewPage::kMargin;
  // Inside the heading box (5 + 200 mm, 37 + 8 mm on the page) and on the
  // paper above it.
  EXPECT_EQ(paper.pixelColor(m + int(205 * dots), m + int(45 * dots)), QColor(192, 192, 192));
  EXPECT_EQ(paper.pixelColor(m + int(205 * dots), m + int(30 * dots)), QColor(Qt::white));
  int dark = 0;
  for (int x = m + int(6 * dots); x < m + int(30 * dots); ++x)
    for (int y = m + int(47 * dots); y < m + int(50 * dots); ++y) dark += paper.pixelColor(x, y).lightness() < 100;
  EXPECT_GT(dark, 10) << "no text drawn where the first line stands";
}

TEST(PrintPreview, SavesAndPrintsTheSamePages) {
  tdx::test::TempFolder dir;
  const report::Document doc = threePages();
  PrintPreview preview(doc, "p.pdf");
  std::string error;
  ASSERT_TRUE(preview.saveTo(dir / "saved.pdf", &error)) << error;

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((dir / "printed.pdf").string()));
  preview.setPage(1);
  printer.setPrintRange(QPrinter::CurrentPage);
  ASSERT_TRUE(preview.printTo(printer, &error)) << error;

  EXPECT_FALSE(preview.saveTo(dir / "no-such-folder" / "x.pdf", &error));
  EXPECT_FALSE(error.empty());

  if (!havePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  const std::string saved = pdfText(dir / "saved.pdf");
  EXPECT_NE(saved.find("Šumeče tablete 0"), std::string::npos) << saved;
  EXPECT_TRUE(std::regex_search(saved, std::regex("Stran: +3\\b"))) << saved;
  const std::string printed = pdfText(dir / "printed.pdf");
  EXPECT_TRUE(std::regex_search(printed, std::regex("Stran: +2\\b"))) << printed;
  EXPECT_FALSE(std::regex_search(printed, std::regex("Stran: +[13]\\b"))) << printed;
}

}  // namespace
}  // namespace tdx::rt
