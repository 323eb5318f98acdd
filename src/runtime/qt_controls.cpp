#include "runtime/qt_controls.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "records/cp1250.h"
#include "runtime/browse.h"
#include "runtime/control_values.h"
#include "runtime/pictures.h"
#include "runtime/qt_icons.h"
#include "runtime/qt_list_control.h"
#include "runtime/qt_ui.h"
#include "runtime/qt_widget_roles.h"

namespace tdx::rt {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string us(const QString& s) { return s.toUtf8().toStdString(); }

Qt::Alignment qtAlign(Align a) {
  switch (a) {
    case Align::Center: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
  }
  return Qt::AlignLeft;
}

bool isTextKind(ControlKind k) { return k == ControlKind::Entry || k == ControlKind::Text || k == ControlKind::Spin; }

bool isBackdrop(ControlKind k) {
  return k == ControlKind::Sheet || k == ControlKind::Group || k == ControlKind::Panel || k == ControlKind::Box;
}

// A spin box that shows its value through the control's picture and steps
// it by one.
class PictureSpin : public QAbstractSpinBox {
 public:
  PictureSpin(const ControlSpec* spec, QWidget* parent) : QAbstractSpinBox(parent), spec_(spec) {}
  void stepBy(int steps) override {
    std::string typed = us(text());
    Decimal v = boundNumber(*spec_);
    if (!spec_->picture.empty() && pic::picture(spec_->picture).kind == pic::Kind::Number) {
      if (auto e = pic::parse(spec_->picture, typed)) v = *e.value;
    }
    v += Decimal(steps);
    QString shown = spec_->picture.empty() || pic::picture(spec_->picture).kind != pic::Kind::Number
                        ? qs(v.toExactString())
                        : qs(pic::format(spec_->picture, v)).trimmed();
    lineEdit()->setText(shown);
    emit lineEdit()->textEdited(shown);
  }

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

 private:
  const ControlSpec* spec_;
};

int pictureWidth(const ControlSpec& c) {
  if (c.picture.empty()) return 0;
  const auto& p = pic::picture(c.picture);
  return p.kind == pic::Kind::Text ? p.width : 0;
}

}  // namespace

QtControls::QtControls(QtUi& ui, const WindowSpec& spec, Window& owner, WindowEvents& events)
    : ui_(&ui), spec_(spec), owner_(&owner), events_(&events) {
  font_ = standInFont(spec_.font, spec_.fontSize);
  units_ = DialogUnits(font_);
  highlighter_ = new FocusHighlighter(this);
  navigator_ = new KeyNavigator([this](QWidget* from, bool forward, bool enter) { tabFrom(from, forward, enter); }, this);
  timer_.setParent(this);
  connect(&timer_, &QTimer::timeout, this, [this] { deliver(Event{Event::Kind::Timer}); });
}

// The lists' callbacks are left in place: a list may go before or after its
// window, so they only reach the window through guarded pointers.
QtControls::~QtControls() {
  if (busy_) QApplication::restoreOverrideCursor();
}

QtControls::Ctl* QtControls::find(std::string_view label) {
  for (auto& c : controls_)
    if (c->spec.label == label) return c.get();
  return nullptr;
}

const QtControls::Ctl* QtControls::find(std::string_view label) const {
  for (const auto& c : controls_)
    if (c->spec.label == label) return c.get();
  return nullptr;
}

QtControls::Ctl* QtControls::byWidget(const QObject* w) {
  for (auto& c : controls_) {
    if (c->widget == w) return c.get();
    for (auto* p : c->parts)
      if (p == w) return c.get();
  }
  return nullptr;
}

QWidget* QtControls::widget(std::string_view label) const {
  const Ctl* c = find(label);
  return c ? c->widget : nullptr;
}

