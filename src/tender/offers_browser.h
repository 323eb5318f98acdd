#pragma once
// brparalela: the offers of the items browser's current item, in their
// price order, with the offer form and the offers report.

#include <memory>

#include "runtime/procedure.h"

namespace tdx::tender {

std::unique_ptr<rt::Procedure> makeBrparalela(rt::Context& ctx, const rt::Options& options);

}  // namespace tdx::tender
