// The catalogue list: what it shows at once, what it leaves out, and its
// refresh against a real server on 127.0.0.1.
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <memory>

#include "Pennant/view/MoreAppsList.h"
#include "tests/Pennant/FeedSamples.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

using namespace pennant;
using nlohmann::json;
using test::entry;

Q_DECLARE_METATYPE(std::vector<std::string>)
Q_DECLARE_METATYPE(std::optional<std::string>)

namespace {

MoreAppsConfig direct(std::optional<std::string> bundleID = std::nullopt) {
  return MoreAppsConfig("larkvale", std::nullopt, true, std::move(bundleID), true);
}

std::vector<std::string> ids(const std::vector<MoreAppsEntry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(e.id);
  return out;
}

std::string feed(const std::vector<std::string>& appIds) {
  json apps = json::array();
  for (const auto& id : appIds) apps.push_back(test::validApp(id));
  return test::feedOf(apps).dump();
}

// A server that counts its requests and answers with whatever body is set.
struct FeedServer {
  larkvale::test::TestServer server;
  std::atomic<int> requests{0};
  std::string body;
  int status = 200;

  FeedServer() {
    server.server().Get("/mac/more-apps.json",
                        [this](const httplib::Request&, httplib::Response& res) {
                          ++requests;
                          res.status = status;
                          if (status == 200) res.set_content(body, "application/json");
                        });
    server.start();
  }

  MoreAppsLoader loader(const larkvale::test::TempDir& temp, std::optional<std::string> shipped) {
    return MoreAppsLoader{
        .feedURL = "https" + server.url("/mac/more-apps.json").substr(4),
        .cacheDirectory = temp / "cache",
        .bundled = [shipped] { return shipped; },
        .now = [] { return larkvale::Dates::fromSecondsSince2001(800000000); },
        .transport = test::loopbackTransport(),
    };
  }
};

void refreshAndWait(MoreAppsList& list) {
  QSignalSpy finished(&list, &MoreAppsList::refreshFinished);
  list.refresh();
  QVERIFY(finished.wait(15000));
}

}  // namespace

class MoreAppsListTest : public QObject {
  Q_OBJECT

 private slots:
  void filters_data() {
    QTest::addColumn<bool>("isDirect");
    QTest::addColumn<std::optional<std::string>>("bundleID");
    QTest::addColumn<std::vector<std::string>>("expected");
    QTest::newRow("direct") << true << std::optional<std::string>("com.maker.tidemark")
                            << std::vector<std::string>{"site", "store", "shop", "odd"};
    QTest::newRow("direct, no bundle id")
        << true << std::optional<std::string>()
        << std::vector<std::string>{"site", "store", "shop", "odd", "tidemark"};
    QTest::newRow("app store build") << false << std::optional<std::string>("com.maker.tidemark")
                                     << std::vector<std::string>{"store"};
  }

  void filters() {
    QFETCH(bool, isDirect);
    QFETCH(std::optional<std::string>, bundleID);
    QFETCH(std::vector<std::string>, expected);
    larkvale::test::TempDir temp;
    MoreAppsConfig config("larkvale", std::nullopt, isDirect, bundleID, true);
    MoreAppsList list(config, MoreAppsLoader{.cacheDirectory = temp.path(), .bundled = {}},
                      nullptr);
    std::vector<MoreAppsEntry> entries = {
        entry("larkvale", "https://apps.apple.com/app/id1"),  // this app, by its id
        entry("site", "https://maker.example/mac/site"),
        entry("store", "https://APPS.apple.com/app/id2"),
        entry("shop", "https://maker.store.example/shop"),
        entry("odd", "not a link"),
        entry("tidemark", "https://maker.example/mac/t", "com.maker.tidemark"),
    };
    list.setApps(entries, MoreAppsSource::bundled);
    QCOMPARE(ids(list.apps()), expected);
  }

