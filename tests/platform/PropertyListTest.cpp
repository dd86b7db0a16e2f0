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

// A binary list of one dictionary {key: "x"}, the key given as a string
// object (marker and bytes).
std::string binaryWithKey(const std::string& keyObject) {
  std::string body = "bplist00";
  body += "\xD1\x01\x02";  // dict of one pair: key object 1, value object 2
  const auto keyAt = static_cast<char>(body.size());
  body += keyObject;
  const auto valueAt = static_cast<char>(body.size());
  body += "\x51x";
  const auto table = static_cast<char>(body.size());
  body += std::string{'\x08', keyAt, valueAt};
  body += std::string(6, '\0') + "\x01\x01";
  body += std::string(7, '\0') + "\x03" + std::string(8, '\0') + std::string(7, '\0') + table;
  return body;
}

TEST(PropertyListTest, RefusesBinaryStringsHoldingNul) {
  // The parsing library aborts the process when handed such a key.
  using namespace std::literals;
  const std::vector<std::pair<std::string, std::optional<PlistValue>>> keys{
      {"\x52"s + "ab", PlistDict{{"ab", "x"}}},
      {"\x52"s + "a\0"s, std::nullopt},
      {"\x61\0\0"s, std::nullopt},               // UTF-16
      {"\x5F\x10\x02"s + "a\0"s, std::nullopt},  // length in an integer object
      {"\x61\0a"s, PlistDict{{"a", "x"}}}};
  for (const auto& [key, expected] : keys) {
    EXPECT_EQ(PropertyList::parse(binaryWithKey(key)), expected);
  }
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
