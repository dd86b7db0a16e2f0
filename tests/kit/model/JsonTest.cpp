#include "kit/model/Json.h"

#include <gtest/gtest.h>

namespace larkvale {
namespace {

using Kind = JsonDecodingError::Kind;

// Runs f and gives the decoding error it throws.
template <typename F>
JsonDecodingError failure(F f) {
  try {
    f();
  } catch (const JsonDecodingError& e) {
    return e;
  }
  ADD_FAILURE() << "no decoding error";
  return JsonDecodingError(Kind::dataCorrupted, "", "");
}

TEST(JsonTest, EncodesCompactWithSortedKeys) {
  Json obj = {{"b", 1}, {"a", Json::array({true, "x/y"})}, {"B", Json::object()}};
  EXPECT_EQ(JsonCoding::encode(obj), R"({"B":{},"a":[true,"x/y"],"b":1})");
  EXPECT_EQ(JsonCoding::encode(std::string("bad \xff byte")), "\"bad \xEF\xBF\xBD byte\"");
}

TEST(JsonTest, RefusesWrongTypesWithTheirPlace) {
  Json doc = Json::parse(
      R"({"f":12.7,"big":9223372036854775808,"max":9223372036854775807,"neg":-3,
          "s":"t","b":1,"arr":[1,"two"],"nul":null,"d":"2026-12-05T17:30:42.5Z"})");
  JsonIn in(doc);
  EXPECT_EQ(in.int64("max"), INT64_MAX);
  EXPECT_EQ(in.int64("neg"), -3);
  EXPECT_EQ(failure([&] { in.int64("f"); }).kind(), Kind::typeMismatch);
  EXPECT_EQ(failure([&] { in.int64("big"); }).kind(), Kind::dataCorrupted);
  EXPECT_EQ(failure([&] { in.boolean("b"); }).kind(), Kind::typeMismatch);
  EXPECT_EQ(failure([&] { in.string("b"); }).kind(), Kind::typeMismatch);
  EXPECT_EQ(failure([&] { in.date("d"); }).kind(), Kind::dataCorrupted);
  EXPECT_EQ(failure([&] { in.string("nul"); }).kind(), Kind::valueNotFound);

  auto e = failure([&] { in.at("arr").array([](const JsonIn& x) { return x.int64(); }); });
  EXPECT_EQ(e.path(), "arr[1]");
  EXPECT_STREQ(e.what(),
               R"(typeMismatch("arr[1]", "Expected a whole number but found a string instead."))");

  auto missing = failure([&] { in.at("s").at("k"); });
  EXPECT_EQ(missing.kind(), Kind::typeMismatch);
  auto noKey = failure([&] { in.string("nope"); });
  EXPECT_EQ(noKey.kind(), Kind::keyNotFound);
  EXPECT_EQ(noKey.description(), "No value for key “nope”.");
}

TEST(JsonTest, ReadsEnumerationObjects) {
  auto read = [](const char* text) {
    Json doc = Json::parse(text);
    return JsonIn(doc).enumCase({"one", "two"}).first;
  };
  EXPECT_EQ(read(R"({"two":{}})"), 1u);
  EXPECT_EQ(read(R"({"other":1,"one":{"x":2}})"), 0u);
  for (const char* bad : {R"({})", R"({"one":{},"two":{}})", R"({"three":{}})"}) {
    auto e = failure([&] { read(bad); });
    EXPECT_EQ(e.kind(), Kind::typeMismatch) << bad;
    EXPECT_EQ(e.description(), "Invalid number of keys found, expected one.") << bad;
  }
  EXPECT_EQ(failure([&] { read(R"({"one":"x"})"); }).path(), "one");
  EXPECT_EQ(failure([&] { read(R"([])"); }).kind(), Kind::typeMismatch);
}

TEST(JsonTest, ParseRefusesWhatIsNotJson) {
  for (const char* text : {"", "{", "nul", "{} {}", "\"\xff\""})
    EXPECT_EQ(failure([&] { JsonCoding::parse(text); }).kind(), Kind::dataCorrupted) << text;
}

TEST(JsonTest, TellsReadableUrls) {
  for (const char* good : {"https://example.com/a?b=c&d=%20#f", "relative/path", "mailto:x@y"})
    EXPECT_TRUE(JsonCoding::isReadableUrl(good)) << good;
  for (const char* bad : {"", "has space", "https://x/\xc3\xa9", "a%2", "a%zz", "a\"b", "a{b}"})
    EXPECT_FALSE(JsonCoding::isReadableUrl(bad)) << bad;
}

}  // namespace
}  // namespace larkvale
