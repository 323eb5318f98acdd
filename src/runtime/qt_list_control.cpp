#include "runtime/qt_list_control.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QVBoxLayout>

#include "runtime/report_fonts.h"

namespace tdx::rt {

namespace {

Qt::Alignment qtAlign(Align a) {
  switch (a) {
    case Align::Center: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
  }
  return Qt::AlignLeft;
}

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QColor qcolor(const Color& c) { return QColor(c.r, c.g, c.b); }

}  // namespace

ListControl::ListControl(BrowseList& list, const DialogUnits& units, QWidget* parent)
    : QAbstractScrollArea(parent), list_(&list), units_(units) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  verticalScrollBar()->setRange(0, 100);
  verticalScrollBar()->setPageStep(10);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &ListControl::scrollAction);

  const auto& cols = list.columns();
  bool anyHeader = false;
  for (const auto& c : cols) anyHeader = anyHeader || !c.header.empty();
  if (anyHeader) {
    headerModel_ = new QStandardItemModel(0, int(cols.size()), this);
    for (int i = 0; i < int(cols.size()); ++i) {
      headerModel_->setHeaderData(i, Qt::Horizontal, qs(cols[std::size_t(i)].header));
      headerModel_->setHeaderData(i, Qt::Horizontal, int(qtAlign(cols[std::size_t(i)].headerAlign) | Qt::AlignVCenter),
                                  Qt::TextAlignmentRole);
    }
    header_ = new QHeaderView(Qt::Horizontal, this);
    header_->setModel(headerModel_);
    header_->setSectionsClickable(false);
    header_->setHighlightSections(false);
    for (int i = 0; i < int(cols.size()); ++i) {
      header_->setSectionResizeMode(i, cols[std::size_t(i)].resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
      header_->resizeSection(i, units_.x(cols[std::size_t(i)].width));
    }
    connect(header_, &QHeaderView::sectionResized, viewport(), [this] { viewport()->update(); });
    setViewportMargins(0, header_->sizeHint().height(), 0, 0);
  }
}

int ListControl::rowHeight() const { return fontMetrics().height() + 3; }

int ListControl::rowAt(int y) const {
  int row = y / rowHeight();
  return row >= 0 && row < list_->rows() ? row : -1;
}

QRect ListControl::cellRect(int row, int column) const {
  int x = 0, w = 0;
  if (header_) {
    x = header_->sectionViewportPosition(column);
    w = header_->sectionSize(column);
  } else {
    const auto& cols = list_->columns();
    for (int i = 0; i < column; ++i) x += units_.x(cols[std::size_t(i)].width);
    w = units_.x(cols[std::size_t(column)].width);
  }
  return QRect(x, row * rowHeight(), w, rowHeight());
}

QString ListControl::rowText(const BrowseList& list, int row) {
  QStringList parts;
  for (int c = 0; c < int(list.columns().size()); ++c) {
    QString t = qs(list.cell(row, c)).trimmed();
    if (!t.isEmpty()) parts << t;
  }
  return parts.join(QLatin1Char(' '));
}

void ListControl::refresh() {
  viewport()->update();
  syncScrollBar();
}

void ListControl::placeHeader() {
  if (!header_) return;
  QRect vg = viewport()->geometry();
  header_->setGeometry(vg.left(), vg.top() - header_->sizeHint().height(), vg.width(), header_->sizeHint().height());
}

void ListControl::syncScrollBar() {
  syncing_ = true;
  verticalScrollBar()->setValue(list_->thumb());
  syncing_ = false;
}

void ListControl::scrollAction(int action) {
  if (syncing_) return;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: list_->scrollBy(1); break;
    case QAbstractSlider::SliderSingleStepSub: list_->scrollBy(-1); break;
    case QAbstractSlider::SliderPageStepAdd: list_->pageDown(); break;
    case QAbstractSlider::SliderPageStepSub: list_->pageUp(); break;
    case QAbstractSlider::SliderToMinimum: list_->home(); break;
    case QAbstractSlider::SliderToMaximum: list_->end(); break;
    case QAbstractSlider::SliderMove: list_->dragThumb(verticalScrollBar()->sliderPosition()); break;
    default: return;
  }
  // The bar shows where the list is, not where the mouse left it.
  QMetaObject::invokeMethod(this, [this] { refresh(); }, Qt::QueuedConnection);
}

