#pragma once
// How a bound control's value is shown and how typed text is read back,
// the same for every window host, so that what a test sees headless is
// what the user sees on the screen.

#include <string>
#include <string_view>

#include "records/decimal.h"
#include "runtime/window.h"

namespace tdx::rt {

// The text a bound control shows, UTF-8: a text cut by its @s picture, a
// number through its picture without the padding blanks (an entry does not
// need them, and a zero shown blank is then really empty).
std::string shownText(const ControlSpec& c);

// Reads a typed entry back into the control's binding through its picture.
// False, and nothing stored, when the entry is refused: not a number the
// picture reads, a value the field cannot hold, a character outside
// Windows-1250, a text longer than its picture.
bool storeTyped(const ControlSpec& c, std::string_view utf8);

// Check boxes and option groups: the bound number.
Decimal boundNumber(const ControlSpec& c);
bool storeNumber(const ControlSpec& c, const Decimal& v);

// Kinds whose value the user edits: they take part in the accept-all pass.
bool editsValue(ControlKind k);
// Kinds that take the focus (a sheet's tabs are changed by click, not
// reached by Tab).
bool takesFocus(ControlKind k);

}  // namespace tdx::rt
