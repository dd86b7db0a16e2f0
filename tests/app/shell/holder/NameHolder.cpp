// name_holder: another user's program on the name a copy of Larkvale answers
// on, for the tests that run it under a second user id.
//   name_holder hold <uid> <state folder> <name>
//     Listens on the name of <uid>'s copy first, says "holding", takes every
//     connection and reads what comes; on SIGTERM says "received <bytes>"
//     and ends.
//   name_holder knock <uid> <state folder> <name> <count>
//     Opens <count> connections to that name at once, sends a request on
//     each and waits up to ten seconds for answers; says "answered <n>
//     closed <m>": how many sent back a byte, and how many were closed by
//     the other end.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QString>
#include <atomic>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/shell/InstanceName.h"

namespace {

std::atomic<bool> ending = false;

socklen_t addressOf(const QByteArray& name, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, name.constData(), static_cast<size_t>(name.size()));
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

int hold(const QByteArray& name) {
  sockaddr_un address;
  const socklen_t length = addressOf(name, address);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener, 64) != 0) {
    std::perror("name_holder");
    return 1;
  }
  struct sigaction onTerm = {};
  onTerm.sa_handler = [](int) { ending = true; };
  ::sigaction(SIGTERM, &onTerm, nullptr);
  std::puts("holding");
  std::fflush(stdout);
  std::vector<pollfd> watched{{listener, POLLIN, 0}};
  long received = 0;
  while (!ending) {
    if (::poll(watched.data(), watched.size(), 200) <= 0) continue;
    if (watched[0].revents & POLLIN)
      watched.push_back({::accept(listener, nullptr, nullptr), POLLIN, 0});
    for (size_t i = 1; i < watched.size(); ++i) {
      if (!(watched[i].revents & (POLLIN | POLLHUP))) continue;
      char buffer[256];
      const ssize_t got = ::read(watched[i].fd, buffer, sizeof buffer);
      if (got > 0) received += got;
      if (got <= 0) {
        ::close(watched[i].fd);
        watched.erase(watched.begin() + static_cast<std::ptrdiff_t>(i--));
      }
    }
  }
  std::printf("received %ld\n", received);
  return 0;
}

int knock(const QByteArray& name, int count) {
  sockaddr_un address;
  const socklen_t length = addressOf(name, address);
  std::vector<pollfd> peers;
  int answered = 0;
  int closed = 0;
  for (int i = 0; i < count; ++i) {
    const int peer = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::connect(peer, reinterpret_cast<sockaddr*>(&address), length) != 0) {
      std::perror("name_holder");
      return 1;
    }
    // Turned away before it is read, the request may find the connection
    // closed already.
    if (::send(peer, "open\n", 5, MSG_NOSIGNAL) != 5) {
      ::close(peer);
      ++closed;
      continue;
    }
    peers.push_back({peer, POLLIN, 0});
  }
  for (int round = 0; round < 100 && !peers.empty(); ++round) {
    if (::poll(peers.data(), peers.size(), 100) <= 0) continue;
    for (size_t i = 0; i < peers.size(); ++i) {
      if (!(peers[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char byte;
      const ssize_t got = ::read(peers[i].fd, &byte, 1);
      (got > 0 ? answered : closed) += 1;
      ::close(peers[i].fd);
      peers.erase(peers.begin() + static_cast<std::ptrdiff_t>(i--));
    }
  }
  std::printf("answered %d closed %d\n", answered, closed);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const QByteArray name = larkvale::instance_name::nameFor(
      static_cast<unsigned int>(std::strtoul(argv[2], nullptr, 10)),
      QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
  if (std::strcmp(argv[1], "hold") == 0) return hold(name);
  if (std::strcmp(argv[1], "knock") == 0 && argc == 6) return knock(name, std::atoi(argv[5]));
  return 2;
}
