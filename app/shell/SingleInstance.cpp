#include "app/shell/SingleInstance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSaveFile>
#include <QStandardPaths>
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
// What a socket's address holds, less its terminating NUL.
constexpr qsizetype kMaxSocketPath = sizeof(sockaddr_un{}.sun_path) - 1;

bool fitsSocketAddress(const QString& path) {
  return QFile::encodeName(path).size() <= kMaxSocketPath;
}

// A real folder, not a link, that belongs to this user and that no one else
// may enter or list.
bool ownPrivateFolder(const QString& path) {
  struct stat info = {};
  if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
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
  if (!QDir::isAbsolutePath(folder) ||
      !fitsSocketAddress(QDir(folder).filePath(name_ + QStringLiteral(".socket"))) ||
      !ownPrivateFolder(folder)) {
    return {};
  }
  return folder;
}

QString SingleInstance::makeShortFolder() {
  if (QString kept = recordedShortFolder(); !kept.isEmpty()) return kept;
  const QString leaf = QStringLiteral("/%1-XXXXXX").arg(name_);
  QString base = QDir::cleanPath(QDir::tempPath());
  if (!fitsSocketAddress(base + leaf + QStringLiteral("/") + name_ + QStringLiteral(".socket"))) {
    base = QStringLiteral("/tmp");
  }
  // mkdtemp makes the folder 0700 under a name no one can guess beforehand.
  QByteArray pattern = QFile::encodeName(base + leaf);
  if (!::mkdtemp(pattern.data())) {
    error_ = QStringLiteral("No folder for the socket can be made in %1.").arg(base);
    return {};
  }
  const QString made = QFile::decodeName(pattern);
  QSaveFile record(recordPath());
  if (!record.open(QIODevice::WriteOnly) || record.write(pattern + '\n') < 0 || !record.commit()) {
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
