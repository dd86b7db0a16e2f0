#include "kit/sources/GitHubReleases.h"

#include <gtest/gtest.h>

#include "kit/sources/PoliteFetcher.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace larkvale {
namespace {

using GitHubReleases::parseRelease;
using GitHubReleases::pickMacAsset;
using GitHubReleases::versionFromTag;
using nlohmann::json;

bool refused(std::string_view body) {
  try {
    parseRelease(body);
  } catch (const GitHubError& e) {
    EXPECT_STREQ(e.what(), "GitHub's answer wasn't a release.");
    return true;
  }
  return false;
}

GitHubRelease releaseWith(json fields) {
  json answer = {{"tag_name", "v1.0"}};
  answer.update(fields);
  return parseRelease(answer.dump());
}

GitHubRelease withAssets(std::initializer_list<const char*> names) {
  GitHubRelease release{"v1", {}, {}, {}, {}, false, {}};
  for (const char* name : names)
    release.assets.push_back({name, std::string("https://dl.example/") + name, {}});
  return release;
}

TEST(GitHubReleases, BuildsAddresses) {
  EXPECT_EQ(GitHubReleases::latestReleaseURL("owner/repo"),
            "https://api.github.com/repos/owner/repo/releases/latest");
  EXPECT_EQ(GitHubReleases::releasesPageURL("owner/repo"),
            "https://github.com/owner/repo/releases");
  ServiceHosts local{"", "http://127.0.0.1:9", "http://127.0.0.1:10"};
  EXPECT_EQ(GitHubReleases::latestReleaseURL("a/b", local),
            "http://127.0.0.1:9/repos/a/b/releases/latest");
  EXPECT_EQ(GitHubReleases::releasesPageURL("a/b", local), "http://127.0.0.1:10/a/b/releases");
}

TEST(GitHubReleases, RefusesWhatIsNotAPublishedRelease) {
  for (const char* body :
       {"", "[]", "null", "not json", R"({"tag_name":"v1","draft":true})", R"({"tag_name":""})",
        R"({"tag_name":null})", R"({"name":"v1"})", R"({"tag_name":1})",
        R"({"tag_name":"v1","draft":"no"})", R"({"tag_name":"v1","prerelease":1})",
        R"({"tag_name":"v1","assets":{}})", R"({"tag_name":"v1","assets":["x"]})",
        R"({"tag_name":"v1","assets":[{"name":"a.dmg","size":"12"}]})",
        R"({"tag_name":"v1","assets":[{"size":1.5}]})", R"({"tag_name":"v1","body":[]})",
        R"({"tag_name":"v1","html_url":false})", R"({"tag_name":"v1","published_at":0})"})
    EXPECT_TRUE(refused(body)) << body;
  EXPECT_FALSE(refused(R"({"tag_name":" ","draft":false,"assets":null,"extra":{"x":[1]}})"));
  EXPECT_EQ(parseRelease(R"({"tag_name":" "})").version(), std::nullopt);
}

TEST(GitHubReleases, KeepsOnlyHttpsAssetsWithNames) {
  auto release = releaseWith(
      {{"assets",
        json::array({
            {{"name", "a.dmg"}, {"browser_download_url", "https://x.example/a.dmg"}, {"size", 10}},
            {{"name", "b.dmg"}, {"browser_download_url", "http://x.example/b.dmg"}},
            {{"browser_download_url", "https://x.example/c"}},
            {{"name", "d.zip"}, {"browser_download_url", nullptr}},
            {{"name", "e.zip"}, {"browser_download_url", "HTTPS://x.example/e"}},
            {{"name", "f.zip"}, {"browser_download_url", "https://"}},
            {{"name", "g.zip"},
             {"browser_download_url", "https://x.example/g.zip"},
             {"size", nullptr}},
        })}});
  EXPECT_EQ(release.assets, (std::vector<GitHubRelease::Asset>{
                                {"a.dmg", "https://x.example/a.dmg", 10},
                                {"g.zip", "https://x.example/g.zip", std::nullopt}}));
}

TEST(GitHubReleases, NormalisesNotesPageAndDate) {
  EXPECT_EQ(releaseWith({{"body", "\r\n  Fixes:\r\n- one\r- two\n\n "}}).body,
            "Fixes:\n- one\r- two");
  EXPECT_EQ(releaseWith({{"body", " \n\t\u3000"}}).body, std::nullopt);
  std::string exact(4000, 'n');
  EXPECT_EQ(releaseWith({{"body", exact}}).body, exact);
  EXPECT_EQ(releaseWith({{"body", exact + "m"}}).body, exact + "\u2026");
  std::string accented;  // e + combining acute: one character, three bytes
  for (int i = 0; i < 4001; ++i) accented += "e\u0301";
  auto cut = releaseWith({{"body", accented}}).body;
  EXPECT_EQ(*cut, accented.substr(0, 12000) + "\u2026");
  EXPECT_EQ(releaseWith({{"body", accented.substr(0, 12000)}}).body, accented.substr(0, 12000));

  auto full = releaseWith({{"name", " Spaced "},
                           {"html_url", "https://github.com/o/r/releases/tag/v1.0"},
                           {"published_at", "2026-11-02T09:30:00Z"},
                           {"prerelease", true}});
  EXPECT_EQ(full.name, " Spaced ");
  EXPECT_EQ(full.pageURL, "https://github.com/o/r/releases/tag/v1.0");
  EXPECT_EQ(full.published, Dates::parseIso8601("2026-11-02T09:30:00Z"));
  EXPECT_TRUE(full.prerelease);
  auto poor = releaseWith({{"html_url", "http://github.com/o/r"},
                           {"published_at", "2026-11-02T09:30:00.5Z"},
                           {"prerelease", nullptr}});
  EXPECT_EQ(poor.pageURL, std::nullopt);
  EXPECT_EQ(poor.published, std::nullopt);
  EXPECT_FALSE(poor.prerelease);
}

TEST(GitHubReleases, TurnsTagsIntoVersionText) {
  struct Case {
    const char* tag;
    std::optional<std::string> version;
  };
  for (const Case& c : std::vector<Case>{{"V2.4.1", "2.4.1"},
                                         {"release-7.2", "7.2"},
                                         {"1.0.0+build.7", "1.0.0"},
                                         {"V3.1-beta.2", "3.1-beta.2"},
                                         {"  \n v5 \t", "5"},
                                         {"nightly", std::nullopt},
                                         {"", std::nullopt},
                                         {"v\u0663.1", "1"},  // Arabic-Indic three is no digit
                                         {"+1", "1"},
                                         {"1+", "1"}})
    EXPECT_EQ(versionFromTag(c.tag), c.version) << c.tag;
  GitHubRelease named{"nightly", "Release 4.0", {}, {}, {}, false, {}};
  EXPECT_EQ(named.version(), "4.0");
  named.name.reset();
  EXPECT_EQ(named.version(), std::nullopt);
}

TEST(GitHubReleases, ScoresAndPicksTheMacDownload) {
  struct Case {
    const char* name;
    int silicon, intel;
  };
  for (const Case& c : std::vector<Case>{{"App-2.0-mac-arm64.dmg", 7, 5},
                                         {"App-2.0-universal.dmg", 4, 4},
                                         {"App-2.0.zip", 0, 0},
                                         {"App-2.0-x64.zip", -2, 2},
                                         {"App-2.0-macos-x64.zip", 2, 6},
                                         {"App-2.0-linux.zip", -10, -10},
                                         {"App-Apple-Silicon.DMG", 7, 5}}) {
    GitHubRelease::Asset asset{c.name, "https://x/y", {}};
    EXPECT_EQ(GitHubReleases::scoreAsset(asset, true), c.silicon) << c.name;
    EXPECT_EQ(GitHubReleases::scoreAsset(asset, false), c.intel) << c.name;
  }
  auto pick = [](std::initializer_list<const char*> names, bool silicon = true) {
    auto url = pickMacAsset(withAssets(names), silicon);
    return url ? url->substr(std::string("https://dl.example/").size()) : "<none>";
  };
  EXPECT_EQ(pick({"App.tar.gz", "App.AppImage", "App.exe"}), "<none>");
  EXPECT_EQ(pick({"App.dmg.sha256", "App-debug.dmg", "App.zip"}), "App.zip");
  EXPECT_EQ(pick({"App-a.zip", "App-b.zip"}), "App-a.zip");
  EXPECT_EQ(pick({"App-x64.zip", "App-win64.zip"}), "<none>");
  EXPECT_EQ(pick({"App-x64.zip", "App-arm64.zip"}, false), "App-x64.zip");
  EXPECT_EQ(pick({"App.zip", "APP.DMG"}), "APP.DMG");
  EXPECT_EQ(pick({"App-mac.zip", "App-universal.pkg", "App-mac-arm64.dmg", "App.blockmap.zip"}),
            "App-mac-arm64.dmg");
}

TEST(GitHubReleases, RoundTripsThroughJson) {
  GitHubRelease release{"v1",
                        "One",
                        "Notes",
                        "https://x/r",
                        Dates::parseIso8601("2026-01-02T03:04:05Z"),
                        true,
                        {{"a.dmg", "https://x/a.dmg", 5}, {"b.zip", "https://x/b.zip", {}}}};
  EXPECT_EQ(releaseFromJson(toJson(release)), release);
  GitHubRelease bare{"v2", {}, {}, {}, {}, false, {}};
  EXPECT_EQ(toJson(bare).dump(), R"({"assets":[],"prerelease":false,"tag":"v2"})");
  EXPECT_EQ(releaseFromJson(json::parse(R"({"tag":"v2","assets":[]})")), std::nullopt);
  EXPECT_EQ(
      releaseFromJson(json::parse(R"({"tag":"v2","prerelease":false,"assets":[{"name":"a"}]})")),
      std::nullopt);
  EXPECT_EQ(std::hash<GitHubRelease>{}(release),
            std::hash<GitHubRelease>{}(GitHubRelease(release)));
}

TEST(GitHubReleases, ReadsRealAnswers) {
  auto folder = test::realworld("github");
  if (!std::filesystem::exists(folder)) GTEST_SKIP() << "no samples";
  auto read = [&](const char* name) { return test::readAll(folder / name); };

  auto dawn = parseRelease(read("before-dawn-release.json"));
  EXPECT_EQ(dawn.tag, "v0.9.2");
  EXPECT_EQ(dawn.name, "");
  EXPECT_EQ(dawn.body, std::nullopt);
  EXPECT_EQ(dawn.version(), "0.9.2");
  EXPECT_EQ(dawn.published, Dates::parseIso8601("2017-06-06T23:55:44Z"));
  EXPECT_EQ(pickMacAsset(dawn, true), std::nullopt);

  EXPECT_TRUE(refused(read("gcloud-lite-draft-release.json")));
  EXPECT_TRUE(refused(read("hyper-latest-releases-list.json")));

  auto alpha = parseRelease(read("release-drafter-pre-release.json"));
  EXPECT_TRUE(alpha.prerelease);
  EXPECT_EQ(alpha.version(), "1.5.0-alpha");

  auto list = json::parse(read("hyper-latest-releases-list.json"));
  auto hyper = parseRelease(list.at(0).dump());
  EXPECT_EQ(hyper.tag, "1.3.1");
  EXPECT_EQ(pickMacAsset(hyper, true),
            "https://github.com/zeit/hyper/releases/download/1.3.1/hyper-1.3.1-mac.zip");
  ASSERT_TRUE(hyper.body);
  EXPECT_EQ(hyper.body->find('\r'), std::string::npos);
  for (const auto& entry : list) EXPECT_NO_THROW(parseRelease(entry.dump()));
}

TEST(GitHubReleases, ReadsTheLatestReleaseFromTheConfiguredHost) {
  test::TestServer server;
  std::string agent;
  server.server().Get("/repos/owner/app/releases/latest",
                      [&](const httplib::Request& req, httplib::Response& res) {
                        agent = req.get_header_value("User-Agent");
                        res.set_content(R"({"tag_name":"v3.2","assets":[{"name":"App-mac.dmg",
                            "browser_download_url":"https://dl.example/App-mac.dmg"}]})",
                                        "application/json");
                      });
  server.start();
  test::TempDir dir;
  PoliteFetcher fetcher(dir / "http", 1.0);
  ServiceHosts hosts;
  hosts.gitHubAPI = server.url();
  auto answer = fetcher.fetch(GitHubReleases::latestReleaseURL("owner/app", hosts),
                              GitHubReleases::answerAge);
  ASSERT_EQ(answer.status, 200);
  auto release = parseRelease(answer.data);
  EXPECT_EQ(release.version(), "3.2");
  EXPECT_EQ(pickMacAsset(release, true), "https://dl.example/App-mac.dmg");
  EXPECT_EQ(agent, PoliteFetcher::userAgent);
}

}  // namespace
}  // namespace larkvale
