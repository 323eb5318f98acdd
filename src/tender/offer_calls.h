#pragma once
// How the two browsers hand an offer to the offer form and take the list
// back afterwards: adding primes a cleared offer with the item it belongs
// to; changing and deleting read the highlighted offer again by its
// position first, so the form starts from what is stored and its write is
// checked against that version.

#include <cstdint>

namespace tdx::rt {
class Context;
class RecordBrowse;
}  // namespace tdx::rt

namespace tdx::tender {

// The item an offer belongs to: PAR:SKUP, PAR:POSK, PAR:SKLOP, PAR:SIFR.
struct ItemKey {
  std::int16_t group = 0, subgroup = 0, lot = 0;
  std::int32_t code = 0;
  bool operator==(const ItemKey&) const = default;
};

// Each returns the form's response. A completed add or change leaves the
// list on that offer; a completed delete, and every cancel, refreshes the
// page from its first row.
int addOffer(rt::Context& ctx, rt::RecordBrowse& offers, const ItemKey& item);
int changeOffer(rt::Context& ctx, rt::RecordBrowse& offers);
int deleteOffer(rt::Context& ctx, rt::RecordBrowse& offers);

}  // namespace tdx::tender
