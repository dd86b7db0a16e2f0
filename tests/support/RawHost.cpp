#include "tests/support/RawHost.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <stdexcept>

namespace larkvale::test {

RawHost::RawHost(std::string reply) : reply_(std::move(reply)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
      ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
      ::pipe2(wake_, O_CLOEXEC) != 0)
    throw std::runtime_error("couldn't start a raw test host");
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { serve(); });
}

RawHost::~RawHost() {
  char stop = 0;
  (void)!::write(wake_[1], &stop, 1);
  thread_.join();
  ::close(listener_);
  ::close(wake_[0]);
  ::close(wake_[1]);
}

std::string RawHost::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> RawHost::heads() const {
  std::lock_guard lock(mutex_);
  return heads_;
}

void RawHost::serve() {
  std::map<int, std::string> pending;  // open connection -> bytes not yet a whole head
  for (;;) {
    std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
    for (const auto& [fd, _] : pending) fds.push_back({fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), -1) < 0) continue;
    if (fds[0].revents) break;
    if (fds[1].revents & POLLIN) {
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) pending[fd];
    }
    for (size_t i = 2; i < fds.size(); ++i) {
      if (!fds[i].revents) continue;
      int fd = fds[i].fd;
      char buffer[4096];
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n <= 0) {
        ::close(fd);
        pending.erase(fd);
        continue;
      }
      std::string& bytes = pending[fd];
      bytes.append(buffer, static_cast<size_t>(n));
      auto end = bytes.find("\r\n\r\n");
      if (end == std::string::npos) continue;
      {
        std::lock_guard lock(mutex_);
        heads_.push_back(bytes.substr(0, end + 4));
      }
      bytes.erase(0, end + 4);
      if (reply_.empty()) continue;
      (void)!::write(fd, reply_.data(), reply_.size());
      ::close(fd);
      pending.erase(fd);
    }
  }
  for (const auto& [fd, _] : pending) ::close(fd);
}

}  // namespace larkvale::test
