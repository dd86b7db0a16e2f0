#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/Error.h"
#include "platform/FileDescriptor.h"
#include "platform/FileRemoval.h"
#include "platform/TextTrim.h"

namespace larkvale::FileSystem {
namespace {

std::string systemReason(int err) {
  return std::strerror(err);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr size_t kSuffixLength = 8;
constexpr std::string_view kSuffixChars = "abcdefghijklmnopqrstuvwxyz0123456789";

std::string randomSuffix() {
  thread_local std::mt19937_64 rng{std::random_device{}()};
  std::string s(kSuffixLength, ' ');
  for (char& c : s) c = kSuffixChars[rng() % kSuffixChars.size()];
  return s;
}

// Reads a regular file opened relative to a folder (AT_FDCWD for the
// working folder or an absolute path).
std::optional<std::string> readFileAt(int folder, const char* path, size_t maxBytes) {
  // O_NONBLOCK keeps open() from waiting for a FIFO's writer; the fstat check
  // below then refuses anything but a regular file.
  FileDescriptor file{::openat(folder, path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
  if (!file) return std::nullopt;
  struct stat st {};
  if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (static_cast<uint64_t>(st.st_size) > maxBytes) return std::nullopt;
  std::string content;
  content.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  // The file may grow or shrink while we read; stop at the cap either way.
  for (;;) {
    if (got == content.size()) {
      // Most files end where fstat said: confirm that with a small read
      // instead of growing the buffer (and clearing the new room) first.
      char probe[512];
      ssize_t n = ::read(file.get(), probe, sizeof probe);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return std::nullopt;
      if (n == 0) break;
      if (got + static_cast<size_t>(n) > maxBytes) return std::nullopt;
      content.append(probe, static_cast<size_t>(n));
      got += static_cast<size_t>(n);
      content.resize(std::min(maxBytes + 1, got + 65536));
      continue;
    }
    ssize_t n = ::read(file.get(), content.data() + got, content.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  if (got > maxBytes) return std::nullopt;
  content.resize(got);
  return content;
}

}  // namespace

std::optional<std::vector<Entry>> listEntries(const fs::path& folder) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return std::nullopt;
  std::vector<Entry> entries;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return std::nullopt;
    Entry e{it->path().filename().string(), it->path(), std::nullopt};
    std::error_code typeEc;
    fs::file_status st = it->symlink_status(typeEc);
    if (!typeEc) e.isDirectory = fs::is_directory(st);
    entries.push_back(std::move(e));
  }
  if (ec) return std::nullopt;
  return entries;
}

std::optional<std::vector<std::string>> listNames(const fs::path& folder) {
  auto entries = listEntries(folder);
  if (!entries) return std::nullopt;
  std::vector<std::string> names;
  names.reserve(entries->size());
  for (auto& e : *entries) names.push_back(std::move(e.name));
  return names;
}

bool exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

fs::path resolveLinks(const fs::path& path) {
  std::error_code ec;
  fs::path resolved = fs::canonical(path, ec);
  if (!ec) return resolved;
  return fs::absolute(path, ec).lexically_normal();
}

std::optional<std::string> readFile(const fs::path& path, size_t maxBytes) {
  return readFileAt(AT_FDCWD, path.c_str(), maxBytes);
}

std::optional<std::string> readText(const fs::path& path, size_t maxBytes) {
  auto content = readFile(path, maxBytes);
  if (!content || !isValidUtf8(*content)) return std::nullopt;
  return content;
}

namespace {

// Writes a temporary file beside the path and renames it over the path.
void replaceThroughTemp(const fs::path& path, std::string_view bytes, unsigned mode, bool flush) {
  fs::path temp = path;
  temp += std::string(kTemporaryMark) + randomSuffix();
  FileDescriptor file{::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode)};
  if (!file)
    throw FileError("Couldn't write " + TextTrim::writtenOut(path.native()) + ": " +
                    systemReason(errno));
  // The mode given to open() is what the user's umask then narrows, as for
  // any file a program creates.
  bool ok = writeAll(file.get(), bytes) && (!flush || ::fsync(file.get()) == 0);
  int err = errno;
  file.reset();
  if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    if (ok) err = errno;
    ::unlink(temp.c_str());
    throw FileError("Couldn't write " + TextTrim::writtenOut(path.native()) + ": " +
                    systemReason(err));
  }
}

}  // namespace

void writeAtomically(const fs::path& path, std::string_view bytes, unsigned mode) {
  replaceThroughTemp(path, bytes, mode, true);
  // Make the rename itself durable.
  FileDescriptor dir{::open(path.parent_path().empty() ? "." : path.parent_path().c_str(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir) ::fsync(dir.get());
}

void writeAtomicallyUnflushed(const fs::path& path, std::string_view bytes, unsigned mode) {
  replaceThroughTemp(path, bytes, mode, false);
}

std::optional<std::string_view> temporaryTarget(std::string_view name) {
  if (name.size() <= kTemporaryMark.size() + kSuffixLength) return std::nullopt;
  const size_t markAt = name.size() - kSuffixLength - kTemporaryMark.size();
  if (name.substr(markAt, kTemporaryMark.size()) != kTemporaryMark) return std::nullopt;
  const std::string_view suffix = name.substr(name.size() - kSuffixLength);
  if (suffix.find_first_not_of(kSuffixChars) != std::string_view::npos) return std::nullopt;
  return name.substr(0, markAt);
}

bool isTemporaryFor(std::string_view name, std::string_view target) {
  return temporaryTarget(name) == target;
}

void removeStaleTemporaries(const fs::path& folder,
                            const std::function<bool(std::string_view target)>& ownsTarget) {
  auto entries = listEntries(folder);
  if (!entries) return;
  const auto staleBefore = fs::file_time_type::clock::now() - kStaleTemporaryAge;
  for (const Entry& entry : *entries) {
    auto target = temporaryTarget(entry.name);
    if (!target || !ownsTarget(*target)) continue;
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(entry.path, ec))) continue;
    const auto written = fs::last_write_time(entry.path, ec);
    if (!ec && written < staleBefore)
      (void)FileRemoval::removeInside(folder, entry.path, FileRemoval::Reach::entry);
  }
}

bool isExecutableFile(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool isValidUtf8(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (size_t k = 1; k < len; ++k) {
      auto cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    static constexpr uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

std::optional<fs::path> joinInside(const fs::path& base, std::string_view relative) {
  if (relative.empty() || relative.front() == '/') return std::nullopt;
  fs::path out = base;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t slash = relative.find('/', start);
    if (slash == std::string_view::npos) slash = relative.size();
    std::string_view piece = relative.substr(start, slash - start);
    if (piece.empty() || piece == "." || piece == ".." ||
        piece.find('\0') != std::string_view::npos)
      return std::nullopt;
    out /= std::string(piece);
    start = slash + 1;
  }
  return out;
}

std::optional<OpenFolder> OpenFolder::open(const fs::path& folder) {
  FileDescriptor fd{::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
  if (!fd) return std::nullopt;
  return OpenFolder(std::move(fd));
}

bool OpenFolder::exists(const std::string& relative) const {
  struct stat st {};
  return ::fstatat(fd_.get(), relative.c_str(), &st, 0) == 0;
}

std::optional<std::string> OpenFolder::readFile(const std::string& relative,
                                                size_t maxBytes) const {
  return readFileAt(fd_.get(), relative.c_str(), maxBytes);
}

std::optional<std::string> OpenFolder::readText(const std::string& relative,
                                                size_t maxBytes) const {
  auto content = readFile(relative, maxBytes);
  if (!content || !isValidUtf8(*content)) return std::nullopt;
  return content;
}

}  // namespace larkvale::FileSystem
