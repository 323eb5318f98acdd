#include "runtime/report_engine.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

#include "runtime/report_wrap.h"

namespace tdx::report {

namespace {

// Millimetres compared after sums of measured widths: a hair is no overflow.
constexpr double kEps = 1e-6;

// Record texts arrive blank-padded; the padding must not push a right-aligned
// or centred text off its place.
std::string_view trimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

std::string oneLine(std::string_view s) {
  std::string out(trimRight(s));
  for (char& c : out)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  return out;
}

[[noreturn]] void mismatch(const Band& band, const BandText& t, const char* what) {
  throw std::invalid_argument("band " + band.name() + ", field " + std::to_string(t.field) + ": picture \"" +
                              (t.picture ? t.picture->token : std::string()) + "\" cannot show " + what);
}

std::string valueText(const Band& band, const BandText& t, const Value& v) {
  if (std::holds_alternative<std::monostate>(v)) return {};
  if (!t.picture) {
    if (auto* s = std::get_if<std::string>(&v)) return *s;
    mismatch(band, t, "anything but a text");
  }
  switch (t.picture->kind) {
    case pic::Kind::Text:
      if (auto* s = std::get_if<std::string>(&v)) return pic::format(*t.picture, *s);
      mismatch(band, t, "this value");
    case pic::Kind::Number:
      if (auto* d = std::get_if<Decimal>(&v)) return pic::format(*t.picture, *d);
      mismatch(band, t, "this value");
    case pic::Kind::Date:
      if (auto* d = std::get_if<pic::Date>(&v)) return pic::format(*t.picture, *d);
      mismatch(band, t, "this value");
    case pic::Kind::Time:
      if (auto* d = std::get_if<pic::Time>(&v)) return pic::format(*t.picture, *d);
      mismatch(band, t, "this value");
    case pic::Kind::PageNumber:
      break;
  }
  mismatch(band, t, "a value (it is a page number)");
}

struct Extent {
  double top, bottom;
};

Extent extentOf(const Item& item) {
  if (auto* t = std::get_if<TextItem>(&item)) return {t->box.y, t->box.y + t->box.h};
  if (auto* l = std::get_if<LineItem>(&item)) return {std::min(l->y1, l->y2), std::max(l->y1, l->y2)};
  const auto& b = std::get<BoxItem>(item);
  return {b.rect.y, b.rect.y + b.rect.h};
}

void shift(Item& item, double dx, double dy) {
  if (auto* t = std::get_if<TextItem>(&item)) {
    t->box.x += dx, t->box.y += dy;
  } else if (auto* l = std::get_if<LineItem>(&item)) {
    l->x1 += dx, l->x2 += dx, l->y1 += dy, l->y2 += dy;
  } else {
    auto& b = std::get<BoxItem>(item);
    b.rect.x += dx, b.rect.y += dy;
  }
}

// Cuts a box or line at `limit` (page coordinates); texts are never cut.
void clipBelow(Item& item, double limit) {
  if (auto* l = std::get_if<LineItem>(&item)) {
    l->y1 = std::min(l->y1, limit), l->y2 = std::min(l->y2, limit);
  } else if (auto* b = std::get_if<BoxItem>(&item)) {
    b->rect.h = std::max(0.0, std::min(b->rect.h, limit - b->rect.y));
  }
}

}  // namespace

// A band laid out: items relative to the band's origin.
struct Report::Laid {
  std::vector<Item> items;
  double height = 0;
  struct Number {
    std::size_t item;
    const pic::Picture* picture;
    bool autoWidth;
  };
  std::vector<Number> numbers;  // page numbers among the items
};

struct Report::PendingNumber {
  std::size_t page, item;
  const pic::Picture* picture;
  bool autoWidth;
};

Report::Report(std::string name, PageLayout layout) : layout_(layout) {
  doc_.name = std::move(name);
  doc_.pageWidth = layout.pageWidth;
  doc_.pageHeight = layout.pageHeight;
}

Report::~Report() = default;

double Report::bodyLeft() const { return layout_.bodyHeight - used_; }

void Report::setPageHeader(const Band& header, std::vector<Value> values) {
  header_ = std::make_unique<Laid>(layOut(header, values));
}

Report::Laid Report::layOut(const Band& band, std::span<const Value> values) {
  if (static_cast<int>(values.size()) != band.fieldCount())
    throw std::invalid_argument("band " + band.name() + ": " + std::to_string(values.size()) + " values for " +
                                std::to_string(band.fieldCount()) + " fields");
  Laid laid;
  laid.height = band.height();
  for (const BandItem& bi : band.items()) {
    if (auto* l = std::get_if<LineItem>(&bi)) {
      laid.items.emplace_back(*l);
      laid.height = std::max(laid.height, std::max(l->y1, l->y2));
      continue;
    }
    if (auto* b = std::get_if<BoxItem>(&bi)) {
      laid.items.emplace_back(*b);
      laid.height = std::max(laid.height, b->rect.y + b->rect.h);
      continue;
    }
    const auto& t = std::get<BandText>(bi);
    const double lineHeight = measure_.lineHeight(t.font);
    const std::uint16_t font = doc_.fontIndex(t.font);
    laid.height = std::max(laid.height, t.box.y + t.box.h);

    if (t.pageNumber) {
      laid.numbers.push_back({laid.items.size(), t.picture, t.box.w <= 0});
      laid.items.emplace_back(TextItem{{t.box.x, t.box.y, t.box.w, std::max(t.box.h, lineHeight)}, font, t.align, {}});
      laid.height = std::max(laid.height, t.box.y + lineHeight);
      continue;
    }
    std::string text = t.field >= 0 ? valueText(band, t, values[static_cast<std::size_t>(t.field)]) : t.text;
    if (t.flow == Flow::Wrap) {
      std::vector<WrappedLine> lines = wrapLines(measure_, t.font, trimRight(text), t.box.w);
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].text.empty()) continue;  // a blank line of a memo takes room, draws nothing
        laid.items.emplace_back(TextItem{{t.box.x, t.box.y + static_cast<double>(i) * lineHeight, t.box.w, lineHeight},
                                         font, t.align, std::move(lines[i].text), lines[i].width});
      }
      laid.height = std::max(laid.height, t.box.y + static_cast<double>(lines.size()) * lineHeight);
      continue;
    }
    text = oneLine(text);
    if (text.empty()) continue;
    const double advance = measure_.width(t.font, text);
    const double h = std::max(t.box.h, lineHeight);
    laid.items.emplace_back(TextItem{{t.box.x, t.box.y, t.box.w > 0 ? t.box.w : advance, h}, font, t.align, std::move(text), advance});
    laid.height = std::max(laid.height, t.box.y + h);
  }
  return laid;
}

