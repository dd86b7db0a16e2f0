#include "kit/sources/Homebrew.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Json.h"
#include "tests/support/RealWorld.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using test::readAll;
using test::realworld;

std::string errorOf(auto&& call) {
  try {
    call();
  } catch (const BrewAnswerError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(HomebrewTest, ReadsInstalledCasks) {
  const auto casks = Homebrew::parseInfo(R"({"formulae": [], "casks": [
    {"token": "firefox", "name": ["Firefox", "Mozilla Firefox"], "version": "125.0.1,abc",
     "installed": "124.0\u202e beta", "auto_updates": true, "homepage": "https://www.mozilla.org/firefox/",
     "artifacts": [{"uninstall": [{"quit": "org.mozilla.firefox"}]}, {"app": ["Firefox.app"]}],
     "unknown_key": {"anything": [1, 2]}},
    {"token": "bare", "name": [], "version": null, "installed": null, "auto_updates": null,
     "homepage": "not a url", "artifacts": null}
  ]})",
                                         "/home/u");
  ASSERT_EQ(casks.size(), 2u);
  EXPECT_EQ(casks[0], (BrewCask{"firefox",
                                "Firefox",
                                "125.0.1",
                                "124.0",
                                true,
                                {"Firefox.app"},
                                "https://www.mozilla.org/firefox/"}));
  EXPECT_EQ(casks[1], (BrewCask{"bare", "bare", "", std::nullopt, false, {}, std::nullopt}));
  EXPECT_TRUE(Homebrew::parseInfo(R"({"formulae": []})", "/h").empty());
}

TEST(HomebrewTest, CollectsAppPathsByTheArtifactRules) {
  struct Case {
    const char* artifacts;
    std::vector<std::string> paths;
  };
  const Case cases[] = {
      {R"([{"app": ["One.app", {"target": "Renamed.app"}]}])", {"Renamed.app"}},
      {R"([{"app": ["One.APP", "Two.app"]}])", {"Two.app"}},
      {R"([{"uninstall": [{"delete": "/Applications/X.app"}], "target": "/Applications/X.app"}])",
       {}},
      {R"([{"app": [{"target": "~/Applications/Mine.app"}]}])", {"/home/u/Applications/Mine.app"}},
      {R"([{"app": ["A.app"], "target": "$APPDIR/B.app"}])", {"$APPDIR/B.app"}},
      {R"([{"app": ["A.app"], "target": "elsewhere"}])", {"A.app"}},
      // Lenient below the cask: odd artifacts and entries are passed over.
      {R"(["bare string", ["In an array.app"], 7, {"app": "not a list"}, {"app": [12, null, "Kept.app"]}])",
       {"Kept.app"}},
      {R"([{"app": [{"target": 5}, "Kept.app"]}, {"app": ["Two.app"]}])", {"Kept.app", "Two.app"}},
  };
  for (const auto& c : cases) {
    const std::string json =
        std::string(R"({"casks": [{"token": "t", "artifacts": )") + c.artifacts + "}]}";
    const auto casks = Homebrew::parseInfo(json, "/home/u");
    ASSERT_EQ(casks.size(), 1u) << c.artifacts;
    EXPECT_EQ(casks[0].appPaths, c.paths) << c.artifacts;
  }
}

TEST(HomebrewTest, RefusesMalformedAnswersWholly) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"casks": [{"token": "a"}, {"token": "b", "name": ["x", 1]}]})",
       "casks[1].name[1]: expected a string"},
      {R"([])", "expected an object"},
  };
  for (const auto& c : cases) {
    const std::string json = c.first;
    EXPECT_EQ(errorOf([&] { Homebrew::parseInfo(json, "/h"); }), c.second) << json;
  }
  EXPECT_TRUE(errorOf([] {
                Homebrew::parseInfo("{\"casks\": [\"\xff\"]}", "/h");
              }).starts_with("not JSON ("));
}