void QtControls::build(QWidget* surface, QToolBar* toolbar) {
  for (const auto& cs : spec_.controls) {
    auto c = std::make_unique<Ctl>();
    c->spec = cs;
    c->hidden = cs.hidden;
    for (const auto& [label, key] : spec_.alerts)
      if (label == cs.label) c->alerts.push_back(key);
    controls_.push_back(std::move(c));
  }
  for (auto& c : controls_) {
    c->widget = make(*c, surface, toolbar);
    if (c->widget) wire(*c);
  }
  // Prompts give their mnemonic to the control after them.
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    auto* label = qobject_cast<QLabel*>(controls_[i]->widget);
    if (!label || controls_[i]->spec.kind != ControlKind::Prompt) continue;
    for (std::size_t j = i + 1; j < controls_.size(); ++j)
      if (takesFocus(controls_[j]->spec.kind) && controls_[j]->widget) {
        label->setBuddy(controls_[j]->widget);
        break;
      }
  }
  for (auto& c : controls_)
    if (c->widget && isBackdrop(c->spec.kind)) c->widget->lower();
  applyVisibility();
  display();
}

QSize QtControls::extent() const {
  QRect r;
  for (const auto& c : controls_)
    if (c->widget && !c->spec.inToolbar && c->spec.kind != ControlKind::Tab) r = r.united(c->widget->geometry());
  return QSize(r.right() + units_.x(4), r.bottom() + units_.y(4));
}

