// Source choice and the verdicts of each source, with the web answers handed
// in by a scripted fetcher and Homebrew's by a scripted brew.
#include <gtest/gtest.h>

#include <map>
#include <variant>

#include "kit/sources/BrewError.h"
#include "kit/sources/FetchError.h"
#include "kit/sources/SystemBrew.h"
#include "kit/sources/UpdateChecker.h"

namespace larkvale {
namespace {

class ScriptedFetcher : public HTTPFetching {
 public:
  std::map<std::string, FetchResult> answers;
  std::optional<FetchError> failure;
  std::vector<std::pair<std::string, std::chrono::seconds>> asked;

  FetchResult fetch(const std::string& url, std::chrono::seconds maxAge) override {
    asked.emplace_back(url, maxAge);
    if (failure) throw *failure;
    auto it = answers.find(url);
    return it == answers.end() ? FetchResult{404, "", false} : it->second;
  }
};

InstalledApp app(std::string id, std::string version = "1.0", std::string build = "1") {
  InstalledApp a;
  a.path = "/Applications/" + id + ".app";
  a.name = id;
  a.bundleID = std::move(id);
  a.version = std::move(version);
  a.build = std::move(build);
  return a;
}

// Answers `brew info` with one cask and `brew outdated` with its row, or
// fails the outdated query as the tool does when there is no answer for it.
class ScriptedBrew : public BrewRunning {
 public:
  ScriptedBrew(const std::string& token, const std::string& path, const std::string& latest)
      : info(R"({"formulae":[],"casks":[{"token":")" + token + R"(","name":[")" + token +
             R"("],"version":")" + latest +
             R"(","installed":"1.0","auto_updates":true,"artifacts":[{"app":[")" + path +
             R"("]}]}]})") {}

  std::string info;
  std::optional<std::string> outdated = R"({"formulae":[],"casks":[]})";

  std::optional<std::string> brewPath() const override { return "/usr/local/bin/brew"; }
  std::string run(const std::vector<std::string>& arguments) const override {
    if (arguments == SystemBrew::infoArguments()) return info;
    if (!outdated) throw BrewError::failed(1, "Error: no\n");
    return *outdated;
  }
};

std::string outdatedRow(const std::string& token, bool pinned) {
  return R"({"formulae":[],"casks":[{"name":")" + token +
         R"(","installed_versions":["1.0"],"current_version":"2.0","pinned":)" +
         (pinned ? "true" : "false") + "}]}";
}

// One app checked on its own.
AppUpdate judge(HTTPFetching& fetcher, const InstalledApp& app, const CheckOptions& options,
                const ServiceHosts& hosts = {}, const BrewRunning* brew = nullptr) {
  return UpdateChecker(fetcher, brew, "/home/u", hosts).check({app}, options).updates.at(0);
}

TEST(UpdatePlanTest, ChoosesTheFirstRuleThatApplies) {
  const ScriptedBrew brew("both", "/Applications/com.example.both.app", "2.0");
  auto with = [](const char* id, bool receipt, std::optional<std::string> feed, const char* repo) {
    auto a = app(id);
    a.hasAppStoreReceipt = receipt;
    a.feedURL = std::move(feed);
    if (repo) a.githubRepo = repo;
    return a;
  };
  const auto withReceipt = with("com.example.both", true, {}, nullptr);
  const auto caskWithFeed = with("com.example.both", false, "https://example.com/f.xml", nullptr);
  const auto own = with("com.tarn4820.Larkvale", true, {}, nullptr);
  const auto ownWithFeed =
      with("com.tarn4820.Larkvale", true, "https://example.com/own.xml", nullptr);
  const auto feedAndRepo = with("com.example.feed", false, "https://example.com/f.xml", "a/b");
  // A token no command may carry is no cask: the app falls to its other sources.
  const ScriptedBrew hostile("evil\\u202e;rm -rf ~ \\r- [x]", "/Applications/com.example.both.app",
                             "2.0");
  const ScriptedBrew dashed("-evil", "/Applications/com.example.both.app", "2.0");

  struct Case {
    InstalledApp app;
    const BrewRunning* brew;
    UpdateSource expected;
  };
  const Case cases[] = {
      {withReceipt, &brew, UpdateSource::appStore()},
      {caskWithFeed, &brew, UpdateSource::homebrew("both")},
      {own, &brew, UpdateSource::unknown()},
      {ownWithFeed, &brew, UpdateSource::sparkle("https://example.com/own.xml")},
      {feedAndRepo, &brew, UpdateSource::sparkle("https://example.com/f.xml")},
      {app("org.alacritty"), &brew, UpdateSource::github("alacritty/alacritty")},
      {app("com.apple.Notes"), &brew, UpdateSource::apple()},
      {app("Com.apple.Notes"), &brew, UpdateSource::unknown()},
      {caskWithFeed, &hostile, UpdateSource::sparkle("https://example.com/f.xml")},
      {app("com.example.both"), &hostile, UpdateSource::unknown()},
      {app("com.example.both"), &dashed, UpdateSource::unknown()},
  };
  ScriptedFetcher fetcher;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.app.bundleID);
    const auto listed = UpdateChecker(fetcher, c.brew, "/home/u").listSources({c.app}).at(0);
    EXPECT_EQ(listed.source, c.expected);
    EXPECT_EQ(listed.caskAutoUpdates, c.expected.kind() == UpdateSource::Kind::homebrew);
    if (c.expected.kind() == UpdateSource::Kind::sparkle) {
      EXPECT_EQ(listed.status, UpdateStatus::notChecked("Not checked yet"));
    }
  }
  EXPECT_TRUE(fetcher.asked.empty());
}

