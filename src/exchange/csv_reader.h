#pragma once
// The semicolon-separated offers file: one record per line, no heading line.
//
// Lines end with CR LF; a bare LF ends a line too (the CR before it is not
// part of the last field). Fields are separated by ";". A field that starts
// with a double quote is quoted: the quotes are not part of the value and a
// ";" inside them belongs to the value; inside quotes a doubled quote ("")
// reads as one quote character, and whatever follows the closing quote up to
// the next ";" is kept as written. A quote anywhere else is an ordinary
// character. A line end always ends the record, even inside an unclosed
// quote, so one stray quote never swallows the rest of the file.
//
// Every field is text cut to its fixed width and blank-padded (8, 6, 16, 8,
// 8, 20 for the offers); a missing trailing field is blank, fields beyond
// the last are ignored, and an empty line is a record of blank fields. The
// bytes are Windows-1250 and are not translated. A lone 1Ah (the DOS end of
// file) as the last line is not a record.
//
// A line longer than 64 KiB without a line end is refused with its line
// number (error 47); the reader then skips to the next line end, so the
// caller may go on or stop. Memory stays bounded by that limit.
//
// Reading goes by byte offsets: position() is where the next line starts, so
// a caller can show progress in bytes and come back to a line with seek().

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/raw_file.h"
#include "records/errors.h"

namespace tdx::csv {

// Field widths of the offers file, and the fields by name.
inline constexpr std::array<int, 6> kOfferWidths = {8, 6, 16, 8, 8, 20};
enum OfferField { Sifr = 0, Idzdr, Ncena, Popust, Pddv, Bcena };

inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// Splits one line (without its line end) into fields of the given widths.
void splitLine(std::string_view line, std::span<const int> widths, std::vector<std::string>& fields);

class Reader {
 public:
  explicit Reader(std::span<const int> widths = kOfferWidths) : widths_(widths.begin(), widths.end()) {}

  // 2 when missing, unless `createIfMissing` makes it empty first.
  bool open(const std::filesystem::path& path, bool createIfMissing = false);
  void close();
  bool isOpen() const { return file_.isOpen(); }

  // The fields of the next line; 33 at the end of the file, 47 for a line
  // that is too long.
  bool readNext(std::vector<std::string>& fields);

  // Driver options ("QUICKSCAN=on"): accepted and ignored, reading always
  // reads ahead.
  bool send(std::string_view /*command*/) { return true; }

  // Continues reading at a byte offset where a line starts.
  bool seek(std::uint64_t offset);
  // Where the line that holds byte `offset - 1` starts: the start of the line
  // before a line start, or of the last line for the size of the file; 0 for
  // the first line (and for offset 0). Reads backwards in blocks, so a list
  // can page up through a file of any size in bounded memory. Leaves the
  // reading position alone.
  bool lineStartBefore(std::uint64_t offset, std::uint64_t& start);
  // Offset of the next line to read, offset and size in bytes of the line
  // last read (its line end included), its line number (1-based; counted
  // from the line seek() went to).
  std::uint64_t position() const { return position_; }
  std::uint64_t lineOffset() const { return lineOffset_; }
  std::uint64_t lineBytes() const { return position_ - lineOffset_; }
  std::uint64_t lineNumber() const { return lineNumber_; }
  // The size at opening, for progress.
  std::uint64_t size() const { return size_; }

  const err::Error& error() const { return error_; }

 private:
  bool fill();
  std::vector<int> widths_;
  RawFile file_;
  std::string name_;
  std::uint64_t size_ = 0;
  std::string buffer_;
  std::size_t bufferPos_ = 0;
  std::uint64_t bufferOffset_ = 0;  // file offset of buffer_[0]
  std::uint64_t position_ = 0;
  std::uint64_t lineOffset_ = 0;
  std::uint64_t lineNumber_ = 0;
  bool lineNumberKnown_ = true;  // not after a seek into the middle
  std::string line_;
  err::Error error_;
};

}  // namespace tdx::csv
