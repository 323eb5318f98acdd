// Damaged or hostile index files: opening, seeking, walking in order and
// exact finds end in a clear error, never in a crash or a walk without end.
//
// With the first byte's top bit set, the input builds a valid index (key
// size and key count from the next bytes) and the rest of the input is a
// list of byte patches to it, so that damage deep inside real trees is
// reached; otherwise the input is the whole file.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>

#include "exchange/ntx_build.h"
#include "exchange/ntx_read.h"
#include "fuzz_file.h"

using namespace tdx;

namespace {

// A valid index of `keys` keys of `keySize` bytes. Built indexes are kept:
// building is not what this target tests, and it is slow under the
// sanitizers.
const std::string& validIndex(int keySize, std::size_t keys, bool unique) {
  static std::map<std::tuple<int, std::size_t, bool>, std::string> built;
  auto id = std::make_tuple(keySize, keys, unique);
  if (auto it = built.find(id); it != built.end()) return it->second;
  if (built.size() > 512) built.clear();
  ntx::KeyList list(keySize);
  for (std::size_t i = 0; i < keys; ++i) {
    std::string key(std::size_t(keySize), ' ');
    std::size_t v = (i * 2654435761u) % (keys + 1);
    for (int k = keySize - 1; k >= 0 && v; --k, v /= 10) key[std::size_t(k)] = char('0' + v % 10);
    list.add(key, std::uint32_t(i + 1));
  }
  err::Error e;
  auto path = fuzz::scratchFolder() / "VALID.NTX";
  std::string file;
  if (ntx::writeIndex(path, {"EAN", keySize, 0, unique}, list, e)) {
    std::ifstream in(path, std::ios::binary);
    file.assign(std::istreambuf_iterator<char>(in), {});
  }
  return built[id] = std::move(file);
}

std::string validIndexPatched(const std::uint8_t* data, std::size_t size) {
  // Up to 2047 keys: three levels for the longer keys.
  std::string file = validIndex(1 + data[1] % 16, (std::size_t(data[2]) << 3) | (data[0] & 0x07), data[0] & 0x40);
  // Patches of three bytes: where (two bytes, scaled over the file) and what.
  for (std::size_t i = 3; i + 2 < size && !file.empty(); i += 3) {
    std::size_t at = ((std::size_t(data[i]) << 8) | data[i + 1]) * file.size() / 65536;
    file[at] = char(data[i + 2]);
  }
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  std::string file = (data[0] & 0x80) ? validIndexPatched(data, size)
                                      : std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
  auto path = fuzz::writeScratch("K.NTX", file);
  ntx::Index ix;
  if (!ix.open(path)) return 0;
  ntx::Entry e;
  if (ix.seek("")) {
    while (ix.next(e)) {
    }
  }
  std::string probe(reinterpret_cast<const char*>(data), size < 8 ? size : 8);
  if (ix.seek(probe)) ix.next(e);
  std::uint32_t recno = 0;
  ix.find(probe, recno);
  return 0;
}
