// The name a running copy answers on, and the files that decide without it.
// The real program is run through the events that once let a second copy
// start or left one that no later launch could reach; another user's
// program (run under a second user id where this machine allows it) holds
// the name first, or knocks on it. With the name out of play, the file
// places are pinned one behaviour at a time.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <future>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

#include "app/shell/InstanceName.h"
#include "app/shell/SingleInstance.h"
#include "tests/app/shell/InstanceTestSupport.h"
#include "tests/app/shell/ShellTestSupport.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using namespace test;

const QByteArray kHandedOver = "Larkvale is already running; its window was brought forward.\n";

// Whether a copy of this user's answers on the name of `state`'s copy.
bool nameAnswers(const QString& state) {
  return instance_name::connectToOwn(instance_name::nameFor(::geteuid(), state, "larkvale"))
      .valid();
}

// A launch's environment in `dir` with TMPDIR in a private folder of its
// own; with `blockedState`, a state folder that can't be made (a file stands
// where its parent should be: as root, no mode keeps a folder unwritable).
QProcessEnvironment environment(const TempDir& dir, bool blockedState) {
  QProcessEnvironment env = sandbox(dir);
  const QString base = QString::fromStdString(dir.path().string());
  QDir().mkpath(base + "/tmp");
  ::chmod(QFile::encodeName(base + "/tmp").constData(), 0700);
  env.insert("TMPDIR", base + "/tmp");
  if (blockedState) {
    QFile(base + "/blocked").open(QIODevice::WriteOnly);
    env.insert("XDG_DATA_HOME", base + "/blocked");
  }
  return env;
}

// The short folders in the launch's temporary folder.
QStringList shortFolders(const QProcessEnvironment& env) {
  const QString tmp = env.value("TMPDIR");
  QStringList found;
  for (const QString& leaf : QDir(tmp).entryList({"larkvale-*"}, QDir::Dirs | QDir::Hidden))
    found << tmp + "/" + leaf;
  return found;
}

// Whether a copy of `env`'s state folder is up: it answers on the name or
// on a socket in its runtime folder or a short folder.
bool up(const QProcessEnvironment& env) {
  QStringList sockets = {env.value("XDG_RUNTIME_DIR") + "/larkvale.socket"};
  for (const QString& folder : shortFolders(env)) sockets << folder + "/larkvale.socket";
  return nameAnswers(stateFolder(env)) || std::ranges::any_of(sockets, answers);
}

// Launches at once, `rounds` times over, in the environments given: one
// copy runs each time and the others hand over. Every other round starts
// with no short folder, the others with the one the round before left.
void oneCopyRoundAfterRound(const std::vector<QProcessEnvironment>& envs, Made& made,
                            int rounds = 4) {
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      for (const QString& folder : shortFolders(envs.front())) QVERIFY(made.remove(folder));
    }
    std::vector<std::unique_ptr<QProcess>> launches;
    for (const QProcessEnvironment& env : envs) launches.push_back(launch(env));
    const auto ended = [&launches] {
      return std::ranges::count_if(
          launches, [](const auto& p) { return p->state() == QProcess::NotRunning; });
    };
    const auto others = static_cast<std::ptrdiff_t>(envs.size() - 1);
    QTRY_COMPARE_WITH_TIMEOUT(ended(), others, 30000);
    QTest::qWait(500);
    QCOMPARE(ended(), others);
    for (auto& launched : launches) {
      if (launched->state() != QProcess::NotRunning) {
        launched->terminate();
        QVERIFY(launched->waitForFinished(20000));
      } else {
        QCOMPARE(launched->exitCode(), 0);
      }
    }
  }
}

// Whether `launched` ended by handing over.
bool handedOver(QProcess& launched) {
  return launched.waitForFinished(20000) && launched.exitStatus() == QProcess::NormalExit &&
         launched.exitCode() == 0 && launched.readAllStandardOutput() == kHandedOver;
}

QByteArray contentOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Another user's program, or why it can't run here. Only root can start a
// program under another user id.
struct OtherUser {
  QString why;
  QString holder;  // a copy of the name holder that the other user may run

  explicit OtherUser(const TempDir& dir) {
    if (::geteuid() != 0) {
      why = "only root can start a program as another user";
      return;
    }
    if (QStandardPaths::findExecutable("setpriv").isEmpty()) {
      why = "no setpriv";
      return;
    }
    const QString base = QString::fromStdString(dir.path().string());
    holder = base + "/bin/name_holder";
    if (::chmod(QFile::encodeName(base).constData(), 0755) != 0 || !QDir().mkpath(base + "/bin") ||
        !QFile::copy(LARKVALE_NAME_HOLDER, holder)) {
      why = "the name holder can't be set where the other user may run it";
    }
  }

