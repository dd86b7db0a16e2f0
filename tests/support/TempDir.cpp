#include "tests/support/TempDir.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace larkvale::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "larkvale-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave folders without write permission behind.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
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
