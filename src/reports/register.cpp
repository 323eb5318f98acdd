#include "reports/register.h"

#include "runtime/procedure.h"

namespace tdx::reports {

void registerProcedures(rt::Program& /*program*/) {}

}  // namespace tdx::reports
