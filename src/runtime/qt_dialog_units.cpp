#include "runtime/qt_dialog_units.h"

#include <QFontMetricsF>
#include <cmath>

#include "runtime/report_fonts.h"

namespace tdx::rt {

QFont standInFont(std::string_view family, int points, bool bold) {
  QFont f(report::installedFamily(family.empty() ? std::string_view("MS Sans Serif") : family));
  f.setPointSize(points > 0 ? points : 8);
  f.setBold(bold);
  return f;
}

DialogUnits::DialogUnits(const QFont& font) {
  QFontMetricsF m(font);
  // The average width as the dialogue base units take it: the alphabet in
  // both cases over 52.
  static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  charWidth_ = std::max(1.0, std::round(m.horizontalAdvance(alphabet) / 52.0));
  charHeight_ = std::max(1.0, std::ceil(m.height()));
}

int DialogUnits::x(int dlu) const { return int(std::lround(dlu * charWidth_ / 4.0)); }
int DialogUnits::y(int dlu) const { return int(std::lround(dlu * charHeight_ / 8.0)); }
int DialogUnits::toX(int px) const { return int(std::lround(px * 4.0 / charWidth_)); }
int DialogUnits::toY(int py) const { return int(std::lround(py * 8.0 / charHeight_)); }

QRect DialogUnits::rect(const Rect& r) const { return QRect(x(r.x), y(r.y), x(r.w), y(r.h)); }

}  // namespace tdx::rt
