#include "kit/model/Version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace larkvale {
namespace {

TEST(VersionTest, ComparesTheWorkedExamples) {
  using Pair = std::pair<const char*, const char*>;
  const Pair newer[] = {
      {"1.10", "1.9"},      {"2.0", "2.0b3"},    {"1.0.0b", "1.0"}, {"1.0.0.1", "1.0"},
      {"1.0rc", "1.0beta"}, {"1.0b10", "1.0b2"}, {"1.2", "V1.2"},   {"", "a"},
      {"ab", "a"}};
  // "\x32" is "2" after two bytes that are not UTF-8.
  const Pair same[] = {{"1.0", "1.0.0"},
                       {"1.0RC1", "1.0rc1"},
                       {"1.01", "1.1"},
                       {"1.0\u03b2", "1.0"},
                       {"", "0"},
                       {"1..2", "1 2"},
                       {"1\u0663", "1"},
                       {"1\u0301.2", "2"},
                       {"-", ""},
                       {"\xff\xfe\x32", "2"},
                       // A letter or digit joined to a mark after it, or to a prepended sign
                       // before it, is no character of its own.
                       {"12\u200d", "1"},
                       {"ab\u0903c", "a.c"},
                       {"\u06001.2", "2"}};
  for (const auto& [a, b] : newer) {
    EXPECT_EQ(Version::compare(a, b), 1) << a << " vs " << b;
    EXPECT_EQ(Version::compare(b, a), -1) << b << " vs " << a;
  }
  for (const auto& [a, b] : same) {
    EXPECT_EQ(Version::compare(a, b), 0) << a << " vs " << b;
    EXPECT_EQ(Version::compare(b, a), 0) << b << " vs " << a;
  }
  // Digits past the eighteenth are dropped.
  EXPECT_EQ(Version::compare("1234567890123456789", "1234567890123456788"), 0);
  EXPECT_FALSE(Version::isNewer("1.0", "1.0.0"));
  EXPECT_TRUE(Version::isNewer("1.0.1", "1.0.b"));
}

TEST(VersionTest, FindsNumbers) {
  EXPECT_TRUE(Version::hasNumber("v2"));
  for (const char* none : {"latest", "", "\u0663", "2\u20e3"})
    EXPECT_FALSE(Version::hasNumber(none)) << none;
}

TEST(VersionTest, CleansCaskVersions) {
  const std::pair<const char*, const char*> cases[] = {{"4.5.6 (build 7),abc", "4.5.6"},
                                                       {"  latest \n", "latest"},
                                                       {"\u00a01.2\u2028", "1.2"},
                                                       {", 1.0", "1.0"},
                                                       {",", ","},
                                                       {",2.0,3", "2.0"},
                                                       {" ", ""},
                                                       {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(Version::cleanCaskVersion(in), out) << in;
}

}  // namespace
}  // namespace larkvale
