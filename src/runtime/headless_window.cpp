#include "runtime/headless_window.h"

#include <algorithm>

#include "runtime/browse.h"
#include "runtime/control_values.h"
#include "runtime/popup_items.h"
#include "runtime/ui.h"

namespace tdx::rt {

namespace {

// A browse list's own keys (Insert, Delete, the mouse...) take the slots
// the navigator would give Enter, Left and Right.
bool hasBrowseKeys(const std::vector<AlertKey>& alerts) {
  for (auto k : alerts)
    if (k != AlertKey::Character && k != AlertKey::CtrlApostrophe) return true;
  return false;
}

bool isTextEntry(ControlKind k) {
  return k == ControlKind::Entry || k == ControlKind::Text || k == ControlKind::Spin;
}

const MenuSpec* findIn(const std::vector<MenuSpec>& items, std::string_view label) {
  for (const auto& m : items) {
    if (!m.label.empty() && m.label == label) return &m;
    if (auto* inner = findIn(m.items, label)) return inner;
  }
  return nullptr;
}

}  // namespace

int listRowsFor(int heightDlu) {
  // One row is a text line and a little (9 units); the header takes 10.
  return std::max(1, (heightDlu - 10) / 9);
}

HeadlessWindow::HeadlessWindow(HeadlessWindowHost& host, const WindowSpec& spec, WindowEvents& events,
                               const std::vector<MenuSpec>* menu)
    : host_(&host), events_(&events), spec_(spec), serial_(0), frame_(menu != nullptr) {
  if (menu) menu_ = *menu;
  title_ = spec.title;
  zones_[1] = spec.statusText;
  controls_.reserve(spec_.controls.size());
  for (const auto& cs : spec_.controls) {
    Control c;
    c.spec = cs;
    c.hidden = cs.hidden;
    c.disabled = cs.disabled;
    for (const auto& [label, key] : spec_.alerts)
      if (label == cs.label) c.alerts.push_back(key);
    controls_.push_back(std::move(c));
  }
  for (auto& c : controls_) {
    if (c.spec.kind == ControlKind::Sheet) {
      for (const auto& t : controls_)
        if (t.spec.kind == ControlKind::Tab && t.spec.parent == c.spec.label) {
          c.tab = t.spec.label;
          break;
        }
    }
    if ((c.spec.kind == ControlKind::List || c.spec.kind == ControlKind::DropList) && c.spec.list) {
      c.spec.list->setPageSize(c.spec.kind == ControlKind::List ? listRowsFor(c.spec.at.h) : 10);
    }
  }
  for (auto& c : controls_) refresh(c);
}

// The lists' callbacks stay: a list may go before or after its window, and
// they find the window by its serial, which outlives nothing.
HeadlessWindow::~HeadlessWindow() { host_->forget(*this); }

HeadlessWindow::Control* HeadlessWindow::find(std::string_view label) {
  for (auto& c : controls_)
    if (c.spec.label == label) return &c;
  return nullptr;
}

const HeadlessWindow::Control* HeadlessWindow::find(std::string_view label) const {
  for (const auto& c : controls_)
    if (c.spec.label == label) return &c;
  return nullptr;
}

MenuSpec* HeadlessWindow::findMenu(std::string_view label) {
  return const_cast<MenuSpec*>(findIn(menu_, label));
}

const MenuSpec* HeadlessWindow::menuItem(std::string_view label) const { return findIn(menu_, label); }

bool HeadlessWindow::has(std::string_view label) const { return find(label) || menuItem(label); }

void HeadlessWindow::refresh(Control& c) {
  c.dirty = false;
  if (c.spec.value && (isTextEntry(c.spec.kind) || c.spec.kind == ControlKind::String))
    c.shown = shownText(c.spec);
  else
    c.shown = c.spec.text;
}

void HeadlessWindow::display() {
  for (auto& c : controls_) refresh(c);
}

void HeadlessWindow::display(std::string_view label) {
  if (auto* c = find(label)) refresh(*c);
}

void HeadlessWindow::setText(std::string_view label, std::string_view utf8) {
  if (auto* c = find(label)) {
    c->spec.text = std::string(utf8);
    c->shown = std::string(utf8);
    c->dirty = false;
  } else if (auto* m = findMenu(label)) {
    m->text = std::string(utf8);
  }
}

std::string HeadlessWindow::text(std::string_view label) const {
  if (auto* c = find(label)) return c->shown;
  if (auto* m = menuItem(label)) return m->text;
  return {};
}

void HeadlessWindow::setTitle(std::string_view utf8) { title_ = std::string(utf8); }

void HeadlessWindow::setEnabled(std::string_view label, bool enabled) {
  if (auto* c = find(label)) c->disabled = !enabled;
  else if (auto* m = findMenu(label)) m->disabled = !enabled;
}

void HeadlessWindow::setHidden(std::string_view label, bool hidden) {
  if (auto* c = find(label)) c->hidden = hidden;
}

bool HeadlessWindow::enabled(std::string_view label) const {
  if (auto* c = find(label)) return !c->disabled;
  if (auto* m = menuItem(label)) return !m->disabled;
  return false;
}

bool HeadlessWindow::hidden(std::string_view label) const {
  auto* c = find(label);
  return c && c->hidden;
}

bool HeadlessWindow::visible(std::string_view label) const {
  auto* c = find(label);
  return c && reachable(*c);
}

bool HeadlessWindow::reachable(const Control& c) const {
  if (c.hidden) return false;
  if (c.spec.parent.empty()) return true;
  const Control* p = find(c.spec.parent);
  if (!p) return true;
  if (p->spec.kind == ControlKind::Tab) {
    const Control* sheet = find(p->spec.parent);
    if (sheet && sheet->tab != p->spec.label) return false;
  }
  return reachable(*p);
}

void HeadlessWindow::setAlert(std::string_view label, AlertKey key) {
  if (auto* c = find(label))
    if (std::find(c->alerts.begin(), c->alerts.end(), key) == c->alerts.end()) c->alerts.push_back(key);
}

bool HeadlessWindow::alerted(std::string_view label, AlertKey key) const {
  auto* c = find(label);
  return c && std::find(c->alerts.begin(), c->alerts.end(), key) != c->alerts.end();
}

void HeadlessWindow::focus(std::string_view label) {
  if (!find(label)) return;
  focused_ = std::string(label);
  focusMoved_ = true;
}

std::string HeadlessWindow::currentTab(std::string_view sheet) const {
  auto* c = find(sheet);
  return c ? c->tab : std::string();
}

void HeadlessWindow::selectTab(std::string_view sheet, std::string_view tab) {
  if (auto* c = find(sheet)) c->tab = std::string(tab);
}

std::vector<std::string> HeadlessWindow::tabOrder() const {
  std::vector<std::string> out;
  for (const auto& c : controls_)
    if (takesFocus(c.spec.kind) && !c.disabled && !c.spec.skip && !c.spec.inToolbar && reachable(c))
      out.push_back(c.spec.label);
  return out;
}

BrowseList* HeadlessWindow::list(std::string_view label) const {
  auto* c = find(label);
  return c ? c->spec.list : nullptr;
}

bool HeadlessWindow::readBack(Control& c) {
  if (!c.spec.value) {
    // Nothing to store into: the text stays as typed.
    c.spec.text = c.shown;
    c.dirty = false;
    return true;
  }
  if (!storeTyped(c.spec, c.shown)) {
    host_->beep();
    refresh(c);
    focused_ = c.spec.label;
    return false;
  }
  refresh(c);
  return true;
}

bool HeadlessWindow::acceptAll() {
  for (auto& c : controls_) {
    if (!editsValue(c.spec.kind) || c.disabled || !reachable(c)) continue;
    if (c.dirty && !readBack(c)) return false;
    focusMoved_ = false;
    Event e{Event::Kind::Accepted, c.spec.label};
    e.acceptingAll = true;
    deliver(e);
    if (!open_ || focusMoved_) return false;
  }
  return true;
}

void HeadlessWindow::post(int code) {
  Event e{Event::Kind::Posted};
  e.code = code;
  host_->enqueue(*this, e);
}

int HeadlessWindow::popup(std::string_view items) {
  lastPopup_ = std::string(items);
  auto entries = popupItems(items);
  int choice = host_->takePopupAnswer();
  if (choice < 1 || choice > int(entries.size()) || entries[std::size_t(choice - 1)].greyed) return 0;
  return choice;
}

void HeadlessWindow::listChanged(std::string_view) {}

void HeadlessWindow::close() { open_ = false; }

void HeadlessWindow::setStatus(int zone, std::string_view utf8) { zones_[zone] = std::string(utf8); }

std::string HeadlessWindow::status(int zone) const {
  auto it = zones_.find(zone);
  return it == zones_.end() ? std::string() : it->second;
}

std::vector<std::string> HeadlessWindow::childTitles() const {
  std::vector<std::string> out;
  if (!frame_) return out;
  for (auto* w : host_->windows())
    if (w != this && !w->modal() && !w->isFrame()) out.push_back(w->title());
  return out;
}

void HeadlessWindow::activateChild(int index) {
  auto titles = childTitles();
  if (index < 0 || index >= int(titles.size())) return;
  for (auto* w : host_->windows())
    if (w != this && !w->modal() && !w->isFrame() && index-- == 0) w->gainFocus();
}

void HeadlessWindow::deliver(const Event& e) {
  if (open_) events_->onEvent(*this, e);
}

void HeadlessWindow::act(const Event& e) {
  deliver(e);
  host_->settle();
}

bool HeadlessWindow::leaveFocused(bool enterKey) {
  Control* c = find(focused_);
  if (!c || !isTextEntry(c->spec.kind)) return true;
  if (!c->dirty && !enterKey) return true;
  if (!readBack(*c)) return false;
  focusMoved_ = false;
  deliver(Event{Event::Kind::Accepted, c->spec.label});
  return open_;
}

void HeadlessWindow::moveFocus(bool forward) {
  auto order = tabOrder();
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), focused_);
  if (it == order.end()) {
    focused_ = forward ? order.front() : order.back();
  } else if (forward) {
    focused_ = (it + 1 == order.end()) ? order.front() : *(it + 1);
  } else {
    focused_ = (it == order.begin()) ? order.back() : *(it - 1);
  }
}

