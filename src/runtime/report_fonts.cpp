#include "runtime/report_fonts.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QSet>
#include <map>
#include <string>

namespace tdx::report {

namespace {

// Installed families by lower-case name: exact membership, so that a
// fontconfig alias ("Arial" answering for Liberation Sans) does not pass
// for the real family.
const QSet<QString>& installed() {
  static const QSet<QString> families = [] {
    QSet<QString> s;
    for (const QString& f : QFontDatabase::families()) s.insert(f.toLower());
    return s;
  }();
  return families;
}

QString firstInstalled() {
  const QStringList all = QFontDatabase::families();
  return all.isEmpty() ? QString() : all.front();
}

QStringList candidates(const QString& requested) {
  QStringList out{requested};
  QString base = requested;
  if (base.endsWith(" CE", Qt::CaseInsensitive)) {
    base.chop(3);
    out << base;
  }
  const QString lower = base.toLower();
  // Trebuchet MS is about as wide as Arial; DejaVu Sans is wider by a tenth
  // and would push the offer report's codes and rates out of their columns.
  if (lower == "arial" || lower == "helvetica" || lower.startsWith("arial ") || lower.startsWith("trebuchet"))
    out << "Liberation Sans";
  else if (lower.startsWith("times"))
    out << "Liberation Serif";
  else if (lower.startsWith("courier"))
    out << "Liberation Mono";
  out << "DejaVu Sans" << "Liberation Sans";
  return out;
}

}  // namespace

void requireFonts() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    throw NoFonts("reports need a QGuiApplication for their fonts");
  if (installed().isEmpty())
    throw NoFonts("no fonts are installed (fonts-dejavu-core, fonts-liberation2): the report would lose its texts");
}

QString installedFamily(std::string_view family) {
  static std::map<std::string, QString, std::less<>> cache;
  if (auto it = cache.find(family); it != cache.end()) return it->second;
  requireFonts();
  QString chosen;
  for (const QString& c : candidates(QString::fromUtf8(family.data(), static_cast<qsizetype>(family.size())).trimmed())) {
    if (installed().contains(c.toLower())) {
      chosen = c;
      break;
    }
  }
  if (chosen.isEmpty()) chosen = firstInstalled();
  cache.emplace(std::string(family), chosen);
  return chosen;
}

QFont qfont(const Font& font) {
  QFont f(installedFamily(font.family));
  f.setPointSizeF(font.points);
  f.setBold(font.bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  // Plain glyph advances, as the system's printed forms have them: no
  // kerning and no ligatures. It also spares the shaping of every text,
  // which would otherwise be most of the time a report takes.
  f.setKerning(false);
  f.setStyleStrategy(QFont::PreferNoShaping);
  return f;
}

}  // namespace tdx::report