QWidget* QtControls::make(Ctl& c, QWidget* surface, QToolBar* toolbar) {
  const ControlSpec& s = c.spec;
  const bool toToolbar = s.inToolbar && toolbar;
  QWidget* parent = toToolbar ? static_cast<QWidget*>(toolbar) : surface;
  if (!parent) return nullptr;
  QWidget* w = nullptr;
  switch (s.kind) {
    case ControlKind::Prompt:
    case ControlKind::String: {
      auto* l = new QLabel(qs(s.text), parent);
      l->setAlignment(qtAlign(s.align) | Qt::AlignVCenter);
      if (s.kind == ControlKind::String && s.at.h > 12) {
        l->setWordWrap(true);
        l->setAlignment(qtAlign(s.align) | Qt::AlignTop);
      }
      if (s.kind == ControlKind::String) l->setTextFormat(Qt::PlainText);
      w = l;
      break;
    }
    case ControlKind::Entry:
    case ControlKind::Text:
      if (s.kind == ControlKind::Entry || s.single) {
        auto* e = new QLineEdit(parent);
        if (int n = pictureWidth(s)) e->setMaxLength(n);
        e->setAlignment(qtAlign(s.align));
        e->setReadOnly(s.readOnly);
        connect(e, &QLineEdit::textEdited, this, [&c] { c.dirty = true; });
        setRole(e, s.kind == ControlKind::Entry ? WidgetRole::Entry : WidgetRole::TextSingle);
        w = e;
      } else {
        auto* t = new QPlainTextEdit(parent);
        t->setTabChangesFocus(true);
        t->setReadOnly(s.readOnly);
        connect(t, &QPlainTextEdit::textChanged, this, [this, &c] {
          if (!loading_) c.dirty = true;
        });
        setRole(t, WidgetRole::TextMulti);
        w = t;
      }
      break;
    case ControlKind::Spin: {
      auto* sp = new PictureSpin(&c.spec, parent);
      sp->setReadOnly(s.readOnly);
      connect(sp->findChild<QLineEdit*>(), &QLineEdit::textEdited, this, [&c] { c.dirty = true; });
      setRole(sp, WidgetRole::Spin);
      w = sp;
      break;
    }
    case ControlKind::Button: {
      QIcon icon = iconFor(s.icon, ui_->folder());
      if (toToolbar) {
        auto* b = new QToolButton(parent);
        b->setIcon(icon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        if (!s.text.empty()) b->setText(qs(s.text));
        b->setToolButtonStyle(s.icon.empty() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
        b->setFixedSize(units_.size(s.at.w ? s.at.w : 18, s.at.h ? s.at.h : 16));
        b->setIconSize(b->size() - QSize(10, 10));
        connect(b, &QToolButton::clicked, this, [this, &c] { press(c); });
        w = b;
      } else {
        auto* b = new QPushButton(icon, qs(s.text), parent);
        b->setFlat(s.flat);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, &c, b] {
          // A click that a refused entry took the focus back from presses
          // nothing.
          if (b->focusPolicy() == Qt::NoFocus || b->window()->focusWidget() == b) press(c);
        });
        w = b;
      }
      setRole(w, WidgetRole::Button);
      break;
    }
    case ControlKind::Option: {
      auto* box = new QGroupBox(qs(s.text), parent);
      auto* layout = new QVBoxLayout(box);
      layout->setContentsMargins(units_.x(4), units_.y(2), units_.x(4), units_.y(2));
      layout->setSpacing(units_.y(2));
      c.radios = new QButtonGroup(box);
      for (std::size_t i = 0; i < s.options.size(); ++i) {
        auto* r = new QRadioButton(qs(s.options[i].first), box);
        layout->addWidget(r);
        c.radios->addButton(r, int(i));
        setRole(r, WidgetRole::Radio);
        c.parts.push_back(r);
      }
      connect(c.radios, &QButtonGroup::idClicked, this, [this, &c](int id) {
        if (id < 0 || id >= int(c.spec.options.size())) return;
        storeNumber(c.spec, c.spec.options[std::size_t(id)].second);
        focusMoved_ = false;
        deliver(Event{Event::Kind::Accepted, c.spec.label});
      });
      w = box;
      break;
    }
    case ControlKind::Check: {
      auto* b = new QCheckBox(qs(s.text), parent);
      connect(b, &QCheckBox::clicked, this, [this, &c](bool on) {
        storeNumber(c.spec, Decimal(on ? 1 : 0));
        focusMoved_ = false;
        deliver(Event{Event::Kind::Accepted, c.spec.label});
      });
      setRole(b, WidgetRole::Check);
      w = b;
      break;
    }
    case ControlKind::DropList:
    case ControlKind::List: {
      if (!s.list) {
        w = new QLabel(parent);
        break;
      }
      std::string label = s.label;
      if (s.kind == ControlKind::List) {
        auto* l = new ListControl(*s.list, units_, parent);
        c.list = l;
        connect(l, &ListControl::doubleClicked, this, [this, &c] { alert(c, AlertKey::DoubleClick); });
        connect(l, &ListControl::rightClicked, this, [this, &c] {
          alert(c, AlertKey::RightClick);
        });
        setRole(l, WidgetRole::List);
        w = l;
        s.list->onChanged = [l = QPointer<ListControl>(l)] {
          if (l) l->refresh();
        };
      } else {
        auto* d = new DropListControl(*s.list, units_, parent);
        c.drop = d;
        connect(d, &DropListControl::chosen, this, [this, &c] {
          focusMoved_ = false;
          deliver(Event{Event::Kind::Accepted, c.spec.label});
        });
        setRole(d, WidgetRole::DropList);
        w = d;
        s.list->onChanged = [d = QPointer<DropListControl>(d)] {
          if (d) d->refresh();
        };
      }
      s.list->onNewSelection = [self = QPointer<QtControls>(this), label] {
        if (!self) return;
        QMetaObject::invokeMethod(
            self, [s = self.data(), label] { s->deliver(Event{Event::Kind::NewSelection, label}); },
            Qt::QueuedConnection);
      };
      break;
    }
    case ControlKind::Sheet: {
      auto* t = new QTabWidget(parent);
      t->setFocusPolicy(Qt::NoFocus);
      t->tabBar()->setFocusPolicy(Qt::NoFocus);
      std::string label = s.label;
      connect(t, &QTabWidget::currentChanged, this, [this, label] {
        applyVisibility();
        if (!programmatic_) deliver(Event{Event::Kind::NewSelection, label});
      });
      w = t;
      break;
    }
    case ControlKind::Tab: {
      Ctl* sheet = find(s.parent);
      auto* tabs = sheet ? qobject_cast<QTabWidget*>(sheet->widget) : nullptr;
      if (!tabs) return nullptr;
      programmatic_ = true;
      c.sheetIndex = tabs->addTab(new QWidget(tabs), qs(s.text));
      programmatic_ = false;
      return nullptr;  // the page is the sheet's; nothing of its own to place
    }
    case ControlKind::Group:
      w = new QGroupBox(qs(s.text), parent);
      break;
    case ControlKind::Panel: {
      auto* f = new QFrame(parent);
      f->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
      w = f;
      break;
    }
    case ControlKind::Box: {
      auto* f = new QFrame(parent);
      f->setFrameStyle(QFrame::Box | QFrame::Plain);
      w = f;
      break;
    }
    case ControlKind::Line: {
      auto* f = new QFrame(parent);
      f->setFrameStyle((s.at.w >= s.at.h ? QFrame::HLine : QFrame::VLine) | QFrame::Sunken);
      w = f;
      break;
    }
    case ControlKind::Image: {
      auto* l = new QLabel(parent);
      l->setAlignment(Qt::AlignCenter);
      QSize size = units_.size(s.at.w ? s.at.w : 32, s.at.h ? s.at.h : 32);
      l->setPixmap(pictureFor(s.icon.empty() ? s.text : s.icon, ui_->folder(), size));
      w = l;
      break;
    }
    case ControlKind::Progress: {
      auto* p = new QProgressBar(parent);
      p->setRange(0, 100);
      p->setTextVisible(false);
      w = p;
      break;
    }
  }
  if (!w) return nullptr;
  w->setObjectName(qs(s.label));
  if (!s.font.empty() || s.fontSize > 0 || s.bold)
    w->setFont(standInFont(s.font.empty() ? spec_.font : s.font, s.fontSize > 0 ? s.fontSize : spec_.fontSize, s.bold));
  if (s.color.set || s.background.set) {
    QPalette p = w->palette();
    if (s.color.set) {
      p.setColor(QPalette::WindowText, QColor(s.color.r, s.color.g, s.color.b));
      p.setColor(QPalette::Text, QColor(s.color.r, s.color.g, s.color.b));
    }
    if (s.background.set) {
      QColor bg(s.background.r, s.background.g, s.background.b);
      p.setColor(QPalette::Window, bg);
      p.setColor(QPalette::Base, bg);
      w->setAutoFillBackground(true);
    }
    w->setPalette(p);
  }
  if (!s.tip.empty()) w->setToolTip(qs(s.tip));
  if (s.disabled) w->setEnabled(false);
  if (s.skip && w->focusPolicy() != Qt::NoFocus) w->setFocusPolicy(Qt::ClickFocus);
  setRequired(w, s.required);
  setInToolbar(w, s.inToolbar);
  for (auto* part : c.parts) {
    setInToolbar(part, s.inToolbar);
    setRequired(part, s.required);
  }
  if (toToolbar) {
    toolbar->addWidget(w);
  } else {
    QRect r = units_.rect(s.at);
    QSize hint = w->sizeHint();
    if (s.at.w == 0) r.setWidth(hint.width());
    if (s.at.h == 0) r.setHeight(hint.height());
    w->setGeometry(r);
  }
  return w;
}

