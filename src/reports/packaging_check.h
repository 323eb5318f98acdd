#pragma once
// The packaging check: which offers name a registered medicine with
// another number of units per pack than the registry's, and the row of
// "zdrndbf.dbf" that tells the user about one.

#include <memory>

#include "exchange/dbf_record.h"
#include "records/errors.h"
#include "records/layouts.h"
#include "runtime/procedure.h"

namespace tdx::reports {

// The registry's record must be the offer's medicine letter for letter: the
// registry is looked up without case, but "ab1234" is not "AB1234" here.
bool packagingDiffers(const Paralela& offer, const Zdravnet& registry);

// The item code, the medicine, the offer's units per pack, the registry's
// ATC code and the item's name; the other columns stay empty. An item code
// with more digits than its column is refused rather than cut into another
// code.
err::Error fillMismatch(const Paralela& offer, const Zdravnet& registry, const Podatki& item, dbf::Record& row);

// preveripakiranje
std::unique_ptr<rt::Procedure> makePackagingCheck(rt::Context& ctx, const rt::Options& options);

}  // namespace tdx::reports
