#include "kit/movingday/KnownApps.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace larkvale {
namespace {

TEST(KnownAppsTest, RowsAreDistinctAndSettingsSitBelowHome) {
  const auto& all = KnownApps::all();
  std::unordered_set<KnownApp> distinct(all.begin(), all.end());
  EXPECT_EQ(distinct.size(), all.size());
  for (const auto& row : all) {
    for (const auto& setting : row.settings) EXPECT_TRUE(setting.starts_with("~/")) << setting;
  }
}

TEST(KnownAppsTest, MatchesPrefixRowsCaseSensitivelyAndOthersIgnoringCase) {
  struct Case {
    const char* bundleID;
    const char* match;  // nullptr: no row
  };
  const Case cases[] = {
      {"com.jetbrains.intellij", "com.jetbrains."},
      {"com.JetBrains.intellij", nullptr},
      {"COM.DOCKER.DOCKER", "com.docker.docker"},
      {"com.docker.docker.helper", nullptr},
      {"org.pqrs.Karabiner-Elements.Settings", "org.pqrs.Karabiner-Elements."},
      {"org.pqrs.karabiner-elements.Settings", nullptr},
  };
  for (const auto& c : cases) {
    const auto row = KnownApps::entry(c.bundleID);
    if (c.match) {
      ASSERT_TRUE(row) << c.bundleID;
      EXPECT_EQ(row->match, c.match) << c.bundleID;
    } else {
      EXPECT_FALSE(row) << c.bundleID << " matched " << row->match;
    }
  }
}

}  // namespace
}  // namespace larkvale
