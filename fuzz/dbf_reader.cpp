// Damaged or hostile dBase tables: opening, reading every row, fetching rows
// by number and building the indexes end in a clear error or in data, never
// in a crash or a loop without end.
//
// The first input byte chooses the layout and whether the rest is the whole
// file or the rows behind a valid header of that layout (so that the record
// decoding is reached, not only the header checks).
#include <cstdint>
#include <string>

#include "exchange/dbf_header.h"
#include "exchange/dbf_table.h"
#include "exchange/ntx_build.h"
#include "fuzz_file.h"

using namespace tdx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static const dbf::Layout* const layouts[] = {&dbf::kParaldbf, &dbf::kCenikdbf, &dbf::kPodatdbf, &dbf::kLog,
                                               &dbf::kZdrndbf};
  const dbf::Layout& layout = *layouts[data[0] % 5];
  const bool behindHeader = data[0] & 0x80;
  const bool buildIndexes = data[0] & 0x40;
  std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::string file;
  if (behindHeader) {
    // The count may disagree with the rows by one either way.
    auto rows = std::uint32_t(rest.size() / std::size_t(layout.recordLength()));
    rows = rows + (data[1] % 3) - 1;
    file = dbf::encodeHeader(layout, rows, {2024, 1, 1}) + rest;
  } else {
    file = std::string(1, char(data[1])) + rest;
  }
  auto path = fuzz::writeScratch(std::string(layout.fileName), file);

  dbf::Table t;
  if (!t.open(path, layout, OpenMode::exclusive())) return 0;
  dbf::Record r(layout);
  while (t.readNext(r)) {
  }
  t.read(t.recordCount(), r);
  t.read(1, r);
  if (buildIndexes && !layout.indexes.empty()) {
    err::Error e;
    ntx::buildIndexes(t, e);
  }
  t.close();
  return 0;
}
