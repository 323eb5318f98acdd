#include "exchange/csv_reader.h"

#include <cstring>

#include "exchange/exchange_error.h"

namespace tdx::csv {

namespace {
constexpr std::size_t kReadAhead = 64 * 1024;

// Appends while the field still has room; the rest of a long value is cut.
void put(std::string& field, std::size_t width, char c) {
  if (field.size() < width) field.push_back(c);
}
}  // namespace

void splitLine(std::string_view line, std::span<const int> widths, std::vector<std::string>& fields) {
  fields.resize(widths.size());
  std::size_t i = 0;
  for (std::size_t k = 0; k < widths.size(); ++k) {
    std::string& field = fields[k];
    const auto width = std::size_t(widths[k]);
    field.clear();
    if (i < line.size() && line[i] == '"') {
      for (++i; i < line.size(); ++i) {
        if (line[i] != '"') {
          put(field, width, line[i]);
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
          put(field, width, '"');
          ++i;
        } else {
          ++i;
          break;
        }
      }
    }
    for (; i < line.size() && line[i] != ';'; ++i) put(field, width, line[i]);
    field.resize(width, ' ');
    // Past the ";", or past the end when the line had no more fields, so
    // that the fields still to come stay blank.
    i = i < line.size() ? i + 1 : line.size() + 1;
  }
}

bool Reader::open(const std::filesystem::path& path, bool createIfMissing) {
  close();
  error_.clear();
  name_ = path.filename().string();
  bool ok = file_.open(path, RawFile::Open::Read, Share::DenyNone);
  if (!ok && createIfMissing && file_.error().code == err::FileNotFound) {
    RawFile created;
    if (!created.open(path, RawFile::Open::Create, Share::DenyNone)) {
      error_ = created.error();
      return false;
    }
    created.close();
    ok = file_.open(path, RawFile::Open::Read, Share::DenyNone);
  }
  if (!ok || !file_.size(size_)) {
    error_ = file_.error();
    file_.close();
    return false;
  }
  return seek(0);
}

void Reader::close() {
  file_.close();
  buffer_.clear();
  bufferPos_ = 0;
}

bool Reader::seek(std::uint64_t offset) {
  error_.clear();
  if (!isOpen()) {
    error_ = exchangeFailure(err::FileNotOpen, "the file is not open");
    return false;
  }
  buffer_.clear();
  bufferPos_ = 0;
  bufferOffset_ = offset;
  position_ = lineOffset_ = offset;
  lineNumber_ = 0;
  lineNumberKnown_ = offset == 0;
  return true;
}

bool Reader::lineStartBefore(std::uint64_t offset, std::uint64_t& start) {
  error_.clear();
  if (!isOpen()) {
    error_ = exchangeFailure(err::FileNotOpen, "the file is not open");
    return false;
  }
  if (offset > size_) offset = size_;
  start = 0;
  // Byte offset - 1 belongs to the line we want (it may be its line end);
  // the line starts after the last line end before it.
  if (offset < 2) return true;
  std::uint64_t end = offset - 1;
  std::string block;
  while (end > 0) {
    const std::uint64_t from = end > kReadAhead ? end - kReadAhead : 0;
    block.resize(std::size_t(end - from));
    std::size_t got = 0;
    if (!file_.readAt(from, block.data(), block.size(), got)) {
      error_ = file_.error();
      return false;
    }
    block.resize(got);
    for (std::size_t i = block.size(); i-- > 0;) {
      if (block[i] == '\n') {
        start = from + i + 1;
        return true;
      }
    }
    end = from;
  }
  return true;
}

bool Reader::fill() {
  bufferOffset_ += buffer_.size();
  buffer_.resize(kReadAhead);
  std::size_t got = 0;
  bool ok = file_.readAt(bufferOffset_, buffer_.data(), buffer_.size(), got);
  buffer_.resize(ok ? got : 0);
  bufferPos_ = 0;
  if (!ok) error_ = file_.error();
  return ok;
}

bool Reader::readNext(std::vector<std::string>& fields) {
  error_.clear();
  if (!isOpen()) {
    error_ = exchangeFailure(err::FileNotOpen, "the file is not open");
    return false;
  }
  line_.clear();
  lineOffset_ = position_;
  bool tooLong = false, ended = false, any = false;
  while (!ended) {
    if (bufferPos_ == buffer_.size()) {
      if (!fill()) return false;
      if (buffer_.empty()) break;  // end of file
    }
    const char* begin = buffer_.data() + bufferPos_;
    const std::size_t avail = buffer_.size() - bufferPos_;
    const char* nl = static_cast<const char*>(std::memchr(begin, '\n', avail));
    const std::size_t chunk = nl ? std::size_t(nl - begin) : avail;
    if (!tooLong && line_.size() + chunk <= kMaxLineBytes) {
      line_.append(begin, chunk);
    } else {
      tooLong = true;  // skipped, not kept: memory stays bounded
    }
    const std::size_t used = nl ? chunk + 1 : chunk;
    bufferPos_ += used;
    position_ += used;
    any = true;
    ended = nl != nullptr;
  }
  if (!any) {
    error_ = err::Error::of(err::EndOfFile);
    return false;
  }
  ++lineNumber_;
  if (tooLong) {
    std::string which = lineNumberKnown_ ? "line " + std::to_string(lineNumber_) + " (at byte "
                                         : "the line at byte ";
    which += std::to_string(lineOffset_) + (lineNumberKnown_ ? ")" : "");
    error_ = exchangeFailure(err::InvalidFile, name_ + ": " + which + " is longer than " +
                                                   std::to_string(kMaxLineBytes) + " bytes");
    return false;
  }
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  if (!ended && line_ == "\x1A") {
    error_ = err::Error::of(err::EndOfFile);
    return false;
  }
  splitLine(line_, widths_, fields);
  return true;
}

}  // namespace tdx::csv
