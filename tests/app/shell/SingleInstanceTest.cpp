#include <pwd.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <future>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

#include "app/shell/SingleInstance.h"
#include "tests/app/shell/InstanceTestSupport.h"
#include "tests/app/shell/ShellTestSupport.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using namespace test;

struct Folder {
  Owner owner;
  int mode;
};
// Folders one inside the other, the outermost first.
using Chain = QList<Folder>;

// TMPDIR set to `folder` until the guard goes.
auto setTmpdir(const QString& folder) {
  return setEnv("TMPDIR", QFile::encodeName(folder));
}

}  // namespace
}  // namespace larkvale

Q_DECLARE_METATYPE(larkvale::Chain)
Q_DECLARE_METATYPE(larkvale::test::Owner)

namespace larkvale {

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void aLaterLaunchHandsItsRequestToTheRunningCopy() {
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    QProcessEnvironment env = test::sandbox(dir);
    SingleInstance running(stateFolder(env), env.value("XDG_RUNTIME_DIR"));
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
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    const QString folder = QString::fromStdString(dir.path().string());
    SingleInstance running(folder, folder);
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
    QCOMPARE(requests.count(), 0);
    QVERIFY(handsOver(SingleInstance(folder, folder), running));
  }

  // A folder too deep for a socket's address (a private folder in a long
  // home): the running copy listens in a short folder of the user's own,
  // which a later launch finds; a named folder that others may enter, or a
  // link, is never used.
  void aDeepFolderStillHandsOver() {
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const QString folder =
        QString::fromStdString(dir.path().string()) + "/" + QString("deep-home-").repeated(12);
    QVERIFY(QFile::encodeName(folder).size() > 108);
    QString shortFolder;
    {
      SingleInstance running(folder, folder);
      QCOMPARE(running.claim(), SingleInstance::Claim::first);
      QSignalSpy requests(&running, &SingleInstance::requested);
      const QString socket = running.socketPath();
      QVERIFY2(QFile::encodeName(socket).size() < 108, qPrintable(socket));
      shortFolder = QFileInfo(socket).path();
      made.add(shortFolder);
      QCOMPARE(mode(shortFolder), 0700);

      SingleInstance later(folder, folder);
      QCOMPARE(later.claim(), SingleInstance::Claim::later);
      QCOMPARE(later.socketPath(), socket);
      QCOMPARE(requests.count(), 0);
      QVERIFY(handsOver(later, running));
    }
    // The next running copy keeps the same folder while it is still private.
    {
      SingleInstance again(folder, folder);
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
      QCOMPARE(SingleInstance(folder, folder).socketPath(), QString());
      SingleInstance next(folder, folder);
      QCOMPARE(next.claim(), SingleInstance::Claim::first);
      const QString other = QFileInfo(next.socketPath()).path();
      made.add(other);
      // Private again, the folder every launch of this state folder
      // chooses is used by its real path, never through the link.
      QVERIFY(other != link);
      QCOMPARE(other == shortFolder, named == link);
      QCOMPARE(mode(other), 0700);
    }
  }

