#include "transfer/import_steps.h"

#include <string>

#include "runtime/batch_run.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/pictures.h"
#include "runtime/ui.h"
#include "transfer/medicine_index.h"

namespace tdx::transfer {

const Zdravnet* findMedicine(rt::Context& ctx, MedicineIndex& registry, std::string_view idzdr) {
  if (!registry.loaded() && !registry.load(ctx)) ctx.ui().stopBox(rt::runtimeErrorText(registry.error()));
  return registry.find(idzdr);
}

bool lastOfBatch(const rt::BatchRun& run) {
  const auto& s = run.state();
  return s.recordsThisCycle + 1 >= s.recordsPerCycle;
}

void reportImportCount(rt::Context& ctx, std::string_view lead, std::int64_t rows) {
  ctx.ui().message(rt::Message{"Obvestilo", std::string(lead) + pic::format("@n10", Decimal(rows)) + " zapisov!",
                               rt::Icon::Information, {rt::btn::Ok}, 0});
}

}  // namespace tdx::transfer
