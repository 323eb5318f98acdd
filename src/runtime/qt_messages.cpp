// Message, stop and halt boxes of the Qt runtime.

#include <QMessageBox>
#include <QPushButton>

#include "runtime/qt_ui.h"

namespace tdx::rt {

namespace {

QMessageBox::Icon iconOf(Icon i) {
  switch (i) {
    case Icon::Stop: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    case Icon::None: break;
  }
  return QMessageBox::NoIcon;
}

QString lines(const std::string& text) {
  QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

// Escape answers as the button that gives up does: Cancel, No, Ignore.
bool givesUp(const std::string& label) {
  return label == btn::Cancel || label == btn::No || label == btn::Ne || label == btn::Ignore;
}

}  // namespace

int QtUi::message(const Message& m) {
  if (endStatus_) return m.defaultButton;
  QMessageBox box(dialogParent());
  box.setWindowTitle(QString::fromUtf8(m.caption.data(), qsizetype(m.caption.size())));
  box.setText(lines(m.text));
  box.setTextFormat(Qt::PlainText);
  box.setIcon(iconOf(m.icon));
  std::vector<QPushButton*> buttons;
  QPushButton* escape = nullptr;
  for (const auto& label : m.buttons) {
    auto* b = box.addButton(QString::fromUtf8(label.data(), qsizetype(label.size())), QMessageBox::ActionRole);
    buttons.push_back(b);
    if (givesUp(label)) escape = b;
  }
  if (buttons.empty()) buttons.push_back(box.addButton(QStringLiteral("&OK"), QMessageBox::ActionRole));
  int def = m.defaultButton >= 0 && m.defaultButton < int(buttons.size()) ? m.defaultButton : 0;
  box.setDefaultButton(buttons[std::size_t(def)]);
  box.setEscapeButton(escape ? escape : (buttons.size() == 1 ? buttons[0] : nullptr));
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return int(i);
  return def;
}

void QtUi::stopBox(std::string_view text) {
  Message m{"Stop", std::string(text), Icon::Stop, {btn::Abort, btn::Ignore}, 1};
  if (message(m) == 0) throw ProgramEnd(kHaltStatus, std::string(text));
}

void QtUi::haltBox(std::string_view text) {
  message(Message{"Halt", std::string(text), Icon::Stop, {btn::Ok}, 0});
  throw ProgramEnd(kHaltStatus, std::string(text));
}

}  // namespace tdx::rt
