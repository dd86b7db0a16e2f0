#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QtTest>

#include "app/shell/MainMenu.h"
#include "tests/app/shell/ShellTestSupport.h"

namespace larkvale {
namespace {

using MainMenu::Item;

Item item(const AppModel& model, const QString& objectName) {
  for (const MainMenu::Menu& menu : MainMenu::menus(model))
    for (const Item& entry : menu.items)
      if (entry.objectName == objectName) return entry;
  qWarning("no item %s", qPrintable(objectName));
  return {};
}

bool enabled(const AppModel& model, const char* objectName) {
  return item(model, QString::fromLatin1(objectName)).enabled;
}

QStringList titles(const QMenu& menu) {
  QStringList out;
  for (QAction* action : menu.actions()) out << (action->isSeparator() ? "---" : action->text());
  return out;
}

}  // namespace

class MainMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void beforeTheFirstCheckOnlyCheckNowWorks() {
    auto model = test::bareModel();
    QVERIFY(enabled(*model, "checkNowAction"));
    for (const char* name : {"updateAllSafeAction", "skipVersionAction", "holdAction",
                             "exportMarkdownAction", "exportPDFAction"}) {
      QVERIFY2(!enabled(*model, name), name);
    }
  }

  void skipAndHoldFollowTheSelectedUpdate_data() {
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("skip");
    QTest::addColumn<bool>("hold");
    QTest::newRow("nothing selected") << "" << false << false;
    QTest::newRow("an update") << "Waiting" << true << true;
    QTest::newRow("up to date") << "Current" << false << true;
    QTest::newRow("not checked") << "Unknown" << false << true;
    QTest::newRow("a path no row has") << "Gone" << false << false;
  }
  void skipAndHoldFollowTheSelectedUpdate() {
    QFETCH(QString, selected);
    QFETCH(bool, skip);
    QFETCH(bool, hold);
    auto model = test::bareModel();
    model->setState(test::stateWith(
        {test::cask("Waiting", "waiting"),
         test::update("Current", UpdateStatus::upToDate(), UpdateSource::homebrew("current")),
         test::update("Unknown", UpdateStatus::notChecked("no answer"), UpdateSource::unknown())}));
    if (!selected.isEmpty()) model->setSelection("/Applications/" + selected + ".app");
    QCOMPARE(enabled(*model, "skipVersionAction"), skip);
    QCOMPARE(enabled(*model, "holdAction"), hold);
    QVERIFY(enabled(*model, "updateAllSafeAction"));

    test::RecordingShell shell;
    MainMenu::run(item(*model, "holdAction"), *model, shell);
    QCOMPARE(model->holdRequest().has_value(), hold);
  }

  void goMenuListsEveryPaneWithItsShortcut() {
    auto model = test::bareModel();
    MainMenu::Menu go = MainMenu::menus(*model)[3];
    QCOMPARE(go.title, QStringLiteral("&Go"));
    QStringList names;
    for (const Item& entry : go.items) names << entry.title;
    QCOMPARE(names,
             (QStringList{"Updates", "All Apps", "Skipped & Held", "History", "Inventory",
                          "Restore Checklist", "Copy Settings", "New Mac Check", "Settings"}));
    QCOMPARE(go.items[2].shortcut, QKeySequence(QStringLiteral("Ctrl+3")));

    test::RecordingShell shell;
    MainMenu::run(go.items[2], *model, shell);
    QCOMPARE(model->pane(), Pane::held);
  }

  void theBarHoldsTheMenusAndUniqueShortcuts() {
    auto model = test::bareModel();
    test::RecordingShell shell;
    QMainWindow window;
    MainMenu::install(*window.menuBar(), *model, shell);

    QStringList menus;
    for (QAction* action : window.menuBar()->actions()) menus << action->text();
    QCOMPARE(menus, (QStringList{"&Larkvale", "&File", "&Updates", "&Go", "&Help"}));
    auto* file = window.menuBar()->findChild<QMenu*>("fileMenu");
    QCOMPARE(titles(*file), (QStringList{"Close Window", "Export Moving Day as Markdown…",
                                         "Export Moving Day as PDF…"}));
    auto* help = window.menuBar()->findChild<QMenu*>("helpMenu");
    QCOMPARE(titles(*help), (QStringList{"Larkvale Help", "More Mac Apps…"}));

    QSet<QKeySequence> seen;
    for (QAction* action : window.menuBar()->findChildren<QAction*>()) {
      if (action->shortcut().isEmpty()) continue;
      QVERIFY2(!seen.contains(action->shortcut()), qPrintable(action->shortcut().toString()));
      seen.insert(action->shortcut());
    }
    QCOMPARE(seen.size(), 9 + 6);  // panes; R, Shift+U, Shift+E, W, ?, Q
    // A pane's title is plain text: its "&" marks no mnemonic.
    auto* held = window.menuBar()->findChild<QAction*>("go_held");
    QVERIFY(QKeySequence::mnemonic(held->text()).isEmpty());

    // The enabled state follows the model without rebuilding the bar.
    auto* safe = window.menuBar()->findChild<QAction*>("updateAllSafeAction");
    QVERIFY(!safe->isEnabled());
    model->setState(test::stateWith(test::waitingCasks(1)));
    QVERIFY(safe->isEnabled());

    window.menuBar()->findChild<QAction*>("helpAction")->trigger();
    window.menuBar()->findChild<QAction*>("moreAppsAction")->trigger();
    window.menuBar()->findChild<QAction*>("aboutAction")->trigger();
    window.menuBar()->findChild<QAction*>("ownUpdatesAction")->trigger();
    QCOMPARE(shell.calls,
             (QStringList{"openHelp", "showMoreApps", "showAbout", "checkOwnUpdates"}));
  }

  void paneShortcutsAnswerInTheWindow() {
    auto model = test::bareModel();
    test::RecordingShell shell;
    QMainWindow window;
    MainMenu::install(*window.menuBar(), *model, shell);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(model->pane(), Pane::held);
    QTest::keyClick(&window, Qt::Key_F1);
    QCOMPARE(shell.calls, (QStringList{"openHelp"}));
  }
};

}  // namespace larkvale

QTEST_MAIN(larkvale::MainMenuTest)
#include "MainMenuTest.moc"
