#pragma once
// What both reports start from besides their files: the group and
// subgroup to print (the globals psk and pps, which the command line sets
// with --group and --subgroup) and today's date for the page header.

#include "runtime/pictures.h"

namespace tdx::rt { class Procedure; }

namespace tdx::reports {

// Copies --group and --subgroup, when given, into psk and pps. A value
// that is not a whole number of the 16-bit range is told and ends the run
// with the wrong-usage status (rt::ProgramEnd 2): printing another
// subgroup than the one asked for would be worse than printing none.
void applyGroupOptions(rt::Procedure& procedure);

pic::Date today();

}  // namespace tdx::reports