void QtControls::wire(Ctl& c) {
  std::vector<QWidget*> targets = c.parts.empty() ? std::vector<QWidget*>{c.widget} : c.parts;
  bool browseKeys = false;
  for (auto k : c.alerts) browseKeys = browseKeys || (k != AlertKey::Character && k != AlertKey::CtrlApostrophe);
  for (auto* t : targets) {
    if (c.spec.kind == ControlKind::List || c.spec.kind == ControlKind::DropList) setBrowseKeys(t, browseKeys);
    highlighter_->watch(t);
    navigator_->watch(t);
    // Installed last, so it sees the events first: alert keys before the
    // navigator's.
    t->installEventFilter(this);
  }
}

bool QtControls::visibleNow(const Ctl& c) const {
  if (c.hidden) return false;
  if (c.spec.parent.empty()) return true;
  const Ctl* p = find(c.spec.parent);
  if (!p) return true;
  if (p->spec.kind == ControlKind::Tab) {
    const Ctl* sheet = find(p->spec.parent);
    auto* tabs = sheet ? qobject_cast<QTabWidget*>(sheet->widget) : nullptr;
    if (tabs && tabs->currentIndex() != p->sheetIndex) return false;
    return !p->hidden && (!sheet || visibleNow(*sheet));
  }
  return visibleNow(*p);
}

