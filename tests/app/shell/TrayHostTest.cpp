#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <chrono>
#include <functional>

#include "tests/app/shell/ShellTestSupport.h"

namespace larkvale {
namespace {

// Ends a started helper program when the test leaves, however it leaves:
// asked to end first, so that an X server removes its socket and lock file
// (a killed one leaves them behind for the next server that takes its
// number), killed only when it doesn't.
struct Running {
  std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
  ~Running() {
    if (process->state() == QProcess::NotRunning) return;
    process->terminate();
    if (process->waitForFinished(10000)) return;
    process->kill();
    process->waitForFinished(5000);
  }
};

using namespace std::chrono_literals;

// Generous: a loaded machine or a sanitized build starts X programs slowly.
constexpr std::chrono::milliseconds kPatience = 90s;

// Polls `done` until it holds or `limit` has passed on the clock. A poll can
// block for seconds itself (an X query on a busy server), so the limit is
// kept by a clock rather than by counting polls as QTRY_* does.
bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = kPatience) {
  QDeadlineTimer deadline(limit);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QTest::qWait(50);
  }
  return true;
}

QString tree(const QString& display) {
  QProcess xwininfo;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", display);
  xwininfo.setProcessEnvironment(env);
  xwininfo.start("xwininfo", {"-root", "-tree"});
  xwininfo.waitForFinished(5000);
  return QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
}

// A window of the app that sits inside another window than the root: only
// a tray host reparents a window of ours.
bool embedded(const QString& windows) {
  static const QRegularExpression nested(R"(^ {6,}0x[0-9a-f]+ .*\("larkvale" )",
                                         QRegularExpression::MultilineOption);
  return nested.match(windows).hasMatch();
}

}  // namespace

class TrayHostTest : public QObject {
  Q_OBJECT

 private slots:
  void theTrayIconIsEmbeddedAndQuitIsClean() {
    for (const char* tool : {"Xvfb", "trayer", "xwininfo"}) {
      if (QStandardPaths::findExecutable(tool).isEmpty())
        QSKIP(qPrintable(QString("no %1").arg(tool)));
    }
    Running xvfb;
    // -noreset: a server resets when its last client leaves, and refuses a
    // client that comes during the reset (the tray host, while a query of
    // the window tree has just ended).
    xvfb.process->start(
        "Xvfb", {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    // The display number comes as one line; a read may return part of it.
    QByteArray number;
    QDeadlineTimer started(kPatience);
    while (!number.contains('\n') &&
           xvfb.process->waitForReadyRead(static_cast<int>(started.remainingTime()))) {
      number += xvfb.process->readAllStandardOutput();
    }
    if (!number.contains('\n')) QSKIP("Xvfb can't start here");
    QString display = ":" + QString::fromLatin1(number).trimmed();

    test::TempDir dir;
    QProcessEnvironment env = test::sandbox(dir);
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    // libxkbcommon-x11 hands strndup strings that are not terminated within
    // the length; the check for that belongs to our own code, not the X
    // libraries the sanitized program loads.
    if (env.contains("ASAN_OPTIONS"))
      env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":strict_string_checks=0");

    Running trayer;
    trayer.process->setProcessEnvironment(env);
    trayer.process->start("trayer", {"--edge", "top", "--align", "right"});
    bool panel = eventually([&] {
      return trayer.process->state() == QProcess::NotRunning ||
             tree(display).contains("(\"panel\" \"trayer\")");
    });
    QVERIFY2(panel && trayer.process->state() != QProcess::NotRunning,
             trayer.process->readAllStandardError().constData());

    Running app;
    app.process->setProcessEnvironment(env);
    app.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.process->start(QStringLiteral(LARKVALE_BINARY), {"--login-item"});
    QVERIFY(eventually([&] { return embedded(tree(display)); }));

    app.process->terminate();
    QVERIFY(app.process->waitForFinished(static_cast<int>(kPatience.count())));
    QCOMPARE(app.process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.process->exitCode(), 0);
    // The server drops a client's windows once it notices the client left.
    QVERIFY(eventually([&] { return !embedded(tree(display)); }));
  }
};

}  // namespace larkvale

QTEST_GUILESS_MAIN(larkvale::TrayHostTest)
#include "TrayHostTest.moc"
