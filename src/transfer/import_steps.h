#pragma once
// Steps the offer imports and the price-list import share: the registry
// look-up of an offer's medicine, the end of a batch, the closing count.

#include <cstdint>
#include <string_view>

#include "records/layouts.h"

namespace tdx::rt {
class Context;
class BatchRun;
}  // namespace tdx::rt

namespace tdx::transfer {

class MedicineIndex;

// The registry's medicine of a working code, from the registry read once
// per run (on the first call), or nullptr when it has none. A registry that
// cannot be read is told in the stop box: an offer must not go in uncapped
// without anybody knowing why.
const Zdravnet* findMedicine(rt::Context& ctx, MedicineIndex& registry, std::string_view idzdr);

// Is the row being handled the last of the run's current batch? The
// imports that write in place commit there (when due, see CommitPacer), so
// that nothing is left uncommitted between two batches while other windows
// use the file.
bool lastOfBatch(const rt::BatchRun& run);

// "Dodanih:      1.234 zapisov!": the count right-aligned in 10 with full
// stops between thousands, caption "Obvestilo", information icon, OK.
void reportImportCount(rt::Context& ctx, std::string_view lead, std::int64_t rows);

}  // namespace tdx::transfer
