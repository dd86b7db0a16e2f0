// The main window frame: size, the detail column's pages and placeholders,
// the search field, the notice bar and the toolbar.
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "app/window/MainWindow.h"
#include "app/window/PaneStack.h"
#include "tests/app/window/WindowFixtures.h"
#include "tests/support/FakeServices.h"

using namespace larkvale;

class WindowFrameTest : public QObject {
  Q_OBJECT

  template <typename T = QWidget>
  static T* find(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no widget named %s", name);
    return found;
  }

 private slots:
  void buildsEachPaneOnceAndNamesMissingOnes() {
    AppModel model{AppServices{}};
    test::TestScreens screens;
    MainWindow window(model, screens.screens());
    auto* stack = find<PaneStack>(window, "paneStack");
    QCOMPARE(screens.built, (std::map<Pane, int>{{Pane::updates, 1}}));
    for (int round = 0; round < 2; ++round) {
      for (Pane pane : Panes::all) model.setPane(pane);
    }
    for (Pane pane : Panes::all) QCOMPARE(screens.built[pane], 1);
    QCOMPARE(stack->currentWidget(), stack->page(Pane::settings));

    // History and Settings scroll, padded 24 px; the others are the screen.
    for (Pane pane : {Pane::history, Pane::settings}) {
      auto* scroll = qobject_cast<QScrollArea*>(stack->page(pane));
      QVERIFY(scroll);
      QCOMPARE(scroll->widget()->layout()->contentsMargins(), QMargins(24, 24, 24, 24));
      QCOMPARE(scroll->widget()->findChildren<QWidget*>().first()->objectName(),
               QStringLiteral("screen-") + QLatin1String(Panes::rawValue(pane)));
    }
    QCOMPARE(stack->page(Pane::carry)->objectName(), QStringLiteral("screen-carry"));

    // No factory, or one that gives nothing: a page naming the pane.
    Screens some;
    some.pane = [](Pane pane, AppModel&, QWidget* parent) {
      return pane == Pane::checklist ? new QWidget(parent) : nullptr;
    };
    MainWindow bare(model, some);
    auto* placeholder = find<PaneStack>(bare, "paneStack")->page(Pane::settings);
    QCOMPARE(placeholder->findChild<QLabel*>()->text(), QStringLiteral("Settings"));
    model.setPane(Pane::inventory);
    QCOMPARE(find<PaneStack>(bare, "paneStack")->page(Pane::inventory)->objectName(),
             QStringLiteral("placeholder"));
  }

  void searchFieldAndModelMirrorEachOther() {
    AppModel model{AppServices{}};
    MainWindow window(model, Screens{});
    auto* field = find<QLineEdit>(window, "search");
    QCOMPARE(field->placeholderText(), QStringLiteral("Find an app"));
    QSignalSpy changes(&model, &AppModel::searchChanged);
    QTest::keyClicks(field, QStringLiteral("Fire"));
    QCOMPARE(model.search(), QStringLiteral("Fire"));
    model.setSearch(QStringLiteral("Safari"));
    QCOMPARE(field->text(), QStringLiteral("Safari"));
    field->clear();
    QCOMPARE(model.search(), QString());
    QCOMPARE(changes.size(), 6);  // one per keystroke, the model's change, the clear
  }

  void noticeBarShowsTheNoticeUntilDismissed() {
    AppModel model{AppServices{}};
    MainWindow window(model, Screens{});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget* bar = find(window, "notice");
    auto* text = find<QLabel>(window, "noticeText");
    QVERIFY(!bar->isVisible());

    model.setNotice(Notice{"Checked 12 apps. 3 updates waiting.", false});
    QVERIFY(bar->isVisible());
    QCOMPARE(text->text(), QStringLiteral("Checked 12 apps. 3 updates waiting."));
    QCOMPARE(bar->property("isError").toBool(), false);
    QVERIFY(find(window, "noticeIcon")->isVisible() &&
            !find(window, "noticeErrorIcon")->isVisible());

    // An error replaces it in place; markup shows as typed.
    model.setNotice(Notice{"Couldn't save settings: <b>disk full</b>", true});
    QCOMPARE(text->text(), QStringLiteral("Couldn't save settings: <b>disk full</b>"));
    QCOMPARE(text->textFormat(), Qt::PlainText);
    QCOMPARE(bar->property("isError").toBool(), true);
    QVERIFY(!find(window, "noticeIcon")->isVisible() &&
            find(window, "noticeErrorIcon")->isVisible());

    // A long text keeps to three lines and ends in "…"; the tooltip has it all.
    std::string longText;
    for (int i = 0; i < 80; ++i) longText += "Couldn't copy Example " + std::to_string(i) + ". ";
    model.setNotice(Notice{longText, true});
    QTRY_VERIFY(text->text().endsWith(QChar(0x2026)));
    QCOMPARE(text->toolTip(), QString::fromStdString(longText));
    QVERIFY(text->height() <= 3 * text->fontMetrics().lineSpacing() + 4);

    QTest::mouseClick(find<QToolButton>(window, "noticeDismiss"), Qt::LeftButton);
    QCOMPARE(model.notice(), std::nullopt);
    QVERIFY(!bar->isVisible());
  }

  void toolbarFollowsARunningCheck() {
    test::Fakes fakes;
    fakes.scanner->setApps({test::update("Alpha").app, test::update("Beta").app});
    fakes.scanner->scanGate.arm();
    fakes.checker->checkGate.arm();
    AppModel model(fakes.services());
    MainWindow window(model, Screens{});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* button = find<QToolButton>(window, "checkNow");
    auto* bar = find<QProgressBar>(window, "checkProgress");
    QCOMPARE(button->text(), QStringLiteral("Check Now"));
    QVERIFY(button->toolTip().startsWith(QStringLiteral("Ask every app's update source now (")));
    QVERIFY(button->isEnabled() && !bar->isVisible());

    // Before the scan has counted the apps: an empty bar against a total of 1.
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(model.checking() && !button->isEnabled());
    QTRY_VERIFY(bar->isVisible());  // the toolbar lays out its items on its next pass
    QCOMPARE(bar->maximum(), 1);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->accessibleName(), QStringLiteral("Checking 0 of 0 apps"));

    fakes.scanner->scanGate.open();
    QVERIFY(fakes.checker->checkGate.waitUntilHeld());
    QTRY_COMPARE(bar->accessibleName(), QStringLiteral("Checking 0 of 2 apps"));
    QCOMPARE(bar->maximum(), 2);

    fakes.checker->checkGate.open();
    QTRY_VERIFY_WITH_TIMEOUT(!model.checking(), 10000);
    QVERIFY(button->isEnabled());
    QTRY_VERIFY(!bar->isVisible());
  }
};

QTEST_MAIN(WindowFrameTest)
#include "WindowFrameTest.moc"
