#pragma once
// The bands of the priced offer specification (OBR-8): landscape A4, every
// band 275 mm wide and 5 mm from the page's left edge. The values of each
// band are handed over in the order of its enum.

#include "runtime/report_band.h"
#include "runtime/report_engine.h"

namespace tdx::reports {

namespace obr8 {

// Page header: the bidder, the buyer, the date, the subject of the tender.
enum HeaderValue { BidderName, BidderAddress, BidderPost, Buyer1, Buyer2, Date, Group, GroupName, Subgroup,
                   SubgroupName, HeaderValues };
// Item line.
enum ItemValue { ItemName, Form, Code, Quantity, Unit, Description, Catalogue, FirstPrice, ItemValues };
// Offer line.
enum OfferValue { RegistryCode, ProtectedName, Maker, Packaging, SmallestUnit, NetPrice, Discount, VatRate,
                  PackSize, GrossPrice, LineValue, Order, Withdrawn, OfferValues };
// Subgroup footer.
enum FooterValue { TotalWithoutVat, TotalVat, TotalWithVat, FooterValues };

}  // namespace obr8

struct OfferReportBands {
  report::Band header{"HEADER", 40, report::BandKind::PageHeader};
  report::Band item{"DETAIL2"};
  report::Band offer{"DETAIL:OPISM"};
  report::Band footer{"FOOTER:POSK", 14, report::BandKind::GroupFooter};
  OfferReportBands();
};

// Built once: a band keeps its pictures for the life of the program.
const OfferReportBands& offerReportBands();

// Header 6 mm from the top, 40 high; body from 46 mm, 150 high.
report::PageLayout offerReportLayout();

inline constexpr const char* kOfferReportTitle = "SPECIFIKACIJA PONUDBE S CENAMI - priloga Predračuna (OBR-8)";

}  // namespace tdx::reports
