#pragma once
// What the offer imports take from a row: a row of "PARALDBF.DBF" or a line
// of the semicolon file becomes the fields of an offer, and a registry
// record completes an offer of the semicolon import.
//
// A value that does not fit its field (a table widened by a spreadsheet, a
// price with too many digits) is refused with an error that names the
// column and the value, and the offer is left exactly as it was: an import
// never stores a cut or wrapped number.

#include <string>
#include <vector>

#include "exchange/dbf_record.h"
#include "records/errors.h"
#include "records/layouts.h"

namespace tdx::transfer {

// Group, subgroup, lot and item code, and the medicine's texts (name,
// holder, packaging, bar code, registry identifier) of an offer being
// added.
err::Error setOfferItemFromRow(const dbf::Record& row, Paralela& offer);

// The price inputs an update may change as well: net price, discount, VAT
// rate, correction factor (0 becomes 1), sort position, units per pack and
// unit.
err::Error setOfferPricesFromRow(const dbf::Record& row, Paralela& offer);

// A line of the semicolon file: item code, registry identifier, net price,
// discount and VAT rate; sort position and correction factor 1.
err::Error setOfferFromLine(const std::vector<std::string>& fields, Paralela& offer);

// The registry's name, holder, packaging, bar code, units per pack and unit.
void completeOfferFromRegistry(const Zdravnet& registry, Paralela& offer);

}  // namespace tdx::transfer
