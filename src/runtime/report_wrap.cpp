#include "runtime/report_wrap.h"

#include <QString>
#include <QStringList>

namespace tdx::report {

namespace {

// Rounding in the metrics must not push a line that fits exactly onto two.
constexpr double kSlack = 1e-6;

// Characters of `word` that fit, at least one, never half a surrogate pair.
qsizetype fittingPrefix(TextMeasure& m, const Font& f, const QString& word, double width) {
  qsizetype lo = 1, hi = word.size();
  while (lo < hi) {  // largest n with width(left(n)) <= width
    qsizetype mid = (lo + hi + 1) / 2;
    if (m.width(f, word.left(mid)) <= width + kSlack)
      lo = mid;
    else
      hi = mid - 1;
  }
  if (lo < word.size() && word[lo - 1].isHighSurrogate()) lo = lo > 1 ? lo - 1 : lo + 1;
  return lo;
}

void wrapParagraph(TextMeasure& m, const Font& f, const QString& para, double width, std::vector<std::string>& out) {
  const QStringList words = para.split(u' ', Qt::SkipEmptyParts);
  QString line;
  for (QString word : words) {
    QString candidate = line.isEmpty() ? word : line + u' ' + word;
    if (m.width(f, candidate) <= width + kSlack) {
      line = std::move(candidate);
      continue;
    }
    if (!line.isEmpty()) out.push_back(line.toStdString());
    while (word.size() > 1 && m.width(f, word) > width + kSlack) {
      qsizetype n = fittingPrefix(m, f, word, width);
      out.push_back(word.left(n).toStdString());
      word.remove(0, n);
    }
    line = word;
  }
  out.push_back(line.toStdString());  // an empty paragraph keeps its line
}

}  // namespace

std::vector<std::string> wrapLines(TextMeasure& measure, const Font& font, std::string_view utf8, double width) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  text.replace(u'\t', u' ');
  std::vector<std::string> lines;
  for (const QString& para : text.split(u'\n')) wrapParagraph(measure, font, para, width, lines);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace tdx::report
