// The JSON form of the records the sources read: written and read back whole,
// absent optionals left out, malformed documents refused.
#include <gtest/gtest.h>

#include "kit/sources/AppcastItem.h"
#include "kit/sources/BrewCask.h"

namespace larkvale {
namespace {

template <typename T>
T roundTrip(const T& value) {
  return JsonCoding::decode<T>(JsonCoding::encode(toJson(value)));
}

TEST(SourceRecordsJsonTest, AppcastItemBrewCaskAndOutdatedRow) {
  const AppcastItem item{"Release 2",
                         "200",
                         "2.0",
                         Dates::fromSecondsSince2001(818184642),
                         "Fixes.",
                         "https://e.example/n",
                         "https://e.example/a.zip",
                         "13.0",
                         "beta",
                         "macos",
                         true,
                         true,
                         "https://e.example/"};
  EXPECT_EQ(roundTrip(item), item);
  EXPECT_NE(JsonCoding::encode(toJson(item)).find(R"("pubDate":818184642.0)"), std::string::npos);
  AppcastItem bare;
  bare.version = "7";
  EXPECT_EQ(JsonCoding::encode(toJson(bare)),
            R"({"critical":false,"informational":false,"version":"7"})");

  const BrewCask cask{"fx", "Fx", "120.0", "119.0", true, {"/Applications/Fx.app"}, "https://f/"};
  EXPECT_EQ(roundTrip(cask), cask);
  const BrewCask plain{"t", "t", "", std::nullopt, false, {}, std::nullopt};
  EXPECT_EQ(JsonCoding::encode(toJson(plain)),
            R"({"appPaths":[],"autoUpdates":false,"latest":"","name":"t","token":"t"})");
  const BrewOutdated row{"fx", {"118.0", "119.0,2023"}, "120.0", true};
  EXPECT_EQ(roundTrip(row), row);

  const std::string flags = R"("critical":false,"informational":false)";
  for (const std::string& bad : std::vector<std::string>{
           "{" + flags + "}", R"({"version":7,)" + flags + "}",
           R"({"version":"7","critical":0,"informational":false})",
           R"({"version":"7","pubDate":1e300,)" + flags + "}",
           R"({"version":"7","pubDate":1e11,)" + flags + "}",
           R"({"version":"7","pubDate":-1e11,)" + flags + "}",
           R"({"version":"7","informational":false})", R"({"version":"7","critical":false})",
           R"({"version":"7","link":"https://a/b c",)" + flags + "}"})
    EXPECT_THROW(JsonCoding::decode<AppcastItem>(bad), JsonDecodingError) << bad;
  // Just inside the range of dates at either end.
  for (const double seconds : {-99999999999.0, 99999999999.0}) {
    const auto edge = JsonCoding::decode<AppcastItem>(R"({"version":"7","pubDate":)" +
                                                      std::to_string(seconds) + "," + flags + "}");
    EXPECT_EQ(edge.pubDate, Dates::fromSecondsSince2001(seconds)) << seconds;
  }
  const std::string cask4 = R"("token":"t","name":"t","latest":"","autoUpdates":false)";
  for (const std::string& bad :
       std::vector<std::string>{"{" + cask4 + "}", "{" + cask4 + R"(,"appPaths":[1]})",
                                "{" + cask4 + R"(,"appPaths":[],"homepage":"<x>"})"})
    EXPECT_THROW(JsonCoding::decode<BrewCask>(bad), JsonDecodingError) << bad;
  EXPECT_THROW(JsonCoding::decode<BrewOutdated>(R"({"token":"t","installed":"1","current":"1",
                                                    "pinned":false})"),
               JsonDecodingError);
}

}  // namespace
}  // namespace larkvale
