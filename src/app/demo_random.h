#pragma once
// The demo's random numbers: splitmix64, with our own range reduction.
// The standard distributions differ between library implementations, so
// they would break "the same seed gives the same files" across platforms.
//
// A generator is keyed by (seed, stream, index): each record of each file
// draws from its own sequence, so that adding a file or a field to the demo
// never shifts the values of another.

#include <cstdint>
#include <span>

namespace tdx::app::demo {

class Rng {
 public:
  Rng(std::uint64_t seed, std::uint64_t stream, std::uint64_t index = 0)
      : state_(mix(mix(seed ^ 0x6A09E667F3BCC909ull) ^ stream) + index * 0x9E3779B97F4A7C15ull) {}

  std::uint64_t next() {
    state_ += 0x9E3779B97F4A7C15ull;
    return mix(state_);
  }
  // Uniform in [0, n); 0 when n is 0.
  std::uint64_t below(std::uint64_t n) {
    return std::uint64_t((static_cast<unsigned __int128>(next()) * n) >> 64);
  }
  // Uniform in [lo, hi].
  std::int64_t between(std::int64_t lo, std::int64_t hi) {
    return lo + std::int64_t(below(std::uint64_t(hi - lo) + 1));
  }
  // True with probability percent / 100.
  bool chance(int percent) { return below(100) < std::uint64_t(percent); }
  template <class T>
  const T& pick(std::span<const T> items) { return items[below(items.size())]; }

 private:
  static std::uint64_t mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t state_;
};

// Stream keys, one per purpose.
enum Stream : std::uint64_t {
  kItemsStream = 1, kRegistryStream, kOffersStream, kDescriptionsStream, kPartiesStream,
  kGroupsStream,
};

}  // namespace tdx::app::demo
