#pragma once
// Key values of our indexes.
//
// Character keys are the raw field bytes, cut or blank-padded to the key
// size, with no case folding: our indexes are built on bare columns ("EAN",
// "IDZDR", "SIFR"), and the bytes are compared as unsigned bytes (memcmp),
// so Windows-1250 letters sort by their code (Č, 0xC8, after every ASCII
// letter). A seek must give the same bytes the column holds.
//
// Numeric keys come from the value, not from the field text: STR(value,
// width, decimals) with the leading blanks turned into "0"; a negative value
// has its "-" turned into "0" and every digit d replaced by the byte
// 0x5C - d, so that plain byte order is numeric order (-1.25 in N(10,2) is
// ",,,,,,+.*'", 0 is "0000000.00").

#include <optional>
#include <string>
#include <string_view>

#include "records/decimal.h"

namespace tdx::ntx {

std::string characterKey(std::string_view bytes, int keySize);
// nullopt when the value does not fit the width.
std::optional<std::string> numericKey(const Decimal& value, int width, int decimals);

}  // namespace tdx::ntx
