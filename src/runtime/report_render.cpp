#include "runtime/report_render.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <memory>
#include <vector>

#include "runtime/report_fonts.h"

namespace tdx::report {

namespace {

constexpr double kMmPerInch = 25.4;

// Fonts and metrics of one document on one device, made once for all pages.
class PagePainter {
 public:
  PagePainter(QPainter& painter, const Document& doc)
      : p_(painter),
        dotsX_(painter.device()->logicalDpiX() / kMmPerInch),
        dotsY_(painter.device()->logicalDpiY() / kMmPerInch) {
    for (const Font& f : doc.fonts) {
      fonts_.push_back(qfont(f));
      metrics_.emplace_back(fonts_.back(), painter.device());
    }
  }

  void draw(const Page& page) {
    current_ = -1;
    for (const Item& item : page.items) {
      if (auto* t = std::get_if<TextItem>(&item))
        text(*t);
      else if (auto* l = std::get_if<LineItem>(&item))
        line(*l);
      else
        box(std::get<BoxItem>(item));
    }
  }

 private:
  QRectF rect(const Rect& r) const { return QRectF(r.x * dotsX_, r.y * dotsY_, r.w * dotsX_, r.h * dotsY_); }

  void text(const TextItem& t) {
    if (t.font >= fonts_.size()) return;  // a damaged model draws what it can
    if (current_ != t.font) {
      p_.setFont(fonts_[t.font]);
      current_ = t.font;
    }
    p_.setPen(Qt::black);
    const QString s = QString::fromUtf8(t.text.data(), static_cast<qsizetype>(t.text.size()));
    const QFontMetricsF& fm = metrics_[t.font];
    const QRectF r = rect(t.box);
    // The layout's measurement, on unhinted fonts, holds at any resolution;
    // measuring again would shape every text twice.
    const double w = t.advance >= 0 ? t.advance * dotsX_ : fm.horizontalAdvance(s);
    double x = r.left();
    if (t.align == Align::Right) x = r.right() - w;
    if (t.align == Align::Centre) x = r.left() + (r.width() - w) / 2;
    const QPointF baseline(x, r.top() + fm.ascent());
    if (w <= r.width() + 0.5) {
      p_.drawText(baseline, s);
      return;
    }
    // Wider than its column: cut at the column's edges, as a control is.
    p_.save();
    p_.setClipRect(QRectF(r.left(), r.top() - fm.height(), r.width(), r.height() + 2 * fm.height()));
    p_.drawText(QPointF(t.align == Align::Left ? r.left() : x, baseline.y()), s);
    p_.restore();
  }

  QPen pen(double widthMm) const {
    QPen pen(Qt::black);
    pen.setWidthF(widthMm * dotsX_);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
  }

  void line(const LineItem& l) {
    p_.setPen(pen(l.width));
    p_.drawLine(QPointF(l.x1 * dotsX_, l.y1 * dotsY_), QPointF(l.x2 * dotsX_, l.y2 * dotsY_));
  }

  void box(const BoxItem& b) {
    const QRectF r = rect(b.rect);
    if (b.fill) p_.fillRect(r, QColor(b.fill->r, b.fill->g, b.fill->b));
    if (b.frame > 0) {
      p_.setPen(pen(b.frame));
      p_.setBrush(Qt::NoBrush);
      p_.drawRect(r);
    }
  }

  QPainter& p_;
  double dotsX_, dotsY_;
  std::vector<QFont> fonts_;
  std::vector<QFontMetricsF> metrics_;
  std::size_t current_ = static_cast<std::size_t>(-1);
};

QPageLayout pageLayout(const Document& doc) {
  const bool landscape = doc.pageWidth > doc.pageHeight;
  QPageSize size(QSizeF(std::min(doc.pageWidth, doc.pageHeight), std::max(doc.pageWidth, doc.pageHeight)),
                 QPageSize::Millimeter);
  return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                     QPageLayout::Millimeter);
}

bool failed(std::string* error, std::string why) {
  if (error) *error = std::move(why);
  return false;
}

}  // namespace

void drawPage(QPainter& painter, const Document& doc, std::size_t index) {
  if (index >= doc.pages.size()) return;
  PagePainter(painter, doc).draw(doc.pages[index]);
}

bool draw(const Document& doc, QPagedPaintDevice& device, std::string* error) {
  if (doc.pages.empty()) return failed(error, "the report has no pages");
  try {
    requireFonts();
  } catch (const NoFonts& e) {
    return failed(error, e.what());
  }
  std::size_t first = 0, last = doc.pages.size() - 1;
  if (auto* printer = dynamic_cast<QPrinter*>(&device)) {
    // Coordinates are from the paper's corner, not the printable area's.
    printer->setFullPage(true);
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
      first = static_cast<std::size_t>(printer->fromPage() - 1);
      last = std::min(last, static_cast<std::size_t>(std::max(printer->toPage(), printer->fromPage()) - 1));
      if (first > last) return failed(error, "the chosen pages are not in the report");
    }
  }
  if (!device.setPageLayout(pageLayout(doc))) return failed(error, "the device does not take the report's page size");
  QPainter painter;
  if (!painter.begin(&device)) return failed(error, "the output cannot be opened for drawing");
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  PagePainter pages(painter, doc);
  for (std::size_t i = first; i <= last; ++i) {
    if (i > first) device.newPage();
    pages.draw(doc.pages[i]);
  }
  return painter.end() || failed(error, "the output could not be completed");
}

bool writePdf(const Document& doc, const std::filesystem::path& file, std::string* error) {
  const QString path = QString::fromStdString(file.string());
  {
    QPdfWriter writer(path);
    writer.setTitle(QString::fromUtf8(doc.name.data(), static_cast<qsizetype>(doc.name.size())));
    writer.setCreator(QStringLiteral("tendrix"));
    writer.setResolution(1200);
    std::string why;
    if (!draw(doc, writer, &why)) return failed(error, "cannot write " + file.string() + ": " + why);
  }
  if (QFileInfo(path).size() <= 0) return failed(error, "cannot write " + file.string());
  return true;
}

}  // namespace tdx::report
