#pragma once
// brparalelacsv: the semicolon offers file and the stored offers side by
// side, each in a list of its own.

#include <memory>

#include "runtime/procedure.h"

namespace tdx::reports {

std::unique_ptr<rt::Procedure> makeBrparalelacsv(rt::Context& ctx, const rt::Options& options);

}  // namespace tdx::reports
