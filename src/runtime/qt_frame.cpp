#include "runtime/qt_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "runtime/qt_icons.h"
#include "runtime/qt_positions.h"
#include "runtime/qt_ui.h"
#include "runtime/qt_window.h"
#include "runtime/qt_window_host.h"

namespace tdx::rt {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

QtFrame::QtFrame(QtUi& ui, QtWindowHost& host, const FrameSpec& spec, WindowEvents& events)
    : ui_(&ui), spec_(spec), controls_(std::make_unique<QtControls>(ui, spec, *this, events)) {
  window_ = new QMainWindow;
  window_->setWindowTitle(qs(spec.title));
  if (!spec.icon.empty()) window_->setWindowIcon(iconFor(spec.icon, ui.folder()));
  area_ = new QMdiArea(window_);
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  window_->setCentralWidget(area_);

  // The menu bar in the frame's own font, as its window describes it.
  window_->menuBar()->setFont(controls_->font());
  buildMenu(window_->menuBar(), spec.menu, true);

  auto* toolbar = window_->addToolBar(QStringLiteral("Orodja"));
  toolbar->setMovable(false);
  toolbar->setFont(controls_->font());
  controls_->build(nullptr, toolbar);

  QStatusBar* bar = window_->statusBar();
  bar->setFont(controls_->font());
  const DialogUnits& u = controls_->units();
  for (std::size_t i = 0; i < spec.statusZones.size(); ++i) {
    auto* zone = new QLabel(bar);
    zone->setMargin(2);
    int width = spec.statusZones[i];
    if (i == 0) {
      bar->addWidget(zone, 1);
    } else {
      if (width > 0) zone->setMinimumWidth(u.x(width));
      zone->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      bar->addPermanentWidget(zone);
    }
    zones_.push_back(zone);
  }
  if (!spec.statusText.empty()) setStatus(1, spec.statusText);

  window_->resize(u.size(spec.width > 0 ? spec.width : 500, spec.height > 0 ? spec.height : 300));
  window_->installEventFilter(this);
  bool maximised = restorePosition(window_, ui.positions(), spec.positionName, spec.resizable, u);
  host.frameOpened(this);
  showPlaced(window_, maximised);
  window_->activateWindow();
  QMetaObject::invokeMethod(controls_.get(), [c = controls_.get()] { c->opened(); }, Qt::QueuedConnection);
}

QtFrame::~QtFrame() {
  controls_->closed();
  if (window_) {
    window_->removeEventFilter(this);
    window_->hide();
    window_->deleteLater();
  }
  controls_.reset();
}

void QtFrame::buildMenu(QWidget* bar, const std::vector<MenuSpec>& items, bool top) {
  for (const auto& item : items) {
    if (item.menu) {
      QMenu* menu = top ? static_cast<QMenuBar*>(bar)->addMenu(qs(item.text)) : static_cast<QMenu*>(bar)->addMenu(qs(item.text));
      buildMenu(menu, item.items, false);
      if (!item.message.empty()) menu->menuAction()->setStatusTip(qs(item.message));
      if (item.windowList) {
        std::size_t fixed = item.items.size();
        QObject::connect(menu, &QMenu::aboutToShow, this, [this, menu, fixed] { fillWindowList(menu, fixed); });
      }
      continue;
    }
    QString text = qs(item.text);
    // The shortcut is shown beside the item; the key itself is the
    // system's (Alt-F4 closes the frame window anyway).
    if (!item.shortcut.empty()) text += QLatin1Char('\t') + qs(item.shortcut);
    QAction* a = new QAction(text, bar);
    if (!item.icon.empty()) a->setIcon(iconFor(item.icon, ui_->folder()));
    if (!item.message.empty()) a->setStatusTip(qs(item.message));
    a->setEnabled(!item.disabled);
    std::string label = item.label;
    QObject::connect(a, &QAction::triggered, this,
                     [this, label] { controls_->deliver(Event{Event::Kind::Pressed, label}); });
    bar->addAction(a);
    if (!label.empty()) actions_[label] = a;
  }
}

void QtFrame::fillWindowList(QMenu* menu, std::size_t fixedItems) {
  auto all = menu->actions();
  for (qsizetype i = qsizetype(fixedItems); i < all.size(); ++i) {
    menu->removeAction(all[i]);
    all[i]->deleteLater();
  }
  auto subs = area_->subWindowList(QMdiArea::CreationOrder);
  bool first = true;
  int n = 0;
  for (QMdiSubWindow* sub : subs) {
    if (!sub->isVisible()) continue;
    if (first) {
      menu->addSeparator();
      first = false;
    }
    ++n;
    QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(n).arg(sub->windowTitle()));
    a->setCheckable(true);
    a->setChecked(sub == area_->activeSubWindow());
    QPointer<QMdiSubWindow> target = sub;
    QObject::connect(a, &QAction::triggered, this, [this, target] {
      if (target) area_->setActiveSubWindow(target);
    });
  }
}

