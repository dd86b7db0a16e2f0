#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <unicode/uchar.h>
#include <unicode/uniset.h>
#include <unicode/unistr.h>
#include <unicode/usetiter.h>
#include <unicode/utf8.h>

#include "platform/Collation.h"
#include "platform/Json.h"
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

// The rule every form shares, told apart from the code under test: ICU's
// categories Cc, Cf, Zl, Zp and Default_Ignorable_Code_Point.
bool hiddenByICU(UChar32 c) {
  const auto type = u_charType(c);
  return type == U_CONTROL_CHAR || type == U_FORMAT_CHAR || type == U_LINE_SEPARATOR ||
         type == U_PARAGRAPH_SEPARATOR ||
         u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
}

std::string utf8(char32_t c) {
  std::string out;
  char buffer[4];
  int32_t length = 0;
  U8_APPEND_UNSAFE(buffer, length, c);
  out.assign(buffer, static_cast<size_t>(length));
  return out;
}

bool isBreak(char32_t c) {
  return c == 0x09 || (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

std::string hexOf(char32_t c, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, static_cast<unsigned>(c));
  return buffer;
}

// Reads back what writtenOut wrote; a written-out text that reads back as
// the one it was made from names it alone.
std::optional<std::string> readBack(std::string_view shown) {
  std::string out;
  for (size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != '\\') {
      out.push_back(shown[i]);
      continue;
    }
    if (++i >= shown.size()) return std::nullopt;
    const char kind = shown[i];
    if (kind == '\\') {
      out.push_back('\\');
      continue;
    }
    const size_t digits = kind == 'x' ? 2 : kind == 'u' ? 4 : kind == 'U' ? 8 : 0;
    if (digits == 0 || i + digits >= shown.size()) return std::nullopt;
    const auto value = std::stoul(std::string(shown.substr(i + 1, digits)), nullptr, 16);
    if (kind == 'x') {
      out.push_back(static_cast<char>(value));
    } else {
      out += utf8(static_cast<char32_t>(value));
    }
    i += digits;
  }
  return out;
}

// Every code point, alone and between letters, in each of the three forms:
// the hidden ones go (one line, lines) or are written out (a path), line
// breaks become a space (one line) or a line feed (lines), and every other
// one stays as it is.
TEST(TextTrimTest, EveryCodePointTakesOneRuleInEachForm) {
  size_t hidden = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string in = "a" + utf8(c) + "b";
    const bool expectHidden = hiddenByICU(static_cast<UChar32>(c));
    ASSERT_EQ(TextTrim::isHidden(c), expectHidden) << hexOf(c, 4);
    hidden += expectHidden;
    const bool lineFeed = c == '\n' || c == '\r';
    const std::string line = isBreak(c) ? "a b" : expectHidden ? "ab" : in;
    const std::string lines = lineFeed ? "a\nb" : line;
    std::string path = in;
    if (expectHidden) path = c > 0xFFFF ? "a\\U" + hexOf(c, 8) + "b" : "a\\u" + hexOf(c, 4) + "b";
    if (c == '\\') path = "a\\\\b";
    ASSERT_EQ(TextTrim::oneLine(in), line) << hexOf(c, 4);
    ASSERT_EQ(TextTrim::lines(in), lines) << hexOf(c, 4);
    ASSERT_EQ(TextTrim::writtenOut(in), path) << hexOf(c, 4);
    ASSERT_EQ(TextTrim::validUtf8(in), in) << hexOf(c, 4);
  }
  // The invisible characters a short hand list once let through are among them.
  for (char32_t c : {0xADu, 0x34Fu, 0x115Fu, 0x180Eu, 0x2060u, 0x2064u, 0x206Au, 0x206Fu, 0x3164u,
                     0xFFF9u, 0xFFFBu, 0xE0001u, 0xE0041u, 0xE007Fu, 0x1BCA0u, 0xFE00u}) {
    EXPECT_TRUE(TextTrim::isHidden(c)) << hexOf(c, 4);
  }
  EXPECT_GT(hidden, 4000u);
}

