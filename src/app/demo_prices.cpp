#include "app/demo_prices.h"

namespace tdx::app::demo {

void applyDerivedPrices(Paralela& offer) {
  Decimal factor = offer.kfaktor.isZero() ? Decimal(1) : offer.kfaktor.get();
  offer.ncena_kf = offer.ncena_az.get() * factor;
  Decimal discounted = (Decimal(1) - offer.popust.get() / Decimal(100)) * offer.ncena_kf.get();
  Decimal gross = discounted * (Decimal(1) + offer.pddv.get() / Decimal(100));
  Decimal pack(offer.pakiranje.get());
  offer.bcena_az = gross;
  // Per unit from the stored corrected price, not from the rounded pack
  // price; a pack of 0 gives 0 (division by zero is 0).
  offer.bcena = gross / pack;
  offer.ncena = discounted / pack;
}

}  // namespace tdx::app::demo