void QtControls::applyVisibility() {
  for (auto& c : controls_)
    if (c->widget && c->spec.kind != ControlKind::Tab) c->widget->setVisible(visibleNow(*c));
}

void QtControls::refresh(Ctl& c) {
  const ControlSpec& s = c.spec;
  c.dirty = false;
  if (!c.widget) return;
  switch (s.kind) {
    case ControlKind::Entry:
    case ControlKind::Text:
    case ControlKind::Spin:
      if (!s.value) break;
      if (auto* e = qobject_cast<QLineEdit*>(c.widget)) {
        e->setText(qs(shownText(s)));
        e->setCursorPosition(0);
      } else if (auto* t = qobject_cast<QPlainTextEdit*>(c.widget)) {
        t->setPlainText(qs(shownText(s)));
      } else if (auto* sp = qobject_cast<QAbstractSpinBox*>(c.widget)) {
        sp->findChild<QLineEdit*>()->setText(qs(shownText(s)));
      }
      break;
    case ControlKind::String:
      if (s.value) static_cast<QLabel*>(c.widget)->setText(qs(shownText(s)));
      break;
    case ControlKind::Check:
      if (s.value) static_cast<QCheckBox*>(c.widget)->setChecked(!boundNumber(s).isZero());
      break;
    case ControlKind::Option:
      if (s.value && c.radios) {
        Decimal v = boundNumber(s);
        for (std::size_t i = 0; i < s.options.size(); ++i)
          if (s.options[i].second == v) c.radios->button(int(i))->setChecked(true);
      }
      break;
    case ControlKind::Progress:
      if (s.value) {
        auto n = boundNumber(s).truncated().toInt64().value_or(0);
        static_cast<QProgressBar*>(c.widget)->setValue(int(std::clamp<std::int64_t>(n, 0, 100)));
      }
      break;
    case ControlKind::List:
      if (c.list) c.list->refresh();
      break;
    case ControlKind::DropList:
      if (c.drop) c.drop->refresh();
      break;
    default:
      break;
  }
}

void QtControls::display() {
  loading_ = true;
  for (auto& c : controls_) refresh(*c);
  loading_ = false;
}

void QtControls::display(std::string_view label) {
  if (Ctl* c = find(label)) {
    loading_ = true;
    refresh(*c);
    loading_ = false;
  }
}

void QtControls::setText(std::string_view label, std::string_view utf8) {
  Ctl* c = find(label);
  if (!c) return;
  c->spec.text = std::string(utf8);
  QString t = qs(utf8);
  if (c->spec.kind == ControlKind::Tab) {
    Ctl* sheet = find(c->spec.parent);
    if (auto* tabs = sheet ? qobject_cast<QTabWidget*>(sheet->widget) : nullptr) tabs->setTabText(c->sheetIndex, t);
    return;
  }
  if (!c->widget) return;
  if (auto* l = qobject_cast<QLabel*>(c->widget)) {
    if (c->spec.kind == ControlKind::Image) l->setPixmap(pictureFor(c->spec.text, ui_->folder(), l->size()));
    else l->setText(t);
  } else if (auto* b = qobject_cast<QAbstractButton*>(c->widget)) {
    b->setText(t);
  } else if (auto* g = qobject_cast<QGroupBox*>(c->widget)) {
    g->setTitle(t);
  } else if (auto* e = qobject_cast<QLineEdit*>(c->widget)) {
    loading_ = true;
    e->setText(t);
    loading_ = false;
    c->dirty = false;
  } else if (auto* p = qobject_cast<QPlainTextEdit*>(c->widget)) {
    loading_ = true;
    p->setPlainText(t);
    loading_ = false;
    c->dirty = false;
  }
  // The procedure shows a progress text before slow work: paint it now.
  c->widget->repaint();
}

