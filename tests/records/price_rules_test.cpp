#include "records/price_rules.h"

#include <gtest/gtest.h>

#include <cstring>

#include "records/catalogue.h"

namespace tdx::price {
namespace {

Decimal d(std::string_view text) { return *Decimal::parse(text); }

Paralela blankOffer() { return RecordBuffer(FileId::Paralela).as<Paralela>(); }

Zdravnet medicine(std::string_view price, int unitsPerPack = 20, std::string_view unit = "tableta") {
  Zdravnet z = RecordBuffer(FileId::Zdravnet).as<Zdravnet>();
  z.idzdr = "AB1234";
  z.ncena = d(price);
  z.kolenote = std::int16_t(unitsPerPack);
  z.enota = unit;
  return z;
}

bool sameBytes(const Paralela& a, const Paralela& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Inputs {
  const char *packPrice, *factor, *discount, *vat;
  int units;
};
struct Derived {
  const char *corrected, *grossPerPack, *grossPerUnit, *netPerUnit;
};

Paralela offerWith(const Inputs& in) {
  Paralela p = blankOffer();
  p.ncena_az = d(in.packPrice);
  p.kfaktor = d(in.factor);
  p.popust = d(in.discount);
  p.pddv = d(in.vat);
  p.pakiranje = in.units;
  return p;
}

TEST(DerivedPrices, EachFromTheStoredValueBeforeIt) {
  const std::pair<Inputs, Derived> cases[] = {
      // 1.50075 rounds half away to 1.5008, and the later prices use 1.5008.
      {{"1.0005", "1.5", "0", "0", 1}, {"1.5008", "1.5008", "1.5008", "1.5008"}},
      {{"1.0005", "1.5", "0", "22", 1}, {"1.5008", "1.831", "1.831", "1.5008"}},
      {{"100", "1", "10", "9.5", 20}, {"100", "98.55", "4.9275", "4.5"}},
      // Pack of 0: nothing per unit, the pack price still computed.
      {{"100", "1", "10", "9.5", 0}, {"100", "98.55", "0", "0"}},
      // Discount 100 %: every discounted price is 0.
      {{"100", "1", "100", "22", 10}, {"100", "0", "0", "0"}},
      // Per unit from the exact gross 7.28175, not from the stored 7.2818.
      {{"7", "1", "5", "9.5", 4}, {"7", "7.2818", "1.8204", "1.6625"}},
      // A factor of 0 counts as 1.
      {{"10", "0", "0", "0", 1}, {"10", "10", "10", "10"}},
  };
  for (const auto& [in, want] : cases) {
    SCOPED_TRACE(std::string(in.packPrice) + " x " + in.factor + " -" + in.discount + "% +" + in.vat + "% /" +
                 std::to_string(in.units));
    Paralela p = offerWith(in);
    ASSERT_FALSE(computeDerivedPrices(p, true));
    EXPECT_EQ(p.ncena_kf.get(), d(want.corrected));
    EXPECT_EQ(p.bcena_az.get(), d(want.grossPerPack));
    EXPECT_EQ(p.bcena.get(), d(want.grossPerUnit));
    EXPECT_EQ(p.ncena.get(), d(want.netPerUnit));
    EXPECT_FALSE(p.kfaktor.isZero());
  }
}

TEST(DerivedPrices, ImportVariantLeavesTheNetPrice) {
  Paralela p = offerWith({"10", "1", "5", "9.5", 7});
  p.ncena = d("10");
  ASSERT_FALSE(computeDerivedPrices(p, false));
  EXPECT_EQ(p.bcena.get(), d("1.4861"));
  EXPECT_EQ(p.ncena.get(), d("10"));
}

TEST(FormCap, AppliesToGroup28BelowSubgroup28) {
  const std::tuple<int, int, bool> cases[] = {
      {28, 1, true}, {28, 0, true}, {28, 27, true}, {28, 28, false}, {28, 29, false}, {27, 1, false}, {1, 1, false},
  };
  for (auto [group, subgroup, capped] : cases) {
    Paralela p = blankOffer();
    p.skup = std::int16_t(group);
    p.posk = std::int16_t(subgroup);
    EXPECT_EQ(formAppliesCap(p), capped) << group << "/" << subgroup;
  }
}

Paralela group28Offer(std::string_view packPrice) {
  Paralela p = blankOffer();
  p.skup = 28;
  p.posk = 3;
  p.idzdr = "AB1234";
  p.ncena_az = d(packPrice);
  p.kfaktor = 1;
  p.pddv = d("9.5");
  p.pakiranje = 1;
  p.em = "kos";
  return p;
}

TEST(FormCap, RegistryPriceCapsThePackPrice) {
  struct Case {
    const char* offered;
    CapForm form;
    const char* packPrice;
    bool capped;
  };
  const Case cases[] = {
      {"0", CapForm::Full, "12.3456", true},       {"10", CapForm::Full, "10", false},
      {"15", CapForm::Full, "12.3456", true},      {"12.3456", CapForm::Full, "12.3456", true},
      {"0", CapForm::Opening, "0", false},         {"10", CapForm::Opening, "10", false},
      {"15", CapForm::Opening, "12.3456", true},
  };
  Zdravnet reg = medicine("12.3456", 20, "tableta");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.offered) + (c.form == CapForm::Full ? " full" : " opening"));
    Paralela p = group28Offer(c.offered);
    FormResult r = recalculateForForm(p, &reg, c.form);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.registry, Registry::Found);
    EXPECT_TRUE(r.pricesComputed);
    EXPECT_EQ(r.capped, c.capped);
    EXPECT_EQ(p.ncena_az.get(), d(c.packPrice));
    // Units per pack and the unit come from the registry either way.
    EXPECT_EQ(p.pakiranje.get(), 20);
    EXPECT_EQ(p.em.view(), "tableta");
    EXPECT_EQ(p.ncena_kf.get(), d(c.packPrice));
    EXPECT_EQ(p.bcena.get(), (d(c.packPrice) * d("1.095") / Decimal(20)).rounded(4));
  }
}

