#include "runtime/report_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/report_wrap.h"

namespace tdx::report {
namespace {

const PageLayout kLayout{};  // landscape A4, bands 5 mm in, header at 6, body 46 + 150

std::vector<TextItem> texts(const Page& page) {
  std::vector<TextItem> out;
  for (const Item& i : page.items)
    if (auto* t = std::get_if<TextItem>(&i)) out.push_back(*t);
  return out;
}

const TextItem* findText(const Page& page, const std::string& text) {
  for (const Item& i : page.items)
    if (auto* t = std::get_if<TextItem>(&i); t && t->text == text) return t;
  return nullptr;
}

Band fixedBand(double height) {
  Band b("DETAIL", height);
  b.font(Font{"Trebuchet MS", 8});
  b.field({2, 0, 40, 0}, "@s20");
  return b;
}

TEST(ReportEngine, BandsFollowEachOtherDownTheBodyFromTheBandOrigin) {
  Report r("test", kLayout);
  Band band = fixedBand(5);
  Band header("HEADER", 40, BandKind::PageHeader);
  header.font(Font{"Arial CE", 10, true}).text({19, 4, 80, 5}, "Ponudnik d.o.o.");
  r.setPageHeader(header);
  for (const char* t : {"prvi", "drugi", "tretji"}) r.print(band, {std::string(t)});
  Document doc = r.take();
  ASSERT_EQ(doc.pages.size(), 1u);
  const Page& p = doc.pages[0];
  const TextItem* h = findText(p, "Ponudnik d.o.o.");
  ASSERT_TRUE(h);
  EXPECT_DOUBLE_EQ(h->box.x, 24);
  EXPECT_DOUBLE_EQ(h->box.y, 10);
  double y = 46;
  for (const char* t : {"prvi", "drugi", "tretji"}) {
    const TextItem* item = findText(p, t);
    ASSERT_TRUE(item) << t;
    EXPECT_DOUBLE_EQ(item->box.x, 7);
    EXPECT_DOUBLE_EQ(item->box.y, y);
    EXPECT_DOUBLE_EQ(item->box.w, 40);
    y += 5;
  }
}

TEST(ReportEngine, ABandThatDoesNotFitTheRestOfTheBodyStartsANewPage) {
  Report r("test", kLayout);
  Band band = fixedBand(40);  // three fill 120 of the 150 mm
  for (int i = 1; i <= 10; ++i) r.print(band, {std::to_string(i)});
  Document doc = r.take();
  ASSERT_EQ(doc.pages.size(), 4u);
  for (std::size_t p = 0; p < 4; ++p) {
    auto t = texts(doc.pages[p]);
    ASSERT_EQ(t.size(), p < 3 ? 3u : 1u);
    EXPECT_EQ(t[0].text, std::to_string(p * 3 + 1));
    EXPECT_DOUBLE_EQ(t[0].box.y, 46);
    for (const auto& item : t) EXPECT_LE(item.box.y + 40, 46 + 150 + 1e-9);
  }
}

TEST(ReportEngine, WrappedFieldsStayInTheirWidthAndGrowTheBand) {
  Report r("test", kLayout);
  const Font font{"Trebuchet MS", 8};
  Band item("DETAIL2");
  item.font(font);
  item.line(0, 0, 275, 0);
  item.field({10, 0.5, 30, 0}, "", Align::Left, Flow::Wrap);
  item.field({50, 0.5, 12, 0}, "", Align::Left, Flow::Wrap);
  Band next = fixedBand(5);
  const std::string name = "PARACETAMOL tablete 500 mg, škatla po 20 tablet, filmsko obložene";
  const std::string word = "NATRIJEVKLORIDRAZTOPINAZAINFUZIJO";  // wider than its 12 mm
  r.print(item, {name, word});
  r.print(next, {std::string("naslednji")});
  Document doc = r.take();

  TextMeasure m;
  const double lh = m.lineHeight(font);
  std::string rejoinedName, rejoinedWord;
  int nameLines = 0, wordLines = 0;
  for (const auto& t : texts(doc.pages[0])) {
    if (t.box.x == 15) {
      ++nameLines;
      rejoinedName += (rejoinedName.empty() ? "" : " ") + t.text;
      EXPECT_LE(m.width(font, t.text), 30 + 1e-6) << t.text;
      EXPECT_DOUBLE_EQ(t.box.y, 46.5 + (nameLines - 1) * lh);
    } else if (t.box.x == 55) {
      ++wordLines;
      rejoinedWord += t.text;
      EXPECT_LE(m.width(font, t.text), 12 + 1e-6) << t.text;
    }
  }
  EXPECT_GE(nameLines, 3);
  EXPECT_GE(wordLines, 3);
  EXPECT_EQ(rejoinedName, name);
  EXPECT_EQ(rejoinedWord, word);
  const TextItem* after = findText(doc.pages[0], "naslednji");
  ASSERT_TRUE(after);
  EXPECT_NEAR(after->box.y, 46 + 0.5 + std::max(nameLines, wordLines) * lh, 1e-9);
}

TEST(ReportEngine, WrapKeepsLineBreaksAndDropsBlankPadding) {
  TextMeasure m;
  const Font f{"Arial CE", 10};
  std::vector<std::string> lines;
  for (const auto& l : wrapLines(m, f, "ena\r\n\r\ndve   ", 100)) lines.push_back(l.text);
  EXPECT_EQ(lines, (std::vector<std::string>{"ena", "", "dve"}));
  EXPECT_TRUE(wrapLines(m, f, "    ", 100).empty());
  EXPECT_TRUE(wrapLines(m, f, "", 100).empty());
}

TEST(ReportEngine, PageNumbersAreOnEveryPage) {
  Report r("test", kLayout);
  Band header("HEADER", 40, BandKind::PageHeader);
  header.font(Font{"Trebuchet MS", 10}).pageNumber({231, 4, 0, 0}, "@pStran:          <<<#p");
  r.setPageHeader(header);
  Band band = fixedBand(60);
  for (int i = 0; i < 5; ++i) r.print(band, {std::string("x")});
  Document doc = r.take();
  ASSERT_EQ(doc.pages.size(), 3u);
  for (std::size_t p = 0; p < doc.pages.size(); ++p) {
    const std::string expected = "Stran:             " + std::to_string(p + 1);
    const TextItem* t = findText(doc.pages[p], expected);
    ASSERT_TRUE(t) << "page " << p + 1;
    EXPECT_DOUBLE_EQ(t->box.x, 236);
    EXPECT_DOUBLE_EQ(t->box.y, 10);
    EXPECT_GT(t->box.w, 0);
  }
}

// A description of thousands of characters is taller than a body: it goes
// on over the next pages, every line of it, none below the body's foot.
TEST(ReportEngine, ABandTallerThanABodyIsSplitBetweenItsLines) {
  Report r("test", kLayout);
  Band before = fixedBand(100);
  Band memo("DETAIL2");
  memo.font(Font{"Trebuchet MS", 8});
  memo.field({176, 0, 65, 0}, "", Align::Left, Flow::Wrap);
  memo.frame({0, 0, 275, 300});
  std::string text;
  for (int i = 1; i <= 90; ++i) text += "vrstica" + std::to_string(i) + "\n";
  r.print(before, {std::string("prej")});
  r.print(memo, {text});
  r.print(before, {std::string("potem")});
  Document doc = r.take();

  std::vector<std::string> seen;
  for (std::size_t p = 0; p < doc.pages.size(); ++p) {
    bool first = true;
    for (const auto& t : texts(doc.pages[p])) {
      EXPECT_LE(t.box.y + t.box.h, 196 + 1e-9) << "page " << p + 1 << " " << t.text;
      if (t.box.x != 181) continue;
      if (first) {
        EXPECT_DOUBLE_EQ(t.box.y, 46) << "page " << p + 1;
      }
      first = false;
      seen.push_back(t.text);
    }
    for (const Item& i : doc.pages[p].items) {
      if (auto* b = std::get_if<BoxItem>(&i)) {
        EXPECT_LE(b->rect.y + b->rect.h, 196 + 1e-9);
      }
    }
  }
  ASSERT_EQ(seen.size(), 90u);
  for (int i = 1; i <= 90; ++i) EXPECT_EQ(seen[i - 1], "vrstica" + std::to_string(i));
  // It started on a fresh page, not after "prej", and "potem" follows it.
  EXPECT_TRUE(findText(doc.pages[0], "prej"));
  EXPECT_EQ(texts(doc.pages[0]).size(), 1u);
  EXPECT_TRUE(findText(doc.pages.back(), "potem"));
}

TEST(ReportEngine, AGroupHeaderGoesToTheNextPageWithItsFirstLine) {
  Report r("test", kLayout);
  Band filler = fixedBand(140);
  Band header("HEADER:SIFR", 6, BandKind::GroupHeader);
  header.field({2, 0, 40, 0}, "@s20");
  Band line = fixedBand(6);
  r.print(filler, {std::string("polno")});
  r.print(header, {std::string("glava")});  // 6 of the 10 left would fit alone
  r.print(line, {std::string("vrstica")});
  Document doc = r.take();
  ASSERT_EQ(doc.pages.size(), 2u);
  ASSERT_TRUE(findText(doc.pages[1], "glava"));
  EXPECT_DOUBLE_EQ(findText(doc.pages[1], "glava")->box.y, 46);
  EXPECT_DOUBLE_EQ(findText(doc.pages[1], "vrstica")->box.y, 52);

  Report alone("test", kLayout);
  alone.print(header, {std::string("zadnja glava")});
  EXPECT_TRUE(findText(alone.take().pages.at(0), "zadnja glava"));  // finishing lets it out
}

TEST(ReportEngine, FieldsShowTheirValuesThroughTheirPictures) {
  Report r("test", kLayout);
  Band b("DETAIL:OPISM", 5);
  b.font(Font{"Trebuchet MS", 8, true});
  b.field({176, 0, 22, 0}, "@n13`4~ €~B", Align::Right);
  b.field({197, 0, 0, 0}, "@n_6`2~%~", Align::Right);
  b.field({250, 0, 0, 0}, "@n12`2~ €~B", Align::Right);
  b.field({2, 0, 0, 0}, "@s6");
  b.field({100, 0, 0, 0}, "@d06.");
  b.field({120, 0, 20, 0}, "@s20", Align::Centre);
  r.print(b, {Decimal::parse("1234.5").value(), Decimal::parse("9.5").value(), Decimal(0), std::string("123456789"),
              pic::Date{5, 3, 2022}, std::string("ŠIFRA      ")});
  const Document doc = r.take();
  const Page& p = doc.pages.at(0);
  const TextItem* price = findText(p, " 1.234,5000 €");
  ASSERT_TRUE(price);
  EXPECT_EQ(price->align, Align::Right);
  EXPECT_DOUBLE_EQ(price->box.w, 22);
  EXPECT_TRUE(findText(p, " 9,50%"));
  EXPECT_TRUE(findText(p, "123456"));
  EXPECT_TRUE(findText(p, "05.03.2022"));
  EXPECT_TRUE(findText(p, "ŠIFRA"));  // record padding gone, so it centres
  EXPECT_EQ(texts(p).size(), 5u);     // the zero value with "b" draws nothing
}

TEST(ReportEngine, MisuseIsRefusedWithAClearMessage) {
  Report r("test", kLayout);
  Band b = fixedBand(5);
  EXPECT_THROW(r.print(b, {}), std::invalid_argument);
  EXPECT_THROW(r.print(b, {Decimal(5)}), std::invalid_argument);  // a number in a text picture
  EXPECT_THROW(b.field({0, 0, 0, 0}, "", Align::Left, Flow::Wrap), std::invalid_argument);
  EXPECT_THROW(b.pageNumber({0, 0, 0, 0}, "@n5"), std::invalid_argument);
  EXPECT_THROW(b.field({0, 0, 0, 0}, "@q5"), pic::BadPicture);
  r.finish();
  EXPECT_THROW(r.print(fixedBand(5), {std::string("late")}), std::logic_error);
  EXPECT_EQ(r.pageCount(), 0);
}

TEST(ReportEngine, TheTextDumpListsEveryItemInPageCoordinates) {
  Report r("Specifikacija", kLayout);
  Band header("HEADER", 40, BandKind::PageHeader);
  header.box({0, 31, 275, 9}, Colour{192, 192, 192});
  header.font(Font{"Arial CE", 10, true}).text({19, 4, 80, 5}, "Ponudnik d.o.o.");
  header.font(Font{"Trebuchet MS", 10}).pageNumber({231, 4, 30, 5}, "@pStran:          <<<#p", Align::Right);
  r.setPageHeader(header);
  Band footer("FOOTER:POSK", 14, BandKind::Footer);
  footer.line(0, 0, 275, 0, 0.3);
  footer.frame({200, 7, 70, 6});
  r.print(footer);
  const std::string expected =
      "document Specifikacija\n"
      "font 0 B10 Arial CE\n"
      "font 1 R10 Trebuchet MS\n"
      "page 1 box 5.0 37.0 275.0 9.0 fill 192 192 192\n"
      "page 1 text 24.0 10.0 80.0 5.0 B10 L Ponudnik d.o.o.\n"
      "page 1 text 236.0 10.0 30.0 5.0 R10 R Stran:             1\n"
      "page 1 line 5.0 46.0 280.0 46.0 0.3\n"
      "page 1 box 205.0 53.0 70.0 6.0 frame 0.2\n";
  EXPECT_EQ(dump(r.take()), expected);
}

}  // namespace
}  // namespace tdx::report
