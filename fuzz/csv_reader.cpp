// Hostile semicolon files: every line reads into its fixed-width fields and
// the numbers in them read as the import would, or the reader reports the
// line; walking back line by line finds the same lines; never a crash,
// never unbounded memory.
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/csv_reader.h"
#include "exchange/number_text.h"
#include "fuzz_file.h"

using namespace tdx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  auto path = fuzz::writeScratch("paralela.csv", bytes);
  csv::Reader reader;
  if (!reader.open(path)) return 0;
  std::vector<std::string> fields;
  std::vector<std::uint64_t> starts;
  std::vector<std::vector<std::string>> lines;
  for (int guard = 0; guard < 100000; ++guard) {
    if (!reader.readNext(fields)) {
      if (reader.error().code == err::EndOfFile) break;
      continue;  // an over-long line: the reader goes on after it
    }
    starts.push_back(reader.lineOffset());
    lines.push_back(fields);
    for (const auto& f : fields) readNumber(f);
  }
  // Coming back to a line by its offset reads the same fields.
  if (!starts.empty()) {
    std::size_t mid = starts.size() / 2;
    std::vector<std::string> again;
    if (!reader.seek(starts[mid]) || !reader.readNext(again) || again != lines[mid]) __builtin_trap();
  }
  // Walking back from the end meets every line start that reading forwards
  // met (and, for over-long lines skipped forwards, their starts too).
  std::uint64_t at = reader.size();
  std::size_t known = starts.size();
  for (int guard = 0; at > 0 && guard < 200000; ++guard) {
    std::uint64_t start = 0;
    if (!reader.lineStartBefore(at, start) || start >= at) __builtin_trap();
    while (known > 0 && starts[known - 1] > start) --known;
    if (known > 0 && starts[known - 1] == start) --known;
    at = start;
  }
  if (known != 0) __builtin_trap();
  readNumber(bytes);
  return 0;
}
