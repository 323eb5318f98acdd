#include "exchange/dbf_table.h"

#include <limits>
#include <stdexcept>

#include "exchange/dbf_numbers.h"
#include "exchange/exchange_error.h"
#include "exchange/number_text.h"

namespace tdx::dbf {

namespace {
// Rows go to the file, and come from it, in batches of about this size.
constexpr std::size_t kBatchBytes = 256 * 1024;
}  // namespace

bool Table::fail(err::Error e) {
  error_ = std::move(e);
  return false;
}

bool Table::failFile() { return fail(file_.error()); }

void Table::checkLayout(const Record& record) const {
  if (&record.layout() != layout_)
    throw std::logic_error("a " + std::string(record.layout().label) + " row used with a " +
                           std::string(layout_->label) + " table");
}

bool Table::create(const std::filesystem::path& path, const Layout& layout) {
  error_.clear();
  if (isOpen()) return fail(exchangeFailure(err::AlreadyOpen, path_.filename().string() + " is open"));
  RawFile f;
  if (!f.open(path, RawFile::Open::Create, Share::DenyAll)) return fail(f.error());
  std::string bytes = encodeHeader(layout, 0, today());
  bytes.push_back(kEndMarker);
  if (!f.truncate(0) || !f.writeAt(0, bytes.data(), bytes.size()) || !f.sync()) return fail(f.error());
  return true;
}

bool Table::open(const std::filesystem::path& path, const Layout& layout, OpenMode mode) {
  error_.clear();
  if (isOpen()) return fail(exchangeFailure(err::AlreadyOpen, path_.filename().string() + " is open"));
  writable_ = mode.access == Access::ReadWrite;
  if (!file_.open(path, writable_ ? RawFile::Open::ReadWrite : RawFile::Open::Read, mode.share))
    return failFile();
  path_ = path;
  layout_ = &layout;
  const std::string name = path.filename().string();
  auto invalid = [&](const std::string& why) {
    file_.close();
    return fail(exchangeFailure(err::InvalidFile, name + ": " + why));
  };

  auto ioFailure = [&] {
    err::Error e = file_.error();
    file_.close();
    return fail(e);
  };

  std::uint64_t size = 0;
  if (!file_.size(size)) return ioFailure();
  std::string head(32, '\0');
  std::size_t got = 0;
  if (!file_.readAt(0, head.data(), head.size(), got)) return ioFailure();
  head.resize(got);
  if (std::uint32_t stated = statedHeaderLength(head); stated > got) {
    head.resize(stated);
    if (!file_.readAt(0, head.data(), stated, got)) return ioFailure();
    head.resize(got);
  }
  if (auto why = decodeHeader(head, header_)) return invalid(*why);
  if (auto why = matchLayout(header_, layout)) return invalid(*why);

  std::uint64_t expected = header_.headerLength + std::uint64_t(header_.recordCount) * header_.recordLength;
  bool withMarker = false;
  if (size == expected + 1) {
    char last = 0;
    if (!file_.readAt(expected, &last, 1, got)) return ioFailure();
    withMarker = last == kEndMarker;
  }
  if (size != expected && !withMarker) {
    std::uint64_t body = size > header_.headerLength ? size - header_.headerLength : 0;
    return invalid("the header counts " + std::to_string(header_.recordCount) + " records of " +
                   std::to_string(header_.recordLength) + " bytes, the file holds " +
                   std::to_string(body / header_.recordLength) + " and " +
                   std::to_string(body % header_.recordLength) + " bytes more");
  }

  sizeAtOpen_ = size;
  count_ = onDisk_ = headerCount_ = header_.recordCount;
  writeBuffer_.clear();
  readBuffer_.clear();
  readFirst_ = readRecords_ = 0;
  next_ = 1;
  current_ = 0;
  return true;
}

bool Table::close() {
  if (!isOpen()) return true;
  bool ok = !writable_ || flush();
  file_.close();
  writeBuffer_.clear();
  readBuffer_.clear();
  readRecords_ = 0;
  return ok;
}

bool Table::encode(const Record& record, std::string& out) {
  const std::size_t start = out.size();
  out.push_back(record.deleted() ? kDeleted : kLive);
  for (std::size_t k = 0; k < header_.fields.size(); ++k) {
    const FieldInfo& f = header_.fields[k];
    const Column& c = layout_->columns[k];
    if (c.type == ColumnType::Character) {
      std::string_view t = record.text(int(k));
      if (t.size() > std::size_t(f.width)) t = t.substr(0, std::size_t(f.width));
      out.append(t);
      out.append(std::size_t(f.width) - t.size(), ' ');
    } else {
      auto text = formatNumeric(record.number(int(k)), f.width, f.decimals);
      if (!text) {
        out.resize(start);
        return fail(exchangeFailure(err::FieldOverflow, std::string(layout_->label) + "." + f.name + ": " +
                                                            record.number(int(k)).toExactString() +
                                                            " does not fit N(" + std::to_string(f.width) +
                                                            "," + std::to_string(f.decimals) + ")"));
      }
      out.append(*text);
    }
  }
  return true;
}

bool Table::append(const Record& record) {
  error_.clear();
  if (!isOpen()) return fail(exchangeFailure(err::FileNotOpen, "the table is not open"));
  if (!writable_)
    return fail(exchangeFailure(err::AccessDenied, path_.filename().string() + " is open for reading only"));
  if (!file_.exclusive() && !file_.makeExclusive()) return failFile();
  if (count_ == std::numeric_limits<std::uint32_t>::max())
    return fail(exchangeFailure(err::FileSystem, path_.filename().string() + " holds the most records a table can"));
  checkLayout(record);
  if (!encode(record, writeBuffer_)) return false;
  ++count_;
  if (writeBuffer_.size() >= kBatchBytes) return spill();
  return true;
}

bool Table::spill() {
  if (writeBuffer_.empty()) return true;
  bool ok = file_.writeAt(offsetOf(onDisk_ + 1), writeBuffer_.data(), writeBuffer_.size());
  if (!ok) {
    std::uint32_t lost = count_ - onDisk_;
    count_ = onDisk_;
    writeBuffer_.clear();
    err::Error e = file_.error();
    e.driverText += " (" + std::to_string(lost) + " rows not written)";
    return fail(e);
  }
  onDisk_ = count_;
  writeBuffer_.clear();
  return true;
}

bool Table::flush() {
  if (!isOpen() || !writable_) return true;
  bool spilled = spill();
  if (onDisk_ == headerCount_ && spilled) return true;
  // The end marker, and nothing after it: a failed batch may have left part
  // of a row behind the last whole one.
  const std::uint64_t end = offsetOf(onDisk_ + 1);
  const char marker = kEndMarker;
  if (!file_.writeAt(end, &marker, 1) || !file_.truncate(end + 1) || !file_.sync()) return failFile();
  std::string stamp = encodeDateAndCount(onDisk_, today());
  if (!file_.writeAt(1, stamp.data(), stamp.size())) return failFile();
  headerCount_ = onDisk_;
  return spilled;
}

void Table::decode(std::string_view bytes, Record& record) const {
  record.setDeleted(bytes[0] == kDeleted);
  for (std::size_t k = 0; k < header_.fields.size(); ++k) {
    const FieldInfo& f = header_.fields[k];
    std::string_view field = bytes.substr(std::size_t(f.offset), std::size_t(f.width));
    if (layout_->columns[k].type == ColumnType::Character)
      record.setText(int(k), field);
    else
      record.setNumber(int(k), readNumber(field));
  }
}

bool Table::fetch(std::uint32_t recno, std::string_view& bytes) {
  // Rows still in the write buffer are read from the file like the others.
  if (!writeBuffer_.empty() && !spill()) return false;
  if (recno < readFirst_ || recno >= readFirst_ + readRecords_) {
    std::uint32_t batch = std::uint32_t(kBatchBytes / header_.recordLength);
    if (batch == 0) batch = 1;
    std::uint32_t n = count_ - recno + 1 < batch ? count_ - recno + 1 : batch;
    readBuffer_.resize(std::size_t(n) * header_.recordLength);
    std::size_t got = 0;
    readRecords_ = 0;
    if (!file_.readAt(offsetOf(recno), readBuffer_.data(), readBuffer_.size(), got)) return failFile();
    if (got < header_.recordLength)
      return fail(exchangeFailure(err::InvalidFile, path_.filename().string() + ": record " +
                                                        std::to_string(recno) + " is cut short"));
    readFirst_ = recno;
    readRecords_ = std::uint32_t(got / header_.recordLength);
  }
  bytes = std::string_view(readBuffer_).substr(std::size_t(recno - readFirst_) * header_.recordLength,
                                               header_.recordLength);
  return true;
}

bool Table::readNextRaw(std::string_view& bytes, std::uint32_t& recno) {
  error_.clear();
  if (!isOpen()) return fail(exchangeFailure(err::FileNotOpen, "the table is not open"));
  if (next_ > count_) return fail(err::Error::of(err::EndOfFile));
  if (!fetch(next_, bytes)) return false;
  recno = current_ = next_++;
  return true;
}

bool Table::readNext(Record& record) {
  checkLayout(record);
  std::string_view bytes;
  std::uint32_t recno = 0;
  while (readNextRaw(bytes, recno)) {
    if (bytes[0] == kDeleted) continue;
    decode(bytes, record);
    return true;
  }
  return false;
}

bool Table::read(std::uint32_t recno, Record& record) {
  checkLayout(record);
  error_.clear();
  if (!isOpen()) return fail(exchangeFailure(err::FileNotOpen, "the table is not open"));
  if (recno == 0 || recno > count_) return fail(err::Error::of(err::EndOfFile));
  std::string_view bytes;
  if (!fetch(recno, bytes)) return false;
  decode(bytes, record);
  current_ = recno;
  next_ = recno + 1;
  return true;
}

}  // namespace tdx::dbf
