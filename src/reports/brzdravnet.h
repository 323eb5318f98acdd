#pragma once
// brzdravnet: the registry of medicines in a list with three orders (by
// name, by working code, by ATC), from which the offer form picks a
// medicine in select mode.

#include <memory>

#include "runtime/procedure.h"

namespace tdx::reports {

std::unique_ptr<rt::Procedure> makeBrzdravnet(rt::Context& ctx, const rt::Options& options);

}  // namespace tdx::reports