bool HeadlessWindow::type(std::string_view label, std::string_view utf8) {
  Control* c = find(label);
  if (!open_ || !c || !isTextEntry(c->spec.kind) || c->disabled || c->spec.readOnly || !reachable(*c)) return false;
  if (focused_ != label) {
    if (!leaveFocused(false)) {
      host_->settle();
      return false;
    }
    c = find(label);
    focused_ = std::string(label);
  }
  c->shown = std::string(utf8);
  c->dirty = true;
  return true;
}

bool HeadlessWindow::enter(std::string_view label, std::string_view utf8) {
  if (!type(label, utf8)) return false;
  return enter(label);
}

bool HeadlessWindow::enter(std::string_view label) {
  Control* c = find(label);
  if (!open_ || !c || c->disabled || !reachable(*c)) return false;
  if (focused_ != label) {
    if (!leaveFocused(false)) {
      host_->settle();
      return false;
    }
    focused_ = std::string(label);
  }
  c = find(label);
  switch (c->spec.kind) {
    case ControlKind::Button:
      return press(label);
    case ControlKind::Text:
      if (!c->spec.single) {
        // A multi-line text box takes Enter as a line break.
        c->shown += "\n";
        c->dirty = true;
        return true;
      }
      break;
    case ControlKind::List:
    case ControlKind::DropList:
      if (hasBrowseKeys(c->alerts)) {
        for (const auto& d : controls_)
          if (d.spec.kind == ControlKind::Button && d.spec.defaultButton && !d.disabled && reachable(d))
            return press(d.spec.label);
        return true;
      }
      break;
    default:
      break;
  }
  focusMoved_ = false;
  bool ok = leaveFocused(isTextEntry(c->spec.kind));
  if (ok && !focusMoved_) moveFocus(true);
  host_->settle();
  return ok;
}

