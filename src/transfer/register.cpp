#include "transfer/register.h"

#include "runtime/procedure.h"
#include "transfer/exports.h"

namespace tdx::transfer {

void registerProcedures(rt::Program& program) {
  program.add("izparvdbf", [](rt::Context& ctx, const rt::Options& o) { return makeOffersExport(ctx, o, false); });
  program.add("izparvdbf1", [](rt::Context& ctx, const rt::Options& o) { return makeOffersExport(ctx, o, true); });
  program.add("izzdrnetvdbf", makeRegistryExport);
  program.add("izdatvdbf", makeItemsExport);
}

}  // namespace tdx::transfer
