#pragma once
// The imports, as the program knows them by name: uvdbfvdat (the price
// list into the tender items), uvparaladd and uvparvdat (the offers from
// "PARALDBF.DBF", replacing all offers or updating them), uvcsvparaladd
// (the offers from the semicolon file, replacing all offers).

#include <memory>

#include "runtime/procedure.h"

namespace tdx::transfer {

std::unique_ptr<rt::Procedure> makePriceListImport(rt::Context& ctx, const rt::Options& options);
std::unique_ptr<rt::Procedure> makeOffersReplacingImport(rt::Context& ctx, const rt::Options& options);
std::unique_ptr<rt::Procedure> makeOffersUpdatingImport(rt::Context& ctx, const rt::Options& options);
std::unique_ptr<rt::Procedure> makeCsvOffersImport(rt::Context& ctx, const rt::Options& options);

}  // namespace tdx::transfer
