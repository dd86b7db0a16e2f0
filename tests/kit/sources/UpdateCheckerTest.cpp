#include "kit/sources/UpdateChecker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <mutex>

#include "kit/model/AppScanner.h"
#include "kit/sources/PoliteFetcher.h"
#include "kit/sources/SystemBrew.h"
#include "platform/PropertyList.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace larkvale {
namespace {

std::string appcast(const std::string& version, const std::string& shortVersion) {
  return "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Feed</title><item>"
         "<title>Release</title><sparkle:version>" +
         version + "</sparkle:version><sparkle:shortVersionString>" + shortVersion +
         "</sparkle:shortVersionString><description><![CDATA[<p>Faster.</p>]]></description>"
         "<enclosure url=\"https://example.com/app.zip\" length=\"1\" "
         "type=\"application/octet-stream\"/></item></channel></rss>";
}

std::string release(const std::string& tag, bool withDmg) {
  std::string assets = withDmg ? R"([{"name":"Tool-3.0.0.dmg","size":10,
      "browser_download_url":"https://github.com/owner/tool/releases/download/v3.0.0/Tool-3.0.0.dmg"}])"
                               : "[]";
  return R"({"tag_name":")" + tag + R"(","name":null,"draft":false,"prerelease":false,
      "html_url":"https://github.com/owner/tool/releases/tag/)" +
         tag + R"(","published_at":"2026-01-02T03:04:05Z","body":"Notes","assets":)" + assets + "}";
}

// A tree of bundles, a server for every web source, and a fake brew.
class UpdateCheckerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = server_.server();
    s.Get("/feeds/alpha.xml", [](const auto&, auto& res) {
      res.set_content(appcast("120", "2.1"), "application/xml");
    });
    s.Get("/lookup", [](const httplib::Request& req, auto& res) {
      std::string body = R"({"resultCount":0,"results":[]})";
      if (req.get_param_value("bundleId") == "com.example.store")
        body = R"({"resultCount":1,"results":[{"trackId":77,"bundleId":"com.example.store",
            "trackName":"Store","version":"5.0","releaseNotes":"New things"}]})";
      res.set_content(body, "application/json");
    });
    s.Get(R"(/repos/([^/]+)/([^/]+)/releases/latest)", [this](const httplib::Request& req,
                                                              auto& res) {
      ++githubRequests_;
      const std::string repo = std::string(req.matches[1]) + "/" + std::string(req.matches[2]);
      if (repo == "owner/tool") {
        res.set_content(release("v3.0.0", true), "application/json");
      } else if (repo == "owner/limited") {
        res.status = 403;
      } else if (repo.starts_with("many/")) {
        res.set_content(release("v1.0", false), "application/json");
      } else {
        res.status = 404;
      }
    });
    server_.start();
    hosts_.appStoreLookup = server_.url();
    hosts_.gitHubAPI = server_.url();
    hosts_.gitHubWeb = "https://github.com";
  }

  std::string bundle(const std::string& name, PlistDict info, bool receipt = false) {
    info.emplace("CFBundleShortVersionString", "1.0");
    const auto path = tmp_.path() / "Applications" / (name + ".app");
    tmp_.write("Applications/" + name + ".app/Contents/Info.plist", PropertyList::toXml(info));
    if (receipt) tmp_.write("Applications/" + name + ".app/Contents/_MASReceipt/receipt", "r");
    return path.string();
  }

  // A brew that answers both queries; the outdated one fails when asked to.
  std::string fakeBrew(const std::string& outdatedAnswer, bool outdatedFails = false) {
    const std::string info = R"({"formulae":[],"casks":[{"token":"delta","name":["Delta"],
        "version":"1.5,100","installed":"1.0","auto_updates":true,
        "artifacts":[{"app":[")" +
                             (tmp_.path() / "Applications/Delta.app").string() + R"("]}]}]})";
    tmp_.write("info.json", info);
    tmp_.write("outdated.json", outdatedAnswer);
    const auto script = tmp_.write(
        "brew", "#!/bin/sh\nif [ \"$1\" = info ]; then cat '" +
                    (tmp_.path() / "info.json").string() + "'; exit 0; fi\n" +
                    (outdatedFails ? "echo 'Error: no' >&2; exit 1\n"
                                   : "cat '" + (tmp_.path() / "outdated.json").string() + "'\n"));
    ::chmod(script.c_str(), 0755);
    return script.string();
  }

  std::unique_ptr<PoliteFetcher> fetcher() {
    PoliteFetcher::Options options;
    options.spacing = {};
    return std::make_unique<PoliteFetcher>(makeCurlSession(), tmp_.path() / "cache", options);
  }

  CheckOptions options(int parallel = 4) const {
    return {std::chrono::seconds(900), "us", "15.1.0", parallel};
  }
  std::filesystem::path home() const { return tmp_.path() / "home"; }

  test::TempDir tmp_;
  test::TestServer server_;
  ServiceHosts hosts_;
  std::atomic<int> githubRequests_{0};
};

