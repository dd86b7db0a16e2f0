#include <algorithm>
#include <csignal>
#include <future>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include "app/shell/SingleInstance.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

// A home of its own for each launched copy, so that no test reaches the
// user's folders, runtime folder or session bus.
QProcessEnvironment sandbox(const test::TempDir& dir) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  QString root = QString::fromStdString(dir.path().string());
  QDir().mkpath(root + "/run");
  QFile::setPermissions(root + "/run",
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  env.insert("HOME", root + "/home");
  env.insert("XDG_RUNTIME_DIR", root + "/run");
  env.insert("XDG_CONFIG_HOME", root + "/config");
  env.insert("XDG_DATA_HOME", root + "/data");
  env.insert("XDG_CACHE_HOME", root + "/cache");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root + "/no-bus");
  return env;
}

std::unique_ptr<QProcess> launch(const QProcessEnvironment& env, QStringList arguments = {}) {
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(env);
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->start(QStringLiteral(LARKVALE_BINARY), arguments);
  return process;
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
    QProcessEnvironment env = sandbox(dir);
    SingleInstance running(env.value("XDG_RUNTIME_DIR"));
    QCOMPARE(running.claim(), SingleInstance::Claim::first);
    QSignalSpy requests(&running, &SingleInstance::requested);

    auto user = launch(env);
    // The event loop must run while the launched copy waits for the answer.
    QTRY_VERIFY_WITH_TIMEOUT(user->state() == QProcess::NotRunning, 10000);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(user->exitStatus(), QProcess::NormalExit);
    QCOMPARE(user->exitCode(), 0);

    auto atLogIn = launch(env, {"--login-item"});
    QTRY_VERIFY_WITH_TIMEOUT(atLogIn->state() == QProcess::NotRunning, 10000);
    QCOMPARE(atLogIn->exitCode(), 0);
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
    QProcessEnvironment env = sandbox(dir);
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
