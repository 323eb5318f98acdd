#pragma once
// The entries of a pop-up menu as procedures write them:
// "&Dodaj|~&Sprem.|~&Briši" - entries between "|", a leading "~" greys an
// entry, a lone "-" is a separator line (not counted in the choice).

#include <string>
#include <string_view>
#include <vector>

namespace tdx::rt {

struct PopupItem {
  std::string text;  // with its "&" mnemonic
  bool greyed = false;
};

// The choosable entries, numbered from 1 by their place in the result.
std::vector<PopupItem> popupItems(std::string_view spec);

}  // namespace tdx::rt
