#include "app/shell/SingleInstance.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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
#include <QStandardPaths>
#include <QStringList>
#include <QThread>
#include <QTimer>

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
  Descriptor& operator=(Descriptor&&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// `folder` opened, when it is a real folder, not a link, in which no one else
// can rename or remove this user's entries: one of this user's own that no
// one else may write, or one with the sticky bit (such as /tmp). In any other
// folder another user could swap a short folder for one of theirs between
// its check and its use. Checked on the open descriptor, so that what was
// checked is what the caller goes on to use.
std::optional<Descriptor> safeParent(const QString& folder) {
  Descriptor parent(::open(QFile::encodeName(folder).constData(),
                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat info = {};
  if (parent.get() < 0 || ::fstat(parent.get(), &info) != 0) return std::nullopt;
  const bool own = info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  if (!own && (info.st_mode & S_ISVTX) == 0) return std::nullopt;
  return parent;
}

// `leaf` in `parent`: a real folder, not a link, that belongs to this user
// and that no one else may enter or list.
bool ownPrivateFolder(const Descriptor& parent, const QString& leaf) {
  struct stat info = {};
  if (::fstatat(parent.get(), QFile::encodeName(leaf).constData(), &info, AT_SYMLINK_NOFOLLOW) !=
      0) {
    return false;
  }
  return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// The random part of a short folder's name, as long as mkdtemp's.
constexpr int kTailLength = 6;

// Where a short folder for `name` may go, in order: the temporary folder,
// then /tmp, each only when the socket fits in a folder made there. Whether
// it is a safe parent is checked when the folder is made.
QStringList shortFolderBases(const QString& name) {
  const QString leaf = name + QLatin1Char('-') + QString(kTailLength, QLatin1Char('X')) +
                       QLatin1Char('/') + name + QStringLiteral(".socket");
  QStringList bases;
  for (const QString& base : {QDir::cleanPath(QDir::tempPath()), QStringLiteral("/tmp")}) {
    if (!bases.contains(base) && fitsSocketAddress(QDir(base).filePath(leaf))) bases << base;
  }
  return bases;
}

// A new 0700 folder "<name>-<random tail>" made in `base` through its checked
// descriptor; empty when `base` isn't a safe parent or nothing can be made.
QString makePrivateFolderIn(const QString& base, const QString& name) {
  std::optional<Descriptor> parent = safeParent(base);
  if (!parent) return {};
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  // Another name is tried only while the one drawn is taken.
  for (int attempt = 0; attempt < 100; ++attempt) {
    QString leaf = name + QLatin1Char('-');
    for (int i = 0; i < kTailLength; ++i)
      leaf += QLatin1Char(
          kAlphabet[QRandomGenerator::system()->bounded(static_cast<int>(sizeof(kAlphabet) - 1))]);
    if (::mkdirat(parent->get(), QFile::encodeName(leaf).constData(), 0700) == 0)
      return QDir(base).filePath(leaf);
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

QString SingleInstance::defaultFolder(const QString& privateFolder) {
  // Qt answers nothing for a runtime folder that is unset and can't be made,
  // or that belongs to someone else.
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return runtime.isEmpty() ? privateFolder : runtime;
}

SingleInstance::SingleInstance(QString folder, QString name, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::pathInFolder() const {
  return QDir(folder_).filePath(name_ + QStringLiteral(".socket"));
}

QString SingleInstance::recordPath() const {
  return QDir(folder_).filePath(name_ + QStringLiteral(".socket-folder"));
}

QString SingleInstance::socketPath() const {
  const QString inFolder = pathInFolder();
  if (fitsSocketAddress(inFolder)) return inFolder;
  const QString folder = shortFolder_.isEmpty() ? recordedShortFolder() : shortFolder_;
  return folder.isEmpty() ? QString() : QDir(folder).filePath(name_ + QStringLiteral(".socket"));
}

QString SingleInstance::recordedShortFolder() const {
  QFile record(recordPath());
  if (!record.open(QIODevice::ReadOnly)) return {};
  const QString folder = QFile::decodeName(record.read(4096).trimmed());
  // Only a path as this instance writes it: absolute, clean, not the root.
  if (!QDir::isAbsolutePath(folder) || QDir::cleanPath(folder) != folder || folder == "/" ||
      !fitsSocketAddress(QDir(folder).filePath(name_ + QStringLiteral(".socket")))) {
    return {};
  }
  const QFileInfo where(folder);
  std::optional<Descriptor> parent = safeParent(where.path());
  if (!parent || !ownPrivateFolder(*parent, where.fileName())) return {};
  return folder;
}

QString SingleInstance::makeShortFolder() {
  if (QString kept = recordedShortFolder(); !kept.isEmpty()) return kept;
  const QStringList bases = shortFolderBases(name_);
  QString made;
  for (const QString& base : bases) {
    made = makePrivateFolderIn(base, name_);
    if (!made.isEmpty()) break;
  }
  if (made.isEmpty()) {
    error_ = QStringLiteral("No folder for the socket can be made in %1.")
                 .arg(bases.join(QStringLiteral(" or ")));
    return {};
  }
  QSaveFile record(recordPath());
  if (!record.open(QIODevice::WriteOnly) || record.write(QFile::encodeName(made) + '\n') < 0 ||
      !record.commit()) {
    error_ = QStringLiteral("%1 can't be written.").arg(recordPath());
    QDir().rmdir(made);
    return {};
  }
  return made;
}

SingleInstance::Claim SingleInstance::claim() {
  if (folder_.isEmpty() || !QDir().mkpath(folder_)) {
    error_ = QStringLiteral("There is no folder to keep the lock in (%1).").arg(folder_);
    return Claim::failed;
  }
  auto lock = std::make_unique<QLockFile>(QDir(folder_).filePath(name_ + QStringLiteral(".lock")));
  // A lock left by a copy that died is taken over at once.
  if (!lock->tryLock(0)) {
    if (lock->error() == QLockFile::LockFailedError) return Claim::later;
    error_ = QStringLiteral("The lock file %1 can't be made.")
                 .arg(QDir(folder_).filePath(name_ + QStringLiteral(".lock")));
    return Claim::failed;
  }
  lock_ = std::move(lock);

  if (!fitsSocketAddress(pathInFolder())) {
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
  QLocalServer::removeServer(socketPath());  // left by a copy that died
  if (!server_->listen(socketPath())) {
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
    QLocalSocket socket;
    // Looked up on every try: a running copy in a deep folder names its
    // socket's short folder only once it has made it.
    const QString path = socketPath();
    if (!path.isEmpty()) socket.connectToServer(path);
    if (!path.isEmpty() &&
        socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
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
