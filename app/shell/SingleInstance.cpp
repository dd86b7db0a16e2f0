#include "app/shell/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace larkvale {
namespace {

constexpr qint64 kMaxRequest = 256;

}  // namespace

QString SingleInstance::defaultFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath() const {
  return QDir(folder_).filePath(QStringLiteral("larkvale.socket"));
}

bool SingleInstance::claim() {
  if (folder_.isEmpty() || !QDir().mkpath(folder_)) return true;
  auto lock = std::make_unique<QLockFile>(QDir(folder_).filePath(QStringLiteral("larkvale.lock")));
  // A lock left by a copy that died is taken over at once.
  if (!lock->tryLock(0)) return false;
  lock_ = std::move(lock);

  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(socketPath());  // left by a copy that died
  if (!server_->listen(socketPath())) {
    qWarning("Larkvale can't listen for later launches: %s", qPrintable(server_->errorString()));
    return true;
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::serve);
  return true;
}

void SingleInstance::serve() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequest) socket->abort();
        return;
      }
      QByteArray request = socket->readLine(kMaxRequest).trimmed();
      socket->write("ok\n");
      socket->flush();
      socket->disconnectFromServer();
      emit requested(request);
    });
  }
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
