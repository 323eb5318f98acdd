#include "runtime/report_measure.h"

#include <QImage>
#include <vector>

#include "runtime/report_fonts.h"

namespace tdx::report {

namespace {

constexpr double kDpi = 1200.0;
constexpr double kMmPerDot = 25.4 / kDpi;
// Characters whose advances are remembered one by one: Latin, Greek,
// Cyrillic, the punctuation and currency signs. Texts with anything else
// (combining marks, other scripts, surrogates) are measured whole.
constexpr char16_t kTableEnd = 0x2100;

bool additive(char16_t u) { return u < kTableEnd && (u < 0x0300 || u > 0x036F); }

// A device of that resolution for the metrics; never drawn on.
const QImage& measuringDevice() {
  static const QImage image = [] {
    QImage i(1, 1, QImage::Format_Mono);
    const int dotsPerMetre = static_cast<int>(kDpi / 0.0254 + 0.5);
    i.setDotsPerMeterX(dotsPerMetre);
    i.setDotsPerMeterY(dotsPerMetre);
    return i;
  }();
  return image;
}

}  // namespace

struct TextMeasure::Entry {
  Font font;
  QFontMetricsF metrics;
  // Advances in dots by character, < 0 until first measured. Without
  // kerning and shaping (qfont()) a text is exactly as wide as the sum of
  // its characters' advances, so a text costs no shaping.
  std::vector<double> advances = std::vector<double>(kTableEnd, -1.0);
};

TextMeasure::TextMeasure() { requireFonts(); }
TextMeasure::~TextMeasure() = default;

TextMeasure::Entry& TextMeasure::entry(const Font& font) {
  // A report uses a handful of fonts, mostly the same one many times over.
  if (last_ && last_->font == font) return *last_;
  for (auto& e : entries_)
    if (e->font == font) return *(last_ = e.get());
  entries_.push_back(std::make_unique<Entry>(Entry{font, QFontMetricsF(qfont(font), &measuringDevice())}));
  return *(last_ = entries_.back().get());
}

double TextMeasure::width(const Font& font, const QString& text) {
  Entry& e = entry(font);
  double dots = 0;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (!additive(u)) return e.metrics.horizontalAdvance(text) * kMmPerDot;
    double& advance = e.advances[u];
    if (advance < 0) advance = e.metrics.horizontalAdvance(c);
    dots += advance;
  }
  return dots * kMmPerDot;
}

double TextMeasure::width(const Font& font, std::string_view utf8) {
  return width(font, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

double TextMeasure::wordWidth(const Font& font, const QString& word) { return width(font, word); }

double TextMeasure::lineHeight(const Font& font) { return entry(font).metrics.lineSpacing() * kMmPerDot; }

}  // namespace tdx::report
