// libFuzzer target for `tendrix load`'s reading: the line splitter, the
// header and every field parser, without the store.
//
// The first byte picks the record file; the rest is the text on standard
// input. Beyond not crashing, every row that is accepted must come back the
// same when written out as dump writes it and read again: otherwise a dump
// and a load would not be inverse.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/record_text.h"
#include "records/catalogue.h"

using namespace tdx;
using namespace tdx::app::rtext;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const FileDef& def = allFiles()[data[0] % kFileCount];
  std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  RowReader reader(in);
  Row row;
  if (!reader.next(row)) return 0;
  ReadError error;
  auto header = parseHeader(def, row, error);
  if (!header) return 0;
  describe(error, def, nullptr);

  RecordBuffer buf(def), again(def);
  Header all;
  for (int i = 0; i < int(def.fields.size()); ++i) all.fields.push_back(i);
  while (reader.next(row)) {
    if (auto e = parseRow(*header, row, buf)) {
      describe(*e, def, &*header);
      continue;
    }
    std::string text;
    appendRecordLine(text, buf);
    std::istringstream back(text);
    RowReader reread(back);
    Row written;
    if (!reread.next(written)) std::abort();
    if (parseRow(all, written, again)) std::abort();
    if (!(again == buf)) std::abort();
  }
  return 0;
}
