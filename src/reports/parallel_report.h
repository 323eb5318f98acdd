#pragma once
// reparalela: the list of the offered medicines of one subgroup without
// prices. Called by the offers browser on the browser's own context; it
// returns when the preview has closed. The group and subgroup are psk and
// pps (on the command line --group and --subgroup).

#include <memory>

#include "runtime/procedure.h"

namespace tdx::reports {

std::unique_ptr<rt::Procedure> makeParallelReport(rt::Context& ctx, const rt::Options& options);

}  // namespace tdx::reports
