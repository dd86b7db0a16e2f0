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
  MoreAppsLoader loader;  // every default; nothing is fetched here
  EXPECT_EQ(loader.feedURL, MoreAppsLoader::defaultFeedURL());
  EXPECT_EQ(loader.bundled(), MoreAppsLoader::bundledFeed());
  EXPECT_TRUE(loader.transport);
  auto folder = loader.cacheDirectory;
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