  void startsFromCacheElseShippedElseNothing() {
    larkvale::test::TempDir temp;
    auto last = std::make_shared<MoreAppsLastResult>();
    MoreAppsLoader loader{.cacheDirectory = temp / "cache", .bundled = [] { return std::nullopt; }};

    MoreAppsList empty(direct(), loader, last);
    QCOMPARE(empty.source(), MoreAppsSource::none);
    QVERIFY(empty.apps().empty());
    QVERIFY(!last->feed);  // nothing found: the shared result is not touched

    temp.write("cache/more-apps.json", test::feedOf(json::array({test::validApp("a")}), 2).dump());
    loader.bundled = [] { return std::optional(feed({"larkvale", "shipped"})); };
    MoreAppsList shipped(direct(), loader, nullptr);
    QCOMPARE(shipped.source(), MoreAppsSource::bundled);
    QCOMPARE(ids(shipped.apps()), std::vector<std::string>{"shipped"});

    temp.write("cache/more-apps.json", feed({"cached"}));
    MoreAppsList cached(direct(), loader, last);
    QCOMPARE(cached.source(), MoreAppsSource::cache);
    QCOMPARE(ids(cached.apps()), std::vector<std::string>{"cached"});
    QCOMPARE(last->source, MoreAppsSource::cache);

    // A later list of the run takes the shared result without the disk.
    QVERIFY(temp.remove(temp / "cache"));
    MoreAppsList reused(direct(), loader, last);
    QCOMPARE(ids(reused.apps()), std::vector<std::string>{"cached"});
    QCOMPARE(reused.source(), MoreAppsSource::cache);
  }

  void refreshShowsTheNewCatalogueAndSharesIt() {
    larkvale::test::TempDir temp, same, refused, offline;
    FeedServer server;
    server.body = feed({"larkvale", "fresh"});
    auto last = std::make_shared<MoreAppsLastResult>();
    MoreAppsList list(direct(), server.loader(temp, feed({"shipped"})), last);
    refreshAndWait(list);
    QCOMPARE(ids(list.apps()), std::vector<std::string>{"fresh"});
    QCOMPARE(list.source(), MoreAppsSource::network);
    MoreAppsList later(direct(), server.loader(temp, std::nullopt), last);
    QCOMPARE(ids(later.apps()), std::vector<std::string>{"fresh"});
    QCOMPARE(later.source(), MoreAppsSource::cache);

    // Not due again within the day: no request, nothing changes.
    QSignalSpy appsChanged(&list, &MoreAppsList::appsChanged);
    refreshAndWait(list);
    QCOMPARE(server.requests.load(), 1);

    // The same entries as shipped: only the source changes.
    MoreAppsList unchanged(direct(), server.loader(same, feed({"fresh"})), nullptr);
    QSignalSpy unchangedApps(&unchanged, &MoreAppsList::appsChanged);
    QSignalSpy sourceChanged(&unchanged, &MoreAppsList::sourceChanged);
    refreshAndWait(unchanged);
    QCOMPARE(unchangedApps.count() + appsChanged.count(), 0);
    QCOMPARE(sourceChanged.count(), 1);

    server.status = 500;
    MoreAppsList kept(direct(), server.loader(refused, feed({"shipped"})), nullptr);
    refreshAndWait(kept);
    QCOMPARE(server.requests.load(), 3);
    QCOMPARE(kept.source(), MoreAppsSource::bundled);

    MoreAppsConfig noNetwork("larkvale", std::nullopt, true, std::nullopt, false);
    MoreAppsList quiet(noNetwork, server.loader(offline, feed({"shipped"})), nullptr);
    QSignalSpy finished(&quiet, &MoreAppsList::refreshFinished);
    quiet.refresh();
    QVERIFY(!quiet.isRefreshing());
    QTest::qWait(50);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(server.requests.load(), 3);
  }
};

QTEST_MAIN(MoreAppsListTest)
#include "MoreAppsListTest.moc"
