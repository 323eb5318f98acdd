// The exchange files of the demo: the buyer's price list "CENIKDBF.DBF"
// (with its index "KIDENT.NTX") for the tender items, and a semicolon file
// "paralela.csv" of offers for them, so that the price-list import, the
// semicolon import and its browser can be tried on the demo tender.

#include <stdexcept>
#include <string>

#include "app/demo_names.h"
#include "app/demo_random.h"
#include "app/demo_tender.h"
#include "app/demo_writer.h"
#include "exchange/dbf_table.h"
#include "exchange/ntx_build.h"
#include "records/decimal.h"

namespace tdx::app::demo {

namespace {

// Streams of their own, so the other files of the demo stay as they were.
constexpr std::uint64_t kPriceListStream = 101;
constexpr std::uint64_t kCsvOffersStream = 102;

[[noreturn]] void failed(const char* file, const err::Error& e) {
  throw std::runtime_error(std::string(file) + ": " + e.describe() + " " + e.driverText);
}

struct ItemNames {
  std::string name, form, unit, product, maker;
  std::int64_t unitPrice;  // 1/10000 euro per tender unit
};

ItemNames namesOf(const DemoItem& item) {
  if (item.kind == ItemKind::Medicine) {
    const auto& f = medicineForms()[std::size_t(item.product)];
    return {std::string(f.generic) + " " + std::string(f.strength), std::string(f.form), std::string(f.tenderUnit),
            std::string(f.generic), std::string(holders()[std::size_t(item.product) % holders().size()].name),
            f.unitPrice * f.tenderScale};
  }
  auto table = item.kind == ItemKind::Magistral    ? magistralProducts()
               : item.kind == ItemKind::Unlicensed ? unlicensedProducts()
                                                   : nutritionProducts();
  const auto& p = table[std::size_t(item.product)];
  return {std::string(p.name), std::string(p.form), std::string(p.unit), std::string(p.offerName),
          std::string(p.maker), p.unitPrice};
}

// "12,3456": the decimal comma the spreadsheets of the users write.
std::string withComma(const Decimal& v, int places) {
  std::string s = v.toString(places);
  for (auto& c : s)
    if (c == '.') c = ',';
  return s;
}

std::int64_t writePriceList(const DemoTender& t, const std::filesystem::path& folder) {
  const auto path = folder / std::string(dbf::kCenikdbf.fileName);
  dbf::Table table;
  if (!table.create(path, dbf::kCenikdbf) || !table.open(path, dbf::kCenikdbf, OpenMode::exclusive()))
    failed("CENIKDBF.DBF", table.error());
  dbf::Record row(dbf::kCenikdbf);
  std::int64_t rows = 0;
  for (const auto& item : t.items) {
    if (!item.firstOfCode) continue;  // the index is unique on the code
    Rng rng(t.options.seed, kPriceListStream, std::uint64_t(item.code));
    ItemNames n = namesOf(item);
    const Decimal net = Decimal::fromUnits(n.unitPrice * rng.between(90, 110) / 100, 4);
    const Decimal vat = item.kind == ItemKind::Nutrition ? Decimal(22) : Decimal::fromUnits(95, 1);
    row.clear();
    row.setNumber("SKUP", item.group);
    row.setNumber("POSK", item.subgroup);
    row.setNumber("SKLOP", item.lot);
    row.setNumber("SIFR", item.code);
    row.setText("NAZI", toCp1250(n.name));
    row.setText("FAOB", toCp1250(n.form));
    row.setText("ENME", toCp1250(n.unit));
    row.setNumber("KOLI", Decimal::fromUnits(item.quantity, 2).rounded(0));
    row.setNumber("NCENA", net);
    row.setNumber("DAVEK", vat);
    row.setNumber("CENA", (net * (Decimal(1) + vat / Decimal(100))).rounded(4));
    row.setText("PROIZ", toCp1250(n.maker));
    row.setText("PARAL", toCp1250(n.product));
    row.setText("KATAL", "KAT-" + std::to_string(item.code));
    if (!table.append(row)) failed("CENIKDBF.DBF", table.error());
    ++rows;
  }
  err::Error e;
  if (!ntx::buildIndexes(table, e)) failed("KIDENT.NTX", e);
  if (!table.close()) failed("CENIKDBF.DBF", table.error());
  return rows;
}

// Offers for about a third of the medicine items, priced around the
// registry price: some above it, which the import caps and logs.
std::int64_t writeCsvOffers(const DemoTender& t, const std::filesystem::path& folder) {
  std::string text;
  std::int64_t lines = 0;
  for (std::size_t i = 0; i < t.items.size(); ++i) {
    const DemoItem& item = t.items[i];
    Rng rng(t.options.seed, kCsvOffersStream, i);
    if (item.kind != ItemKind::Medicine || !rng.chance(33)) continue;
    for (std::int64_t k = rng.between(1, 2); k > 0; --k) {
      auto index = registryMedicineOf(t, item.product, rng.next());
      if (!index) break;
      DemoMedicine m = registryMedicine(t, *index);
      const auto& f = medicineForms()[std::size_t(m.form)];
      std::int64_t reference = m.netPrice > 0 ? m.netPrice : f.unitPrice * m.pack;
      const Decimal net = Decimal::fromUnits(reference * rng.between(85, 115) / 100, 4).rounded(2);
      const Decimal discount = rng.chance(75) ? Decimal(0) : Decimal::fromUnits(250, 2);
      const Decimal vat = Decimal::fromUnits(95, 1);
      const Decimal gross = (net * (Decimal(1) - discount / Decimal(100)) * (Decimal(1) + vat / Decimal(100)));
      text += std::to_string(item.code) + ";" + m.code + ";" + withComma(net, 2) + ";" + withComma(discount, 2) + ";" +
              withComma(vat, 1) + ";" + withComma(gross, 4) + "\r\n";
      ++lines;
    }
  }
  const auto path = folder / "paralela.csv";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fclose(out) != 0) {
    if (out) std::fclose(out);
    throw std::runtime_error("paralela.csv: cannot be written");
  }
  return lines;
}

}  // namespace

std::vector<Written> writeExchangeFiles(const DemoTender& t, const std::filesystem::path& folder) {
  std::int64_t prices = writePriceList(t, folder);
  std::int64_t offers = writeCsvOffers(t, folder);
  return {{"CENIKDBF.DBF", prices, "price list (dBase)"},
          {"KIDENT.NTX", prices, "price list index"},
          {"paralela.csv", offers, "offers (semicolon file)"}};
}

}  // namespace tdx::app::demo
