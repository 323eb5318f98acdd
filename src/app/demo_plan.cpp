#include <algorithm>
#include <string_view>

#include "app/demo_names.h"
#include "app/demo_random.h"
#include "app/demo_tender.h"

namespace tdx::app::demo {

namespace {

// Which medicines a subgroup asks for, by ATC prefix; empty: any medicine
// except those the special sets claim.
std::vector<std::string_view> atcPrefixesOf(std::int16_t subgroup) {
  switch (subgroup) {
    case 2: return {"J"};
    case 3: return {"L", "A04", "V03"};
    case 4: return {"N02BE", "M01AE01", "R06", "A06", "D01", "D07", "B03", "A11"};
    case 6: return {"B05"};
    default: return {};
  }
}

std::vector<int> formsOf(std::int16_t subgroup) {
  auto prefixes = atcPrefixesOf(subgroup);
  std::vector<int> out;
  auto forms = medicineForms();
  for (std::size_t i = 0; i < forms.size(); ++i) {
    std::string_view atc = forms[i].atc;
    bool take = prefixes.empty() ? !atc.starts_with("L") : false;
    for (auto p : prefixes) take = take || atc.starts_with(p);
    if (take) out.push_back(int(i));
  }
  return out;
}

ItemKind kindOf(std::int16_t group, std::int16_t subgroup) {
  if (group != 28) return ItemKind::Nutrition;
  if (subgroup == 28) return ItemKind::Magistral;
  if (subgroup == 29) return ItemKind::Unlicensed;
  return ItemKind::Medicine;
}

std::size_t specialCount(ItemKind kind) {
  switch (kind) {
    case ItemKind::Magistral: return magistralProducts().size();
    case ItemKind::Unlicensed: return unlicensedProducts().size();
    case ItemKind::Nutrition: return nutritionProducts().size();
    case ItemKind::Medicine: return medicineForms().size();
  }
  return 1;
}

// Hundredths of the tender unit. Litres and kilograms come with decimals
// (12.60 l), everything else in whole units.
std::int64_t quantityOf(const DemoItem& item, Rng& rng) {
  if (item.kind == ItemKind::Medicine && medicineForms()[std::size_t(item.product)].tenderScale > 1)
    return rng.between(10, 800) * 5;
  static constexpr std::int64_t steps[] = {1, 10, 20, 50, 100};
  return rng.between(1, 300) * rng.pick(std::span<const std::int64_t>(steps)) * 100;
}

}  // namespace

DemoTender planDemoTender(const DemoOptions& options) {
  DemoTender t;
  t.options = options;
  t.applicantTax = taxNumber(bidder());

  auto subs = subgroups();
  std::vector<std::int64_t> counts(subs.size(), 0);
  std::int64_t assigned = 0;
  for (std::size_t i = 1; i < subs.size(); ++i) {
    counts[i] = options.items * subs[i].itemShare / 1000;
    // A tender of any real size has something in every subgroup.
    if (counts[i] == 0 && options.items >= 20) counts[i] = 1;
    assigned += counts[i];
  }
  counts[0] = options.items - assigned;

  Rng rng(options.seed, kItemsStream);
  t.items.reserve(std::size_t(options.items));
  std::int32_t code = 10000;
  for (std::size_t s = 0; s < subs.size(); ++s) {
    const auto& sub = subs[s];
    ItemKind kind = kindOf(sub.group, sub.subgroup);
    std::vector<int> forms = kind == ItemKind::Medicine ? formsOf(sub.subgroup) : std::vector<int>{};
    // Lots are numbered up to 999 (the price list's lot column has three
    // digits), so the lots of a large subgroup are larger.
    constexpr std::int16_t kLastLot = 999;
    const std::int64_t largestLot = std::max<std::int64_t>(6, counts[s] * 2 / 900 + 1);
    std::int16_t lot = 1;
    std::int64_t leftInLot = rng.between(1, largestLot);
    for (std::int64_t n = 0; n < counts[s]; ++n) {
      if (leftInLot-- == 0 && lot < kLastLot) {
        ++lot;
        leftInLot = rng.between(1, largestLot) - 1;
      }
      DemoItem item;
      item.group = sub.group;
      item.subgroup = sub.subgroup;
      item.lot = lot;
      item.kind = kind;
      // Now and then the buyer asks for the same medicine, under the same
      // code, in another subgroup: the item keys allow it.
      if (kind == ItemKind::Medicine && s > 0 && !t.items.empty() && rng.chance(2)) {
        const DemoItem& earlier = t.items[std::size_t(rng.below(t.items.size()))];
        if (earlier.kind == ItemKind::Medicine && earlier.subgroup != sub.subgroup) {
          item.code = earlier.code;
          item.product = earlier.product;
          item.firstOfCode = false;
        }
      }
      if (item.firstOfCode) {
        code += std::int32_t(rng.between(1, 4));
        item.code = code;
        item.product = kind == ItemKind::Medicine
                           ? forms[std::size_t(rng.below(forms.size()))]
                           : int(rng.below(specialCount(kind)));
      }
      item.quantity = quantityOf(item, rng);
      item.framework = item.quantity * 2;  // the contract runs two years
      t.items.push_back(item);
    }
  }

  std::int64_t offered = (options.items + 2) / 3;
  t.offers = options.offers ? *options.offers : offered + offered / 4;
  return t;
}

}  // namespace tdx::app::demo
