#include "app/shell/SingleInstance.h"

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
#include <QSaveFile>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include "app/model/ShownText.h"
#include "app/shell/InstanceName.h"
#include "app/shell/SocketFolders.h"

namespace larkvale {
namespace {

using namespace socket_folders;

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

QString SingleInstance::runtimeFolder() {
  // Qt's own answer won't do: with the variable unset, or naming a folder
  // that isn't the user's, it makes one under the shared temporary folder.
  const QString value = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
  if (!QDir::isAbsolutePath(value)) return {};
  // Named through a link, the folder is wherever whoever may change the link
  // wants it: another private folder of the user's, say.
  return privateFolder(QDir::cleanPath(value));
}

SingleInstance::SingleInstance(QString lockFolder, QString socketFolder, QString name,
                               QObject* parent)
    : QObject(parent),
      lockFolder_(std::move(lockFolder)),
      socketFolder_(std::move(socketFolder)),
      name_(std::move(name)),
      temporaryFolders_(shortFolderBases()) {}

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

void SingleInstance::setTemporaryFolders(QStringList folders) {
  temporaryFolders_ = std::move(folders);
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
  const QString folder = readRecord(recordPath(), name_);
  // Only a folder named as makePrivateFolderIn names them: a record that
  // names another private folder of the user's (one a program keeps keys
  // in) was not written here.
  return namedAsShortFolder(QFileInfo(folder).fileName(), name_) ? folder : QString();
}

QString SingleInstance::makeShortFolder() {
  if (QString kept = recordedShortFolder(); !kept.isEmpty()) {
    if (!QFileInfo::exists(stateNotePath(kept, name_))) noteStateFolder(kept, name_, lockFolder_);
    return kept;
  }
  return newShortFolder(error_);
}

QString SingleInstance::agreedShortFolder() const {
  if (!QDir::isAbsolutePath(lockFolder_)) return {};
  const QString leaf = agreedLeaf(lockFolder_, name_);
  for (const QString& base : std::as_const(temporaryFolders_)) {
    std::optional<TrustedFolder> parent = shortFolderParent(base, name_);
    if (!parent) continue;
    const bool made =
        ::mkdirat(parent->descriptor.get(), QFile::encodeName(leaf).constData(), 0700) == 0;
    if (!made && errno != EEXIST) continue;
    // Taken by another user, or by anything but a private folder of this
    // user's: the name is anyone's to take first, so it is only a preference.
    const QString folder = privateFolder(QDir(parent->path).filePath(leaf));
    if (folder.isEmpty()) continue;
    QFile note(stateNotePath(folder, name_));
    if (made || !note.exists()) {
      noteStateFolder(folder, name_, lockFolder_);
    } else if (!note.open(QIODevice::ReadOnly) ||
               note.read(4096).trimmed() != QFile::encodeName(lockFolder_)) {
      continue;
    }
    return folder;
  }
  return {};
}

QString SingleInstance::newShortFolder(QString& why) const {
  if (QString agreed = agreedShortFolder(); !agreed.isEmpty()) return agreed;
  for (const QString& base : std::as_const(temporaryFolders_)) {
    if (QString made = makePrivateFolderIn(base, name_); !made.isEmpty()) {
      noteStateFolder(made, name_, lockFolder_);
      return made;
    }
  }
  QStringList shownBases;
  for (const QString& base : std::as_const(temporaryFolders_)) shownBases << shown::path(base);
  why = QStringLiteral("No private folder can be made in %1.")
            .arg(shownBases.join(QStringLiteral(" or ")));
  return {};
}

QStringList SingleInstance::copyPlaces() const {
  QStringList places;
  const auto add = [&places, this](const QString& folder) {
    if (folder.isEmpty()) return;
    const QString socket = QDir(folder).filePath(name_ + QStringLiteral(".socket"));
    if (!places.contains(socket)) places << socket;
  };
  if (const QString inFolder = pathInFolder(); !inFolder.isEmpty()) add(QFileInfo(inFolder).path());
  add(shortFolder_);
  // A record names either a short folder or a socket folder of the user's
  // own; any other private folder it names must hold a socket of the user's
  // by this name before a request goes to it.
  for (const QString& beside :
       {lockFolder_, pathInFolder().isEmpty() ? QString() : socketFolder_}) {
    if (!QDir::isAbsolutePath(beside)) continue;
    const QString folder =
        readRecord(QDir(beside).filePath(name_ + QStringLiteral(".socket-folder")), name_);
    if (namedAsShortFolder(QFileInfo(folder).fileName(), name_) ||
        (!folder.isEmpty() && userSocketAt(QDir(folder).filePath(name_ + ".socket"))))
      add(folder);
  }
  for (const QString& folder : shortFoldersIn(temporaryFolders_, name_, lockFolder_)) add(folder);
  return places;
}

QString SingleInstance::answeringCopy() const {
  for (const QString& place : copyPlaces()) {
    if (listenerAt(place)) return place;
  }
  return {};
}

QString SingleInstance::lockPath() const {
  return lock_ ? QDir(lockFolderTaken_).filePath(name_ + QStringLiteral(".lock")) : QString();
}

SingleInstance::LockTry SingleInstance::tryLockIn(const QString& folder, QStringList& reasons) {
  // A relative folder would put the lock wherever the launch was started,
  // and two launches from two places would both run.
  if (!QDir::isAbsolutePath(folder) || !QDir().mkpath(folder)) {
    reasons
        << QStringLiteral("There is no folder to keep the lock in (%1).").arg(shown::path(folder));
    return LockTry::failed;
  }
  const QString path = QDir(folder).filePath(name_ + QStringLiteral(".lock"));
  auto lock = std::make_unique<QLockFile>(path);
  // A lock left by a copy that died is taken over at once.
  if (!lock->tryLock(0)) {
    if (lock->error() == QLockFile::LockFailedError) return LockTry::held;
    reasons << QStringLiteral("The lock file %1 can't be made.").arg(shown::path(path));
    return LockTry::failed;
  }
  lock_ = std::move(lock);
  lockFolderTaken_ = folder;
  return LockTry::taken;
}

SingleInstance::LockTry SingleInstance::lockInShortFolder(QStringList& reasons) {
  // Launches that come here at once must agree on one lock: each takes it
  // in the folder they all choose alike, else the first folder by name, and
  // one that finds another folder's lock held once it has its own gives
  // way. Of two such launches the one that took its lock later sees the
  // other's, so at most one runs.
  const QStringList folders = shortFoldersIn(temporaryFolders_, name_, lockFolder_);
  for (const QString& folder : folders) {
    if (lockHeldIn(folder, name_)) return LockTry::held;
  }
  QString target = agreedShortFolder();
  if (target.isEmpty() && !folders.isEmpty()) target = folders.front();
  if (target.isEmpty()) {
    QString why;
    target = newShortFolder(why);
    if (target.isEmpty()) {
      reasons << why;
      return LockTry::failed;
    }
  }
  const LockTry got = tryLockIn(target, reasons);
  if (got != LockTry::taken) return got;
  for (const QString& folder : shortFoldersIn(temporaryFolders_, name_, lockFolder_)) {
    if (folder != target && lockHeldIn(folder, name_)) {
      lock_.reset();
      lockFolderTaken_.clear();
      return LockTry::held;
    }
  }
  shortFolder_ = target;
  return LockTry::taken;
}

void SingleInstance::recordListening(const QString& listenFolder) const {
  if (listenFolder == lockFolderTaken_) return;
  const QString path = QDir(lockFolderTaken_).filePath(name_ + QStringLiteral(".socket-folder"));
  QSaveFile record(path);
  if (!record.open(QIODevice::WriteOnly) ||
      record.write(QFile::encodeName(listenFolder) + '\n') < 0 || !record.commit()) {
    // Later launches still find a short folder by its name, and a runtime
    // folder their environment names.
    qWarning("Larkvale can't note where it listens: %s can't be written.",
             qPrintable(shown::path(path)));
  }
}

QByteArray SingleInstance::answeringName() const {
  // A relative folder would name wherever the launch was started.
  if (!nameOn_ || !QDir::isAbsolutePath(lockFolder_)) return {};
  return instance_name::nameFor(::geteuid(), lockFolder_, name_);
}

bool SingleInstance::answersOnName() const {
  const QByteArray name = answeringName();
  return !name.isEmpty() && instance_name::connectToOwn(name).valid();
}

void SingleInstance::letGo() {
  lock_.reset();
  lockFolderTaken_.clear();
  shortFolder_.clear();
}

SingleInstance::Claim SingleInstance::claim() {
  error_.clear();
  // A copy that answers on the name runs, whatever became of its files.
  if (answersOnName()) return Claim::later;
  QStringList reasons;
  LockTry got = tryLockIn(lockFolder_, reasons);
  // What only saving needs never keeps the app from starting: a state
  // folder that can't be written leaves the lock to a private folder.
  if (got == LockTry::failed) {
    if (const QString runtime = privateFolder(socketFolder_); !runtime.isEmpty())
      got = tryLockIn(runtime, reasons);
  }
  if (got == LockTry::failed) got = lockInShortFolder(reasons);
  if (got == LockTry::held) return Claim::later;
  if (got == LockTry::failed) {
    error_ = reasons.join(QLatin1Char(' '));
    return Claim::failed;
  }
  // A lock proves nothing about a copy that lost its own (its state folder
  // removed, or kept by an earlier build elsewhere): whoever answers runs.
  if (!answeringCopy().isEmpty() || !takeName()) {
    letGo();
    return Claim::later;
  }

  if (shortFolder_.isEmpty() && pathInFolder().isEmpty()) {
    shortFolder_ = makeShortFolder();
    if (shortFolder_.isEmpty()) {
      // The lock and the name still keep later launches out, and the name
      // takes their requests.
      qWarning("Larkvale can't listen for later launches in a folder: %s", qPrintable(error_));
      error_.clear();
      return Claim::first;
    }
  }
  const QString path = socketPath();
  // Only a socket nobody answers on, left by a copy that died, is removed.
  if (!listenerAt(path)) QLocalServer::removeServer(path);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(path)) {
    // The lock and the name still keep later launches out.
    qWarning("Larkvale can't listen for later launches in a folder: %s",
             qPrintable(server_->errorString()));
    return Claim::first;
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::serve);
  recordListening(QFileInfo(path).path());
  return Claim::first;
}

bool SingleInstance::takeName() {
  const QByteArray name = answeringName();
  if (name.isEmpty()) return true;
  // It listens as this object's child from here on.
  auto* listener = new NameListener(this);
  const NameListener::Outcome outcome = listener->listen(name);
  if (outcome == NameListener::Outcome::listening) {
    connect(listener, &NameListener::connected, this, [this](int fd) {
      auto* socket = new QLocalSocket(this);
      if (!socket->setSocketDescriptor(fd)) {
        ::close(fd);
        delete socket;
        return;
      }
      admit(socket);
    });
    return true;
  }
  const QString why = listener->errorString();
  delete listener;
  switch (outcome) {
    case NameListener::Outcome::listening:
      break;
    case NameListener::Outcome::heldByOwnUser:
      // Another launch of this user's got there first, having taken a lock
      // of its own elsewhere: that one runs.
      return false;
    case NameListener::Outcome::heldByOther:
      qWarning(
          "Another user's program holds the name Larkvale answers on; later launches find this "
          "copy through its files.");
      break;
    case NameListener::Outcome::failed:
      qWarning(
          "Larkvale can't answer on its name (%s); later launches find this copy through "
          "its files.",
          qPrintable(why));
      break;
  }
  return true;
}

void SingleInstance::serve() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    // Only root may reach this user's folder besides the user; it, too, is
    // someone else.
    if (!instance_name::peerIsOwnUser(static_cast<int>(socket->socketDescriptor()))) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    admit(socket);
  }
}

