#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>

#include "app/shell/FeedProbe.h"
#include "app/shell/Updater.h"
#include "app/shell/UpdaterDialogs.h"
#include "tests/support/RawHost.h"
#include "tests/support/TestServer.h"

namespace larkvale {
namespace {

using namespace std::chrono_literals;

std::string appcast(const std::string& shortVersion) {
  return "<?xml version=\"1.0\"?><rss version=\"2.0\" "
         "xmlns:sparkle=\"http://example.com/xml-namespaces/sparkle\"><channel>"
         "<item><title>Larkvale</title><sparkle:version>" +
         shortVersion + "</sparkle:version><sparkle:shortVersionString>" + shortVersion +
         "</sparkle:shortVersionString><description>Faster checks.</description>"
         "<link>https://maker.example/larkvale/</link></item></channel></rss>";
}

struct Recorded {
  QStringList alerts;  // "title | text"
  std::vector<OwnRelease> offers;
};

class FakePrompts : public UpdaterPrompts {
 public:
  explicit FakePrompts(Recorded& out) : out_(out) {}
  void alert(const QString& title, const QString& text) override {
    out_.alerts << title + " | " + text;
  }
  void offer(const OwnRelease& release, const AppInfo&) override { out_.offers.push_back(release); }

 private:
  Recorded& out_;
};

AppInfo larkvale(std::optional<QString> version = QStringLiteral("1.2")) {
  return AppInfo{QStringLiteral("Larkvale"), QStringLiteral("Larkvale"), std::move(version)};
}

const QString kUpToDate = QString::fromUtf8(
    "You\u2019re up to date | Larkvale 1.2 is the newest version. Larkvale checks for updates on "
    "its own and will let you know when there\u2019s a new one.");
const QString kFailed = QString::fromUtf8(
    "Couldn\u2019t check for updates | Check your internet connection and try again. Larkvale "
    "also checks on its own about once a day.");

}  // namespace

class UpdaterTest : public QObject {
  Q_OBJECT

  test::TestServer server_;
  std::atomic<int> heads_{0};
  std::atomic<int> gets_{0};
  std::string feed_ = appcast("1.3");

 private slots:
  void initTestCase() {
    auto statusRoute = [](const httplib::Request& req, httplib::Response& res) {
      res.status = std::stoi(req.matches[1]);
    };
    server_.server().Get(R"(/status/(\d+))", statusRoute);
    server_.server().Get("/moved", [](auto&, auto& res) { res.set_redirect("/status/200"); });
    server_.server().Get("/appcast.xml",
                         [this](const httplib::Request& req, httplib::Response& res) {
                           ++(req.method == "HEAD" ? heads_ : gets_);
                           res.set_content(feed_, "application/rss+xml");
                         });
    server_.start();
  }

  void init() {
    heads_ = 0;
    gets_ = 0;
    feed_ = appcast("1.3");
  }

  void probeMapsEveryAnswer_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("outcome");
    auto row = [](const char* name, const char* path, FeedProbeOutcome outcome) {
      QTest::newRow(name) << path << static_cast<int>(outcome);
    };
    row("200", "/status/200", FeedProbeOutcome::proceed);
    row("204", "/status/204", FeedProbeOutcome::proceed);
    row("redirect to 200", "/moved", FeedProbeOutcome::proceed);
    row("404", "/status/404", FeedProbeOutcome::upToDate);
    row("405", "/status/405", FeedProbeOutcome::proceed);
    row("501", "/status/501", FeedProbeOutcome::proceed);
    row("500", "/status/500", FeedProbeOutcome::failed);
    row("403", "/status/403", FeedProbeOutcome::failed);
    row("304", "/status/304", FeedProbeOutcome::failed);
  }
  void probeMapsEveryAnswer() {
    QFETCH(QString, path);
    QFETCH(int, outcome);
    auto session = makeCurlSession();
    QCOMPARE(static_cast<int>(probeFeed(*session, server_.url(path.toStdString()))), outcome);
  }

  void probeFailsWithoutAnAnswer() {
    auto session = makeCurlSession();
    std::string closed = "http://127.0.0.1:" + std::to_string(test::closedPort()) + "/feed";
    QCOMPARE(probeFeed(*session, closed), FeedProbeOutcome::failed);
    test::RawHost silent;  // accepts and never answers
    QCOMPARE(probeFeed(*session, silent.url("/feed"), 300ms), FeedProbeOutcome::failed);
    QCOMPARE(probeFeed(*session, "ftp://127.0.0.1/feed"), FeedProbeOutcome::failed);
  }