TEST(UpdatePlanTest, HomebrewVerdictsAndRemarks) {
  auto a = app("com.example.x", "1.0");
  a.feedURL = "https://example.com/x.xml";  // a cask wins over the feed, which is remembered
  struct Case {
    std::string installed, latest;
    std::string outdated;
    UpdateStatus status;
    std::optional<std::string> remark;
  };
  const auto listed = outdatedRow("x", false), pinned = outdatedRow("x", true);
  const auto none = outdatedRow("other", false);
  const Case cases[] = {
      {"1.0", "2.0", listed, UpdateStatus::updateAvailable(), std::nullopt},
      {"1.0", "2.0", pinned, UpdateStatus::updateAvailable(), "Pinned in Homebrew."},
      {"1.0", "2.0", none, UpdateStatus::upToDate(),
       "Homebrew says it's current (its version reads 2.0)."},
      {"3.0", "2.0", listed, UpdateStatus::upToDate(),
       "Updated itself to 3.0; Homebrew's record (1.0) is behind. Nothing to do."},
      {"1.0", "latest", listed,
       UpdateStatus::notChecked("The cask has no version number (latest)."), std::nullopt},
  };
  ScriptedFetcher fetcher;
  for (const auto& c : cases) {
    a.version = c.installed;
    ScriptedBrew brew("x", a.path, c.latest);
    brew.outdated = c.outdated;
    const auto update = judge(fetcher, a, {}, {}, &brew);
    EXPECT_EQ(update.status, c.status) << c.installed << " " << c.latest;
    EXPECT_EQ(update.remark, c.remark);
    EXPECT_EQ(update.latestVersion, c.latest);
    EXPECT_TRUE(update.alsoSparkle);
  }
}

// Each failing query is one problem of the check; a cask list that can't be
// read leaves the casks to their other sources.
TEST(UpdatePlanTest, ReportsEachFailingHomebrewQueryOnce) {
  const auto a = app("com.example.x");
  ScriptedBrew brew("x", a.path, "2.0");
  brew.outdated.reset();
  ScriptedFetcher fetcher;
  auto report = UpdateChecker(fetcher, &brew, "/home/u").check({a, a}, {});
  EXPECT_TRUE(report.brewAvailable);
  EXPECT_EQ(report.problems,
            std::vector<std::string>{"brew outdated didn't answer (failed(1, \"Error: no\\n\")); "
                                     "versions were compared directly."});

  brew.info = "{{{";
  report = UpdateChecker(fetcher, &brew, "/home/u").check({a}, {});
  EXPECT_FALSE(report.brewAvailable);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_TRUE(report.problems[0].starts_with("Homebrew didn't list its casks ("));
  EXPECT_TRUE(report.problems[0].ends_with("); cask apps are checked by their other sources."));
  EXPECT_EQ(report.updates.at(0).source, UpdateSource::unknown());
}

TEST(UpdatePlanTest, AStoppedCheckAnswersNothing) {
  ScriptedFetcher fetcher;
  std::vector<InstalledApp> apps;
  for (int i = 0; i < 6; ++i) {
    apps.push_back(app("com.example.s" + std::to_string(i)));
    apps.back().feedURL = "https://example.com/f";
  }
  UpdateChecker checker(fetcher, nullptr, "/home/u");
  std::stop_source stopped;
  stopped.request_stop();
  EXPECT_THROW(checker.check(apps, {}, {}, stopped.get_token()), Cancelled);
  EXPECT_THROW(checker.listSources(apps, stopped.get_token()), Cancelled);
  EXPECT_TRUE(fetcher.asked.empty());

  std::stop_source source;
  int reported = 0;
  const auto stopAtFirst = [&](WorkProgress step) {
    reported = step.done;
    source.request_stop();
  };
  CheckOptions one;
  one.parallel = 1;
  EXPECT_THROW(checker.check(apps, one, stopAtFirst, source.get_token()), Cancelled);
  EXPECT_EQ(reported, 1);
}

