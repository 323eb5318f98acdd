#pragma once
// The bidder and the buyer that both reports name in their page header:
// the first record of each file, checked before a report is opened, since
// a specification without the bidder's name or the buyer is not one a
// hospital accepts.

#include <string_view>

#include "records/catalogue.h"
#include "records/layouts.h"

namespace tdx::rt { class Context; }

namespace tdx::reports {

struct Parties {
  RecordBuffer bidder{FileId::Ponudnik};
  RecordBuffer buyer{FileId::Kupec};
  const Ponudnik& pon() const { return bidder.as<Ponudnik>(); }
  const Kupec& kup() const { return buyer.as<Kupec>(); }
};

// Reads both (the files are open on `ctx`). A blank bidder name shows
// `noBidderText`, a blank first buyer line the buyer message, each with
// caption "Opozorilo", and the answer is false: no report. A read error is
// the standard warning 35 naming the file, and no report either.
bool readParties(rt::Context& ctx, std::string_view noBidderText, Parties& out);

}  // namespace tdx::reports
