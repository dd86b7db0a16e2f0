#pragma once
// What the single-instance tests share: launching the real program in a
// sandbox of its own, users and modes of folders, and removing only what a
// test (or an instance it ran) made.
#include <sys/stat.h>
#include <unistd.h>

#include <future>
#include <memory>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

#include "app/shell/SingleInstance.h"
#include "tests/support/TempDir.h"

namespace larkvale::test {

inline std::unique_ptr<QProcess> launch(const QProcessEnvironment& env,
                                        QStringList arguments = {}) {
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(env);
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->start(QStringLiteral(LARKVALE_BINARY), arguments);
  return process;
}

// The permission bits of a file, links not followed.
inline int mode(const QString& path) {
  struct stat info = {};
  if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
  return static_cast<int>(info.st_mode & 07777);
}

// Who a folder made by a test belongs to: the user running it, or a user
// who doesn't exist here.
enum class Owner { user, other };
inline uid_t otherUser() {
  return ::geteuid() == 12345 ? 12346 : 12345;
}

// Gives `path` to the other user; false where only root could.
inline bool giveAway(const QString& path) {
  return ::chown(QFile::encodeName(path).constData(), otherUser(), static_cast<gid_t>(-1)) == 0;
}

// Why a socket can't be trusted in `folder` or in /tmp, where short folders
// go last, or empty when it can: every folder up to the root must belong to
// root or this user and be writable by no one else unless sticky. Inside a
// user namespace "/" and "/tmp" belong to a user the namespace doesn't know.
inline QString whyNoTrustedTemp(const QString& folder) {
  for (const QString& start : {folder, QStringLiteral("/tmp")}) {
    for (QString at = QFileInfo(start).canonicalFilePath();; at = QFileInfo(at).path()) {
      struct stat info = {};
      if (at.isEmpty() || ::stat(QFile::encodeName(at).constData(), &info) != 0)
        return start + " can't be looked at";
      const bool owned = info.st_uid == 0 || info.st_uid == ::geteuid();
      if (!owned || ((info.st_mode & 022) != 0 && (info.st_mode & S_ISVTX) == 0)) {
        return QStringLiteral(
                   "No temporary folder can hold a trusted socket here: %1 belongs to "
                   "uid %2, mode %3")
            .arg(at)
            .arg(info.st_uid)
            .arg(info.st_mode & 07777, 0, 8);
      }
      if (at == "/") break;
    }
  }
  return {};
}

#define SKIP_WITHOUT_TRUSTED_TEMP(dir)                                                   \
  do {                                                                                   \
    const QString why = whyNoTrustedTemp(QString::fromStdString((dir).path().string())); \
    if (!why.isEmpty()) QSKIP(qPrintable(why));                                          \
  } while (false)

// What a test made, removed when it goes (or at once), and nothing else: a
// path inside the test's own temporary folder, with all it holds; a short
// folder that an instance made in /tmp, with what an instance keeps there,
// only when nothing else is in it. A path that is empty, relative or not clean, the temporary
// folder itself, and anything above or beside it are left alone: the folder
// of an empty socket path is ".", the folder the test was started from.
class Made {
 public:
  explicit Made(const test::TempDir& dir) : dir_(dir) {}
  Made(const Made&) = delete;
  Made& operator=(const Made&) = delete;
  ~Made() {
    for (const QString& path : std::as_const(paths_)) {
      if (!remove(path)) qWarning("Left alone: \"%s\"", qPrintable(path));
    }
  }
  void add(const QString& path) {
    if (!paths_.contains(path)) paths_.prepend(path);
  }
  // Removes `path` now; false when it isn't the test's to remove, or stays.
  bool remove(const QString& path) const {
    const QFileInfo info(path);
    const QString leaf = info.fileName();
    if (!QDir::isAbsolutePath(path) || QDir::cleanPath(path) != path || info.path() != "/tmp" ||
        !leaf.startsWith("larkvale-") || leaf.size() != 15) {
      return dir_.remove(QFile::encodeName(path).toStdString());
    }
    // Only a folder as an instance makes it: a real folder of this user's
    // that no one else may enter, never a link or another's folder of that
    // name; and in it only a socket of this user's.
    const QByteArray folder = QFile::encodeName(path);
    struct stat folderInfo = {};
    if (::lstat(folder.constData(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode) ||
        folderInfo.st_uid != ::geteuid() || (folderInfo.st_mode & 07777) != 0700) {
      return false;
    }
    // What an instance keeps there: its socket, its lock and the note of
    // its state folder, each of this user's and of its own kind.
    for (const auto& [leaf, socketKind] :
         {std::pair{"/larkvale.socket", true}, std::pair{"/larkvale.lock", false},
          std::pair{"/larkvale.state-folder", false}}) {
      const QByteArray entry = folder + leaf;
      struct stat info = {};
      if (::lstat(entry.constData(), &info) == 0 &&
          (socketKind ? S_ISSOCK(info.st_mode) : S_ISREG(info.st_mode)) &&
          info.st_uid == ::geteuid()) {
        ::unlink(entry.constData());
      }
    }
    return ::rmdir(folder.constData()) == 0;
  }

 private:
  const test::TempDir& dir_;
  QStringList paths_;
};

// Sets an environment variable (or unsets it, given nothing) until the
// guard goes.
inline auto setEnv(const char* name, const std::optional<QByteArray>& value) {
  const std::optional<QByteArray> old =
      qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
  value ? qputenv(name, *value) : qunsetenv(name);
  return qScopeGuard([name, old] { old ? qputenv(name, *old) : qunsetenv(name); });
}

// The state folder the real program takes in `env`.
inline QString stateFolder(const QProcessEnvironment& env) {
  return env.value("XDG_DATA_HOME") + "/Larkvale";
}

inline bool answers(const QString& socketPath) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  return socket.waitForConnected(200);
}

// Whether `later` hands its request to `running`, a copy in this process
// whose event loop runs meanwhile, and `running` takes exactly that one.
inline bool handsOver(const SingleInstance& later, SingleInstance& running) {
  QSignalSpy requests(&running, &SingleInstance::requested);
  auto handed = std::async(std::launch::async,
                           [&later] { return later.handOver(SingleInstance::openRequest); });
  const bool taken = QTest::qWaitFor([&requests] { return !requests.isEmpty(); }, 20000);
  return handed.get() && taken && requests.count() == 1 &&
         requests[0][0].toByteArray() == SingleInstance::openRequest;
}

}  // namespace larkvale::test