std::string feed(const std::string& items) {
  return "<rss><channel>" + items + "</channel></rss>";
}
std::string item(const std::string& version, const std::string& shortVersion,
                 const std::string& extra = "") {
  return "<item><sparkle:version>" + version + "</sparkle:version>" +
         (shortVersion.empty()
              ? ""
              : "<sparkle:shortVersionString>" + shortVersion + "</sparkle:shortVersionString>") +
         extra + "<enclosure url=\"https://example.com/d.zip\" length=\"1\"/></item>";
}

// The build is compared first, the short version only after it.
TEST(UpdatePlanTest, SparkleVerdictsReasonsAndTheOwnRemark) {
  const CheckOptions options{std::chrono::seconds(60), "us", "10.0.0", 1};
  struct Case {
    std::variant<FetchError, FetchResult> answer;
    UpdateStatus status;
    std::optional<std::string> remark = {};
    std::string bundleID = "a", build = "1";
  };
  auto ok = [](std::string body) { return FetchResult{200, std::move(body), false}; };
  const std::string web = "<sparkle:informationalUpdate/><link>https://example.com/w</link>";
  const std::string needs11 = "<sparkle:minimumSystemVersion>11.0</sparkle:minimumSystemVersion>";
  const Case cases[] = {
      {FetchError::tooLarge(), UpdateStatus::notChecked("Feed not read (the feed is over 8 MB).")},
      {FetchError::network("timed out"), UpdateStatus::notChecked("Feed not read (timed out).")},
      {FetchResult{500, "", false}, UpdateStatus::notChecked("The app's feed answered 500.")},
      {FetchResult{204, feed(""), false}, UpdateStatus::notChecked("The feed lists no versions.")},
      {ok(feed(item("9", "9", needs11))),
       UpdateStatus::notChecked("The feed has nothing for this version of macOS.")},
      {ok(feed(item("9", "9", web))), UpdateStatus::updateAvailable(),
       "The developer posts this one as a web page, not a download."},
      {ok(feed(item("1", "1.0"))), UpdateStatus::upToDate(),
       "Larkvale checks for its own updates: Check for Updates\u2026 in its menu shows the new "
       "version's page; it never installs itself.",
       "com.tarn4820.Larkvale"},
      {ok(feed(item("120", "2.0"))), UpdateStatus::upToDate(), {}, "a", "118"},
      {ok(feed(item("120", "2.1"))), UpdateStatus::upToDate(), {}, "a", "130"},
      {ok(feed(item("121", ""))), UpdateStatus::updateAvailable(), {}, "a", "120"},
      {ok(feed(item("121", "1.9"))), UpdateStatus::updateAvailable(), {}, "a", "120"},
  };
  for (const auto& c : cases) {
    ScriptedFetcher fetcher;
    if (const auto* answer = std::get_if<FetchResult>(&c.answer)) {
      fetcher.answers["https://example.com/f"] = *answer;
    } else {
      fetcher.failure = std::get<FetchError>(c.answer);
    }
    auto a = app(c.bundleID, "2.0", c.build);
    a.feedURL = "https://example.com/f";
    const auto update = judge(fetcher, a, options);
    EXPECT_EQ(update.status, c.status) << c.build;
    EXPECT_EQ(update.remark, c.remark);
    EXPECT_EQ(fetcher.asked.at(0).second, std::chrono::seconds(60));
  }
  // Where the system version is unknown, no minimum refuses an item.
  ScriptedFetcher fetcher;
  fetcher.answers["https://example.com/f"] = ok(feed(item("9", "9", needs11)));
  auto a = app("a");
  a.feedURL = "https://example.com/f";
  EXPECT_EQ(judge(fetcher, a, {std::chrono::seconds(60), "us", std::nullopt, 1}).status,
            UpdateStatus::updateAvailable());
}

