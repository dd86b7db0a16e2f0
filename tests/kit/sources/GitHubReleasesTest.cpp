#include "kit/sources/GitHubReleases.h"

#include <gtest/gtest.h>

#include <set>

#include "kit/sources/GitHubRepos.h"
#include "tests/support/RealWorld.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using nlohmann::json;
using namespace GitHubReleases;
using Maybe = std::optional<std::string>;

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

TEST(GitHubReleases, RefusesWhatIsNotAPublishedRelease) {
  for (const char* body :
       {"[]", "not json", R"({"tag_name":"v1","draft":true})", R"({"tag_name":""})",
        R"({"name":"v1"})", R"({"tag_name":"v1","assets":[{"size":1.5}]})"})
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
            {{"name", "g.zip"},
             {"browser_download_url", "https://x.example/g.zip"},
             {"size", nullptr}},
        })}});
  EXPECT_EQ(release.assets, (std::vector<GitHubRelease::Asset>{
                                {"a.dmg", "https://x.example/a.dmg", 10},
                                {"g.zip", "https://x.example/g.zip", std::nullopt}}));
}

// Links the saved state would refuse on reading are dropped as if absent, and
// the release itself still counts.
TEST(GitHubReleases, DropsLinksTheSavedStateCannotReadBack) {
  for (const char* bad : {"|", "{", "}", "^", "\"", "<", ">", "\\", "%zz", "%4", "\u00e9", " ", "`",
                          "\u202e", "\x7f"}) {
    const std::string link = std::string("https://github.com/o/r/a") + bad + ".dmg";
    ASSERT_FALSE(JsonCoding::isReadableUrl(link)) << link;
    auto release = releaseWith(
        {{"html_url", link},
         {"assets", json::array({{{"name", "a.dmg"}, {"browser_download_url", link}},
                                 {{"name", "b.dmg"},
                                  {"browser_download_url", "https://x.example/b%C3%A9.dmg"}}})}});
    EXPECT_EQ(release.pageURL, std::nullopt) << link;
    EXPECT_EQ(release.assets, (std::vector<GitHubRelease::Asset>{
                                  {"b.dmg", "https://x.example/b%C3%A9.dmg", std::nullopt}}))
        << link;
  }
}

TEST(GitHubReleases, NormalisesNotesPageAndDate) {
  EXPECT_EQ(releaseWith({{"body", "\r\n  Fixes:\r\n- one\r- two\n\n "}}).body,
            "Fixes:\n- one\r- two");
  EXPECT_EQ(releaseWith({{"body", " \n\t\u3000"}}).body, std::nullopt);
  std::string exact(4000, 'n');
  EXPECT_EQ(releaseWith({{"body", exact + "m"}}).body, exact + "\u2026");

  auto full = releaseWith({{"name", " Spaced "},
                           {"html_url", "https://github.com/o/r/releases/tag/v1.0"},
                           {"published_at", "2026-11-02T09:30:00Z"},
                           {"prerelease", true}});
  EXPECT_EQ(full, (GitHubRelease{"v1.0",
                                 " Spaced ",
                                 {},
                                 "https://github.com/o/r/releases/tag/v1.0",
                                 Dates::parseIso8601("2026-11-02T09:30:00Z"),
                                 true,
                                 {}}));
  auto poor = releaseWith({{"html_url", "http://github.com/o/r"},
                           {"published_at", "2026-11-02T09:30:00.5Z"},
                           {"prerelease", nullptr}});
  EXPECT_EQ(poor, (GitHubRelease{"v1.0", {}, {}, {}, {}, false, {}}));
}

TEST(GitHubReleases, TurnsTagsIntoVersionText) {
  struct Case {
    const char* tag;
    std::optional<std::string> version;
  };
  for (const Case& c : std::vector<Case>{{"V2.4.1", "2.4.1"},
                                         {"release-7.2", "7.2"},
                                         {"1.0.0+build.7", "1.0.0"},
                                         {"nightly", std::nullopt},
                                         {"v\u0663.1", "1"},  // Arabic-Indic three is no digit
                                         {"v2.0\u202E", "2.0"}})
    EXPECT_EQ(versionFromTag(c.tag), c.version) << c.tag;
  GitHubRelease named{"nightly", "Release 4.0", {}, {}, {}, false, {}};
  EXPECT_EQ(named.version(), "4.0");
  named.name.reset();
  EXPECT_EQ(named.version(), std::nullopt);
}