  // The short folder is made, and found again, only in a temporary folder
  // where no one else can swap it: the user's own, or one with the sticky
  // bit; one that others or its group may write, or one too deep for a
  // socket's address, goes on to /tmp.
  void theShortFoldersParentMustKeepOthersOut() {
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
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
      const QString record = folder + "/larkvale.socket-folder";
      QVERIFY(!QFileInfo::exists(record) || made.remove(record));
      {
        SingleInstance running(folder, folder);
        QCOMPARE(running.claim(), SingleInstance::Claim::first);
        QVERIFY(!running.socketPath().isEmpty());
        const QString shortFolder = QFileInfo(running.socketPath()).path();
        made.add(shortFolder);
        QCOMPARE(mode(shortFolder), 0700);
        QCOMPARE(QFileInfo(shortFolder).path() == temp, inTemp);
        QVERIFY(answers(running.socketPath()));
        QCOMPARE(SingleInstance(folder, folder).socketPath(), running.socketPath());
        // Opened to others' writes, the parent no longer vouches for it.
        if (inTemp) {
          QVERIFY(::chmod(QFile::encodeName(temp).constData(), 0777) == 0);
          QCOMPARE(SingleInstance(folder, folder).socketPath(), QString());
        }
      }
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
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
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
      if (chain[i].owner == Owner::other && !giveAway(at))
        QSKIP("Only root can give a folder to another user.");
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

    // In place: both launches move the socket to /tmp when it can't be trusted.
    {
      SingleInstance running(named + "/in-place", named + "/in-place");
      QCOMPARE(running.claim(), SingleInstance::Claim::first);
      const QString socket = running.socketPath();
      QVERIFY(!socket.isEmpty());
      if (socket != inPlace + "/larkvale.socket") made.add(QFileInfo(socket).path());
      QCOMPARE(socket == inPlace + "/larkvale.socket", trusted);
      QCOMPARE(QFileInfo(QFileInfo(socket).path()).path() == "/tmp", !trusted);
      QVERIFY(answers(socket));
      QCOMPARE(SingleInstance(named + "/in-place", named + "/in-place").socketPath(), socket);
    }

    // The first launch of a deep folder makes its short folder in the
    // temporary folder only when that can be trusted.
    const QString deep = base + "/" + QString("deep-home-").repeated(12);
    {
      SingleInstance running(deep, deep);
      QCOMPARE(running.claim(), SingleInstance::Claim::first);
      QVERIFY(!running.socketPath().isEmpty());
      const QString shortFolder = QFileInfo(running.socketPath()).path();
      made.add(shortFolder);
      QCOMPARE(QFileInfo(shortFolder).path(), trusted ? real : QStringLiteral("/tmp"));
    }

    // A later launch uses a folder named beside the lock only then, and only
    // by its real path.
    QFile record(deep + "/larkvale.socket-folder");
    for (const QString& where : {kept, named + "/larkvale-Kept01", foreign}) {
      QVERIFY(record.open(QIODevice::WriteOnly | QIODevice::Truncate));
      record.write(QFile::encodeName(where) + "\n");
      record.close();
      QCOMPARE(SingleInstance(deep, deep).socketPath(),
               trusted && where == kept ? kept + "/larkvale.socket" : QString());
    }
  }

  // The longest socket path the listener takes, two bytes short of the
  // address's size (its NUL and one more byte), is used in place; one byte
  // more goes to a short folder. Either way later launches reach it.
  void aSocketPathAtTheAddressLimit() {
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const QString base = QString::fromStdString(dir.path().string());
    const QString leaf = "/larkvale.socket";
    const qsizetype limit = sizeof(sockaddr_un{}.sun_path) - 2;
    for (qsizetype length : {limit, limit + 1}) {
      const QString folder =
          base + "/" + QString(length - base.size() - 1 - leaf.size(), QLatin1Char('d'));
      const QString inPlace = folder + leaf;
      QCOMPARE(QFile::encodeName(inPlace).size(), length);
      SingleInstance running(folder, folder);
      QCOMPARE(running.claim(), SingleInstance::Claim::first);
      QVERIFY(answers(running.socketPath()));
      QCOMPARE(running.socketPath() == inPlace, length == limit);
      if (length > limit) made.add(QFileInfo(running.socketPath()).path());
    }
  }

