#include <signal.h>
#include <xcb/xcb.h>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <chrono>
#include <cstdlib>
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

// The first line `process` writes on stdout, once it has come whole; empty
// when the process ends or the patience runs out first.
QByteArray firstLine(QProcess& process) {
  QByteArray line;
  QDeadlineTimer deadline(kPatience);
  // A read may return part of the line.
  while (!line.contains('\n') &&
         process.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
    line += process.readAllStandardOutput();
  }
  return line.contains('\n') ? line.trimmed() : QByteArray();
}

// Starts an X server of its own; answers its display, empty when it can't
// start here.
QString startXvfb(Running& xvfb) {
  // -noreset: a server resets when its last client leaves, and refuses a
  // client that comes during the reset (the tray host, while a query of
  // the window tree has just ended).
  xvfb.process->start(
      "Xvfb", {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
  const QByteArray number = firstLine(*xvfb.process);
  return number.isEmpty() ? QString() : ":" + QString::fromLatin1(number);
}

// The id of the app's main window on `display`, empty while there is none: a
// child of the root (the tray icon's window, made by the same app and named
// alike, sits inside the tray's).
QString mainWindow(const QString& display) {
  static const QRegularExpression main(R"(^ {5}(0x[0-9a-f]+) "Larkvale": \("larkvale" )",
                                       QRegularExpression::MultilineOption);
  return main.match(tree(display)).captured(1);
}

bool viewable(const QString& display, const QString& window) {
  QProcess xwininfo;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", display);
  xwininfo.setProcessEnvironment(env);
  xwininfo.start("xwininfo", {"-id", window});
  xwininfo.waitForFinished(5000);
  return xwininfo.readAllStandardOutput().contains("Map State: IsViewable");
}

// Whether `process`, asked to end as the session asks it, ends with status 0.
bool endsCleanly(QProcess& process) {
  process.terminate();
  return process.waitForFinished(static_cast<int>(kPatience.count())) &&
         process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The main window once it is shown on `display`; empty when it isn't shown
// within the patience.
QString shownMainWindow(const QString& display) {
  QString main;
  const bool shown = eventually([&] {
    main = mainWindow(display);
    return !main.isEmpty() && viewable(display, main);
  });
  return shown ? main : QString();
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name),
      nullptr);
  const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return found;
}

// Asks `window` to close as a window manager's close button does.
void askToClose(const QString& display, const QString& window) {
  xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window.toUInt(nullptr, 16);
  event.type = atom(connection, "WM_PROTOCOLS");
  event.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
  event.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
  xcb_disconnect(connection);
}

// Closes `window` as a window manager's close button does, asking again
// until it is gone: under load the toolkit drops a close that comes while a
// window it has just shown is still settling.
bool closeWindow(const QString& display, const QString& window) {
  return eventually([&] {
    askToClose(display, window);
    return !viewable(display, window);
  });
}

// A private session bus: its address, empty when it can't start here.
QString startBus(Running& bus) {
  bus.process->start("dbus-daemon", {"--config-file=" LARKVALE_SESSION_BUS_CONFIG,
                                     "--print-address=1", "--nofork"});
  return QString::fromLatin1(firstLine(*bus.process));
}

// An X server with no tray and a private session bus with no watcher, and the
// environment a copy of the app runs in there.
struct Desktop {
  Running xvfb;
  Running bus;
  test::TempDir dir;
  QString display;
  QString address;  // the bus's; empty when it didn't start
  QProcessEnvironment env;

  // Starts both; the reason why not when X can't run here.
  QString start() {
    for (const char* tool : {"Xvfb", "xwininfo", "dbus-daemon"}) {
      if (QStandardPaths::findExecutable(tool).isEmpty()) return QString("no %1").arg(tool);
    }
    display = startXvfb(xvfb);
    if (display.isEmpty()) return "Xvfb can't start here";
    address = startBus(bus);
    env = test::sandbox(dir);
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DBUS_SESSION_BUS_ADDRESS", address);
    if (env.contains("ASAN_OPTIONS"))
      env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":strict_string_checks=0");
    return QString();
  }

  // Where the running copy takes later launches.
  QString socket() const { return QString::fromStdString((dir / "run/larkvale.socket").string()); }

  void launch(Running& program, const QString& path, const QStringList& arguments) const {
    program.process->setProcessEnvironment(env);
    program.process->start(path, arguments);
  }
};

