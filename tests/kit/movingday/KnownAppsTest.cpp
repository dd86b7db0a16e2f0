#include "kit/movingday/KnownApps.h"

#include <gtest/gtest.h>

namespace larkvale {
namespace {

TEST(KnownAppsTest, SettingsSitBelowHome) {
  for (const auto& row : KnownApps::all())
    for (const auto& setting : row.settings) EXPECT_TRUE(setting.starts_with("~/")) << setting;
}

TEST(KnownAppsTest, MatchesPrefixRowsCaseSensitivelyAndOthersIgnoringCase) {
  struct Case {
    const char* bundleID;
    const char* match;  // nullptr: no row
  };
  const Case cases[] = {
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
