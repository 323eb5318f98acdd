#include "records/local_time.h"

namespace tdx {

std::tm localNow() {
  std::time_t now = std::time(nullptr);
  std::tm out{};
#ifdef _WIN32
  localtime_s(&out, &now);
#else
  localtime_r(&now, &out);
#endif
  return out;
}

}  // namespace tdx
