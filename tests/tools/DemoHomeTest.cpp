#include <gtest/gtest.h>

#include <map>
#include <set>

#include "kit/model/AppScanner.h"
#include "kit/movingday/MovingManifest.h"
#include "kit/movingday/SettingsCopier.h"
#include "kit/movingday/SettingsLocator.h"
#include "kit/sources/PoliteFetcher.h"
#include "kit/sources/SystemBrew.h"
#include "kit/sources/UpdateChecker.h"
#include "tests/support/TempDir.h"
#include "tools/demo/DemoHome.h"
#include "tools/demo/DemoServer.h"

namespace larkvale {
namespace {

// The demo must show every kind of source and outcome; a sample that no
// longer reads as meant would leave a newcomer with a duller check.
TEST(DemoHome, ACheckOfTheSampleHomeShowsEveryKindOfSource) {
  test::TempDir home;
  demo::DemoServer server;
  server.start(demo::writeDemoHome(home.path(), server.url()));

  PoliteFetcher::Options unspaced;
  unspaced.spacing = {};
  PoliteFetcher fetcher(makeCurlSession(), std::nullopt, unspaced);
  SystemBrew brew(demo::demoBrew(home.path()).string());
  UpdateChecker checker(fetcher, &brew, home.path(),
                        ServiceHosts{server.url(), server.url(), server.url()});
  AppScanner scanner;
  scanner.roots = {home / "Applications"};
  auto apps = scanner.scan();
  ASSERT_EQ(apps.size(), 12u);
  CheckReport report = checker.check(apps, CheckOptions{});

  std::map<std::string, std::string> seen;  // name → "source status latest"
  for (const AppUpdate& u : report.updates) {
    std::string status = u.status.kind() == UpdateStatus::Kind::updateAvailable ? "update"
                         : u.status.kind() == UpdateStatus::Kind::upToDate      ? "current"
                         : u.status.kind() == UpdateStatus::Kind::notChecked    ? "notChecked"
                                                                                : "noSource";
    seen[u.app.name] =
        std::string(u.source.key()) + " " + status + " " + u.latestVersion.value_or("-");
  }
  EXPECT_EQ(seen, (std::map<std::string, std::string>{
                      {"Cinder Terminal", "homebrew current 2.0"},
                      {"Gitwise", "github update 1.8.0"},
                      {"Harbor Sync", "sparkle notChecked -"},
                      {"Ledgerly", "appstore update 2.5"},
                      {"Lumen Player", "homebrew update 5.2"},
                      {"Nimbus Notes", "sparkle update 3.2"},
                      {"Orbit Timer", "sparkle update 1.0"},
                      {"Parcel Box", "homebrew update 8.1"},
                      {"Preview", "apple noSource -"},
                      {"Quillset", "sparkle current 2.1"},
                      {"Scratchpad", "unknown noSource -"},
                      {"Tidewater", "sparkle update 1.4.2"},
                  }));
  EXPECT_TRUE(report.brewAvailable);
  EXPECT_TRUE(report.problems.empty()) << report.problems.front();

  // Copy Settings has items of several apps to offer, and leaves the cache
  // and the licence-looking file out of a copy.
  const auto inventory = SettingsLocator(home.path()).inventory(report.updates);
  const auto picks = SettingsCopier::settingsPicks(inventory);
  std::set<std::string> owners;
  for (const SettingsPick& pick : picks) owners.insert(pick.appName);
  EXPECT_EQ(owners, (std::set<std::string>{"Gitwise", "Lumen Player", "Nimbus Notes", "Quillset",
                                           "Scratchpad", "Tidewater"}));
  test::TempDir drive;
  const auto copied = SettingsCopier(home.path())
                          .copy(picks, MovingManifest::manifestApps(inventory), drive.path(),
                                "Demo Mac", "15.1.0", std::chrono::system_clock::now());
  std::vector<std::string> leftOut;
  for (const auto& item : copied.manifest.leftOut) leftOut.push_back(item.path);
  EXPECT_EQ(leftOut,
            (std::vector<std::string>{"~/Library/Application Support/Nimbus Notes/Cache",
                                      "~/Library/Application Support/Quillset/Quillset.licence"}));
}

}  // namespace
}  // namespace larkvale
