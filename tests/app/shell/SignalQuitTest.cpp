// The session's request to end (SIGTERM) ends the app even while a message
// box runs before the main loop, as the one that says Larkvale can't make
// sure it runs only once does.
#include <csignal>

#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "app/shell/SignalQuit.h"

namespace larkvale {

class SignalQuitTest : public QObject {
  Q_OBJECT

 private slots:
  void aSignalEndsAMessageBoxBeforeTheMainLoop() {
    quitOnTerminationSignals();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Larkvale"),
                    QStringLiteral("Larkvale can't make sure that it runs only once."));
    bool rescued = false;
    QTimer::singleShot(0, &box, [] { std::raise(SIGTERM); });
    // Only so that a failing test ends.
    QTimer::singleShot(std::chrono::seconds(60), &box, [&] {
      rescued = true;
      box.done(0);
    });
    box.exec();
    QVERIFY(!rescued);
  }
};

}  // namespace larkvale

QTEST_MAIN(larkvale::SignalQuitTest)
#include "SignalQuitTest.moc"
