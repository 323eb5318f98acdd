#pragma once
// The text of an error as the stop box shows it: the runtime's own text
// ("Access Denied"), followed by what exactly went wrong in brackets when
// the driver said more (the column and value that did not fit, the file the
// system refused). Unlike the standard warnings it carries no code: the
// stop box puts its own context after it (an item code, a name).

#include <string>

#include "records/errors.h"

namespace tdx::rt {

std::string runtimeErrorText(const err::Error& e);

}  // namespace tdx::rt
