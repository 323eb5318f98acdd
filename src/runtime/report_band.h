#pragma once
// Bands: the pieces a report is printed in (page header, detail lines,
// group headers and footers, the closing footer), each a list of texts,
// fields, lines and boxes positioned in millimetres from the band's top
// left corner.
//
// A field shows a value through its display picture; the procedure hands
// the values over when it prints the band, in the order the fields were
// added. A multi-line field wraps within its width and the band grows to
// hold it; the items below it do not move.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "records/decimal.h"
#include "runtime/pictures.h"
#include "runtime/report_page.h"

namespace tdx::report {

// A field's value; empty (monostate) shows nothing whatever the picture.
using Value = std::variant<std::monostate, std::string, Decimal, pic::Date, pic::Time>;

enum class Flow : std::uint8_t { Single, Wrap };

enum class BandKind : std::uint8_t {
  Detail,
  GroupHeader,  // kept on one page with the band printed after it
  GroupFooter,
  Footer,       // the end of the report
  PageHeader,
};

struct BandText {
  Rect box;  // w 0: as wide as the text; h: at least one line
  Font font;
  Align align = Align::Left;
  Flow flow = Flow::Single;
  std::string text;                     // a fixed text, or
  int field = -1;                       // the index of the field's value
  const pic::Picture* picture = nullptr;  // none: the text as it is
  bool pageNumber = false;              // picture is an @p picture
};

using BandItem = std::variant<BandText, LineItem, BoxItem>;

class Band {
 public:
  explicit Band(std::string name, double height = 0, BandKind kind = BandKind::Detail);

  // The font of the texts and fields added from now on.
  Band& font(Font f);
  Band& font(double points, bool bold = false);

  // A fixed text.
  Band& text(Rect box, std::string text, Align align = Align::Left);
  // A field shown through `picture` ("" for a text as it is, which is also
  // how multi-line fields are usually declared). Returns its index.
  int field(Rect box, std::string_view picture, Align align = Align::Left, Flow flow = Flow::Single);
  // The page number in an @p picture, resolved when the page is finished.
  Band& pageNumber(Rect box, std::string_view picture, Align align = Align::Left);
  Band& line(double x1, double y1, double x2, double y2, double width = 0.2);
  Band& box(Rect r, Colour fill);
  Band& frame(Rect r, double width = 0.2);

  const std::string& name() const { return name_; }
  double height() const { return height_; }
  BandKind kind() const { return kind_; }
  int fieldCount() const { return fields_; }
  const std::vector<BandItem>& items() const { return items_; }

 private:
  std::string name_;
  double height_;
  BandKind kind_;
  Font font_;
  int fields_ = 0;
  std::vector<BandItem> items_;
};

}  // namespace tdx::report
