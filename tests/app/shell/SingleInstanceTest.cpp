#include <sys/stat.h>
#include <sys/un.h>

#include <algorithm>
#include <csignal>
#include <future>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

#include "app/shell/SingleInstance.h"
#include "tests/app/shell/ShellTestSupport.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

std::unique_ptr<QProcess> launch(const QProcessEnvironment& env, QStringList arguments = {}) {
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(env);
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->start(QStringLiteral(LARKVALE_BINARY), arguments);
  return process;
}

// The permission bits of a file, links not followed.
int mode(const QString& path) {
  struct stat info = {};
  if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
  return static_cast<int>(info.st_mode & 07777);
}

bool answers(const QString& socketPath) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  return socket.waitForConnected(200);
}

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void aLaterLaunchHandsItsRequestToTheRunningCopy() {
    test::TempDir dir;
    QProcessEnvironment env = test::sandbox(dir);
    SingleInstance running(env.value("XDG_RUNTIME_DIR"));
    QCOMPARE(running.claim(), SingleInstance::Claim::first);
    QSignalSpy requests(&running, &SingleInstance::requested);

    auto user = launch(env);
    // The event loop must run while the launched copy waits for the answer.
    QTRY_VERIFY_WITH_TIMEOUT(user->state() == QProcess::NotRunning, 10000);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(user->exitStatus(), QProcess::NormalExit);
    QCOMPARE(user->exitCode(), 0);
    QCOMPARE(user->readAllStandardOutput(),
             QByteArray("Larkvale is already running; its window was brought forward.\n"));

    auto atLogIn = launch(env, {"--login-item"});
    QTRY_VERIFY_WITH_TIMEOUT(atLogIn->state() == QProcess::NotRunning, 10000);
    QCOMPARE(atLogIn->exitCode(), 0);
    QCOMPARE(atLogIn->readAllStandardOutput(), QByteArray("Larkvale is already running.\n"));
    QCOMPARE(requests.count(), 2);
    QCOMPARE(requests[0][0].toByteArray(), QByteArray(SingleInstance::openRequest));
    QCOMPARE(requests[1][0].toByteArray(), QByteArray(SingleInstance::loginItemRequest));

    // The launch's startup-notification token rides along.
    env.insert("DESKTOP_STARTUP_ID", "host-42-0_TIME1234");
    auto fromLauncher = launch(env);
    QTRY_VERIFY_WITH_TIMEOUT(fromLauncher->state() == QProcess::NotRunning, 10000);
    QCOMPARE(requests.count(), 3);
    QCOMPARE(requests[2][0].toByteArray(), QByteArray("open host-42-0_TIME1234"));
  }

  // Peers that connect and say nothing are dropped and can't crowd out a
  // later launch.
  void silentPeersAreDroppedAndDontBlockALaterLaunch() {
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    SingleInstance running(folder);
    QCOMPARE(running.claim(), SingleInstance::Claim::first);
    QSignalSpy requests(&running, &SingleInstance::requested);
    std::vector<std::unique_ptr<QLocalSocket>> silent;
    for (int i = 0; i < 40; ++i) {
      silent.push_back(std::make_unique<QLocalSocket>());
      silent.back()->connectToServer(running.socketPath());
      QVERIFY(silent.back()->waitForConnected(1000));
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        std::all_of(silent.begin(), silent.end(),
                    [](const auto& s) { return s->state() == QLocalSocket::UnconnectedState; }),
        20000);
    SingleInstance later(folder);
    auto handed = std::async(std::launch::async,
                             [&later] { return later.handOver(SingleInstance::openRequest); });
    QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 1, 10000);
    QVERIFY(handed.get());
  }

  // A folder too deep for a socket's address (a private folder in a long
  // home): the running copy listens in a short folder of the user's own,
  // which a later launch finds; a named folder that others may enter, or a
  // link, is never used.
  void aDeepFolderStillHandsOver() {
    test::TempDir dir;
    const QString folder =
        QString::fromStdString(dir.path().string()) + "/" + QString("deep-home-").repeated(12);
    QVERIFY(QFile::encodeName(folder).size() > 108);
    QString shortFolder;
    {
      SingleInstance running(folder);
      QCOMPARE(running.claim(), SingleInstance::Claim::first);
      QSignalSpy requests(&running, &SingleInstance::requested);
      const QString socket = running.socketPath();
      QVERIFY2(QFile::encodeName(socket).size() < 108, qPrintable(socket));
      shortFolder = QFileInfo(socket).path();
      QCOMPARE(mode(shortFolder), 0700);

      SingleInstance later(folder);
      QCOMPARE(later.claim(), SingleInstance::Claim::later);
      QCOMPARE(later.socketPath(), socket);
      auto handed = std::async(std::launch::async,
                               [&later] { return later.handOver(SingleInstance::openRequest); });
      QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 1, 10000);
      QVERIFY(handed.get());
    }
    // The next running copy keeps the same folder while it is still private.
    {
      SingleInstance again(folder);
      QCOMPARE(again.claim(), SingleInstance::Claim::first);
      QCOMPARE(QFileInfo(again.socketPath()).path(), shortFolder);
    }
    // Opened to others, or a link to it named instead: neither is used.
    const QString record = folder + "/larkvale.socket-folder";
    const QString link = QString::fromStdString((dir.path() / "link").string());
    QVERIFY(QFile::link(shortFolder, link));
    for (const QString& named : {shortFolder, link}) {
      ::chmod(QFile::encodeName(shortFolder).constData(), named == link ? 0700 : 0701);
      QFile file(record);
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(QFile::encodeName(named) + "\n");
      file.close();
      QCOMPARE(SingleInstance(folder).socketPath(), QString());
      SingleInstance next(folder);
      QCOMPARE(next.claim(), SingleInstance::Claim::first);
      const QString made = QFileInfo(next.socketPath()).path();
      QVERIFY(made != shortFolder && made != link);
      QCOMPARE(mode(made), 0700);
      QDir(made).removeRecursively();
    }
    QDir(shortFolder).removeRecursively();
  }

  // The short folder is made, and found again, only in a temporary folder
  // where no one else can swap it: the user's own, or one with the sticky
  // bit; one that others may write goes on to /tmp.
  void theShortFoldersParentMustKeepOthersOut() {
    test::TempDir dir;
    const QString base = QString::fromStdString(dir.path().string());
    const QString folder = base + "/" + QString("deep-home-").repeated(12);
    const QString temp = base + "/tmp";
    QVERIFY(QDir().mkpath(temp));
    const bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray oldTmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp));
    const auto restore =
        qScopeGuard([&] { hadTmpdir ? qputenv("TMPDIR", oldTmpdir) : qunsetenv("TMPDIR"); });
    for (auto [bits, inTemp] : {std::pair{0777, false}, {01777, true}, {0700, true}}) {
      QVERIFY(::chmod(QFile::encodeName(temp).constData(), static_cast<mode_t>(bits)) == 0);
      QFile::remove(folder + "/larkvale.socket-folder");
      QString shortFolder;
      {
        SingleInstance running(folder);
        QCOMPARE(running.claim(), SingleInstance::Claim::first);
        shortFolder = QFileInfo(running.socketPath()).path();
        QVERIFY2(!running.socketPath().isEmpty() && mode(shortFolder) == 0700,
                 qPrintable(shortFolder));
        QCOMPARE(QFileInfo(shortFolder).path() == temp, inTemp);
        QCOMPARE(SingleInstance(folder).socketPath(), running.socketPath());
        // Opened to others' writes, the parent no longer vouches for it.
        if (inTemp) {
          QVERIFY(::chmod(QFile::encodeName(temp).constData(), 0777) == 0);
          QCOMPARE(SingleInstance(folder).socketPath(), QString());
        }
      }
      QDir(shortFolder).removeRecursively();
    }
  }

  // The longest socket path the listener takes, two bytes short of the
  // address's size (its NUL and one more byte), is used in place; one byte
  // more goes to a short folder. Either way later launches reach it.
  void aSocketPathAtTheAddressLimit() {
    test::TempDir dir;
    const QString base = QString::fromStdString(dir.path().string());
    const QString leaf = "/larkvale.socket";
    const qsizetype limit = sizeof(sockaddr_un{}.sun_path) - 2;
    for (qsizetype length : {limit, limit + 1}) {
      const QString folder =
          base + "/" + QString(length - base.size() - 1 - leaf.size(), QLatin1Char('d'));
      const QString inPlace = folder + leaf;
      QCOMPARE(QFile::encodeName(inPlace).size(), length);
      SingleInstance running(folder);
      QCOMPARE(running.claim(), SingleInstance::Claim::first);
      QVERIFY(answers(running.socketPath()));
      QCOMPARE(running.socketPath() == inPlace, length == limit);
      if (length > limit) QDir(QFileInfo(running.socketPath()).path()).removeRecursively();
    }
  }

  // Without a folder for the lock the launch doesn't run unguarded.
  void noLockMeansNoRun() {
    test::TempDir dir;
    QString file = QString::fromStdString((dir.path() / "not-a-folder").string());
    QFile(file).open(QIODevice::WriteOnly);
    SingleInstance blocked(file + "/run");
    QCOMPARE(blocked.claim(), SingleInstance::Claim::failed);
    QVERIFY(!blocked.errorString().isEmpty());
  }

  void twoRealCopiesAndOneThatDied() {
    test::TempDir dir;
    QProcessEnvironment env = test::sandbox(dir);
    SingleInstance probe(env.value("XDG_RUNTIME_DIR"));

    auto first = launch(env);
    QTRY_VERIFY_WITH_TIMEOUT(answers(probe.socketPath()), 10000);
    auto second = launch(env);
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitCode(), 0);  // only after the first took the request
    QCOMPARE(first->state(), QProcess::Running);

    // A copy that dies leaves its lock and socket; the next launch runs.
    ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished(10000));
    auto third = launch(env, {"--login-item"});
    QTRY_VERIFY_WITH_TIMEOUT(answers(probe.socketPath()), 10000);
    QCOMPARE(third->state(), QProcess::Running);

    // The session's request to end is a clean quit.
    third->terminate();
    QVERIFY(third->waitForFinished(10000));
    QCOMPARE(third->exitStatus(), QProcess::NormalExit);
    QCOMPARE(third->exitCode(), 0);
  }
};

}  // namespace larkvale

QTEST_GUILESS_MAIN(larkvale::SingleInstanceTest)
#include "SingleInstanceTest.moc"