  // Only when no place takes a lock does the launch not run, and then it
  // says why for each place, with what would hide in a path written out.
  void noLockAnywhereMeansNoRun() {
    test::TempDir dir;
    QString file = QString::fromStdString((dir.path() / "not-a\u202E-\r<b>folder").string());
    QFile(file).open(QIODevice::WriteOnly);
    const QString shownFile =
        QString::fromStdString((dir.path() / "not-a\\u202E-\\u000D<b>folder").string());
    SingleInstance blocked(file + "/state", file + "/run");
    blocked.setTemporaryFolders({file + "/tmp"});
    QCOMPARE(blocked.claim(), SingleInstance::Claim::failed);
    QCOMPARE(blocked.errorString(),
             QStringLiteral("There is no folder to keep the lock in (%1/state). No private folder "
                            "can be made in %1/tmp.")
                 .arg(shownFile));
    QCOMPARE(blocked.lockPath(), QString());

    // A relative lock folder would be wherever the launch was started.
    const QString started = QDir::currentPath();
    const auto back = qScopeGuard([&started] { QDir::setCurrent(started); });
    QVERIFY(QDir::setCurrent(QString::fromStdString(dir.path().string())));
    for (const QString& relative : {QString(), QStringLiteral("state")}) {
      SingleInstance nowhere(relative, QString());
      nowhere.setTemporaryFolders({file + "/tmp"});
      QCOMPARE(nowhere.claim(), SingleInstance::Claim::failed);
      QCOMPARE(nowhere.socketPath(), QString());
      QVERIFY(!QFileInfo::exists("state/larkvale.lock") && !QFileInfo::exists("larkvale.lock"));
    }
  }

  // A state folder that takes no lock (a file in its place here; a full or
  // read-only disk, or a folder the user may not write, in the program's
  // test) keeps the app from saving, never from starting: the lock goes to
  // the runtime folder, else to a short folder, and there is still one copy
  // that later launches, at once or later, hand over to.
  void aStateFolderThatTakesNoLockLeavesTheLockToAPrivateFolder_data() {
    QTest::addColumn<bool>("runtime");
    QTest::newRow("in the runtime folder") << true;
    QTest::newRow("in a short folder") << false;
  }

  void aStateFolderThatTakesNoLockLeavesTheLockToAPrivateFolder() {
    QFETCH(bool, runtime);
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const QString base = QString::fromStdString(dir.path().string());
    const QString state = base + "/blocked/Larkvale";
    QVERIFY(QFile(base + "/blocked").open(QIODevice::WriteOnly));
    const QString run = base + "/run";
    const QString tmp = base + "/tmp";
    QVERIFY(QDir().mkpath(run) && QDir().mkpath(tmp));
    QVERIFY(::chmod(QFile::encodeName(run).constData(), 0700) == 0);
    QVERIFY(::chmod(QFile::encodeName(tmp).constData(), 0700) == 0);
    const QString socketFolder = runtime ? run : QString();
    const auto instance = [&] {
      auto made = std::make_unique<SingleInstance>(state, socketFolder);
      made->setTemporaryFolders({tmp});
      return made;
    };

    auto running = instance();
    // Two more launches at once: neither runs beside the first.
    auto second = instance();
    auto third = instance();
    QCOMPARE(running->claim(), SingleInstance::Claim::first);
    QCOMPARE(second->claim(), SingleInstance::Claim::later);
    QCOMPARE(third->claim(), SingleInstance::Claim::later);
    const QString lock = running->lockPath();
    QCOMPARE(QFileInfo(lock).fileName(), QStringLiteral("larkvale.lock"));
    if (runtime) {
      QCOMPARE(lock, run + "/larkvale.lock");
    } else {
      made.add(QFileInfo(lock).path());
      QCOMPARE(QFileInfo(QFileInfo(lock).path()).path(), tmp);
      QCOMPARE(mode(QFileInfo(lock).path()), 0700);
    }
    QVERIFY(handsOver(*second, *running));
  }

  // A running copy that lost its lock (the state folder removed, resetting
  // the app, or only the lock file), or that keeps it elsewhere as an
  // earlier build did, still answers: the next launch takes the free lock,
  // finds it answering and hands over, and its socket stays.
  void aCopyThatLostItsLockIsStillHandedOverTo_data() {
    QTest::addColumn<QString>("removed");
    QTest::addColumn<bool>("runtime");
    QTest::newRow("the state folder, listening in the runtime folder") << "state" << true;
    QTest::newRow("the state folder, listening in a short folder") << "state" << false;
    QTest::newRow("the lock, listening in the runtime folder") << "lock" << true;
    QTest::newRow("the lock, listening in a short folder") << "lock" << false;
    QTest::newRow("an earlier build's copy in the runtime folder") << "none" << true;
  }

