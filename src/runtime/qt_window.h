#pragma once
// A procedure's window on the screen: a child window of the frame's area
// (a top-level window when there is no frame), or, for a called form or
// picker, a window-modal dialog the caller waits for. Its position is
// restored after it opens and saved when it closes; closing it by the
// system menu or Escape is the procedure's CloseRequest.

#include <QObject>
#include <QPointer>
#include <memory>

#include "runtime/qt_controls.h"
#include "runtime/window.h"

class QStatusBar;
class QToolBar;
class QMdiSubWindow;
class QVBoxLayout;

namespace tdx::rt {

class QtUi;
class QtWindowHost;

class QtWindow : public QObject, public Window {
 public:
  QtWindow(QtUi& ui, QtWindowHost& host, const WindowSpec& spec, WindowEvents& events);
  ~QtWindow() override;

  void display() override { controls_->display(); }
  void display(std::string_view label) override { controls_->display(label); }
  void setText(std::string_view label, std::string_view utf8) override { controls_->setText(label, utf8); }
  std::string text(std::string_view label) const override { return controls_->text(label); }
  void setTitle(std::string_view utf8) override;
  void setStatus(std::string_view utf8) override;
  void setEnabled(std::string_view label, bool enabled) override { controls_->setEnabled(label, enabled); }
  void setHidden(std::string_view label, bool hidden) override { controls_->setHidden(label, hidden); }
  bool enabled(std::string_view label) const override { return controls_->enabled(label); }
  bool hidden(std::string_view label) const override { return controls_->hidden(label); }
  void setAlert(std::string_view label, AlertKey key) override { controls_->setAlert(label, key); }
  void focus(std::string_view label) override { controls_->focus(label); }
  std::string focused() const override { return controls_->focused(); }
  std::string currentTab(std::string_view sheet) const override { return controls_->currentTab(sheet); }
  void selectTab(std::string_view sheet, std::string_view tab) override { controls_->selectTab(sheet, tab); }
  bool acceptAll() override { return controls_->acceptAll(); }
  void post(int code) override { controls_->post(code); }
  void setTimer(int hundredths) override { controls_->setTimer(hundredths); }
  int popup(std::string_view items) override;
  void setBusy(bool busy) override { controls_->setBusy(busy); }
  void listChanged(std::string_view label) override { controls_->listChanged(label); }
  void close() override;
  bool isOpen() const override { return open_; }

  // For tests and screenshots: the window as shown, and its controls.
  QWidget* top() const { return top_; }
  QWidget* surface() const { return surface_; }
  QtControls& controls() { return *controls_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void requestClose();
  QtUi* ui_;
  WindowSpec spec_;
  std::unique_ptr<QtControls> controls_;
  QPointer<QWidget> top_;
  QWidget* content_ = nullptr;
  QWidget* surface_ = nullptr;
  QVBoxLayout* layout_ = nullptr;
  QStatusBar* status_ = nullptr;
  QPointer<QMdiSubWindow> sub_;
  bool open_ = true;
  bool closing_ = false;
};

// A pop-up menu at the mouse: "&Dodaj|~&Sprem.|~&Briši"; the chosen entry
// (1-based) or 0.
int runPopup(QWidget* parent, std::string_view items);

}  // namespace tdx::rt
