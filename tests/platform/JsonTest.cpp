#include "platform/Json.h"

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
          "s":"t","b":1,"nul":null,"d":"2026-12-05T17:30:42.5Z"})");
  JsonIn in(doc);
  EXPECT_EQ(in.int64("max"), INT64_MAX);
  EXPECT_EQ(in.int64("neg"), -3);
  EXPECT_EQ(failure([&] { in.int64("f"); }).kind(), Kind::typeMismatch);
  EXPECT_EQ(failure([&] { in.int64("big"); }).kind(), Kind::dataCorrupted);
  EXPECT_EQ(failure([&] { in.boolean("b"); }).kind(), Kind::typeMismatch);
  EXPECT_EQ(failure([&] { in.date("d"); }).kind(), Kind::dataCorrupted);
  EXPECT_EQ(failure([&] { in.string("nul"); }).kind(), Kind::valueNotFound);

  auto noKey = failure([&] { in.string("nope"); });
  EXPECT_EQ(noKey.kind(), Kind::keyNotFound);
  EXPECT_EQ(noKey.description(), "No value for key “nope”.");
}

// Readers of outside answers word their own errors from these parts.
TEST(JsonTest, NamesThePlaceAndTypeOfAFault) {
  Json doc = Json::parse(R"({"rows":[{"n":1},{"n":"x","s":[1]}],"o":{}})");
  JsonIn in(doc);
  auto readRows = [&](auto read) { in.at("rows").array(read); };
  struct Case {
    JsonDecodingError error;
    std::string place, member, expected;
  };
  const Case cases[] = {
      {failure([&] { readRows([](const JsonIn& r) { return r.int64("n"); }); }), "rows[1].n", "n",
       "a whole number"},
      {failure([&] { readRows([](const JsonIn& r) { return r.string("s"); }); }), "rows[0].s", "s",
       "a string"},
      {failure([&] { in.at("o").strings("list"); }), "o.list", "list", "an array"},
      {failure([&] { JsonIn(doc["rows"]).optionalString("k"); }), "", "", "an object"},
  };
  EXPECT_STREQ(
      cases[0].error.what(),
      R"(typeMismatch("rows[1].n", "Expected a whole number but found a string instead."))");
  for (const auto& c : cases) {
    EXPECT_EQ(c.error.place(), c.place) << c.error.what();
    EXPECT_EQ(c.error.member(), c.member) << c.error.what();
    EXPECT_EQ(c.error.expected(), c.expected) << c.error.what();
  }
  EXPECT_FALSE(failure([] { JsonCoding::parse("{"); }).underlying().empty());
}

// The place is found in the document the reading began at: the value
// itself, not the first equal one, through members, maps and nested arrays,
// after the path a reader was made with.
TEST(JsonTest, FindsThePlaceOfTheValueAtFault) {
  Json doc =
      Json::parse(R"({"":{"e":"x"},"a":[{"n":1,"s":"x"},{"n":"x"}],"m":{"k":[[1],[2,"x"]]}})");
  auto readN = [](const JsonIn& r) { return r.int64("n"); };
  auto readInts = [](const JsonIn& r) {
    return r.array([](const JsonIn& e) { return e.int64(); });
  };
  const std::pair<JsonDecodingError, std::string> cases[] = {
      {failure([&] { JsonIn(doc).at("a").array(readN); }), "a[1].n"},
      {failure([&] { JsonIn(doc, "state").at("a").array(readN); }), "state.a[1].n"},
      {failure([&] { JsonIn::withoutPlaces(doc).at("a").array(readN); }), ""},
      {failure(
           [&] { JsonIn(doc).at("m").map([&](const JsonIn& v) { return v.array(readInts); }); }),
       "m.k[1][1]"},
      {failure([&] { JsonIn(doc).at("").int64("e"); }), "e"},
      {failure([&] { JsonIn(doc, "state").int64(); }), "state"},
      {failure([&] { JsonIn(doc).at("a").string(); }), "a"},
  };
  for (const auto& [error, path] : cases) EXPECT_EQ(error.path(), path) << error.what();
  EXPECT_STREQ(cases[0].first.what(),
               R"(typeMismatch("a[1].n", "Expected a whole number but found a string instead."))");
}

// Nesting is refused at the first level past the limit, before the rest of
// the text is read; brackets inside strings don't nest.
TEST(JsonTest, RefusesNestingDeeperThanTheLimit) {
  auto nested = [](size_t depth, std::string_view open, std::string_view close) {
    std::string text;
    for (size_t i = 0; i < depth; ++i) text += open;
    text += "\"[[{\"";
    for (size_t i = 0; i < depth; ++i) text += close;
    return text;
  };
  const size_t limit = JsonCoding::maxDepth;
  EXPECT_NO_THROW(JsonCoding::parse(nested(limit, "[", "]")));
  EXPECT_NO_THROW(JsonCoding::parse(nested(limit, "{\"a\":", "}")));
  for (const auto& text : {nested(limit + 1, "[", "]"), nested(limit + 1, "{\"a\":", "}"),
                           std::string(1 << 20, '[')}) {
    auto e = failure([&] { JsonCoding::parse(text); });
    EXPECT_EQ(e.kind(), Kind::dataCorrupted);
    EXPECT_EQ(e.underlying(), "arrays and objects nest deeper than 512 levels");
  }
}

TEST(JsonTest, ReadsWholeNumbersHoweverWritten) {
  Json doc = Json::parse(R"([1, 1.0, 1e0, -2, 1.5, 1e30, "1", 18446744073709551615])");
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(JsonIn(doc[i]).integral(), i < 3 ? 1 : -2) << i;
  for (size_t i = 4; i < doc.size(); ++i)
    EXPECT_THROW(JsonIn(doc[i]).integral(), JsonDecodingError) << doc[i].dump();
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
  EXPECT_EQ(failure([] { JsonCoding::parse("{} {}"); }).kind(), Kind::dataCorrupted);
}

TEST(JsonTest, TellsReadableUrls) {
  EXPECT_TRUE(JsonCoding::isReadableUrl("https://example.com/a?b=c&d=%20#f"));
  for (const char* bad : {"", "has space", "https://x/\xc3\xa9", "a%2"})
    EXPECT_FALSE(JsonCoding::isReadableUrl(bad)) << bad;
}

}  // namespace
}  // namespace larkvale
