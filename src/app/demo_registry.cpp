// The registry of medicines (ZDRAVNET).

#include <algorithm>

#include "app/demo_names.h"
#include "app/demo_random.h"
#include "app/demo_tender.h"
#include "app/demo_writer.h"
#include "records/layouts.h"

namespace tdx::app::demo {

namespace {

std::int64_t codeGap(const DemoTender& t) {
  return std::clamp<std::int64_t>(800000 / std::max<std::int64_t>(1, t.options.registry), 1, 30);
}

std::string capitalised(std::string bytes) {
  if (!bytes.empty()) bytes[0] = char(cp1250::upper(static_cast<unsigned char>(bytes[0])));
  return bytes;
}

std::string packDescription(const MedicineForm& f, std::int16_t pack) {
  std::string n = std::to_string(pack);
  if (f.unit == "ml" || f.unit == "g") return std::string(f.container) + " z " + n + " " + std::string(f.unit);
  return "škatla, " + n + " x " + std::string(f.unit) + " po " + std::string(f.strength) + " (" +
         std::string(f.container) + ")";
}

}  // namespace

DemoMedicine registryMedicine(const DemoTender& t, std::int64_t index) {
  Rng rng(t.options.seed, kRegistryStream, std::uint64_t(index));
  auto forms = medicineForms();
  DemoMedicine m;
  m.form = int(index % std::int64_t(forms.size()));
  const auto& f = forms[std::size_t(m.form)];
  m.holder = int(rng.below(holders().size()));
  std::int64_t gap = codeGap(t);
  m.code = std::to_string(100000 + index * gap + std::int64_t(rng.below(std::uint64_t(gap))));
  m.pack = f.packs[rng.below(3)];
  // Holders price around the reference: 80 % to 125 %, mostly whole cents.
  std::int64_t price = f.unitPrice * m.pack * rng.between(80, 125) / 100;
  if (rng.chance(80)) price = (price + 50) / 100 * 100;
  // Some medicines have no agency price: no cap applies to them.
  m.netPrice = rng.chance(4) ? 0 : std::max<std::int64_t>(price, 1);
  if (!rng.chance(5)) m.ean = restrictedEan(rng.next());
  return m;
}

std::optional<std::int64_t> registryMedicineOf(const DemoTender& t, int form, std::uint64_t draw) {
  auto n = std::int64_t(medicineForms().size());
  if (form >= t.options.registry) return std::nullopt;
  std::int64_t count = (t.options.registry - 1 - form) / n + 1;
  return form + n * std::int64_t(draw % std::uint64_t(count));
}

// The registered name, as the offer form copies it into an offer.
std::string registeredName(const DemoMedicine& m) {
  const auto& f = medicineForms()[std::size_t(m.form)];
  const auto& h = holders()[std::size_t(m.holder)];
  return cp1250::toUtf8(capitalised(toCp1250(std::string(f.generic) + " " + std::string(h.shortName) +
                                             " " + std::string(f.strength) + " " +
                                             std::string(f.formPlural))));
}

std::string registeredPack(const DemoMedicine& m) {
  return packDescription(medicineForms()[std::size_t(m.form)], m.pack);
}

Written writeZdravnet(const DemoTender& t, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Zdravnet, folder);
  for (std::int64_t i = 0; i < t.options.registry; ++i) {
    DemoMedicine m = registryMedicine(t, i);
    const auto& f = medicineForms()[std::size_t(m.form)];
    const auto& h = holders()[std::size_t(m.holder)];
    auto& r = w.as<Zdravnet>();
    put(r.idzdr, m.code);
    put(r.imeregistr, registeredName(m));
    put(r.crtnakoda, m.ean);
    put(r.faob, f.form);
    r.kolenote = m.pack;
    put(r.enota, f.unit);
    put(r.pakiranje, registeredPack(m));
    put(r.atc, f.atc);
    put(r.atcopis, f.generic);
    r.ncena.setUnits(m.netPrice);
    put(r.proizs, h.code);
    put(r.proizn, h.name);
    w.add();
  }
  return w.finish("medicines in the registry");
}

}  // namespace tdx::app::demo
