#pragma once
// The focus highlighter: the control that has the focus is painted yellow
// and bold, and gets its own look back when the focus leaves it. Every
// window of the Qt host installs one.
//
// Highlighted are the controls a user types into or chooses with: entries,
// text boxes, spin boxes, combo boxes, check boxes and radio buttons. Lists
// and drop lists count as highlighted but keep their look. Buttons and
// every other kind are left alone, as is a control in a toolbar or one that
// is hidden.

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QWidget>

namespace tdx::rt {

class FocusHighlighter : public QObject {
  Q_OBJECT
 public:
  explicit FocusHighlighter(QObject* parent = nullptr);

  // The settings every window uses: yellow (255, 255, 0) for the focused
  // control and for a focused required control, bold text.
  void initialise();
  // Follow the focus of this control (its widget carries its role).
  void watch(QWidget* control);
  // After a resize or a maximise: restore and highlight again, so the
  // highlight survives the redraw.
  void rehighlight();

  QWidget* highlighted() const { return current_; }
  static QColor colour() { return QColor(255, 255, 0); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void highlight(QWidget* w);
  void restore();

  bool changeColour_ = false;
  bool bold_ = false;
  QColor background_, requiredBackground_;
  QPointer<QWidget> current_;
  bool paints_ = false;  // lists keep their look
  QPalette savedPalette_;
  bool hadPalette_ = false;
  QFont savedFont_;
  bool hadFont_ = false;
  bool savedAutoFill_ = false;
};

}  // namespace tdx::rt