const AppUpdate& byName(const CheckReport& report, const std::string& name) {
  for (const auto& u : report.updates)
    if (u.app.name == name) return u;
  throw std::runtime_error("no app " + name);
}

TEST_F(UpdateCheckerTest, ChecksAScannedTreeFromEndToEnd) {
  bundle("Alpha", {{"CFBundleIdentifier", "com.example.alpha"},
                   {"CFBundleVersion", "118"},
                   {"SUFeedURL", server_.url("/feeds/alpha.xml")}});
  bundle("Store", {{"CFBundleIdentifier", "com.example.store"}}, true);
  bundle("Tool", {{"CFBundleIdentifier", "com.example.tool"},
                  {"GitHubRepository", "https://github.com/owner/tool"}});
  bundle("Delta", {{"CFBundleIdentifier", "com.example.delta"},
                   {"SUFeedURL", server_.url("/feeds/alpha.xml")}});
  const auto apps = AppScanner{{tmp_.path() / "Applications"}, std::nullopt}.scan();
  ASSERT_EQ(apps.size(), 4u);

  SystemBrew brew(fakeBrew(R"({"formulae":[],"casks":[{"name":"delta",
      "installed_versions":["1.0"],"current_version":"1.5","pinned":false}]})"));
  auto f = fetcher();
  std::vector<WorkProgress> progress;
  const auto report =
      UpdateChecker(*f, &brew, home(), hosts_).check(apps, options(), [&](WorkProgress step) {
        progress.push_back(step);
      });

  ASSERT_EQ(report.updates.size(), apps.size());
  for (size_t i = 0; i < apps.size(); ++i) EXPECT_EQ(report.updates[i].app, apps[i]);
  EXPECT_TRUE(report.brewAvailable);
  EXPECT_TRUE(report.problems.empty());
  ASSERT_EQ(progress.size(), apps.size());
  for (size_t i = 0; i < progress.size(); ++i)
    EXPECT_EQ(progress[i], (WorkProgress{static_cast<int>(i) + 1, static_cast<int>(apps.size())}));

  const auto& alpha = byName(report, "Alpha");
  EXPECT_EQ(alpha.source, UpdateSource::sparkle(server_.url("/feeds/alpha.xml")));
  EXPECT_EQ(alpha.status, UpdateStatus::updateAvailable());
  EXPECT_EQ(alpha.latestVersion, "2.1");
  EXPECT_EQ(alpha.downloadURL, "https://example.com/app.zip");

  const auto& store = byName(report, "Store");
  EXPECT_EQ(store.source, UpdateSource::appStore());
  EXPECT_EQ(store.status, UpdateStatus::updateAvailable());
  EXPECT_EQ(store.storeTrackID, 77);

  const auto& tool = byName(report, "Tool");
  EXPECT_EQ(tool.source, UpdateSource::github("owner/tool"));
  EXPECT_EQ(tool.status, UpdateStatus::updateAvailable());
  EXPECT_EQ(tool.latestVersion, "3.0.0");

  const auto& delta = byName(report, "Delta");
  EXPECT_EQ(delta.source, UpdateSource::homebrew("delta"));
  EXPECT_EQ(delta.status, UpdateStatus::updateAvailable());
  EXPECT_TRUE(delta.alsoSparkle);
}

TEST_F(UpdateCheckerTest, ReportsEachFailingHomebrewQueryOnce) {
  bundle("Delta", {{"CFBundleIdentifier", "com.example.delta"}});
  const auto apps = AppScanner{{tmp_.path() / "Applications"}, std::nullopt}.scan();
  auto f = fetcher();

  SystemBrew broken(fakeBrew("", /*outdatedFails=*/true));
  auto report = UpdateChecker(*f, &broken, home(), hosts_).check(apps, options());
  EXPECT_TRUE(report.brewAvailable);
  EXPECT_EQ(report.problems,
            std::vector<std::string>{"brew outdated didn't answer (failed(1, \"Error: no\\n\")); "
                                     "versions were compared directly."});
  // Without an outdated answer the version comparison alone decides.
  EXPECT_EQ(report.updates.at(0).status, UpdateStatus::updateAvailable());

  SystemBrew garbled(fakeBrew("not json"));
  tmp_.write("info.json", "{{{");
  report = UpdateChecker(*f, &garbled, home(), hosts_).check(apps, options());
  EXPECT_FALSE(report.brewAvailable);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_TRUE(report.problems[0].starts_with("Homebrew didn't list its casks ("));
  EXPECT_TRUE(report.problems[0].ends_with("); cask apps are checked by their other sources."));
  EXPECT_EQ(report.updates.at(0).source, UpdateSource::unknown());

  SystemBrew absent(std::nullopt);
  report = UpdateChecker(*f, &absent, home(), hosts_).check({}, options());
  EXPECT_FALSE(report.brewAvailable);
  EXPECT_TRUE(report.problems.empty());
  EXPECT_TRUE(report.updates.empty());
}