bool HeadlessWindow::tab(bool forward) {
  if (!open_) return false;
  focusMoved_ = false;
  bool ok = leaveFocused(false);
  if (ok && !focusMoved_) moveFocus(forward);
  host_->settle();
  return ok;
}

bool HeadlessWindow::press(std::string_view label) {
  if (!open_) return false;
  if (Control* c = find(label)) {
    if (c->spec.kind != ControlKind::Button || c->disabled || !reachable(*c)) return false;
    if (!c->spec.inToolbar) {
      if (focused_ != label && !leaveFocused(false)) {
        host_->settle();
        return false;
      }
      focused_ = std::string(label);
    }
    act(Event{Event::Kind::Pressed, std::string(label)});
    return true;
  }
  if (const MenuSpec* m = menuItem(label)) {
    if (m->disabled || m->menu) return false;
    act(Event{Event::Kind::Pressed, std::string(label)});
    return true;
  }
  return false;
}

bool HeadlessWindow::check(std::string_view label, bool on) {
  Control* c = find(label);
  if (!open_ || !c || c->spec.kind != ControlKind::Check || c->disabled || !reachable(*c)) return false;
  if (focused_ != label && !leaveFocused(false)) {
    host_->settle();
    return false;
  }
  focused_ = std::string(label);
  if (!storeNumber(c->spec, Decimal(on ? 1 : 0))) return false;
  act(Event{Event::Kind::Accepted, std::string(label)});
  return true;
}

