#pragma once
// The text of a numeric dBase column, as STR(value, width, decimals) gives
// it: right-aligned, blank-padded on the left, "." as the point and exactly
// `decimals` digits after it (no point when there are none), the value
// rounded half away from zero. 12.60 in N(10,0) is "        13", -0.5 in
// N(5,2) is "-0.50".
//
// A value that needs more than the width is refused (nullopt): we never
// write a different number and never the "*****" of an overflowing STR().
//
// Reading a column goes through readNumber (number_text.h): a blank field is
// 0, and a field that is not a clean number reads up to the first character
// that does not fit ("12a" is 12, "*****" is 0), which is what the drivers
// that wrote such files made of them at run time.

#include <optional>
#include <string>

#include "records/decimal.h"

namespace tdx::dbf {

std::optional<std::string> formatNumeric(const Decimal& value, int width, int decimals);

}  // namespace tdx::dbf
