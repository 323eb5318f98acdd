#pragma once
// Windows of the procedures, described rather than built.
//
// A window procedure declares its window (title, size in dialogue units,
// controls with their labels "?PAR:NCENA", kinds, texts, pictures, tips,
// icons, positions, states and the record fields they show) and handles its
// events by control and event kind. The runtime builds the window: on the
// screen with Qt widgets (with the focus highlighter and the Enter-key
// navigator installed in every window), or headless, where tests type into
// controls and press buttons through the same control model. A procedure
// never touches a widget.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/decimal.h"
#include "records/fields.h"

namespace tdx::rt {

class BrowseList;  // runtime/browse.h: a page-wise list over an ordered view

// Dialogue units (a quarter of the average character width, an eighth of
// the character height of the window's font). 0 width/height: natural size.
struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
  bool set = false;
  static Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {r, g, b, true}; }
};

enum class ControlKind {
  Prompt,    // a label before a control
  String,    // display text (may be bound)
  Entry,     // single-line entry with a picture
  Text,      // text box: multi-line unless `single`
  Button,
  Option,    // option group of radio buttons (`options`)
  Check,
  Spin,
  DropList,  // a drop-down list of records (BrowseList)
  List,      // a browse list (BrowseList)
  Sheet,     // holds tabs
  Tab,       // a page of a sheet; its children name it as parent
  Group,     // a framed group
  Panel,
  Image,
  Progress,
  Line,
  Box,
};

enum class Align { Left, Center, Right };

// How a control shows and stores a value. Texts are Windows-1250 bytes
// (record fields); numbers are exact decimals shown through the picture.
struct Binding {
  std::function<std::string()> getText;
  std::function<void(std::string_view)> setText;
  std::function<Decimal()> getNumber;
  // Returns false when the value does not fit (the input is rejected).
  std::function<bool(const Decimal&)> setNumber;
  explicit operator bool() const { return bool(getText) || bool(getNumber); }
};

template <int N>
Binding bind(Str<N>& f) {
  return {[&f] { return std::string(f.view()); }, [&f](std::string_view v) { f.set(v); }, {}, {}};
}
template <int N>
Binding bind(CStr<N>& f) {
  return {[&f] { return std::string(f.view()); }, [&f](std::string_view v) { f.set(v); }, {}, {}};
}
template <int D, int P>
Binding bind(Dec<D, P>& f) {
  return {{}, {}, [&f] { return f.get(); }, [&f](const Decimal& v) {
            if (!Dec<D, P>::fits(v)) return false;
            f.set(v);
            return true;
          }};
}
Binding bind(Short& f);
Binding bind(Long& f);
Binding bind(std::string& bytes, int width);  // a Windows-1250 variable
Binding bind(std::int16_t& v);

struct ControlSpec {
  std::string label;   // "?PAR:NCENA_AZ", "?OK", "?BROWSE:1"
  ControlKind kind = ControlKind::String;
  std::string text;    // prompt, button, string, tab or group text ("&Potrdi")
  std::string picture; // "@n15`4~ €~B", "@s50"
  std::string tip;
  std::string icon;    // "Potrdi.ico": from the working folder when present, else built in
  Rect at;
  std::string parent;  // label of the tab or group holding it
  bool hidden = false;
  bool disabled = false;
  bool skip = false;      // not in the tab order
  bool readOnly = false;
  bool required = false;
  bool flat = false;
  bool single = false;    // a single-line text box
  bool bold = false;
  Color color;            // text colour
  Color background;
  std::string font;
  int fontSize = 0;
  Align align = Align::Left;
  // Option group: the buttons' texts and values.
  std::vector<std::pair<std::string, Decimal>> options;
  Binding value;
  BrowseList* list = nullptr;  // List and DropList
  bool defaultButton = false;  // pressed by Enter where the navigator leaves Enter alone
  bool inToolbar = false;      // in the window's toolbar strip (never highlighted)
};

// Keys a procedure can ask to be told about (alert keys).
enum class AlertKey {
  Insert, Delete, CtrlEnter, DoubleClick, RightClick, ContextMenu, CtrlApostrophe, Character,
};