bool HeadlessWindow::choose(std::string_view label, int option) {
  Control* c = find(label);
  if (!open_ || !c || c->spec.kind != ControlKind::Option || c->disabled || !reachable(*c)) return false;
  if (option < 1 || option > int(c->spec.options.size())) return false;
  if (focused_ != label && !leaveFocused(false)) {
    host_->settle();
    return false;
  }
  focused_ = std::string(label);
  if (!storeNumber(c->spec, c->spec.options[std::size_t(option - 1)].second)) return false;
  act(Event{Event::Kind::Accepted, std::string(label)});
  return true;
}

bool HeadlessWindow::alert(std::string_view label, AlertKey key, char32_t character) {
  Control* c = find(label);
  if (!open_ || !c || c->disabled || !reachable(*c) || !alerted(label, key)) return false;
  if (focused_ != label) {
    if (!leaveFocused(false)) {
      host_->settle();
      return false;
    }
    focused_ = std::string(label);
  }
  Event e{Event::Kind::Alert, std::string(label)};
  e.key = key;
  e.character = character;
  act(e);
  return true;
}

bool HeadlessWindow::selectRow(std::string_view label, int row) {
  Control* c = find(label);
  if (!open_ || !c || !c->spec.list || c->disabled || !reachable(*c)) return false;
  if (row < 0 || row >= c->spec.list->rows()) return false;
  if (focused_ != label) {
    if (!leaveFocused(false)) {
      host_->settle();
      return false;
    }
    focused_ = std::string(label);
  }
  c->spec.list->select(row);
  host_->settle();
  return true;
}

bool HeadlessWindow::move(std::string_view label, ListMove how) {
  Control* c = find(label);
  if (!open_ || !c || !c->spec.list || c->disabled || !reachable(*c)) return false;
  if (focused_ != label) {
    if (!leaveFocused(false)) {
      host_->settle();
      return false;
    }
    focused_ = std::string(label);
  }
  BrowseList& l = *c->spec.list;
  switch (how) {
    case ListMove::Up: l.up(); break;
    case ListMove::Down: l.down(); break;
    case ListMove::PageUp: l.pageUp(); break;
    case ListMove::PageDown: l.pageDown(); break;
    case ListMove::Home: l.home(); break;
    case ListMove::End: l.end(); break;
  }
  host_->settle();
  return true;
}

bool HeadlessWindow::dragThumb(std::string_view label, int position) {
  Control* c = find(label);
  if (!open_ || !c || !c->spec.list || c->disabled || !reachable(*c)) return false;
  c->spec.list->dragThumb(std::clamp(position, 0, 100));
  host_->settle();
  return true;
}

void HeadlessWindow::tick() { act(Event{Event::Kind::Timer}); }
void HeadlessWindow::resize() { act(Event{Event::Kind::Resized}); }
void HeadlessWindow::gainFocus() { act(Event{Event::Kind::GainFocus}); }
void HeadlessWindow::requestClose() { act(Event{Event::Kind::CloseRequest}); }

