#pragma once
// Numbers written as text in the exchange files: the numeric columns of the
// dBase tables and the price fields of the semicolon file.
//
// The rule: optional leading blanks, an optional "-", digits, optionally one
// decimal separator ("," or "." alike, so 12,5 and 12.5 are the same value)
// and more digits. Reading stops at the first character that does not fit;
// a text without digits reads as 0 ("abc", "", "-", "*****"). No thousands
// separators, no "+", no exponent: "1.5E3" reads as 1.5 and " 7x" as 7.
//
// The result is exact (never through a double). A number has room for 37
// significant digits: a longer integer part keeps its leading 37 digits and
// the rest of the text is not read, and decimals beyond what fits next to the
// integer part (at most 18) are dropped. No column or field holds such a
// value, so storing it still fails visibly instead of passing as another
// plausible number; rounding to the places of any field is unaffected.

#include <string_view>

#include "records/decimal.h"

namespace tdx {

Decimal readNumber(std::string_view text);

}  // namespace tdx
