#include "app/shell/InstanceName.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <optional>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>

namespace larkvale {

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

namespace instance_name {
namespace {

// Room for the later launches that come at once, and for a few of another
// user's connections, which are closed as soon as they are seen.
constexpr int kBacklog = 64;
// How often a name held by someone who doesn't listen yet is asked again,
// a few milliseconds apart.
constexpr int kRefusedRetries = 50;

struct Address {
  sockaddr_un address = {};
  socklen_t length = 0;
};

// The abstract address: a NUL, then the name, counted by the length alone.
std::optional<Address> abstractAddress(const QByteArray& name) {
  Address made;
  if (name.isEmpty() || name.size() + 1 > static_cast<qsizetype>(sizeof(made.address.sun_path)))
    return std::nullopt;
  made.address.sun_family = AF_UNIX;
  std::copy(name.begin(), name.end(), made.address.sun_path + 1);
  made.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return made;
}

Descriptor newSocket() {
  return Descriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

}  // namespace

QByteArray nameFor(unsigned int user, const QString& stateFolder, const QString& name) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(QByteArray::number(user));
  hash.addData(QByteArrayView("\0", 1));
  hash.addData(QFile::encodeName(QDir::cleanPath(stateFolder)));
  return QFile::encodeName(name) + '.' + hash.result().toHex().left(32);
}

bool peerIsOwnUser(int socket) {
  ucred peer = {};
  socklen_t length = sizeof(peer);
  return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
         length == sizeof(peer) && peer.uid == ::geteuid();
}

Descriptor connectToOwn(const QByteArray& name) {
  const std::optional<Address> address = abstractAddress(name);
  Descriptor socket = newSocket();
  if (!address || !socket.valid()) return Descriptor();
  // A stream connection on this machine is made at once or not at all: a
  // full queue answers EAGAIN rather than a connection in progress.
  if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address->address),
                address->length) != 0)
    return Descriptor();
  return peerIsOwnUser(socket.get()) ? std::move(socket) : Descriptor();
}

}  // namespace instance_name

NameListener::NameListener(QObject* parent) : QObject(parent) {}

NameListener::~NameListener() {
  // Unwatched before the descriptor closes.
  delete notifier_;
}

NameListener::Outcome NameListener::listen(const QByteArray& name) {
  const std::optional<instance_name::Address> address = instance_name::abstractAddress(name);
  Descriptor socket = instance_name::newSocket();
  if (!address || !socket.valid()) {
    error_ = QString::fromLocal8Bit(std::strerror(address ? errno : ENAMETOOLONG));
    return Outcome::failed;
  }
  // A holder that has bound the name but doesn't listen yet refuses a
  // connection for a moment, as one that has just ended does until its name
  // is free: either is asked again shortly.
  for (int attempt = 0;; ++attempt) {
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address->address),
               address->length) == 0)
      break;
    if (errno != EADDRINUSE) {
      error_ = QString::fromLocal8Bit(std::strerror(errno));
      return Outcome::failed;
    }
    Descriptor holder = instance_name::newSocket();
    if (::connect(holder.get(), reinterpret_cast<const sockaddr*>(&address->address),
                  address->length) == 0)
      return instance_name::peerIsOwnUser(holder.get()) ? Outcome::heldByOwnUser
                                                        : Outcome::heldByOther;
    // A full queue can't be asked who it is.
    if (errno != ECONNREFUSED || attempt == instance_name::kRefusedRetries)
      return Outcome::heldByOther;
    ::usleep(2000);
  }
  if (::listen(socket.get(), instance_name::kBacklog) != 0) {
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    return Outcome::failed;
  }
  socket_ = std::move(socket);
  notifier_ = new QSocketNotifier(socket_.get(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &NameListener::accept);
  return Outcome::listening;
}

void NameListener::accept() {
  while (true) {
    Descriptor peer(::accept4(socket_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!peer.valid()) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;
    }
    if (instance_name::peerIsOwnUser(peer.get())) emit connected(peer.release());
  }
}

}  // namespace larkvale
