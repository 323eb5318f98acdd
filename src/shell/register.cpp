#include "shell/register.h"

#include "runtime/procedure.h"

namespace tdx::shell {

void registerProcedures(rt::Program& /*program*/) {}

}  // namespace tdx::shell
