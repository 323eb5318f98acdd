#pragma once
// A character typed on a list, as the window host reports it (a code
// point), handed on to a locator entry: its UTF-8 for the screen and its
// Windows-1250 byte for the record field.

#include <optional>
#include <string>

namespace tdx::rt {

std::string characterUtf8(char32_t c);
// nullopt for a control character or one outside Windows-1250.
std::optional<std::string> characterBytes(char32_t c);

}  // namespace tdx::rt
