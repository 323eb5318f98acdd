#include "runtime/qt_window.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "runtime/popup_items.h"
#include "runtime/qt_icons.h"
#include "runtime/qt_positions.h"
#include "runtime/qt_ui.h"
#include "runtime/qt_window_host.h"

namespace tdx::rt {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The controls' surface: Tab goes the window's way (accepting the entry
// left, in the order of the controls), not Qt's.
class Surface : public QWidget {
 public:
  Surface(QtControls& controls, QWidget* parent) : QWidget(parent), controls_(&controls) {}

 protected:
  bool focusNextPrevChild(bool next) override {
    controls_->tabFrom(QApplication::focusWidget(), next, false);
    return true;
  }

 private:
  QtControls* controls_;
};

// A called form: Escape and the close box ask the procedure.
class ModalDialog : public QDialog {
 public:
  ModalDialog(QWidget* parent, std::function<void()> onClose) : QDialog(parent), onClose_(std::move(onClose)) {}
  void reject() override { onClose_(); }

 private:
  std::function<void()> onClose_;
};

}  // namespace

int runPopup(QWidget* parent, std::string_view items) {
  QMenu menu(parent);
  auto entries = popupItems(items);
  std::vector<QAction*> actions;
  for (const auto& e : entries) {
    QAction* a = menu.addAction(qs(e.text));
    a->setEnabled(!e.greyed);
    actions.push_back(a);
  }
  QAction* chosen = menu.exec(QCursor::pos());
  for (std::size_t i = 0; i < actions.size(); ++i)
    if (actions[i] == chosen) return int(i + 1);
  return 0;
}

QtWindow::QtWindow(QtUi& ui, QtWindowHost& host, const WindowSpec& spec, WindowEvents& events)
    : ui_(&ui), spec_(spec), controls_(std::make_unique<QtControls>(ui, spec, *this, events)) {
  content_ = new QWidget;
  content_->setFont(controls_->font());
  layout_ = new QVBoxLayout(content_);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  QToolBar* toolbar = nullptr;
  for (const auto& c : spec.controls)
    if (c.inToolbar) {
      toolbar = new QToolBar(content_);
      layout_->addWidget(toolbar);
      break;
    }
  surface_ = new Surface(*controls_, content_);
  layout_->addWidget(surface_, 1);
  controls_->build(surface_, toolbar);
  const DialogUnits& u = controls_->units();
  QSize size = spec.width > 0 && spec.height > 0 ? u.size(spec.width, spec.height) : controls_->extent();
  surface_->setMinimumSize(size);
  if (!spec.statusText.empty()) setStatus(spec.statusText);

  QMdiArea* area = host.mdiArea();
  if (spec.modal) {
    QWidget* parent = host.frameWindow() ? static_cast<QWidget*>(host.frameWindow()) : ui.dialogParent();
    auto* dialog = new ModalDialog(parent, [this] { requestClose(); });
    auto* l = new QVBoxLayout(dialog);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(content_);
    dialog->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    top_ = dialog;
  } else if (area) {
    sub_ = area->addSubWindow(content_);
    sub_->setAttribute(Qt::WA_DeleteOnClose, false);
    top_ = sub_;
  } else {
    top_ = content_;
  }
  top_->setWindowTitle(qs(spec.title));
  if (!spec.icon.empty()) top_->setWindowIcon(iconFor(spec.icon, ui.folder()));
  top_->adjustSize();
  if (!spec.resizable) top_->setFixedSize(top_->sizeHint());
  top_->installEventFilter(this);
  content_->installEventFilter(this);

  bool maximised = restorePosition(top_, ui.positions(), spec.positionName, spec.resizable, u);
  showPlaced(top_, maximised);
  if (sub_ && area) area->setActiveSubWindow(sub_);
  else top_->activateWindow();
  QMetaObject::invokeMethod(controls_.get(), [c = controls_.get()] { c->opened(); }, Qt::QueuedConnection);
}

QtWindow::~QtWindow() {
  controls_->closed();
  if (top_) {
    top_->removeEventFilter(this);
    content_->removeEventFilter(this);
    top_->hide();
    top_->deleteLater();
  }
  controls_.reset();
}

void QtWindow::setTitle(std::string_view utf8) {
  spec_.title = std::string(utf8);
  if (top_) top_->setWindowTitle(qs(utf8));
}

void QtWindow::setStatus(std::string_view utf8) {
  if (!status_) {
    status_ = new QStatusBar(content_);
    status_->setSizeGripEnabled(false);
    layout_->addWidget(status_);
  }
  status_->showMessage(qs(utf8));
}

int QtWindow::popup(std::string_view items) { return runPopup(top_, items); }

void QtWindow::requestClose() {
  if (!open_) return;
  controls_->deliver(Event{Event::Kind::CloseRequest});
}

void QtWindow::close() {
  if (!open_) return;
  open_ = false;
  if (top_) savePosition(top_, ui_->positions(), spec_.positionName, spec_.resizable, controls_->units());
  controls_->closed();
  closing_ = true;
  if (top_) top_->hide();
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Close:
      if (watched == top_ && !closing_) {
        event->ignore();
        // After the close event: the procedure may close the window itself.
        QMetaObject::invokeMethod(this, [this] { requestClose(); }, Qt::QueuedConnection);
        return true;
      }
      break;
    case QEvent::KeyPress:
      if (watched == content_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !spec_.modal) {
        requestClose();
        return true;
      }
      break;
    case QEvent::WindowActivate:
      if (watched == top_ && controls_->hasOpened()) controls_->deliver(Event{Event::Kind::GainFocus});
      break;
    case QEvent::Resize:
      if (watched == top_ && controls_->hasOpened()) {
        // Each window tells itself to highlight again after a resize, so
        // that the highlight survives the redraw.
        QMetaObject::invokeMethod(
            this,
            [this] {
              controls_->highlighter().rehighlight();
              controls_->deliver(Event{Event::Kind::Resized});
            },
            Qt::QueuedConnection);
      }
      break;
    case QEvent::WindowStateChange:
      if (watched == top_ && controls_->hasOpened())
        QMetaObject::invokeMethod(this, [this] { controls_->highlighter().rehighlight(); }, Qt::QueuedConnection);
      break;
    default:
      break;
  }
  return false;
}

}  // namespace tdx::rt
