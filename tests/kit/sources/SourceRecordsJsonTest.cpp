// The JSON form of the records the sources read: each written and read back
// whole, absent optionals left out, and malformed documents refused.
#include <gtest/gtest.h>

#include "kit/sources/AppcastItem.h"
#include "kit/sources/BrewCask.h"

namespace larkvale {
namespace {

template <typename T>
T roundTrip(const T& value) {
  return JsonCoding::decode<T>(JsonCoding::encode(toJson(value)));
}

template <typename T>
void expectRefused(const char* text) {
  EXPECT_THROW(JsonCoding::decode<T>(text), JsonDecodingError) << text;
}

TEST(SourceRecordsJsonTest, AppcastItem) {
  AppcastItem full{"Release 2",
                   "200",
                   "2.0",
                   *Dates::parseIso8601("2026-12-05T17:30:42Z"),
                   "Fixes.",
                   "https://example.com/notes",
                   "https://example.com/a.zip",
                   "13.0",
                   "beta",
                   "macos",
                   true,
                   true,
                   "https://example.com/"};
  EXPECT_EQ(roundTrip(full), full);
  EXPECT_NE(JsonCoding::encode(toJson(full)).find(R"("pubDate":818184642.0)"), std::string::npos);

  AppcastItem bare;
  bare.version = "7";
  EXPECT_EQ(JsonCoding::encode(toJson(bare)),
            R"({"critical":false,"informational":false,"version":"7"})");
  EXPECT_EQ(roundTrip(bare), bare);

  expectRefused<AppcastItem>(R"({"critical":false,"informational":false})");
  expectRefused<AppcastItem>(R"({"version":7,"critical":false,"informational":false})");
  expectRefused<AppcastItem>(R"({"version":"7","critical":0,"informational":false})");
  expectRefused<AppcastItem>(
      R"({"version":"7","critical":false,"informational":false,"pubDate":"2026-12-05"})");
  expectRefused<AppcastItem>(
      R"({"version":"7","critical":false,"informational":false,"pubDate":1e300})");
  expectRefused<AppcastItem>(
      R"({"version":"7","critical":false,"informational":false,"link":"https://a/b c"})");
}

TEST(SourceRecordsJsonTest, BrewCaskAndOutdatedRow) {
  BrewCask cask{"firefox",
                "Firefox",
                "120.0",
                "119.0",
                true,
                {"/Applications/Firefox.app"},
                "https://www.mozilla.org/"};
  EXPECT_EQ(roundTrip(cask), cask);
  const BrewCask bare{"t", "t", "", std::nullopt, false, {}, std::nullopt};
  EXPECT_EQ(JsonCoding::encode(toJson(bare)),
            R"({"appPaths":[],"autoUpdates":false,"latest":"","name":"t","token":"t"})");
  EXPECT_EQ(roundTrip(bare), bare);

  BrewOutdated row{"firefox", {"118.0", "119.0,20231020"}, "120.0", true};
  EXPECT_EQ(roundTrip(row), row);

  expectRefused<BrewCask>(R"({"token":"t","name":"t","latest":"","autoUpdates":false})");
  expectRefused<BrewCask>(
      R"({"token":"t","name":"t","latest":"","autoUpdates":false,"appPaths":[1]})");
  expectRefused<BrewCask>(
      R"({"token":"t","name":"t","latest":"","autoUpdates":false,"appPaths":[],"homepage":"<x>"})");
  expectRefused<BrewOutdated>(R"({"token":"t","installed":[],"current":"1"})");
  expectRefused<BrewOutdated>(R"({"token":"t","installed":"1.0","current":"1","pinned":false})");
}

}  // namespace
}  // namespace larkvale
