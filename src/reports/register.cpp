#include "reports/register.h"

#include "reports/brzdravnet.h"
#include "reports/csv_offers_browser.h"
#include "reports/offer_report.h"
#include "reports/packaging_check.h"
#include "reports/parallel_report.h"
#include "runtime/procedure.h"

namespace tdx::reports {

void registerProcedures(rt::Program& program) {
  program.add("brzdravnet", makeBrzdravnet);
  program.add("rescenami", makeOfferReport);
  program.add("reparalela", makeParallelReport);
  program.add("preveripakiranje", makePackagingCheck);
  program.add("brparalelacsv", makeBrparalelacsv);
}

}  // namespace tdx::reports
