#include "kit/model/OwnApp.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

InstalledApp app(std::string path, std::string bundleID, std::string build) {
  InstalledApp a;
  a.path = std::move(path);
  a.name = a.path;
  a.bundleID = std::move(bundleID);
  a.version = build;
  a.build = std::move(build);
  return a;
}

std::vector<std::string> paths(const std::vector<InstalledApp>& apps) {
  std::vector<std::string> out;
  for (const auto& a : apps) out.push_back(a.path);
  return out;
}

TEST(OwnAppTest, KeepsTheGreatestBuildThenTheSmallestPath) {
  const std::vector<InstalledApp> apps{
      app("/Applications/Other.app", "com.example.other", "1"),
      app("/Applications/Larkvale.app", "com.tarn4820.Larkvale", "41"),
      app("/Users/a/Applications/Larkvale.app", "com.tarn4820.Larkvale", "42"),
      app("/Applications/Tools/Larkvale Debug.app", "com.tarn4820.Larkvale.debug", "9"),
      app("/Applications/Same.app", "com.example.other", "1"),
  };
  EXPECT_EQ(
      paths(OwnApp::keepOneOwnCopy(apps, std::nullopt)),
      (std::vector<std::string>{"/Applications/Other.app", "/Users/a/Applications/Larkvale.app",
                                "/Applications/Same.app"}));

  const std::vector<InstalledApp> equal{
      app("/b/Larkvale.app", "com.tarn4820.Larkvale", "42"),
      app("/a/Larkvale.app", "com.tarn4820.Larkvale", "42.0"),
  };
  EXPECT_EQ(paths(OwnApp::keepOneOwnCopy(equal, std::string())),
            std::vector<std::string>{"/a/Larkvale.app"});

  // One copy, or none, is left as it is.
  std::vector<InstalledApp> single{apps[0], apps[1]};
  EXPECT_EQ(OwnApp::keepOneOwnCopy(single, "/elsewhere"), single);
}

TEST(OwnAppTest, KeepsTheRunningCopyThroughLinks) {
  test::TempDir dir;
  dir.mkdir("real/Larkvale.app");
  dir.mkdir("other/Larkvale.app");
  std::filesystem::create_directory_symlink(dir / "real", dir / "alias");
  const std::vector<InstalledApp> apps{
      app((dir / "other/Larkvale.app").string(), "com.tarn4820.Larkvale", "99"),
      app((dir / "alias/Larkvale.app").string(), "com.tarn4820.Larkvale", "1"),
  };
  EXPECT_EQ(paths(OwnApp::keepOneOwnCopy(apps, (dir / "real/Larkvale.app").string())),
            std::vector<std::string>{(dir / "alias/Larkvale.app").string()});
  // A running path that matches no copy falls back to the greatest build.
  EXPECT_EQ(paths(OwnApp::keepOneOwnCopy(apps, (dir / "gone.app").string())),
            std::vector<std::string>{(dir / "other/Larkvale.app").string()});
}

}  // namespace
}  // namespace larkvale