void ListControl::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  placeHeader();
  int rows = std::max(1, viewport()->height() / rowHeight());
  if (rows != list_->pageSize()) list_->setPageSize(rows);
}

void ListControl::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const QPalette& pal = palette();
  p.fillRect(viewport()->rect(), pal.color(QPalette::Base));
  const auto& cols = list_->columns();
  const auto& styles = list_->styles();
  const int current = list_->current();
  const QFont base = font();
  for (int r = 0; r < list_->rows(); ++r) {
    QRect line(0, r * rowHeight(), viewport()->width(), rowHeight());
    int si = list_->styleOf(r);
    const RowStyle* style = si >= 0 && si < int(styles.size()) ? &styles[std::size_t(si)] : nullptr;
    QColor text = pal.color(QPalette::Text);
    if (style && style->background.set) p.fillRect(line, qcolor(style->background));
    if (style && style->text.set) text = qcolor(style->text);
    if (r == current) {
      p.fillRect(line, pal.color(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
      text = pal.color(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText);
    }
    QFont f = base;
    if (style && !style->font.empty()) f.setFamily(report::installedFamily(style->font));
    if (style && style->fontSize > 0) f.setPointSize(style->fontSize);
    if (style && style->bold) f.setBold(true);
    p.setFont(f);
    p.setPen(text);
    for (int c = 0; c < int(cols.size()); ++c) {
      const auto& col = cols[std::size_t(c)];
      QRect cell = cellRect(r, c).adjusted(2, 0, -2, 0);
      int indent = units_.x(col.indent);
      if (col.align == Align::Right) cell.adjust(0, 0, -indent, 0);
      else cell.adjust(indent, 0, 0, 0);
      p.drawText(cell, int(qtAlign(col.align) | Qt::AlignVCenter | Qt::TextSingleLine), qs(list_->cell(r, c)));
      if (col.rightBorder) {
        QRect full = cellRect(r, c);
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(full.topRight(), full.bottomRight());
        p.setPen(text);
      }
    }
  }
}

void ListControl::keyPressEvent(QKeyEvent* e) {
  if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
    QAbstractScrollArea::keyPressEvent(e);
    return;
  }
  switch (e->key()) {
    case Qt::Key_Up: list_->up(); break;
    case Qt::Key_Down: list_->down(); break;
    case Qt::Key_PageUp: list_->pageUp(); break;
    case Qt::Key_PageDown: list_->pageDown(); break;
    case Qt::Key_Home: list_->home(); break;
    case Qt::Key_End: list_->end(); break;
    default:
      e->ignore();
      return;
  }
  e->accept();
}

void ListControl::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  int row = rowAt(int(e->position().y()));
  if (row >= 0) list_->select(row);
  if (e->button() == Qt::LeftButton && row >= 0) emit clicked();
}

void ListControl::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  int row = rowAt(int(e->position().y()));
  if (row >= 0) {
    list_->select(row);
    emit doubleClicked();
  }
}

void ListControl::wheelEvent(QWheelEvent* e) {
  int steps = e->angleDelta().y() / 120;
  if (steps != 0) list_->scrollBy(-3 * steps);
  e->accept();
}

void ListControl::contextMenuEvent(QContextMenuEvent* e) {
  if (e->reason() == QContextMenuEvent::Mouse) {
    int row = rowAt(e->pos().y() - viewport()->y());
    if (row >= 0) list_->select(row);
  }
  emit rightClicked();
}

// --- the drop list

DropListControl::DropListControl(BrowseList& list, const DialogUnits& units, QWidget* parent)
    : QWidget(parent), list_(&list), units_(units) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_Hover);
}

