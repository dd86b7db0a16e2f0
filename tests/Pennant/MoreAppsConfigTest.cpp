#include <gtest/gtest.h>

#include "Pennant/MoreAppsConfig.h"
#include "Pennant/MoreAppsLoader.h"
#include "Pennant/MoreAppsNetwork.h"

namespace pennant {
namespace {

TEST(MoreAppsConfigTest, TrackingSourceDefaultsToTheAppsOwnId) {
  EXPECT_EQ(MoreAppsConfig("larkvale", std::nullopt, true, std::nullopt, true).utmSource,
            "larkvale");
  EXPECT_EQ(MoreAppsConfig("larkvale", "menu", false, "com.maker.larkvale", false).utmSource,
            "menu");
}

TEST(MoreAppsConfigTest, DefaultsPointAtTheMakersFeed) {
  MoreAppsLoader loader;  // every default; nothing is fetched here
  EXPECT_EQ(loader.feedURL, "https://maker.example/mac/more-apps.json");
  EXPECT_TRUE(loader.transport);
  EXPECT_TRUE(loader.cacheDirectory.empty());  // the host app hands its folder in
}

TEST(MoreAppsNetworkTest, SandboxNeedsTheNetworkShared) {
  EXPECT_TRUE(
      MoreAppsNetwork::sharesNetwork("[Application]\nname=x\n\n[Context]\nshared=network;ipc;\n"));
  EXPECT_TRUE(MoreAppsNetwork::sharesNetwork("[Context]\r\nshared=ipc;network\r\n"));
  EXPECT_FALSE(MoreAppsNetwork::sharesNetwork("[Context]\nshared=ipc;\nsockets=network;\n"));
  EXPECT_FALSE(MoreAppsNetwork::sharesNetwork("[Instance]\nshared=network;\n"));
}

}  // namespace
}  // namespace pennant
