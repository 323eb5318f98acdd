#pragma once
// Where the tender items stand (group, subgroup, lot) by item code, as the
// semicolon import places its offers: read once, in key order, when the
// run's first line needs it. A look-up of the store per line costs a read
// transaction with its locks each time; 100,000 lines name a few thousand
// items over and over.
//
// A code finds what key POD:KSIFR finds first: of several items with one
// code, the first in key order.

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "records/errors.h"

namespace tdx::rt { class Context; }

namespace tdx::transfer {

struct ItemPlace {
  std::int16_t skup = 0, posk = 0, sklop = 0;
};

class ItemPlaces {
 public:
  // Reads every item of the context's open items file. False (error())
  // when a read failed: find() then asks the file itself, line by line.
  bool load(rt::Context& ctx);
  bool loaded() const { return loaded_; }
  // nullopt when no item has that code.
  std::optional<ItemPlace> find(rt::Context& ctx, std::int32_t sifr) const;
  const err::Error& error() const { return error_; }

 private:
  std::unordered_map<std::int32_t, ItemPlace> bySifr_;
  bool loaded_ = false;
  bool whole_ = false;
  err::Error error_;
};

}  // namespace tdx::transfer
