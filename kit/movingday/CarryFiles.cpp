#include "kit/movingday/CarryFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Error.h"

namespace larkvale::CarryFiles {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Opening with O_NOFOLLOW answers ELOOP or ENOTDIR for a link; say which it was.
std::string describeOpenFailure(int parent, const std::string& name, int err) {
  struct stat st {};
  if (::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
    return std::string(kLinkOnTheWay);
  return describe(err);
}

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Plain read/write, for file systems where copy_file_range can't be used.
// False with errno ECANCELED when a stop was requested.
bool copyByReading(int from, int to, const std::stop_token& stop) {
  std::vector<char> buffer(1 << 17);
  int64_t sinceLook = 0;
  for (;;) {
    ssize_t n = ::read(from, buffer.data(), buffer.size());
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!writeAll(to, buffer.data(), static_cast<size_t>(n))) return false;
    sinceLook += n;
    if (sinceLook >= kCopyChunk) {
      sinceLook = 0;
      if (stop.stop_requested()) {
        errno = ECANCELED;
        return false;
      }
    }
  }
}

bool copyData(int from, int to, int64_t size, const std::stop_token& stop) {
  bool started = false;
  for (;;) {
    ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(kCopyChunk), 0);
    if (n == 0) return true;
    if (n > 0) {
      started = true;
      if (stop.stop_requested()) {
        errno = ECANCELED;
        return false;
      }
      continue;
    }
    if (errno == EINTR) continue;
    // Kernels and file systems that don't offer it answer with these before
    // copying anything.
    bool unsupported = errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                       errno == EOPNOTSUPP || errno == EPERM;
    if (started || !unsupported || size < 0) return false;
    return copyByReading(from, to, stop);
  }
}

}  // namespace

std::string describe(int err) {
  return std::strerror(err);
}

Outcome<FileDescriptor> makeFolderIn(int parent, const std::string& name) {
  if (::mkdirat(parent, name.c_str(), 0755) != 0 && errno != EEXIST) return describe(errno);
  FileDescriptor folder{::openat(parent, name.c_str(), kFolderFlags)};
  if (!folder) return describeOpenFailure(parent, name, errno);
  return folder;
}

Outcome<FileDescriptor> openFolderBelow(int root, std::string_view relative, bool create) {
  FileDescriptor current{::dup(root)};
  if (!current) return describe(errno);
  size_t start = 0;
  while (start < relative.size()) {
    size_t slash = relative.find('/', start);
    if (slash == std::string_view::npos) slash = relative.size();
    std::string piece(relative.substr(start, slash - start));
    start = slash + 1;
    if (piece.empty()) continue;
    Outcome<FileDescriptor> next =
        create ? makeFolderIn(current.get(), piece) : Outcome<FileDescriptor>{};
    if (!create) {
      FileDescriptor fd{::openat(current.get(), piece.c_str(), kFolderFlags)};
      if (fd)
        next = std::move(fd);
      else
        next = describeOpenFailure(current.get(), piece, errno);
    }
    if (auto* error = std::get_if<std::string>(&next)) return *error;
    current = std::move(std::get<FileDescriptor>(next));
  }
  return current;
}

Outcome<int64_t> copyFile(int srcDir, const std::string& name, int dstDir,
                          const std::stop_token& stop) {
  // O_NONBLOCK: a FIFO swapped in since the item was classified must not
  // hang the copy; the fstat below then refuses it.
  FileDescriptor from{
      ::openat(srcDir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
  if (!from) return describe(errno);
  struct stat st {};
  if (::fstat(from.get(), &st) != 0) return describe(errno);
  if (!S_ISREG(st.st_mode)) return describe(EINVAL);
  FileDescriptor to{
      ::openat(dstDir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
  if (!to) return errno == ELOOP ? std::string(kLinkOnTheWay) : describe(errno);
  if (!copyData(from.get(), to.get(), st.st_size, stop)) {
    int err = errno;
    // The file is our own, made above with O_EXCL: a half copy must not pass
    // for the real thing on the new Mac.
    ::unlinkat(dstDir, name.c_str(), 0);
    if (err == ECANCELED && stop.stop_requested()) throw Cancelled();
    return describe(err);
  }
  // Best effort: drives formatted for other systems may refuse modes, and the
  // content is what the user needs.
  ::fchmod(to.get(), st.st_mode & 0777);
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::futimens(to.get(), times);
  // Network and removable file systems may report a failed write only here.
  if (!to.close()) {
    int err = errno;
    ::unlinkat(dstDir, name.c_str(), 0);
    return describe(err);
  }
  return static_cast<int64_t>(st.st_size);
}

Outcome<std::monostate> writeNewFile(int folder, const std::string& name, std::string_view bytes) {
  FileDescriptor file{
      ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644)};
  if (!file) return describe(errno);
  if (!writeAll(file.get(), bytes.data(), bytes.size()) || ::fsync(file.get()) != 0 ||
      !file.close()) {
    int err = errno;
    ::unlinkat(folder, name.c_str(), 0);  // our own, made above with O_EXCL
    return describe(err);
  }
  return std::monostate{};
}

Outcome<std::monostate> copyLink(int srcDir, const std::string& name, int dstDir) {
  struct stat st {};
  if (::fstatat(srcDir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return describe(errno);
  if (!S_ISLNK(st.st_mode)) return describe(EINVAL);
  std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
  for (;;) {
    ssize_t n = ::readlinkat(srcDir, name.c_str(), target.data(), target.size());
    if (n < 0) return describe(errno);
    if (static_cast<size_t>(n) < target.size()) {
      target.resize(static_cast<size_t>(n));
      break;
    }
    target.resize(target.size() * 2);
  }
  if (::symlinkat(target.c_str(), dstDir, name.c_str()) != 0) return describe(errno);
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::utimensat(dstDir, name.c_str(), times, AT_SYMLINK_NOFOLLOW);
  return std::monostate{};
}

void keepFolderAttributes(int folder, const struct stat& st) {
  ::fchmod(folder, st.st_mode & 0777);
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::futimens(folder, times);
}

}  // namespace larkvale::CarryFiles