  void start(QProcess& process, const QStringList& arguments) const {
    process.start("setpriv",
                  QStringList{"--reuid=" + QString::number(otherUser()),
                              "--regid=" + QString::number(otherUser()), "--clear-groups", holder} +
                      arguments);
  }
};

#define SKIP_WITHOUT_OTHER_USER(other)                          \
  do {                                                          \
    if (!(other).why.isEmpty()) QSKIP(qPrintable((other).why)); \
  } while (false)

// The other user's program holding `state`'s name for this user, until the
// guard goes; it says how many bytes it was sent.
struct HeldName {
  QProcess process;
  bool start(const OtherUser& other, const QString& state) {
    other.start(process, {"hold", QString::number(::geteuid()), state, "larkvale"});
    return process.waitForReadyRead(20000) && process.readLine() == "holding\n";
  }
  QByteArray end() {
    process.terminate();
    process.waitForFinished(20000);
    return process.readAllStandardOutput().trimmed();
  }
  ~HeldName() {
    if (process.state() != QProcess::NotRunning) end();
  }
};

}  // namespace

class InstanceNameTest : public QObject {
  Q_OBJECT

 private slots:
  // Each of these once let a second copy start, or left a copy no later
  // launch could reach: the state folder couldn't be written at start (so
  // no record of where the copy listens could be kept), and then space was
  // freed and later launches came from a shell with no runtime folder; or
  // the runtime folder was removed and made again at the next log-in; or a
  // cleaner of the temporary folder removed the short folder. Or, with the
  // lock in place, only the socket's folder went. Each time two launches
  // come at once; both hand over, and one copy runs on.
  void theRunningCopyAnswersWhateverBecameOfItsFiles_data() {
    QTest::addColumn<QString>("event");
    QTest::newRow("space freed, later launches without a runtime folder") << "freed";
    QTest::newRow("the runtime folder removed and made again") << "runtime remade";
    QTest::newRow("the short folder cleaned away") << "short folder cleaned";
    QTest::newRow("only the socket's folder removed") << "socket folder removed";
  }

  void theRunningCopyAnswersWhateverBecameOfItsFiles() {
    QFETCH(QString, event);
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const bool blocked = event != "socket folder removed";
    QProcessEnvironment env = environment(dir, blocked);
    const QString run = env.value("XDG_RUNTIME_DIR");
    if (event == "short folder cleaned") env.remove("XDG_RUNTIME_DIR");
    const QString state = stateFolder(env);
    auto first = launch(env);
    QTRY_VERIFY_WITH_TIMEOUT(up(env), 20000);
    const QByteArray saved = contentOf(state + "/state.json");

    QProcessEnvironment later = env;
    if (event == "freed") {
      QVERIFY(made.remove(env.value("XDG_DATA_HOME")));
      later.remove("XDG_RUNTIME_DIR");
    }
    if (event == "runtime remade" || event == "socket folder removed") {
      QVERIFY(QFileInfo::exists(run + "/larkvale.socket"));
      QVERIFY(made.remove(run));
      QVERIFY(QDir().mkpath(run) && ::chmod(QFile::encodeName(run).constData(), 0700) == 0);
    }
    if (event == "short folder cleaned") {
      const QStringList folders = shortFolders(env);
      QCOMPARE(folders.size(), 1);
      QVERIFY(QFileInfo::exists(folders[0] + "/larkvale.lock"));
      QVERIFY(made.remove(folders[0]));
    }

    auto second = launch(later);
    auto third = launch(later);
    QVERIFY(handedOver(*second));
    QVERIFY(handedOver(*third));
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(up(env));
    QCOMPARE(contentOf(state + "/state.json"), saved);
    first->terminate();
    QVERIFY(first->waitForFinished(20000));
  }

