#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Pennant/MoreAppsFeed.h"
#include "Pennant/MoreAppsURL.h"
#include "tests/Pennant/FeedSamples.h"

namespace pennant {
namespace {

MoreAppsEntry entry(const std::string& url) {
  return test::entry("app", url);
}

constexpr const char* kTracking = "?utm_source=larkvale&utm_medium=mac-app&utm_campaign=more-apps";

TEST(MoreAppsEntryTest, WhereALinkPoints) {
  struct Case {
    const char* url;
    bool appStore, maker;
  };
  const std::vector<Case> cases = {
      {"https://APPS.apple.com/app/id1", true, false},
      {"https://www.Maker.example/app", false, true},
      {"https://store.example/app", false, false},
      {"https://maker.example.other/app", false, false},
      {"mailto:someone@maker.example", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(entry(c.url).isAppStore(), c.appStore) << c.url;
    EXPECT_EQ(entry(c.url).isMakerSite(), c.maker) << c.url;
  }
}

TEST(MoreAppsEntryTest, TrackingQueryOnlyOnMakerLinksWithAValidSource) {
  EXPECT_EQ(entry("https://maker.example/mac/app").entryURL("larkvale"),
            std::string("https://maker.example/mac/app") + kTracking);
  EXPECT_EQ(entry("https://www.maker.example/mac/app?old=1#part").entryURL("larkvale"),
            std::string("https://www.maker.example/mac/app") + kTracking + "#part");
  EXPECT_EQ(entry("https://maker.example/mac/app").entryURL("lark vale"),
            "https://maker.example/mac/app");
  EXPECT_EQ(entry("https://apps.apple.com/app/id1").entryURL("larkvale"),
            "https://apps.apple.com/app/id1");
  EXPECT_EQ(entry("https://maker.example/a b").entryURL("larkvale"), std::nullopt);
}

TEST(MoreAppsSourceTest, ReadsBackExactlyItsFourRawValues) {
  for (auto source : {MoreAppsSource::network, MoreAppsSource::cache, MoreAppsSource::bundled,
                      MoreAppsSource::none})
    EXPECT_EQ(moreAppsSource(rawValue(source)), source);
  for (const char* other : {"", "Network", "NONE", " cache", "bundled ", "shipped", "network\n"})
    EXPECT_EQ(moreAppsSource(other), std::nullopt) << other;
}

}  // namespace
}  // namespace pennant
