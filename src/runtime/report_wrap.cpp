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

QString joined(const QStringList& words, qsizetype from, qsizetype to) {
  QString line = words[from];
  for (qsizetype k = from + 1; k < to; ++k) line += u' ' + words[k];
  return line;
}

void wrapParagraph(TextMeasure& m, const Font& f, const QString& para, double width, std::vector<WrappedLine>& out) {
  QStringList words = para.split(u' ', Qt::SkipEmptyParts);
  if (words.isEmpty()) {
    out.push_back({});  // an empty paragraph keeps its line
    return;
  }
  const QString whole = joined(words, 0, words.size());
  if (const double w = m.width(f, whole); w <= width + kSlack) {  // most fields are one line
    out.push_back({whole.toStdString(), w});
    return;
  }
  const double space = m.wordWidth(f, QStringLiteral(" "));
  qsizetype i = 0;
  while (i < words.size()) {
    QString& first = words[i];
    if (first.size() > 1 && m.wordWidth(f, first) > width + kSlack) {
      const qsizetype n = fittingPrefix(m, f, first, width);
      out.push_back({first.left(n).toStdString(), m.width(f, first.left(n))});
      first.remove(0, n);
      continue;
    }
    // As many words as add up to the width, then the line measured whole,
    // since kerning may make it a hair wider than its words.
    double w = m.wordWidth(f, first);
    qsizetype j = i + 1;
    while (j < words.size() && w + space + m.wordWidth(f, words[j]) <= width + kSlack) w += space + m.wordWidth(f, words[j++]);
    QString line = joined(words, i, j);
    double measured = m.width(f, line);
    while (j > i + 1 && measured > width + kSlack) {
      line = joined(words, i, --j);
      measured = m.width(f, line);
    }
    out.push_back({line.toStdString(), measured});
    i = j;
  }
}

}  // namespace

std::vector<WrappedLine> wrapLines(TextMeasure& measure, const Font& font, std::string_view utf8, double width) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  text.replace(u'\t', u' ');
  std::vector<WrappedLine> lines;
  for (const QString& para : text.split(u'\n')) wrapParagraph(measure, font, para, width, lines);
  while (!lines.empty() && lines.back().text.empty()) lines.pop_back();
  return lines;
}

}  // namespace tdx::report
