#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "tests/support/PlistShapes.h"
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

// Each of these once took the process down (the parsing library recursing
// until the stack ran out, parsing or freeing) or ran for minutes.
TEST(PropertyListTest, RefusesHostileShapesQuickly) {
  using namespace test::plist;
  std::vector<test::plist::Object> cycle(2);
  cycle[0].refs = {1};
  cycle[1].refs = {0};
  std::vector<test::plist::Object> keyedByItself(2);
  keyedByItself[0] = {true, {0, 1}};
  // Markup inside a comment, a CDATA section or a processing instruction is
  // no nesting, and must not hide any either.
  const std::string closers = "<!-- " + std::string(2000, ' ') + [] {
    std::string s;
    for (int i = 0; i < 1000; ++i) s += "</array>";
    return s;
  }() + " -->";
  const std::vector<std::pair<std::string, std::string>> hostile{
      {"binary, 513 deep", binaryChain(513)},
      {"binary, 2^40 values by sharing", binaryDoubling(40)},
      {"binary cycle", binary(cycle)},
      {"binary dictionary keyed by itself", binary(keyedByItself)},
      {"XML, 100000 deep", xmlNested(100000)},
      {"XML, closers in a comment", xmlNested(100000, closers)},
      {"XML, closers in a CDATA section",
       xmlNested(100000, "<string><![CDATA[</array></array>]]></string>")},
  };
  for (const auto& [what, bytes] : hostile) EXPECT_FALSE(PropertyList::parse(bytes)) << what;
}

TEST(PropertyListTest, TakesDeepButSaneShapes) {
  using namespace test::plist;
  // Shared leaves (the way binary writers store repeated strings) and a
  // nesting of 500.
  std::vector<test::plist::Object> shared(3);
  shared[0].refs = std::vector<uint32_t>(1000, 1);
  shared[0].refs.push_back(2);
  shared[2].refs = {1, 1};
  auto flat = PropertyList::parse(binary(shared));
  ASSERT_TRUE(flat && flat->array());
  EXPECT_EQ(flat->array()->size(), 1001u);
  EXPECT_EQ(flat->array()->back(), (PlistArray{"x", "x"}));

  EXPECT_TRUE(PropertyList::parse(binaryChain(500)));
  EXPECT_TRUE(PropertyList::parse(xmlNested(500)));
  std::string inText;
  for (int i = 0; i < 1000; ++i) inText += "<array>";
  auto quoted = PropertyList::parse(
      xmlNested(2, "<!-- <array> --><?pi <array>?><string><![CDATA[" + inText + "]]></string>"));
  ASSERT_TRUE(quoted && quoted->array());
  EXPECT_EQ(quoted->array()->front(), inText);
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

}  // namespace
}  // namespace larkvale
