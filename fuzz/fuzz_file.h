#pragma once
// A scratch folder for the fuzz targets, which hand their input to the
// readers as a file, the way the readers meet their input in use. Memory
// backed where the system has it, so writing costs next to nothing; removed
// when the fuzzer ends normally.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace tdx::fuzz {

struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    std::filesystem::path base = std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                     : std::filesystem::temp_directory_path();
    path = base / ("tendrix-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

inline const std::filesystem::path& scratchFolder() {
  static const ScratchFolder folder;
  return folder.path;
}

inline std::filesystem::path writeScratch(const std::string& name, const std::string& bytes) {
  auto p = scratchFolder() / name;
  std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
  return p;
}

}  // namespace tdx::fuzz
