#include "runtime/window.h"

#include <limits>

namespace tdx::rt {

namespace {

// A whole number typed into an integer field: decimals are cut toward zero,
// a value outside the field's range is rejected.
template <class T>
bool storeWhole(const Decimal& v, T& out) {
  auto n = v.truncated().toInt64();
  if (!n || *n < std::numeric_limits<T>::min() || *n > std::numeric_limits<T>::max()) return false;
  out = T(*n);
  return true;
}

}  // namespace

Binding bind(Short& f) {
  return {{}, {}, [&f] { return Decimal(f.get()); }, [&f](const Decimal& v) {
            std::int16_t n = 0;
            if (!storeWhole(v, n)) return false;
            f.set(n);
            return true;
          }};
}

Binding bind(Long& f) {
  return {{}, {}, [&f] { return Decimal(f.get()); }, [&f](const Decimal& v) {
            std::int32_t n = 0;
            if (!storeWhole(v, n)) return false;
            f.set(n);
            return true;
          }};
}

Binding bind(std::int16_t& v) {
  return {{}, {}, [&v] { return Decimal(v); }, [&v](const Decimal& d) { return storeWhole(d, v); }};
}

Binding bind(std::string& bytes, int width) {
  return {[&bytes] { return bytes; },
          [&bytes, width](std::string_view s) {
            bytes.assign(s.substr(0, std::size_t(width)));
          },
          {}, {}};
}

}  // namespace tdx::rt
