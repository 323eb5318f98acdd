#include "transfer/register.h"

#include "runtime/procedure.h"

namespace tdx::transfer {

void registerProcedures(rt::Program& /*program*/) {}

}  // namespace tdx::transfer
