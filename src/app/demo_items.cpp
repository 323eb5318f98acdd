// The tender items (PODATKI) and their descriptions (OPISM).

#include "app/demo_names.h"
#include "app/demo_random.h"
#include "app/demo_tender.h"
#include "app/demo_writer.h"
#include "records/layouts.h"

namespace tdx::app::demo {

namespace {

struct ItemText {
  std::string name, form, unit, strength;
};

ItemText itemText(const DemoItem& item) {
  if (item.kind == ItemKind::Medicine) {
    const auto& f = medicineForms()[std::size_t(item.product)];
    return {std::string(f.generic) + " " + std::string(f.strength), std::string(f.form),
            std::string(f.tenderUnit), std::string(f.strength)};
  }
  auto table = item.kind == ItemKind::Magistral    ? magistralProducts()
               : item.kind == ItemKind::Unlicensed ? unlicensedProducts()
                                                   : nutritionProducts();
  const auto& p = table[std::size_t(item.product)];
  return {std::string(p.name), std::string(p.form), std::string(p.unit), {}};
}

// The first described item carries a long text near the memo's limit, so
// that every tender exercises the full memo.
std::string longDescription(const ItemText& text) {
  std::string out = "Podrobne zahteve naročnika za " + text.name + ":\r\n";
  auto sentences = descriptionSentences();
  for (int n = 1;; ++n) {
    std::string line = std::to_string(n) + ". " + std::string(sentences[std::size_t(n - 1) % sentences.size()]) + "\r\n";
    if (toCp1250(out + line).size() > std::size_t(kOpismMemoMax) - 200) break;
    out += line;
  }
  return out + "Konec zahtev.";
}

std::string shortDescription(const ItemText& text, Rng& rng) {
  std::string out = "Zahtevana farmacevtska oblika: " + text.form;
  if (!text.strength.empty()) out += "; jakost: " + text.strength;
  out += ".";
  auto sentences = descriptionSentences();
  auto n = rng.between(1, 4);
  for (std::int64_t i = 0; i < n; ++i) {
    out += rng.chance(50) ? "\r\n" : " ";
    out += sentences[std::size_t(rng.below(sentences.size()))];
  }
  return out;
}

}  // namespace

Written writePodatki(const DemoTender& t, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Podatki, folder);
  std::string doba = toCp1250(t.applicantTax);
  for (const auto& item : t.items) {
    auto& r = w.as<Podatki>();
    ItemText text = itemText(item);
    r.skup = item.group;
    r.posk = item.subgroup;
    r.sifr = item.code;
    put(r.nazi, text.name);
    put(r.faob, text.form);
    put(r.enme, text.unit);
    r.koli.setUnits(item.quantity);
    r.koliane.setUnits(item.framework);
    r.doba = doba;
    r.sklop = item.lot;
    w.add();
  }
  return w.finish("tender items");
}

Written writeOpism(const DemoTender& t, const std::filesystem::path& folder) {
  RecordWriter w(FileId::Opism, folder);
  bool longWritten = false;
  for (const auto& item : t.items) {
    if (!item.firstOfCode) continue;  // one description per code: the key is unique
    Rng rng(t.options.seed, kDescriptionsStream, std::uint64_t(item.code));
    if (!rng.chance(85)) continue;
    ItemText text = itemText(item);
    std::string memo = longWritten ? shortDescription(text, rng) : longDescription(text);
    longWritten = true;
    w.as<Opism>().sifr = item.code;
    w.record().memo() = toCp1250(memo);
    w.add();
  }
  return w.finish("item descriptions");
}

}  // namespace tdx::app::demo
