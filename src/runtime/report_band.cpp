#include "runtime/report_band.h"

#include <stdexcept>

namespace tdx::report {

Band::Band(std::string name, double height, BandKind kind)
    : name_(std::move(name)), height_(height), kind_(kind) {}

Band& Band::font(Font f) {
  font_ = std::move(f);
  return *this;
}

Band& Band::font(double points, bool bold) {
  font_.points = points;
  font_.bold = bold;
  return *this;
}

Band& Band::text(Rect box, std::string text, Align align) {
  BandText t;
  t.box = box;
  t.font = font_;
  t.align = align;
  t.text = std::move(text);
  items_.emplace_back(std::move(t));
  return *this;
}

int Band::field(Rect box, std::string_view picture, Align align, Flow flow) {
  BandText t;
  t.box = box;
  t.font = font_;
  t.align = align;
  t.flow = flow;
  t.field = fields_;
  if (!picture.empty()) t.picture = &pic::picture(picture);
  if (flow == Flow::Wrap && box.w <= 0)
    throw std::invalid_argument("band " + name_ + ": a multi-line field needs a width");
  items_.emplace_back(std::move(t));
  return fields_++;
}

Band& Band::pageNumber(Rect box, std::string_view picture, Align align) {
  const pic::Picture& p = pic::picture(picture);
  if (p.kind != pic::Kind::PageNumber)
    throw std::invalid_argument("band " + name_ + ": \"" + std::string(picture) + "\" is not a page number picture");
  BandText t;
  t.box = box;
  t.font = font_;
  t.align = align;
  t.picture = &p;
  t.pageNumber = true;
  items_.emplace_back(std::move(t));
  return *this;
}

Band& Band::line(double x1, double y1, double x2, double y2, double width) {
  items_.emplace_back(LineItem{x1, y1, x2, y2, width});
  return *this;
}

Band& Band::box(Rect r, Colour fill) {
  items_.emplace_back(BoxItem{r, fill, 0});
  return *this;
}

Band& Band::frame(Rect r, double width) {
  items_.emplace_back(BoxItem{r, std::nullopt, width});
  return *this;
}

}  // namespace tdx::report