TEST(FormCap, RegistryPriceZeroCapsNothingButGivesThePack) {
  Zdravnet reg = medicine("0", 30, "ampula");
  Paralela p = group28Offer("15");
  FormResult r = recalculateForForm(p, &reg, CapForm::Full);
  EXPECT_EQ(r.registry, Registry::Found);
  EXPECT_FALSE(r.capped);
  EXPECT_EQ(p.ncena_az.get(), d("15"));
  EXPECT_EQ(p.pakiranje.get(), 30);
  EXPECT_EQ(p.em.view(), "ampula");
  EXPECT_EQ(p.bcena.get(), d("0.5475"));
}

TEST(FormCap, UnusableRegistryChangesNothing) {
  const Zdravnet negative = medicine("-1");
  for (const Zdravnet* reg : {static_cast<const Zdravnet*>(nullptr), &negative}) {
    Paralela p = group28Offer("15");
    p.kfaktor = 0;  // not even the factor is touched
    const Paralela before = p;
    FormResult r = recalculateForForm(p, reg, CapForm::Full);
    EXPECT_EQ(r.registry, reg ? Registry::NegativePrice : Registry::NotFound);
    EXPECT_FALSE(r.pricesComputed);
    EXPECT_FALSE(r.capped);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(sameBytes(p, before));
  }
}

TEST(FormCap, OtherOffersGetTheDerivedPricesOnly) {
  Zdravnet reg = medicine("5", 20, "tableta");
  for (int subgroup : {28, 29}) {
    Paralela p = group28Offer("15");
    p.posk = std::int16_t(subgroup);
    FormResult r = recalculateForForm(p, subgroup == 28 ? &reg : nullptr, CapForm::Full);
    EXPECT_EQ(r.registry, Registry::NotConsulted);
    EXPECT_TRUE(r.pricesComputed);
    EXPECT_EQ(p.ncena_az.get(), d("15"));
    EXPECT_EQ(p.pakiranje.get(), 1);
    EXPECT_EQ(p.em.view(), "kos");
    EXPECT_EQ(p.bcena_az.get(), d("16.425"));
  }
}

Paralela importedOffer(std::string_view offered) {
  Paralela p = blankOffer();
  p.skup = 3;  // the imports cap every group
  p.idzdr = "AB1234";
  p.ncena = d(offered);
  p.popust = d("5");
  p.pddv = d("9.5");
  p.kfaktor = 1;
  p.pakiranje = 7;
  p.em = "kos";
  return p;
}

