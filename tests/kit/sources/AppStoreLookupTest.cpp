#include "kit/sources/AppStoreLookup.h"

#include <gtest/gtest.h>

#include "tests/support/RealWorld.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using AppStoreLookup::decodeLookup;

std::string decodeFailure(std::string_view body) {
  try {
    decodeLookup(body, "com.example.app", std::nullopt);
  } catch (const AppStoreLookup::DecodeError& e) {
    return e.what();
  }
  return "<no error>";
}

std::optional<int64_t> chosen(std::string_view body, std::optional<int64_t> storeID,
                              const std::string& bundleID = "com.example.app") {
  auto listing = decodeLookup(body, bundleID, storeID);
  return listing ? std::optional(listing->trackID) : std::nullopt;
}

TEST(AppStoreLookup, BuildsLookupAddressesEscapingTheIdentifier) {
  EXPECT_EQ(
      AppStoreLookup::bundleLookupURL("com.Example.App", "gb", false),
      "https://itunes.apple.com/lookup?bundleId=com.Example.App&country=gb&entity=macSoftware");
  ServiceHosts local{"http://127.0.0.1:8080", "", ""};
  EXPECT_EQ(AppStoreLookup::bundleLookupURL("a b&c=d#e", "us", true, local),
            "http://127.0.0.1:8080/lookup?bundleId=a%20b%26c%3Dd%23e&country=us");
}

TEST(AppStoreLookup, RefusesAnswersOfTheWrongShape) {
  EXPECT_EQ(decodeFailure("not json"), "dataCorrupted");
  EXPECT_EQ(decodeFailure(R"({"resultCount":0})"), "keyNotFound(\"results\")");
  EXPECT_EQ(decodeFailure(R"({"results":[{"trackId":18446744073709551615}]})"),
            "typeMismatch(\"trackId\")");
  // Unread keys may hold anything; a wrong type in a later row still fails.
  EXPECT_EQ(decodeFailure(R"({"results":[{"trackId":1,"version":"1","price":"free"}]})"),
            "<no error>");
  EXPECT_EQ(decodeFailure(R"({"results":[{"trackId":1,"version":"1"},{"bundleId":false}]})"),
            "typeMismatch(\"bundleId\")");
}

TEST(AppStoreLookup, ChoosesTheRowOfTheInstalledApp) {
  const char* two = R"({"results":[
      {"trackId":1,"version":"1.0","bundleId":"com.example.app"},
      {"trackId":2,"version":"2.0","bundleId":"com.example.other"}]})";
  const char* swapped = R"({"results":[
      {"trackId":1,"version":"1.0","bundleId":"com.example.other"},
      {"trackId":2,"version":"2.0","bundleId":"com.example.app"}]})";
  EXPECT_EQ(chosen(two, 2), 2) << "the store identifier wins over the bundle identifier";
  EXPECT_EQ(chosen(swapped, 99), 2) << "no identifier match: the bundle identifier";
  EXPECT_EQ(chosen(two, std::nullopt, "COM.EXAMPLE.APP"), std::nullopt);
  EXPECT_EQ(chosen(R"({"results":[{"trackId":5,"version":"1","bundleId":"x.y"}]})", std::nullopt),
            5)
      << "a single row is taken even when its bundle identifier differs";
  EXPECT_EQ(chosen(R"({"results":[{"trackId":5}]})", 5), std::nullopt) << "no version";
}

TEST(AppStoreLookup, ReadsTheListingFields) {
  auto full = decodeLookup(R"J({"results":[{"trackId":42,"trackName":"Pad","version":"3.1 (b)",
      "releaseNotes":"Fixes.","currentVersionReleaseDate":"2026-11-30T08:00:00Z",
      "trackViewUrl":"https://apps.example.com/app/id42?mt=12","minimumOsVersion":"13.0",
      "bundleId":"com.example.app"}]})J",
                           "com.example.app", 42);
  ASSERT_TRUE(full);
  EXPECT_EQ(*full, (StoreListing{42, "Pad", "3.1 (b)", "Fixes.",
                                 Dates::parseIso8601("2026-11-30T08:00:00Z"),
                                 "https://apps.example.com/app/id42?mt=12", "13.0"}));

  auto bare = decodeLookup(R"({"results":[{"trackId":42,"version":"\u202e1","trackName":null,
      "releaseNotes":"","currentVersionReleaseDate":"2026-11-30T08:00:00.123Z",
      "trackViewUrl":"not a url"}]})",
                           "com.example.looked-up", std::nullopt);
  ASSERT_TRUE(bare);
  EXPECT_EQ(*bare, (StoreListing{42, "com.example.looked-up", "1", {}, {}, {}, {}}));
}

// A page link no address may hold as written is dropped as if absent, even
// where the transfer library's own reader would take it; the listing stands.
TEST(AppStoreLookup, DropsPageLinksNoAddressMayHold) {
  for (const std::string link :
       {"https://apps.example.com/app/a|b", "https://apps.example.com/app/%zz",
        "https://apps.example.com/app/caf\\u00e9", "https://apps.example.com/app/{42}",
        "https://apps.example.com/app/a^b", "https://apps.example.com/app/\\\\id42"}) {
    auto listing = decodeLookup(R"({"results":[{"trackId":42,"trackName":"Pad","version":"3.1",
        "releaseNotes":"Fixes.","minimumOsVersion":"13.0","trackViewUrl":")" +
                                    link + R"("}]})",
                                "com.example.app", 42);
    ASSERT_TRUE(listing) << link;
    EXPECT_EQ(*listing, (StoreListing{42, "Pad", "3.1", "Fixes.", {}, {}, "13.0"})) << link;
  }
}

TEST(AppStoreLookup, ReadsRealAnswers) {
  auto read = [](const char* name) {
    return test::readAll(test::realworld("appstore/" + std::string(name)));
  };

  auto facebook = decodeLookup(read("fastlane-itunesLookup-bundleId-com.facebook.Facebook.json"),
                               "com.facebook.Facebook", std::nullopt);
  ASSERT_TRUE(facebook);
  EXPECT_EQ(facebook->version, "15.0");
  EXPECT_EQ(facebook->storeURL, "https://itunes.apple.com/us/app/facebook/id284882215?mt=8&uo=4");
  auto orange =
      decodeLookup(read("fastlane-itunesLookup-id-338986109_FR.json"), "com.other", 338986109);
  ASSERT_TRUE(orange);
  EXPECT_EQ(orange->name, "118 712 annuaire - recherche inverse, pro, particulier");

  EXPECT_EQ(decodeLookup(read("fastlane-itunesLookup-empty.json"), "a", 1), std::nullopt);
  EXPECT_THROW(decodeLookup(read("fastlane-itunesLookup-invalid-error.json"), "a", 1),
               AppStoreLookup::DecodeError);
}

}  // namespace
}  // namespace larkvale