// Whether the running copy listening on `socket` takes a later launch's
// request within `limit`. It answers from its event loop: a window held
// waiting doesn't answer in time.
bool served(const QString& socket, std::chrono::milliseconds limit) {
  QDeadlineTimer deadline(limit);
  auto remaining = [&deadline] {
    return static_cast<int>(std::max<qint64>(1, deadline.remainingTime()));
  };
  QLocalSocket peer;
  peer.connectToServer(socket);
  if (!peer.waitForConnected(remaining())) return false;
  peer.write("open\n");
  while (!peer.canReadLine() && peer.waitForReadyRead(remaining())) {
  }
  return peer.canReadLine() && peer.readLine() == "ok\n";
}

}  // namespace

// Puts up the display and the bus, or skips where they can't be had.
#define START_DESKTOP_OR_SKIP(desktop)                                                 \
  do {                                                                                 \
    if (const QString why = (desktop).start(); !why.isEmpty()) QSKIP(qPrintable(why)); \
    QVERIFY2(!(desktop).address.isEmpty(),                                             \
             (desktop).bus.process->readAllStandardError().constData());               \
  } while (false)

class TrayHostTest : public QObject {
  Q_OBJECT

 private slots:
  void theTrayIconIsEmbeddedAndQuitIsClean() {
    for (const char* tool : {"Xvfb", "trayer", "xwininfo"}) {
      if (QStandardPaths::findExecutable(tool).isEmpty())
        QSKIP(qPrintable(QString("no %1").arg(tool)));
    }
    Running xvfb;
    const QString display = startXvfb(xvfb);
    if (display.isEmpty()) QSKIP("Xvfb can't start here");

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
    // It lives in the tray: no window opened at log-in.
    QVERIFY(mainWindow(display).isEmpty());

    // A window opened by a later launch and closed again leaves the app in
    // the tray, there to take the next launch.
    auto launch = [&env] {
      QProcess later;
      later.setProcessEnvironment(env);
      later.start(QStringLiteral(LARKVALE_BINARY), QStringList{});
      return later.waitForFinished(static_cast<int>(kPatience.count())) && later.exitCode() == 0;
    };
    QVERIFY(launch());
    QString main = shownMainWindow(display);
    QVERIFY(!main.isEmpty());
    QVERIFY(closeWindow(display, main));
    QVERIFY(launch());

    app.process->terminate();
    QVERIFY(app.process->waitForFinished(static_cast<int>(kPatience.count())));
    QCOMPARE(app.process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.process->exitCode(), 0);
    // The server drops a client's windows once it notices the client left.
    QVERIFY(eventually([&] { return !embedded(tree(display)); }));
  }

  // A status-notifier watcher that keeps its name and answers nothing, as a
  // hung desktop service does. A launch at log-in doesn't wait on it: with no
  // icon to live in, it opens its window. Once the watcher answers, the
  // icon goes to it; when it hangs again, closing the window leaves the app
  // running in its tray, and its event loop free: a second launch hands over
  // and the window comes back.
  void aHungTrayWatcherNeitherFreezesNorEndsTheApp() {
    Desktop desktop;
    START_DESKTOP_OR_SKIP(desktop);
    const QString& display = desktop.display;
    const QProcessEnvironment& env = desktop.env;

    Running watcher;
    desktop.launch(watcher, QStringLiteral(LARKVALE_FAKE_TRAY_WATCHER), {});
    QCOMPARE(firstLine(*watcher.process), QByteArray("ready"));
    const auto watcherPid = static_cast<pid_t>(watcher.process->processId());
    // Let go on before it is ended, however the test leaves.
    auto resumeWatcher = qScopeGuard([watcherPid] { ::kill(watcherPid, SIGCONT); });
    ::kill(watcherPid, SIGSTOP);

    Running app;
    app.process->setProcessEnvironment(env);
    app.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.process->start(QStringLiteral(LARKVALE_BINARY), {"--login-item"});
    QString main = shownMainWindow(display);
    QVERIFY(!main.isEmpty());

    ::kill(watcherPid, SIGCONT);
    QVERIFY(firstLine(*watcher.process).startsWith("registered "));
    ::kill(watcherPid, SIGSTOP);

    QVERIFY2(closeWindow(display, main), qPrintable(tree(display)));
    // Only an app whose event loop runs takes the request in time.
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(LARKVALE_BINARY), QStringList{});
    QVERIFY(second.waitForFinished(static_cast<int>(kPatience.count())));
    QCOMPARE(second.readAllStandardOutput(),
             QByteArray("Larkvale is already running; its window was brought forward.\n"));
    QCOMPARE(second.exitCode(), 0);
    // The window is made anew on the display.
    main = shownMainWindow(display);
    QVERIFY(!main.isEmpty());
    QCOMPARE(app.process->state(), QProcess::Running);

