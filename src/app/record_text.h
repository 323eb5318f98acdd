#pragma once
// The text form of record files read and written by `tendrix dump` and
// `tendrix load`: one line of field labels ("PAR:SKUP;PAR:POSK;..."), then
// one line per record, values separated by ";", UTF-8.
//
// Values: integers plain, decimals with "." and exactly their places
// ("-0.50"), texts without trailing blanks. A value holding ";", a double
// quote or a line break is enclosed in double quotes with inner quotes
// doubled, so memo texts with several lines survive a round trip.

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/catalogue.h"

namespace tdx::app::rtext {

// ---- writing ----------------------------------------------------------

// The header line of a file, without the line end.
std::string headerLine(const FileDef& def);
// One value as UTF-8 text, unquoted.
std::string formatValue(const RecordBuffer& buf, const FieldDef& f);
// Appends `value` to `out`, quoted when it needs to be.
void appendQuoted(std::string& out, std::string_view value);
// Appends a record's line, with its "\n".
void appendRecordLine(std::string& out, const RecordBuffer& buf);

// ---- reading ----------------------------------------------------------

// Longest record line accepted, in bytes of input (the longest real record,
// a full memo with every character quoted, is well under it).
inline constexpr std::size_t kMaxLineBytes = 1 << 20;

// One logical line of values; a quoted value may span several physical
// lines, and `line` is the physical line it starts on (the first is 1).
struct Row {
  int line = 0;
  std::vector<std::string> values;
};

// Something wrong with the input: `value` is the index of the value in its
// row it concerns, or -1 when it concerns the whole line.
struct ReadError {
  int line = 0;
  int value = -1;
  std::string reason;
  std::string label;  // the name to report, when it is not a field's label
};

// Splits text into rows. Accepts "\n" and "\r\n" line ends, skips empty
// lines and a leading UTF-8 byte-order mark. Reads in blocks: memory stays
// bounded by the longest line whatever the length of the input.
class RowReader {
 public:
  explicit RowReader(std::istream& in);
  // false at the end of the input or on an error (then error() is set).
  bool next(Row& row);
  const std::optional<ReadError>& error() const { return error_; }

 private:
  int get();   // next byte, or -1 at the end
  int peek();
  bool fill();

  std::istream& in_;
  std::string buf_;
  std::size_t pos_ = 0;
  bool eof_ = false;
  bool started_ = false;
  int line_ = 1;
  std::optional<ReadError> error_;
};

// The field indexes named by a header row, in column order. Names may carry
// the prefix or not, any case; each field at most once.
struct Header {
  std::vector<int> fields;
};
std::optional<Header> parseHeader(const FileDef& def, const Row& row, ReadError& error);

// Stores one value (UTF-8 text as read) into its field. Returns the reason
// when the value is refused; the buffer may then hold part of the row and is
// to be discarded. Empty numbers are zero; decimals accept "." or "," and
// are rounded half away from zero to their places; integers must be whole
// and in range; texts must be Windows-1250 and fit their width.
std::optional<std::string> parseValue(const FieldDef& f, std::string_view text, RecordBuffer& buf);

// Fills a record from a row read under `header` (the buffer is cleared
// first: fields not named stay blank or zero). Returns the error, with the
// field's index in the header as `value`.
std::optional<ReadError> parseRow(const Header& header, const Row& row, RecordBuffer& buf);

// "line 5, PAR:NCENA: reason" for a row error; "line 5: reason" otherwise.
std::string describe(const ReadError& e, const FileDef& def, const Header* header);

// ---- the commands over streams (tests call these in-process) ----------

struct DumpRequest {
  std::string file;                 // label or disk name
  std::filesystem::path folder = ".";
  std::optional<std::string> key;   // "PAR:KSKLOP" or "KSKLOP"
};
int dumpRecords(const DumpRequest& req, std::ostream& out, std::ostream& diag);

struct LoadRequest {
  std::string file;
  std::filesystem::path folder = ".";
  bool replace = false;
};
int loadRecords(const LoadRequest& req, std::istream& in, std::ostream& out, std::ostream& diag);

}  // namespace tdx::app::rtext
