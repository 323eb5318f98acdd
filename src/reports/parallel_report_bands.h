#pragma once
// The bands of the parallel offers specification ("SPECIFIKACIJA PONUDBE -
// PARALELE"): landscape A4, bands 277 mm wide, 5 mm from the left edge.
// The values of each band are handed over in the order of its enum.

#include "runtime/report_band.h"
#include "runtime/report_engine.h"

namespace tdx::reports {

namespace paralele {

enum HeaderValue { BidderName, BidderAddress, BidderPost, Buyer1, Buyer2, Date, Group, GroupName, Subgroup,
                   SubgroupName, HeaderValues };
// Item header, before the first offer of an item.
enum ItemValue { Code, ItemName, Form, Quantity, Unit, ItemValues };
// Offer line.
enum OfferValue { RegistryCode, BarCode, ProtectedName, Maker, Packaging, ItemCode, OfferValues };

}  // namespace paralele

struct ParallelReportBands {
  report::Band header{"HEADER", 48, report::BandKind::PageHeader};
  report::Band item{"HEADER:SIFR", 0, report::BandKind::GroupHeader};
  report::Band offer{"DETAIL"};
  report::Band itemFooter{"FOOTER:SIFR", 1, report::BandKind::GroupFooter};
  report::Band groupFooter{"FOOTER:SKUP", 10, report::BandKind::GroupFooter};
  ParallelReportBands();
};

const ParallelReportBands& parallelReportBands();

// Header 6 mm from the top, 48 high; body from 54 mm, 142 high.
report::PageLayout parallelReportLayout();

inline constexpr const char* kParallelReportTitle = "SPECIFIKACIJA PONUDBE - PARALELE";

}  // namespace tdx::reports
