#include "reports/offer_report_bands.h"

#include <initializer_list>

namespace tdx::reports {

using report::Align;
using report::Flow;
using report::Font;

namespace {

const Font kRegular{"Trebuchet MS", 10};
const Font kBold{"Trebuchet MS", 10, true};
const Font kSmall{"Trebuchet MS", 8};
const Font kSmallBold{"Trebuchet MS", 8, true};
// The stamp line keeps the report's own font.
const Font kReportFont{"Arial CE", 10};

struct Heading {
  double x;
  const char* text;
};

// Each heading as wide as its text from its left edge: the numeric
// headings are about as wide as the gaps between them, and a box any
// narrower would cut them.
void headings(report::Band& band, double y, std::initializer_list<Heading> list) {
  for (const Heading& h : list) band.text({h.x, y, 0, 0}, h.text);
}

}  // namespace

OfferReportBands::OfferReportBands() {
  using namespace obr8;
  header.font(kRegular).text({1, 0, 0, 0}, "Ponudnik:");
  header.font(kBold);
  header.field({19, 0, 80, 5}, "@s50");
  header.field({19, 4, 80, 5}, "@s50");
  header.field({19, 8, 80, 5}, "@s50");
  header.font(kRegular).text({106, 0, 0, 0}, "Naročnik:");
  header.font(kBold);
  header.field({124, 0, 90, 5}, "@s35");
  header.field({124, 4, 90, 5}, "@s35");
  header.font(kRegular).text({231, 0, 0, 0}, "Datum:");
  header.field({244, 0, 0, 0}, "@d06.");
  header.pageNumber({231, 4, 0, 0}, "@pStran:          <<<#p");
  header.font(Font{"Trebuchet MS", 14, true}).text({2, 14, 270, 6}, kOfferReportTitle, Align::Centre);
  header.font(kRegular).text({1, 20, 0, 0}, "Predmet javnega naročila:");
  header.field({44, 20, 7, 0}, "@n02b", Align::Right);
  header.field({52, 20, 185, 0}, "@s100");
  header.field({44, 25, 7, 0}, "@n02b", Align::Right);
  header.field({52, 25, 185, 0}, "@s100");
  // Behind the column headings: put before them, drawn first.
  header.box({0, 31, 275, 9}, report::Colour{192, 192, 192});
  header.font(kSmall);
  headings(header, 32, {{2, "Naziv"}, {54, "Oblika"}, {105, "Šifra"}, {122, "Okvirna količ."}, {141, "Enota mere"},
                        {176, "Opis"}, {266, "Z.št."}});
  header.font(kSmallBold);
  headings(header, 36, {{2, "del.šif."}, {12, "Zaščiteno ime"}, {58, "Proizvajalec"}, {104, "Pakiranje"},
                        {155, "Najmanjša EM"}, {177, "Cena brez DDV"}, {198, "% pop."}, {210, "% DDV"},
                        {220, "Pakir."}, {234, "Cena z DDV"}, {252, "Vred. z DDV"}, {270, "VR"}});

  // Item line: a rule across the page above it; its texts just below the rule.
  item.font(kSmall).line(0, 0, 275, 0);
  item.field({2, 0.5, 50, 0}, "", Align::Left, Flow::Wrap);
  item.field({54, 0.5, 50, 0}, "", Align::Left, Flow::Wrap);
  item.field({105, 0.5, 17, 0}, "@n08b");
  item.field({124, 0.5, 15, 0}, "@n10.", Align::Right);
  item.field({141, 0.5, 35, 0}, "", Align::Left, Flow::Wrap);
  item.field({176, 0.5, 65, 0}, "", Align::Left, Flow::Wrap);
  item.font(kSmallBold).field({242, 0.5, 21, 0}, "@s12");
  item.font(kSmall).field({264, 0.5, 8, 0}, "@n04b");

  offer.font(kSmallBold);
  offer.field({2, 0, 10, 0}, "@s6");
  offer.field({12, 0, 45, 0}, "", Align::Left, Flow::Wrap);
  offer.field({58, 0, 45, 0}, "", Align::Left, Flow::Wrap);
  offer.field({104, 0, 50, 0}, "", Align::Left, Flow::Wrap);
  offer.field({155, 0, 22, 0}, "", Align::Left, Flow::Wrap);
  offer.field({176, 0, 20.5, 0}, "@n13`4~ €~B", Align::Right);
  offer.field({197, 0, 10, 0}, "@n_6`2~%~", Align::Right);
  offer.field({208, 0, 9, 0}, "@n_6`2~%~", Align::Right);
  offer.field({218, 0, 9, 0}, "@n6.b", Align::Right);
  offer.field({228, 0, 22, 0}, "@n13`4~ €~B", Align::Right);
  offer.field({250, 0, 19, 0}, "@n12`2~ €~B", Align::Right);
  offer.field({269, 0, 5, 0}, "@n02b", Align::Right);
  offer.field({238, 6, 31, 0}, "@s20");

  footer.font(kSmallBold).line(0, 0, 275, 0);
  footer.text({60, 1, 0, 0}, "Končna ponudbena vrednost (brez DDV/vrednost DDV/z DDV):");
  footer.field({168, 1, 30, 0}, "@n15`2~ €~B", Align::Right);
  footer.field({207, 1, 30, 0}, "@n15`2~ €~B", Align::Right);
  footer.field({245, 1, 30, 0}, "@n15`2~ €~B", Align::Right);
  footer.font(kReportFont).text({204, 8, 0, 0}, "ŽIG IN PODPIS:");
}

const OfferReportBands& offerReportBands() {
  static const OfferReportBands bands;
  return bands;
}

report::PageLayout offerReportLayout() {
  report::PageLayout layout;
  layout.left = 5;
  layout.headerTop = 6;
  layout.bodyTop = 46;
  layout.bodyHeight = 150;
  return layout;
}

}  // namespace tdx::reports
