#include <gtest/gtest.h>

#include "kit/model/AppUpdate.h"
#include "kit/model/CheckReport.h"
#include "kit/model/UpdateSource.h"
#include "kit/model/UpdateStatus.h"

namespace larkvale {
namespace {

template <typename T>
T roundTrip(const T& value) {
  return JsonCoding::decode<T>(JsonCoding::encode(toJson(value)));
}

template <typename T>
std::string decodeError(const char* text) {
  try {
    JsonCoding::decode<T>(text);
  } catch (const JsonDecodingError& e) {
    return e.what();
  }
  return "decoded";
}

AppUpdate sampleUpdate(UpdateSource source = UpdateSource::homebrew("alpha")) {
  AppUpdate u;
  u.app.path = "/Applications/Alpha.app";
  u.app.name = "Alpha";
  u.app.bundleID = "com.example.alpha";
  u.app.version = "1.0";
  u.app.build = "100";
  u.source = std::move(source);
  u.status = UpdateStatus::updateAvailable();
  return u;
}

TEST(UpdateSourceTest, WritesAndReadsEachCase) {
  const std::tuple<UpdateSource, const char*, const char*> rows[] = {
      {UpdateSource::sparkle("https://e.com/a.xml"), "Sparkle feed",
       R"({"sparkle":{"_0":"https://e.com/a.xml"}})"},
      {UpdateSource::homebrew("iterm2"), "Homebrew cask", R"({"homebrew":{"_0":"iterm2"}})"},
      {UpdateSource::github("o/r"), "GitHub releases", R"({"github":{"_0":"o/r"}})"},
      {UpdateSource::appStore(), "App Store", R"({"appStore":{}})"},
      {UpdateSource::apple(), "macOS", R"({"apple":{}})"},
      {UpdateSource::unknown(), "Unknown source", R"({"unknown":{}})"},
  };
  for (const auto& [source, label, json] : rows) {
    EXPECT_EQ(source.label(), label);
    EXPECT_EQ(JsonCoding::encode(toJson(source)), json);
    EXPECT_EQ(roundTrip(source), source);
  }
}

TEST(UpdateSourceTest, ComparesTokensAsTextAndUrlsAsBytes) {
  const std::string composed = "caf\xC3\xA9", decomposed = "cafe\xCC\x81";
  EXPECT_EQ(UpdateSource::homebrew(composed), UpdateSource::homebrew(decomposed));
  EXPECT_NE(UpdateSource::sparkle(composed), UpdateSource::sparkle(decomposed));
  EXPECT_NE(UpdateSource::homebrew("\xff"), UpdateSource::homebrew("\xfe"));
}

TEST(UpdateSourceTest, RefusesMalformedObjects) {
  // Case names are matched exactly; the count of keys is checked with the JSON layer.
  EXPECT_NE(decodeError<UpdateSource>(R"({"appstore":{}})").find("Invalid number of keys found"),
            std::string::npos);
  EXPECT_EQ(JsonCoding::decode<UpdateSource>(R"({"apple":{"x":1},"y":2})"), UpdateSource::apple());
  EXPECT_EQ(decodeError<UpdateSource>(R"({"sparkle":{"_0":"not a url"}})"),
            R"(dataCorrupted("sparkle._0", "Invalid URL string."))");
}

TEST(AppUpdateTest, LeavesOutEmptyOptionalsAndRoundTrips) {
  AppUpdate bare = sampleUpdate(UpdateSource::appStore());
  std::string text = JsonCoding::encode(toJson(bare));
  EXPECT_EQ(text, R"({"alsoSparkle":false,"app":{"build":"100","bundleID":"com.example.alpha",)"
                  R"("hasAppStoreReceipt":false,"isWrappedIOSApp":false,"name":"Alpha",)"
                  R"("path":"/Applications/Alpha.app","version":"1.0"},"caskAutoUpdates":false,)"
                  R"("critical":false,"source":{"appStore":{}},"status":{"updateAvailable":{}}})");
  EXPECT_EQ(roundTrip(bare), bare);

  // Nulls read as missing; the full record round-trips in the state store's golden file.
  Json nulls = Json::parse(text);
  nulls["app"]["feedURL"] = nulls["latestVersion"] = nullptr;
  EXPECT_EQ(JsonCoding::decode<AppUpdate>(nulls.dump()), bare);
}

TEST(AppUpdateTest, RequiresItsKeys) {
  Json noPath = toJson(sampleUpdate()), noCritical = noPath;
  noCritical.erase("critical");
  EXPECT_THROW(JsonCoding::decode<AppUpdate>(noCritical.dump()), JsonDecodingError);
  noPath["app"].erase("path");
  EXPECT_EQ(decodeError<AppUpdate>(noPath.dump().c_str()),
            R"(keyNotFound("app", "No value for key “path”."))");
}

TEST(CheckCountsTest, CountsStatusesAndSourceKeys) {
  auto with = [](UpdateSource source, UpdateStatus status) {
    AppUpdate u = sampleUpdate(std::move(source));
    u.status = std::move(status);
    return u;
  };
  const UpdateSource sparkle = UpdateSource::sparkle("https://e.com/f");
  CheckCounts expected;
  expected.total = 5;
  expected.updates = 2;
  expected.upToDate = expected.notChecked = expected.noSource = 1;
  expected.bySource = {{"appstore", 1}, {"homebrew", 1}, {"sparkle", 2}, {"unknown", 1}};
  EXPECT_EQ(CheckCounts({with(sparkle, UpdateStatus::updateAvailable()),
                         with(sparkle, UpdateStatus::notChecked("x")),
                         with(UpdateSource::homebrew("c"), UpdateStatus::upToDate()),
                         with(UpdateSource::unknown(), UpdateStatus::noSource()),
                         with(UpdateSource::appStore(), UpdateStatus::updateAvailable())}),
            expected);
}

}  // namespace
}  // namespace larkvale
