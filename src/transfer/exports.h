#pragma once
// The dBase exports, as the program knows them by name: izparvdbf and
// izparvdbf1 (the offers without and with prices), izzdrnetvdbf (the
// registry), izdatvdbf (the tender items).

#include <memory>

#include "runtime/procedure.h"

namespace tdx::transfer {

std::unique_ptr<rt::Procedure> makeOffersExport(rt::Context& ctx, const rt::Options& options, bool withPrices);
std::unique_ptr<rt::Procedure> makeRegistryExport(rt::Context& ctx, const rt::Options& options);
std::unique_ptr<rt::Procedure> makeItemsExport(rt::Context& ctx, const rt::Options& options);

}  // namespace tdx::transfer
