#pragma once
// The headless window host: windows as a control model that tests (and
// `tendrix run`) drive without any widget. A test types into a control and
// leaves it, presses buttons, moves a list's highlight, sends alert keys and
// reads texts, states and the focus; the procedure gets the same events it
// would get on the screen.
//
// Every driving call delivers its event at once and then everything queued
// behind it (posted events, NewSelection of lists, Opened of windows opened
// meanwhile), so when it returns the program is at rest again.
//
// Scripts: a test registers what to do in a window by its position name
// ("upponud"); the next window opened under that name runs it right after
// its Opened event. A called (modal) procedure's window is driven by its
// script; when the script leaves it open, the host closes it with a
// CloseRequest, as a user leaving the form would.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/frame.h"
#include "runtime/window.h"

namespace tdx::rt {

class Ui;
class HeadlessWindowHost;

enum class ListMove { Up, Down, PageUp, PageDown, Home, End };

// One headless window. It implements the frame's interface too, so that the
// main frame is driven like any window (menu items are pressed by label).
class HeadlessWindow : public Frame {
 public:
  HeadlessWindow(HeadlessWindowHost& host, const WindowSpec& spec, WindowEvents& events,
                 const std::vector<MenuSpec>* menu = nullptr);
  ~HeadlessWindow() override;

  // Window
  void display() override;
  void display(std::string_view label) override;
  void setText(std::string_view label, std::string_view utf8) override;
  // What a control shows (UTF-8): an entry's text, a prompt's, a button's
  // ("&Potrdi"), a menu item's; "" for an unknown label.
  std::string text(std::string_view label) const override;
  void setTitle(std::string_view utf8) override;
  void setStatus(std::string_view utf8) override { setStatus(1, utf8); }
  void setEnabled(std::string_view label, bool enabled) override;
  void setHidden(std::string_view label, bool hidden) override;
  bool enabled(std::string_view label) const override;
  bool hidden(std::string_view label) const override;
  void setAlert(std::string_view label, AlertKey key) override;
  void focus(std::string_view label) override;
  std::string focused() const override { return focused_; }
  std::string currentTab(std::string_view sheet) const override;
  void selectTab(std::string_view sheet, std::string_view tab) override;
  bool acceptAll() override;
  void post(int code) override;
  void setTimer(int hundredths) override { timer_ = hundredths; }
  int popup(std::string_view items) override;
  void setBusy(bool busy) override { busy_ = busy; }
  void listChanged(std::string_view label) override;
  void close() override;
  bool isOpen() const override { return open_; }

  // Frame
  void setStatus(int zone, std::string_view utf8) override;
  std::string status(int zone) const override;
  void cascade() override {}
  std::vector<std::string> childTitles() const override;
  void activateChild(int index) override;

  // Reading.
  const WindowSpec& spec() const { return spec_; }
  bool modal() const { return spec_.modal; }
  bool isFrame() const { return frame_; }
  std::string title() const { return title_; }
  std::string status() const { return status(1); }
  bool busy() const { return busy_; }
  int timer() const { return timer_; }
  bool has(std::string_view label) const;
  // Not hidden itself, nor its group or tab, and its tab is the one shown.
  bool visible(std::string_view label) const;
  bool alerted(std::string_view label, AlertKey key) const;
  // The controls the Tab key goes through now, in order.
  std::vector<std::string> tabOrder() const;
  // A frame's menu bar as it stands, and one item by label (nullptr when
  // unknown), with its state.
  const std::vector<MenuSpec>& menu() const { return menu_; }
  const MenuSpec* menuItem(std::string_view label) const;
  // The items of the last pop-up menu shown ("" when none).
  const std::string& lastPopup() const { return lastPopup_; }
  BrowseList* list(std::string_view label) const;

