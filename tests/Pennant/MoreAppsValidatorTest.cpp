#include "Pennant/MoreAppsValidator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/Pennant/FeedSamples.h"

namespace pennant {
namespace {

using nlohmann::json;
using test::feedOf;
using test::validApp;
using test::validFeed;

// The error decode throws, or nothing when the bytes pass.
std::optional<MoreAppsError> failure(const std::string& bytes) {
  try {
    MoreAppsValidator::decode(bytes);
  } catch (const MoreAppsError& error) {
    return error;
  }
  return std::nullopt;
}

std::optional<MoreAppsError> failureOfApp(const json& app) {
  return failure(feedOf(json::array({app})).dump());
}

json appWith(const char* key, json value) {
  auto app = validApp("app");
  app[key] = std::move(value);
  return app;
}

std::string repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(MoreAppsValidatorTest, ChecksSizeThenSchemaThenCount) {
  std::string feed = validFeed(3);
  std::string exact = feed + std::string(MoreAppsValidator::maxBytes - feed.size(), ' ');
  ASSERT_EQ(exact.size(), 262144u);
  EXPECT_EQ(MoreAppsValidator::decode(exact).apps.size(), 3u);
  EXPECT_EQ(failure(exact + " "), MoreAppsError::tooLarge());
  EXPECT_EQ(failure(std::string(262145, '[')), MoreAppsError::tooLarge());

  EXPECT_EQ(failure(feedOf(json::array(), 2).dump()), MoreAppsError::schema(2));
  EXPECT_EQ(failure(feedOf(json::array()).dump()), MoreAppsError::count(0));
  EXPECT_EQ(failure(validFeed(61)), MoreAppsError::count(61));
  EXPECT_EQ(MoreAppsValidator::decode(validFeed(60)).apps.size(), 60u);
}

TEST(MoreAppsValidatorTest, RefusesWhatIsNoFeedDocument) {
  auto withSchema = [](const char* schema) {
    return std::string("{\"schema\":") + schema +
           ",\"apps\":" + json::array({validApp("a")}).dump() + "}";
  };
  EXPECT_EQ(MoreAppsValidator::decode(withSchema("1.0")).schema, 1);
  for (const char* schema : {"\"1\"", "1.5"}) {
    EXPECT_EQ(failure(withSchema(schema)), MoreAppsError::notJSON()) << schema;
  }

  auto missingName = validApp("a");
  missingName.erase("name");
  for (const auto& app :
       {missingName, appWith("name", nullptr), appWith("localized", {{"es", {{"name", 1}}}})}) {
    EXPECT_EQ(failureOfApp(app), MoreAppsError::notJSON()) << app.dump();
  }

  const std::vector<std::string> documents = {
      validFeed(1) + ",", "{\"schema\":1,\"apps\":[{\"id\":\"a\xff\"}]}",
      "{\"schema\":1,\"apps\":[{\"id\":\"\\ud800\"}]}", repeat("[", 100000)};
  for (const auto& document : documents) {
    EXPECT_EQ(failure(document), MoreAppsError::notJSON()) << document.substr(0, 60);
  }
}

TEST(MoreAppsValidatorTest, IgnoresUnknownKeysAndNullOptionals) {
  auto app = validApp("a");
  app["bundleId"] = nullptr;
  app["localized"] = nullptr;
  app["price"] = {{"usd", 9.99}};
  auto document = feedOf(json::array({app}));
  document["extra"] = json::parse(repeat("[", 100) + repeat("]", 100));
  auto feed = MoreAppsValidator::decode(document.dump());
  EXPECT_FALSE(feed.apps[0].bundleId);
  EXPECT_FALSE(feed.apps[0].localized);

  document["extra"] = json::parse(repeat("[", 600) + repeat("]", 600));
  EXPECT_EQ(failure(document.dump()), MoreAppsError::notJSON());
}

TEST(MoreAppsValidatorTest, EachFieldRuleNamesFieldLanguageAndApp) {
  struct Case {
    const char* key;
    json value;
    const char* expected;  // the invalid text, or nullptr when the app passes
  };
  const std::vector<Case> cases = {
      {"id", "-app", "id -app"},
      {"bundleId", "com.maker_app", "bundleId of app"},
      {"bundleId", std::string(101, 'a'), "bundleId of app"},
      {"name", std::string(40, 'n'), nullptr},
      {"name", std::string(41, 'n'), "name of app"},
      {"detail", std::string(121, 'd'), "detail of app"},
      {"symbol", "Star.fill", "symbol of app"},
      {"tint", "gray", nullptr},
      {"tint", "grey", "tint of app"},
      {"url", "http://maker.example/mac/app", "url of app"},
      {"localized", {{"es", {{"name", "Nombre"}, {"detail", "Detalle."}}}}, nullptr},
      {"localized", {{"ES", {{"name", "Nombre"}}}}, "language of app"},
      {"localized", {{"fr", {{"name", "Nom"}, {"detail", "a\u2028b"}}}}, "fr detail of app"},
  };
  for (const auto& c : cases) {
    auto error = failureOfApp(appWith(c.key, c.value));
    if (c.expected) {
      EXPECT_EQ(error, MoreAppsError::invalid(c.expected)) << c.key << "=" << c.value.dump();
    } else {
      EXPECT_FALSE(error) << c.key << "=" << c.value.dump();
    }
  }
  // A long id is cut at sixty characters, not bytes.
  EXPECT_EQ(failureOfApp(appWith("id", repeat("é", 70))),
            MoreAppsError::invalid("id " + repeat("é", 60)));
}

TEST(MoreAppsValidatorTest, RepeatedIdIsReportedBeforeOtherFaultsOfThatApp) {
  auto second = validApp("same");
  second["name"] = "";
  second["tint"] = "Blue";
  EXPECT_EQ(failure(feedOf({validApp("same"), second}).dump()),
            MoreAppsError::invalid("duplicate id same"));
  // The first broken rule in feed order is the one reported.
  auto bad = validApp("a");
  bad["url"] = "https://elsewhere.example/";
  auto worse = validApp("b");
  worse["id"] = "B";
  EXPECT_EQ(failure(feedOf({bad, worse}).dump()), MoreAppsError::invalid("url of a"));
}

TEST(MoreAppsValidatorTest, TextRuleCountsGraphemesAndRefusesInvisibleScalars) {
  struct Case {
    std::string text;
    size_t limit;
    bool valid;
  };
  const std::vector<Case> cases = {
      {repeat("e\u0301", 40), 40, true},  // combining acute: one character each
      {repeat("e\u0301", 41), 40, false},
      {repeat("👍🏽", 40), 40, true},     // emoji with skin tone
      {"Family 👨\u200D👩\u200D👧", 40, false},  // a joiner is a format character
      // Joined, 401 emoji would count as one character.
      {repeat("👨\u200D", 400) + "👧", 40, false},
      {"Private \uE000", 40, false},
      // Default-ignorables that are not format characters hide all the same.
      {"Soft\u00ADhyphen", 40, false},
      {"Filler \u3164", 40, false},
      {"Grapheme\u034Fjoiner", 40, false},
      {"Tag \U000E0041", 40, false},
      {"Variation \uFE0F", 40, false},
      {"\u00A0\u2003 ", 40, false},  // only space separators: blank
      {"\t x \t", 40, false},        // a tab is a control character wherever it is
      {"  x  ", 5, true},            // edge spaces are kept and counted
      {"bad \xC3", 40, false},       // invalid UTF-8
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MoreAppsValidator::validText(c.text, c.limit), c.valid) << c.text;
  }
}

// A catalogue text is taken only as the app shows it: each emoji that needs
// no joiner whole, in any text field; no format character, and nothing the
// shown-text rule would drop.
TEST(MoreAppsValidatorTest, EmojiWithoutJoinersAreReadWholeAndHiddenScalarsRefused) {
  const std::vector<std::string> emoji = {
      "\u2764\uFE0F",          // heart, emoji presentation
      "\u2601\uFE0F",          // cloud
      "\u2601\uFE0E",          // cloud, text presentation
      "1\uFE0F\u20E3",         // keycaps: a digit,
      "#\uFE0F\u20E3",         // the number sign
      "*\uFE0F\u20E3",         // and the asterisk
      "\U0001F44D\U0001F3FD",  // skin tone
      "\U0001F1EB\U0001F1F7",  // a flag of two regional indicators
  };
  for (const auto& e : emoji) {
    auto app = validApp("app");
    app["name"] = "Name " + e;
    app["detail"] = e + " does it.";
    app["localized"] = {{"es", {{"name", e}, {"detail", "Hace " + e}}}};
    const auto feed = MoreAppsValidator::decode(feedOf(json::array({app})).dump());
    ASSERT_EQ(feed.apps.size(), 1u) << e;
    EXPECT_EQ(feed.apps[0].name, "Name " + e);
    EXPECT_EQ(feed.apps[0].detail, e + " does it.");
    EXPECT_EQ(feed.apps[0].localizedName("es"), e);
  }

  const std::vector<std::string> hidden = {
      "\U0001F468\u200D\U0001F469\u200D\U0001F467",  // family, joined
      "\U0001F469\U0001F3FD\u200D\U0001F680",        // skin tone, then a joiner
      "\U0001F3F3\uFE0F\u200D\U0001F308",            // selector, then a joiner
      "Line\nfeed",
      "Filler \u3164",
      "\u115F\u1160Name",
      "Half\uFFA0width",
      "Soft\u00ADhyphen",
      "Tag \U000E0041",
      "\u200D",
      "Lone \u200D join",
      "\uFE0Fstart",
      "x\uFE0F",
      "Joined at end \U0001F468\u200D",
      "Right\u202Eleft",
      "One\u2028two",
      "Tab\tbetween",
      "Bell\a",
      // A subdivision flag: its tag letters are format characters.
      "\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F",
  };
  for (const auto& text : hidden) {
    EXPECT_EQ(failureOfApp(appWith("name", text)), MoreAppsError::invalid("name of app")) << text;
    EXPECT_EQ(failureOfApp(appWith("detail", text)), MoreAppsError::invalid("detail of app"))
        << text;
    EXPECT_EQ(failureOfApp(appWith("localized", {{"de", {{"name", text}}}})),
              MoreAppsError::invalid("de name of app"))
        << text;
  }
}

TEST(MoreAppsValidatorTest, LinkAndSlugRules) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"https://maker.example", true},
      {"https://apps.apple.com/app/id123456", true},
      {"https://maker.example/" + std::string(178, 'p'), true},  // 200 characters
      {"https://maker.example/" + std::string(179, 'p'), false},
      {"https://maker.example/mac/app?x=1", false},
      {"https://maker.example:443/app", false},
      {"https://user@maker.example/app", false},
      {"https://evilmaker.example/app", false},
      {"https://maker.example.evil.test/app", false},
      {"https://www.www.maker.example/app", false},
      {"https://a..store.example/app", false},
      {"https://apps.apple.com./app", false},
      {"maker.example/app", false},
  };
  for (const auto& [link, valid] : cases) {
    EXPECT_EQ(MoreAppsValidator::validLink(link), valid) << link;
  }

  EXPECT_TRUE(MoreAppsValidator::validSlug(std::string(58, 'z') + "-0"));
  for (const std::string& bad : std::vector<std::string>{"-a", "A", "a_b", std::string(61, 'z')})
    EXPECT_FALSE(MoreAppsValidator::validSlug(bad)) << bad;
}

}  // namespace
}  // namespace pennant
