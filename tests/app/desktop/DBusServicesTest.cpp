// The D-Bus layers against a real (private) session bus: fake services put up
// by the test on a second connection, as a notification daemon, a dock and a
// file manager would be.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QFutureWatcher>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QVariantMap>
#include <atomic>
#include <functional>
#include <vector>

#include "app/desktop/DBusBadge.h"
#include "app/desktop/DBusNotifications.h"
#include "app/desktop/DesktopWorkspaceImpl.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

// A second connection to the session bus, standing for another process.
class OtherProcess {
 public:
  OtherProcess()
      : name_(QStringLiteral("other-%1").arg(++count_)),
        bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name_)) {}
  ~OtherProcess() { QDBusConnection::disconnectFromBus(name_); }

  QDBusConnection& bus() { return bus_; }
  void offer(const char* service, const char* path, QObject* object) {
    ASSERT_TRUE(
        bus_.registerObject(QString::fromLatin1(path), object,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(bus_.registerService(QString::fromLatin1(service)));
  }

 private:
  static inline std::atomic<int> count_{0};
  QString name_;
  QDBusConnection bus_;
};

bool waitFor(const std::function<bool()>& done) {
  return QTest::qWaitFor(done, 10000);
}

// A stand-in for xdg-open: logs its one argument and exits with `code`.
QString fakeOpener(const test::TempDir& temp, int code) {
  const std::string name = "opener-" + std::to_string(code);
  const auto program =
      temp.write(name, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + (temp / "opened").string() +
                           "'\nexit " + std::to_string(code) + "\n");
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  return QString::fromStdString(program.string());
}

DesktopWorkspace::Failure outcome(QFuture<DesktopWorkspace::Failure> future) {
  EXPECT_TRUE(waitFor([&] { return future.isFinished(); }));
  return future.isFinished() && future.resultCount() == 1 ? future.result() : "(no answer)";
}

}  // namespace

class FakeNotificationServer : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  struct Call {
    QString app;
    uint replacesId;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    uint id;  // the one answered
  };
  QStringList capabilities{QStringLiteral("body"), QStringLiteral("actions")};
  std::vector<Call> calls;
  uint lastId = 40;
  // Answers GetCapabilities as a call that timed out comes back to the caller.
  bool capabilitiesTooLate = false;

 public slots:
  QStringList GetCapabilities() {
    if (capabilitiesTooLate) sendErrorReply(QDBusError::NoReply, QStringLiteral("Too late"));
    return capabilities;
  }
  uint Notify(const QString& app, uint replacesId, const QString&, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints, int) {
    uint id = replacesId != 0 ? replacesId : ++lastId;
    calls.push_back({app, replacesId, summary, body, actions, hints, id});
    return id;
  }
  void CloseNotification(uint id) { closed.push_back(id); }

 public:
  std::vector<uint> closed;

 signals:
  void ActionInvoked(uint id, const QString& action);
};

class FakeFileManager : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

 public:
  std::vector<QStringList> shown;

 public slots:
  void ShowItems(const QStringList& uris, const QString&) { shown.push_back(uris); }
};

class LauncherListener : public QObject {
  Q_OBJECT

 public:
  std::vector<std::pair<QString, QVariantMap>> updates;

 public slots:
  void update(const QString& uri, const QVariantMap& properties) {
    updates.emplace_back(uri, properties);
  }
};

