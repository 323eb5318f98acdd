#include "runtime/report_measure.h"

#include <gtest/gtest.h>

#include <QImage>

#include "runtime/report_fonts.h"

namespace tdx::report {
namespace {

// The layout adds up remembered character advances instead of shaping each
// text; that holds only while it gives what the font itself measures for
// the whole text, at the resolution the PDF is drawn at.
TEST(ReportMeasure, ATextIsAsWideAsTheFontMeasuresIt) {
  QImage device(1, 1, QImage::Format_Mono);
  device.setDotsPerMeterX(static_cast<int>(1200 / 0.0254 + 0.5));
  device.setDotsPerMeterY(static_cast<int>(1200 / 0.0254 + 0.5));
  TextMeasure measure;
  for (const Font& font : {Font{"Trebuchet MS", 8}, Font{"Trebuchet MS", 8, true}, Font{"Arial CE", 10},
                           Font{"Times New Roman CE", 12, true}}) {
    const QFontMetricsF metrics(qfont(font), &device);
    for (const char* text : {"Končna ponudbena vrednost (brez DDV/vrednost DDV/z DDV):", "   17.705,95 €",
                             "ŽIG IN PODPIS:", "Čaj iz šipka, ŠUMEČE tablete 0,5% ml", "AVAWAY Tj fi fl ffi",
                             "Ωμέγα – „citat“ … 2 °C", "e\u0301 combining", "\xF0\x9F\x98\x80 beyond the table"}) {
      const QString s = QString::fromUtf8(text);
      EXPECT_NEAR(measure.width(font, s), metrics.horizontalAdvance(s) * 25.4 / 1200, 1e-9)
          << text << " in " << font.family << " " << font.points;
    }
  }
}

}  // namespace
}  // namespace tdx::report
