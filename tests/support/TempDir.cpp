#include "tests/support/TempDir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/FileRemoval.h"

namespace larkvale::test {

namespace {

namespace fs = std::filesystem;

fs::path systemTemporaryFolder() {
  std::error_code ec;
  fs::path folder = fs::temp_directory_path(ec);
  return ec || folder.empty() ? fs::path("/tmp") : folder;
}

// Folders a test left without write or search permission would keep their
// content; links are not followed.
void openUp(const fs::path& folder) {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
}

}  // namespace

TempDir::TempDir() : TempDir(systemTemporaryFolder()) {}

TempDir::TempDir(const fs::path& under) {
  // A relative TMPDIR would name another folder as soon as the working
  // folder changed, and the removal would follow it there.
  std::string pattern = (fs::absolute(under) / "larkvale-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed in " + under.string());
  std::error_code ec;
  fs::path made = fs::canonical(pattern, ec);
  struct stat st {};
  if (ec || ::lstat(made.c_str(), &st) != 0) {
    ::rmdir(pattern.c_str());
    throw std::runtime_error("couldn't find the folder just made: " + pattern);
  }
  path_ = std::move(made);
  device_ = st.st_dev;
  inode_ = st.st_ino;
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  struct stat st {};
  if (::lstat(path_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_dev != device_ ||
      st.st_ino != inode_)
    return;
  openUp(path_);
  (void)FileRemoval::removeInside(path_.parent_path(), path_);
}

bool TempDir::remove(const fs::path& path) const {
  if (path_.empty()) return false;
  return !FileRemoval::removeInside(path_, path);
}

std::filesystem::path TempDir::write(std::string_view rel, std::string_view content) const {
  auto p = path_ / rel;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("couldn't write " + p.string());
  return p;
}

std::filesystem::path TempDir::mkdir(std::string_view rel) const {
  auto p = path_ / rel;
  std::filesystem::create_directories(p);
  return p;
}

std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::filesystem::path fixture(std::string_view rel) {
  return std::filesystem::path(LARKVALE_FIXTURES) / rel;
}

std::string writeFakeBrew(const TempDir& dir, std::string_view info, std::string_view outdated) {
  const auto infoFile = dir.write("info.json", info);
  const auto outdatedFile = dir.write("outdated.json", outdated);
  const auto script =
      dir.write("brew", "#!/bin/sh\nif [ \"$1\" = info ]; then cat '" + infoFile.string() +
                            "'; else cat '" + outdatedFile.string() + "'; fi\n");
  ::chmod(script.c_str(), 0755);
  return script.string();
}

}  // namespace larkvale::test
