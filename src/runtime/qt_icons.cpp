#include "runtime/qt_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <system_error>

namespace tdx::rt {

namespace fs = std::filesystem;

namespace {

fs::path findFile(std::string_view name, const fs::path& folder) {
  if (name.empty() || folder.empty()) return {};
  QString wanted = QString::fromUtf8(name.data(), qsizetype(name.size()));
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    QString have = QString::fromStdString(it->path().filename().string());
    if (have.compare(wanted, Qt::CaseInsensitive) == 0 && it->is_regular_file(ec)) return it->path();
  }
  return {};
}

// The name without folder and extension, in lower case: "money bag".
QString stem(std::string_view name) {
  QString s = QString::fromUtf8(name.data(), qsizetype(name.size())).toLower();
  int dot = int(s.lastIndexOf('.'));
  if (dot > 0) s.truncate(dot);
  return s.trimmed();
}

void cross(QPainter& p, double s, QColor c) {
  p.setBrush(c);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
  p.setPen(QPen(Qt::white, s * 0.12, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(s * 0.32, s * 0.32), QPointF(s * 0.68, s * 0.68));
  p.drawLine(QPointF(s * 0.68, s * 0.32), QPointF(s * 0.32, s * 0.68));
}

void tick(QPainter& p, double s) {
  p.setPen(QPen(QColor(30, 140, 50), s * 0.16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPainterPath path;
  path.moveTo(s * 0.15, s * 0.55);
  path.lineTo(s * 0.40, s * 0.80);
  path.lineTo(s * 0.85, s * 0.22);
  p.drawPath(path);
}

void door(QPainter& p, double s) {
  p.setPen(QPen(QColor(90, 60, 30), s * 0.05));
  p.setBrush(QColor(190, 140, 80));
  p.drawRect(QRectF(s * 0.15, s * 0.1, s * 0.45, s * 0.8));
  p.setBrush(QColor(200, 30, 30));
  p.setPen(Qt::NoPen);
  QPainterPath arrow;
  arrow.moveTo(s * 0.55, s * 0.42);
  arrow.lineTo(s * 0.72, s * 0.42);
  arrow.lineTo(s * 0.72, s * 0.30);
  arrow.lineTo(s * 0.95, s * 0.50);
  arrow.lineTo(s * 0.72, s * 0.70);
  arrow.lineTo(s * 0.72, s * 0.58);
  arrow.lineTo(s * 0.55, s * 0.58);
  arrow.closeSubpath();
  p.drawPath(arrow);
}

void bag(QPainter& p, double s) {
  p.setPen(QPen(QColor(110, 80, 20), s * 0.04));
  p.setBrush(QColor(215, 170, 60));
  QPainterPath path;
  path.moveTo(s * 0.38, s * 0.28);
  path.cubicTo(s * 0.05, s * 0.45, s * 0.05, s * 0.92, s * 0.5, s * 0.92);
  path.cubicTo(s * 0.95, s * 0.92, s * 0.95, s * 0.45, s * 0.62, s * 0.28);
  path.closeSubpath();
  p.drawPath(path);
  p.drawRect(QRectF(s * 0.36, s * 0.12, s * 0.28, s * 0.14));
  QFont f;
  f.setPixelSize(int(s * 0.42));
  f.setBold(true);
  p.setFont(f);
  p.setPen(QColor(110, 80, 20));
  p.drawText(QRectF(0, s * 0.38, s, s * 0.5), Qt::AlignCenter, QStringLiteral("€"));
}

void floppy(QPainter& p, double s) {
  p.setPen(QPen(QColor(20, 40, 90), s * 0.04));
  p.setBrush(QColor(40, 80, 160));
  p.drawRect(QRectF(s * 0.1, s * 0.1, s * 0.8, s * 0.8));
  p.setBrush(QColor(220, 220, 220));
  p.drawRect(QRectF(s * 0.28, s * 0.1, s * 0.44, s * 0.28));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(s * 0.22, s * 0.52, s * 0.56, s * 0.34));
}

void question(QPainter& p, double s) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 100, 200));
  p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
  QFont f;
  f.setPixelSize(int(s * 0.62));
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, QStringLiteral("?"));
}

void key(QPainter& p, double s) {
  p.setPen(QPen(QColor(150, 110, 20), s * 0.1, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(s * 0.1, s * 0.3, s * 0.36, s * 0.36));
  p.drawLine(QPointF(s * 0.46, s * 0.48), QPointF(s * 0.9, s * 0.48));
  p.drawLine(QPointF(s * 0.78, s * 0.48), QPointF(s * 0.78, s * 0.66));
  p.drawLine(QPointF(s * 0.9, s * 0.48), QPointF(s * 0.9, s * 0.62));
}

void scroll(QPainter& p, double s) {
  p.setPen(QPen(QColor(120, 100, 60), s * 0.04));
  p.setBrush(QColor(245, 230, 190));
  p.drawRect(QRectF(s * 0.22, s * 0.12, s * 0.56, s * 0.76));
  p.setPen(QPen(QColor(120, 100, 60), s * 0.03));
  for (int i = 0; i < 4; ++i) p.drawLine(QPointF(s * 0.3, s * (0.3 + i * 0.13)), QPointF(s * 0.7, s * (0.3 + i * 0.13)));
}

void usb(QPainter& p, double s) {
  p.setPen(QPen(QColor(40, 40, 40), s * 0.03));
  p.setBrush(QColor(60, 90, 150));
  p.drawRoundedRect(QRectF(s * 0.3, s * 0.3, s * 0.4, s * 0.6), s * 0.06, s * 0.06);
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRectF(s * 0.36, s * 0.08, s * 0.28, s * 0.22));
  p.setBrush(QColor(40, 40, 40));
  p.drawRect(QRectF(s * 0.41, s * 0.14, s * 0.06, s * 0.06));
  p.drawRect(QRectF(s * 0.53, s * 0.14, s * 0.06, s * 0.06));
}

void sheet(QPainter& p, double s) {
  p.setPen(QPen(QColor(80, 80, 80), s * 0.04));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(s * 0.2, s * 0.1, s * 0.6, s * 0.8));
}

}  // namespace

QPixmap builtInPicture(std::string_view name, int side) {
  QPixmap pm(side, side);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = side;
  const QString n = stem(name);
  if (n == "preklicc") cross(p, s, QColor(200, 30, 30));
  else if (n == "izhod") door(p, s);
  else if (n == "potrdi" || n == "okcc") tick(p, s);
  else if (n == "money bag") bag(p, s);
  else if (n == "diskete") floppy(p, s);
  else if (n == "help") question(p, s);
  else if (n == "kljuc") key(p, s);
  else if (n == "script") scroll(p, s);
  else if (n == "usb") usb(p, s);
  else sheet(p, s);
  return pm;
}

QIcon iconFor(std::string_view name, const fs::path& folder) {
  if (name.empty()) return {};
  fs::path file = findFile(name, folder);
  if (!file.empty()) {
    QIcon icon(QString::fromStdString(file.string()));
    if (!icon.availableSizes().isEmpty() || !icon.pixmap(16, 16).isNull()) return icon;
  }
  QIcon icon;
  for (int side : {16, 24, 32, 48}) icon.addPixmap(builtInPicture(name, side));
  return icon;
}

QPixmap pictureFor(std::string_view name, const fs::path& folder, QSize size) {
  fs::path file = findFile(name, folder);
  QPixmap pm;
  if (!file.empty()) pm.load(QString::fromStdString(file.string()));
  if (pm.isNull()) pm = builtInPicture(name, std::max(16, std::min(size.width(), size.height())));
  return pm.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace tdx::rt
