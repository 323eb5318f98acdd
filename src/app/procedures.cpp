#include "app/procedures.h"

#include "reports/register.h"
#include "shell/register.h"
#include "tender/register.h"
#include "transfer/register.h"

namespace tdx::app {

void registerAllProcedures(rt::Program& program) {
  shell::registerProcedures(program);
  tender::registerProcedures(program);
  reports::registerProcedures(program);
  transfer::registerProcedures(program);
}

}  // namespace tdx::app
