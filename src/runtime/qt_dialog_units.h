#pragma once
// Dialogue units of a window's font: a horizontal unit is a quarter of the
// average character width, a vertical one an eighth of the character
// height, so a window laid out in them keeps its proportions in any font.
// Fonts are the report engine's stand-ins (MS Sans Serif, Times New Roman
// CE, Verdana, Trebuchet MS -> installed metric-compatible families).

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <string_view>

#include "runtime/window.h"

namespace tdx::rt {

// The installed font that stands in for a named one (throws
// report::NoFonts when none is installed).
QFont standInFont(std::string_view family, int points, bool bold = false);

class DialogUnits {
 public:
  DialogUnits() = default;
  explicit DialogUnits(const QFont& font);

  int x(int dlu) const;
  int y(int dlu) const;
  QRect rect(const Rect& r) const;
  QSize size(int w, int h) const { return {x(w), y(h)}; }
  QPoint point(int px, int py) const { return {x(px), y(py)}; }
  // Pixels back to units (window positions are saved in units).
  int toX(int px) const;
  int toY(int py) const;
  double charWidth() const { return charWidth_; }
  double charHeight() const { return charHeight_; }

 private:
  double charWidth_ = 6;   // pixels
  double charHeight_ = 13;
};

}  // namespace tdx::rt
