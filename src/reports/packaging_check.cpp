#include "reports/packaging_check.h"

#include <string>

#include "exchange/exchange_error.h"

namespace tdx::reports {

bool packagingDiffers(const Paralela& offer, const Zdravnet& registry) {
  return registry.idzdr.raw() == offer.idzdr.raw() && std::int32_t(registry.kolenote.get()) != offer.pakiranje.get();
}

err::Error fillMismatch(const Paralela& offer, const Zdravnet& registry, const Podatki& item, dbf::Record& row) {
  const std::string code = std::to_string(offer.sifr.get());
  const int width = dbf::kZdrndbf.columns[std::size_t(*dbf::kZdrndbf.find("SIFRA"))].width;
  if (code.size() > std::size_t(width))
    return exchangeFailure(err::FieldOverflow, "ZDRNDBF.SIFRA: " + code + " does not fit C(" + std::to_string(width) + ")");
  row.clear();
  row.setText("SIFRA", code);
  row.setText("IDZDR", offer.idzdr.raw());
  row.setText("IMEREGISTR", offer.imezd.view());
  row.setNumber("KOLENOTE", offer.pakiranje.get());
  row.setText("ATC", registry.atc.raw());
  row.setText("UCINKOVINA", item.nazi.raw().substr(0, 100));
  return {};
}

}  // namespace tdx::reports
