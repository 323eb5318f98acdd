#include "transfer/paraldbf_columns.h"

#include <stdexcept>
#include <string>

namespace tdx::transfer {

namespace {
// A name missing from the layout is a programming error, as in dbf::Record.
int columnOf(const dbf::Layout& layout, const char* name) {
  if (auto c = layout.find(name)) return *c;
  throw std::logic_error(std::string(layout.label) + " has no column " + name);
}
}  // namespace

const ParaldbfColumns& paraldbfColumns() {
  static const ParaldbfColumns c = [] {
    auto at = [](const char* name) { return columnOf(dbf::kParaldbf, name); };
    return ParaldbfColumns{at("SKUP"),  at("POSK"), at("SKLOP"),  at("SIFR"),   at("IMEZD"),  at("PROIZ"),
                           at("PRPAK"), at("EAN"),  at("IDZDR"),  at("EM"),     at("NCENA"),  at("POPUST"),
                           at("PDDV"),  at("KFAKTOR"), at("SORT"), at("PAKIR")};
  }();
  return c;
}

const LogColumns& logColumns() {
  static const LogColumns c = [] {
    auto at = [](const char* name) { return columnOf(dbf::kLog, name); };
    return LogColumns{at("IMEZD"), at("IDZDR"), at("CENAJAZMP"), at("NCENA"), at("POPUST"),
                      at("PDDV"),  at("SIFR"),  at("SKUP"),      at("POSK"),  at("SKLOP")};
  }();
  return c;
}

}  // namespace tdx::transfer