// Random bytes, each form: the result is valid UTF-8 holding nothing hidden
// (but what joins an emoji), made of the input's own visible characters in
// order; a path shows them all and reads back as the very bytes it came from,
// so two different paths never show alike.
TEST(TextTrimTest, RandomBytesComeOutValidCleanAndPathsStayApart) {
  using namespace std::literals;
  // Pieces that decode into something hidden, or would if a byte between
  // them went.
  const std::vector<std::string> pieces{"\xE2\x80\xAE"s,
                                        "\xE2\x80"s,
                                        "\xAE"s,
                                        "\xC2"s,
                                        "\x85"s,
                                        "\x01"s,
                                        "\r"s,
                                        "\n"s,
                                        "\\"s,
                                        "\\u202E"s,
                                        "\xF0\x9F\x91\xA9"s,
                                        "\xE2\x80\x8D"s,
                                        "\xEF\xB8\x8F"s,
                                        "\xF3\xA0\x80\x81"s,
                                        "\xED\xA0\x80"s,
                                        "\xF4\x90\x80\x80"s,
                                        "\xC0\xAF"s,
                                        "\xFF"s,
                                        "a"s,
                                        "\xC3\xA9"s,
                                        " "s,
                                        "\xEF\xBF\xBD"s};
  std::mt19937 random(20261207);
  std::map<std::string, std::string> shownPaths;
  for (int round = 0; round < 20000; ++round) {
    std::string in;
    const int count = static_cast<int>(random() % 8);
    for (int k = 0; k < count; ++k) {
      if (random() % 3 == 0) {
        in.push_back(static_cast<char>(random() % 256));
      } else {
        in += pieces[random() % pieces.size()];
      }
    }
    for (const auto& out : {TextTrim::oneLine(in), TextTrim::lines(in), TextTrim::writtenOut(in)}) {
      ASSERT_EQ(TextTrim::validUtf8(out), out) << in;
      char32_t before = 0;
      for (size_t i = 0; i < out.size();) {
        auto [c, length] = TextTrim::decodeAt(out, i);
        i += length;
        const bool emojiJoin = (c == 0x200D || c == 0xFE0F) && before != 0;
        ASSERT_TRUE(!TextTrim::isHidden(c) || c == '\n' || emojiJoin) << in;
        before = c;
      }
    }
    const std::string shown = TextTrim::writtenOut(in);
    ASSERT_EQ(readBack(shown), in);
    auto [it, added] = shownPaths.emplace(shown, in);
    ASSERT_TRUE(added || it->second == in) << in << " and " << it->second;
    ASSERT_EQ(TextTrim::oneLine(TextTrim::oneLine(in)), TextTrim::oneLine(in)) << in;
  }
}

