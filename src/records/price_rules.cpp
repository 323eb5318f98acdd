#include "records/price_rules.h"

#include "records/fields.h"

namespace tdx::price {

namespace {

constexpr int kCappedGroup = 28;
constexpr int kFirstSpecialSubgroup = 28;

// Works on a copy of the offer and remembers the first value that did not
// fit, so that the caller's offer is written once, all or nothing.
class Staging {
 public:
  explicit Staging(const Paralela& offer) : work_(offer) {}

  Paralela& work() { return work_; }
  bool failed() const { return overflow_.has_value(); }
  const std::optional<Overflow>& overflow() const { return overflow_; }

  template <int D, int P>
  void store(Dec<D, P>& field, const char* label, const Decimal& value) {
    if (failed()) return;
    if (!Dec<D, P>::fits(value)) {
      overflow_ = Overflow{label, value, D, P};
      return;
    }
    field = value;
  }

  // Arithmetic beyond 128 bits cannot arise from field-sized inputs, but a
  // failure is still reported against the price being computed (all of
  // them are DECIMAL(11,4)).
  void fail(const char* label) {
    if (!failed()) overflow_ = Overflow{label, Decimal(), 11, 4};
  }

 private:
  Paralela work_;
  std::optional<Overflow> overflow_;
};

void derive(Staging& s, bool netPerUnit) {
  Paralela& p = s.work();
  const char* current = "PAR:NCENA_KF";
  try {
    if (p.kfaktor.isZero()) s.store(p.kfaktor, "PAR:KFAKTOR", Decimal(1));
    s.store(p.ncena_kf, "PAR:NCENA_KF", p.ncena_az.get() * p.kfaktor.get());
    if (s.failed()) return;
    // Every later price starts again from the stored, rounded corrected
    // price, never from another rounded result.
    const Decimal corrected = p.ncena_kf.get();
    const Decimal discounted = (Decimal(1) - p.popust.get() / Decimal(100)) * corrected;
    const Decimal gross = discounted * (Decimal(1) + p.pddv.get() / Decimal(100));
    const Decimal units = Decimal(p.pakiranje.get());
    current = "PAR:BCENA_AZ";
    s.store(p.bcena_az, "PAR:BCENA_AZ", gross);
    current = "PAR:BCENA";
    s.store(p.bcena, "PAR:BCENA", gross / units);  // a pack of 0 gives 0
    if (netPerUnit) {
      current = "PAR:NCENA";
      s.store(p.ncena, "PAR:NCENA", discounted / units);
    }
  } catch (const DecimalOverflow&) {
    s.fail(current);
  }
}

Registry classify(const Zdravnet* registry) {
  if (!registry) return Registry::NotFound;
  return registry->ncena.get().sign() < 0 ? Registry::NegativePrice : Registry::Found;
}

}  // namespace

std::string Overflow::message() const {
  return field + ": " + valueText(value, places) + " does not fit DECIMAL(" + std::to_string(digits) + "," +
         std::to_string(places) + ")";
}

bool formAppliesCap(const Paralela& offer) {
  return offer.skup.get() == kCappedGroup && offer.posk.get() < kFirstSpecialSubgroup;
}

std::optional<Overflow> computeDerivedPrices(Paralela& offer, bool netPerUnit) {
  Staging s(offer);
  derive(s, netPerUnit);
  if (!s.failed()) offer = s.work();
  return s.overflow();
}

FormResult recalculateForForm(Paralela& offer, const Zdravnet* registry, CapForm form) {
  FormResult r;
  Staging s(offer);
  Paralela& p = s.work();
  bool capped = false;
  if (formAppliesCap(offer)) {
    r.registry = classify(registry);
    if (r.registry != Registry::Found) return r;
    const Decimal limit = registry->ncena.get();
    if (limit.sign() > 0) {
      const Decimal packPrice = p.ncena_az.get();
      if (packPrice >= limit || (form == CapForm::Full && packPrice.isZero())) {
        p.ncena_az = limit;
        capped = true;
      }
    }
    p.pakiranje = std::int32_t(registry->kolenote.get());
    p.em = registry->enota;
  }
  derive(s, true);
  if (s.failed()) {
    r.overflow = s.overflow();
    return r;
  }
  offer = s.work();
  r.capped = capped;
  r.pricesComputed = true;
  return r;
}

ImportResult applyImportRules(Paralela& offer, const Zdravnet* registry) {
  ImportResult r;
  r.offered = offer.ncena.get();
  r.registry = classify(registry);
  if (registry) r.cap = registry->ncena.get();
  if (r.registry != Registry::Found) return r;

  Staging s(offer);
  Paralela& p = s.work();
  bool capped = false, lowered = false;
  if (r.cap.sign() > 0 && r.offered >= r.cap) {
    p.ncena_az = r.cap;
    capped = true;
    lowered = r.offered > r.cap;
  } else {
    p.ncena_az = r.offered;
  }
  derive(s, false);
  if (s.failed()) {
    r.overflow = s.overflow();
    return r;
  }
  p.ncena = p.ncena_az.get();
  offer = s.work();
  r.capped = capped;
  r.lowered = lowered;
  r.pricesComputed = true;
  return r;
}

}  // namespace tdx::price