struct Event {
  enum class Kind {
    Opened,        // the window has opened (first display)
    Accepted,      // a control's value was accepted (typed and left, or the accept-all pass)
    Pressed,       // a button was pressed
    NewSelection,  // a list's highlight or a drop list's, option group's or tab's choice changed
    Alert,         // an alert key in a control (`key`, `character`)
    GainFocus,     // the window became the active one
    Resized,
    CloseRequest,  // the user closes the window (system menu, Escape, the frame closing)
    Timer,
    Posted,        // an event the procedure posted to itself (`code`)
  };
  Kind kind;
  std::string label;
  AlertKey key = AlertKey::Character;
  char32_t character = 0;  // for AlertKey::Character
  int code = 0;            // for Posted
  bool acceptingAll = false;  // Accepted during the accept-all pass
};

class Window;

class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void onEvent(Window& w, const Event& e) = 0;
};

struct WindowSpec {
  std::string title;
  std::string positionName;  // restored after opening, saved when closing
  int width = 0, height = 0;  // dialogue units
  std::string font = "MS Sans Serif";
  int fontSize = 8;
  std::string icon;
  bool resizable = true;
  bool modal = false;     // a called form or picker (waits); else a child of the frame
  std::string statusText; // the window's status text
  std::vector<ControlSpec> controls;
  std::vector<std::pair<std::string, AlertKey>> alerts;  // (control label, key)
};

class Window {
 public:
  virtual ~Window() = default;

  // Redisplay every control from its binding, or one control.
  virtual void display() = 0;
  virtual void display(std::string_view label) = 0;
  // Unbound texts: strings, prompts, buttons, tabs, the title, the status.
  virtual void setText(std::string_view label, std::string_view utf8) = 0;
  virtual std::string text(std::string_view label) const = 0;
  virtual void setTitle(std::string_view utf8) = 0;
  virtual void setStatus(std::string_view utf8) = 0;
  virtual void setEnabled(std::string_view label, bool enabled) = 0;
  virtual void setHidden(std::string_view label, bool hidden) = 0;
  virtual bool enabled(std::string_view label) const = 0;
  virtual bool hidden(std::string_view label) const = 0;
  virtual void setAlert(std::string_view label, AlertKey key) = 0;

  virtual void focus(std::string_view label) = 0;
  virtual std::string focused() const = 0;
  // The tab shown by a sheet.
  virtual std::string currentTab(std::string_view sheet) const = 0;
  virtual void selectTab(std::string_view sheet, std::string_view tab) = 0;

  // Accepts every control in tab order (each fires Accepted with
  // acceptingAll set); false when a handler moved the focus, which ends the
  // pass.
  virtual bool acceptAll() = 0;
  // Posts an event to this window, delivered after the current one.
  virtual void post(int code) = 0;
  virtual void setTimer(int hundredths) = 0;  // 0 stops it
  // A pop-up menu "&Dodaj|~&Sprem.|~&Briši" ("~" greys an entry); returns
  // the chosen entry (1-based) or 0.
  virtual int popup(std::string_view items) = 0;
  virtual void setBusy(bool busy) = 0;
  // The list behind a List or DropList control was re-read: repaint it.
  virtual void listChanged(std::string_view label) = 0;
  // Closes the window (positions saved); no more events follow.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
};

class Frame;
struct FrameSpec;

// Builds a window; provided by each runtime implementation.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual std::unique_ptr<Window> openWindow(const WindowSpec& spec, WindowEvents& events) = 0;
  // The main frame (runtime/frame.h): the windows opened after it are its
  // children. nullptr where this runtime has no frame.
  virtual std::unique_ptr<Frame> openFrame(const FrameSpec& spec, WindowEvents& events);

  // A runtime without an event loop of its own (headless) delivers here
  // what is queued: Opened events, window scripts, posted events. The
  // program calls it after a procedure has begun; the Qt host's event loop
  // delivers them by itself.
  virtual void settle() {}
  // A called procedure is still running after settle(): the headless host
  // closes its window with a CloseRequest, as a user leaving the form
  // would. The Qt host waits in a local event loop instead.
  virtual void leaveCalled() {}
};

}  // namespace tdx::rt