QString QtControls::typed(const Ctl& c) const {
  if (auto* e = qobject_cast<QLineEdit*>(c.widget)) return e->text();
  if (auto* t = qobject_cast<QPlainTextEdit*>(c.widget)) return t->toPlainText();
  if (auto* sp = qobject_cast<QAbstractSpinBox*>(c.widget)) return sp->text();
  if (auto* l = qobject_cast<QLabel*>(c.widget)) return l->text();
  return qs(c.spec.text);
}

std::string QtControls::text(std::string_view label) const {
  const Ctl* c = find(label);
  if (!c) return {};
  switch (c->spec.kind) {
    case ControlKind::Entry:
    case ControlKind::Text:
    case ControlKind::Spin:
    case ControlKind::String:
      return c->widget ? us(typed(*c)) : c->spec.text;
    default:
      return c->spec.text;
  }
}

void QtControls::setEnabled(std::string_view label, bool enabled) {
  Ctl* c = find(label);
  if (!c) return;
  c->spec.disabled = !enabled;
  if (c->spec.kind == ControlKind::Tab) {
    Ctl* sheet = find(c->spec.parent);
    if (auto* tabs = sheet ? qobject_cast<QTabWidget*>(sheet->widget) : nullptr)
      tabs->setTabEnabled(c->sheetIndex, enabled);
  } else if (c->widget) {
    c->widget->setEnabled(enabled);
  }
}

void QtControls::setHidden(std::string_view label, bool hidden) {
  Ctl* c = find(label);
  if (!c) return;
  c->hidden = hidden;
  if (c->spec.kind == ControlKind::Tab) {
    Ctl* sheet = find(c->spec.parent);
    if (auto* tabs = sheet ? qobject_cast<QTabWidget*>(sheet->widget) : nullptr)
      tabs->setTabVisible(c->sheetIndex, !hidden);
  }
  applyVisibility();
}

bool QtControls::enabled(std::string_view label) const {
  const Ctl* c = find(label);
  return c && !c->spec.disabled;
}

bool QtControls::hidden(std::string_view label) const {
  const Ctl* c = find(label);
  return c && c->hidden;
}

bool QtControls::alerted(const Ctl& c, AlertKey key) const {
  return std::find(c.alerts.begin(), c.alerts.end(), key) != c.alerts.end();
}

void QtControls::setAlert(std::string_view label, AlertKey key) {
  Ctl* c = find(label);
  if (!c || alerted(*c, key)) return;
  c->alerts.push_back(key);
  bool browse = key != AlertKey::Character && key != AlertKey::CtrlApostrophe;
  if (browse && (c->spec.kind == ControlKind::List || c->spec.kind == ControlKind::DropList) && c->widget)
    setBrowseKeys(c->widget, true);
}

void QtControls::alert(Ctl& c, AlertKey key, char32_t ch) {
  if (!alerted(c, key)) return;
  Event e{Event::Kind::Alert, c.spec.label};
  e.key = key;
  e.character = ch;
  deliver(e);
}

QWidget* QtControls::focusTarget(Ctl& c) const {
  if (c.radios) {
    if (auto* b = c.radios->checkedButton()) return b;
    return c.parts.empty() ? c.widget : c.parts.front();
  }
  return c.widget;
}

void QtControls::setFocusTo(QWidget* w) {
  if (!w) return;
  programmatic_ = true;
  w->setFocus(Qt::TabFocusReason);
  programmatic_ = false;
}

void QtControls::focus(std::string_view label) {
  Ctl* c = find(label);
  if (!c) return;
  focused_ = std::string(label);
  focusMoved_ = true;
  if (QWidget* w = focusTarget(*c)) {
    programmatic_ = true;
    w->setFocus(Qt::OtherFocusReason);
    programmatic_ = false;
  }
}

std::string QtControls::currentTab(std::string_view sheet) const {
  const Ctl* s = find(sheet);
  auto* tabs = s ? qobject_cast<QTabWidget*>(s->widget) : nullptr;
  if (!tabs) return {};
  for (const auto& c : controls_)
    if (c->spec.kind == ControlKind::Tab && c->spec.parent == sheet && c->sheetIndex == tabs->currentIndex())
      return c->spec.label;
  return {};
}

