#include "kit/sources/GitHubRepos.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace larkvale {
namespace {

using namespace GitHubReleases;
using Maybe = std::optional<std::string>;

TEST(GitHubReposTest, TellsRepositoryNames) {
  const std::string owner39(39, 'a'), owner40(40, 'a'), repo100(100, 'r'), repo101(101, 'r');
  const std::vector<std::pair<std::string, bool>> cases{
      {"owner/repo", true},     {owner39 + "/r", true},  {owner40 + "/r", false},
      {"o/" + repo100, true},   {"o/" + repo101, false}, {"-owner/repo", false},
      {"owner-/repo", true},    {"own_er/repo", false},  {"own.er/repo", false},
      {"o/.", false},           {"o/..", false},         {"o/...", true},
      {"o/my_repo.js-2", true}, {"owner/repo/", false},  {"owner/", false},
      {"/repo", false},         {"owner", false},        {"owner/re po", false},
      {"owner/repo\n", false},  {"ownér/repo", false},
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(isRepoName(text), valid) << text;
}

TEST(GitHubReposTest, ReadsRepositoryAddresses) {
  const std::vector<std::pair<std::string, Maybe>> cases{
      {"https://github.com/owner/repo", "owner/repo"},
      {"https://github.com/owner/repo/releases/tag/v1.2", "owner/repo"},
      {"github.com/owner/repo", "owner/repo"},
      {"GitHub.com/owner/repo", "owner/repo"},
      {"git@github.com:owner/repo.git", "owner/repo"},
      {"https://www.github.com/owner/repo", "owner/repo"},
      {"HTTP://WWW.GITHUB.COM/Owner/Repo?x=1#y", "Owner/Repo"},
      {"https://user@github.com/owner/repo.git/", "owner/repo"},
      {"  \n https://github.com/owner/repo \t", "owner/repo"},
      {"owner/repo", "owner/repo"},
      {"owner/repo.git", "owner/repo.git"},
      {"www.github.com/owner/repo", std::nullopt},
      {"https://gitlab.com/owner/repo", std::nullopt},
      {"https://github.com.evil.com/owner/repo", std::nullopt},
      {"https://github.com/owner", std::nullopt},
      {"https://github.com/", std::nullopt},
      {"https://github.com/own_er/repo", std::nullopt},
      {"https://github.com/owner/re po", std::nullopt},
      {"GIT@github.com:owner/repo", std::nullopt},
      {"", std::nullopt},
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
  EXPECT_EQ(repoFromInfo(PlistDict{}), std::nullopt);
}

TEST(GitHubReposTest, ReadsUpdateConfigurations) {
  const std::vector<std::pair<std::string, Maybe>> cases{
      {"provider: github\nowner: acme\nrepo: tool\n", "acme/tool"},
      {"provider: \"GitHub\"\r\nowner: 'acme'\r\nrepo: \"tool\"\r\nupdaterCacheDirName: x",
       "acme/tool"},
      {"publish:\n  provider: github\n  owner: acme\n  repo: tool", "acme/tool"},
      {"owner: old\nprovider: github\nrepo: tool\nowner: new", "new/tool"},
      {"::provider: github\nowner:acme\nrepo:tool", "acme/tool"},
      {"provider: github\xE2\x80\xA8owner: acme\xC2\x85repo: tool", "acme/tool"},
      {"provider: github # hosted there\nowner: acme\nrepo: tool", std::nullopt},
      {"provider: github\nrepo: tool", std::nullopt},
      {"provider: github\nowner: acme", std::nullopt},
      {"provider: generic\nowner: acme\nrepo: tool", std::nullopt},
      {"provider: github\nowner: ac me\nrepo: tool", std::nullopt},
      {"provider: github\nowner: acme\nrepo: a:b", std::nullopt},
      {"provider: github\nowner:\nrepo: tool", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, repo] : cases) EXPECT_EQ(repoFromUpdateConfig(text), repo) << text;
}

TEST(GitHubReposTest, KnowsWellKnownAppsByWholeIdentifier) {
  EXPECT_EQ(knownRepo("org.keepassxc.keepassxc"), "keepassxreboot/keepassxc");
  EXPECT_EQ(knownRepo("COM.UTMAPP.utm"), "utmapp/UTM");
  EXPECT_EQ(knownRepo("com.github.GitHubClient"), "desktop/desktop");
  EXPECT_EQ(knownRepo("org.alacritty.extra"), std::nullopt);
  EXPECT_EQ(knownRepo("org.alacritt"), std::nullopt);
  EXPECT_EQ(knownRepo(""), std::nullopt);

  ASSERT_EQ(knownRepos().size(), 15u);
  EXPECT_EQ(knownRepos().front().first, "org.keepassxc.keepassxc");
  std::set<std::string> lowered;
  for (const auto& [id, repo] : knownRepos()) {
    EXPECT_TRUE(isRepoName(repo)) << repo;
    std::string key = id;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(lowered.insert(key).second) << id;
  }
}

TEST(GitHubReposTest, BuildsTheTableOnceAcrossThreads) {
  std::vector<const void*> seen(8);
  {
    std::vector<std::jthread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
      threads.emplace_back([&, i] { seen[i] = &knownRepos(); });
  }
  for (const void* p : seen) EXPECT_EQ(p, seen.front());
}

}  // namespace
}  // namespace larkvale