QSize DropListControl::sizeHint() const {
  QStyleOptionComboBox opt;
  opt.initFrom(this);
  QSize text(fontMetrics().horizontalAdvance(currentText()) + 8, fontMetrics().height());
  return style()->sizeFromContents(QStyle::CT_ComboBox, &opt, text, this);
}

QString DropListControl::currentText() const {
  int r = list_->current();
  return r < 0 ? QString() : ListControl::rowText(*list_, r);
}

void DropListControl::refresh() {
  update();
  if (popupList_) popupList_->refresh();
}

void DropListControl::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionComboBox opt;
  opt.initFrom(this);
  opt.currentText = currentText();
  opt.editable = false;
  p.drawComplexControl(QStyle::CC_ComboBox, opt);
  p.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

void DropListControl::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  if (e->button() == Qt::LeftButton) showPopup();
}

void DropListControl::keyPressEvent(QKeyEvent* e) {
  const bool alt = e->modifiers() & Qt::AltModifier;
  if (e->key() == Qt::Key_F4 || (alt && e->key() == Qt::Key_Down)) {
    showPopup();
    return;
  }
  if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
    e->ignore();
    return;
  }
  switch (e->key()) {
    case Qt::Key_Up: list_->up(); break;
    case Qt::Key_Down: list_->down(); break;
    case Qt::Key_Home: list_->home(); break;
    case Qt::Key_End: list_->end(); break;
    default:
      e->ignore();
      return;
  }
  update();
  emit chosen();
}

void DropListControl::wheelEvent(QWheelEvent* e) {
  int steps = e->angleDelta().y() / 120;
  if (steps > 0) list_->up();
  else if (steps < 0) list_->down();
  if (steps != 0) emit chosen();
  update();
  e->accept();
}

void DropListControl::showPopup() {
  if (popupShown()) return;
  auto* frame = new QFrame(this, Qt::Popup);
  frame->setAttribute(Qt::WA_DeleteOnClose);
  frame->setFrameShape(QFrame::Box);
  auto* layout = new QVBoxLayout(frame);
  layout->setContentsMargins(1, 1, 1, 1);
  auto* l = new ListControl(*list_, units_, frame);
  l->setFont(font());
  layout->addWidget(l);
  int rows = std::clamp(list_->rows(), 1, 10);
  int width = 0;
  for (const auto& c : list_->columns()) width += units_.x(c.width);
  width = std::max(this->width(), width + l->verticalScrollBar()->sizeHint().width() + 4);
  frame->resize(width, rows * l->rowHeight() + 2 * l->frameWidth() + 4);
  frame->move(mapToGlobal(QPoint(0, height())));
  connect(l, &ListControl::clicked, this, [this] { closePopup(true); });
  popup_ = frame;
  popupList_ = l;
  frame->show();
  l->setFocus(Qt::PopupFocusReason);
  // Enter chooses, Escape only closes.
  struct Keys : QObject {
    DropListControl* owner;
    explicit Keys(DropListControl* o, QObject* parent) : QObject(parent), owner(o) {}
    bool eventFilter(QObject*, QEvent* ev) override {
      if (ev->type() != QEvent::KeyPress) return false;
      int k = static_cast<QKeyEvent*>(ev)->key();
      if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        QMetaObject::invokeMethod(owner, [o = owner] { o->closePopup(true); }, Qt::QueuedConnection);
        return true;
      }
      if (k == Qt::Key_Escape) {
        QMetaObject::invokeMethod(owner, [o = owner] { o->closePopup(false); }, Qt::QueuedConnection);
        return true;
      }
      return false;
    }
  };
  l->installEventFilter(new Keys(this, l));
}

void DropListControl::closePopup(bool choose) {
  if (popup_) popup_->close();
  popup_ = nullptr;
  popupList_ = nullptr;
  setFocus(Qt::PopupFocusReason);
  update();
  if (choose) emit chosen();
}

}  // namespace tdx::rt
