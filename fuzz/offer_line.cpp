// A hostile line of the semicolon file through the import's conversion and
// the price rules: the offer is filled or the line refused, never a crash,
// never an exception, never a stored value that does not fit its field.
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/csv_reader.h"
#include "records/catalogue.h"
#include "records/price_rules.h"
#include "transfer/offer_rows.h"

using namespace tdx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> fields;
  csv::splitLine(line, csv::kOfferWidths, fields);
  RecordBuffer buf(FileId::Paralela);
  buf.clear();
  Paralela& offer = buf.as<Paralela>();
  if (transfer::setOfferFromLine(fields, offer)) return 0;
  // The registry price is the line's gross-price field, so the fuzzer
  // reaches every branch of the cap.
  RecordBuffer reg(FileId::Zdravnet);
  reg.clear();
  std::vector<std::string> asPrice = fields;
  asPrice[csv::Ncena] = fields[csv::Bcena].substr(0, 16);
  RecordBuffer probe(FileId::Paralela);
  probe.clear();
  if (!transfer::setOfferFromLine(asPrice, probe.as<Paralela>()))
    reg.as<Zdravnet>().ncena = probe.as<Paralela>().ncena.get();
  transfer::completeOfferFromRegistry(reg.as<Zdravnet>(), offer);
  auto result = price::applyImportRules(offer, &reg.as<Zdravnet>());
  (void)result;
  price::applyImportRules(offer, nullptr);
  return 0;
}
