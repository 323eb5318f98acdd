#pragma once
// What every window of the Qt host has: its controls as widgets (built from
// the window's description, placed in dialogue units of the window's font),
// the events they give the procedure, its timer and posted events, and the
// two companions, the focus highlighter and the key navigator.
//
// The values: a bound control shows its field through its picture; a
// changed entry is read back when it is left (or Enter moves on, which
// accepts it even unchanged), and a refused entry beeps, shows the field
// again and keeps the focus. A button pressed while the entry that had the
// focus is refused is not pressed.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "runtime/focus_highlighter.h"
#include "runtime/key_navigator.h"
#include "runtime/qt_dialog_units.h"
#include "runtime/window.h"

class QToolBar;
class QWidget;
class QButtonGroup;

namespace tdx::rt {

class QtUi;
class ListControl;
class DropListControl;

class QtControls : public QObject {
  Q_OBJECT
 public:
  QtControls(QtUi& ui, const WindowSpec& spec, Window& owner, WindowEvents& events);
  ~QtControls() override;

  // Builds the controls: those of the toolbar into `toolbar` (when given),
  // the others onto `surface` at their places.
  void build(QWidget* surface, QToolBar* toolbar);
  const DialogUnits& units() const { return units_; }
  const QFont& font() const { return font_; }
  // The room the controls take on the surface.
  QSize extent() const;
  FocusHighlighter& highlighter() { return *highlighter_; }
  KeyNavigator& navigator() { return *navigator_; }

  // The window has shown: the companions start and the procedure gets
  // Opened, after the events of showing it.
  void opened();
  void closed();
  bool isOpen() const { return open_ && !closed_; }
  bool hasOpened() const { return open_; }
  void deliver(const Event& e);

  void display();
  void display(std::string_view label);
  void setText(std::string_view label, std::string_view utf8);
  std::string text(std::string_view label) const;
  void setEnabled(std::string_view label, bool enabled);
  void setHidden(std::string_view label, bool hidden);
  bool enabled(std::string_view label) const;
  bool hidden(std::string_view label) const;
  void setAlert(std::string_view label, AlertKey key);
  void focus(std::string_view label);
  std::string focused() const { return focused_; }
  std::string currentTab(std::string_view sheet) const;
  void selectTab(std::string_view sheet, std::string_view tab);
  bool acceptAll();
  void post(int code);
  void setTimer(int hundredths);
  void setBusy(bool busy);
  void listChanged(std::string_view label);

  // Tab from a control (the navigator's and the Tab key's way): a changed
  // entry is accepted first, then the focus moves on unless the handler put
  // it somewhere.
  void tabFrom(QWidget* from, bool forward, bool enter);
  QWidget* widget(std::string_view label) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Ctl {
    ControlSpec spec;
    QWidget* widget = nullptr;      // the control (a radio group's box)
    std::vector<QWidget*> parts;    // radio buttons of an option group
    QButtonGroup* radios = nullptr;
    ListControl* list = nullptr;
    DropListControl* drop = nullptr;
    bool hidden = false;
    bool dirty = false;
    std::vector<AlertKey> alerts;
    int sheetIndex = -1;            // a tab: its page in the sheet
  };
  Ctl* find(std::string_view label);
  const Ctl* find(std::string_view label) const;
  Ctl* byWidget(const QObject* w);
  QWidget* make(Ctl& c, QWidget* surface, QToolBar* toolbar);
  void wire(Ctl& c);
  void refresh(Ctl& c);
  QString typed(const Ctl& c) const;
  bool commit(Ctl& c, bool enter);
  void press(Ctl& c);
  bool alerted(const Ctl& c, AlertKey key) const;
  void alert(Ctl& c, AlertKey key, char32_t ch = 0);
  bool visibleNow(const Ctl& c) const;
  void applyVisibility();
  std::vector<Ctl*> tabOrder();
  QWidget* focusTarget(Ctl& c) const;
  void setFocusTo(QWidget* w);

  QtUi* ui_;
  WindowSpec spec_;
  Window* owner_;
  WindowEvents* events_;
  QFont font_;
  DialogUnits units_;
  std::vector<std::unique_ptr<Ctl>> controls_;
  FocusHighlighter* highlighter_;
  KeyNavigator* navigator_;
  QTimer timer_;
  std::string focused_;
  bool focusMoved_ = false;
  bool programmatic_ = false;
  bool loading_ = false;
  bool open_ = false;
  bool closed_ = false;
  bool busy_ = false;
};

}  // namespace tdx::rt
