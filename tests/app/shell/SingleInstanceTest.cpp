#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

// Who a folder made by a test belongs to: the user running it, or a user
// who doesn't exist here.
enum class Owner { user, other };
constexpr uid_t kOtherUser = 12345;

struct Folder {
  Owner owner;
  int mode;
};
// Folders one inside the other, the outermost first.
using Chain = QList<Folder>;

// TMPDIR set to `folder` until the guard goes.
auto setTmpdir(const QString& folder) {
  const bool had = qEnvironmentVariableIsSet("TMPDIR");
  const QByteArray old = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(folder));
  return qScopeGuard([had, old] { had ? qputenv("TMPDIR", old) : qunsetenv("TMPDIR"); });
}

bool answers(const QString& socketPath) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  return socket.waitForConnected(200);
}

}  // namespace
}  // namespace larkvale

Q_DECLARE_METATYPE(larkvale::Chain)

namespace larkvale {

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
  // bit; one that others or its group may write, or one too deep for a
  // socket's address, goes on to /tmp.
  void theShortFoldersParentMustKeepOthersOut() {
    test::TempDir dir;
    const QString base = QFileInfo(QString::fromStdString(dir.path().string())).canonicalFilePath();
    const QString folder = base + "/" + QString("deep-home-").repeated(12);
    const QString shallow = base + "/tmp";
    const QString deep = base + "/" + QString(70, QLatin1Char('t'));
    QVERIFY(QDir().mkpath(shallow) && QDir().mkpath(deep));
    const auto restore = setTmpdir(shallow);
    struct Row {
      QString temp;
      int bits;
      bool inTemp;
    };
    for (const auto& [temp, bits, inTemp] :
         {Row{shallow, 0777, false}, Row{shallow, 0770, false}, Row{shallow, 01777, true},
          Row{shallow, 0700, true}, Row{deep, 0700, false}}) {
      qputenv("TMPDIR", QFile::encodeName(temp));
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
        QVERIFY(answers(running.socketPath()));
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

  // Every folder above the socket is checked, not only the last, by both
  // launches and wherever the socket sits: a folder in place, a short one
  // made in the temporary folder, or one named beside the lock. Links are
  // resolved first, and only the real path is used.
  void aFolderIsTrustedOnlyWithEveryFolderAboveIt_data() {
    QTest::addColumn<Chain>("chain");
    QTest::addColumn<bool>("throughLink");
    QTest::addColumn<bool>("trusted");
    const Folder ownPrivate{Owner::user, 0700};
    const Folder ownOpenToRead{Owner::user, 0755};
    QTest::newRow("another user's sticky folder") << Chain{{Owner::other, 01777}} << false << false;
    QTest::newRow("a sticky folder in another user's open one")
        << Chain{{Owner::other, 0777}, {Owner::user, 01777}} << false << false;
    QTest::newRow("in a folder of another user's that only they may write")
        << Chain{{Owner::other, 0755}, ownPrivate} << false << false;
    QTest::newRow("its group may write a folder above")
        << Chain{{Owner::user, 0770}, ownPrivate} << false << false;
    QTest::newRow("others may write a folder two above")
        << Chain{{Owner::user, 0757}, ownOpenToRead, ownPrivate} << false << false;
    QTest::newRow("its group may write it")
        << Chain{ownOpenToRead, {Owner::user, 0775}} << false << false;
    QTest::newRow("own folders no one else may write")
        << Chain{ownPrivate, ownOpenToRead, ownPrivate} << false << true;
    QTest::newRow("an own sticky folder")
        << Chain{ownOpenToRead, {Owner::user, 01777}} << false << true;
    QTest::newRow("an own folder named through a link in an open folder")
        << Chain{ownPrivate} << true << true;
    QTest::newRow("another user's sticky folder named through a link")
        << Chain{{Owner::other, 01777}} << true << false;
  }

  void aFolderIsTrustedOnlyWithEveryFolderAboveIt() {
    QFETCH(Chain, chain);
    QFETCH(bool, throughLink);
    QFETCH(bool, trusted);
    test::TempDir dir;
    const QString base = QFileInfo(QString::fromStdString(dir.path().string())).canonicalFilePath();
    QString real = base;
    for (qsizetype i = 0; i < chain.size(); ++i)
      real += "/" + QString(QLatin1Char(static_cast<char>('a' + i)));
    const QString inPlace = real + "/in-place";
    const QString kept = real + "/larkvale-Kept01";
    // Private to the user, but no folder this instance would make.
    const QString foreign = real + "/ssh";
    QVERIFY(QDir().mkpath(inPlace) && QDir().mkpath(kept) && QDir().mkpath(foreign));
    QVERIFY(::chmod(QFile::encodeName(inPlace).constData(), 0700) == 0);
    QVERIFY(::chmod(QFile::encodeName(kept).constData(), 0700) == 0);
    QVERIFY(::chmod(QFile::encodeName(foreign).constData(), 0700) == 0);
    QString at = real;
    for (qsizetype i = chain.size() - 1; i >= 0; --i, at = QFileInfo(at).path()) {
      if (chain[i].owner == Owner::other &&
          ::chown(QFile::encodeName(at).constData(), kOtherUser, static_cast<gid_t>(-1)) != 0) {
        QSKIP("Only root can give a folder to another user.");
      }
      QVERIFY(::chmod(QFile::encodeName(at).constData(), static_cast<mode_t>(chain[i].mode)) == 0);
    }
    QString named = real;
    if (throughLink) {
      const QString open = base + "/open";
      QVERIFY(QDir().mkpath(open) && ::chmod(QFile::encodeName(open).constData(), 0777) == 0);
      named = open + "/link";
      QVERIFY(QFile::link(real, named));
    }
    const auto restore = setTmpdir(named);
    QStringList made;
    const auto removeMade = qScopeGuard([&] {
      for (const QString& folder : made) QDir(folder).removeRecursively();
    });

    // In place: both launches move the socket to /tmp when it can't be trusted.
    {
      SingleInstance running(named + "/in-place");
      QCOMPARE(running.claim(), SingleInstance::Claim::first);
      const QString socket = running.socketPath();
      if (socket != inPlace + "/larkvale.socket") made << QFileInfo(socket).path();
      QCOMPARE(socket == inPlace + "/larkvale.socket", trusted);
      QCOMPARE(QFileInfo(QFileInfo(socket).path()).path() == "/tmp", !trusted);
      QVERIFY(answers(socket));
      QCOMPARE(SingleInstance(named + "/in-place").socketPath(), socket);
    }

    // The first launch of a deep folder makes its short folder in the
    // temporary folder only when that can be trusted.
    const QString deep = base + "/" + QString("deep-home-").repeated(12);
    {
      SingleInstance running(deep);
      QCOMPARE(running.claim(), SingleInstance::Claim::first);
      made << QFileInfo(running.socketPath()).path();
      QCOMPARE(QFileInfo(made.last()).path(), trusted ? real : QStringLiteral("/tmp"));
    }

    // A later launch uses a folder named beside the lock only then, and only
    // by its real path.
    QFile record(deep + "/larkvale.socket-folder");
    for (const QString& where : {kept, named + "/larkvale-Kept01", foreign}) {
      QVERIFY(record.open(QIODevice::WriteOnly | QIODevice::Truncate));
      record.write(QFile::encodeName(where) + "\n");
      record.close();
      QCOMPARE(SingleInstance(deep).socketPath(),
               trusted && where == kept ? kept + "/larkvale.socket" : QString());
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

  // Without a folder for the lock the launch doesn't run unguarded, and the
  // path it names shows what would hide in it written out.
  void noLockMeansNoRun() {
    test::TempDir dir;
    QString file = QString::fromStdString((dir.path() / "not-a\u202E-\r<b>folder").string());
    QFile(file).open(QIODevice::WriteOnly);
    SingleInstance blocked(file + "/run");
    QCOMPARE(blocked.claim(), SingleInstance::Claim::failed);
    QCOMPARE(blocked.errorString(),
             QStringLiteral("There is no folder to keep the lock in (%1).")
                 .arg(QString::fromStdString(
                     (dir.path() / "not-a\\u202E-\\u000D<b>folder/run").string())));
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
