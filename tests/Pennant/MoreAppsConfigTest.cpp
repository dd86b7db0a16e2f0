#include <gtest/gtest.h>

#include "Pennant/MoreAppsConfig.h"
#include "Pennant/MoreAppsLoader.h"
#include "Pennant/MoreAppsNetwork.h"

namespace pennant {
namespace {

TEST(MoreAppsConfigTest, TrackingSourceDefaultsToTheAppsOwnId) {
  MoreAppsConfig config("larkvale", std::nullopt, true, std::nullopt, true);
  EXPECT_EQ(config.utmSource, "larkvale");
  EXPECT_EQ(MoreAppsConfig("larkvale", "menu", false, "com.maker.larkvale", false).utmSource,
            "menu");
}

TEST(MoreAppsConfigTest, DefaultsPointAtTheMakersFeed) {
  EXPECT_EQ(MoreAppsLoader::defaultFeedURL(), "https://maker.example/mac/more-apps.json");
  auto folder = MoreAppsLoader::defaultCacheDirectory();
  EXPECT_EQ(folder.filename(), "MoreApps");
  EXPECT_EQ(folder.parent_path().filename(), "Pennant");
}

TEST(MoreAppsNetworkTest, SandboxNeedsTheNetworkShared) {
  EXPECT_TRUE(MoreAppsNetwork::allows(false, false));
  EXPECT_TRUE(MoreAppsNetwork::allows(true, true));
  EXPECT_FALSE(MoreAppsNetwork::allows(true, false));

  EXPECT_TRUE(
      MoreAppsNetwork::sharesNetwork("[Application]\nname=x\n\n[Context]\nshared=network;ipc;\n"));
  EXPECT_TRUE(MoreAppsNetwork::sharesNetwork("[Context]\r\nshared=ipc;network\r\n"));
  EXPECT_FALSE(MoreAppsNetwork::sharesNetwork("[Context]\nshared=ipc;\nsockets=network;\n"));
  EXPECT_FALSE(MoreAppsNetwork::sharesNetwork("[Instance]\nshared=network;\n"));
  EXPECT_FALSE(MoreAppsNetwork::sharesNetwork(""));
}

}  // namespace
}  // namespace pennant
