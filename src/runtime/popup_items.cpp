#include "runtime/popup_items.h"

namespace tdx::rt {

std::vector<PopupItem> popupItems(std::string_view spec) {
  std::vector<PopupItem> out;
  if (spec.empty()) return out;
  std::size_t start = 0;
  for (;;) {
    auto bar = spec.find('|', start);
    auto part = spec.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
    if (part != "-") {
      PopupItem item;
      if (!part.empty() && part.front() == '~') {
        item.greyed = true;
        part.remove_prefix(1);
      }
      item.text = std::string(part);
      out.push_back(std::move(item));
    }
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return out;
}

}  // namespace tdx::rt