void QtControls::selectTab(std::string_view sheet, std::string_view tab) {
  Ctl* s = find(sheet);
  Ctl* t = find(tab);
  auto* tabs = s ? qobject_cast<QTabWidget*>(s->widget) : nullptr;
  if (!tabs || !t) return;
  programmatic_ = true;
  tabs->setCurrentIndex(t->sheetIndex);
  programmatic_ = false;
  applyVisibility();
}

std::vector<QtControls::Ctl*> QtControls::tabOrder() {
  std::vector<Ctl*> out;
  for (auto& c : controls_)
    if (c->widget && takesFocus(c->spec.kind) && !c->spec.disabled && !c->spec.skip && !c->spec.inToolbar &&
        visibleNow(*c))
      out.push_back(c.get());
  return out;
}

bool QtControls::commit(Ctl& c, bool) {
  if (isTextKind(c.spec.kind)) {
    std::string t = us(typed(c));
    if (c.spec.value) {
      if (!storeTyped(c.spec, t)) {
        ui_->beep();
        loading_ = true;
        refresh(c);
        loading_ = false;
        // Back to the refused entry once the focus change in progress is
        // over.
        QPointer<QWidget> w = focusTarget(c);
        std::string label = c.spec.label;
        QMetaObject::invokeMethod(
            this,
            [this, w, label] {
              if (w) setFocusTo(w);
              focused_ = label;
            },
            Qt::QueuedConnection);
        focused_ = c.spec.label;
        return false;
      }
    } else {
      c.spec.text = t;
    }
    loading_ = true;
    refresh(c);
    loading_ = false;
  }
  focusMoved_ = false;
  deliver(Event{Event::Kind::Accepted, c.spec.label});
  return isOpen();
}

void QtControls::tabFrom(QWidget* from, bool forward, bool enter) {
  Ctl* c = byWidget(from);
  if (c && isTextKind(c->spec.kind) && (c->dirty || enter)) {
    if (!commit(*c, enter) || !isOpen() || focusMoved_) return;
  }
  auto order = tabOrder();
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), c);
  Ctl* next = nullptr;
  if (it == order.end()) next = forward ? order.front() : order.back();
  else if (forward) next = (it + 1 == order.end()) ? order.front() : *(it + 1);
  else next = (it == order.begin()) ? order.back() : *(it - 1);
  setFocusTo(focusTarget(*next));
  focused_ = next->spec.label;
}

void QtControls::press(Ctl& c) {
  if (c.spec.disabled || !visibleNow(c)) return;
  // A control still holding typed text is left first (a toolbar button
  // or a mnemonic does not take the focus from it).
  for (auto& other : controls_) {
    if (other.get() != &c && other->dirty && isTextKind(other->spec.kind)) {
      if (!commit(*other, false) || !isOpen()) return;
    }
  }
  deliver(Event{Event::Kind::Pressed, c.spec.label});
}

bool QtControls::acceptAll() {
  for (auto& c : controls_) {
    if (!c->widget || !editsValue(c->spec.kind) || c->spec.disabled || !visibleNow(*c)) continue;
    if (c->dirty && isTextKind(c->spec.kind)) {
      if (!storeTyped(c->spec, us(typed(*c)))) {
        ui_->beep();
        loading_ = true;
        refresh(*c);
        loading_ = false;
        focus(c->spec.label);
        return false;
      }
      loading_ = true;
      refresh(*c);
      loading_ = false;
    }
    focusMoved_ = false;
    Event e{Event::Kind::Accepted, c->spec.label};
    e.acceptingAll = true;
    deliver(e);
    if (!isOpen() || focusMoved_) return false;
  }
  return true;
}

