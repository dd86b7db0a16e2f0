#pragma once
// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes away.
#include <filesystem>
#include <string>
#include <string_view>

namespace larkvale::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view rel) const { return path_ / rel; }

  // Writes a file (making its folders) and returns its path.
  std::filesystem::path write(std::string_view rel, std::string_view content) const;
  // Makes a folder (with its parents) and returns its path.
  std::filesystem::path mkdir(std::string_view rel) const;

 private:
  std::filesystem::path path_;
};

// A stand-in brew in `dir`: "brew info …" answers `info`, every other
// command `outdated` (both JSON as brew writes them). Returns its path.
std::string writeFakeBrew(const TempDir& dir, std::string_view info, std::string_view outdated);

// The content of a file, or an empty string when it can't be read.
std::string readAll(const std::filesystem::path& path);

// Test data shipped with the project.
std::filesystem::path fixture(std::string_view rel);

}  // namespace larkvale::test
