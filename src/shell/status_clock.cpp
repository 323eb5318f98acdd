#include "shell/status_clock.h"

#include "runtime/pictures.h"

namespace tdx::shell {

std::string statusDate(const std::tm& t) {
  static const char* const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  const char* day = t.tm_wday >= 0 && t.tm_wday < 7 ? days[t.tm_wday] : "";
  return std::string(day) + ", " + pic::format("@d06.", pic::Date{t.tm_mday, t.tm_mon + 1, t.tm_year + 1900});
}

std::string statusTime(const std::tm& t) {
  return pic::format("@T4", pic::Time{t.tm_hour, t.tm_min, t.tm_sec});
}

}  // namespace tdx::shell