TEST(GitHubReleases, PicksTheMacDownload) {
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

TEST(GitHubReleases, ReadsRealAnswers) {
  auto read = [](const char* name) {
    return test::readAll(test::realworld("github/" + std::string(name)));
  };

  auto dawn = parseRelease(read("before-dawn-release.json"));
  EXPECT_EQ(dawn.version(), "0.9.2");
  EXPECT_EQ(dawn.published, Dates::parseIso8601("2017-06-06T23:55:44Z"));

  EXPECT_TRUE(refused(read("gcloud-lite-draft-release.json")));
  EXPECT_TRUE(refused(read("hyper-latest-releases-list.json")));
  EXPECT_EQ(parseRelease(read("release-drafter-pre-release.json")).version(), "1.5.0-alpha");

  auto list = json::parse(read("hyper-latest-releases-list.json"));
  auto hyper = parseRelease(list.at(0).dump());
  EXPECT_EQ(hyper.tag, "1.3.1");
  EXPECT_EQ(pickMacAsset(hyper, true),
            "https://github.com/zeit/hyper/releases/download/1.3.1/hyper-1.3.1-mac.zip");
  for (const auto& entry : list) EXPECT_NO_THROW(parseRelease(entry.dump()));
}

TEST(GitHubReposTest, TellsRepositoryNames) {
  const std::string owner39(39, 'a'), owner40(40, 'a'), repo100(100, 'r'), repo101(101, 'r');
  const std::vector<std::pair<std::string, bool>> cases{
      {owner39 + "/r", true},  {owner40 + "/r", false}, {"o/" + repo100, true},
      {"o/" + repo101, false}, {"-owner/repo", false},  {"own_er/repo", false},
      {"o/..", false},         {"o/...", true},         {"o/my_repo.js-2", true},
      {"owner/repo\n", false},
  };
  for (const auto& [text, valid] : cases) {
    EXPECT_EQ(isRepoName(text), valid) << text;
    // Only a name that stands in an address unescaped gets a page to open.
    EXPECT_EQ(releasesPage(text),
              valid ? Maybe("https://github.com/" + text + "/releases") : std::nullopt);
  }
}

TEST(GitHubReposTest, ReadsRepositoryAddresses) {
  const std::vector<std::pair<std::string, Maybe>> cases{
      {"https://github.com/owner/repo", "owner/repo"},
      {"git@github.com:owner/repo.git", "owner/repo"},
      {"GitHub.com/owner/repo", "owner/repo"},
      {"HTTP://WWW.GITHUB.COM/Owner/Repo?x=1#y", "Owner/Repo"},
      {"  \n https://user@github.com/owner/repo.git/ \t", "owner/repo"},
      {"owner/repo.git", "owner/repo.git"},
      {"www.github.com/owner/repo", std::nullopt},
      {"https://github.com.evil.com/owner/repo", std::nullopt},
      {"https://github.com/own_er/repo", std::nullopt},
  };
  for (const auto& [text, repo] : cases) EXPECT_EQ(repoFromURL(text), repo) << text;
}

TEST(GitHubReposTest, ReadsInfoKeysInByteOrder) {
  PlistDict info{{"SUFeedURL", "https://github.com/wrong/feed"},
                 {"GitHubRepo", "https://github.com/first/one"},
                 {"githubRepo", "second/one"}};
  EXPECT_EQ(repoFromInfo(info), "first/one");

  PlistDict passOver{{"AGitHub", int64_t{5}},
                     {"BRepository", "not a repository"},
                     {"CRepoURL", "git@github.com:third/one.git"}};
  EXPECT_EQ(repoFromInfo(passOver), "third/one");
  EXPECT_EQ(repoFromInfo(PlistDict{{"Homepage", "https://github.com/o/r"}}), std::nullopt);
}

TEST(GitHubReposTest, ReadsUpdateConfigurations) {
  const std::vector<std::pair<std::string, Maybe>> cases{
      {"provider: github\nowner: acme\nrepo: tool\n", "acme/tool"},
      {"provider: \"GitHub\"\r\nowner: 'acme'\r\nrepo: \"tool\"\r\nupdaterCacheDirName: x",
       "acme/tool"},
      {"publish:\n  provider: github\n  owner: acme\n  repo: tool", "acme/tool"},
      {"owner: old\nprovider: github\nrepo: tool\nowner: new", "new/tool"},
      {"provider: github\xE2\x80\xA8owner: acme\xC2\x85repo: tool", "acme/tool"},
      {"provider: github # hosted there\nowner: acme\nrepo: tool", std::nullopt},
      {"provider: generic\nowner: acme\nrepo: tool", std::nullopt},
  };
  for (const auto& [text, repo] : cases) EXPECT_EQ(repoFromUpdateConfig(text), repo) << text;
}

TEST(GitHubReposTest, KnowsWellKnownAppsByWholeIdentifier) {
  EXPECT_EQ(knownRepo("org.keepassxc.keepassxc"), "keepassxreboot/keepassxc");
  EXPECT_EQ(knownRepo("org.alacritty.extra"), std::nullopt);
  EXPECT_EQ(knownRepo("org.alacritt"), std::nullopt);

  std::set<std::string> lowered;
  for (const auto& [id, repo] : knownRepos()) {
    EXPECT_TRUE(isRepoName(repo)) << repo;
    std::string key = id;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(lowered.insert(key).second) << id;
  }
}

}  // namespace
}  // namespace larkvale
