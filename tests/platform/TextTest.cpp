#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Collation.h"
#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale {
namespace {

TEST(CollationTest, IgnoresCaseButNotAccentsAndSortsAsAPersonWould) {
  EXPECT_EQ(Collation::compare("safari", "Safari"), 0);
  EXPECT_EQ(Collation::compare("cote", "côte"), -1);
  EXPECT_EQ(Collation::compare("côte", "cote"), 1);
  EXPECT_NE(Collation::compare("a\xFF", "b"), 0);  // invalid UTF-8 compares without failing
  // Plain byte order would put every capital first.
  std::vector<std::string> names{"zoom", "Xcode", "1Password", "Éclair", "alfred", "Eclair"};
  std::stable_sort(names.begin(), names.end(), Collation::less);
  EXPECT_EQ(names,
            (std::vector<std::string>{"1Password", "alfred", "Eclair", "Éclair", "Xcode", "zoom"}));
}

TEST(TextTrimTest, TrimsByCharacterClass) {
  EXPECT_EQ(TextTrim::spaces(" \t1.2\xC2\xA0\xE3\x80\x80"), "1.2");
  EXPECT_EQ(TextTrim::spaces("\n1.2\n"), "\n1.2\n");
  EXPECT_EQ(TextTrim::whitespace("\r\n\xE2\x80\xA8 a b \xC2\x85\t"), "a b");
  // Broken bytes are kept, not misread as space.
  EXPECT_EQ(TextTrim::spaces(" \xA0x\xC2"), "\xA0x\xC2");
  EXPECT_EQ(TextTrim::spaces("\xC0\xA0x"), "\xC0\xA0x");  // overlong space
  EXPECT_EQ(TextTrim::chars("'\"owner\"'", "\"'"), "owner");
  EXPECT_EQ(TextTrim::chars("\"\"", "\"'"), "");
}

// Outside text that must stay one line loses what could reorder it, break
// it or drive a terminal; what a reader sees stays.
TEST(TextTrimTest, OneLineKeepsOnlyWhatShowsOnOneLine) {
  using namespace std::literals;
  struct Case {
    std::string_view in, out;
  };
  const Case cases[] = {
      {"1.0\0"sv, "1.0"},
      {"1.\a0\x1B[31m\x7F"sv, "1.0[31m"},
      {"2.0\xC2\x80\xC2\x9F"sv, "2.0"},  // C1 controls
      {"2.0\xC2\x85"
       "beta"sv,
       "2.0 beta"},  // U+0085
      {"2.0\xE2\x80\xA8"
       "beta\xE2\x80\xA9"sv,
       "2.0 beta "},  // U+2028, U+2029
      {"A\tB\r\nC\vD\fE"sv, "A B  C D E"},
      {"\xE2\x80\xAE"
       "3.0\xE2\x81\xA6\xE2\x80\x8B\xEF\xBB\xBF"sv,
       "3.0"},  // U+202E …
      {"Caf\xC3\xA9\xC2\xA0\xF0\x9F\x8E\x89 1.0"sv, "Caf\xC3\xA9\xC2\xA0\xF0\x9F\x8E\x89 1.0"},
      {"bad\xC2 \xFF"sv, "bad\xC2 \xFF"},  // broken bytes stay for the reader to replace
      {""sv, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TextTrim::oneLine(c.in), c.out) << c.in;
}

// A path keeps every character but shows the ones that would hide, break or
// reorder it as "\uXXXX".
TEST(TextTrimTest, VisibleControlsWritesOutWhatWouldNotShow) {
  using namespace std::literals;
  struct Case {
    std::string_view in, out;
  };
  const Case cases[] = {
      {"a\0b\x01\x1B\x1F\x7F"sv, R"(a\u0000b\u0001\u001B\u001F\u007F)"},
      {"\t\n\r"sv, R"(\u0009\u000A\u000D)"},
      {"\xC2\x80\xC2\x85\xC2\x9B\xC2\x9F"sv, R"(\u0080\u0085\u009B\u009F)"},  // C1
      {"a\xE2\x80\xA8"
       "b\xE2\x80\xA9"sv,
       R"(a\u2028b\u2029)"},
      {"a\xE2\x80\xAE"
       "b\xE2\x81\xA6\xE2\x81\xA9\xE2\x80\x8E\xE2\x80\x8F\xD8\x9C\xE2\x80\x8B\xEF\xBB\xBF"sv,
       R"(a\u202Eb\u2066\u2069\u200E\u200F\u061C\u200B\uFEFF)"},
      // What shows stays, a backslash and broken bytes too.
      {"~/Caf\xC3\xA9\xC2\xA0\xF0\x9F\x8E\x89 a\\u202E.plist"sv,
       "~/Caf\xC3\xA9\xC2\xA0\xF0\x9F\x8E\x89 a\\u202E.plist"},
      {"bad\xC2 \xFF\xE2\x80"sv, "bad\xC2 \xFF\xE2\x80"},
      {""sv, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TextTrim::visibleControls(c.in), c.out) << c.in;
}

TEST(WebURLTest, SplitsAddresses) {
  EXPECT_EQ(
      WebURL::parse("HTTPS://git@www.GitHub.com:443/own%65r/repo/?tab=1#top"),
      (WebURL{"HTTPS", true, "git", "www.GitHub.com", "443", "/owner/repo/", "tab=1", "top"}));
  EXPECT_EQ(WebURL::parse("example.com/feed.xml"),
            (WebURL{"", false, "", "", "", "example.com/feed.xml", std::nullopt, std::nullopt}));
  for (const char* bad :
       {"", "https://exa mple.com", "https://example.com/\xC3\xA9", "https://example.com:80a/",
        "https://example.com/%zz", "https://example.com/%FF"}) {
    EXPECT_FALSE(WebURL::parse(bad)) << bad;
  }
}

TEST(WebURLTest, SplitsStrictlyAsWritten) {
  const std::string text = "https://u:p@Host.example:8443/a/b%2F?q=1&r=?#f/x";
  EXPECT_EQ(WebURL::parseStrict(text),
            (URLParts{"https", "u:p", "Host.example", "8443", "/a/b%2F", "q=1&r=?", "f/x"}));
  EXPECT_EQ(WebURL::parseStrict(text).value().text(), text);
  EXPECT_EQ(WebURL::parseStrict("mailto:a@b.example").value().host, std::nullopt);
  EXPECT_EQ(WebURL::parseStrict("file:///tmp/x").value().host, "");

  for (const char* bad :
       {"no scheme", "1http://x/", "https://x/%4", "https://[zz]/", "https://x/\x7f",
        "https://x/a[1]", "https://x/#a#b", "https://a:b:80/"}) {
    EXPECT_FALSE(WebURL::parseStrict(bad)) << bad;
  }
  EXPECT_TRUE(WebURL::parse("https://x/a[1]#a#b")) << "the lenient reading takes what browsers do";
}

}  // namespace
}  // namespace larkvale
