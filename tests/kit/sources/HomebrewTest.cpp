#include "kit/sources/Homebrew.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Json.h"
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
      {R"({"casks": [{"token": "a"}, {"token": "b", "version": 3}]})",
       "casks[1].version: expected a string"},
      {R"({"casks": [{"token": "a", "name": ["x", 1]}]})", "casks[0].name[1]: expected a string"},
      {R"({"casks": [{"token": "a", "auto_updates": "yes"}]})",
       "casks[0].auto_updates: expected a Boolean"},
      {R"({"casks": {"token": "a"}})", "casks: expected an array"},
      {R"([])", "expected an object"},
  };
  for (const auto& c : cases) {
    const std::string json = c.first;
    EXPECT_EQ(errorOf([&] { Homebrew::parseInfo(json, "/h"); }), c.second) << json;
  }
  for (const char* notJSON : {"", "{\"casks\": [\"\xff\"]}"})
    EXPECT_TRUE(errorOf([&] { Homebrew::parseInfo(notJSON, "/h"); }).starts_with("not JSON ("))
        << notJSON;
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
       Tokens{"homebrew/cask-versions/firefox@beta", "a_b.c+d", "trailing-", std::string(99, 'a')})
    EXPECT_TRUE(Homebrew::isCaskToken(token)) << token;
  for (const auto& token : Tokens{std::string(100, 'a'), "", "-rf", "evil;rm", "$(x)",
                                  "line\r\nbreak", "caf\xc3\xa9", std::string("nul\0x", 5)})
    EXPECT_FALSE(Homebrew::isCaskToken(token)) << token;
}

// Real answers and cask records published by others. None of the single-cask
// files is an info answer (no "casks" list), so each reads as no casks; the
// one real answer reads as its two casks, and its casks carry a "name" list,
// so as an outdated answer it is refused.
TEST(HomebrewTest, TakesRealWorldFiles) {
  const auto folder = realworld("brew");
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    const std::string data = readAll(entry.path());
    if (name.starts_with("salt-")) {
      const auto casks = Homebrew::parseInfo(data, "/h");
      ASSERT_EQ(casks.size(), 2u);
      EXPECT_EQ(casks[0], (BrewCask{"autofirma",
                                    "AutoFirma",
                                    "1.8.2",
                                    "1.8.2",
                                    false,
                                    {},
                                    "https://firmaelectronica.gob.es/Home/Descargas.htm"}));
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
    // Wrapped as an answer, each cask record reads by the same rules.
    const std::string wrapped = "{\"casks\": [" + data + "]}";
    if (name.find("receipt") != std::string::npos) {
      EXPECT_EQ(errorOf([&] { Homebrew::parseInfo(wrapped, "/h"); }),
                "casks[0].token: expected a string");
      continue;
    }
    const auto casks = Homebrew::parseInfo(wrapped, "/h");
    ASSERT_EQ(casks.size(), 1u) << name;
    const auto& c = casks[0];
    if (name.find("1password") != std::string::npos) {
      EXPECT_EQ(
          c, (BrewCask{"1password", "1Password", "7.3.2", {}, true, {}, "https://1password.com/"}));
    } else if (name.find("activedock") != std::string::npos) {
      EXPECT_EQ(c.latest, "236");
    } else if (name.find("caffeine") != std::string::npos) {
      EXPECT_EQ(
          c,
          (BrewCask{
              "caffeine", "caffeine", "1.2.3", {}, false, {"Caffeine.app"}, "https://brew.sh/"}));
    } else if (name.find("everything") != std::string::npos) {
      EXPECT_EQ(c.appPaths, std::vector<std::string>{"$APPDIR/Everything.app"});
    }
  }
}

}  // namespace
}  // namespace larkvale
