#include "exchange/dbf_layout.h"

#include "records/cp1250.h"

namespace tdx::dbf {

bool sameColumnName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (cp1250::upper(static_cast<unsigned char>(a[i])) != cp1250::upper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::optional<int> Layout::find(std::string_view name) const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (sameColumnName(columns[i].name, name)) return int(i);
  return std::nullopt;
}

}  // namespace tdx::dbf
