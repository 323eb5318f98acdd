#include "transfer/offer_rows.h"

#include <cstdint>
#include <limits>

#include "exchange/csv_reader.h"
#include "exchange/exchange_error.h"
#include "exchange/number_text.h"
#include "transfer/paraldbf_columns.h"

namespace tdx::transfer {

namespace {

err::Error doesNotFit(std::string_view source, const Decimal& value, std::string_view field) {
  std::string shown;
  try {
    shown = value.toExactString();
  } catch (const DecimalOverflow&) {
    shown = "?";
  }
  return exchangeFailure(err::FieldOverflow, std::string(source) + ": " + shown + " does not fit " + std::string(field));
}

template <class T>
bool wholeFits(const Decimal& whole) {
  auto v = whole.toInt64();
  return v && *v >= std::numeric_limits<T>::min() && *v <= std::numeric_limits<T>::max();
}

// Stores into a copy first, so a refusal leaves the offer as it was.
class Filler {
 public:
  explicit Filler(const Paralela& offer) : work_(offer) {}
  Paralela& work() { return work_; }
  const err::Error& error() const { return error_; }

  // Floating point to a 16-bit integer field, truncated toward zero.
  void truncated(Short& field, const Decimal& v, std::string_view source, const char* label) {
    if (error_) return;
    Decimal w = v.truncated();
    if (!wholeFits<std::int16_t>(w)) return refuse(source, v, label);
    field = std::int16_t(*w.toInt64());
  }
  void truncated(Long& field, const Decimal& v, std::string_view source, const char* label) {
    if (error_) return;
    Decimal w = v.truncated();
    if (!wholeFits<std::int32_t>(w)) return refuse(source, v, label);
    field = std::int32_t(*w.toInt64());
  }
  // The number read from a text, rounded to a whole number.
  void rounded(Long& field, const Decimal& v, std::string_view source, const char* label) {
    if (error_) return;
    Decimal w = v.rounded(0);
    if (!wholeFits<std::int32_t>(w)) return refuse(source, v, label);
    field = std::int32_t(*w.toInt64());
  }
  // Rounded half away from zero to the field's places.
  template <int D, int P>
  void decimal(Dec<D, P>& field, const Decimal& v, std::string_view source, const char* label) {
    if (error_) return;
    if (!Dec<D, P>::fits(v)) return refuse(source, v, label);
    field = v;
  }

 private:
  void refuse(std::string_view source, const Decimal& v, const char* label) { error_ = doesNotFit(source, v, label); }
  Paralela work_;
  err::Error error_;
};

err::Error finish(Filler& f, Paralela& offer) {
  if (!f.error()) offer = f.work();
  return f.error();
}

}  // namespace

err::Error setOfferItemFromRow(const dbf::Record& row, Paralela& offer) {
  const ParaldbfColumns& col = paraldbfColumns();
  Filler f(offer);
  Paralela& p = f.work();
  f.truncated(p.skup, row.number(col.skup), "PARALDBF.SKUP", "PAR:SKUP");
  f.truncated(p.posk, row.number(col.posk), "PARALDBF.POSK", "PAR:POSK");
  f.truncated(p.sklop, row.number(col.sklop), "PARALDBF.SKLOP", "PAR:SKLOP");
  f.rounded(p.sifr, readNumber(row.text(col.sifr)), "PARALDBF.SIFR", "PAR:SIFR");
  p.imezd = row.text(col.imezd);
  p.proiz = row.text(col.proiz);
  p.prpak = row.text(col.prpak);
  p.ean = row.text(col.ean);
  p.idzdr = row.text(col.idzdr);
  return finish(f, offer);
}

err::Error setOfferPricesFromRow(const dbf::Record& row, Paralela& offer) {
  const ParaldbfColumns& col = paraldbfColumns();
  Filler f(offer);
  Paralela& p = f.work();
  f.decimal(p.ncena, row.number(col.ncena), "PARALDBF.NCENA", "PAR:NCENA");
  f.decimal(p.popust, row.number(col.popust), "PARALDBF.POPUST", "PAR:POPUST");
  f.decimal(p.pddv, row.number(col.pddv), "PARALDBF.PDDV", "PAR:PDDV");
  // A factor of 0 would zero every derived price: it means "no correction".
  const Decimal factor = row.number(col.kfaktor).rounded(6);
  f.decimal(p.kfaktor, factor.isZero() ? Decimal(1) : factor, "PARALDBF.KFAKTOR", "PAR:KFAKTOR");
  f.truncated(p.sort, row.number(col.sort), "PARALDBF.SORT", "PAR:SORT");
  f.truncated(p.pakiranje, row.number(col.pakir), "PARALDBF.PAKIR", "PAR:PAKIRANJE");
  p.em = row.text(col.em);
  return finish(f, offer);
}

err::Error setOfferFromLine(const std::vector<std::string>& fields, Paralela& offer) {
  Filler f(offer);
  Paralela& p = f.work();
  auto field = [&](int k) -> std::string_view {
    return std::size_t(k) < fields.size() ? std::string_view(fields[std::size_t(k)]) : std::string_view();
  };
  f.rounded(p.sifr, readNumber(field(csv::Sifr)), "CSV:SIFR", "PAR:SIFR");
  p.idzdr = field(csv::Idzdr);
  f.decimal(p.ncena, readNumber(field(csv::Ncena)), "CSV:NCENA", "PAR:NCENA");
  f.decimal(p.pddv, readNumber(field(csv::Pddv)), "CSV:PDDV", "PAR:PDDV");
  f.decimal(p.popust, readNumber(field(csv::Popust)), "CSV:POPUST", "PAR:POPUST");
  p.sort = 1;
  p.kfaktor = Decimal(1);
  return finish(f, offer);
}

void completeOfferFromRegistry(const Zdravnet& registry, Paralela& offer) {
  offer.imezd = registry.imeregistr.view();  // its first 100 characters
  offer.proiz = registry.proizn.view();
  offer.prpak = registry.pakiranje.view();
  offer.ean = registry.crtnakoda.raw();
  offer.pakiranje = std::int32_t(registry.kolenote.get());
  offer.em = registry.enota.raw();
}

}  // namespace tdx::transfer
