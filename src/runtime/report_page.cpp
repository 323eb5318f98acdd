#include "runtime/report_page.h"

#include <cstdio>
#include <stdexcept>

namespace tdx::report {

namespace {

void mm(std::string& out, double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, " %.1f", v + 0.0);  // + 0.0: no "-0.0"
  out += buf;
}

std::string points(double p) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", p);
  return buf;
}

char alignLetter(Align a) { return a == Align::Left ? 'L' : a == Align::Centre ? 'C' : 'R'; }

std::string style(const Font& f) { return (f.bold ? "B" : "R") + points(f.points); }

}  // namespace

std::uint16_t Document::fontIndex(const Font& f) {
  for (std::size_t i = 0; i < fonts.size(); ++i)
    if (fonts[i] == f) return static_cast<std::uint16_t>(i);
  if (fonts.size() >= 0xFFFF) throw std::length_error("too many fonts in one report");
  fonts.push_back(f);
  return static_cast<std::uint16_t>(fonts.size() - 1);
}

std::string dump(const Document& doc) {
  std::string out = "document " + doc.name + "\n";
  for (std::size_t i = 0; i < doc.fonts.size(); ++i)
    out += "font " + std::to_string(i) + " " + style(doc.fonts[i]) + " " + doc.fonts[i].family + "\n";
  for (std::size_t p = 0; p < doc.pages.size(); ++p) {
    const std::string prefix = "page " + std::to_string(p + 1);
    for (const Item& item : doc.pages[p].items) {
      out += prefix;
      if (auto* t = std::get_if<TextItem>(&item)) {
        out += " text";
        mm(out, t->box.x), mm(out, t->box.y), mm(out, t->box.w), mm(out, t->box.h);
        out += " " + (t->font < doc.fonts.size() ? style(doc.fonts[t->font]) : std::string("?"));
        out += ' ';
        out += alignLetter(t->align);
        out += ' ';
        out += t->text;
      } else if (auto* l = std::get_if<LineItem>(&item)) {
        out += " line";
        mm(out, l->x1), mm(out, l->y1), mm(out, l->x2), mm(out, l->y2);
        out += " " + points(l->width);
      } else if (auto* b = std::get_if<BoxItem>(&item)) {
        out += " box";
        mm(out, b->rect.x), mm(out, b->rect.y), mm(out, b->rect.w), mm(out, b->rect.h);
        if (b->fill)
          out += " fill " + std::to_string(b->fill->r) + " " + std::to_string(b->fill->g) + " " +
                 std::to_string(b->fill->b);
        if (b->frame > 0) out += " frame " + points(b->frame);
      }
      out += '\n';
    }
  }
  return out;
}

}  // namespace tdx::report