namespace {

bool answer(QFuture<bool> future) {
  EXPECT_TRUE(waitFor([&] { return future.isFinished(); }));
  return future.isFinished() && future.resultCount() == 1 && future.result();
}

// Permission and each post answer whether a service took them; a post
// replaced while it waited answers as the one that replaced it.
TEST(DBusNotificationsTest, PermissionAndPostsFollowWhetherAServiceAnswers) {
  DBusNotifications notifications;
  EXPECT_FALSE(answer(notifications.requestPermission()));
  EXPECT_FALSE(answer(notifications.post("failure", "Larkvale", "No service")));

  OtherProcess daemon;
  FakeNotificationServer server;
  daemon.offer(DBusNotifications::kService, DBusNotifications::kPath, &server);
  EXPECT_TRUE(answer(notifications.requestPermission()));
  std::vector<QFuture<bool>> posts{notifications.post("failure", "Larkvale", "Sent first")};
  ASSERT_TRUE(waitFor([&] { return server.calls.size() == 1; }));
  for (const char* body : {"Replaced while waiting", "Sent next"})
    posts.push_back(notifications.post("failure", "Larkvale", body));
  for (const auto& post : posts) EXPECT_TRUE(answer(post));
  ASSERT_EQ(server.calls.size(), 2u);
  EXPECT_EQ(server.calls[1].body, "Sent next");
}

TEST(DBusNotificationsTest, ALaterPostReplacesTheEarlierOneAndAClickNamesIt) {
  OtherProcess daemon;
  FakeNotificationServer server;
  daemon.offer(DBusNotifications::kService, DBusNotifications::kPath, &server);
  DBusNotifications notifications;
  QSignalSpy activated(&notifications, &DBusNotifications::activated);

  notifications.post("weekly-summary", "3 updates waiting", "Tom & Jerry <2.0>");
  ASSERT_TRUE(waitFor([&] { return server.calls.size() == 1; }));
  // The next one may go before the first one's id has come back; it waits.
  notifications.post("weekly-summary", "1 update waiting", "Only one");
  notifications.post("other", "Other", "Body");
  ASSERT_TRUE(waitFor([&] { return server.calls.size() == 3; }));

  const auto& first = server.calls[0];
  EXPECT_EQ(QStringList({first.app, first.summary, first.body, first.actions.value(0),
                         first.hints.value("desktop-entry").toString()}),
            QStringList({"Larkvale", "3 updates waiting", "Tom & Jerry <2.0>", "default",
                         "larkvale"}));  // no markup here: the body goes as it is
  EXPECT_EQ(first.replacesId, 0u);
  auto called = [&](const char* summary) {
    for (const auto& call : server.calls) {
      if (call.summary == summary) return call;
    }
    ADD_FAILURE() << "not posted: " << summary;
    return FakeNotificationServer::Call{};
  };
  EXPECT_EQ(called("1 update waiting").replacesId, first.id);
  EXPECT_EQ(called("Other").replacesId, 0u);
  const uint otherId = called("Other").id;

  emit server.ActionInvoked(first.id, QStringLiteral("default"));
  emit server.ActionInvoked(first.id, QStringLiteral("other-action"));
  emit server.ActionInvoked(99, QStringLiteral("default"));  // someone else's
  emit server.ActionInvoked(otherId, QStringLiteral("default"));
  // Signals arrive in order: once the last one is seen, the others were.
  ASSERT_TRUE(waitFor([&] { return activated.size() == 2; }));
  EXPECT_EQ(activated[0][0].toString(), "weekly-summary");
  EXPECT_EQ(activated[1][0].toString(), "other");
}

// A withdrawn notification is closed by its id: at once when it has one,
// when its id comes back while its post is under way, and never when a later
// post is to replace it. A later post after that starts afresh.
TEST(DBusNotificationsTest, AWithdrawnNotificationIsClosedUnlessALaterPostReplacesIt) {
  OtherProcess daemon;
  FakeNotificationServer server;
  daemon.offer(DBusNotifications::kService, DBusNotifications::kPath, &server);
  DBusNotifications notifications;
  notifications.withdraw("failure");  // none: nothing to do

  EXPECT_TRUE(answer(notifications.post("failure", "Larkvale", "Couldn't save settings: full")));
  notifications.withdraw("failure");
  ASSERT_TRUE(waitFor([&] { return server.closed.size() == 1; }));
  EXPECT_EQ(server.closed[0], server.calls[0].id);

  // Withdrawn while its post is under way: closed once its id is known.
  QFuture<bool> sent = notifications.post("failure", "Larkvale", "Couldn't save settings: again");
  ASSERT_TRUE(waitFor([&] { return server.calls.size() == 2; }));
  notifications.withdraw("failure");
  EXPECT_TRUE(answer(sent));
  ASSERT_TRUE(waitFor([&] { return server.closed.size() == 2; }));
  EXPECT_EQ(server.calls[1].replacesId, 0u);
  EXPECT_EQ(server.closed[1], server.calls[1].id);

  // Withdrawn, then posted again before the first post's id came back: the
  // new one replaces it, and nothing is closed.
  sent = notifications.post("failure", "Larkvale", "First");
  ASSERT_TRUE(waitFor([&] { return server.calls.size() == 3; }));
  notifications.withdraw("failure");
  QFuture<bool> next = notifications.post("failure", "Larkvale", "Second");
  EXPECT_TRUE(answer(sent));
  EXPECT_TRUE(answer(next));
  ASSERT_EQ(server.calls.size(), 4u);
  EXPECT_EQ(server.calls[3].replacesId, server.calls[2].id);
  EXPECT_EQ(server.closed.size(), 2u);
}

// A post withdrawn before it has gone out is never sent, its future giving
// true; the notification it was to replace is closed. Posts go out in
// order, so one that would have gone has reached the service before a later
// one is answered.
TEST(DBusNotificationsTest, APostWithdrawnBeforeItGoesOutNeverShows) {
  OtherProcess daemon;
  FakeNotificationServer server;
  daemon.offer(DBusNotifications::kService, DBusNotifications::kPath, &server);
  DBusNotifications notifications;
  QFuture<bool> unsent = notifications.post("failure", "Larkvale", "Couldn't save settings: full");
  notifications.withdraw("failure");
  EXPECT_TRUE(answer(unsent));
  EXPECT_TRUE(answer(notifications.post("other", "Larkvale", "Later")));
  ASSERT_EQ(server.calls.size(), 1u);
  EXPECT_EQ(server.calls[0].body, "Later");

  EXPECT_TRUE(answer(notifications.post("failure", "Larkvale", "Shown")));
  unsent = notifications.post("failure", "Larkvale", "Never shown");
  notifications.withdraw("failure");
  EXPECT_TRUE(answer(unsent));
  EXPECT_TRUE(answer(notifications.post("other", "Larkvale", "Later again")));
  ASSERT_EQ(server.calls.size(), 3u);
  EXPECT_EQ(server.calls[2].body, "Later again");
  EXPECT_EQ(server.closed, std::vector{server.calls[1].id});
}

TEST(DBusNotificationsTest, BodyIsEscapedForServicesThatReadMarkup) {
  OtherProcess daemon;
  FakeNotificationServer server;
  server.capabilities << QStringLiteral("body-markup");
  daemon.offer(DBusNotifications::kService, DBusNotifications::kPath, &server);
  DBusNotifications notifications;
  notifications.post("weekly-summary", "Title <b>", "Tom & Jerry <b>2.0</b>");
  ASSERT_TRUE(waitFor([&] { return server.calls.size() == 1; }));
  EXPECT_EQ(server.calls[0].summary, "Title <b>");
  EXPECT_EQ(server.calls[0].body, "Tom &amp; Jerry &lt;b&gt;2.0&lt;/b&gt;");
}

// A service that doesn't say whether it reads markup (its answer comes too
// late) may read it: the body goes in a form that no markup reader misreads
// and a plain one shows readably. Otherwise it goes as the service says, now:
// a daemon may change (another takes the name, or it reloads its settings)
// between two posts.
TEST(DBusNotificationsTest, NoMarkupReachesAServiceThatDoesntSayItReadsNone) {
  const char* hostile = "Couldn't open <img src=\"file:///etc/x\"> & <b>it</b> &amp;";
  const std::string inert =
      "Couldn't open \uFF1Cimg src=\"file:///etc/x\"\uFF1E \uFF06 \uFF1Cb\uFF1Eit\uFF1C/b\uFF1E "
      "\uFF06amp;";
  const std::string escaped = QString::fromUtf8(hostile).toHtmlEscaped().toStdString();
  OtherProcess daemon;
  FakeNotificationServer server;
  daemon.offer(DBusNotifications::kService, DBusNotifications::kPath, &server);
  DBusNotifications notifications;
  // Each post waits for the one before, so the body it sent is the last.
  auto sent = [&](bool readsMarkup, bool tooLate) {
    server.capabilities = QStringList{QStringLiteral("body"), QStringLiteral("actions")};
    if (readsMarkup) server.capabilities << QStringLiteral("body-markup");
    server.capabilitiesTooLate = tooLate;
    const size_t before = server.calls.size();
    EXPECT_TRUE(answer(notifications.post("failure", "Larkvale", hostile)));
    return server.calls.size() == before + 1 ? server.calls.back().body.toStdString() : "(none)";
  };

  EXPECT_EQ(sent(true, true), inert);
  EXPECT_EQ(sent(true, true), inert);
  EXPECT_EQ(sent(false, false), hostile);
  EXPECT_EQ(sent(true, false), escaped);
  EXPECT_EQ(sent(false, false), hostile);
  EXPECT_EQ(sent(true, true), inert);
}

// Without a session bus nothing takes a post: the caller shows its text
// another way.
TEST(DBusNotificationsTest, WithoutASessionBusNothingIsTaken) {
  const QString name = QStringLiteral("no-bus");
  {
    DBusNotifications notifications(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/larkvale-test-bus"), name));
    EXPECT_FALSE(answer(notifications.requestPermission()));
    EXPECT_FALSE(answer(notifications.post("failure", "Larkvale", "No bus")));
  }
  QDBusConnection::disconnectFromBus(name);
}

TEST(DBusBadgeTest, SendsTheCountToDocks) {
  OtherProcess dock;
  LauncherListener listener;
  ASSERT_TRUE(dock.bus().connect(QString(), QString(), DBusBadge::kInterface,
                                 QStringLiteral("Update"), &listener,
                                 SLOT(update(QString, QVariantMap))));
  DBusBadge badge;
  badge.setCount(12);
  badge.setCount(0);
  badge.setCount(-3);
  ASSERT_TRUE(waitFor([&] { return listener.updates.size() == 3; }));

  for (const auto& [uri, properties] : listener.updates)
    EXPECT_EQ(uri, "application://larkvale.desktop");
  const QVariant count = listener.updates[0].second.value("count");
  EXPECT_EQ(count.metaType(), QMetaType::fromType<qlonglong>());
  EXPECT_EQ(count.toLongLong(), 12);
  EXPECT_EQ(listener.updates[0].second.value("count-visible"), QVariant(true));
  for (size_t i : {1u, 2u}) {
    EXPECT_EQ(listener.updates[i].second.value("count").toLongLong(), 0);
    EXPECT_EQ(listener.updates[i].second.value("count-visible"), QVariant(false));
  }
}

TEST(DesktopWorkspaceTest, OnlyShortWebLinksReachTheOpenerWhichMustTakeThem) {
  test::TempDir temp;
  DesktopWorkspaceImpl::Environment environment;
  environment.opener = fakeOpener(temp, 0);
  const std::string onlyWeb = "Larkvale opens only web links (http and https).";
  const std::string longest = "https://example.com/" + std::string(8192 - 20, 'a');
  for (const auto& [url, failure] : std::vector<std::pair<std::string, DesktopWorkspace::Failure>>{
           {"macappstore://apps.apple.com/app/id497799835", std::nullopt},
           {longest, std::nullopt},
           {longest + std::string(4 << 20, 'a'),
            "The link is longer than 8192 characters; Larkvale doesn't pass on links that long."},
           {"mailto:a@example.com?attach=/home/ada/.ssh/id_rsa", onlyWeb},
           {"file:///etc/passwd", onlyWeb},
           {"https://", onlyWeb}}) {
    EXPECT_EQ(outcome(DesktopWorkspaceImpl(environment).openUrl(url)), failure)
        << url.substr(0, 60);
  }
  EXPECT_EQ(test::readAll(temp / "opened"),
            "https://apps.apple.com/app/id497799835\n" + longest + "\n");

  // The opener's own verdict: none set up for web links, or none there at all.
  environment.opener = fakeOpener(temp, 3);
  EXPECT_EQ(outcome(DesktopWorkspaceImpl(environment).openUrl("https://example.com")),
            "No web browser is set up on this desktop. Choose a default web browser in the "
            "desktop's settings.");
  environment.opener = QString::fromStdString((temp / "absent").string());
  EXPECT_EQ(outcome(DesktopWorkspaceImpl(environment).openUrl("https://example.com")),
            "xdg-open, which hands links to the browser, isn't installed. Install the package "
            "xdg-utils.");
}

TEST(DesktopWorkspaceTest, RevealAsksTheFileManagerElseOpensTheFolder) {
  test::TempDir temp;
  const auto file = temp.write("Moving day/Ünïcode #1.md", "x");
  const QString folder = QString::fromStdString((temp / "Moving day").string());
  DesktopWorkspaceImpl::Environment environment;
  environment.opener = fakeOpener(temp, 0);
  DesktopWorkspaceImpl workspace(environment);

  // No file manager on the bus: the folder opens, else the user learns where it is.
  EXPECT_EQ(outcome(workspace.reveal(file)), std::nullopt);
  EXPECT_EQ(test::readAll(temp / "opened"),
            QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded).toStdString() + "\n");
  environment.opener = fakeOpener(temp, 3);
  EXPECT_EQ(outcome(DesktopWorkspaceImpl(environment).reveal(file)),
            "No file manager could be started. It is in the folder " + folder.toStdString() + ".");

  OtherProcess desktop;
  FakeFileManager manager;
  desktop.offer(DesktopWorkspaceImpl::kFileManagerService, DesktopWorkspaceImpl::kFileManagerPath,
                &manager);
  EXPECT_EQ(outcome(workspace.reveal(file)), std::nullopt);
  ASSERT_EQ(manager.shown.size(), 1u);
  ASSERT_EQ(manager.shown[0].size(), 1);
  EXPECT_EQ(QUrl(manager.shown[0][0]), QUrl::fromLocalFile(QString::fromStdString(file.string())));
  EXPECT_TRUE(manager.shown[0][0].startsWith("file:///"));
}

}  // namespace
}  // namespace larkvale

#include "DBusServicesTest.moc"
