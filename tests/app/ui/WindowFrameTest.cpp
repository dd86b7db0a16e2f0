// The main window frame: size, the detail column's pages and placeholders,
// the search field, the notice bar and the toolbar.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/MainWindow.h"
#include "app/ui/PaneStack.h"
#include "tests/app/ui/WindowFixtures.h"

using namespace larkvale;

class WindowFrameTest : public QObject {
  Q_OBJECT

  template <typename T>
  static T* find(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no widget named %s", name);
    return found;
  }

 private slots:
  void opensAtItsDefaultSizeAndNeverSmallerThanItsMinimum() {
    AppModel model{AppServices{}};
    MainWindow window(model, Screens{});
    QCOMPARE(window.objectName(), QStringLiteral("main"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Larkvale"));
    QCOMPARE(window.size(), QSize(1120, 740));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(400, 300);
    QCOMPARE(window.size(), QSize(900, 600));
    QVERIFY(find<QWidget>(window, "sidebar")->width() >= 190);
  }

  void buildsEachPaneOnceWhenFirstShown() {
    AppModel model{AppServices{}};
    test::TestScreens screens;
    MainWindow window(model, screens.screens());
    auto* stack = find<PaneStack>(window, "paneStack");
    QCOMPARE(screens.built, (std::map<Pane, int>{{Pane::updates, 1}}));
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("screen-updates"));

    for (Pane pane : Panes::all) model.setPane(pane);
    model.setPane(Pane::updates);
    model.setPane(Pane::history);
    for (Pane pane : Panes::all) QCOMPARE(screens.built[pane], 1);

    // History and Settings scroll, padded 24 px; the others are the screen.
    for (Pane pane : {Pane::history, Pane::settings}) {
      auto* scroll = qobject_cast<QScrollArea*>(stack->page(pane));
      QVERIFY(scroll);
      QCOMPARE(scroll->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
      QCOMPARE(scroll->widget()->layout()->contentsMargins(), QMargins(24, 24, 24, 24));
      const QString name = QStringLiteral("screen-") + QLatin1String(Panes::rawValue(pane));
      QVERIFY(scroll->widget()->findChild<QWidget*>(name));
    }
    QCOMPARE(stack->currentWidget(), stack->page(Pane::history));
    QCOMPARE(stack->page(Pane::carry)->objectName(), QStringLiteral("screen-carry"));
  }

  void namesThePaneWhereNoScreenIsGiven() {
    AppModel model{AppServices{}};
    Screens screens;
    screens.pane = [](Pane pane, AppModel&, QWidget* parent) -> QWidget* {
      return pane == Pane::inventory ? new QWidget(parent) : nullptr;
    };
    for (const Screens& given : {Screens{}, screens}) {
      MainWindow window(model, given);
      auto* stack = find<PaneStack>(window, "paneStack");
      for (Pane pane : {Pane::updates, Pane::checklist, Pane::settings}) {
        model.setPane(pane);
        auto* name = stack->page(pane)->findChild<QLabel*>(QStringLiteral("placeholderName"));
        QVERIFY(name);
        QCOMPARE(name->text(), Panes::title(pane));
      }
      model.setPane(Pane::inventory);
      QCOMPARE(stack->page(Pane::inventory)->objectName() == QStringLiteral("placeholder"),
               !given.pane);
      model.setPane(Pane::updates);
    }
  }

  void searchFieldAndModelMirrorEachOther() {
    AppModel model{AppServices{}};
    MainWindow window(model, Screens{});
    auto* field = find<QLineEdit>(window, "search");
    QCOMPARE(field->placeholderText(), QStringLiteral("Find an app"));
    QSignalSpy changes(&model, &AppModel::searchChanged);

    QTest::keyClicks(field, QStringLiteral("Fire"));
    QCOMPARE(model.search(), QStringLiteral("Fire"));
    QCOMPARE(changes.size(), 4);

    model.setSearch(QStringLiteral("Safari"));
    QCOMPARE(field->text(), QStringLiteral("Safari"));
    QCOMPARE(changes.size(), 5);

    field->clear();
    QCOMPARE(model.search(), QString());
    QCOMPARE(changes.size(), 6);

    // The text survives a new window over the same model.
    model.setSearch(QStringLiteral("Mail"));
    MainWindow again(model, Screens{});
    QCOMPARE(find<QLineEdit>(again, "search")->text(), QStringLiteral("Mail"));
  }

  void noticeBarShowsTheNoticeUntilDismissed() {
    AppModel model{AppServices{}};
    MainWindow window(model, Screens{});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* bar = find<QWidget>(window, "notice");
    auto* text = find<QLabel>(window, "noticeText");
    auto* icon = find<QLabel>(window, "noticeIcon");
    QVERIFY(!bar->isVisible());
    const int fullHeight = find<QWidget>(window, "paneStack")->height();

    model.setNotice(Notice{"Checked 12 apps. 3 updates waiting.", false});
    QVERIFY(bar->isVisible());
    QCOMPARE(text->text(), QStringLiteral("Checked 12 apps. 3 updates waiting."));
    QCOMPARE(text->textFormat(), Qt::PlainText);
    QCOMPARE(bar->property("isError").toBool(), false);
    QCOMPARE(icon->property("symbol").toString(), QStringLiteral("checkmark.circle.fill"));

    // An error replaces it in place; markup is shown as typed.
    model.setNotice(Notice{"Couldn't save settings: <b>disk full</b>", true});
    QCOMPARE(text->text(), QStringLiteral("Couldn't save settings: <b>disk full</b>"));
    QCOMPARE(bar->property("isError").toBool(), true);
    QCOMPARE(icon->property("symbol").toString(), QStringLiteral("exclamationmark.triangle.fill"));

    QTest::mouseClick(find<QToolButton>(window, "noticeDismiss"), Qt::LeftButton);
    QCOMPARE(model.notice(), std::nullopt);
    QVERIFY(!bar->isVisible());
    QTRY_COMPARE(find<QWidget>(window, "paneStack")->height(), fullHeight);
  }

  void longNoticeKeepsToThreeLines() {
    AppModel model{AppServices{}};
    MainWindow window(model, Screens{});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    std::string longText;
    for (int i = 0; i < 80; ++i)
      longText += "Couldn't copy Application Support/Example " + std::to_string(i) + ". ";
    model.setNotice(Notice{longText, true});
    auto* text = find<QLabel>(window, "noticeText");
    QTRY_VERIFY(text->text().endsWith(QChar(0x2026)));
    QCOMPARE(text->toolTip(), QString::fromStdString(longText));
    const int lineHeight = text->fontMetrics().lineSpacing();
    QVERIFY(text->height() <= 3 * lineHeight + 4);

    model.setNotice(Notice{"Short.", false});
    QCOMPARE(text->text(), QStringLiteral("Short."));
    QCOMPARE(text->toolTip(), QString());
  }

  void toolbarOffersCheckNowWhileIdle() {
    AppModel model{AppServices{}};
    MainWindow window(model, Screens{});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* button = find<QToolButton>(window, "checkNow");
    QCOMPARE(button->text(), QStringLiteral("Check Now"));
    QVERIFY(button->toolTip().startsWith(QStringLiteral("Ask every app's update source now (")));
    QVERIFY(button->isEnabled());
    QVERIFY(!find<QProgressBar>(window, "checkProgress")->isVisible());
  }
};

QTEST_MAIN(WindowFrameTest)
#include "WindowFrameTest.moc"
