#pragma once
// The key navigator: Enter and the arrow keys move from control to control
// as Tab does, by the kind of the control:
//
//   entry                 Down, Enter, Up
//   text box              Enter; Down and Up too when single-line
//                         (Enter in a multi-line box starts a new line)
//   spin box, combo box   Enter
//   list, drop list       Enter, Right, Left (a browse list's own keys take
//                         these slots, so there they are left alone)
//   button                Up, Down, Right, Left (Enter presses the button)
//   check box             Enter, Up, Down, Right, Left
//   radio button          Enter
//
// Enter, Right and Down act as Tab; Left and Up as Shift+Tab. In an entry,
// Left and Right are not taken, so they move the caret. Every window of the
// Qt host installs one; until it is initialised (right after the window
// opens) it takes no key.

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

namespace tdx::rt {

class KeyNavigator : public QObject {
  Q_OBJECT
 public:
  // `tab` moves the focus on from a control as Tab (forward) or Shift+Tab
  // would; `enter` tells that Enter was the key (an entry is then accepted
  // even when unchanged).
  using Tabber = std::function<void(QWidget* from, bool forward, bool enter)>;
  explicit KeyNavigator(Tabber tab, QObject* parent = nullptr);

  // Arrows in lists stay off in every window of the program.
  void initialise(bool arrowsInLists = false);
  void watch(QWidget* control);
  bool initialised() const { return initialised_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool take(QWidget* w, const QKeyEvent& key);
  Tabber tab_;
  bool initialised_ = false;
  bool arrowsInLists_ = false;
};

}  // namespace tdx::rt
