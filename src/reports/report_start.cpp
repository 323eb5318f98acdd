#include "reports/report_start.h"

#include <charconv>
#include <string>

#include "records/local_time.h"
#include "runtime/globals.h"
#include "runtime/procedure.h"
#include "runtime/ui.h"

namespace tdx::reports {

namespace {

void applyOption(rt::Procedure& p, const char* name, const char* what, std::int16_t& into) {
  auto it = p.options().find(name);
  if (it == p.options().end()) return;
  const std::string& text = it->second;
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value < -32768 || value > 32767) {
    const std::string why = std::string(what) + " (--" + name + ") mora biti celo število od -32768 do 32767, ne \"" +
                            text + "\".";
    p.ui().message(rt::Message{"Opozorilo", why, rt::Icon::Stop});
    throw rt::ProgramEnd(2, why);
  }
  into = static_cast<std::int16_t>(value);
}

}  // namespace

void applyGroupOptions(rt::Procedure& procedure) {
  applyOption(procedure, "group", "Skupina", procedure.g().psk);
  applyOption(procedure, "subgroup", "Podskupina", procedure.g().pps);
}

pic::Date today() {
  const std::tm local = localNow();
  return pic::Date{local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

}  // namespace tdx::reports
