#include "app/shell/SingleInstance.h"

#include <algorithm>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
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

QString SingleInstance::socketPath() const {
  return QDir(folder_).filePath(name_ + QStringLiteral(".socket"));
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
    socket.connectToServer(socketPath());
    if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
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