// --- the host ---

HeadlessWindowHost::HeadlessWindowHost(Ui& ui) : ui_(&ui) {}

HeadlessWindowHost::~HeadlessWindowHost() = default;

std::unique_ptr<HeadlessWindow> HeadlessWindowHost::make(const WindowSpec& spec, WindowEvents& events,
                                                         const std::vector<MenuSpec>* menu) {
  auto w = std::make_unique<HeadlessWindow>(*this, spec, events, menu);
  w->serial_ = nextSerial_++;
  windows_[w->serial_] = w.get();
  for (auto& c : w->controls_) {
    if (!c.spec.list) continue;
    std::uint64_t serial = w->serial_;
    std::string label = c.spec.label;
    c.spec.list->onNewSelection = [this, serial, label] {
      if (auto* win = bySerial(serial)) enqueue(*win, Event{Event::Kind::NewSelection, label});
    };
    c.spec.list->onChanged = [] {};
  }
  auto it = scripts_.find(spec.positionName);
  if (it != scripts_.end() && !it->second.empty()) {
    pendingScripts_[w->serial_] = std::move(it->second.front());
    it->second.pop_front();
  }
  enqueue(*w, Event{Event::Kind::Opened});
  return w;
}

std::unique_ptr<Window> HeadlessWindowHost::openWindow(const WindowSpec& spec, WindowEvents& events) {
  return make(spec, events, nullptr);
}

std::unique_ptr<Frame> HeadlessWindowHost::openFrame(const FrameSpec& spec, WindowEvents& events) {
  auto w = make(spec, events, &spec.menu);
  frameSerial_ = w->serial_;
  return w;
}

void HeadlessWindowHost::enqueue(const HeadlessWindow& w, Event e) { queue_.push_back({w.serial_, std::move(e)}); }

HeadlessWindow* HeadlessWindowHost::bySerial(std::uint64_t serial) const {
  auto it = windows_.find(serial);
  return it == windows_.end() ? nullptr : it->second;
}

void HeadlessWindowHost::forget(const HeadlessWindow& w) {
  windows_.erase(w.serial_);
  pendingScripts_.erase(w.serial_);
}

void HeadlessWindowHost::settle() {
  while (!queue_.empty()) {
    Queued q = std::move(queue_.front());
    queue_.pop_front();
    HeadlessWindow* w = bySerial(q.window);
    if (!w || !w->isOpen()) continue;
    w->deliver(q.event);
    if (q.event.kind != Event::Kind::Opened) continue;
    auto s = pendingScripts_.find(q.window);
    if (s == pendingScripts_.end()) continue;
    Script script = std::move(s->second);
    pendingScripts_.erase(s);
    // The Opened handler may have closed the window, or ended the program's
    // procedure and with it the window.
    w = bySerial(q.window);
    if (w && w->isOpen()) {
      script(*w);
      settle();
    }
  }
}

void HeadlessWindowHost::leaveCalled() {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (it->second->isOpen() && it->second->modal()) {
      it->second->requestClose();
      return;
    }
  }
}

void HeadlessWindowHost::onOpen(std::string positionName, Script script) {
  scripts_[std::move(positionName)].push_back(std::move(script));
}

HeadlessWindow* HeadlessWindowHost::find(std::string_view positionName) const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
    if (it->second->isOpen() && it->second->spec().positionName == positionName) return it->second;
  return nullptr;
}

std::vector<HeadlessWindow*> HeadlessWindowHost::windows() const {
  std::vector<HeadlessWindow*> out;
  for (const auto& [serial, w] : windows_)
    if (w->isOpen()) out.push_back(w);
  return out;
}

HeadlessWindow* HeadlessWindowHost::frame() const {
  auto* w = bySerial(frameSerial_);
  return w && w->isOpen() ? w : nullptr;
}

int HeadlessWindowHost::takePopupAnswer() {
  if (popupAnswers_.empty()) return 0;
  int a = popupAnswers_.front();
  popupAnswers_.pop_front();
  return a;
}

void HeadlessWindowHost::beep() {
  ++beeps_;
  ui_->beep();
}

}  // namespace tdx::rt
