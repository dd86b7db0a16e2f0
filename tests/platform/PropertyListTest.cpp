#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

PlistValue sample() {
  return PlistDict{{"CFBundleIdentifier", "com.example.App"},
                   {"Count", int64_t{42}},
                   {"Ratio", 0.5},
                   {"Flag", true},
                   {"When", PlistDate{86400}},
                   {"Blob", PlistData{std::string("\0\1\2", 3)}},
                   {"List", PlistArray{"a", int64_t{1}, PlistDict{}}}};
}

TEST(PropertyListTest, RoundTripsXmlAndBinary) {
  for (const auto& bytes : {PropertyList::toXml(sample()), PropertyList::toBinary(sample())}) {
    auto parsed = PropertyList::parse(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, sample());
  }
}

TEST(PropertyListTest, RefusesWhatIsNoPropertyList) {
  EXPECT_FALSE(PropertyList::parse(""));
  EXPECT_FALSE(PropertyList::parse("hello there, not a plist"));
  EXPECT_FALSE(PropertyList::parse("bplist00\xff\xff\xff"));
  std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
  for (int i = 0; i < 100000; ++i) deep += "<array>";
  EXPECT_FALSE(PropertyList::parse(deep));
}

TEST(PropertyListTest, TakesEveryRealWorldSampleWithoutCrashing) {
  auto folder = test::realworld("plist");
  auto names = FileSystem::listNames(folder);
  if (!names) GTEST_SKIP() << "no real-world samples";
  for (const auto& name : *names) {
    auto bytes = FileSystem::readFile(folder / name);
    ASSERT_TRUE(bytes) << name;
    auto parsed = PropertyList::parse(*bytes);
    if (name == "alt-tab-macos-Info.plist") {
      ASSERT_TRUE(parsed && parsed->dict());
      EXPECT_TRUE(parsed->dict()->count("CFBundleIdentifier"));
    }
  }
}

}  // namespace
}  // namespace larkvale
