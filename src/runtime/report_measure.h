#pragma once
// Text measurement for the layout, in millimetres, on the real fonts.
//
// Measures at 1200 dots per inch, the resolution the PDF writer draws at,
// with unhinted fonts, so a text measured here takes the same room on the
// page, in the preview and on paper.

#include <QFontMetricsF>
#include <QString>
#include <memory>
#include <string_view>
#include <vector>

#include "runtime/report_page.h"

namespace tdx::report {

class TextMeasure {
 public:
  // Throws NoFonts when no font can be found.
  TextMeasure();
  ~TextMeasure();
  TextMeasure(const TextMeasure&) = delete;
  TextMeasure& operator=(const TextMeasure&) = delete;

  double width(const Font& font, const QString& text);
  double width(const Font& font, std::string_view utf8);
  // The width of one word, remembered: the words of names and descriptions
  // repeat, and wrapping adds up words instead of measuring every
  // candidate line.
  double wordWidth(const Font& font, const QString& word);
  // Distance from one line's top to the next line's top.
  double lineHeight(const Font& font);

 private:
  struct Entry;
  Entry& entry(const Font& font);
  std::vector<std::unique_ptr<Entry>> entries_;
  Entry* last_ = nullptr;
};

}  // namespace tdx::report
