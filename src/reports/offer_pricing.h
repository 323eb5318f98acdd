#pragma once
// The money of the priced offer report: what an offer line shows and what
// it adds to the subgroup's totals. Exact decimals throughout; values are
// rounded half away from zero to the 2 places they are kept in.
//
// Each item adds only its first counted offer, which in the offers' key
// order (gross unit price, then order value) is its cheapest positive,
// not withdrawn one: the hospital buys that one. Later offers are printed
// so the buyer sees the alternatives, and add nothing.

#include "records/decimal.h"
#include "records/layouts.h"

namespace tdx::reports {

struct OfferLine {
  Decimal netShown;  // the net unit price printed: corrected where a correction applies
  Decimal value;     // the line's value with VAT, printed
  Decimal netValue;  // the line's value without VAT, only counted
  bool withdrawn = false;
  bool counted = false;  // a positive price and not withdrawn
};

// The line of an offer of an item of `quantity` (POD:KOLI). The values use
// PAR:NCENA, whatever net price is shown; a withdrawn offer is worth 0.
OfferLine offerLine(const Decimal& quantity, const Paralela& offer);

class OfferTotals {
 public:
  // A new item: none of its offers is counted yet.
  void startItem() { counted_ = 0; }
  // An offer line printed for the current item.
  void add(const OfferLine& line);

  const Decimal& withoutVat() const { return withoutVat_; }
  const Decimal& vat() const { return vat_; }
  const Decimal& withVat() const { return withVat_; }

 private:
  int counted_ = 0;
  Decimal withoutVat_, vat_, withVat_;
};

}  // namespace tdx::reports
