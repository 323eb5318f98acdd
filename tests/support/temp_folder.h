#pragma once
// A fresh folder under the system's temporary folder, removed with the object.

#include <filesystem>
#include <string>

namespace tdx::test {

class TempFolder {
 public:
  explicit TempFolder(const std::string& tag = "t");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Whole file as bytes; empty when missing.
std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& bytes);

}  // namespace tdx::test
