#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QtTest>

#include "app/shell/AboutDialog.h"
#include "app/shell/Activation.h"
#include "app/shell/Shell.h"
#include "app/shell/SingleInstance.h"
#include "tests/app/shell/ShellTestSupport.h"

namespace larkvale {
namespace {

QWidget* window(const char* objectName) {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == QLatin1String(objectName)) return widget;
  return nullptr;
}

bool visible(const char* objectName) {
  QWidget* widget = window(objectName);
  return widget && widget->isVisible();
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private slots:
  void aLaunchByTheUserOpensTheMainWindow() {
    auto model = test::bareModel();
    Shell shell(*model, ShellParts{});
    shell.start();
    QVERIFY(!QApplication::quitOnLastWindowClosed());
    QVERIFY(visible("main"));
    QMainWindow* main = qobject_cast<QMainWindow*>(window("main"));
    QCOMPARE(main->size(), QSize(1120, 740));
    // The minimum is the content's, below the menu bar and toolbar.
    main->resize(100, 100);
    QTRY_VERIFY(main->centralWidget()->size().expandedTo(QSize(900, 600)) ==
                main->centralWidget()->size());
    QVERIFY(main->height() > 600);

    // The help window comes up whole on the main window's screen; Ctrl+W
    // closes it with or without the main window open.
    shell.openHelp();
    QWidget* help = window("help");
    QVERIFY(help->screen()->availableGeometry().contains(help->frameGeometry()));
    for (bool mainOpen : {true, false}) {
      main->setVisible(mainOpen);
      shell.openHelp();
      QVERIFY(QTest::qWaitForWindowActive(help));
      QTest::keyClick(help, Qt::Key_W, Qt::ControlModifier);
      QVERIFY(!help->isVisible());
      QCOMPARE(main->isVisible(), mainOpen);
    }
    main->show();
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
    QTest::keyClick(main, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!main->isVisible());
    main->show();

    // Closing it leaves the app running; a later launch brings it back, also
    // under a tray host that embeds the tray icon as a window of the app's.
    QWidget trayEmbed(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    trayEmbed.show();
    main->close();
    QVERIFY(WindowOpener::visibleWindows().isEmpty());
    shell.handleRequest(SingleInstance::loginItemRequest);
    QVERIFY(!main->isVisible());
    shell.handleRequest(SingleInstance::request(SingleInstance::openRequest, "host-12-34_TIME567"));
    QVERIFY(main->isVisible());
    QCOMPARE(qobject_cast<QMainWindow*>(window("main")), main);
    main->showMinimized();
    shell.handleRequest(SingleInstance::openRequest);
    QVERIFY(main->isVisible() && !main->isMinimized());

    QCOMPARE(SingleInstance::parse("open host-1_TIME9"),
             std::make_pair(QByteArray("open"), QByteArray("host-1_TIME9")));
    QCOMPARE(SingleInstance::parse("open a\tb").second, QByteArray());
    QCOMPARE(Activation::startupTime("host-1_TIME9"), 9ul);
  }

  void aLaunchAtLogInOpensNoWindowUntilANotificationIsClicked() {
    auto model = test::bareModel();
    model->setPane(Pane::inventory);
    ShellParts parts;
    parts.launchedAsLoginItem = true;
    Shell shell(*model, parts);
    shell.start();
    QVERIFY(!qobject_cast<QMainWindow*>(window("main")));
    QVERIFY(WindowOpener::visibleWindows().isEmpty());

    shell.notificationActivated(QStringLiteral("weekly-summary"));
    QCOMPARE(model->pane(), Pane::updates);
    QVERIFY(qobject_cast<QMainWindow*>(window("main"))->isVisible());
    qobject_cast<QMainWindow*>(window("main"))->close();
  }

  void theAboutPanelCountsAsNoWindow() {
    auto model = test::bareModel();
    ShellParts parts;
    parts.launchedAsLoginItem = true;
    parts.app =
        AppInfo{QStringLiteral("Larkvale"), QStringLiteral("Larkvale"), QStringLiteral("0.1.0")};
    Shell shell(*model, parts);
    shell.showAbout();
    QVERIFY(visible("about"));
    QVERIFY(WindowOpener::visibleWindows().isEmpty());
    auto* credits = window("about")->findChild<QLabel*>("aboutCredits");
    QCOMPARE(credits->text(),
             QString::fromUtf8(
                 "Every app update in one place, and a Moving day checklist for your next Mac.\n"
                 "Larkvale asks only each app's own update feed, Apple's App Store lookup, GitHub "
                 "and Homebrew. It never installs anything by itself and sends nothing about "
                 "you.\nIts own updates come through Check for Updates\u2026"));
    QCOMPARE(window("about")->findChild<QLabel*>("aboutVersion")->text(),
             QStringLiteral("Version 0.1.0"));
    // The credits follow the palette when the theme changes.
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa8));
    QApplication::setPalette(dark);
    QTRY_COMPARE(credits->palette().color(credits->foregroundRole()), QColor(0xa0, 0xa0, 0xa8));
    QApplication::setPalette(before);

    // With only a dialog in view, a later launch opens the main window.
    shell.handleRequest(SingleInstance::openRequest);
    QVERIFY(visible("main"));
    window("about")->close();
    qobject_cast<QMainWindow*>(window("main"))->close();
  }
};

}  // namespace larkvale

QTEST_MAIN(larkvale::ShellTest)
#include "ShellTest.moc"
