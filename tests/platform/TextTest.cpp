#include <gtest/gtest.h>

#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale {
namespace {

TEST(TextTrimTest, TrimsByCharacterClass) {
  EXPECT_EQ(TextTrim::spaces(" \t1.2\xC2\xA0\xE3\x80\x80"), "1.2");
  EXPECT_EQ(TextTrim::spaces("\n1.2\n"), "\n1.2\n");
  EXPECT_EQ(TextTrim::spaces("  "), "");
  EXPECT_EQ(TextTrim::whitespace("\r\n\xE2\x80\xA8 a b \xC2\x85\t"), "a b");
  // Broken bytes are kept, not misread as space.
  EXPECT_EQ(TextTrim::spaces(" \xA0x\xC2"), "\xA0x\xC2");
  EXPECT_EQ(TextTrim::spaces("\xC0\xA0x"), "\xC0\xA0x");  // overlong space
  EXPECT_EQ(TextTrim::chars("'\"owner\"'", "\"'"), "owner");
  EXPECT_EQ(TextTrim::chars("\"\"", "\"'"), "");
}

TEST(WebURLTest, SplitsAddresses) {
  auto url = WebURL::parse("HTTPS://git@www.GitHub.com:443/own%65r/repo/?tab=1#top");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->scheme, "HTTPS");
  EXPECT_EQ(url->user, "git");
  EXPECT_EQ(url->host, "www.GitHub.com");
  EXPECT_EQ(url->port, "443");
  EXPECT_EQ(url->path, "/owner/repo/");
  EXPECT_EQ(url->query, "tab=1");
  EXPECT_EQ(url->fragment, "top");

  auto relative = WebURL::parse("example.com/feed.xml");
  ASSERT_TRUE(relative);
  EXPECT_EQ(relative->scheme, "");
  EXPECT_FALSE(relative->hasAuthority);
  EXPECT_EQ(relative->path, "example.com/feed.xml");

  EXPECT_EQ(WebURL::parse("http://[::1]:8080/x")->host, "[::1]");
  for (const char* bad : {"", "https://exa mple.com", "https://example.com/\xC3\xA9",
                          "https://example.com:80a/", "https://example.com/%zz", "http://x/%",
                          "https://example.com/\n", "https://example.com/%FF"}) {
    EXPECT_FALSE(WebURL::parse(bad)) << bad;
  }
}

}  // namespace
}  // namespace larkvale
