#pragma once
// The main frame's commands: the menu bar and the toolbar, each command with
// what it does. One table, so that the menu the user sees, the action a
// label runs and the user guide of the demo cannot drift apart.

#include <string>
#include <string_view>
#include <vector>

#include "runtime/frame.h"

namespace tdx::rt { class Program; }

namespace tdx::shell {

enum class Action {
  PrinterSetup,
  Start,     // starts `procedure` as a window of its own
  Call,      // calls `procedure` on the frame's context and waits
  Bidder,    // the bidder command: prepares PONUDNIK, then calls upponud
  Document,  // opens `document` with its associated program
  Cascade,
  Exit,
};

struct Command {
  std::string label;      // "?PRINTSETUP"
  Action action = Action::Start;
  std::string procedure;  // Start, Call, Bidder
  std::string document;   // Document
};

// The name under which the registry update is registered.
inline constexpr const char* kRegistryUpdate = "posodobizdr";

inline constexpr const char* kFrameTitle = "Velmora - Javna naročila (Zdravila) v20220315";

// Every command of the menu and the toolbar.
const std::vector<Command>& frameCommands();
const Command* findCommand(std::string_view label);

// The frame as the user sees it: menu items whose procedure `program` does
// not have are greyed (they never open a placeholder).
rt::FrameSpec mainFrameSpec(const rt::Program& program);

}  // namespace tdx::shell
