#include "runtime/focus_highlighter.h"

#include <QEvent>

#include "runtime/qt_widget_roles.h"

namespace tdx::rt {

namespace {

bool highlightable(WidgetRole r) {
  switch (r) {
    case WidgetRole::Entry:
    case WidgetRole::TextMulti:
    case WidgetRole::TextSingle:
    case WidgetRole::Spin:
    case WidgetRole::Combo:
    case WidgetRole::Check:
    case WidgetRole::Radio:
    case WidgetRole::List:
    case WidgetRole::DropList:
      return true;
    default:
      return false;
  }
}

}  // namespace

FocusHighlighter::FocusHighlighter(QObject* parent) : QObject(parent) {}

void FocusHighlighter::initialise() {
  changeColour_ = true;
  bold_ = true;
  background_ = colour();
  requiredBackground_ = colour();
}

void FocusHighlighter::watch(QWidget* control) { control->installEventFilter(this); }

bool FocusHighlighter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    restore();
    highlight(qobject_cast<QWidget*>(watched));
  }
  return false;
}

void FocusHighlighter::rehighlight() {
  QWidget* w = current_;
  restore();
  // The window's focus widget, whether or not the window is the active one.
  if (w && w->window()->focusWidget() == w) highlight(w);
}

void FocusHighlighter::highlight(QWidget* w) {
  current_ = nullptr;
  if (!w || inToolbar(w) || !w->isVisible() || !highlightable(roleOf(w))) return;
  current_ = w;
  WidgetRole role = roleOf(w);
  paints_ = role != WidgetRole::List && role != WidgetRole::DropList;
  if (!paints_) return;
  hadPalette_ = w->testAttribute(Qt::WA_SetPalette);
  savedPalette_ = w->palette();
  hadFont_ = w->testAttribute(Qt::WA_SetFont);
  savedFont_ = w->font();
  savedAutoFill_ = w->autoFillBackground();
  if (changeColour_) {
    QPalette p = w->palette();
    QColor c = isRequired(w) ? requiredBackground_ : background_;
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    // Check boxes and radio buttons paint no background of their own.
    if (role == WidgetRole::Check || role == WidgetRole::Radio) w->setAutoFillBackground(true);
  }
  if (bold_) {
    QFont f = w->font();
    f.setWeight(QFont::Bold);
    w->setFont(f);
  }
}

void FocusHighlighter::restore() {
  QWidget* w = current_;
  current_ = nullptr;
  if (!w || !paints_) return;
  if (hadPalette_) w->setPalette(savedPalette_);
  else w->setPalette(QPalette());
  if (hadFont_) w->setFont(savedFont_);
  else w->setFont(QFont());
  w->setAutoFillBackground(savedAutoFill_);
}

}  // namespace tdx::rt
