#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

// Ends a started helper program when the test leaves, however it leaves.
struct Running {
  std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
  ~Running() {
    if (process->state() == QProcess::NotRunning) return;
    process->kill();
    process->waitForFinished(5000);
  }
};

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
    xvfb.process->start("Xvfb",
                        {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    if (!xvfb.process->waitForReadyRead(10000)) QSKIP("Xvfb can't start here");
    QString display = ":" + QString::fromLatin1(xvfb.process->readAllStandardOutput()).trimmed();

    test::TempDir dir;
    QString root = QString::fromStdString(dir.path().string());
    QDir().mkpath(root + "/run");
    QFile::setPermissions(root + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("HOME", root + "/home");
    env.insert("XDG_RUNTIME_DIR", root + "/run");
    env.insert("XDG_CONFIG_HOME", root + "/config");
    env.insert("XDG_DATA_HOME", root + "/data");
    env.insert("XDG_CACHE_HOME", root + "/cache");
    env.insert("QT_QPA_PLATFORM", "xcb");
    // libxkbcommon-x11 hands strndup strings that are not terminated within
    // the length; the check for that belongs to our own code, not the X
    // libraries the sanitized program loads.
    if (env.contains("ASAN_OPTIONS"))
      env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":strict_string_checks=0");
    // No session bus: the tray must be the X11 one the tray host offers.
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root + "/no-bus");

    Running trayer;
    trayer.process->setProcessEnvironment(env);
    trayer.process->start("trayer", {"--edge", "top", "--align", "right"});
    QTRY_VERIFY_WITH_TIMEOUT(tree(display).contains("(\"panel\" \"trayer\")"), 10000);

    Running app;
    app.process->setProcessEnvironment(env);
    app.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.process->start(QStringLiteral(LARKVALE_BINARY), {"--login-item"});
    QTRY_VERIFY_WITH_TIMEOUT(embedded(tree(display)), 15000);

    app.process->terminate();
    QVERIFY(app.process->waitForFinished(15000));
    QCOMPARE(app.process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.process->exitCode(), 0);
    QVERIFY(!embedded(tree(display)));
  }
};

}  // namespace larkvale

QTEST_GUILESS_MAIN(larkvale::TrayHostTest)
#include "TrayHostTest.moc"