  void aCopyThatLostItsLockIsStillHandedOverTo() {
    QFETCH(QString, removed);
    QFETCH(bool, runtime);
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const QString base = QString::fromStdString(dir.path().string());
    const QString state = base + "/data/Larkvale";
    const QString run = base + "/run";
    const QString tmp = base + "/tmp";
    QVERIFY(QDir().mkpath(run) && QDir().mkpath(tmp));
    QVERIFY(::chmod(QFile::encodeName(run).constData(), 0700) == 0);
    QVERIFY(::chmod(QFile::encodeName(tmp).constData(), 0700) == 0);
    const QString socketFolder = runtime ? run : QString();

    std::unique_ptr<SingleInstance> running;
    QLocalServer earlier;
    QString socket;
    if (removed == "none") {
      // An earlier build kept its lock and socket in the runtime folder.
      socket = run + "/larkvale.socket";
      QVERIFY(earlier.listen(socket));
    } else {
      running = std::make_unique<SingleInstance>(state, socketFolder);
      running->setTemporaryFolders({tmp});
      QCOMPARE(running->claim(), SingleInstance::Claim::first);
      socket = running->socketPath();
      if (!runtime) made.add(QFileInfo(socket).path());
      QVERIFY(dir.remove(
          QFile::encodeName(removed == "state" ? state : state + "/larkvale.lock").toStdString()));
    }

    SingleInstance next(state, socketFolder);
    next.setTemporaryFolders({tmp});
    QCOMPARE(next.claim(), SingleInstance::Claim::later);
    QVERIFY(answers(socket));
    QCOMPARE(next.lockPath(), QString());
    auto handed = std::async(std::launch::async,
                             [&next] { return next.handOver(SingleInstance::openRequest); });
    if (running) {
      QSignalSpy requests(running.get(), &SingleInstance::requested);
      QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 1, 10000);
    } else {
      // The launch's look for a copy connects too, and says nothing.
      QLocalSocket* peer = nullptr;
      QTRY_VERIFY_WITH_TIMEOUT(
          [&] {
            while (QLocalSocket* next = earlier.nextPendingConnection()) peer = next;
            return peer && peer->canReadLine();
          }(),
          10000);
      QCOMPARE(peer->readLine().trimmed(), QByteArray(SingleInstance::openRequest));
      peer->write("ok\n");
      peer->flush();
    }
    QVERIFY(handed.get());
  }

  // Only this copy's own short folders are looked in: one that another
  // state folder's copy of the same user uses is none of its business.
  void anotherStateFoldersCopyIsLeftAlone() {
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const QString base = QString::fromStdString(dir.path().string());
    const QString tmp = base + "/tmp";
    QVERIFY(QDir().mkpath(tmp) && ::chmod(QFile::encodeName(tmp).constData(), 0700) == 0);
    SingleInstance other(base + "/other/Larkvale", QString());
    other.setTemporaryFolders({tmp});
    QCOMPARE(other.claim(), SingleInstance::Claim::first);
    made.add(QFileInfo(other.socketPath()).path());
    SingleInstance own(base + "/own/Larkvale", QString());
    own.setTemporaryFolders({tmp});
    QVERIFY(!own.copyPlaces().contains(other.socketPath()));
    QCOMPARE(own.claim(), SingleInstance::Claim::first);
    made.add(QFileInfo(own.socketPath()).path());
    QVERIFY(own.socketPath() != other.socketPath());
    QVERIFY(answers(other.socketPath()));
  }

  // Whatever the environment says about a runtime folder, and whatever
  // another user does in the shared temporary folder, the second launch
  // finds the first by its lock in the state folder and hands over. With the
  // variable unset, or naming a folder that won't do, a runtime folder made
  // up in the temporary folder would be one that another user may take
  // first and free later, so that launch 1 couldn't use it and launch 2
  // could.
  void aSecondLaunchHandsOverWhateverAnotherUserDoes_data() {
    QTest::addColumn<QString>("runtime");
    QTest::newRow("no runtime folder named") << QString();
    QTest::newRow("another user's runtime folder") << "other";
    QTest::newRow("an own runtime folder its group may write") << "group";
  }

  void aSecondLaunchHandsOverWhateverAnotherUserDoes() {
    QFETCH(QString, runtime);
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const QString base = QString::fromStdString(dir.path().string());
    QProcessEnvironment env = test::sandbox(dir);
    const QString shared = base + "/shared-tmp";
    QVERIFY(QDir().mkpath(shared) && ::chmod(QFile::encodeName(shared).constData(), 01777) == 0);
    env.insert("TMPDIR", shared);
    env.remove("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
      const QString folder = base + "/run-" + runtime;
      QVERIFY(QDir().mkpath(folder));
      QVERIFY(::chmod(QFile::encodeName(folder).constData(), runtime == "other" ? 0700 : 0770) ==
              0);
      if (runtime == "other" && !giveAway(folder))
        QSKIP("Only root can give a folder to another user.");
      env.insert("XDG_RUNTIME_DIR", folder);
    }
    const passwd* user = ::getpwuid(::geteuid());
    QVERIFY(user);
    const QString squatted = shared + "/runtime-" + QString::fromLocal8Bit(user->pw_name);
    QVERIFY(QDir().mkpath(squatted) && ::chmod(QFile::encodeName(squatted).constData(), 0700) == 0);
    if (!giveAway(squatted)) QSKIP("Only root can make a folder as another user.");

    auto first = launch(env);
    // The first launch is up once it answers, wherever it listens.
    const QString state = stateFolder(env);
    const auto up = [&] {
      return std::ranges::any_of(QStringList{QString(), state, env.value("XDG_RUNTIME_DIR")},
                                 [&](const QString& socketFolder) {
                                   return answers(SingleInstance(state, socketFolder).socketPath());
                                 });
    };
    QTRY_VERIFY_WITH_TIMEOUT(up(), 10000);
    QVERIFY(made.remove(squatted));

    auto second = launch(env);
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(second->readAllStandardOutput(),
             QByteArray("Larkvale is already running; its window was brought forward.\n"));
    QCOMPARE(first->state(), QProcess::Running);
    first->terminate();
    QVERIFY(first->waitForFinished(10000));
  }

  // The real program, as one user: whatever the later launch's environment
  // says of a runtime folder, and whatever was removed of the running copy's
  // lock, the later launch hands over and one copy runs.
  void theRunningCopyIsFoundWhateverTheLaterLaunchSees_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("a later launch without a runtime folder") << "unset";
    QTest::newRow("a later launch naming another user's runtime folder") << "other";
    QTest::newRow("the state folder removed") << "state";
    QTest::newRow("the lock removed") << "lock";
  }

  void theRunningCopyIsFoundWhateverTheLaterLaunchSees() {
    QFETCH(QString, change);
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    QProcessEnvironment env = test::sandbox(dir);
    const QString base = QString::fromStdString(dir.path().string());
    const QString tmp = base + "/tmp";
    QVERIFY(QDir().mkpath(tmp) && ::chmod(QFile::encodeName(tmp).constData(), 0700) == 0);
    env.insert("TMPDIR", tmp);
    const QString state = stateFolder(env);
    auto first = launch(env);
    const QString socket = env.value("XDG_RUNTIME_DIR") + "/larkvale.socket";
    QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 10000);
    QVERIFY(QFileInfo::exists(state + "/larkvale.lock"));

    QProcessEnvironment later = env;
    if (change == "unset") later.remove("XDG_RUNTIME_DIR");
    if (change == "other") {
      const QString foreign = base + "/run-other";
      QVERIFY(QDir().mkpath(foreign) && ::chmod(QFile::encodeName(foreign).constData(), 0700) == 0);
      if (!giveAway(foreign)) QSKIP("Only root can give a folder to another user.");
      later.insert("XDG_RUNTIME_DIR", foreign);
    }
    if (change == "state") QVERIFY(dir.remove(QFile::encodeName(state).toStdString()));
    if (change == "lock")
      QVERIFY(dir.remove(QFile::encodeName(state + "/larkvale.lock").toStdString()));

    for (int round = 0; round < 2; ++round) {
      auto second = launch(later);
      QVERIFY(second->waitForFinished(10000));
      QCOMPARE(second->exitCode(), 0);
      QCOMPARE(second->readAllStandardOutput(),
               QByteArray("Larkvale is already running; its window was brought forward.\n"));
    }
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(answers(socket));
    first->terminate();
    QVERIFY(first->waitForFinished(10000));
  }

  // Launches that start at once, as a double click or a session restoring
  // itself makes them: one copy runs and takes every other launch's request.
  void launchesAtOnceGiveOneCopy() {
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    const QProcessEnvironment env = test::sandbox(dir);
    std::vector<std::unique_ptr<QProcess>> launches;
    for (int i = 0; i < 4; ++i) launches.push_back(launch(env));
    const auto ended = [&launches] {
      return std::ranges::count_if(
          launches, [](const auto& p) { return p->state() == QProcess::NotRunning; });
    };
    QTRY_COMPARE_WITH_TIMEOUT(ended(), 3, 10000);
    QTest::qWait(500);
    QCOMPARE(ended(), 3);
    QProcess* running = nullptr;
    for (auto& launched : launches) {
      if (launched->state() != QProcess::NotRunning)
        running = launched.get();
      else
        QCOMPARE(launched->exitCode(), 0);
    }
    QVERIFY(running);
    running->terminate();
    QVERIFY(running->waitForFinished(10000));
  }

  // The runtime folder holds the socket only when it is the user's own, no
  // one else may enter it, every folder above it is trusted, and it is named
  // by its real path; otherwise the socket goes to a short folder. Either
  // way the lock stays in the state folder, made when it is missing.
  void theRuntimeFolderIsUsedOnlyWhenItKeepsOthersOut_data() {
    QTest::addColumn<QString>("named");   // "@": the test's folder
    QTest::addColumn<int>("bits");        // of @/p/run; 0: none there, -1: a file there
    QTest::addColumn<int>("parentBits");  // of @/p
    QTest::addColumn<Owner>("owner");     // of @/p/run
    QTest::addColumn<bool>("usable");
    const Owner user = Owner::user;
    QTest::newRow("unset") << QString("<unset>") << 0700 << 0755 << user << false;
    QTest::newRow("empty") << QString("") << 0700 << 0755 << user << false;
    QTest::newRow("relative") << QString("p/run") << 0700 << 0755 << user << false;
    QTest::newRow("missing") << QString("@/p/run") << 0 << 0755 << user << false;
    QTest::newRow("a file") << QString("@/p/run") << -1 << 0755 << user << false;
    QTest::newRow("own, private") << QString("@/p/run") << 0700 << 0755 << user << true;
    QTest::newRow("own, private, with a trailing slash")
        << QString("@/p/run/") << 0700 << 0755 << user << true;
    QTest::newRow("own, open to read") << QString("@/p/run") << 0755 << 0755 << user << false;
    QTest::newRow("own, its group may write")
        << QString("@/p/run") << 0770 << 0755 << user << false;
    QTest::newRow("another user's, private")
        << QString("@/p/run") << 0700 << 0755 << Owner::other << false;
    QTest::newRow("own, private, in a folder its group may write")
        << QString("@/p/run") << 0700 << 0775 << user << false;
    QTest::newRow("own, private, named through a link")
        << QString("@/link") << 0700 << 0755 << user << false;
  }

  void theRuntimeFolderIsUsedOnlyWhenItKeepsOthersOut() {
    QFETCH(QString, named);
    QFETCH(int, bits);
    QFETCH(int, parentBits);
    QFETCH(Owner, owner);
    QFETCH(bool, usable);
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const QString base = QFileInfo(QString::fromStdString(dir.path().string())).canonicalFilePath();
    const QString real = base + "/p/run";
    QVERIFY(QDir().mkpath(base + "/p") && QDir().mkpath(base + "/tmp"));
    if (bits > 0) QVERIFY(QDir().mkpath(real));
    if (bits < 0) QVERIFY(QFile(real).open(QIODevice::WriteOnly));
    if (bits > 0) QVERIFY(::chmod(QFile::encodeName(real).constData(), bits) == 0);
    QVERIFY(::chmod(QFile::encodeName(base + "/p").constData(), parentBits) == 0);
    QVERIFY(::chmod(QFile::encodeName(base + "/tmp").constData(), 0700) == 0);
    if (owner == Owner::other && !giveAway(real))
      QSKIP("Only root can give a folder to another user.");
    QVERIFY(QFile::link(real, base + "/link"));
    const auto tmpdir = setTmpdir(base + "/tmp");
    const auto runtime = setEnv(
        "XDG_RUNTIME_DIR",
        named == "<unset>" ? std::nullopt
                           : std::optional(QFile::encodeName(QString(named).replace("@", base))));

    QCOMPARE(SingleInstance::runtimeFolder(), usable ? real : QString());
    SingleInstance running(base + "/state", SingleInstance::runtimeFolder());
    QCOMPARE(running.claim(), SingleInstance::Claim::first);
    QVERIFY(QFileInfo::exists(base + "/state/larkvale.lock"));
    const QString socket = running.socketPath();
    QVERIFY(answers(socket));
    const QString shortFolder = QFileInfo(socket).path();
    QCOMPARE(shortFolder == real, usable);
    if (usable) return;
    QCOMPARE(QFileInfo(shortFolder).path(), base + "/tmp");
    QVERIFY(QFileInfo(shortFolder).fileName().startsWith("larkvale-"));

    // A later launch whose environment names a usable runtime folder still
    // finds it there.
    const QString ownRuntime = base + "/own-run";
    QVERIFY(QDir().mkpath(ownRuntime) &&
            ::chmod(QFile::encodeName(ownRuntime).constData(), 0700) == 0);
    SingleInstance later(base + "/state", ownRuntime);
    QCOMPARE(later.claim(), SingleInstance::Claim::later);
    QVERIFY(handsOver(later, running));
  }

  // A record beside the lock is followed only to a folder named as the
  // instance of that name names them, "<name>-" and six characters: one
  // named otherwise, even in the same trusted place and private to the
  // user, is another program's (the app's guard and the demo's keep apart).
  void aRecordedShortFolderIsUsedOnlyWhenNamedAsMade_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("leaf");
    QTest::addColumn<bool>("used");
    QTest::newRow("as made") << "larkvale"
                             << "larkvale-Kept01" << true;
    QTest::newRow("a longer name") << "larkvale"
                                   << "larkvale-backup-keys" << false;
    QTest::newRow("five characters") << "larkvale"
                                     << "larkvale-12345" << false;
    QTest::newRow("seven characters") << "larkvale"
                                      << "larkvale-1234567" << false;
    QTest::newRow("the demo's, for the app") << "larkvale"
                                             << "larkvale-demo-Kept01" << false;
    QTest::newRow("the demo's own") << "larkvale-demo"
                                    << "larkvale-demo-Kept01" << true;
  }

  void aRecordedShortFolderIsUsedOnlyWhenNamedAsMade() {
    QFETCH(QString, name);
    QFETCH(QString, leaf);
    QFETCH(bool, used);
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    const QString base = QFileInfo(QString::fromStdString(dir.path().string())).canonicalFilePath();
    const QString folder = base + "/" + leaf;
    QVERIFY(QDir().mkpath(folder) && ::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
    QFile record(base + "/state/" + name + ".socket-folder");
    QVERIFY(QDir().mkpath(base + "/state") && record.open(QIODevice::WriteOnly));
    record.write(QFile::encodeName(folder) + "\n");
    record.close();
    QCOMPARE(SingleInstance(base + "/state", QString(), name).socketPath(),
             used ? folder + "/" + name + ".socket" : QString());
  }

  void twoRealCopiesAndOneThatDied() {
    test::TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    QProcessEnvironment env = test::sandbox(dir);
    SingleInstance probe(stateFolder(env), env.value("XDG_RUNTIME_DIR"));

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
