// The bidder's offers (PARALELA): about a third of the items get offers,
// with prices as the offer form leaves them, and the cases every tender
// shows somewhere: a withdrawn offer, two offers of one item at the same
// gross price told apart by their sort value, a zero-price offer, and
// group-28 offers below the registry price and above it (as after a
// registry update lowered the agency's price).

#include <algorithm>
#include <numeric>

#include "app/demo_names.h"
#include "app/demo_random.h"
#include "app/demo_tender.h"
#include "app/demo_writer.h"
#include "records/layouts.h"
#include "records/price_rules.h"

namespace tdx::app::demo {

namespace {

// Items the bidder offers for, in file order, and how many offers each gets.
std::vector<std::pair<std::size_t, std::int64_t>> offeredItems(const DemoTender& t) {
  std::size_t n = t.items.size();
  auto wanted = std::size_t(std::min<std::int64_t>(std::int64_t((n + 2) / 3), t.offers));
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t(0));
  Rng rng(t.options.seed, kOffersStream);
  for (std::size_t i = 0; i < wanted; ++i) std::swap(order[i], order[i + rng.below(n - i)]);
  order.resize(wanted);
  std::sort(order.begin(), order.end());

  std::vector<std::pair<std::size_t, std::int64_t>> out;
  if (wanted == 0) return out;
  auto m = std::int64_t(wanted);
  std::int64_t base = t.offers / m, extra = t.offers % m;
  for (std::int64_t p = 0; p < m; ++p) {
    // Spreads the extra offers evenly over the items.
    std::int64_t more = (p + 1) * extra / m - p * extra / m;
    out.emplace_back(order[std::size_t(p)], base + more);
  }
  return out;
}

const SpecialProduct& specialOf(const DemoItem& item) {
  auto table = item.kind == ItemKind::Magistral    ? magistralProducts()
               : item.kind == ItemKind::Unlicensed ? unlicensedProducts()
                                                   : nutritionProducts();
  return table[std::size_t(item.product)];
}

bool registryCapped(const DemoItem& item) { return item.group == 28 && item.subgroup < 28; }

Decimal percentOf(std::int64_t units, std::int64_t percent) {
  return Decimal::fromUnits(units, 4) * Decimal(percent) / Decimal(100);
}

class OfferMaker {
 public:
  OfferMaker(const DemoTender& t, RecordWriter& w) : t_(t), w_(w), bidderTax_(toCp1250(t.applicantTax)) {}

  void offersFor(const DemoItem& item, std::size_t itemIndex, std::int64_t count) {
    for (std::int64_t k = 0; k < count; ++k) {
      Rng rng(t_.options.seed, kOffersStream, (std::uint64_t(itemIndex) << 20) + std::uint64_t(k) + 1);
      auto& r = w_.as<Paralela>();
      r.skup = item.group;
      r.posk = item.subgroup;
      r.sklop = item.lot;
      r.sifr = item.code;
      r.doba = bidderTax_;
      r.kfaktor = item.subgroup == 5 ? negotiatedFactor(rng) : Decimal(1);
      r.popust = rng.chance(75) ? Decimal(0) : pickDiscount(rng);
      r.pddv = rng.chance(95) ? Decimal::fromUnits(95, 1) : Decimal(22);
      bool tie = false;
      if (item.kind == ItemKind::Medicine) {
        tie = medicineOffer(item, k, count, rng, r);
      } else {
        typedOffer(item, rng, r);
      }
      // The first offer of the next item after the tied pair is withdrawn.
      if (!tie && !withdrawnDone_ && k == 0 && item.kind == ItemKind::Medicine && tieDone_ &&
          r.sort.get() == 0) {
        r.sort = std::int16_t(kWithdrawnSort);
        withdrawnDone_ = true;
      }
      // Derived exactly as the offer form derives them.
      if (auto overflow = price::computeDerivedPrices(r, true))
        throw std::logic_error("demo offer price out of range: " + overflow->message());
      w_.add();
    }
  }

