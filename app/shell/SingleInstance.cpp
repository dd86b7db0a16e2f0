#include "app/shell/SingleInstance.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include "app/model/ShownText.h"

namespace larkvale {
namespace {

// A kind and a startup-notification token fit with room to spare.
constexpr qint64 kMaxRequest = 512;
// A later launch writes its request as soon as it connects.
constexpr std::chrono::milliseconds kIdleLimit = std::chrono::seconds(3);
// Later launches come one at a time; more peers than this at once are
// turned away at the door.
constexpr int kMaxPeers = 8;
// What a socket's address holds, less its terminating NUL and one byte more:
// QLocalServer won't listen on a path that fills all but the NUL (a 107-byte
// path in Linux's 108-byte address fails to bind), and a path the listener
// refuses would leave later launches with no way to hand over.
constexpr qsizetype kMaxSocketPath = sizeof(sockaddr_un{}.sun_path) - 2;

bool fitsSocketAddress(const QString& path) {
  return QFile::encodeName(path).size() <= kMaxSocketPath;
}

// An open file descriptor, closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// A folder on the walk is only looked at and named, never read: a folder the
// user may pass through but not list is as good as any other.
#ifdef O_PATH
constexpr int kWalkFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
#else
constexpr int kWalkFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
#endif

// A folder that only root and this user can change: owned by one of them,
// and writable by no one else unless its sticky bit keeps others from
// renaming or removing what isn't theirs. The sticky bit doesn't hold back
// the folder's owner, so a sticky folder of another user's is no better
// than an open one.
bool keepsOthersOut(const Descriptor& folder) {
  struct stat info = {};
  if (folder.get() < 0 || ::fstat(folder.get(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  if (info.st_uid != 0 && info.st_uid != ::geteuid()) return false;
  return (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (info.st_mode & S_ISVTX) != 0;
}

struct TrustedFolder {
  QString path;  // the real path: no link, no "." or ".."
  Descriptor descriptor;
};

// `folder` by its real path, opened, when it and every folder above it keep
// others out. Then no one but root and this user can make that path name
// anything else, so the socket's path may be looked up by name again (as the
// listener and the connecting side do) and still lead where it was checked.
// Checking the last folder alone would not do: whoever may rename a folder
// further up can move a whole tree of their own into its place. The links
// are resolved first and the walk from the root follows none, so what was
// checked is the real path the caller goes on to use, never a link that
// someone could point elsewhere.
std::optional<TrustedFolder> trustedFolder(const QString& folder) {
  const std::unique_ptr<char, decltype(&::free)> resolved(
      ::realpath(QFile::encodeName(folder).constData(), nullptr), &::free);
  if (!resolved) return std::nullopt;
  const QByteArray real(resolved.get());
  Descriptor at(::open("/", kWalkFlags));
  if (!keepsOthersOut(at)) return std::nullopt;
  for (const QByteArray& part : real.split('/')) {
    if (part.isEmpty()) continue;
    Descriptor next(::openat(at.get(), part.constData(), kWalkFlags));
    if (!keepsOthersOut(next)) return std::nullopt;
    at = std::move(next);
  }
  return TrustedFolder{QFile::decodeName(real), std::move(at)};
}

// A folder that belongs to this user and that no one else may enter or list.
bool privateToUser(const Descriptor& folder) {
  struct stat info = {};
  return ::fstat(folder.get(), &info) == 0 && info.st_uid == ::geteuid() &&
         (info.st_mode & 077) == 0;
}

// The random part of a short folder's name, as long as mkdtemp's.
constexpr int kTailLength = 6;

// Where a short folder may go, in order: the temporary folder, then /tmp.
QStringList shortFolderBases() {
  QStringList bases{QDir::cleanPath(QDir::tempPath())};
  if (!bases.contains(QStringLiteral("/tmp"))) bases << QStringLiteral("/tmp");
  return bases;
}

// A new 0700 folder "<name>-<random tail>" made in `base` through its checked
// descriptor; empty when `base` can't be trusted, when a socket in a folder
// made there would be too long for its address, or when nothing can be made.
QString makePrivateFolderIn(const QString& base, const QString& name) {
  std::optional<TrustedFolder> parent = trustedFolder(base);
  if (!parent) return {};
  const QString likeMade =
      QDir(parent->path)
          .filePath(name + QLatin1Char('-') + QString(kTailLength, QLatin1Char('X')) +
                    QLatin1Char('/') + name + QStringLiteral(".socket"));
  if (!fitsSocketAddress(likeMade)) return {};
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  // Another name is tried only while the one drawn is taken.
  for (int attempt = 0; attempt < 100; ++attempt) {
    QString leaf = name + QLatin1Char('-');
    for (int i = 0; i < kTailLength; ++i)
      leaf += QLatin1Char(
          kAlphabet[QRandomGenerator::system()->bounded(static_cast<int>(sizeof(kAlphabet) - 1))]);
    if (::mkdirat(parent->descriptor.get(), QFile::encodeName(leaf).constData(), 0700) == 0)
      return QDir(parent->path).filePath(leaf);
    if (errno != EEXIST) return {};
  }
  return {};
}

}  // namespace

QByteArray SingleInstance::launchToken() {
  QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
  return token.isEmpty() ? qgetenv("DESKTOP_STARTUP_ID") : token;
}

QByteArray SingleInstance::request(const char* kind, const QByteArray& token) {
  QByteArray line(kind);
  if (!token.isEmpty()) line += ' ' + token;
  return line;
}

std::pair<QByteArray, QByteArray> SingleInstance::parse(const QByteArray& request) {
  const qsizetype space = request.indexOf(' ');
  if (space < 0) return {request, {}};
  QByteArray token = request.mid(space + 1);
  bool printable =
      std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 127; });
  return {request.left(space), printable ? token : QByteArray()};
}

QString SingleInstance::runtimeFolder() {
  // Qt's own answer won't do: with the variable unset, or naming a folder
  // that isn't the user's, it makes one under the shared temporary folder.
  const QString value = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
  if (!QDir::isAbsolutePath(value)) return {};
  const QString named = QDir::cleanPath(value);
  std::optional<TrustedFolder> trusted = trustedFolder(named);
  // Named through a link, the folder is wherever whoever may change the link
  // wants it: another private folder of the user's, say.
  if (!trusted || trusted->path != named || !privateToUser(trusted->descriptor)) return {};
  return named;
}

SingleInstance::SingleInstance(QString lockFolder, QString socketFolder, QString name,
                               QObject* parent)
    : QObject(parent),
      lockFolder_(std::move(lockFolder)),
      socketFolder_(std::move(socketFolder)),
      name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::pathInFolder() const {
  // realpath() would take a relative folder from wherever the launch started.
  if (!QDir::isAbsolutePath(socketFolder_)) return {};
  std::optional<TrustedFolder> trusted = trustedFolder(socketFolder_);
  if (!trusted) return {};
  const QString path = QDir(trusted->path).filePath(name_ + QStringLiteral(".socket"));
  return fitsSocketAddress(path) ? path : QString();
}

QString SingleInstance::recordPath() const {
  return QDir(lockFolder_).filePath(name_ + QStringLiteral(".socket-folder"));
}

QString SingleInstance::pathInShortFolder() const {
  const QString folder = shortFolder_.isEmpty() ? recordedShortFolder() : shortFolder_;
  return folder.isEmpty() ? QString() : QDir(folder).filePath(name_ + QStringLiteral(".socket"));
}

QString SingleInstance::socketPath() const {
  if (QString inFolder = pathInFolder(); !inFolder.isEmpty()) return inFolder;
  return pathInShortFolder();
}

QString SingleInstance::recordedShortFolder() const {
  if (!QDir::isAbsolutePath(lockFolder_)) return {};
  QFile record(recordPath());
  if (!record.open(QIODevice::ReadOnly)) return {};
  const QString folder = QFile::decodeName(record.read(4096).trimmed());
  if (!fitsSocketAddress(QDir(folder).filePath(name_ + QStringLiteral(".socket")))) return {};
  // Only a folder named as makePrivateFolderIn names them: a record that
  // names another private folder of the user's (one a program keeps keys
  // in) was not written here.
  const QString leaf = QFileInfo(folder).fileName();
  if (!leaf.startsWith(name_ + QLatin1Char('-')) || leaf.size() != name_.size() + 1 + kTailLength)
    return {};
  std::optional<TrustedFolder> trusted = trustedFolder(folder);
  // Only the real path, as this instance writes it: a record that names a
  // link, or anything but a whole clean path, wasn't written here.
  if (!trusted || trusted->path != folder || !privateToUser(trusted->descriptor)) return {};
  return folder;
}

QString SingleInstance::makeShortFolder() {
  if (QString kept = recordedShortFolder(); !kept.isEmpty()) return kept;
  const QStringList bases = shortFolderBases();
  QString made;
  for (const QString& base : bases) {
    made = makePrivateFolderIn(base, name_);
    if (!made.isEmpty()) break;
  }
  if (made.isEmpty()) {
    QStringList shownBases;
    for (const QString& base : bases) shownBases << shown::path(base);
    error_ = QStringLiteral("No folder for the socket can be made in %1.")
                 .arg(shownBases.join(QStringLiteral(" or ")));
    return {};
  }
  QSaveFile record(recordPath());
  if (!record.open(QIODevice::WriteOnly) || record.write(QFile::encodeName(made) + '\n') < 0 ||
      !record.commit()) {
    error_ = QStringLiteral("%1 can't be written.").arg(shown::path(recordPath()));
    QDir().rmdir(made);
    return {};
  }
  return made;
}

SingleInstance::Claim SingleInstance::claim() {
  // A relative folder would put the lock wherever the launch was started,
  // and two launches from two places would both run.
  if (!QDir::isAbsolutePath(lockFolder_) || !QDir().mkpath(lockFolder_)) {
    error_ = QStringLiteral("There is no folder to keep the lock in (%1).")
                 .arg(shown::path(lockFolder_));
    return Claim::failed;
  }
  const QString lockPath = QDir(lockFolder_).filePath(name_ + QStringLiteral(".lock"));
  auto lock = std::make_unique<QLockFile>(lockPath);
  // A lock left by a copy that died is taken over at once.
  if (!lock->tryLock(0)) {
    if (lock->error() == QLockFile::LockFailedError) return Claim::later;
    error_ = QStringLiteral("The lock file %1 can't be made.").arg(shown::path(lockPath));
    return Claim::failed;
  }
  lock_ = std::move(lock);

  if (pathInFolder().isEmpty()) {
    shortFolder_ = makeShortFolder();
    if (shortFolder_.isEmpty()) {
      // The lock still keeps later launches out; they just can't hand over.
      qWarning("Larkvale can't listen for later launches: %s", qPrintable(error_));
      error_.clear();
      return Claim::first;
    }
  }
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  const QString path = socketPath();
  QLocalServer::removeServer(path);  // left by a copy that died
  if (!server_->listen(path)) {
    // The lock still keeps later launches out; they just can't hand over.
    qWarning("Larkvale can't listen for later launches: %s", qPrintable(server_->errorString()));
    return Claim::first;
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::serve);
  return Claim::first;
}

void SingleInstance::serve() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    // Each peer is the server's child until it is deleted.
    if (server_->findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size() > kMaxPeers) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    hear(socket);
  }
}

void SingleInstance::hear(QLocalSocket* socket) {
  auto drop = [socket] {
    socket->abort();
    socket->deleteLater();
  };
  connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  QTimer::singleShot(kIdleLimit, socket, drop);
  connect(socket, &QLocalSocket::readyRead, this, [this, socket, drop] {
    if (!socket->canReadLine()) {
      if (socket->bytesAvailable() > kMaxRequest) drop();
      return;
    }
    QByteArray request = socket->readLine(kMaxRequest).trimmed();
    socket->write("ok\n");
    socket->flush();
    socket->disconnectFromServer();
    emit requested(request);
  });
}

bool SingleInstance::handOver(const QByteArray& request, std::chrono::milliseconds timeout) const {
  QDeadlineTimer deadline(timeout);
  // The running copy may hold the lock but not listen yet: try until the
  // deadline.
  while (true) {
    // Looked up on every try: a running copy in a deep folder names its
    // socket's short folder only once it has made it. It may listen there
    // even when this launch has a runtime folder: its own environment may
    // have named none.
    QStringList paths{pathInFolder(), pathInShortFolder()};
    paths.removeAll(QString());
    paths.removeDuplicates();
    for (const QString& path : std::as_const(paths)) {
      QLocalSocket socket;
      socket.connectToServer(path);
      if (!socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
        continue;
      socket.write(request + '\n');
      while (!socket.canReadLine() && socket.waitForReadyRead(static_cast<int>(
                                          std::max<qint64>(1, deadline.remainingTime())))) {
      }
      return socket.canReadLine() && socket.readLine().trimmed() == "ok";
    }
    if (deadline.hasExpired()) return false;
    QThread::msleep(50);
  }
}

}  // namespace larkvale
