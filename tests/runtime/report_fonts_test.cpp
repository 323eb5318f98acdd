#include "runtime/report_fonts.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

namespace tdx::report {
namespace {

// Without fonts every report and PDF silently loses its texts: this must
// fail, never skip.
TEST(ReportFonts, FontsAreInstalled) {
  ASSERT_FALSE(QFontDatabase::families().isEmpty()) << "install fonts-dejavu-core and fonts-liberation2";
  EXPECT_NO_THROW(requireFonts());
}

TEST(ReportFonts, EveryReportFamilyIsDrawnByAnInstalledFontWithSlovenianLetters) {
  const QStringList families = QFontDatabase::families();
  struct Case {
    const char* named;
    QStringList acceptable;  // the family itself where installed, else its stand-in
  };
  const Case cases[] = {
      {"Arial CE", {"Arial", "Liberation Sans"}},
      {"Times New Roman CE", {"Times New Roman", "Liberation Serif"}},
      {"Trebuchet MS", {"Trebuchet MS", "Liberation Sans"}},
      {"MS Sans Serif", {"MS Sans Serif", "DejaVu Sans"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.named);
    const QString family = installedFamily(c.named);
    EXPECT_TRUE(c.acceptable.contains(family, Qt::CaseInsensitive)) << family.toStdString();
    EXPECT_TRUE(families.contains(family, Qt::CaseInsensitive)) << family.toStdString();
    for (bool bold : {false, true}) {
      const QFont f = qfont(Font{c.named, 8, bold});
      EXPECT_EQ(QFontInfo(f).family().toLower(), family.toLower());
      EXPECT_EQ(QFontInfo(f).bold(), bold);
      const QFontMetricsF m(f);
      for (QChar ch : QStringLiteral("čšžČŠŽćđ€")) EXPECT_TRUE(m.inFont(ch)) << QString(ch).toStdString();
    }
  }
}

}  // namespace
}  // namespace tdx::report
