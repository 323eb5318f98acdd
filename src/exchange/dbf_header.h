#pragma once
// The header of a dBase III table: the 32-byte file header, one 32-byte
// descriptor per column and the 0Dh terminator.
//
// We write version 03 (no memo), the date of the last update as
// year - 1900 / month / day, the record count, the header length
// 32 + 32n + 1, the record length, and 0xC8 in byte 29 (the language-driver
// byte, reserved in dBase III) so that spreadsheets and libraries that read
// it decode č, š, ž as Windows-1250 instead of guessing.
//
// Reading accepts what other writers produce: version 03 or 83 (a memo file
// is never needed for our columns), either year form, a header length with
// one or two terminator bytes, the Clipper form of character columns wider
// than 255 and 'F' for numeric columns. Anything that would make us read the
// records at the wrong place is refused with the reason.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/dbf_layout.h"

namespace tdx::dbf {

inline constexpr std::uint8_t kVersion = 0x03;
inline constexpr std::uint8_t kCodePageWindows1250 = 0xC8;
inline constexpr char kTerminator = 0x0D;
inline constexpr char kEndMarker = 0x1A;
inline constexpr char kLive = ' ';
inline constexpr char kDeleted = '*';

struct Date {
  int year, month, day;
};
Date today();

struct FieldInfo {
  std::string name;
  char type;  // as in the descriptor: 'C', 'N', 'F', 'D', ...
  int width;
  int decimals;
  int offset;  // within the record, after the deletion flag
};

struct Header {
  std::uint8_t version = 0;
  std::uint32_t recordCount = 0;
  std::uint32_t headerLength = 0;
  std::uint32_t recordLength = 0;
  std::vector<FieldInfo> fields;
};

// The header of a new table with `records` rows.
std::string encodeHeader(const Layout& layout, std::uint32_t records, const Date& date);
// Bytes 1..7 (date and record count), for updating a header in place.
std::string encodeDateAndCount(std::uint32_t records, const Date& date);

// The header length stated in the first 32 bytes (0 when fewer).
std::uint32_t statedHeaderLength(std::string_view first32);
// Parses the whole header (statedHeaderLength bytes). nullopt on success,
// otherwise why the header is not that of a usable table.
std::optional<std::string> decodeHeader(std::string_view bytes, Header& out);
// Does the table have the layout's columns, names compared without case?
// nullopt when it does, otherwise what did not match.
std::optional<std::string> matchLayout(const Header& header, const Layout& layout);

}  // namespace tdx::dbf
