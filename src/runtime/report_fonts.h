#pragma once
// The fonts a report names and the installed fonts that draw them.
//
// Reports name Windows families ("Arial CE", "Trebuchet MS", "Times New
// Roman CE", "MS Sans Serif"). Where a named family is not installed, its
// metric-compatible stand-in is used, so that texts keep their widths and
// wrap where they would: Liberation Sans for Arial and for Trebuchet MS
// (whose widths are close to Arial's), Liberation Serif for Times New
// Roman, Liberation Mono for Courier New, DejaVu Sans for the rest.
// Layout, preview, printer and PDF all go through qfont() so they measure
// and draw with the same font.
//
// Needs a QGuiApplication (the font database lives in it).

#include <QFont>
#include <QString>
#include <stdexcept>
#include <string_view>

#include "runtime/report_page.h"

namespace tdx::report {

// Without any font a PDF silently loses every text; that must stop the
// report instead.
class NoFonts : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws NoFonts when there is no QGuiApplication or no installed font.
void requireFonts();

// The installed family that draws `family` (cached; the font database does
// not change while the program runs).
QString installedFamily(std::string_view family);

// The QFont of a report font: the installed family, the size in points,
// the weight; no hinting, so that widths scale exactly with resolution and
// the layout's measurements hold on every device; no kerning or shaping of
// Latin text, so that a text is as wide as its glyphs' advances.
QFont qfont(const Font& font);

}  // namespace tdx::report
