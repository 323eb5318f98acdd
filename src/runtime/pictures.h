#pragma once
// Display pictures: the tokens by which every window, list and report
// formats a value, and by which a typed entry is read back.
//
// A token is parsed once into a Picture and kept in a process-wide cache by
// its text, so formatting in a loop costs no parsing.
//
// Tokens ("@" and a type letter, either case):
//   @sN                text, N characters (longer text is cut)
//   @n...              number:  [~before~] [0|_] width [. | ` d | .` d] [~after~] [b]
//                        "0" fill: leading zeros, no grouping unless "." is given
//                        "_" fill: leading blanks, no grouping unless "." is given
//                        no fill:  leading blanks, full stops between thousands
//                        "."       full stops between thousands, no decimals
//                        "`d"      d decimals after a comma
//                        ".`d"     full stops and d decimals after a comma
//                        b         a value that rounds to zero shows as blanks
//                      The fixed texts count in the width.
//   @d[0]6[sep][b]     date day.month.year; "0" gives the day a leading zero
//                      instead of a blank; sep is "." (default), "/" or "-"
//   @t[0]4             time h:mm:ss, 24 hours; "0" gives the hour a leading
//                      zero instead of a blank
//   @p text p          page number: every "<" or "#" in the text is one digit
//                      position, the number right-aligned across them
//
// Numbers are laid out as: leading blanks, the fixed text before, fill
// zeros, the minus sign, the digits, the fixed text after; the whole is
// exactly `width` characters. With "0" fill the minus sign goes first
// ("-0000123") so that the zeros stay next to the digits.
//
// A value that does not fit its width shows as "#" in every position:
// a cut number would be a wrong number. An impossible date or time shows
// the same way.
//
// Widths are counted in characters, not bytes: every text here is UTF-8.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "records/decimal.h"

namespace tdx::pic {

enum class Kind { Text, Number, Date, Time, PageNumber };

struct Picture {
  Kind kind = Kind::Text;
  std::string token;  // as written
  int width = 0;      // characters in total

  // Number
  std::string before, after;  // fixed texts, UTF-8
  char fill = ' ';            // ' ' none, '0' zeros, '_' blanks
  bool grouping = false;      // full stops between thousands
  int decimals = 0;           // shown after a comma
  bool blankZero = false;     // also the zero date of @d...b

  // Date and time
  bool leadingZero = false;
  char separator = '.';

  // Page number: `before` + digit positions + `after`
  int digitPositions = 0;

  // Characters the number itself may take (width less the fixed texts).
  int numberWidth() const;
};

class BadPicture : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// The picture of a token, parsed once and cached; the reference stays valid
// for the life of the program. Throws BadPicture for a malformed token: a
// picture is part of the program, so a bad one is a programming error.
const Picture& picture(std::string_view token);

// Parses without throwing and without the cache; nullopt and a message in
// `error` for a malformed token.
std::optional<Picture> parsePicture(std::string_view token, std::string* error = nullptr);

struct Date {
  int day = 0, month = 0, year = 0;  // all zero: no date
  bool isZero() const { return day == 0 && month == 0 && year == 0; }
};

struct Time {
  int hour = 0, minute = 0, second = 0;
};

// The value in its picture: exactly the picture's width for numbers, dates,
// times and page numbers. Each throws BadPicture when the picture is of
// another kind.
std::string format(const Picture& p, const Decimal& value);
std::string format(std::string_view token, const Decimal& value);
// @s: the text cut to the picture's width (not padded).
std::string format(const Picture& p, std::string_view text);
std::string format(std::string_view token, std::string_view text);
std::string format(const Picture& p, const Date& date);
std::string format(std::string_view token, const Date& date);
std::string format(const Picture& p, const Time& time);
std::string format(std::string_view token, const Time& time);
// @p: the page number in its positions.
std::string formatPage(const Picture& p, int page);

// Reading a typed entry back through a number picture.
//
// Blanks, the picture's fixed texts, and a "€" or "%" at either end are
// removed; an empty entry is zero; a leading "-" or "+" is the sign. Then:
// - with a comma: the comma is the decimal separator and full stops before
//   it separate thousands ("1.234,5" is 1234.5);
// - several full stops and no comma: thousands ("1.234.567");
// - a single full stop and no comma: a decimal point, since that is what a
//   user means typing "15.5" into a price; except in a picture without
//   decimals, whose own display puts full stops between thousands, so that
//   "1.234" read back from a quantity field is 1234 and not 1.
// Full stops between thousands must stand between groups of three digits.
// The value must fit the picture (format would not show it as "#").
// The value is exact; storing it into a field rounds it to the field.
struct Entry {
  std::optional<Decimal> value;
  std::string error;  // Slovenian, for the user; empty when value is set
  explicit operator bool() const { return value.has_value(); }
};
Entry parse(const Picture& p, std::string_view typed);
Entry parse(std::string_view token, std::string_view typed);

// Characters (code points) of a UTF-8 text.
std::size_t charCount(std::string_view utf8);

}  // namespace tdx::pic
