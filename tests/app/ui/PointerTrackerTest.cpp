// The look of controls that delegates paint inside a view's rows, driven by
// mouse events on a real list view.
#include <QListView>
#include <QStringListModel>
#include <QTest>

#include "app/ui/PointerTracker.h"

using namespace larkvale::ui;

class PointerTrackerTest : public QObject {
  Q_OBJECT

 private slots:
  void pressedOnlyForALeftPressThatWentDownOnTheControl() {
    QStringListModel rows({"Cartograph", "Brewmaster", "Gitbeam", "Harbour"});
    QListView view;
    view.setModel(&rows);
    view.resize(300, 200);
    PointerTracker::track(&view);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // A button painted at the right end of the first row.
    QWidget* viewport = view.viewport();
    const QRect row = view.visualRect(rows.index(0));
    const QRect control(row.right() - 60, row.top(), 50, row.height());
    const QPoint on = control.center();
    const QPoint elsewhere = view.visualRect(rows.index(2)).center();
    auto look = [&] { return PointerTracker::look(&view, control); };

    QTest::mouseMove(viewport, elsewhere);
    QCOMPARE(look(), ControlLook::normal);
    QTest::mouseMove(viewport, on);
    QCOMPARE(look(), ControlLook::hovered);

    QTest::mousePress(viewport, Qt::LeftButton, {}, on);
    QCOMPARE(look(), ControlLook::pressed);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, on);
    QCOMPARE(look(), ControlLook::hovered);

    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
      QTest::mousePress(viewport, button, {}, on);
      QCOMPARE(look(), ControlLook::hovered);
      QTest::mouseRelease(viewport, button, {}, on);
    }

    // Down on another row, then dragged onto the control: that press is
    // not the control's.
    QTest::mousePress(viewport, Qt::LeftButton, {}, elsewhere);
    QCOMPARE(look(), ControlLook::normal);
    QTest::mouseMove(viewport, on);
    QCOMPARE(look(), ControlLook::hovered);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, on);
    QCOMPARE(look(), ControlLook::hovered);
  }
};

QTEST_MAIN(PointerTrackerTest)
#include "PointerTrackerTest.moc"