  // Driving. Each returns false when the control cannot take the action now
  // (unknown, hidden, disabled, not an alert key of the control, refused).
  //
  // Puts the focus on the control (leaving the focused one first) and
  // replaces its text as typed; nothing is stored until it is left.
  bool type(std::string_view label, std::string_view utf8);
  // Types and presses Enter: the entry is read back and Accepted even when
  // unchanged, and the focus moves on.
  bool enter(std::string_view label, std::string_view utf8);
  // Enter on the control as it stands.
  bool enter(std::string_view label);
  // A button (or a frame's menu item or toolbar button): the focused entry
  // is left first; a refused entry stops the press.
  bool press(std::string_view label);
  bool check(std::string_view label, bool on);
  // An option group's choice, 1-based.
  bool choose(std::string_view label, int option);
  bool alert(std::string_view label, AlertKey key, char32_t character = 0);
  // The Tab key (Shift+Tab with forward false): a changed entry is read
  // back through its picture and Accepted, then the focus moves on unless
  // the handler put it somewhere; a refused entry beeps, shows its value
  // again and keeps the focus (false).
  bool tab(bool forward = true);
  // Lists: a row of the page clicked, a key, the scroll thumb dragged.
  bool selectRow(std::string_view label, int row);
  bool move(std::string_view label, ListMove how);
  bool dragThumb(std::string_view label, int position);
  void tick();
  void resize();
  void gainFocus();
  // The close box (system menu, Escape, Alt-F4 on the frame).
  void requestClose();

 private:
  friend class HeadlessWindowHost;
  struct Control {
    ControlSpec spec;
    std::string shown;  // UTF-8
    bool hidden = false;
    bool disabled = false;
    bool dirty = false;  // typed into and not yet left
    std::vector<AlertKey> alerts;
    std::string tab;     // sheets: the tab shown
  };
  Control* find(std::string_view label);
  const Control* find(std::string_view label) const;
  MenuSpec* findMenu(std::string_view label);
  bool reachable(const Control& c) const;
  void refresh(Control& c);
  // Reads a typed entry back; false when refused (beep, shown again).
  bool readBack(Control& c);
  bool leaveFocused(bool enterKey);
  void moveFocus(bool forward);
  void deliver(const Event& e);
  void act(const Event& e);  // deliver, then settle the host

  HeadlessWindowHost* host_;
  WindowEvents* events_;
  WindowSpec spec_;
  std::uint64_t serial_;
  bool frame_ = false;
  std::vector<MenuSpec> menu_;
  std::vector<Control> controls_;
  std::string title_;
  std::map<int, std::string> zones_;
  std::string focused_;
  bool focusMoved_ = false;  // a handler put the focus somewhere (ends accept-all)
  bool open_ = true;
  bool busy_ = false;
  int timer_ = 0;
  std::string lastPopup_;
};

class HeadlessWindowHost : public WindowHost {
 public:
  explicit HeadlessWindowHost(Ui& ui);
  ~HeadlessWindowHost() override;

  std::unique_ptr<Window> openWindow(const WindowSpec& spec, WindowEvents& events) override;
  std::unique_ptr<Frame> openFrame(const FrameSpec& spec, WindowEvents& events) override;
  void settle() override;
  void leaveCalled() override;

  using Script = std::function<void(HeadlessWindow&)>;
  // What the next window opened under `positionName` does right after it
  // opens; several scripts for one name serve its openings in turn.
  void onOpen(std::string positionName, Script script);
  // The last opened window under that name that is still open.
  HeadlessWindow* find(std::string_view positionName) const;
  // Every open window, in the order they were opened.
  std::vector<HeadlessWindow*> windows() const;
  HeadlessWindow* frame() const;
  // The choice of the next pop-up menu (1-based; 0 dismisses it); without
  // one, pop-up menus are dismissed.
  void answerPopup(int choice) { popupAnswers_.push_back(choice); }
  int beeps() const { return beeps_; }

 private:
  friend class HeadlessWindow;
  struct Queued {
    std::uint64_t window;
    Event event;
  };
  void enqueue(const HeadlessWindow& w, Event e);
  HeadlessWindow* bySerial(std::uint64_t serial) const;
  std::unique_ptr<HeadlessWindow> make(const WindowSpec& spec, WindowEvents& events,
                                       const std::vector<MenuSpec>* menu);
  void forget(const HeadlessWindow& w);
  int takePopupAnswer();
  void beep();

  Ui* ui_;
  std::uint64_t nextSerial_ = 1;
  std::map<std::uint64_t, HeadlessWindow*> windows_;  // every live window by serial
  std::map<std::uint64_t, Script> pendingScripts_;    // taken at opening, run after Opened
  std::map<std::string, std::deque<Script>, std::less<>> scripts_;
  std::deque<Queued> queue_;
  std::deque<int> popupAnswers_;
  std::uint64_t frameSerial_ = 0;
  int beeps_ = 0;
};

// Rows a list control shows for its height in dialogue units (a header
// line, then rows of one text line each).
int listRowsFor(int heightDlu);

}  // namespace tdx::rt
