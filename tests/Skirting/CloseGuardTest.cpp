// The close guard and the window reporters.
#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

#include "Skirting/CloseGuard.h"
#include "Skirting/WindowReader.h"

using skirting::CloseGuard;

namespace {

// A window whose own closeEvent refuses, so a close that succeeds proves the
// guard closed it without asking the window again.
struct Refusing : QWidget {
  int asked = 0;
  void closeEvent(QCloseEvent* event) override {
    ++asked;
    event->ignore();
  }
};

void activate(QWidget& window) {
  window.show();
  QApplication::setActiveWindow(&window);
  QVERIFY(QTest::qWaitForWindowActive(&window));
}

}  // namespace

class CloseGuardTest : public QObject {
  Q_OBJECT

 private slots:
  void closingAGuardedWindowAsksTheGuardOnly() {
    CloseGuard guard;
    int asked = 0;
    bool allow = false;
    guard.shouldClose = [&] { return ++asked, allow; };
    Refusing window;
    window.show();
    guard.attach(&window);
    guard.attach(&window);  // a second attach changes nothing

    window.close();  // as the window's close button does
    QCOMPARE(asked, 1);
    QVERIFY(window.isVisible());

    allow = true;
    window.close();
    QCOMPARE(asked, 2);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.asked, 0);

    // A window without a close button is still the main one, but its own
    // closing is not routed through the guard.
    QWidget bare(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    bare.show();
    allow = false;
    guard.attach(&bare);
    QCOMPARE(guard.main(), &bare);
    bare.close();
    QVERIFY(!bare.isVisible());
  }

  void mainEmptiesWhenItsWindowGoes() {
    CloseGuard guard;
    auto* window = new QWidget;
    guard.attach(window);
    delete window;
    QCOMPARE(guard.main(), nullptr);
    guard.closeClicked();  // nothing to act on
  }

  void closeKeyWindow() {
    CloseGuard guard;
    guard.shouldClose = [] { return false; };
    Refusing main;
    guard.attach(&main);
    QWidget other;

    activate(other);  // another window is asked as its close button would
    guard.closeKeyWindow();
    QVERIFY(!other.isVisible());

    activate(main);
    guard.closeKeyWindow();
    QVERIFY(main.isVisible());
    guard.shouldClose = [] { return true; };
    guard.closeKeyWindow();
    QVERIFY(!main.isVisible());
  }

  void closeClickedActsOnTheSendersWindowElseMain() {
    CloseGuard guard;
    QWidget main;
    QWidget second;
    auto* button = new QPushButton(&second);
    main.show();
    second.show();
    guard.attach(&second);
    guard.attach(&main);

    guard.closeClicked(button);
    QVERIFY(!second.isVisible());
    QVERIFY(main.isVisible());

    QObject notAView;
    guard.closeClicked(&notAView);
    QVERIFY(!main.isVisible());
  }

  void windowReaderReportsItsWindow() {
    QWidget window;
    auto* view = new QWidget(&window);
    QList<QWidget*> seen;
    auto* reader = new skirting::WindowReader([&](QWidget* w) { seen << w; }, view);
    QVERIFY(seen.isEmpty() || seen.back() == &window);
    window.show();
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.back(), &window);

    QWidget other;
    other.show();
    QList<QWidget*> replaced;
    reader->setFound([&](QWidget* w) { replaced << w; });
    QCOMPARE(replaced, QList<QWidget*>{&window});
    view->setParent(&other);
    view->show();  // moved into another window
    QCOMPARE(replaced.back(), &other);
  }

  void attachCloseGuardAttachesTheSharedGuard() {
    QWidget window;
    skirting::attachCloseGuard(new QWidget(&window));
    window.show();
    QCOMPARE(CloseGuard::shared().main(), &window);
  }

  void undoReaderFollowsTheWindowsStack() {
    QWidget window;
    auto* view = new QWidget(&window);
    QList<QUndoStack*> seen;
    new skirting::WindowUndoManagerReader(view, [&](QUndoStack* s) { seen << s; });
    window.show();
    QCOMPARE(seen, QList<QUndoStack*>{nullptr});
    auto* stack = new QUndoStack(&window);
    QTRY_COMPARE(seen.size(), 2);
    QCOMPARE(seen.back(), stack);
    delete stack;
    QTRY_COMPARE(seen.size(), 3);
    QCOMPARE(seen.back(), nullptr);
  }
};

QTEST_MAIN(CloseGuardTest)
#include "CloseGuardTest.moc"