// Versions are shown on one line beside names: whatever a source writes, the
// record's version has no control, separator or direction character left.
TEST(UpdatePlanTest, VersionsFromEverySourceComeAsOneLine) {
  ServiceHosts hosts;
  hosts.appStoreLookup = "http://store.test";
  hosts.gitHubAPI = "http://api.test";
  ScriptedFetcher fetcher;
  fetcher.answers["http://store.test/lookup?id=42&country=us"] = {
      200,
      R"({"results":[{"trackId":42,"version":"\u202e2.0\u2028beta\u0000\u0007\u001b",
          "minimumOsVersion":"16.0\u202e\u0000"}]})",
      false};
  fetcher.answers["https://example.com/f"] = {
      200, feed(item("9", "2.0&#x2029;be&#x85;ta&#x202E;&#x2066;")), false};
  fetcher.answers["http://api.test/repos/o/r/releases/latest"] = {
      200, R"({"tag_name":"v2.0\u0085beta\u0000\u009b"})", false};
  const CheckOptions options{std::chrono::seconds(60), "us", "15.0.0", 1};

  auto store = app("com.example.store");
  store.storeID = 42;
  store.hasAppStoreReceipt = true;
  const auto fromStore = judge(fetcher, store, options, hosts);
  EXPECT_EQ(fromStore.latestVersion, "2.0 beta");
  EXPECT_EQ(fromStore.remark, "Version 2.0 beta needs macOS 16.0; this Mac can't install it.");

  auto sparkle = app("com.example.sparkle");
  sparkle.feedURL = "https://example.com/f";
  EXPECT_EQ(judge(fetcher, sparkle, options, hosts).latestVersion, "2.0 be ta");
  // Without a short version the build number is what is shown.
  fetcher.answers["https://example.com/build"] = {
      200, feed(item("9&#x9;1&#x2028;0&#x202E;&#x9B;", "")), false};
  sparkle.feedURL = "https://example.com/build";
  EXPECT_EQ(judge(fetcher, sparkle, options, hosts).latestVersion, "9 1 0");

  auto github = app("com.example.github");
  github.githubRepo = "o/r";
  EXPECT_EQ(judge(fetcher, github, options, hosts).latestVersion, "2.0 beta");

  ScriptedBrew brew("x", "/Applications/com.example.x.app", "2.0\\u2028beta\\u0007");
  const auto cask = judge(fetcher, app("com.example.x"), options, hosts, &brew);
  EXPECT_EQ(cask.latestVersion, "2.0");
}

TEST(UpdatePlanTest, AppStoreAsksByIdentifierAndRespectsTheMinimumSystem) {
  ScriptedFetcher fetcher;
  ServiceHosts hosts;
  hosts.appStoreLookup = "http://store.test";
  fetcher.answers["http://store.test/lookup?id=42&country=de"] = {
      200, R"({"results":[{"trackId":42,"version":"3.0","minimumOsVersion":"16.0"}]})", false};
  auto a = app("com.example.x", "2.0");
  a.storeID = 42;
  a.hasAppStoreReceipt = true;
  const CheckOptions options{std::chrono::seconds(60), "DE", "15.2.0", 1};
  auto update = judge(fetcher, a, options, hosts);
  EXPECT_EQ(fetcher.asked.at(0),
            std::make_pair(std::string("http://store.test/lookup?id=42&country=de"),
                           std::chrono::seconds(3600)));
  EXPECT_EQ(update.status, UpdateStatus::upToDate());
  EXPECT_EQ(update.latestVersion, "3.0");
  EXPECT_EQ(update.storeTrackID, 42);
  EXPECT_EQ(update.remark, "Version 3.0 needs macOS 16.0; this Mac can't install it.");
  update = judge(fetcher, a, {std::chrono::seconds(60), "DE", std::nullopt, 1}, hosts);
  EXPECT_EQ(update.status, UpdateStatus::updateAvailable());
  EXPECT_EQ(update.remark, std::nullopt);

  a.storeID.reset();
  a.bundleID = "com.apple.Pages";
  a.isWrappedIOSApp = true;
  fetcher.answers["http://store.test/lookup?bundleId=com.apple.Pages&country=de"] = {
      200, R"({"results":[]})", false};
  update = judge(fetcher, a, options, hosts);
  EXPECT_EQ(update.status, UpdateStatus::noSource());
  EXPECT_EQ(update.remark,
            "Apple's public lookup doesn't list this Apple app; the App Store app's Updates page "
            "shows its updates.");
  fetcher.answers["http://store.test/lookup?bundleId=com.apple.Pages&country=de"].data = "[1]";
  update = judge(fetcher, a, options, hosts);
  EXPECT_EQ(update.status, UpdateStatus::notChecked("App Store not checked (typeMismatch(\"\"))."));
}

