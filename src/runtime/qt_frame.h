#pragma once
// The main frame on the screen: a main window with the menu bar, the
// toolbar, the status bar in zones and the area of the child windows.

#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <map>
#include <memory>

#include "runtime/frame.h"
#include "runtime/qt_controls.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;

namespace tdx::rt {

class QtUi;
class QtWindowHost;

class QtFrame : public QObject, public Frame {
 public:
  QtFrame(QtUi& ui, QtWindowHost& host, const FrameSpec& spec, WindowEvents& events);
  ~QtFrame() override;

  void display() override { controls_->display(); }
  void display(std::string_view label) override { controls_->display(label); }
  void setText(std::string_view label, std::string_view utf8) override;
  std::string text(std::string_view label) const override;
  void setTitle(std::string_view utf8) override;
  void setStatus(std::string_view utf8) override { setStatus(1, utf8); }
  void setEnabled(std::string_view label, bool enabled) override;
  void setHidden(std::string_view label, bool hidden) override;
  bool enabled(std::string_view label) const override;
  bool hidden(std::string_view label) const override;
  void setAlert(std::string_view label, AlertKey key) override { controls_->setAlert(label, key); }
  void focus(std::string_view label) override { controls_->focus(label); }
  std::string focused() const override { return controls_->focused(); }
  std::string currentTab(std::string_view) const override { return {}; }
  void selectTab(std::string_view, std::string_view) override {}
  bool acceptAll() override { return true; }
  void post(int code) override { controls_->post(code); }
  void setTimer(int hundredths) override { controls_->setTimer(hundredths); }
  int popup(std::string_view items) override;
  void setBusy(bool busy) override { controls_->setBusy(busy); }
  void listChanged(std::string_view) override {}
  void close() override;
  bool isOpen() const override { return open_; }

  void setStatus(int zone, std::string_view utf8) override;
  std::string status(int zone) const override;
  void cascade() override;
  std::vector<std::string> childTitles() const override;
  void activateChild(int index) override;

  QMainWindow* window() const { return window_; }
  QMdiArea* area() const { return area_; }
  QAction* action(std::string_view label) const;
  QtControls& controls() { return *controls_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenu(QWidget* bar, const std::vector<MenuSpec>& items, bool top);
  void fillWindowList(QMenu* menu, std::size_t fixedItems);
  QtUi* ui_;
  FrameSpec spec_;
  std::unique_ptr<QtControls> controls_;
  QPointer<QMainWindow> window_;
  QMdiArea* area_ = nullptr;
  std::vector<QLabel*> zones_;
  std::map<std::string, QAction*, std::less<>> actions_;
  bool open_ = true;
  bool closing_ = false;
};

}  // namespace tdx::rt
