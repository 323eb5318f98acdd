// The list over the semicolon file, driven by hostile files and any
// sequence of moves: it never crashes, never holds more than a page, and
// every row it shows is the line that starts at the row's offset.
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/csv_reader.h"
#include "fuzz_file.h"
#include "reports/csv_browse.h"

using namespace tdx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  // The first bytes are the moves and the page size, the rest is the file.
  const std::size_t moves = data[0] % 32;
  if (size < 2 + moves) return 0;
  const int pageSize = 1 + data[1] % 9;
  std::string bytes(reinterpret_cast<const char*>(data + 2 + moves), size - 2 - moves);
  auto path = fuzz::writeScratch("paralela.csv", bytes);
  csv::Reader reader, check;
  if (!reader.open(path) || !check.open(path)) return 0;
  reports::CsvBrowse list(reader, {{rt::BrowseColumn{}, "@n15`4b", csv::Ncena, true},
                                   {rt::BrowseColumn{}, "@s6", csv::Idzdr, false}},
                          pageSize);
  list.onError = [](const err::Error&) {};
  list.reload();
  for (std::size_t i = 0; i < moves; ++i) {
    const std::uint8_t m = data[2 + i];
    switch (m % 10) {
      case 0: list.down(); break;
      case 1: list.up(); break;
      case 2: list.pageDown(); break;
      case 3: list.pageUp(); break;
      case 4: list.home(); break;
      case 5: list.end(); break;
      case 6: list.scrollBy(int(m / 10) - 12); break;
      case 7: list.dragThumb(m / 10 * 4); break;
      case 8: list.select(m / 10 % 10); break;
      default: list.setPageSize(1 + m / 10 % 9); break;
    }
    if (list.rows() > list.pageSize()) __builtin_trap();
    if (list.rows() > 0 && (list.current() < 0 || list.current() >= list.rows())) __builtin_trap();
    if (const auto* line = list.currentLine()) {
      std::vector<std::string> fields;
      if (!check.seek(line->offset) || !check.readNext(fields) || fields != line->fields) __builtin_trap();
    }
    (void)list.thumb();
  }
  return 0;
}