// Nothing removed makes its neighbours join, and an emoji keeps what makes
// it one.
TEST(TextTrimTest, WhatIsDroppedNeverJoinsItsNeighbours) {
  using namespace std::literals;
  EXPECT_EQ(TextTrim::oneLine("1.0 \xE2\x80\x01\xAE 0.2"sv),
            "1.0 \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD 0.2");
  EXPECT_EQ(TextTrim::oneLine("\xC2\x01\x85"sv), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(TextTrim::lines("\xE2\x80\nAE"sv), "\xEF\xBF\xBD\xEF\xBF\xBD\nAE");
  EXPECT_EQ(TextTrim::writtenOut("\xE2\x80\x01\xAE"sv), R"(\xE2\x80\u0001\xAE)");
  EXPECT_NE(TextTrim::writtenOut("\xEF\xBF\xBD"sv), TextTrim::writtenOut("\xFF"sv));
  EXPECT_EQ(TextTrim::writtenOut("a\xE2\x80\xAE"sv), R"(a\u202E)");
  EXPECT_EQ(TextTrim::writtenOut(R"(a\u202E)"sv), R"(a\\u202E)");
  // Family (woman, joiner, girl), a heart with its emoji selector, a
  // keycap: kept whole. A joiner or selector with no emoji to hold goes.
  const std::string family = "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
  const std::string heart = "\xE2\x9D\xA4\xEF\xB8\x8F";
  const std::string keycap = "1\xEF\xB8\x8F\xE2\x83\xA3";
  EXPECT_EQ(TextTrim::oneLine("Team " + family + heart + keycap),
            "Team " + family + heart + keycap);
  EXPECT_EQ(TextTrim::oneLine("a\xE2\x80\x8D"
                              "b\xEF\xB8\x8F"
                              "c"),
            "abc");
  EXPECT_EQ(TextTrim::oneLine("\xF0\x9F\x91\xA9\xE2\x80\x8D"
                              "b"),
            "\xF0\x9F\x91\xA9"
            "b");
  EXPECT_EQ(TextTrim::lines("one\r\ntwo\rthree\n\nfour\xE2\x80\xA8"
                            "five\x1B[1m"sv),
            "one\ntwo\nthree\n\nfour five[1m");
}

// Every emoji Unicode recommends (ICU's RGI_Emoji: presentation selectors,
// keycaps, flags, skin tones, joined sequences) is shown whole, on one line
// and in lines. The subdivision flags are the one exception: their tag
// characters are letters no one sees, dropped like every other tag, which
// leaves the black flag they stand on.
TEST(TextTrimTest, EveryRecommendedEmojiIsShownWhole) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::UnicodeSet recommended(u"[:RGI_Emoji:]", status);
  ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
  size_t count = 0, keycaps = 0, tagged = 0;
  for (icu::UnicodeSetIterator it(recommended); it.next(); ++count) {
    const icu::UnicodeString& emoji = it.getString();
    std::string text;
    emoji.toUTF8String(text);
    std::string shown = text;
    if (u_stringHasBinaryProperty(emoji.getBuffer(), emoji.length(),
                                  UCHAR_RGI_EMOJI_TAG_SEQUENCE)) {
      shown = "\xF0\x9F\x8F\xB4";  // U+1F3F4, the black flag
      ++tagged;
    }
    keycaps += text.ends_with("\xEF\xB8\x8F\xE2\x83\xA3");
    ASSERT_EQ(TextTrim::oneLine("<" + text + ">"), "<" + shown + ">") << TextTrim::writtenOut(text);
    ASSERT_EQ(TextTrim::lines(text), shown) << TextTrim::writtenOut(text);
    ASSERT_EQ(TextTrim::showsAsWritten(text), shown == text) << TextTrim::writtenOut(text);
  }
  EXPECT_GT(count, 3000u);
  EXPECT_EQ(keycaps, 12u);  // 0-9, # and *
  EXPECT_EQ(tagged, 3u);
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

// A host that decodes to what no host holds makes the text no address for
// every reader: parse, parseStrict and the rule links are kept by.
TEST(WebURLTest, RefusesHostsThatNameNoHost) {
  struct Kept {
    const char* url;
    const char* host;  // as parse decodes it
  };
  for (const Kept& k : std::initializer_list<Kept>{
           {"https://example.com/feed.xml", "example.com"},
           {"https://Feeds.Example-1.co.uk:8443/a", "Feeds.Example-1.co.uk"},
           {"https://u:p@www.example.com/", "www.example.com"},
           {"http://192.168.0.1:8080/x", "192.168.0.1"},
           {"https://[2001:db8::1]:443/x", "[2001:db8::1]"},
           {"https://[::ffff:127.0.0.1]/", "[::ffff:127.0.0.1]"},
           {"https://b%C3%BCcher.example/", "b\u00fccher.example"},
           {"https://%E0%A4%B9%E0%A4%BF%E0%A4%82%E0%A4%A6%E0%A5%80.in/",
            "\u0939\u093f\u0902\u0926\u0940.in"},
           {"https://%E4%BE%8B%E3%81%88.jp/", "\u4f8b\u3048.jp"},
           {"https://my_bucket.s3.example.com/", "my_bucket.s3.example.com"},
           {"https://%65xample.com/", "example.com"},
           {"file:///tmp/x", ""},
       }) {
    const auto url = WebURL::parse(k.url);
    ASSERT_TRUE(url) << k.url;
    EXPECT_EQ(url->host, k.host) << k.url;
    EXPECT_TRUE(WebURL::isKeepable(k.url)) << k.url;
    if (std::string_view(k.url).find('%') == std::string_view::npos) {
      EXPECT_TRUE(WebURL::parseStrict(k.url)) << k.url;
    }
  }
  for (const char* bad :
       {"https://ev%E2%80%AEil.com%0D-%20%5Bx%5D/feed",  // U+202E, CR, space, brackets
        "https://evil.com%0A/x",
        "https://evil.com%0D/x",
        "https://evil%20.com/",
        "https://ev%E2%80%A8il.com/",     // U+2028
        "https://ev%C2%85il.com/",        // U+0085
        "https://ev%C2%ADil.com/",        // soft hyphen
        "https://ev%E2%80%8Bil.com/",     // zero-width space
        "https://ev%EF%B8%8Fil.com/",     // a variation selector: a mark that hides
        "https://ev%F3%A0%80%81il.com/",  // a tag character
        "https://ev%E3%80%80il.com/",     // ideographic space
        "https://ev%E2%80%A2il.com/",     // a bullet: punctuation
        "https://ev%EF%BF%BDil.com/",     // U+FFFD
        "https://evil.com%2F..%2F/",
        "https://a%3Cb%3E.com/",
        "https://a%5Bx%5D.com/",
        "https://%23heading/",
        "https://a!b.example/",
        "https://a%2Ab.example/",
        "https://a%25b.example/",
        "https://ev%00il.com/",
        "https://[2001:db8::1%0D]/",
        "https://[2001:db8::g]/",
        "https://[]/"}) {
    EXPECT_FALSE(WebURL::parse(bad)) << bad;
    EXPECT_FALSE(WebURL::parseStrict(bad)) << bad;
    EXPECT_FALSE(WebURL::isKeepable(bad)) << bad;
  }
  // The saved state's looser reading still takes such a link back.
  EXPECT_TRUE(JsonCoding::isReadableUrl("https://ev%E2%80%AEil.com/feed"));
}

}  // namespace
}  // namespace larkvale
