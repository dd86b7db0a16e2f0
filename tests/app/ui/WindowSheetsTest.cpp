// The two sheets of the main window follow the model's requests both ways,
// and the help window hosts its content.
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "app/ui/HelpWindow.h"
#include "app/ui/MainWindow.h"
#include "tests/app/ui/WindowFixtures.h"

using namespace larkvale;

class WindowSheetsTest : public QObject {
  Q_OBJECT

  static void showWindow(MainWindow& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
  }

 private slots:
  void holdSheetFollowsTheRequest() {
    AppModel model{AppServices{}};
    test::TestScreens screens;
    MainWindow window(model, screens.screens());
    showWindow(window);
    QCOMPARE(window.holdSheet(), nullptr);

    // Closed by the user: the request goes.
    model.setHoldRequest(test::update("Alpha"));
    QPointer<QDialog> sheet = window.holdSheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->objectName(), QStringLiteral("holdSheet"));
    QCOMPARE(sheet->windowTitle(), QStringLiteral("Alpha"));
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    QVERIFY(sheet->isVisible());
    sheet->reject();
    QCOMPARE(model.holdRequest(), std::nullopt);
    QTRY_VERIFY(sheet.isNull());

    // Cleared by the model: the sheet goes.
    model.setHoldRequest(test::update("Alpha"));
    sheet = window.holdSheet();
    model.setHoldRequest(std::nullopt);
    QCOMPARE(window.holdSheet(), nullptr);
    QTRY_VERIFY(sheet.isNull());

    // Another app asked for: a new sheet for it, and the request stays.
    model.setHoldRequest(test::update("Alpha"));
    sheet = window.holdSheet();
    model.setHoldRequest(test::update("Beta"));
    QTRY_VERIFY(sheet.isNull());
    QVERIFY(window.holdSheet());
    QCOMPARE(window.holdSheet()->windowTitle(), QStringLiteral("Beta"));
    QCOMPARE(model.holdRequest()->app.name, "Beta");

    // The same app again keeps its sheet.
    sheet = window.holdSheet();
    AppUpdate changed = test::update("Beta");
    changed.latestVersion = "3.0";
    model.setHoldRequest(changed);
    QCOMPARE(window.holdSheet(), sheet.data());
  }

  void safeSheetFollowsTheFlag() {
    AppModel model{AppServices{}};
    test::TestScreens screens;
    MainWindow window(model, screens.screens());
    showWindow(window);

    model.setSafeSheet(true);
    QPointer<QDialog> sheet = window.safeSheet();
    QVERIFY(sheet && sheet->isVisible());
    QCOMPARE(sheet->objectName(), QStringLiteral("safeSheet"));
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    sheet->accept();
    QCOMPARE(model.safeSheet(), false);
    QTRY_VERIFY(sheet.isNull());

    model.setSafeSheet(true);
    sheet = window.safeSheet();
    model.setSafeSheet(false);
    QCOMPARE(window.safeSheet(), nullptr);
    QTRY_VERIFY(sheet.isNull());
  }

  void requestsWaitForTheWindowToShow() {
    AppModel model{AppServices{}};
    model.setHoldRequest(test::update("Alpha"));
    model.setSafeSheet(true);
    test::TestScreens screens;
    MainWindow window(model, screens.screens());
    QCOMPARE(window.holdSheet(), nullptr);
    showWindow(window);
    QTRY_VERIFY(window.holdSheet() && window.safeSheet());
    QCOMPARE(window.holdSheet()->windowTitle(), QStringLiteral("Alpha"));
  }

  void missingSheetsShowAPlaceholderThatClosesAlike() {
    AppModel model{AppServices{}};
    MainWindow window(model, Screens{});
    showWindow(window);
    model.setHoldRequest(test::update("Alpha"));
    model.setSafeSheet(true);
    for (QDialog* sheet : {window.holdSheet(), window.safeSheet()}) {
      QVERIFY(sheet);
      QCOMPARE(sheet->objectName(), QStringLiteral("placeholderSheet"));
      sheet->reject();
    }
    QCOMPARE(model.holdRequest(), std::nullopt);
    QCOMPARE(model.safeSheet(), false);
  }

  void helpWindowHostsItsContent() {
    Screens screens;
    screens.help = [](QWidget* parent) {
      auto* page = new QLabel(QStringLiteral("Help text"), parent);
      page->setObjectName(QStringLiteral("helpContent"));
      return page;
    };
    HelpWindow help(screens);
    QCOMPARE(help.objectName(), QStringLiteral("help"));
    QCOMPARE(help.windowTitle(), QStringLiteral("Larkvale Help"));
    QCOMPARE(help.size(), QSize(760, 580));
    QVERIFY(help.isWindow());
    QVERIFY(help.findChild<QLabel*>(QStringLiteral("helpContent")));

    HelpWindow empty{Screens{}};
    QVERIFY(empty.findChild<QWidget*>(QStringLiteral("placeholder")));
  }
};

QTEST_MAIN(WindowSheetsTest)
#include "WindowSheetsTest.moc"
