#pragma once
// The name the running copy answers on: a Linux abstract socket address.
// Such an address lives exactly as long as the process that listens on it;
// nothing on disk holds it, so no removed file, unwritable folder or
// environment that names other folders can hide the copy from a later
// launch. It also has no owner and no permissions: any local user may bind
// it first or connect to it. So both ends ask the kernel who the other is
// (SO_PEERCRED) and deal only with their own user: a launch sends nothing to
// another user's listener, and the copy closes another user's connection
// before reading it. Abstract addresses belong to one network namespace; a
// launch in another one finds the copy through its files.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <utility>

class QSocketNotifier;

namespace larkvale {

// An open file descriptor, closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Descriptor();
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Hands the descriptor over; this one no longer closes it.
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

namespace instance_name {

// The name for `user`'s copy that keeps `stateFolder` (absolute and cleaned
// as given, not resolved: the folder may be gone), under the guard's `name`:
// the name in the clear, then a hash of the user id and the folder, so that
// the address, which every user may list, doesn't show the path.
QByteArray nameFor(unsigned int user, const QString& stateFolder, const QString& name);

// Whether the socket's peer is this process's user. Only the kernel's word
// counts: false when it can't be asked.
bool peerIsOwnUser(int socket);

// A socket connected to the listener on `name` when that listener is this
// user's; invalid otherwise: nobody listens, another user does, or the
// listener's queue is full, so it can't be asked who it is. Never waits, and
// never writes a byte.
Descriptor connectToOwn(const QByteArray& name);

}  // namespace instance_name

// Listens on a name, and hands on each connection of this user's.
// Main thread only.
class NameListener final : public QObject {
  Q_OBJECT
 public:
  enum class Outcome {
    listening,
    heldByOwnUser,  // a copy of this user's has it: that copy runs
    heldByOther,    // another user's program has it, or one that can't be asked
    failed,         // the system refused it (see errorString())
  };

  explicit NameListener(QObject* parent = nullptr);
  ~NameListener() override;

  Outcome listen(const QByteArray& name);
  QString errorString() const { return error_; }

 signals:
  // A connection of this user's, already accepted: its descriptor is the
  // receiver's to keep or close. Others' are closed before anything is read.
  void connected(int socket);

 private:
  void accept();

  Descriptor socket_;
  QSocketNotifier* notifier_ = nullptr;
  QString error_;
};

}  // namespace larkvale
