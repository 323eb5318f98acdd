#include "runtime/qt_preview_window.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "runtime/qt_preview_page.h"
#include "runtime/report_render.h"

namespace tdx::rt {

namespace {

constexpr double kMinZoom = 0.25, kMaxZoom = 4.0, kZoomStep = 1.25;
constexpr double kZooms[] = {0.5, 0.75, 1.0, 1.5, 2.0};
constexpr int kFitWidthEntry = 0, kFitPageEntry = 1, kFirstZoomEntry = 2;

QString zoomText(double zoom) { return QString::number(static_cast<int>(std::lround(zoom * 100))) + QStringLiteral(" %"); }

QToolButton* textButton(QToolBar* bar, const QString& text, const QString& tip) {
  auto* b = new QToolButton(bar);
  b->setText(text);
  b->setToolTip(tip);
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  bar->addWidget(b);
  return b;
}

QToolButton* button(QToolBar* bar, QStyle::StandardPixmap icon, const QString& tip) {
  auto* b = new QToolButton(bar);
  b->setIcon(bar->style()->standardIcon(icon));
  b->setToolTip(tip);
  b->setAutoRaise(true);
  bar->addWidget(b);
  return b;
}

}  // namespace

PrintPreview::PrintPreview(const report::Document& doc, QString defaultName, QWidget* parent)
    : QDialog(parent), doc_(&doc), defaultName_(std::move(defaultName)) {
  setWindowTitle(QStringLiteral("Predogled tiskanja - ") + QString::fromStdString(doc.name));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setSizeGripEnabled(true);

  auto* bar = new QToolBar(this);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  auto* printButton = textButton(bar, QStringLiteral("&Natisni"), QStringLiteral("Natisni strani poročila (Ctrl+P)"));
  auto* saveButton = textButton(bar, QStringLiteral("&Shrani kot PDF"),
                          QStringLiteral("Shrani strani poročila v datoteko PDF (Ctrl+S)"));
  bar->addSeparator();

  first_ = button(bar, QStyle::SP_MediaSkipBackward, QStringLiteral("Prva stran (Home)"));
  previous_ = button(bar, QStyle::SP_MediaSeekBackward, QStringLiteral("Prejšnja stran (Page Up)"));
  bar->addWidget(new QLabel(QStringLiteral(" Stran "), bar));
  pageBox_ = new QSpinBox(bar);
  pageBox_->setRange(1, std::max(1, pageCount()));
  pageBox_->setKeyboardTracking(false);
  pageBox_->setFocusPolicy(Qt::ClickFocus);
  bar->addWidget(pageBox_);
  pageOf_ = new QLabel(bar);
  bar->addWidget(pageOf_);
  next_ = button(bar, QStyle::SP_MediaSeekForward, QStringLiteral("Naslednja stran (Page Down)"));
  last_ = button(bar, QStyle::SP_MediaSkipForward, QStringLiteral("Zadnja stran (End)"));
  bar->addSeparator();

  auto* smaller = textButton(bar, QStringLiteral(" − "), QStringLiteral("Pomanjšaj (-)"));
  zoomBox_ = new QComboBox(bar);
  zoomBox_->setFocusPolicy(Qt::ClickFocus);
  zoomBox_->addItem(QStringLiteral("Širina strani"));
  zoomBox_->addItem(QStringLiteral("Cela stran"));
  for (double z : kZooms) zoomBox_->addItem(zoomText(z), z);
  zoomBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  bar->addWidget(zoomBox_);
  auto* larger = textButton(bar, QStringLiteral(" + "), QStringLiteral("Povečaj (+)"));
  zoomLabel_ = new QLabel(bar);
  zoomLabel_->setMinimumWidth(zoomLabel_->fontMetrics().horizontalAdvance(QStringLiteral(" 400 % ")));
  bar->addWidget(zoomLabel_);
  bar->addSeparator();
  auto* closeButton = textButton(bar, QStringLiteral("&Zapri"), QStringLiteral("Zapri predogled (Esc)"));

  scroll_ = new QScrollArea(this);
  scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  scroll_->setBackgroundRole(QPalette::Dark);
  scroll_->setWidgetResizable(false);
  view_ = new PreviewPage(doc, scroll_);
  view_->setBackgroundRole(QPalette::Dark);
  scroll_->setWidget(view_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(scroll_, 1);

  connect(printButton, &QToolButton::clicked, this, &PrintPreview::print);
  connect(saveButton, &QToolButton::clicked, this, &PrintPreview::savePdf);
  connect(closeButton, &QToolButton::clicked, this, &QDialog::accept);
  connect(first_, &QToolButton::clicked, this, [this] { setPage(0); });
  connect(previous_, &QToolButton::clicked, this, [this] { setPage(page_ - 1); });
  connect(next_, &QToolButton::clicked, this, [this] { setPage(page_ + 1); });
  connect(last_, &QToolButton::clicked, this, [this] { setPage(pageCount() - 1); });
  connect(pageBox_, &QSpinBox::valueChanged, this, [this](int n) { setPage(n - 1); });
  connect(smaller, &QToolButton::clicked, this, &PrintPreview::zoomOut);
  connect(larger, &QToolButton::clicked, this, &PrintPreview::zoomIn);
  connect(zoomBox_, &QComboBox::activated, this, [this](int index) {
    if (index == kFitWidthEntry) fitWidth();
    else if (index == kFitPageEntry) fitPage();
    else setZoom(zoomBox_->itemData(index).toDouble());
  });
  // Shortcuts rather than key handling: the scroll area would take Page Up
  // and Page Down for scrolling within the page.
  auto key = [this](QKeySequence keys, auto action) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
  };
  key(QKeySequence(Qt::Key_PageDown), [this] { setPage(page_ + 1); });
  key(QKeySequence(Qt::Key_PageUp), [this] { setPage(page_ - 1); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { setPage(0); });
  key(QKeySequence(Qt::CTRL | Qt::Key_End), [this] { setPage(pageCount() - 1); });
  key(QKeySequence(Qt::Key_Plus), [this] { zoomIn(); });
  key(QKeySequence(Qt::Key_Minus), [this] { zoomOut(); });
  key(QKeySequence::Print, [this] { print(); });
  key(QKeySequence::Save, [this] { savePdf(); });

  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
    const QRect room = screen->availableGeometry();
    resize(room.width() * 9 / 10, room.height() * 9 / 10);
  } else {
    resize(1100, 800);
  }
  showPage();
  applyFit();
}

PrintPreview::~PrintPreview() = default;

int PrintPreview::pageCount() const { return static_cast<int>(doc_->pages.size()); }

QString PrintPreview::pageText() const { return QStringLiteral(" od %1 ").arg(pageCount()); }

void PrintPreview::setPage(int page) {
  page_ = std::clamp(page, 0, std::max(0, pageCount() - 1));
  showPage();
}

void PrintPreview::setZoom(double zoom) {
  fit_ = Fit::None;
  zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
  zoomBox_->setCurrentIndex(-1);
  for (int i = kFirstZoomEntry; i < zoomBox_->count(); ++i)
    if (std::abs(zoomBox_->itemData(i).toDouble() - zoom_) < 1e-9) zoomBox_->setCurrentIndex(i);
  showPage();
}

void PrintPreview::zoomIn() { setZoom(zoom_ * kZoomStep); }
void PrintPreview::zoomOut() { setZoom(zoom_ / kZoomStep); }

void PrintPreview::fitWidth() {
  fit_ = Fit::Width;
  applyFit();
}

void PrintPreview::fitPage() {
  fit_ = Fit::Page;
  applyFit();
}

// The zoom at which the paper fills the room the scroll area has.
void PrintPreview::applyFit() {
  if (fit_ == Fit::None) return;
  const QSize paper = view_->paperSize(1.0);
  const int scrollBar = scroll_->verticalScrollBar()->sizeHint().width();
  const double roomW = scroll_->viewport()->width() - 2 * PreviewPage::kMargin - (fit_ == Fit::Width ? scrollBar : 0);
  const double roomH = scroll_->viewport()->height() - 2 * PreviewPage::kMargin;
  double z = roomW / std::max(1, paper.width());
  if (fit_ == Fit::Page) z = std::min(z, roomH / std::max(1, paper.height()));
  zoom_ = std::clamp(z, kMinZoom, kMaxZoom);
  zoomBox_->setCurrentIndex(fit_ == Fit::Width ? kFitWidthEntry : kFitPageEntry);
  showPage();
}

void PrintPreview::showPage() {
  const int n = pageCount();
  {
    const QSignalBlocker quiet(pageBox_);
    pageBox_->setValue(page_ + 1);
  }
  pageOf_->setText(pageText());
  first_->setEnabled(page_ > 0);
  previous_->setEnabled(page_ > 0);
  next_->setEnabled(page_ + 1 < n);
  last_->setEnabled(page_ + 1 < n);
  // The percentage beside the list only where the list does not show it.
  zoomLabel_->setText(zoomBox_->currentIndex() >= kFirstZoomEntry ? QString() : zoomText(zoom_));
  view_->showPage(page_, zoom_);
}

void PrintPreview::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  applyFit();
}

