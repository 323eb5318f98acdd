#pragma once
// rescenami: the priced offer specification (OBR-8) of one subgroup, the
// form the bidder signs and submits. Started by the items browser on a
// context of its own; the group and subgroup are psk and pps (on the
// command line --group and --subgroup).

#include <memory>

#include "runtime/procedure.h"

namespace tdx::reports {

std::unique_ptr<rt::Procedure> makeOfferReport(rt::Context& ctx, const rt::Options& options);

}  // namespace tdx::reports
