#pragma once
// Writing one record file of the demo: created anew, opened exclusively and
// written in streamed mode, so a benchmark-sized tender takes seconds.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/demo_tender.h"
#include "records/catalogue.h"
#include "records/cp1250.h"
#include "records/fields.h"
#include "records/store.h"

namespace tdx::app::demo {

class RecordWriter {
 public:
  RecordWriter(FileId id, const std::filesystem::path& folder);
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  RecordBuffer& record() { return buf_; }
  template <class T>
  T& as() { return buf_.as<T>(); }
  // Adds the record and clears the buffer for the next one.
  void add();
  Written finish(std::string what);

 private:
  [[noreturn]] void fail(const char* doing);
  RecordFile file_;
  RecordBuffer buf_;
  std::int64_t count_ = 0;
};

// UTF-8 text into a field; a text that does not fit is a fault of the demo's
// tables, never cut silently.
std::string toCp1250(std::string_view utf8);
template <class Field>
void put(Field& field, std::string_view utf8) {
  std::string bytes = toCp1250(utf8);
  if (!Field::fits(bytes)) throw std::logic_error("demo text too long for its field: " + std::string(utf8));
  field.set(bytes);
}
// Where the system itself takes "the first n characters" of a longer text.
template <class Field>
void putCut(Field& field, std::string_view utf8) {
  field.set(toCp1250(utf8));
}

}  // namespace tdx::app::demo