    QVERIFY(endsCleanly(*app.process));
  }

  // On X with no tray and no watcher, a launch at log-in has nowhere to live
  // but its window: it opens it, and closing it ends the app.
  void aLoginLaunchWithNoTrayShowsItsWindow() {
    Desktop desktop;
    START_DESKTOP_OR_SKIP(desktop);

    Running app;
    app.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    desktop.launch(app, QStringLiteral(LARKVALE_BINARY), {"--login-item"});
    QString main = shownMainWindow(desktop.display);
    QVERIFY(!main.isEmpty());
    QVERIFY(closeWindow(desktop.display, main));
    QVERIFY(eventually([&] { return app.process->state() == QProcess::NotRunning; }));
    QCOMPARE(app.process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.process->exitCode(), 0);
  }

  // A tray that starts after the app, as a panel that starts late at log-in
  // does, is found from the desktop's own word, with nothing asking again on
  // a clock: a status-notifier watcher from the bus's word on its name, an
  // X tray from its announcement. The icon goes to it, and closing the
  // window leaves the app running in the tray, there to take the next
  // launch.
  void aTrayThatStartsLateIsFound_data() {
    QTest::addColumn<bool>("watcher");
    QTest::newRow("a status-notifier watcher") << true;
    QTest::newRow("an X tray") << false;
  }

  void aTrayThatStartsLateIsFound() {
    QFETCH(bool, watcher);
    if (!watcher && QStandardPaths::findExecutable("trayer").isEmpty()) QSKIP("no trayer");
    Desktop desktop;
    START_DESKTOP_OR_SKIP(desktop);

    Running app;
    app.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    desktop.launch(app, QStringLiteral(LARKVALE_BINARY), {"--login-item"});
    QString main = shownMainWindow(desktop.display);
    QVERIFY(!main.isEmpty());

    Running tray;
    if (watcher) {
      desktop.launch(tray, QStringLiteral(LARKVALE_FAKE_TRAY_WATCHER), {});
      QCOMPARE(firstLine(*tray.process), QByteArray("ready"));
      QVERIFY(firstLine(*tray.process).startsWith("registered "));
    } else {
      desktop.launch(tray, "trayer", {"--edge", "top", "--align", "right"});
      QVERIFY2(eventually([&] { return embedded(tree(desktop.display)); }),
               tray.process->readAllStandardError().constData());
    }

    QVERIFY(closeWindow(desktop.display, main));
    // Without a tray the app would end at once: it is given more than the
    // time it takes to learn whether there is one.
    QTest::qWait(3000);
    QCOMPARE(app.process->state(), QProcess::Running);
    QVERIFY(served(desktop.socket(), kPatience));
    main = shownMainWindow(desktop.display);
    QVERIFY(!main.isEmpty());

    QVERIFY(endsCleanly(*app.process));
  }

  // A watcher that answers every call, but each one only after 1.5 s: the
  // toolkit's calls as it makes the icon would hold the window four times
  // as long. Until the watcher answers quickly, the app lives as it does
  // without a tray, its window open and every later launch served at once;
  // then the icon goes to the watcher.
  void aSlowTrayWatcherNeverHoldsTheWindow() {
    Desktop desktop;
    START_DESKTOP_OR_SKIP(desktop);

    Running watcher;
    desktop.launch(watcher, QStringLiteral(LARKVALE_FAKE_TRAY_WATCHER), {"--slow", "1500"});
    QCOMPARE(firstLine(*watcher.process), QByteArray("ready"));
    auto registered = [&watcher] { return watcher.process->canReadLine(); };

    Running app;
    app.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    desktop.launch(app, QStringLiteral(LARKVALE_BINARY), {"--login-item"});
    QString main;
    QVERIFY(eventually([&] {
      main = mainWindow(desktop.display);
      return registered() || (!main.isEmpty() && viewable(desktop.display, main));
    }));
    QVERIFY2(!registered(), "the icon was made while the watcher answered slowly");

    QDeadlineTimer slowWhile(12s);
    int launches = 0;
    while (!slowWhile.hasExpired()) {
      ++launches;
      QVERIFY2(served(desktop.socket(), 1s), qPrintable(QString("launch %1").arg(launches)));
      QVERIFY2(!registered(), "the icon was made while the watcher answered slowly");
      QTest::qWait(250);
    }

    ::kill(static_cast<pid_t>(watcher.process->processId()), SIGUSR1);
    QVERIFY(firstLine(*watcher.process).startsWith("registered "));
    QVERIFY(served(desktop.socket(), kPatience));

    QVERIFY(endsCleanly(*app.process));
  }
};

}  // namespace larkvale

QTEST_GUILESS_MAIN(larkvale::TrayHostTest)
#include "TrayHostTest.moc"