  // Another user's program holds the name first: the app starts all the
  // same and says so, later launches find it through its files, and the
  // other program is sent not one byte.
  void anotherUsersProgramHoldingTheNameKeepsNoCopyFromStarting() {
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    OtherUser other(dir);
    SKIP_WITHOUT_OTHER_USER(other);
    const QProcessEnvironment env = environment(dir, false);
    const QString state = stateFolder(env);
    HeldName held;
    QVERIFY(held.start(other, state));

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(LARKVALE_BINARY), QStringList{});
    const QString socket = env.value("XDG_RUNTIME_DIR") + "/larkvale.socket";
    QTRY_VERIFY_WITH_TIMEOUT(answers(socket), 20000);
    QVERIFY(!nameAnswers(state));
    for (int round = 0; round < 2; ++round) {
      auto later = launch(env);
      QVERIFY(handedOver(*later));
    }
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(held.end(), QByteArray("received 0"));
    first.terminate();
    QVERIFY(first.waitForFinished(20000));
    QVERIFY(first.readAllStandardError().contains(
        "Another user's program holds the name Larkvale answers on; later launches find this "
        "copy through its files."));
  }

  // Another user's connections to the running copy are closed unanswered
  // and unread, and don't count against the user's own launches.
  void anotherUsersConnectionsGetNoAnswer() {
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    OtherUser other(dir);
    SKIP_WITHOUT_OTHER_USER(other);
    const QString base = QString::fromStdString(dir.path().string());
    const QString state = base + "/data/Larkvale";
    Made made(dir);
    SingleInstance running(state, QString());
    running.setTemporaryFolders({base});
    QCOMPARE(running.claim(), SingleInstance::Claim::first);
    made.add(QFileInfo(running.socketPath()).path());
    QSignalSpy requests(&running, &SingleInstance::requested);

    QProcess knocker;
    other.start(knocker, {"knock", QString::number(::geteuid()), state, "larkvale", "40"});
    QTRY_VERIFY_WITH_TIMEOUT(knocker.state() == QProcess::NotRunning, 20000);
    QCOMPARE(knocker.readAllStandardOutput().trimmed(), QByteArray("answered 0 closed 40"));
    QCOMPARE(requests.count(), 0);

    SingleInstance later(state, QString());
    later.setTemporaryFolders({base});
    QVERIFY(handsOver(later, running));
  }

  // Launches that only looked whether a copy answers, and went, take no
  // room from one that speaks: however many came before the copy got to
  // them, the launch after them is heard.
  void launchesThatOnlyLookedTakeNoRoom() {
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    const QString base = QString::fromStdString(dir.path().string());
    const QString state = base + "/data/Larkvale";
    const QString run = base + "/run";
    QVERIFY(QDir().mkpath(run) && ::chmod(QFile::encodeName(run).constData(), 0700) == 0);
    SingleInstance running(state, run);
    QCOMPARE(running.claim(), SingleInstance::Claim::first);
    for (int look = 0; look < 12; ++look) {
      QVERIFY(nameAnswers(state));
      QVERIFY(answers(running.socketPath()));
    }
    SingleInstance later(state, run);
    QVERIFY(handsOver(later, running));
  }

  // Another launch of the user's has bound the name but doesn't listen on it
  // yet when this one, holding its lock, comes to take it: this launch waits
  // a moment and hands over, rather than take the name for another user's
  // and run beside it.
  void aNameBoundButNotYetListenedOnIsThisUsersCopy() {
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    const QString base = QString::fromStdString(dir.path().string());
    const QString state = base + "/data/Larkvale";
    const QByteArray name = instance_name::nameFor(::geteuid(), state, "larkvale");
    Descriptor bound(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::copy(name.begin(), name.end(), address.sun_path + 1);
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    QVERIFY(::bind(bound.get(), reinterpret_cast<sockaddr*>(&address), length) == 0);
    // It listens a little after this launch has taken its lock.
    auto listening = std::async(std::launch::async, [&] {
      while (!QFileInfo::exists(state + "/larkvale.lock")) QThread::msleep(1);
      QThread::msleep(20);
      return ::listen(bound.get(), 8) == 0;
    });
    SingleInstance launch(state, QString());
    launch.setTemporaryFolders({base});
    QCOMPARE(launch.claim(), SingleInstance::Claim::later);
    QVERIFY(listening.get());
    QCOMPARE(launch.lockPath(), QString());
  }

  // With the name out of play, the files decide. A copy that stopped
  // answering with its queue full still listens: no later launch removes
  // its socket or runs beside it.
  void aCopyWithAFullQueueStillCounts() {
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    const QString base = QString::fromStdString(dir.path().string());
    const QString run = base + "/run";
    QVERIFY(QDir().mkpath(run) && ::chmod(QFile::encodeName(run).constData(), 0700) == 0);
    const QByteArray socket = QFile::encodeName(run + "/larkvale.socket");
    Descriptor hung(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::copy(socket.begin(), socket.end(), address.sun_path);
    QVERIFY(::bind(hung.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
    QVERIFY(::listen(hung.get(), 0) == 0);
    std::vector<Descriptor> queued;
    for (int i = 0; i < 100; ++i) {
      Descriptor peer(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0));
      if (::connect(peer.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) break;
      queued.push_back(std::move(peer));
    }
    QVERIFY(queued.size() < 100);
    struct stat before = {};
    QVERIFY(::lstat(socket.constData(), &before) == 0);

    SingleInstance later(base + "/data/Larkvale", run);
    later.setTemporaryFolders({base});
    QCOMPARE(later.claim(), SingleInstance::Claim::later);
    QCOMPARE(later.lockPath(), QString());
    struct stat after = {};
    QVERIFY(::lstat(socket.constData(), &after) == 0);
    QCOMPARE(after.st_ino, before.st_ino);
  }

  // A copy that lost its lock and listens in a short folder is found by a
  // launch that has a runtime folder: every place is asked, not only the
  // first. With the state folder gone, no record names the short folder:
  // the temporary folder is looked through for it.
  void aCopyInAShortFolderIsFoundFromARuntimeFolder() {
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const QString base = QString::fromStdString(dir.path().string());
    const QString state = base + "/data/Larkvale";
    const QString run = base + "/run";
    QVERIFY(QDir().mkpath(run) && ::chmod(QFile::encodeName(run).constData(), 0700) == 0);
    SingleInstance running(state, QString());
    running.answerOnName(false);
    running.setTemporaryFolders({base});
    QCOMPARE(running.claim(), SingleInstance::Claim::first);
    made.add(QFileInfo(running.socketPath()).path());
    QVERIFY(QFileInfo::exists(state + "/larkvale.socket-folder"));
    QVERIFY(made.remove(state));

    SingleInstance later(state, run);
    later.answerOnName(false);
    later.setTemporaryFolders({base});
    QCOMPARE(later.claim(), SingleInstance::Claim::later);
    QVERIFY(handsOver(later, running));
  }

  // With an unwritable state folder and no runtime folder, the lock of a
  // copy that died is taken over by the next launch, which runs.
  void aLockLeftByACopyThatDiedIsTakenOver() {
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    QProcessEnvironment env = environment(dir, true);
    env.remove("XDG_RUNTIME_DIR");
    const QString state = stateFolder(env);
    auto first = launch(env);
    QTRY_VERIFY_WITH_TIMEOUT(up(env), 20000);
    ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished(20000));
    const QStringList folders = shortFolders(env);
    QCOMPARE(folders.size(), 1);
    made.add(folders[0]);
    QVERIFY(QFileInfo::exists(folders[0] + "/larkvale.lock"));

    auto next = launch(env);
    QTRY_VERIFY_WITH_TIMEOUT(up(env), 20000);
    QCOMPARE(next->state(), QProcess::Running);
    auto later = launch(env);
    QVERIFY(handedOver(*later));
    next->terminate();
    QVERIFY(next->waitForFinished(20000));
  }

  // Six launches at once, with an unwritable state folder, no runtime folder
  // and the name held by another user's program, leave one copy, round after
  // round: with no short folder yet, and with the one the last round left.
  void manyLaunchesAtOnceLeaveOneCopyThroughTheFiles() {
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    OtherUser other(dir);
    SKIP_WITHOUT_OTHER_USER(other);
    Made made(dir);
    QProcessEnvironment env = environment(dir, true);
    env.remove("XDG_RUNTIME_DIR");
    HeldName held;
    QVERIFY(held.start(other, stateFolder(env)));
    oneCopyRoundAfterRound(std::vector(6, env), made);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(held.end(), QByteArray("received 0"));
  }

  // Launches at once from shells that name a runtime folder and from ones
  // that name none, with an unwritable state folder: their locks go to
  // different places, and the name decides which of them runs.
  void launchesAtOnceFromDifferentShellsLeaveOneCopy() {
    TempDir dir;
    SKIP_WITHOUT_TRUSTED_TEMP(dir);
    Made made(dir);
    const QProcessEnvironment withRuntime = environment(dir, true);
    QProcessEnvironment without = withRuntime;
    without.remove("XDG_RUNTIME_DIR");
    std::vector<QProcessEnvironment> envs;
    for (int i = 0; i < 3; ++i) envs.insert(envs.end(), {withRuntime, without});
    oneCopyRoundAfterRound(envs, made, 6);
  }
};

}  // namespace larkvale

QTEST_GUILESS_MAIN(larkvale::InstanceNameTest)
#include "InstanceNameTest.moc"
