#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QtTest>

#include "app/shell/AboutDialog.h"
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
    QMainWindow* main = shell.windows().mainWindow();
    QCOMPARE(main->size(), QSize(1120, 740));
    QCOMPARE(main->minimumSize(), QSize(900, 600));

    // Closing it leaves the app running; a later launch brings it back.
    main->close();
    QVERIFY(!WindowOpener::anyWindowVisible());
    shell.handleRequest(SingleInstance::loginItemRequest);
    QVERIFY(!main->isVisible());
    shell.handleRequest(SingleInstance::openRequest);
    QVERIFY(main->isVisible());
    QCOMPARE(shell.windows().mainWindow(), main);
  }

  void aLaunchAtLogInOpensNoWindowUntilANotificationIsClicked() {
    auto model = test::bareModel();
    model->setPane(Pane::inventory);
    ShellParts parts;
    parts.launchedAsLoginItem = true;
    Shell shell(*model, parts);
    shell.start();
    QVERIFY(!shell.windows().mainWindow());
    QVERIFY(!WindowOpener::anyWindowVisible());

    shell.notificationActivated(QStringLiteral("weekly-summary"));
    QCOMPARE(model->pane(), Pane::updates);
    QVERIFY(shell.windows().mainWindow()->isVisible());
    shell.windows().mainWindow()->close();
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
    QVERIFY(!WindowOpener::anyWindowVisible());
    auto* credits = window("about")->findChild<QLabel*>("aboutCredits");
    QCOMPARE(credits->text(),
             QString::fromUtf8(
                 "Every app update in one place, and a Moving day checklist for your next Mac.\n"
                 "Larkvale asks only each app's own update feed, Apple's App Store lookup, GitHub "
                 "and Homebrew. It never installs anything by itself and sends nothing about "
                 "you.\nIts own updates come through Check for Updates\u2026"));
    QCOMPARE(window("about")->findChild<QLabel*>("aboutVersion")->text(),
             QStringLiteral("Version 0.1.0"));

    // With only a dialog in view, a later launch opens the main window.
    shell.handleRequest(SingleInstance::openRequest);
    QVERIFY(visible("main"));
    window("about")->close();
    shell.windows().mainWindow()->close();
  }
};

}  // namespace larkvale

QTEST_MAIN(larkvale::ShellTest)
#include "ShellTest.moc"
