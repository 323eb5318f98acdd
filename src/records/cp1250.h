#pragma once
// Windows-1250 text: the code page of every text on disk.
//
// The screen and the command line get UTF-8; record files, dBase tables and
// the semicolon file hold Windows-1250 bytes. Conversion is strict: a
// character outside the code page is an error, never a silent '?'.
//
// One case folding and one Slovenian collation serve every case-insensitive
// key, locator and comparison of the program, so a seek always finds what a
// sort put there.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tdx::cp1250 {

// UTF-8 -> Windows-1250 bytes. nullopt when a character is not in the code
// page or the input is not valid UTF-8; `badChar` (if given) receives the
// offending character in UTF-8.
std::optional<std::string> fromUtf8(std::string_view utf8, std::string* badChar = nullptr);
// Windows-1250 bytes -> UTF-8. The five unassigned bytes (0x81 0x83 0x88 0x90
// 0x98) decode to U+FFFD.
std::string toUtf8(std::string_view bytes);
// The UTF-8 character of one byte.
std::string_view charUtf8(unsigned char byte);

// Upper case of one Windows-1250 byte (č->Č, š->Š, ž->Ž, ć->Ć, đ->Đ, ...);
// bytes without a case pair are returned unchanged. ß stays ß.
unsigned char upper(unsigned char byte);
unsigned char lower(unsigned char byte);
std::string upper(std::string_view bytes);

// Text with trailing blanks (and zero bytes) removed: record texts are
// blank-padded and keys compare without the padding.
std::string_view trimRight(std::string_view bytes);
std::string_view trimLeft(std::string_view bytes);

// Case-insensitive Slovenian collation key of a text, without its trailing
// blanks: comparing two keys with memcmp (shorter prefix first) gives the
// order of a NOCASE key. c < č < ć, d < đ, s < š, z < ž, other letters of
// the code page right after their base letter; digits before letters;
// blank first.
std::string collationKey(std::string_view bytes);
// Compare two texts in that order (<0, 0, >0); trailing blanks ignored.
int compareNoCase(std::string_view a, std::string_view b);
// True when the two texts are equal without regard to case (trailing blanks
// ignored).
bool equalNoCase(std::string_view a, std::string_view b);
// Does `text` begin with `prefix`, case-insensitively?
bool startsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace tdx::cp1250
