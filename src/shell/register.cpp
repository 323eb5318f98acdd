#include "shell/register.h"

#include "runtime/procedure.h"
#include "shell/main_frame.h"
#include "shell/main_frame_menu.h"
#include "shell/pcenik.h"
#include "shell/registry_update.h"
#include "shell/upponud.h"
#include "shell/vizitka.h"

namespace tdx::shell {

namespace {

template <class P>
rt::ProcedureFactory factory() {
  return [](rt::Context& ctx, const rt::Options& o) { return std::make_unique<P>(ctx, o); };
}

}  // namespace

void registerProcedures(rt::Program& program) {
  program.add("Main", factory<MainFrame>());
  program.add("upponud", factory<BidderForm>());
  program.add("vizitka", factory<AboutWindow>());
  program.add("pcenik", factory<EjnTransfer>());
  program.add(kRegistryUpdate, factory<RegistryUpdate>());
}

}  // namespace tdx::shell
