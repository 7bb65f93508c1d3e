// A fresh temporary folder per test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace testsupport {

class TempDir {
 public:
  TempDir() {
    auto base = std::filesystem::temp_directory_path();
    for (int i = 0;; ++i) {
      path_ = base / ("quarnel-test-" + std::to_string(Seed()) + "-" + std::to_string(i));
      std::error_code ec;
      if (std::filesystem::create_directory(path_, ec)) break;
    }
  }
  ~TempDir() {
    std::error_code ec;
    // Read-only files left by a test must not keep the folder alive.
    for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
      std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The folder as a string ending in the native separator.
  std::string Folder() const { return path_.string() + static_cast<char>(std::filesystem::path::preferred_separator); }

 private:
  static unsigned long Seed() { return std::random_device{}(); }
  std::filesystem::path path_;
};

}  // namespace testsupport