void SingleInstance::admit(QLocalSocket* socket) {
  // Each peer is this object's child until it is deleted.
  socket->setParent(this);
  // A launch that only looked whether a copy answers has gone already: it
  // takes no room from those that speak.
  char next = 0;
  const bool gone =
      ::recv(static_cast<int>(socket->socketDescriptor()), &next, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
  const QList<QLocalSocket*> peers = findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly);
  const auto heard = std::ranges::count_if(peers, [](const QLocalSocket* peer) {
    return peer->state() == QLocalSocket::ConnectedState;
  });
  if (gone || heard > kMaxPeers) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  hear(socket);
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

namespace {

// Hands `request` over on a connected `socket`; true once the copy said it
// took it.
bool converse(QLocalSocket& socket, const QByteArray& request, const QDeadlineTimer& deadline) {
  socket.write(request + '\n');
  while (!socket.canReadLine() &&
         socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
  }
  return socket.canReadLine() && socket.readLine().trimmed() == "ok";
}

}  // namespace

bool SingleInstance::handOver(const QByteArray& request, std::chrono::milliseconds timeout) const {
  QDeadlineTimer deadline(timeout);
  const QByteArray name = answeringName();
  // The running copy may hold the lock but not listen yet: try until the
  // deadline.
  while (true) {
    if (!name.isEmpty()) {
      if (Descriptor own = instance_name::connectToOwn(name); own.valid()) {
        QLocalSocket socket;
        const int fd = own.release();
        if (socket.setSocketDescriptor(fd)) return converse(socket, request, deadline);
        ::close(fd);
      }
    }
    // Looked up on every try: a running copy names where it listens only
    // once it listens. It may listen in a short folder even when this launch
    // has a runtime folder, or in a runtime folder this launch's environment
    // doesn't name.
    for (const QString& path : copyPlaces()) {
      QLocalSocket socket;
      socket.connectToServer(path);
      if (!socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
        continue;
      return converse(socket, request, deadline);
    }
    if (deadline.hasExpired()) return false;
    QThread::msleep(50);
  }
}

}  // namespace larkvale