  void twoQuickRequestsMakeOneProbeAndOneOffer() {
    Recorded out;
    Updater updater(makeCurlSession(), std::make_shared<FakePrompts>(out),
                    {.feedURL = server_.url("/appcast.xml"), .app = larkvale()});
    QSignalSpy finished(&updater, &Updater::finished);
    updater.checkForUpdates();
    QVERIFY(updater.checking());
    updater.checkForUpdates();
    QVERIFY(finished.wait(5000));
    QVERIFY(!updater.checking());
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(heads_.load(), 1);
    QCOMPARE(gets_.load(), 1);
    QVERIFY(out.alerts.isEmpty());
    QCOMPARE(out.offers.size(), 1u);
    QCOMPARE(out.offers[0],
             (OwnRelease{"1.3", "Faster checks.", "https://maker.example/larkvale/"}));
  }

  void alertsSayWhatTheFeedAnswered_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("feed");
    QTest::addColumn<QString>("alert");
    QTest::newRow("feed gone") << "/status/410"
                               << "" << kUpToDate;
    QTest::newRow("server error") << "/status/500"
                                  << "" << kFailed;
    QTest::newRow("nothing newer")
        << "/appcast.xml" << QString::fromStdString(appcast("1.2")) << kUpToDate;
    QTest::newRow("not a feed") << "/appcast.xml"
                                << "<html>maintenance</html>" << kFailed;
  }
  void alertsSayWhatTheFeedAnswered() {
    QFETCH(QString, path);
    QFETCH(QString, feed);
    QFETCH(QString, alert);
    feed_ = feed.toStdString();
    Recorded out;
    Updater updater(makeCurlSession(), std::make_shared<FakePrompts>(out),
                    {.feedURL = server_.url(path.toStdString()), .app = larkvale()});
    QSignalSpy finished(&updater, &Updater::finished);
    updater.checkForUpdates();
    QVERIFY(finished.wait(5000));
    QCOMPARE(out.alerts, QStringList{alert});
    QVERIFY(out.offers.empty());
  }

  void textsFallBackWhenTheAppSaysLittle() {
    AppInfo bare{std::nullopt, std::nullopt, std::nullopt};
    QCOMPARE(UpdaterTexts::upToDateText(bare),
             QString::fromUtf8("This app  is the newest version. This app checks for updates on "
                               "its own and will let you know when there\u2019s a new one."));
    AppInfo named{std::nullopt, QStringLiteral("Larkvale"), std::nullopt};
    QCOMPARE(named.appDisplayName(), QStringLiteral("Larkvale"));
    QCOMPARE(named.appShortVersion(), QString());
  }

  // The offer is a window of its own: Ctrl+W closes it, as it does the
  // app's other windows.
  void theOfferClosesWithCtrlW() {
    UpdaterDialogs dialogs([](const QUrl&) {});
    dialogs.offer(OwnRelease{"2.0", std::nullopt, std::nullopt}, larkvale());
    QPointer<QWidget> offer;
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (widget->objectName() == "ownUpdateOffer") offer = widget;
    QVERIFY(offer && QTest::qWaitForWindowActive(offer));
    QTest::keyClick(offer, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!offer->isVisible());
  }

  void scheduledChecksSpeakOnlyToOffer() {
    Recorded out;
    Updater::Options options{.feedURL = server_.url("/appcast.xml"), .app = larkvale()};
    options.firstScheduledCheck = 0ms;
    feed_ = appcast("1.2");
    {
      Updater updater(makeCurlSession(), std::make_shared<FakePrompts>(out), options);
      QSignalSpy finished(&updater, &Updater::finished);
      updater.start();
      QVERIFY(finished.wait(5000));
    }
    QVERIFY(out.alerts.isEmpty());
    QVERIFY(out.offers.empty());
    QCOMPARE(heads_.load(), 0);

    feed_ = appcast("2.0");
    Updater updater(makeCurlSession(), std::make_shared<FakePrompts>(out), options);
    QSignalSpy finished(&updater, &Updater::finished);
    updater.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(out.offers.size(), 1u);
    QCOMPARE(out.offers[0].version, std::string("2.0"));
  }
};

}  // namespace larkvale

QTEST_MAIN(larkvale::UpdaterTest)
#include "UpdaterTest.moc"
