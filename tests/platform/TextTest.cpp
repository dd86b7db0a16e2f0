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