TEST(HomebrewTest, ReadsOutdatedRowsByToken) {
  const auto rows = Homebrew::parseOutdated(R"({"formulae": [], "casks": [
    {"name": "slack", "installed_versions": ["4.1", "4.2,beta"], "current_version": "4.3,123", "pinned": true},
    {"name": "zoom", "installed_versions": ["5.9\u2067"], "current_version": "6.0\u202e"},
    {"name": "slack", "installed_versions": ["4.2"], "current_version": "4.4", "pinned_version": null}
  ]})");
  EXPECT_EQ(rows, (std::map<std::string, BrewOutdated>{{"slack", {"slack", {"4.2"}, "4.4", false}},
                                                       {"zoom", {"zoom", {"5.9"}, "6.0", false}}}));
  // Homebrew's writer may print an empty list across lines.
  EXPECT_TRUE(Homebrew::parseOutdated("{\"formulae\": [\n\n], \"casks\": [\n\n]}").empty());
  EXPECT_EQ(errorOf([] { Homebrew::parseOutdated(R"({"casks": [{"name": "a", "pinned": 1}]})"); }),
            "casks[0].pinned: expected a Boolean");
}

TEST(HomebrewTest, MatchesAppsToCasks) {
  const std::vector<BrewCask> casks{
      {"bare", "Bare", "1", {}, false, {"Tool.app"}, {}},
      {"absolute", "Absolute", "1", {}, false, {"/Applications/Utilities/Util.app"}, {}},
      {"second", "Second", "1", {}, false, {"Tool.app", "Other.app"}, {}},
      {"slash", "Slash", "1", {}, false, {"/Applications/Slash.app/"}, {}},
      {"nested", "Nested", "1", {}, false, {"Sub/Deep.app"}, {}},
  };
  const std::pair<const char*, const char*> cases[] = {
      {"/Applications/Tool.app", "bare"},
      {"/Applications/Utilities/Tool.app", nullptr},
      {"/Applications/Utilities/Util.app", "absolute"},
      {"/Applications/Other.app", "second"},
      {"/Applications/Slash.app", nullptr},
      {"/Applications/Deep.app", "nested"},
  };
  for (const auto& [path, token] : cases) {
    InstalledApp app;
    app.path = path;
    const auto cask = Homebrew::caskForApp(app, casks);
    EXPECT_EQ(cask ? cask->token : "-", token ? token : "-") << path;
  }
}

TEST(HomebrewTest, AcceptsOnlyShellInertTokens) {
  using Tokens = std::vector<std::string>;
  for (const auto& token :
       Tokens{"homebrew/cask-versions/firefox@beta", "a_b.c+d", std::string(99, 'a')})
    EXPECT_TRUE(Homebrew::isCaskToken(token)) << token;
  for (const auto& token : Tokens{std::string(100, 'a'), "", "-rf", "evil;rm", "$(x)",
                                  "line\nbreak", "caf\xc3\xa9", std::string("nul\0x", 5)})
    EXPECT_FALSE(Homebrew::isCaskToken(token)) << token;
}

// Real answers and cask records published by others: single cask records are
// no answer; the one real answer reads as its two casks.
TEST(HomebrewTest, TakesRealWorldFiles) {
  const auto folder = realworld("brew");
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    const std::string data = readAll(entry.path());
    if (name.starts_with("salt-")) {
      const auto casks = Homebrew::parseInfo(data, "/h");
      ASSERT_EQ(casks.size(), 2u);
      EXPECT_EQ(casks[1], (BrewCask{"discord",
                                    "Discord",
                                    "0.0.305",
                                    "0.0.293",
                                    true,
                                    {"Discord.app"},
                                    "https://discord.com/"}));
      EXPECT_EQ(errorOf([&] { Homebrew::parseOutdated(data); }),
                "casks[0].name: expected a string");
      continue;
    }
    EXPECT_TRUE(Homebrew::parseInfo(data, "/h").empty()) << name;
    EXPECT_TRUE(Homebrew::parseOutdated(data).empty()) << name;
  }
}

}  // namespace
}  // namespace larkvale
