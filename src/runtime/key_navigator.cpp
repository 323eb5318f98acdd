#include "runtime/key_navigator.h"

#include <QKeyEvent>
#include <QWidget>

#include "runtime/qt_widget_roles.h"

namespace tdx::rt {

namespace {

enum class Move { None, Forward, Back, EnterForward };

Move moveFor(WidgetRole role, int key, bool arrowsInLists, bool browseKeys) {
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  const bool up = key == Qt::Key_Up, down = key == Qt::Key_Down;
  const bool left = key == Qt::Key_Left, right = key == Qt::Key_Right;
  switch (role) {
    case WidgetRole::Entry:
    case WidgetRole::TextSingle:
      if (enter) return Move::EnterForward;
      if (down) return Move::Forward;
      if (up) return Move::Back;
      break;
    case WidgetRole::Spin:
    case WidgetRole::Combo:
    case WidgetRole::Radio:
      if (enter) return Move::EnterForward;
      break;
    case WidgetRole::List:
    case WidgetRole::DropList:
      if (browseKeys) break;
      if (enter) return Move::EnterForward;
      if (!arrowsInLists && right) return Move::Forward;
      if (!arrowsInLists && left) return Move::Back;
      break;
    case WidgetRole::Button:
      if (down || right) return Move::Forward;
      if (up || left) return Move::Back;
      break;
    case WidgetRole::Check:
      if (enter) return Move::EnterForward;
      if (down || right) return Move::Forward;
      if (up || left) return Move::Back;
      break;
    default:
      break;
  }
  return Move::None;
}

}  // namespace

KeyNavigator::KeyNavigator(Tabber tab, QObject* parent) : QObject(parent), tab_(std::move(tab)) {}

void KeyNavigator::initialise(bool arrowsInLists) {
  arrowsInLists_ = arrowsInLists;
  initialised_ = true;
}

void KeyNavigator::watch(QWidget* control) { control->installEventFilter(this); }

bool KeyNavigator::eventFilter(QObject* watched, QEvent* event) {
  if (!initialised_ || event->type() != QEvent::KeyPress) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  return w && take(w, *static_cast<QKeyEvent*>(event));
}

bool KeyNavigator::take(QWidget* w, const QKeyEvent& key) {
  // Only the plain keys: Shift+Enter, Ctrl+Enter and the like belong to
  // the control or the window.
  Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  if (mods != Qt::NoModifier) return false;
  Move m = moveFor(roleOf(w), key.key(), arrowsInLists_, hasBrowseKeys(w));
  if (m == Move::None) return false;
  tab_(w, m != Move::Back, m == Move::EnterForward);
  return true;
}

}  // namespace tdx::rt
