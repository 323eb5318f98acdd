#include "runtime/qt_preview_page.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "runtime/report_render.h"

namespace tdx::rt {

namespace {

constexpr double kMmPerInch = 25.4;

}  // namespace

PreviewPage::PreviewPage(const report::Document& doc, QWidget* parent) : QWidget(parent), doc_(&doc) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize PreviewPage::paperSize(double zoom) const {
  const double dotsX = logicalDpiX() / kMmPerInch * zoom, dotsY = logicalDpiY() / kMmPerInch * zoom;
  return QSize(static_cast<int>(std::ceil(doc_->pageWidth * dotsX)), static_cast<int>(std::ceil(doc_->pageHeight * dotsY)));
}

void PreviewPage::showPage(int page, double zoom) {
  page_ = page;
  zoom_ = zoom;
  const QSize paper = paperSize(zoom);
  setFixedSize(paper.width() + 2 * kMargin, paper.height() + 2 * kMargin);
  update();
}

void PreviewPage::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.fillRect(event->rect(), palette().color(QPalette::Dark));
  const QSize paper = paperSize(zoom_);
  const QRect sheet(kMargin, kMargin, paper.width(), paper.height());
  p.fillRect(sheet.translated(3, 3), QColor(64, 64, 64));  // a shadow lifts the sheet off the grey
  p.fillRect(sheet, Qt::white);
  if (page_ < 0 || page_ >= static_cast<int>(doc_->pages.size())) return;
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setClipRect(sheet);
  p.translate(kMargin, kMargin);
  p.scale(zoom_, zoom_);
  report::drawPage(p, *doc_, static_cast<std::size_t>(page_));
}

}  // namespace tdx::rt
