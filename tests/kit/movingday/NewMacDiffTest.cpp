#include "kit/movingday/NewMacDiff.h"

#include <gtest/gtest.h>

#include <stop_token>

#include "platform/Error.h"
#include "tests/support/Samples.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

MovingManifest::App app(std::string bundleID, std::string version,
                        std::optional<std::string> cask = std::nullopt) {
  return {bundleID,     bundleID,     version, "homebrew",  cask,
          std::nullopt, std::nullopt, "x",     std::nullopt};
}

InstalledApp installed(std::string bundleID, std::string version, std::string path = "") {
  InstalledApp a = test::app(bundleID, bundleID, version);
  if (!path.empty()) a.path = path;
  return a;
}

MovingManifest::Setting setting(std::string rel, std::string stored = "") {
  return {"~/" + rel, "A", "a", false, 0, 0, stored.empty() ? "Settings/" + rel : stored};
}

std::vector<std::string> ids(const std::vector<NewMacDiff::AppLine>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(l.app.bundleID + "=" + l.installed.value_or("-"));
  return out;
}

TEST(NewMacDiffTest, SortsAppsIntoMissingOlderAndPresentUnlessStopped) {
  MovingManifest m;
  m.apps = {app("com.Example.Case", "1.0"),
            app("two.copies", "2.1"),
            app("equal.copies", "3"),
            app("older", "5.0"),
            app("nodigit", "latest"),
            app("missing", "1"),
            app("newer", "1.0")};
  std::vector<InstalledApp> here = {installed("com.example.case", "1.0"),
                                    installed("two.copies", "2.1", "/A/first.app"),
                                    installed("TWO.COPIES", "2.0"),
                                    installed("equal.copies", "3", "/A/one.app"),
                                    installed("equal.copies", "3.0", "/A/two.app"),
                                    installed("older", "4.9"),
                                    installed("nodigit", "0.1"),
                                    installed("newer", "1.1")};
  NewMacDiff diff(m, "/m", here, "/home/u");
  EXPECT_EQ(ids(diff.missingApps), (std::vector<std::string>{"missing=-"}));
  EXPECT_EQ(ids(diff.olderApps), (std::vector<std::string>{"older=4.9"}));
  EXPECT_EQ(ids(diff.presentApps),
            (std::vector<std::string>{"com.Example.Case=1.0", "two.copies=2.1", "equal.copies=3",
                                      "nodigit=0.1", "newer=1.1"}));
  EXPECT_FALSE(diff.isComplete());

  // The newer copy wins whichever comes first in the scan.
  std::swap(here[1], here[2]);
  EXPECT_EQ(ids(NewMacDiff(m, "/m", here, "/home/u").presentApps)[1], "two.copies=2.1");

  std::stop_source stopped;
  stopped.request_stop();
  EXPECT_THROW(NewMacDiff(m, "/m", here, "/home/u", stopped.get_token()), Cancelled);
}

TEST(NewMacDiffTest, SettingsAreJudgedByTheirPlaceAtHome) {
  TempDir dir;
  dir.write("home/Library/Preferences/here.plist", "x");
  dir.write("home/Library/Preferences/copy-gone.plist", "x");
  dir.write("Moving/Settings/Library/Preferences/here.plist", "x");
  dir.write("Moving/Settings/Library/Preferences/away.plist", "x");
  dir.write("outside.plist", "x");
  MovingManifest m;
  m.settings = {setting("Library/Preferences/here.plist"),
                setting("Library/Preferences/away.plist"),
                setting("Library/Preferences/copy-gone.plist"),
                // Hostile: these name real files outside the folder and home.
                setting("../outside.plist", "Settings/../../outside.plist"),
                setting("Library/Preferences/here.plist", "/etc/hostname")};
  NewMacDiff diff(m, dir / "Moving", {}, dir / "home");
  ASSERT_EQ(diff.presentSettings.size(), 3u);
  ASSERT_EQ(diff.missingSettings.size(), 2u);
  EXPECT_EQ(diff.presentSettings[0].copy, dir / "Moving/Settings/Library/Preferences/here.plist");
  EXPECT_TRUE(diff.presentSettings[0].copyExists);
  EXPECT_FALSE(diff.presentSettings[1].copyExists);  // copy-gone: present at home all the same
  EXPECT_FALSE(diff.presentSettings[2].copy || diff.presentSettings[2].copyExists);
  EXPECT_TRUE(diff.missingSettings[0].copyExists);  // away
  EXPECT_FALSE(diff.missingSettings[1].copy || diff.missingSettings[1].copyExists);
  EXPECT_FALSE(diff.isComplete());
}

TEST(NewMacDiffTest, InstallCommandTakesOnlyUsableTokensOfMissingApps) {
  MovingManifest m;
  m.apps = {app("a", "1", "alpha"), app("b", "1", "-bad"), app("d", "1", "has space"),
            app("f", "1"),          app("g", "1", "beta"), app("older", "2", "older-cask")};
  NewMacDiff diff(m, "/m", {installed("older", "1")}, "/home/u");
  EXPECT_EQ(diff.brewInstallCommand(), "brew install --cask alpha beta");

  MovingManifest none;
  none.apps = {app("b", "1", "-bad"), app("f", "1")};
  EXPECT_EQ(NewMacDiff(none, "/m", {}, "/home/u").brewInstallCommand(), std::nullopt);
}

}  // namespace
}  // namespace larkvale
