#pragma once
// The one owner of an open file descriptor: closes it when it goes away.
// Move-only; a moved-from or default-made owner holds nothing (-1). Not
// guarded: one thread uses an owner at a time.
#include <unistd.h>

#include <utility>

namespace larkvale {

class FileDescriptor {
 public:
  FileDescriptor() = default;
  // Takes over fd; a negative value (a failed open) holds nothing.
  explicit FileDescriptor(int fd) : fd_(fd < 0 ? -1 : fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) reset(std::exchange(other.fd_, -1));
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { reset(); }

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

  // Gives up ownership: the caller closes the descriptor.
  int release() { return std::exchange(fd_, -1); }

  // Closes the one held (its error ignored) and takes over fd.
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd < 0 ? -1 : fd;
  }

  // Closes the one held and says whether the close succeeded: where written
  // data must be known to have arrived, a failed close is a failed write.
  // True when nothing was held.
  bool close() { return fd_ < 0 || ::close(release()) == 0; }

 private:
  int fd_ = -1;
};

}  // namespace larkvale