void PrintPreview::failed(const QString& action, const std::string& why) {
  QMessageBox::warning(this, action, action + QStringLiteral(" ni uspelo: ") + QString::fromStdString(why) + '.');
}

void PrintPreview::print() {
  QPrinter own(QPrinter::HighResolution);
  QPrinter& printer = printer_ ? *printer_ : own;
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setPrintRange(QPrinter::AllPages);
  printer.setDocName(QString::fromStdString(doc_->name));
  printer.setFromTo(1, pageCount());
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("Natisni"));
  dialog.setMinMax(1, pageCount());
  dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage |
                    QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  if (dialog.exec() != QDialog::Accepted) return;
  std::string why;
  if (!printTo(printer, &why)) failed(QStringLiteral("Tiskanje"), why);
}

bool PrintPreview::printTo(QPrinter& printer, std::string* error) {
  if (printer.printRange() == QPrinter::CurrentPage) {
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(page_ + 1, page_ + 1);
  }
  return report::draw(*doc_, printer, error);
}

void PrintPreview::savePdf() {
  QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Shrani kot PDF"), defaultName_,
                                              QStringLiteral("Dokumenti PDF (*.pdf)"));
  if (file.isEmpty()) return;
  if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) file += QStringLiteral(".pdf");
  std::string why;
  if (!saveTo(std::filesystem::path(file.toStdString()), &why)) failed(QStringLiteral("Shranjevanje"), why);
}

bool PrintPreview::saveTo(const std::filesystem::path& file, std::string* error) {
  return report::writePdf(*doc_, file, error);
}

void showPrintPreview(const report::Document& doc, std::string_view defaultName, QWidget* parent, QPrinter* printer) {
  PrintPreview preview(doc, QString::fromUtf8(defaultName.data(), static_cast<qsizetype>(defaultName.size())), parent);
  preview.usePrinter(printer);
  preview.exec();
}

}  // namespace tdx::rt
