#pragma once
// Word wrap of multi-line report fields.

#include <string>
#include <string_view>
#include <vector>

#include "runtime/report_measure.h"

namespace tdx::report {

// The lines of `utf8` that fit `width` millimetres in `font`: broken at
// blanks; a word wider than the width broken between characters, so that
// nothing runs into the next column; line breaks in the text (CR LF or LF)
// kept, an empty line among them included; blanks at the end of a line
// dropped. An empty or blank text has no lines.
// Each line comes with its measured width, so that drawing need not
// measure it again.
struct WrappedLine {
  std::string text;
  double width = 0;
};
std::vector<WrappedLine> wrapLines(TextMeasure& measure, const Font& font, std::string_view utf8, double width);

}  // namespace tdx::report
