#include "reports/parallel_report_bands.h"

namespace tdx::reports {

using report::Align;
using report::Flow;
using report::Font;

namespace {

const Font kRegular{"Arial CE", 9};
const Font kBold{"Arial CE", 9, true};

}  // namespace

ParallelReportBands::ParallelReportBands() {
  header.font(kRegular).text({1, 1, 0, 0}, "Ponudnik:");
  header.font(kBold);
  header.field({24, 1, 70, 0}, "@s50");
  header.field({24, 5, 70, 0}, "@s50");
  header.field({24, 9, 70, 0}, "@s50");
  header.font(kRegular).text({106, 1, 0, 0}, "Naročnik:");
  header.font(kBold);
  header.field({128, 1, 70, 0}, "@s35");
  header.field({128, 6, 70, 0}, "@s35");
  header.text({230, 1, 0, 0}, "Datum:");
  header.field({243, 1, 0, 0}, "@d06.b");
  header.pageNumber({230, 6, 27, 0}, "@pStran:          <<<#p");
  header.font(Font{"Arial CE", 16, true}).text({3, 17, 274, 0}, kParallelReportTitle, Align::Centre);
  header.font(kRegular).text({1, 26, 0, 0}, "PREDMET JAVNEGA NAROČILA:");
  header.font(kBold);
  header.field({53, 26, 6, 0}, "@n02B");
  header.field({59, 26, 185, 0}, "@s100");
  header.field({53, 31, 6, 0}, "@n02B");
  header.field({59, 31, 185, 0}, "@s100");
  header.box({0, 38, 277, 10}, report::Colour{192, 192, 192});
  header.font(kBold);
  header.text({2, 39, 0, 0}, "Šifra ");
  header.text({21, 39, 0, 0}, "Zdravilna učinkovina");
  header.text({121, 39, 0, 0}, "Farmac.oblika,količ.sestava in pakiranje");
  header.text({220, 39, 0, 0}, "Okvirna količina");
  header.text({248, 39, 0, 0}, "EM");
  header.font(kRegular);
  header.text({8, 43, 0, 0}, "del.šifra");
  header.text({23, 43, 0, 0}, "Črtna koda");
  header.text({59, 43, 0, 0}, "Zaščiteno ime");
  header.text({131, 43, 0, 0}, "Proizvajalec");
  header.text({182, 43, 20, 0}, "Pakiranje");
  header.text({262, 43, 12, 0}, "Zap.št.", Align::Right);

  item.font(kBold);
  item.field({2, 0, 18, 0}, "@n08b");
  item.field({22, 0, 95, 0}, "", Align::Left, Flow::Wrap);
  item.field({121, 0, 95, 0}, "", Align::Left, Flow::Wrap);
  item.field({228, 0, 19, 0}, "@n10.", Align::Right);
  item.field({248, 0, 0, 0}, "@s3");

  offer.font(kRegular);
  offer.field({8, 0, 14, 0}, "@s6");
  offer.field({23, 0, 35, 0}, "", Align::Left, Flow::Wrap);
  offer.field({59, 0, 70, 0}, "", Align::Left, Flow::Wrap);
  offer.field({131, 0, 50, 0}, "", Align::Left, Flow::Wrap);
  offer.field({182, 0, 80, 0}, "", Align::Left, Flow::Wrap);
  offer.field({265, 0, 9, 0}, "@n04b", Align::Right);

  groupFooter.font(kRegular).line(0, 1, 278, 1);
  groupFooter.text({170, 3, 0, 0}, "ŽIG IN PODPIS:");
}

const ParallelReportBands& parallelReportBands() {
  static const ParallelReportBands bands;
  return bands;
}

report::PageLayout parallelReportLayout() {
  report::PageLayout layout;
  layout.left = 5;
  layout.headerTop = 6;
  layout.bodyTop = 54;
  layout.bodyHeight = 142;
  return layout;
}

}  // namespace tdx::reports
