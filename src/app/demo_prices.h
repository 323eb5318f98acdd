#pragma once
// The derived prices of a demo offer, so that demo offers look exactly as
// the offer form would have left them.
// TODO(h5): call the shared offer price rules once records/price_rules.h is
// in the tree, and drop this copy.

#include "records/layouts.h"

namespace tdx::app::demo {

// From NCENA_AZ, KFAKTOR (0 counts as 1), POPUST, PDDV and PAKIRANJE: sets
// NCENA_KF, BCENA_AZ, BCENA and NCENA, each stored (rounded) before the next.
void applyDerivedPrices(Paralela& offer);

}  // namespace tdx::app::demo
