#pragma once
// The price model of an offer: the registry price cap and the derived
// prices (corrected, discounted and VAT-inclusive, per pack and per unit).
//
// One module serves the offer form and the offer imports, so that a price
// typed in and a price imported are computed alike. The functions are pure:
// the caller reads the registry record, writes the offer and talks to the
// user. Every result is computed first and stored only when all of them fit
// their fields, so an offer is either fully recalculated or left as it was.

#include <optional>
#include <string>

#include "records/decimal.h"
#include "records/layouts.h"

namespace tdx::price {

// What the registry record (looked up by PAR:IDZDR) contributed.
enum class Registry {
  NotConsulted,   // the rule does not look at the registry for this offer
  Found,          // found with a price of 0 or more
  NotFound,       // no record: nothing was changed
  NegativePrice,  // found with a price below 0: nothing was changed
};

// A computed price that does not fit its field. When a result carries one,
// the offer was left exactly as it was.
struct Overflow {
  std::string field;  // "PAR:BCENA_AZ"
  Decimal value;      // the exact value that was to be stored
  int digits = 0;     // the field's DECIMAL(digits, places)
  int places = 0;
  // "PAR:BCENA_AZ: 12345678.9012 does not fit DECIMAL(11,4)"
  std::string message() const;
};

// The offer form caps only offers of group 28 below subgroup 28; the
// subgroups from 28 on are special ones without registry medicines.
bool formAppliesCap(const Paralela& offer);

// The two forms of the offer form's cap.
enum class CapForm {
  Opening,  // when the form opens: a pack price not below the registry price is replaced; a 0 stays
  Full,     // every recalculation: a pack price of 0 is replaced as well
};

struct FormResult {
  Registry registry = Registry::NotConsulted;
  bool capped = false;          // PAR:NCENA_AZ was set to the registry price
  bool pricesComputed = false;  // PAR:NCENA_KF, BCENA_AZ, BCENA and NCENA were stored
  std::optional<Overflow> overflow;
  bool ok() const { return !overflow; }
};

// The offer form's recalculation. For an offer the form caps, `registry` is
// the record found for PAR:IDZDR (nullptr: none). A usable record (price 0
// or more) also gives PAR:PAKIRANJE and PAR:EM; a price above 0 caps
// PAR:NCENA_AZ. Then the derived prices, PAR:NCENA being the discounted net
// price per unit. Offers the form does not cap get the derived prices only.
FormResult recalculateForForm(Paralela& offer, const Zdravnet* registry, CapForm form);

struct ImportResult {
  Registry registry = Registry::NotFound;
  bool capped = false;          // offered price not below the registry price: replaced by it
  bool lowered = false;         // offered price strictly above: the caller writes a log record
  Decimal offered;              // PAR:NCENA as it came in
  Decimal cap;                  // RZDR:NCENA (0 when the record was not found)
  bool pricesComputed = false;  // PAR:NCENA_KF, BCENA_AZ and BCENA were stored
  std::optional<Overflow> overflow;
  bool ok() const { return !overflow; }
};

// The imports' cap, for offers of every group: the offered PAR:NCENA is
// compared with the registry price, PAR:NCENA_AZ gets the lower of the two
// (the offered price when the registry price is 0), then the derived prices
// without the per-unit net price, and PAR:NCENA becomes PAR:NCENA_AZ. A
// missing record or a negative registry price changes nothing. Units per
// pack and unit stay as imported.
ImportResult applyImportRules(Paralela& offer, const Zdravnet* registry);

// The derived prices alone, in their order, each computed from the stored
// (rounded) value before it: PAR:NCENA_KF, PAR:BCENA_AZ, PAR:BCENA and, with
// `netPerUnit`, PAR:NCENA. A PAR:KFAKTOR of 0 is stored as 1 first. Nothing
// is stored when any of them does not fit.
std::optional<Overflow> computeDerivedPrices(Paralela& offer, bool netPerUnit);

}  // namespace tdx::price
