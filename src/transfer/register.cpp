#include "transfer/register.h"

#include "runtime/procedure.h"
#include "transfer/exports.h"
#include "transfer/imports.h"

namespace tdx::transfer {

void registerProcedures(rt::Program& program) {
  program.add("izparvdbf", [](rt::Context& ctx, const rt::Options& o) { return makeOffersExport(ctx, o, false); });
  program.add("izparvdbf1", [](rt::Context& ctx, const rt::Options& o) { return makeOffersExport(ctx, o, true); });
  program.add("izzdrnetvdbf", makeRegistryExport);
  program.add("izdatvdbf", makeItemsExport);
  program.add("uvdbfvdat", makePriceListImport);
  program.add("uvparaladd", makeOffersReplacingImport);
  program.add("uvparvdat", makeOffersUpdatingImport);
  program.add("uvcsvparaladd", makeCsvOffersImport);
}

}  // namespace tdx::transfer
