#include "tender/register.h"

#include "runtime/procedure.h"

namespace tdx::tender {

void registerProcedures(rt::Program& /*program*/) {}

}  // namespace tdx::tender