 private:
  static Decimal negotiatedFactor(Rng& rng) {
    static constexpr std::int64_t factors[] = {900000, 925000, 950000, 970000};
    return Decimal::fromUnits(rng.pick(std::span<const std::int64_t>(factors)), 6);
  }
  static Decimal pickDiscount(Rng& rng) {
    static constexpr std::int64_t discounts[] = {150, 200, 500, 1000};
    return Decimal::fromUnits(rng.pick(std::span<const std::int64_t>(discounts)), 2);
  }

  // Returns whether this offer is the second of the tied pair.
  bool medicineOffer(const DemoItem& item, std::int64_t k, std::int64_t count, Rng& rng, Paralela& r) {
    bool tieSecond = tiePending_ && k == 1;
    std::int64_t index;
    if (tieSecond) {
      index = tieMedicine_;
    } else {
      auto own = registryMedicineOf(t_, item.product, rng.next());
      index = own ? *own : std::int64_t(rng.below(std::uint64_t(t_.options.registry)));
    }
    DemoMedicine m = registryMedicine(t_, index);
    const auto& f = medicineForms()[std::size_t(m.form)];
    putCut(r.imezd, registeredName(m));
    putCut(r.proiz, holders()[std::size_t(m.holder)].name);
    putCut(r.prpak, registeredPack(m));
    put(r.ean, m.ean);
    put(r.idzdr, m.code);
    put(r.em, f.unit);
    r.pakiranje = std::int32_t(m.pack);

    if (tieSecond) {
      // Same medicine, same price inputs: the same gross price, ordered by sort.
      r.ncena_az = tiePrice_;
      r.kfaktor = tieFactor_;
      r.popust = tieDiscount_;
      r.pddv = tieVat_;
      r.sort = 2;
      tiePending_ = false;
      return true;
    }

    std::int64_t cap = m.netPrice;
    if (cap == 0 || !registryCapped(item)) {
      // No cap applies: the bidder's own price around the reference.
      r.ncena_az = percentOf(f.unitPrice * m.pack, rng.between(90, 115)).rounded(2);
    } else if (!aboveDone_ ? ++cappedSeen_ >= 4 : rng.chance(6)) {
      // Entered before the agency lowered its price: the offer form caps it
      // when it next opens the offer.
      r.ncena_az = percentOf(cap, rng.between(103, 112)).rounded(2);
      aboveDone_ = true;
    } else if (rng.chance(45)) {
      r.ncena_az = percentOf(cap, rng.between(85, 99)).rounded(2);
    } else {
      r.ncena_az = Decimal::fromUnits(cap, 4);
    }

    if (!tieDone_ && count >= 2 && k == 0 && registryCapped(item)) {
      tieDone_ = tiePending_ = true;
      tieMedicine_ = index;
      tiePrice_ = r.ncena_az;
      tieFactor_ = r.kfaktor;
      tieDiscount_ = r.popust;
      tieVat_ = r.pddv;
      r.sort = 1;
    }
    return false;
  }

  void typedOffer(const DemoItem& item, Rng& rng, Paralela& r) {
    const SpecialProduct& p = specialOf(item);
    putCut(r.imezd, p.offerName);
    putCut(r.proiz, p.maker);
    put(r.prpak, std::to_string(p.pack) + " x " + std::string(p.unit));
    put(r.em, p.unit);
    r.pakiranje = std::int32_t(p.pack);
    if (!zeroDone_ && item.group == 28) {
      // Entered without a price yet: every derived price is 0.
      r.ncena_az = Decimal(0);
      zeroDone_ = true;
      return;
    }
    r.ncena_az = percentOf(p.unitPrice * p.pack, rng.between(90, 115)).rounded(2);
  }

  const DemoTender& t_;
  RecordWriter& w_;
  std::string bidderTax_;
  bool tieDone_ = false, tiePending_ = false, withdrawnDone_ = false, zeroDone_ = false,
       aboveDone_ = false;
  int cappedSeen_ = 0;
  std::int64_t tieMedicine_ = 0;
  Decimal tiePrice_, tieFactor_, tieDiscount_, tieVat_;
};

}  // namespace

Written writeParalela(const DemoTender& t, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Paralela, folder);
  OfferMaker maker(t, w);
  for (const auto& [index, count] : offeredItems(t)) maker.offersFor(t.items[index], index, count);
  return w.finish("offers");
}

}  // namespace tdx::app::demo