TEST_F(UpdateCheckerTest, ListsSourcesWithoutAskingTheWeb) {
  bundle("Alpha", {{"CFBundleIdentifier", "com.example.alpha"},
                   {"SUFeedURL", server_.url("/feeds/alpha.xml")}});
  bundle("Tool", {{"CFBundleIdentifier", "com.example.tool"}, {"GitHubRepository", "owner/tool"}});
  bundle("Delta", {{"CFBundleIdentifier", "com.example.delta"}});
  const auto apps = AppScanner{{tmp_.path() / "Applications"}, std::nullopt}.scan();
  SystemBrew brew(fakeBrew("{}"));
  auto f = fetcher();
  const auto updates = UpdateChecker(*f, &brew, home(), hosts_).listSources(apps);
  ASSERT_EQ(updates.size(), 3u);
  EXPECT_EQ(updates[0].status, UpdateStatus::notChecked("Not checked yet"));  // Alpha
  EXPECT_FALSE(updates[0].latestVersion);
  EXPECT_TRUE(updates[1].caskAutoUpdates);  // Delta
  EXPECT_EQ(updates[2].source, UpdateSource::github("owner/tool"));
  EXPECT_EQ(githubRequests_.load(), 0);
}

TEST_F(UpdateCheckerTest, AStoppedCheckAnswersNothing) {
  for (const char* name : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"})
    bundle(name, {{"CFBundleIdentifier", std::string("com.example.") + name},
                  {"SUFeedURL", server_.url("/feeds/alpha.xml")}});
  const auto apps = AppScanner{{tmp_.path() / "Applications"}, std::nullopt}.scan();
  auto f = fetcher();
  UpdateChecker checker(*f, nullptr, home(), hosts_);

  std::stop_source stopped;
  stopped.request_stop();
  EXPECT_THROW(checker.check(apps, options(), {}, stopped.get_token()), Cancelled);
  EXPECT_THROW(checker.listSources(apps, stopped.get_token()), Cancelled);

  std::stop_source source;
  int reported = 0;
  EXPECT_THROW(checker.check(
                   apps, options(1),
                   [&](WorkProgress step) {
                     reported = step.done;
                     source.request_stop();
                   },
                   source.get_token()),
               Cancelled);
  EXPECT_EQ(reported, 1);
}

TEST_F(UpdateCheckerTest, GateCapsGitHubLookupsAndStopsAfterARefusal) {
  std::vector<InstalledApp> apps;
  for (int i = 0; i < 41; ++i) {
    InstalledApp app;
    app.path = "/Applications/M" + std::to_string(i) + ".app";
    app.name = "M" + std::to_string(i);
    app.bundleID = "com.example.m" + std::to_string(i);
    app.version = app.build = "1.0";
    app.githubRepo = "many/r" + std::to_string(i);
    apps.push_back(app);
  }
  auto f = fetcher();
  UpdateChecker checker(*f, nullptr, home(), hosts_);
  auto report = checker.check(apps, options(1));
  EXPECT_EQ(githubRequests_.load(), 40);
  EXPECT_EQ(
      report.updates.back().status,
      UpdateStatus::notChecked("Left for the next check (at most 40 GitHub lookups per check)."));
  EXPECT_EQ(report.updates.front().status, UpdateStatus::upToDate());

  // Answers from the saved answers give their turn back: all 41 are judged.
  report = checker.check(apps, options(1));
  EXPECT_EQ(githubRequests_.load(), 41);
  for (const auto& u : report.updates) EXPECT_EQ(u.status, UpdateStatus::upToDate()) << u.app.name;

  // A 403 trips the gate for every app that has not passed it yet.
  apps.insert(apps.begin(), apps.front());
  apps.front().githubRepo = "owner/limited";
  apps.front().path = "/Applications/Limited.app";
  apps[1].githubRepo = "many/fresh";
  report = checker.check(apps, options(1));
  EXPECT_EQ(report.updates[0].status,
            UpdateStatus::notChecked("GitHub asked Larkvale to wait (60 unsigned lookups an hour); "
                                     "the next check tries again."));
  EXPECT_EQ(report.updates[1].status,
            UpdateStatus::notChecked(
                "Left for later: GitHub asked Larkvale to wait (60 unsigned lookups an hour)."));
}

}  // namespace
}  // namespace larkvale