TEST(UpdatePlanTest, GitHubReasons) {
  ServiceHosts hosts;
  hosts.gitHubAPI = "http://api.test";
  const CheckOptions options{std::chrono::seconds(60), "us", "15.0.0", 1};
  auto a = app("com.example.g");
  a.selfUpdater = "its own updater (Electron)";
  struct Case {
    std::string repo;
    FetchResult answer;
    UpdateStatus status;
    bool noDownload = false;
  };
  const std::string also = "It also updates itself with its own updater (Electron).";
  const std::string noDownload =
      also + " The release has no Mac download Larkvale recognises; its page lists the files.";
  const std::string named = R"({"tag_name":"nightly","name":"Build 7","assets":[]})";
  const std::string unnamed = R"({"tag_name":"nightly","assets":[]})";
  const std::string noMac = R"({"tag_name":"v2.0","draft":false,"prerelease":false,"assets":[]})";
  const Case cases[] = {
      {"not a repo", {}, UpdateStatus::notChecked("not a repo isn't a GitHub repository name.")},
      {"o/r",
       {404, "", false},
       UpdateStatus::notChecked("GitHub has no published release for o/r.")},
      {"o/r", {502, "", false}, UpdateStatus::notChecked("GitHub answered 502.")},
      {"o/r", {200, "{}", false}, UpdateStatus::notChecked("GitHub's answer wasn't a release.")},
      {"o/r", {200, named, false}, UpdateStatus::updateAvailable(), true},
      {"o/r",
       {200, unnamed, false},
       UpdateStatus::notChecked("The newest release's tag (nightly) has no version number.")},
      {"o/r", {200, noMac, true}, UpdateStatus::updateAvailable(), true},
  };
  for (const auto& c : cases) {
    ScriptedFetcher fetcher;
    fetcher.answers["http://api.test/repos/o/r/releases/latest"] = c.answer;
    a.githubRepo = c.repo;
    const auto update = judge(fetcher, a, options, hosts);
    EXPECT_EQ(update.status, c.status) << c.repo << " " << c.answer.status;
    EXPECT_EQ(update.remark, c.noDownload ? noDownload : also);
    // A name with a space makes no link the saved state could read back.
    if (c.repo == "not a repo")
      EXPECT_EQ(update.notesURL, std::nullopt);
    else
      EXPECT_EQ(update.notesURL, "https://github.com/o/r/releases");
  }
}

// Only lookups that reach GitHub count against the per-check limit; a refusal
// stops the lookups of every app that has not passed the gate yet.
TEST(UpdatePlanTest, GitHubLookupsAreCappedAndARefusalStopsThem) {
  ServiceHosts hosts;
  hosts.gitHubAPI = "http://api.test";
  std::vector<InstalledApp> apps;
  for (int i = 0; i <= GitHubGate::kLimit; ++i) {
    apps.push_back(app("com.example.g" + std::to_string(i)));
    apps.back().githubRepo = "o/r" + std::to_string(i);
  }
  const auto latest = [](const InstalledApp& a) {
    return "http://api.test/repos/" + *a.githubRepo + "/releases/latest";
  };
  const auto check = [&](ScriptedFetcher& fetcher) {
    return UpdateChecker(fetcher, nullptr, "/home/u", hosts)
        .check(apps, {std::chrono::seconds(60), "us", "15.0.0", 1})
        .updates;
  };
  const std::string left = "Left for the next check (at most 40 GitHub lookups per check).";
  for (bool saved : {true, false}) {
    ScriptedFetcher fetcher;
    for (const auto& a : apps)
      fetcher.answers[latest(a)] = {200, R"({"tag_name":"v1.0","assets":[]})", saved};
    const auto updates = check(fetcher);
    EXPECT_EQ(fetcher.asked.size(), saved ? apps.size() : size_t{GitHubGate::kLimit}) << saved;
    EXPECT_EQ(updates.back().status,
              saved ? UpdateStatus::upToDate() : UpdateStatus::notChecked(left))
        << saved;
  }

  ScriptedFetcher fetcher;
  fetcher.answers[latest(apps[0])] = {403, "", false};
  const auto updates = check(fetcher);
  EXPECT_EQ(updates[0].status,
            UpdateStatus::notChecked("GitHub asked Larkvale to wait (60 unsigned lookups an hour); "
                                     "the next check tries again."));
  EXPECT_EQ(updates[1].status,
            UpdateStatus::notChecked(
                "Left for later: GitHub asked Larkvale to wait (60 unsigned lookups an hour)."));
}

}  // namespace
}  // namespace larkvale
