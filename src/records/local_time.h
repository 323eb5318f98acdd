#pragma once
// The one reading of the wall clock in local time, shared by the status
// bar, the reports' dates and the dBase headers, so that they all agree on
// the day around midnight and on every platform.

#include <ctime>

namespace tdx {

std::tm localNow();

}  // namespace tdx
