#include "reports/offer_pricing.h"

namespace tdx::reports {

OfferLine offerLine(const Decimal& quantity, const Paralela& offer) {
  OfferLine line;
  const Decimal net = offer.ncena.get();
  const Decimal corrected = offer.ncena_kf.get();
  line.netShown = corrected != net && corrected > Decimal(0) ? corrected : net;
  line.withdrawn = offer.sort.get() == kWithdrawnSort;
  if (!line.withdrawn) {
    line.value = (quantity * offer.bcena.get()).rounded(2);
    line.netValue = (quantity * net).rounded(2);
  }
  line.counted = offer.bcena.get() > Decimal(0) && !line.withdrawn;
  return line;
}

void OfferTotals::add(const OfferLine& line) {
  if (line.counted) ++counted_;
  // A withdrawn line after the counted one passes here too and adds its 0.
  if (counted_ == 1) {
    withVat_ = (withVat_ + line.value).rounded(2);
    withoutVat_ = (withoutVat_ + line.netValue).rounded(2);
  }
  vat_ = (withVat_ - withoutVat_).rounded(2);
}

}  // namespace tdx::reports
