#include "runtime/report_measure.h"

#include <QHash>
#include <QImage>

#include "runtime/report_fonts.h"

namespace tdx::report {

namespace {

constexpr double kDpi = 1200.0;
constexpr double kMmPerDot = 25.4 / kDpi;
// Enough for every word of a large report; past it the cache starts over
// rather than grow without end.
constexpr qsizetype kMaxCachedWords = 200000;

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
  QHash<QString, double> words;
};

TextMeasure::TextMeasure() { requireFonts(); }
TextMeasure::~TextMeasure() = default;

TextMeasure::Entry& TextMeasure::entry(const Font& font) {
  // A report uses a handful of fonts, mostly the same one many times over.
  if (last_ && last_->font == font) return *last_;
  for (auto& e : entries_)
    if (e->font == font) return *(last_ = e.get());
  entries_.push_back(std::make_unique<Entry>(Entry{font, QFontMetricsF(qfont(font), &measuringDevice()), {}}));
  return *(last_ = entries_.back().get());
}

double TextMeasure::width(const Font& font, const QString& text) {
  return entry(font).metrics.horizontalAdvance(text) * kMmPerDot;
}

double TextMeasure::width(const Font& font, std::string_view utf8) {
  return width(font, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

double TextMeasure::wordWidth(const Font& font, const QString& word) {
  Entry& e = entry(font);
  if (auto it = e.words.constFind(word); it != e.words.constEnd()) return *it;
  if (e.words.size() >= kMaxCachedWords) e.words.clear();
  const double w = e.metrics.horizontalAdvance(word) * kMmPerDot;
  e.words.insert(word, w);
  return w;
}

double TextMeasure::lineHeight(const Font& font) { return entry(font).metrics.lineSpacing() * kMmPerDot; }

}  // namespace tdx::report
