// The groups (SKUPINE) and subgroups (PSKUPINE) of the tender.

#include "app/demo_names.h"
#include "app/demo_tender.h"
#include "app/demo_writer.h"
#include "records/decimal.h"
#include "records/layouts.h"

namespace tdx::app::demo {

namespace {

// The buyer's estimate of an item: its quantity at the reference price.
Decimal estimateOf(const DemoItem& item) {
  Decimal quantity = Decimal::fromUnits(item.quantity, 2);
  if (item.kind == ItemKind::Medicine) {
    const auto& f = medicineForms()[std::size_t(item.product)];
    return quantity * Decimal::fromUnits(f.unitPrice, 4) * Decimal(f.tenderScale);
  }
  auto table = item.kind == ItemKind::Magistral    ? magistralProducts()
               : item.kind == ItemKind::Unlicensed ? unlicensedProducts()
                                                   : nutritionProducts();
  return quantity * Decimal::fromUnits(table[std::size_t(item.product)].unitPrice, 4);
}

}  // namespace

Written writeSkupine(const DemoTender&, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Skupine, folder);
  for (const auto& g : groups()) {
    auto& r = w.as<Skupine>();
    r.skup = g.group;
    put(r.nazi, g.name);
    w.add();
  }
  return w.finish("groups");
}

Written writePskupine(const DemoTender& t, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Pskupine, folder);
  for (const auto& s : subgroups()) {
    Decimal value;
    for (const auto& item : t.items)
      if (item.group == s.group && item.subgroup == s.subgroup) value += estimateOf(item);
    auto& r = w.as<Pskupine>();
    r.skup = s.group;
    r.posk = s.subgroup;
    put(r.nazi, s.name);
    r.vred = value;  // rounded to cents as it is stored
    w.add();
  }
  return w.finish("subgroups");
}

}  // namespace tdx::app::demo
