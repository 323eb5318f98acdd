#pragma once
// The page model of a report: what the layout produces and what the preview,
// the printer and the PDF writer draw. Nothing here knows of windows or
// paint devices, so every output draws exactly the same pages.
//
// Coordinates are millimetres from the top left corner of the page.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tdx::report {

inline constexpr double kA4Long = 297.0;
inline constexpr double kA4Short = 210.0;

struct Rect {
  double x = 0, y = 0, w = 0, h = 0;
};

enum class Align : std::uint8_t { Left, Centre, Right };

// A font as the report names it; the family actually drawn is the installed
// one that stands in for it (see report_fonts.h).
struct Font {
  std::string family = "Arial CE";
  double points = 10;
  bool bold = false;
  friend bool operator==(const Font&, const Font&) = default;
};

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

// One line of text, already broken by the layout: the box is where it goes,
// the alignment is within the box's width, the top of the text at the top
// of the box. A text wider than its box is clipped to it.
struct TextItem {
  Rect box;
  std::uint16_t font = 0;  // index into Document::fonts
  Align align = Align::Left;
  std::string text;        // UTF-8
  double advance = -1;     // the text's width as the layout measured it; < 0 unknown
};

struct LineItem {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double width = 0.2;  // millimetres
};

// A filled rectangle, a framed one, or both.
struct BoxItem {
  Rect rect;
  std::optional<Colour> fill;
  double frame = 0;  // frame line width in millimetres; 0 for none
};

using Item = std::variant<TextItem, LineItem, BoxItem>;

// Items in drawing order: a box put first lies behind the texts after it.
struct Page {
  std::vector<Item> items;
};

class Document {
 public:
  std::string name;  // offered as the file name when the report is saved
  double pageWidth = kA4Long;  // landscape A4
  double pageHeight = kA4Short;
  std::vector<Page> pages;
  // Every font used, once; texts refer to them by index so that a page of
  // a thousand texts does not carry a thousand family names.
  std::vector<Font> fonts;

  std::uint16_t fontIndex(const Font& f);
};

// One line per positioned item, stable for diffing two runs:
//   page 1 text 24.0 10.0 80.0 5.0 B10 L Ponudnik d.o.o.
//   page 1 line 5.0 52.0 280.0 52.0 0.2
//   page 1 box 5.0 37.0 275.0 9.0 fill 192 192 192
// Texts show weight and size (R regular, B bold) and alignment (L C R);
// the first line names the document and its font table.
std::string dump(const Document& doc);

}  // namespace tdx::report