TEST(ImportRules, CapsAtTheRegistryPriceAndReportsLoweredPrices) {
  struct Case {
    const char *offered, *registry, *packPrice;
    bool capped, lowered;
  };
  const Case cases[] = {
      {"12", "10", "10", true, true},  // lowered: the caller logs 12 against 10
      {"10", "10", "10", true, false},
      {"8", "10", "8", false, false},
      {"10", "0", "10", false, false},  // registry price 0 imposes no cap
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.offered) + " against " + c.registry);
    Zdravnet reg = medicine(c.registry, 50, "ampula");
    Paralela p = importedOffer(c.offered);
    ImportResult r = applyImportRules(p, &reg);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.registry, Registry::Found);
    EXPECT_EQ(r.capped, c.capped);
    EXPECT_EQ(r.lowered, c.lowered);
    EXPECT_EQ(r.offered, d(c.offered));
    EXPECT_EQ(r.cap, d(c.registry));
    EXPECT_TRUE(r.pricesComputed);
    EXPECT_EQ(p.ncena_az.get(), d(c.packPrice));
    EXPECT_EQ(p.ncena.get(), d(c.packPrice));
    // Units per pack and unit stay as imported.
    EXPECT_EQ(p.pakiranje.get(), 7);
    EXPECT_EQ(p.em.view(), "kos");
  }
}

TEST(ImportRules, DerivedPricesOfTheWorkedExample) {
  for (const char* registry : {"0", "10", "10.5"}) {
    Zdravnet reg = medicine(registry);
    Paralela p = importedOffer("10");
    ASSERT_TRUE(applyImportRules(p, &reg).ok());
    EXPECT_EQ(p.ncena_kf.get(), d("10")) << registry;
    EXPECT_EQ(p.bcena_az.get(), d("10.4025")) << registry;
    EXPECT_EQ(p.bcena.get(), d("1.4861")) << registry;
    EXPECT_EQ(p.ncena.get(), d("10")) << registry;
  }
}

TEST(ImportRules, UnusableRegistryLeavesThePrices) {
  const Zdravnet negative = medicine("-0.0001");
  for (const Zdravnet* reg : {static_cast<const Zdravnet*>(nullptr), &negative}) {
    // A new offer keeps its zeros, an updated one its stored prices.
    for (const char* stored : {"0", "3.3"}) {
      Paralela p = importedOffer("12");
      p.ncena_az = d(stored);
      p.ncena_kf = d(stored);
      p.bcena_az = d(stored);
      p.bcena = d(stored);
      const Paralela before = p;
      ImportResult r = applyImportRules(p, reg);
      EXPECT_EQ(r.registry, reg ? Registry::NegativePrice : Registry::NotFound);
      EXPECT_FALSE(r.lowered);
      EXPECT_FALSE(r.pricesComputed);
      EXPECT_TRUE(sameBytes(p, before));
    }
  }
}

TEST(PriceOverflow, RefusedWithTheFieldAndNothingChanges) {
  // NCENA_KF itself: 9999999 x 2.
  {
    Paralela p = offerWith({"9999999", "2", "0", "0", 1});
    const Paralela before = p;
    auto err = computeDerivedPrices(p, true);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->field, "PAR:NCENA_KF");
    EXPECT_EQ(err->value, Decimal(19999998));
    EXPECT_EQ(err->message(), "PAR:NCENA_KF: 19999998.0000 does not fit DECIMAL(11,4)");
    EXPECT_TRUE(sameBytes(p, before));
  }
  // A later price: the corrected price fits, the gross does not, and neither
  // it nor the pack size and unit from the registry are stored.
  {
    Zdravnet reg = medicine("0", 20, "tableta");
    Paralela p = group28Offer("9000000");
    p.pddv = 22;
    const Paralela before = p;
    FormResult r = recalculateForForm(p, &reg, CapForm::Full);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.overflow->field, "PAR:BCENA_AZ");
    EXPECT_EQ(r.overflow->value, Decimal(10980000));
    EXPECT_FALSE(r.pricesComputed);
    EXPECT_TRUE(sameBytes(p, before));
  }
  // The import: no log for a refused offer, and the offer stays as read.
  {
    Zdravnet reg = medicine("9000000");
    Paralela p = importedOffer("9500000");
    p.popust = 0;
    p.pddv = 22;
    const Paralela before = p;
    ImportResult r = applyImportRules(p, &reg);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.overflow->field, "PAR:BCENA_AZ");
    EXPECT_FALSE(r.lowered);
    EXPECT_FALSE(r.pricesComputed);
    EXPECT_TRUE(sameBytes(p, before));
  }
  // A VAT rate far out of range.
  {
    Paralela p = offerWith({"10000", "1", "0", "99999.99", 1});
    auto err = computeDerivedPrices(p, true);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->field, "PAR:BCENA_AZ");
  }
}

}  // namespace
}  // namespace tdx::price
