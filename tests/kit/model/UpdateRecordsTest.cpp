#include <gtest/gtest.h>

#include <unordered_set>

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

InstalledApp sampleApp() {
  InstalledApp app;
  app.path = "/Applications/Alpha.app";
  app.name = "Alpha";
  app.bundleID = "com.example.alpha";
  app.version = "1.0";
  app.build = "100";
  return app;
}

AppUpdate sampleUpdate(UpdateSource source = UpdateSource::homebrew("alpha")) {
  AppUpdate u;
  u.app = sampleApp();
  u.source = std::move(source);
  u.status = UpdateStatus::updateAvailable();
  return u;
}

TEST(UpdateSourceTest, CarriesTheTextsOfEachCase) {
  struct Row {
    UpdateSource source;
    const char *key, *label, *symbol, *json;
  };
  const Row rows[] = {
      {UpdateSource::sparkle("https://e.com/a.xml"), "sparkle", "Sparkle feed",
       "dot.radiowaves.up.forward", R"({"sparkle":{"_0":"https://e.com/a.xml"}})"},
      {UpdateSource::homebrew("iterm2"), "homebrew", "Homebrew cask", "mug",
       R"({"homebrew":{"_0":"iterm2"}})"},
      {UpdateSource::github("owner/repo"), "github", "GitHub releases", "arrow.triangle.branch",
       R"({"github":{"_0":"owner/repo"}})"},
      {UpdateSource::appStore(), "appstore", "App Store", "bag", R"({"appStore":{}})"},
      {UpdateSource::apple(), "apple", "macOS", "applelogo", R"({"apple":{}})"},
      {UpdateSource::unknown(), "unknown", "Unknown source", "questionmark.circle",
       R"({"unknown":{}})"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.source.key(), r.key);
    EXPECT_EQ(r.source.label(), r.label);
    EXPECT_EQ(r.source.symbol(), r.symbol);
    EXPECT_EQ(JsonCoding::encode(toJson(r.source)), r.json);
    EXPECT_EQ(roundTrip(r.source), r.source);
  }
  EXPECT_EQ(UpdateSource(), UpdateSource::unknown());
}

TEST(UpdateSourceTest, ComparesTokensAsTextAndUrlsAsBytes) {
  const std::string composed = "caf\xC3\xA9", decomposed = "cafe\xCC\x81";
  EXPECT_EQ(UpdateSource::homebrew(composed), UpdateSource::homebrew(decomposed));
  EXPECT_EQ(std::hash<UpdateSource>{}(UpdateSource::github(composed)),
            std::hash<UpdateSource>{}(UpdateSource::github(decomposed)));
  EXPECT_NE(UpdateSource::sparkle(composed), UpdateSource::sparkle(decomposed));
  EXPECT_NE(UpdateSource::homebrew("a"), UpdateSource::github("a"));
  EXPECT_NE(UpdateSource::homebrew("\xff"), UpdateSource::homebrew("\xfe"));
}

TEST(UpdateSourceTest, RefusesMalformedObjects) {
  const std::string wrongCount = "Invalid number of keys found, expected one.";
  for (const char* text : {R"({})", R"({"sparkle":{"_0":"a"},"homebrew":{"_0":"b"}})",
                           R"({"appstore":{}})", R"({"other":{}})"}) {
    EXPECT_NE(decodeError<UpdateSource>(text).find(wrongCount), std::string::npos) << text;
  }
  EXPECT_EQ(JsonCoding::decode<UpdateSource>(R"({"apple":{"x":1},"y":2})"), UpdateSource::apple());
  EXPECT_EQ(decodeError<UpdateSource>(R"({"homebrew":{}})"),
            R"(keyNotFound("homebrew", "No value for key “_0”."))");
  EXPECT_EQ(decodeError<UpdateSource>(R"({"homebrew":{"_0":3}})"),
            R"(typeMismatch("homebrew._0", "Expected a string but found a number instead."))");
  EXPECT_EQ(decodeError<UpdateSource>(R"({"sparkle":{"_0":"not a url"}})"),
            R"(dataCorrupted("sparkle._0", "Invalid URL string."))");
  EXPECT_EQ(decodeError<UpdateSource>(R"({"apple":[]})"),
            R"(typeMismatch("apple", "Expected an object but found an array instead."))");
}

TEST(UpdateStatusTest, WritesAndReadsEveryCase) {
  for (const UpdateStatus& s : {UpdateStatus::updateAvailable(), UpdateStatus::upToDate(),
                                UpdateStatus::notChecked("Timed out."), UpdateStatus::noSource()}) {
    EXPECT_EQ(roundTrip(s), s);
  }
  EXPECT_EQ(JsonCoding::encode(toJson(UpdateStatus::notChecked("Why"))),
            R"({"notChecked":{"_0":"Why"}})");
  EXPECT_EQ(JsonCoding::encode(toJson(UpdateStatus::upToDate())), R"({"upToDate":{}})");
  EXPECT_NE(UpdateStatus::notChecked("a"), UpdateStatus::notChecked("b"));
  EXPECT_EQ(decodeError<UpdateStatus>(R"({"notChecked":{}})"),
            R"(keyNotFound("notChecked", "No value for key “_0”."))");
}

TEST(AppUpdateTest, LeavesOutEmptyOptionalsAndRoundTrips) {
  AppUpdate bare = sampleUpdate(UpdateSource::appStore());
  std::string text = JsonCoding::encode(toJson(bare));
  EXPECT_EQ(text, R"({"alsoSparkle":false,"app":{"build":"100","bundleID":"com.example.alpha",)"
                  R"("hasAppStoreReceipt":false,"isWrappedIOSApp":false,"name":"Alpha",)"
                  R"("path":"/Applications/Alpha.app","version":"1.0"},"caskAutoUpdates":false,)"
                  R"("critical":false,"source":{"appStore":{}},"status":{"updateAvailable":{}}})");
  EXPECT_EQ(roundTrip(bare), bare);

  AppUpdate full = sampleUpdate(UpdateSource::sparkle("https://e.com/f.xml"));
  full.app.feedURL = "https://e.com/app.xml";
  full.app.selfUpdater = "Sparkle";
  full.app.sandboxed = true;
  full.app.storeID = 123456789;
  full.app.githubRepo = "o/r";
  full.latestVersion = "2.0";
  full.notes = "Fixes.\nMore.";
  full.notesURL = "https://e.com/notes";
  full.downloadURL = "https://e.com/dl.zip";
  full.released = *Dates::parseIso8601("2026-01-02T03:04:05Z");
  full.storeTrackID = -5;
  full.caskAutoUpdates = full.critical = full.alsoSparkle = true;
  full.remark = "Pinned in Homebrew.";
  EXPECT_EQ(roundTrip(full), full);
  EXPECT_EQ(JsonCoding::decode<AppUpdate>(R"({"alsoSparkle":false,"app":{"build":"100",)"
                                          R"("bundleID":"com.example.alpha","feedURL":null,)"
                                          R"("hasAppStoreReceipt":false,"isWrappedIOSApp":false,)"
                                          R"("name":"Alpha","path":"/Applications/Alpha.app",)"
                                          R"("version":"1.0"},"caskAutoUpdates":false,)"
                                          R"("critical":false,"latestVersion":null,)"
                                          R"("source":{"appStore":{}},"status":)"
                                          R"({"updateAvailable":{}}})"),
            bare);
}

TEST(AppUpdateTest, RequiresItsSixKeys) {
  std::string text = JsonCoding::encode(toJson(sampleUpdate()));
  for (const char* key :
       {"app", "source", "status", "caskAutoUpdates", "critical", "alsoSparkle"}) {
    Json doc = Json::parse(text);
    doc.erase(key);
    EXPECT_THROW(JsonCoding::decode<AppUpdate>(doc.dump()), JsonDecodingError) << key;
  }
  Json noPath = Json::parse(text);
  noPath["app"].erase("path");
  EXPECT_EQ(decodeError<AppUpdate>(noPath.dump().c_str()),
            R"(keyNotFound("app", "No value for key “path”."))");
}

TEST(AppUpdateTest, DerivesLinksFromSourceAndStoreIdentifier) {
  AppUpdate brew = sampleUpdate(UpdateSource::homebrew("alpha"));
  brew.app.feedURL = "https://e.com/app.xml";
  brew.app.githubRepo = "o/r";
  EXPECT_EQ(brew.feedURL(), "https://e.com/app.xml");
  EXPECT_EQ(brew.cask(), "alpha");
  EXPECT_EQ(brew.githubRepo(), std::nullopt);
  EXPECT_EQ(brew.storeURL(), std::nullopt);
  brew.storeTrackID = 497799835;
  EXPECT_EQ(brew.storeURL(), "macappstore://apps.apple.com/app/id497799835");
  brew.storeTrackID = -1;
  EXPECT_EQ(brew.storeURL(), "macappstore://apps.apple.com/app/id-1");

  AppUpdate sparkle = sampleUpdate(UpdateSource::sparkle("https://e.com/f.xml"));
  sparkle.app.feedURL = "https://e.com/other.xml";
  sparkle.app.githubRepo = "o/r";
  EXPECT_EQ(sparkle.feedURL(), "https://e.com/f.xml");
  EXPECT_EQ(sparkle.githubRepo(), std::nullopt);
  EXPECT_EQ(sparkle.cask(), std::nullopt);
  EXPECT_EQ(sampleUpdate(UpdateSource::github("o/r")).githubRepo(), "o/r");
  EXPECT_EQ(sampleUpdate(UpdateSource::apple()).feedURL(), std::nullopt);

  AppUpdate unchecked = sampleUpdate();
  unchecked.status = UpdateStatus::notChecked("updateAvailable");
  EXPECT_FALSE(unchecked.hasUpdate());
  EXPECT_TRUE(sampleUpdate().hasUpdate());
}

TEST(AppUpdateTest, EqualityCoversTheAppButIdentityIsThePath) {
  AppUpdate a = sampleUpdate(), b = sampleUpdate();
  EXPECT_EQ(a, b);
  EXPECT_EQ(std::hash<AppUpdate>{}(a), std::hash<AppUpdate>{}(b));
  b.app.build = "101";
  EXPECT_NE(a, b);
  EXPECT_EQ(a.id(), b.id());
  b = a;
  b.released = Date{};
  EXPECT_NE(a, b);
  std::unordered_set<AppUpdate> set{a, b, a};
  EXPECT_EQ(set.size(), 2u);
}

TEST(CheckReportTest, RoundTripsAndRequiresEveryKey) {
  CheckReport report{*Dates::parseIso8601("2026-12-05T17:30:42Z"),
                     {sampleUpdate(), sampleUpdate(UpdateSource::unknown())},
                     true,
                     {"Homebrew didn’t answer."}};
  EXPECT_EQ(roundTrip(report), report);
  for (const char* key : {"date", "updates", "brewAvailable", "problems"}) {
    Json doc = toJson(report);
    doc.erase(key);
    EXPECT_THROW(JsonCoding::decode<CheckReport>(doc.dump()), JsonDecodingError) << key;
  }
  Json noCritical = toJson(report);
  noCritical["updates"][1].erase("critical");
  EXPECT_EQ(decodeError<CheckReport>(noCritical.dump().c_str()),
            R"(keyNotFound("updates[1]", "No value for key “critical”."))");
}

TEST(CheckCountsTest, CountsStatusesAndSourceKeys) {
  EXPECT_EQ(CheckCounts(std::vector<AppUpdate>{}), CheckCounts());
  AppUpdate a = sampleUpdate(UpdateSource::sparkle("https://e.com/f"));
  AppUpdate b = a;
  b.status = UpdateStatus::notChecked("x");
  AppUpdate c = sampleUpdate(UpdateSource::homebrew("c"));
  c.status = UpdateStatus::upToDate();
  AppUpdate d = sampleUpdate(UpdateSource::unknown());
  d.status = UpdateStatus::noSource();
  AppUpdate e = sampleUpdate(UpdateSource::appStore());
  CheckCounts counts({a, b, c, d, e});
  EXPECT_EQ(counts.total, 5);
  EXPECT_EQ(counts.updates, 2);
  EXPECT_EQ(counts.upToDate, 1);
  EXPECT_EQ(counts.notChecked, 1);
  EXPECT_EQ(counts.noSource, 1);
  std::map<std::string, int64_t> expected{
      {"appstore", 1}, {"homebrew", 1}, {"sparkle", 2}, {"unknown", 1}};
  EXPECT_EQ(counts.bySource, expected);
}

}  // namespace
}  // namespace larkvale
