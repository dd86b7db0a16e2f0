#pragma once
// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes away. What a test removes by hand goes through
// remove(), which keeps to this folder.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace larkvale::test {

class TempDir {
 public:
  // Made in the system's temporary folder (TMPDIR, else /tmp), or in `under`.
  // The path is absolute with its links resolved, whatever TMPDIR holds.
  // Throws std::runtime_error when the folder can't be made.
  TempDir();
  explicit TempDir(const std::filesystem::path& under);
  // Removes the folder with everything in it, even folders a test left
  // without write permission; but only while the path still names the folder
  // made here (not a link or another folder put in its place).
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view rel) const { return path_ / rel; }

  // Writes a file (making its folders) and returns its path.
  std::filesystem::path write(std::string_view rel, std::string_view content) const;
  // Makes a folder (with its parents) and returns its path.
  std::filesystem::path mkdir(std::string_view rel) const;

  // Removes what stands at `path` (everything in it when it is a folder; a
  // link, never what it points to), which must be an absolute path strictly
  // inside this folder: see FileRemoval::removeInside. False, removing
  // nothing, when the path is refused; false also when something stayed.
  // True when nothing stands there (anymore).
  [[nodiscard]] bool remove(const std::filesystem::path& path) const;

 private:
  std::filesystem::path path_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

// A stand-in brew in `dir`: "brew info …" answers `info`, every other
// command `outdated` (both JSON as brew writes them). Returns its path.
std::string writeFakeBrew(const TempDir& dir, std::string_view info, std::string_view outdated);

// The content of a file, or an empty string when it can't be read.
std::string readAll(const std::filesystem::path& path);

// Test data shipped with the project.
std::filesystem::path fixture(std::string_view rel);

}  // namespace larkvale::test
