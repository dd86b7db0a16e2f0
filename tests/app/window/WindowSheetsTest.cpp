// The two sheets of the main window follow the model's requests both ways,
// and the help window hosts its content.
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "app/window/HelpWindow.h"
#include "app/window/MainWindow.h"
#include "tests/app/window/WindowFixtures.h"

using namespace larkvale;

class WindowSheetsTest : public QObject {
  Q_OBJECT

 private slots:
  void sheetsFollowTheModelBothWays() {
    AppModel model{AppServices{}};
    test::TestScreens screens;
    MainWindow window(model, screens.screens());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Closed by the user: the request goes.
    model.setHoldRequest(test::update("Alpha"));
    model.setSafeSheet(true);
    QPointer<QDialog> hold = window.holdSheet();
    QPointer<QDialog> safe = window.safeSheet();
    QVERIFY(hold && hold->isVisible() && safe && safe->isVisible());
    QCOMPARE(hold->windowTitle(), QStringLiteral("Alpha"));
    QCOMPARE(hold->windowModality(), Qt::WindowModal);
    hold->reject();
    safe->accept();
    QCOMPARE(model.holdRequest(), std::nullopt);
    QCOMPARE(model.safeSheet(), false);
    QTRY_VERIFY(hold.isNull() && safe.isNull());

    // Cleared by the model: the sheets go.
    model.setHoldRequest(test::update("Alpha"));
    model.setSafeSheet(true);
    hold = window.holdSheet();
    safe = window.safeSheet();
    model.setHoldRequest(std::nullopt);
    model.setSafeSheet(false);
    QVERIFY(!window.holdSheet() && !window.safeSheet());
    QTRY_VERIFY(hold.isNull() && safe.isNull());

    // Another app: a new sheet, and the request stays; the same app again
    // (its update changed) keeps its sheet.
    model.setHoldRequest(test::update("Alpha"));
    hold = window.holdSheet();
    model.setHoldRequest(test::update("Beta"));
    QTRY_VERIFY(hold.isNull());
    QCOMPARE(window.holdSheet()->windowTitle(), QStringLiteral("Beta"));
    QCOMPARE(model.holdRequest()->app.name, "Beta");
    hold = window.holdSheet();
    AppUpdate changed = test::update("Beta");
    changed.latestVersion = "3.0";
    model.setHoldRequest(changed);
    QCOMPARE(window.holdSheet(), hold.data());
  }

  void requestsWaitForTheWindowAndMissingSheetsGetAPlaceholder() {
    AppModel model{AppServices{}};
    model.setHoldRequest(test::update("Alpha"));
    model.setSafeSheet(true);
    MainWindow window(model, Screens{});
    QVERIFY(!window.holdSheet());
    window.show();
    QTRY_VERIFY(window.holdSheet() && window.safeSheet());
    for (QDialog* sheet : {window.holdSheet(), window.safeSheet()}) {
      QCOMPARE(sheet->objectName(), QStringLiteral("placeholderSheet"));
      sheet->reject();
    }
    QCOMPARE(model.holdRequest(), std::nullopt);
    QCOMPARE(model.safeSheet(), false);
  }

  void helpWindowHostsItsContent() {
    Screens screens;
    screens.help = [](QWidget* parent) { return new QLabel(QStringLiteral("Help text"), parent); };
    HelpWindow help(screens);
    QCOMPARE(help.windowTitle(), QStringLiteral("Larkvale Help"));
    QCOMPARE(help.findChild<QLabel*>()->text(), QStringLiteral("Help text"));
    HelpWindow empty{Screens{}};
    QVERIFY(empty.findChild<QWidget*>(QStringLiteral("placeholder")));
  }
};

QTEST_MAIN(WindowSheetsTest)
#include "WindowSheetsTest.moc"
