#include "support/temp_folder.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace tdx::test {

TempFolder::TempFolder(const std::string& tag) {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("tendrix-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace tdx::test
