#pragma once
// The main frame, described rather than built: a window with a menu bar, a
// toolbar, a status bar in zones and an area holding the child windows of
// the started procedures.
//
// The frame is a Window like any other: its toolbar buttons are controls
// (ControlSpec::inToolbar), its commands arrive as Pressed events with the
// label of the menu item or toolbar button, closing it by the system menu or
// Alt-F4 arrives as CloseRequest, its timer as Timer. setEnabled and
// setHidden work on menu items as on controls.

#include <string>
#include <string_view>
#include <vector>

#include "runtime/window.h"

namespace tdx::rt {

// A menu of the menu bar, or one of its items.
struct MenuSpec {
  std::string label;     // "?PRINTSETUP"; a menu may have none
  std::string text;      // "&1) Nastavitev tiskalnika"
  std::string message;   // status-bar text while the item is highlighted
  std::string icon;      // "help.ico"
  std::string shortcut;  // shown beside the item ("Alt-F4"); the key itself is the system's
  bool disabled = false;
  bool menu = false;        // a menu (its entries in `items`, possibly none)
  bool windowList = false;  // the menu also lists the open child windows
  std::vector<MenuSpec> items;
};

struct FrameSpec : WindowSpec {
  // The menu bar, left to right: menus and plain command items.
  std::vector<MenuSpec> menu;
  // Widths of the status bar's zones in dialogue units, zone 1 first; -1
  // takes the rest. Zone 1 shows the highlighted item's message.
  std::vector<int> statusZones{-1};
};

class Frame : public Window {
 public:
  using Window::setStatus;
  // Status zones count from 1; setStatus(text) is zone 1.
  virtual void setStatus(int zone, std::string_view utf8) = 0;
  virtual std::string status(int zone) const = 0;
  // Arranges the open child windows in a cascade.
  virtual void cascade() = 0;
  // The titles of the open child windows, in the order the window menu
  // lists them; activateChild brings one of them to the front.
  virtual std::vector<std::string> childTitles() const = 0;
  virtual void activateChild(int index) = 0;
};

}  // namespace tdx::rt
