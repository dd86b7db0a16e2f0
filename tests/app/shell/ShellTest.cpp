#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QtTest>

#include "Pennant/view/MoreAppsWindow.h"

#include "app/shell/AboutDialog.h"
#include "app/shell/Activation.h"
#include "app/shell/Shell.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/UpdaterDialogs.h"
#include "app/ui/Tints.h"
#include "tests/app/AppRig.h"
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

ShellParts withTray() {
  ShellParts parts;
  parts.trayAvailable = [] { return true; };
  return parts;
}

// A life in the tray from a launch at log-in: no window open, with the
// rig's notifications.
ShellParts trayLife(const test::Rig& rig) {
  ShellParts parts = withTray();
  parts.launchedAsLoginItem = true;
  parts.notifications = rig.fakes.notifications;
  return parts;
}

// Counts the requests to end the app instead of ending it.
class CountingShell : public Shell {
 public:
  using Shell::Shell;
  int quits = 0;
  void quit() override { ++quits; }
};

void settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private slots:
  void aLaunchByTheUserOpensTheMainWindow() {
    auto model = test::bareModel();
    Shell shell(*model, withTray());
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
    ShellParts parts = withTray();
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
    ShellParts parts = withTray();
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
    // The credits are dimmed text of the palette in use, also under a dark
    // theme that sets no placeholder colour (whose default is dark grey).
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    QApplication::setPalette(dark);
    QTRY_COMPARE(credits->palette().color(credits->foregroundRole()),
                 ui::Tints::secondaryText(dark));
    QApplication::setPalette(before);
    QTRY_COMPARE(credits->palette().color(credits->foregroundRole()),
                 ui::Tints::secondaryText(before));

    // With only a dialog in view, a later launch opens the main window.
    shell.handleRequest(SingleInstance::openRequest);
    QVERIFY(visible("main"));
    window("about")->close();
    qobject_cast<QMainWindow*>(window("main"))->close();
  }

  // Where the desktop has no tray, nothing of the app is left out of sight:
  // a launch at log-in shows the main window, and closing the last window
  // ends the app. A minimised window is still in the task list; a dialog
  // holds nothing. Whether there is a tray is asked at each close.
  void withoutATrayTheLastWindowEndsTheApp() {
    auto model = test::bareModel();
    bool tray = false;
    ShellParts parts;
    parts.launchedAsLoginItem = true;
    parts.trayAvailable = [&tray] { return tray; };
    CountingShell shell(*model, parts);
    shell.start();
    QVERIFY(visible("main"));
    QWidget* main = window("main");

    shell.openHelp();
    main->showMinimized();
    window("help")->close();
    settle();
    QCOMPARE(shell.quits, 0);

    main->showNormal();
    tray = true;
    main->close();
    settle();
    QCOMPARE(shell.quits, 0);

    tray = false;
    shell.openMainWindow();
    shell.showAbout();
    main->close();
    QTRY_COMPARE(shell.quits, 1);
    window("about")->close();
  }

  // Where the tray is learnt as the app goes, nothing waits for it: a launch
  // at log-in opens its window only once the answer says there is no tray,
  // or no icon of its own to live in; the icon is made when the desktop lets
  // it be made without waiting. At a close, the app ends only if the answer
  // says no tray and no window was opened meanwhile.
  void aTrayLearntLaterIsNeverWaitedFor() {
    struct Case {
      bool iconMade;
      bool tray;
      bool windowOpens;
    };
    for (const Case& c :
         {Case{true, true, false}, Case{false, true, true}, Case{true, false, true}}) {
      auto model = test::bareModel();
      std::vector<std::function<void(bool)>> asked;
      std::function<void()> make;
      ShellParts parts;
      parts.launchedAsLoginItem = true;
      parts.askTray = [&asked](std::function<void(bool)> answer) { asked.push_back(answer); };
      parts.whenTrayIconMayBeMade = [&make](std::function<void()> m) { make = m; };
      CountingShell shell(*model, parts);
      shell.start();
      QVERIFY(!shell.tray() && make);
      QCOMPARE(asked.size(), size_t(1));
      QVERIFY(!visible("main"));
      if (c.iconMade) make();
      QCOMPARE(shell.tray() != nullptr, c.iconMade);
      asked[0](c.tray);
      QCOMPARE(visible("main"), c.windowOpens);
      if (!c.windowOpens) continue;

      QWidget* main = window("main");
      main->close();
      QTRY_COMPARE(asked.size(), size_t(2));
      asked[1](false);
      QCOMPARE(shell.quits, 1);
      main->show();
      main->close();
      QTRY_COMPARE(asked.size(), size_t(3));
      shell.openMainWindow();
      asked[2](false);
      QCOMPARE(shell.quits, 1);
      main->close();
      QTRY_COMPARE(asked.size(), size_t(4));
      asked[3](c.iconMade);
      QCOMPARE(shell.quits, c.iconMade ? 1 : 2);
    }
  }

  // The catalogue's window opened from a credit footer closes with Ctrl+W
  // as when the menus open it, and a row's link that the desktop can't
  // open is said in the notice, as every failed open is.
  void theCatalogueFromAFooterClosesWithCtrlWAndSaysAFailedOpen() {
    test::Rig rig;
    rig.fakes.workspace->failure = "No browser is set.";
    pennant::MoreAppsConfig config = moreAppsConfig();
    config.allowsNetwork = false;
    pennant::MoreAppsCatalogue catalogue(
        config, pennant::MoreAppsLoader{.cacheDirectory = rig.tmp.mkdir("catalogue")},
        catalogueHooks(*rig.model));
    std::unique_ptr<QWidget> footer(makeMoreAppsFooter(catalogue));
    QTest::mouseClick(footer->findChild<QPushButton*>("moreAppsButton"), Qt::LeftButton);
    QWidget* shown = catalogue.window();
    QVERIFY(QTest::qWaitForWindowActive(shown));

    auto* rows = shown->findChild<QListView*>("moreAppsList");
    const QRect first = rows->visualRect(rows->model()->index(0, 0));
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, first.center());
    QCOMPARE(rig.fakes.workspace->opened.size(), size_t(1));
    QTRY_COMPARE(rig.notice(), std::string("Couldn't open the link. No browser is set."));
    QVERIFY(rig.model->notice()->isError);

    QTest::keyClick(shown, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!shown->isVisible());
  }

  // "Open Download Page" of the own update's offer opens through the
  // model: a page the desktop can't open is said in the notice. With the
  // main window closed and no notification service to take it, the main
  // window opens with that notice.
  void theOwnUpdatesPageOpensThroughTheModel() {
    test::Rig rig;
    rig.fakes.workspace->failure = "No browser is set.";
    rig.fakes.notifications->serviceThere = false;
    AppModel::setShared(rig.model.get());
    Shell shell(*rig.model, trayLife(rig));
    shell.start();
    UpdaterDialogs dialogs;
    dialogs.offer(OwnRelease{"2.0", std::nullopt, "https://example.com/larkvale/2.0"},
                  AppInfo{QStringLiteral("Larkvale"), std::nullopt, QStringLiteral("1.0")});
    auto* open = window("ownUpdateOffer")->findChild<QPushButton*>("ownUpdateOpenPage");
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(rig.fakes.workspace->opened,
             std::vector<std::string>{"https://example.com/larkvale/2.0"});
    QTRY_COMPARE(rig.notice(), std::string("Couldn't open the link. No browser is set."));
    QCOMPARE(rig.fakes.notifications->posted.size(), size_t(1));
    QTRY_VERIFY(visible("main"));
    QCOMPARE(window("main")->findChild<QLabel*>("noticeText")->text(),
             QStringLiteral("Couldn't open the link. No browser is set."));
    AppModel::setShared(nullptr);
  }

  // A failure said while the main window is out of view reaches the user as
  // a desktop notification, one per failure (a row opened again after the
  // first one was dismissed is posted again), and the window stays as it
  // was; a click on the notification brings the window on the pane it had.
  // With the window in view, and for an ordinary notice, nothing is posted.
  // A minimised window shows no notice either.
  void aFailureOutOfViewIsPostedToTheDesktop() {
    test::Rig rig;
    rig.fakes.workspace->failure = "No browser is set.";
    rig.model->setPane(Pane::inventory);
    pennant::MoreAppsConfig config = moreAppsConfig();
    config.allowsNetwork = false;
    pennant::MoreAppsCatalogue catalogue(
        config, pennant::MoreAppsLoader{.cacheDirectory = rig.tmp.mkdir("catalogue")},
        catalogueHooks(*rig.model));
    ShellParts parts = trayLife(rig);
    parts.showMoreApps = [&catalogue] { catalogue.showMoreAppsWindow(); };
    Shell shell(*rig.model, parts);
    shell.start();
    shell.showMoreApps();  // as the tray's "More Mac Apps…" does
    auto* rows = catalogue.window()->findChild<QListView*>("moreAppsList");
    QSignalSpy notices(rig.model.get(), &AppModel::noted);
    QSignalSpy changes(rig.model.get(), &AppModel::noticeChanged);
    auto openFirstRow = [&] {
      const int before = int(notices.size());
      const QRect first = rows->visualRect(rows->model()->index(0, 0));
      QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, first.center());
      QTRY_COMPARE(notices.size(), before + 1);
    };
    const auto& posted = rig.fakes.notifications->posted;
    const test::FakeNotifications::Posted failure{"failure", "Larkvale",
                                                  "Couldn't open the link. No browser is set."};

    openFirstRow();
    openFirstRow();
    QCOMPARE(posted, (std::vector{failure, failure}));
    QCOMPARE(changes.size(), 1);  // the same failure twice: one change of the notice
    QVERIFY(!visible("main"));
    rig.model->clearSavedFeeds();
    QCOMPARE(posted.size(), size_t(2));
    QVERIFY(!visible("main"));

    shell.notificationActivated(QString::fromLatin1(Shell::kFailureNotification));
    QVERIFY(visible("main"));
    QCOMPARE(rig.model->pane(), Pane::inventory);
    openFirstRow();
    QCOMPARE(posted.size(), size_t(2));

    QWidget* main = window("main");
    main->showMinimized();
    openFirstRow();
    QCOMPARE(posted.size(), size_t(3));
    QVERIFY(main->isMinimized());
    main->close();
    catalogue.window()->close();
  }

  // Closing the main window hides it (it is kept for the next opening): a
  // failure said after that is out of view as before the window was first
  // opened.
  void aFailureAfterTheMainWindowWasClosedIsPosted() {
    test::Rig rig;
    rig.fakes.workspace->failure = "No browser is set.";
    Shell shell(*rig.model, trayLife(rig));
    shell.start();
    shell.openMainWindow();
    QWidget* main = window("main");
    QVERIFY(main->isVisible());
    rig.model->openLink("https://example.com/");
    QTRY_COMPARE(rig.notice(), std::string("Couldn't open the link. No browser is set."));
    QVERIFY(rig.fakes.notifications->posted.empty());

    main->close();
    QCOMPARE(window("main"), main);
    rig.model->openLink("https://example.com/");
    QTRY_COMPARE(rig.fakes.notifications->posted.size(), size_t(1));
    QVERIFY(!main->isVisible());
  }

  // A failure carried to the desktop is taken back there when the model
  // withdraws it; not when another notice has taken its place.
  void aCarriedFailureIsTakenBackWhenItEnds() {
    test::Rig rig;
    Shell shell(*rig.model, trayLife(rig));
    shell.start();
    auto toggle = [&rig] { rig.model->setShowUpToDate(!rig.model->state().settings.showUpToDate); };
    rig.fakes.store->failSave = "Disk full.";
    toggle();
    QTRY_COMPARE(rig.fakes.notifications->posted.size(), size_t(1));
    rig.fakes.store->failSave.reset();
    toggle();
    QCOMPARE(rig.fakes.notifications->withdrawn, std::vector<std::string>{"failure"});

    // A notice that was never carried is withdrawn: the one carried stays,
    // still true.
    rig.fakes.store->failSave = "Disk full.";
    toggle();
    QTRY_COMPARE(rig.fakes.notifications->posted.size(), size_t(2));
    shell.openMainWindow();
    rig.fakes.loginItem->refuse = "Not allowed.";
    rig.model->setLoginItem(true);
    QVERIFY(rig.notice().starts_with("The desktop didn't change the login item"));
    rig.fakes.loginItem->refuse.reset();
    rig.model->setLoginItem(true);
    QVERIFY(!rig.model->notice());
    QCOMPARE(rig.fakes.notifications->posted.size(), size_t(2));
    QCOMPARE(rig.fakes.notifications->withdrawn.size(), size_t(1));
  }

  // The carried failure goes when its state ends, even after a check's
  // outcome has taken its place in the window (and stays there).
  void aCarriedFailureGoesWithItsStateUnderANewerNotice() {
    test::Rig rig;
    Shell shell(*rig.model, trayLife(rig));
    shell.start();
    rig.fakes.store->failSave = "Disk full.";
    rig.model->setShowUpToDate(!rig.model->state().settings.showUpToDate);
    QTRY_COMPARE(rig.fakes.notifications->posted.size(), size_t(1));
    QCOMPARE(rig.fakes.notifications->posted[0].body,
             std::string("Couldn't save settings: Disk full."));

    rig.fakes.store->failSave.reset();
    rig.fakes.checker->setReport(
        CheckReport{rig.fakes.clock->now(), {test::update("Alpha")}, true, {}});
    QVERIFY(test::waitFor(rig.model->check()));
    QCOMPARE(rig.notice(), std::string("1 update waiting."));
    QCOMPARE(rig.fakes.notifications->withdrawn, std::vector<std::string>{"failure"});
    QCOMPARE(rig.fakes.notifications->posted.size(), size_t(1));
  }
};

}  // namespace larkvale

QTEST_MAIN(larkvale::ShellTest)
#include "ShellTest.moc"