void Report::print(const Band& band, std::initializer_list<Value> values) {
  print(band, std::span<const Value>(values.begin(), values.size()));
}

void Report::print(const Band& band, std::span<const Value> values) {
  if (finished_) throw std::logic_error("report " + doc_.name + " is finished; band " + band.name() + " comes too late");
  Laid laid = layOut(band, values);
  if (band.kind() == BandKind::GroupHeader) {
    waiting_.push_back(std::move(laid));
    return;
  }
  if (!waiting_.empty()) {
    double together = laid.height;
    for (const Laid& h : waiting_) together += h.height;
    if (doc_.pages.empty()) newPage();
    if (together > bodyLeft() + kEps && bandsOnPage_) newPage();
    for (Laid& h : waiting_) place(h);
    waiting_.clear();
  }
  place(laid);
}

void Report::place(Laid& laid) {
  if (doc_.pages.empty()) newPage();
  if (laid.height > bodyLeft() + kEps && bandsOnPage_) newPage();
  if (laid.height > bodyLeft() + kEps) {
    split(laid);
    return;
  }
  const double dy = layout_.bodyTop + used_;
  for (std::size_t i = 0; i < laid.items.size(); ++i) put(laid, i, dy);
  used_ += laid.height;
  bandsOnPage_ = true;
}

void Report::split(Laid& laid) {
  // Where each page's share of the band begins, in band coordinates: a new
  // share starts at the first item that would run past the body's foot.
  std::vector<std::size_t> order(laid.items.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return extentOf(laid.items[a]).top < extentOf(laid.items[b]).top; });
  std::vector<double> starts{0};
  for (std::size_t i : order) {
    Extent e = extentOf(laid.items[i]);
    if (e.bottom - starts.back() > layout_.bodyHeight + kEps && e.top > starts.back() + kEps) starts.push_back(e.top);
  }
  std::vector<std::size_t> shareOf(laid.items.size());
  for (std::size_t i = 0; i < laid.items.size(); ++i) {
    const double top = extentOf(laid.items[i]).top;
    shareOf[i] = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), top + kEps) - starts.begin()) - 1;
  }
  const double foot = layout_.bodyTop + layout_.bodyHeight;
  for (std::size_t share = 0; share < starts.size(); ++share) {
    if (share > 0) newPage();
    const double dy = layout_.bodyTop - starts[share];
    for (std::size_t i = 0; i < laid.items.size(); ++i) {
      if (shareOf[i] != share) continue;
      put(laid, i, dy);
      clipBelow(doc_.pages.back().items.back(), foot);
    }
  }
  used_ = std::min(layout_.bodyHeight, laid.height - starts.back());
  bandsOnPage_ = true;
}

void Report::put(Laid& laid, std::size_t i, double dy, bool keep) {
  Page& page = doc_.pages.back();
  Item item = keep ? laid.items[i] : std::move(laid.items[i]);
  shift(item, layout_.left, dy);
  for (const auto& n : laid.numbers)
    if (n.item == i) numbers_.push_back({doc_.pages.size() - 1, page.items.size(), n.picture, n.autoWidth});
  page.items.push_back(std::move(item));
}

void Report::newPage() {
  std::size_t expected = 64;
  if (!doc_.pages.empty()) {
    finishPage();
    expected = doc_.pages.back().items.size();
  }
  doc_.pages.emplace_back();
  doc_.pages.back().items.reserve(expected);  // pages of a report are much alike
  used_ = 0;
  bandsOnPage_ = false;
  if (header_)
    for (std::size_t i = 0; i < header_->items.size(); ++i) put(*header_, i, layout_.headerTop, true);
}

void Report::finishPage() {
  for (const PendingNumber& n : numbers_) {
    auto& t = std::get<TextItem>(doc_.pages[n.page].items[n.item]);
    t.text = pic::formatPage(*n.picture, static_cast<int>(n.page) + 1);
    t.advance = measure_.width(doc_.fonts[t.font], t.text);
    if (n.autoWidth) t.box.w = t.advance;
  }
  numbers_.clear();
}

void Report::finish() {
  if (finished_) return;
  if (!waiting_.empty()) {
    std::vector<Laid> headers = std::move(waiting_);
    waiting_.clear();
    for (Laid& h : headers) place(h);
  }
  if (!doc_.pages.empty()) finishPage();
  finished_ = true;
}

Document Report::take() {
  finish();
  return std::move(doc_);
}

}  // namespace tdx::report