bool QtControls::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
      if (Ctl* c = byWidget(watched)) focused_ = c->spec.label;
      break;
    case QEvent::FocusOut: {
      Ctl* c = byWidget(watched);
      auto reason = static_cast<QFocusEvent*>(event)->reason();
      // A message box or a pop-up taking the focus for a moment leaves the
      // entry as it is.
      if (c && c->dirty && !programmatic_ && reason != Qt::ActiveWindowFocusReason &&
          reason != Qt::PopupFocusReason && isOpen())
        commit(*c, false);
      break;
    }
    case QEvent::KeyPress: {
      Ctl* c = byWidget(watched);
      if (!c || !isOpen()) break;
      auto* k = static_cast<QKeyEvent*>(event);
      const auto mods = k->modifiers() & ~Qt::KeypadModifier;
      const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
      if (enter && mods == Qt::NoModifier) {
        if (c->spec.kind == ControlKind::Button) {
          press(*c);
          return true;
        }
        if ((c->spec.kind == ControlKind::List || c->spec.kind == ControlKind::DropList) && hasBrowseKeys(c->widget)) {
          for (auto& d : controls_)
            if (d->spec.kind == ControlKind::Button && d->spec.defaultButton && visibleNow(*d) && !d->spec.disabled) {
              press(*d);
              return true;
            }
        }
      }
      AlertKey key;
      bool isAlert = true;
      if (enter && mods == Qt::ControlModifier) key = AlertKey::CtrlEnter;
      else if (k->key() == Qt::Key_Insert && mods == Qt::NoModifier) key = AlertKey::Insert;
      else if (k->key() == Qt::Key_Delete && mods == Qt::NoModifier) key = AlertKey::Delete;
      else if (k->key() == Qt::Key_Menu) key = AlertKey::ContextMenu;
      else if ((mods & Qt::ControlModifier) && (k->key() == Qt::Key_Apostrophe || k->text() == "'"))
        key = AlertKey::CtrlApostrophe;
      else isAlert = false;
      if (isAlert) {
        if (!alerted(*c, key)) break;
        alert(*c, key);
        return true;
      }
      if (alerted(*c, AlertKey::Character) && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
        QString t = k->text();
        if (!t.isEmpty() && t.at(0).isPrint()) {
          alert(*c, AlertKey::Character, char32_t(t.toUcs4().value(0)));
          return true;
        }
      }
      break;
    }
    case QEvent::MouseButtonDblClick: {
      Ctl* c = byWidget(watched);
      if (c && alerted(*c, AlertKey::DoubleClick) && !c->list) {
        alert(*c, AlertKey::DoubleClick);
        return true;
      }
      break;
    }
    case QEvent::ContextMenu: {
      Ctl* c = byWidget(watched);
      if (!c || c->list) break;
      auto* cm = static_cast<QContextMenuEvent*>(event);
      AlertKey key = cm->reason() == QContextMenuEvent::Keyboard ? AlertKey::ContextMenu : AlertKey::RightClick;
      if (alerted(*c, key)) {
        alert(*c, key);
        return true;
      }
      break;
    }
    default:
      break;
  }
  return false;
}

void QtControls::opened() {
  if (closed_ || open_) return;
  open_ = true;
  highlighter_->initialise();
  navigator_->initialise();
  highlighter_->rehighlight();
  deliver(Event{Event::Kind::Opened});
}

void QtControls::closed() {
  closed_ = true;
  timer_.stop();
  setBusy(false);
}

void QtControls::deliver(const Event& e) {
  if (closed_ || (!open_ && e.kind != Event::Kind::Opened)) return;
  ui_->guard([&] { events_->onEvent(*owner_, e); });
}

void QtControls::post(int code) {
  QMetaObject::invokeMethod(
      this,
      [this, code] {
        Event e{Event::Kind::Posted};
        e.code = code;
        deliver(e);
      },
      Qt::QueuedConnection);
}

void QtControls::setTimer(int hundredths) {
  if (hundredths <= 0) {
    timer_.stop();
    return;
  }
  timer_.start(hundredths * 10);
}

void QtControls::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void QtControls::listChanged(std::string_view label) {
  if (Ctl* c = find(label)) refresh(*c);
}

}  // namespace tdx::rt
