// The program's own wiring run for real on a sample home: what the shell is
// handed, and what a launch that can't run says.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <vector>

#include "app/model/AppModel.h"
#include "app/shell/Shell.h"
#include "app/shell/SingleInstance.h"
#include "app/wiring/AppRun.h"
#include "tests/support/TempDir.h"

namespace larkvale {

// A notification daemon on a connection of its own, as another process.
class RecordingNotificationServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  std::vector<QString> bodies;

 public slots:
  QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("actions")}; }
  uint Notify(const QString&, uint, const QString&, const QString&, const QString& body,
              const QStringList&, const QVariantMap&, int) {
    bodies.push_back(body);
    return uint(bodies.size());
  }
};

namespace {

bool waitFor(const std::function<bool()>& done) {
  return QTest::qWaitFor(done, 10000);
}

bool mainVisible() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String("main") && widget->isVisible()) return true;
  }
  return false;
}

// A launch at log-in onto a desktop with a tray, on a home of its own whose
// update sources are a closed port.
AppRun sampleRun(const test::TempDir& temp) {
  AppRun run{.options = RealServiceOptions::underHome(temp.mkdir("home")),
             .ownFeedURL = {},
             .launchedAsLoginItem = true,
             .instance = nullptr,
             .beforeStart = {},
             .trayAvailable = [] { return true; }};
  run.options.scanRoots = std::vector{temp.mkdir("Applications")};
  run.options.hosts =
      ServiceHosts{"http://127.0.0.1:9", "http://127.0.0.1:9", "http://127.0.0.1:9"};
  run.options.brew = temp.path() / "no-brew";
  run.options.fetchSpacing = {};
  return run;
}

// The real app carries a failure out of view through the desktop's
// notification service; once no service takes it, the main window opens
// with it.
TEST(AppRunTest, AFailureOutOfViewGoesToTheNotificationServiceElseOpensTheWindow) {
  test::TempDir temp;
  const QString connection = QStringLiteral("daemon");
  RecordingNotificationServer server;
  {
    QDBusConnection daemon = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connection);
    ASSERT_TRUE(daemon.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                      QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(daemon.registerService(QStringLiteral("org.freedesktop.Notifications")));
  }
  bool posted = false;
  bool openedForThePost = true;
  bool openedWithoutService = false;
  AppRun run = sampleRun(temp);
  run.beforeStart = [&](AppModel& model, Shell&) {
    QTimer::singleShot(0, [&] {
      // Refused by the desktop's own opener before any program runs.
      model.openLink("file:///etc/passwd");
      posted = waitFor([&] { return !server.bodies.empty(); });
      openedForThePost = mainVisible();
      QDBusConnection(connection)
          .unregisterService(QStringLiteral("org.freedesktop.Notifications"));
      model.openLink("file:///etc/passwd");
      openedWithoutService = waitFor(mainVisible);
      QCoreApplication::quit();
    });
  };
  EXPECT_EQ(runApp(std::move(run)), 0);
  QDBusConnection::disconnectFromBus(connection);
  ASSERT_TRUE(posted);
  EXPECT_EQ(server.bodies[0],
            "Couldn't open the link. Larkvale opens only web links (http and "
            "https).");
  EXPECT_FALSE(openedForThePost);
  EXPECT_TRUE(openedWithoutService);
}

// The message of a launch that can't take a lock anywhere shows the folders'
// paths as they are written, whatever markup they hold.
TEST(AppRunTest, ALaunchWithoutALockSaysSoInPlainText) {
  test::TempDir temp;
  const auto blocker = temp.write("a<br>b", "a file where the lock's folder goes");
  const QString folder = QString::fromStdString((blocker / "run").string());
  SingleInstance blocked(folder, folder);
  blocked.setTemporaryFolders({folder});
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  std::function<void()> answer = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      QTimer::singleShot(10, answer);
      return;
    }
    text = box->text();
    format = box->textFormat();
    box->done(0);
  };
  QTimer::singleShot(0, answer);
  EXPECT_EQ(claimOrHandOver(blocked, SingleInstance::openRequest, {}), 1);
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(text, QString::fromUtf8("Larkvale can\u2019t make sure that it runs only once, so it "
                                    "doesn\u2019t start.\n\nThere is no folder to keep the lock in "
                                    "(%1). No private folder can be made in %1.")
                      .arg(folder));
}

}  // namespace
}  // namespace larkvale

#include "AppRunTest.moc"
