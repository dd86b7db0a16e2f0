// What MenuBaseline puts into a menu bar, and what its two commands do.
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "Skirting/Language.h"
#include "Skirting/MenuBaseline.h"

using skirting::CloseWindowAction;
using skirting::MenuBaseline;
using skirting::MenuHelp;

namespace {

QStringList titles(const QMenu* menu) {
  QStringList out;
  for (const QAction* action : menu->actions()) {
    out << (action->isSeparator() ? QStringLiteral("---") : action->text());
  }
  return out;
}

QMenu* menu(QMenuBar& bar, const char* name) {
  return bar.findChild<QMenu*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

QAction* action(QMenuBar& bar, const char* name) {
  return bar.findChild<QAction*>(name);
}

}  // namespace

class MenuBaselineTest : public QObject {
  Q_OBJECT

  const QString closeTitle = skirting::closeWindowTitle(skirting::uiLanguage());
  const QString helpTitle = skirting::helpTitle("Larkvale", skirting::uiLanguage());

 private slots:
  void closeGoesBeforeTheSaveGroupAndInstallsOnce() {
    QMenuBar bar;
    auto* file = bar.addMenu("File");
    file->setObjectName(MenuBaseline::fileMenuName);
    QAction* exportMarkdown = file->addAction("Export Moving Day as Markdown…");
    file->addAction("Export Moving Day as PDF…");
    auto* help = bar.addMenu("Help");
    help->setObjectName(MenuBaseline::helpMenuName);
    help->addAction("Host help");

    MenuBaseline baseline(CloseWindowAction::standard(), std::nullopt);
    baseline.install(bar, exportMarkdown);
    baseline.install(bar, exportMarkdown);  // as when the host rebuilds its menus

    QCOMPARE(titles(file), (QStringList{closeTitle, "Export Moving Day as Markdown…",
                                        "Export Moving Day as PDF…"}));
    QCOMPARE(bar.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly).size(), 2);
    QCOMPARE(titles(help), QStringList{"Host help"});  // without help of its own, left alone
    QCOMPARE(action(bar, MenuBaseline::closeActionName)->shortcut(), QKeySequence("Ctrl+W"));
  }

  void helpMenuHoldsHelpThenExtraItems() {
    QMenuBar bar;
    int helpRuns = 0;
    int extraRuns = 0;
    MenuBaseline baseline(CloseWindowAction::standard(),
                          MenuHelp("Larkvale", QKeySequence(Qt::Key_F1), [&] { ++helpRuns; }),
                          [&](QMenu& menu) {
                            QAction* more = menu.addAction("More Mac Apps…");
                            more->setObjectName("moreMacAppsAction");
                            connect(more, &QAction::triggered, [&] { ++extraRuns; });
                          });
    baseline.install(bar);
    baseline.install(bar);

    QMenu* help = menu(bar, MenuBaseline::helpMenuName);
    QCOMPARE(titles(help), (QStringList{helpTitle, "More Mac Apps…"}));
    QAction* helpItem = action(bar, MenuBaseline::helpActionName);
    QCOMPARE(helpItem->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(helpItem->shortcutContext(), Qt::ApplicationShortcut);
    helpItem->trigger();
    action(bar, "moreMacAppsAction")->trigger();
    QCOMPARE(helpRuns, 1);
    QCOMPARE(extraRuns, 1);
  }

  void standardCloseClosesTheActiveWindowOnly() {
    QMainWindow main;
    QWidget other;
    main.show();
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));

    MenuBaseline(CloseWindowAction::standard(), std::nullopt).install(*main.menuBar());
    action(*main.menuBar(), MenuBaseline::closeActionName)->trigger();

    QVERIFY(!other.isVisible());
    QVERIFY(main.isVisible());
  }
};

QTEST_MAIN(MenuBaselineTest)
#include "MenuBaselineTest.moc"