QAction* QtFrame::action(std::string_view label) const {
  auto it = actions_.find(label);
  return it == actions_.end() ? nullptr : it->second;
}

void QtFrame::setText(std::string_view label, std::string_view utf8) {
  if (QAction* a = action(label)) a->setText(qs(utf8));
  else controls_->setText(label, utf8);
}

std::string QtFrame::text(std::string_view label) const {
  if (QAction* a = action(label)) return a->text().toUtf8().toStdString();
  return controls_->text(label);
}

void QtFrame::setTitle(std::string_view utf8) {
  if (window_) window_->setWindowTitle(qs(utf8));
}

void QtFrame::setEnabled(std::string_view label, bool enabled) {
  if (QAction* a = action(label)) a->setEnabled(enabled);
  else controls_->setEnabled(label, enabled);
}

void QtFrame::setHidden(std::string_view label, bool hidden) {
  if (QAction* a = action(label)) a->setVisible(!hidden);
  else controls_->setHidden(label, hidden);
}

bool QtFrame::enabled(std::string_view label) const {
  if (QAction* a = action(label)) return a->isEnabled();
  return controls_->enabled(label);
}

bool QtFrame::hidden(std::string_view label) const {
  if (QAction* a = action(label)) return !a->isVisible();
  return controls_->hidden(label);
}

int QtFrame::popup(std::string_view items) { return runPopup(window_, items); }

void QtFrame::setStatus(int zone, std::string_view utf8) {
  if (zone < 1 || zone > int(zones_.size())) return;
  zones_[std::size_t(zone - 1)]->setText(qs(utf8));
}

std::string QtFrame::status(int zone) const {
  if (zone < 1 || zone > int(zones_.size())) return {};
  return zones_[std::size_t(zone - 1)]->text().toUtf8().toStdString();
}

void QtFrame::cascade() { area_->cascadeSubWindows(); }

std::vector<std::string> QtFrame::childTitles() const {
  std::vector<std::string> out;
  for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder))
    if (sub->isVisible()) out.push_back(sub->windowTitle().toUtf8().toStdString());
  return out;
}

void QtFrame::activateChild(int index) {
  int n = 0;
  for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder)) {
    if (!sub->isVisible()) continue;
    if (n++ == index) {
      area_->setActiveSubWindow(sub);
      return;
    }
  }
}

void QtFrame::close() {
  if (!open_) return;
  open_ = false;
  if (window_) savePosition(window_, ui_->positions(), spec_.positionName, spec_.resizable, controls_->units());
  controls_->closed();
  closing_ = true;
  if (window_) window_->hide();
}

bool QtFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return false;
  switch (event->type()) {
    case QEvent::Close:
      if (!closing_) {
        // The system menu and Alt-F4: the frame decides how it closes.
        event->ignore();
        QMetaObject::invokeMethod(this, [this] { controls_->deliver(Event{Event::Kind::CloseRequest}); },
                                  Qt::QueuedConnection);
        return true;
      }
      break;
    case QEvent::WindowActivate:
      if (controls_->hasOpened()) controls_->deliver(Event{Event::Kind::GainFocus});
      break;
    case QEvent::Resize:
      if (controls_->hasOpened())
        QMetaObject::invokeMethod(
            this,
            [this] {
              controls_->highlighter().rehighlight();
              controls_->deliver(Event{Event::Kind::Resized});
            },
            Qt::QueuedConnection);
      break;
    default:
      break;
  }
  return false;
}

}  // namespace tdx::rt
