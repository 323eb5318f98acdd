#include "runtime/error_text.h"

#include "records/cp1250.h"

namespace tdx::rt {

std::string runtimeErrorText(const err::Error& e) {
  std::string text(cp1250::trimRight(e.text));
  if (text.empty()) text = err::text(e.code);
  std::string_view detail = cp1250::trimRight(e.driverText);
  if (!detail.empty()) text += " (" + std::string(detail) + ")";
  return text;
}

}  // namespace tdx::rt
