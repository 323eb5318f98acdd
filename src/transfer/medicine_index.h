#pragma once
// The registry of medicines as an import looks it up: read once, in one
// pass, when the run's first row needs it. A run of 100,000 rows names each
// medicine of the registry several times, and one look-up of the store
// costs as much as reading a dozen records in a row.
//
// A working code finds its medicine as key RZDR:KIDZDR finds it: without
// regard to case (the same folding the key uses), trailing blanks not
// counting, and a blank code never.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/errors.h"
#include "records/layouts.h"

namespace tdx::rt { class Context; }

namespace tdx::transfer {

class MedicineIndex {
 public:
  // Reads every record of the context's open registry. False (error()) when
  // a read failed: the index then holds what was read before.
  bool load(rt::Context& ctx);
  bool loaded() const { return loaded_; }
  // nullptr when the registry has no medicine of that code.
  const Zdravnet* find(std::string_view idzdr) const;
  const err::Error& error() const { return error_; }

 private:
  // The records apart from the look-up, so that a look-up walks small
  // nodes and touches one record of a kilobyte only when it finds it.
  std::vector<Zdravnet> medicines_;
  std::unordered_map<std::string, std::uint32_t> byCode_;  // by the key's folded code
  bool loaded_ = false;
  err::Error error_;
};

}  // namespace tdx::transfer
