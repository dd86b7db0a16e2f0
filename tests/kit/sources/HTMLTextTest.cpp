#include "kit/sources/HTMLText.h"

#include <gtest/gtest.h>

#include <string>

namespace larkvale {
namespace {

TEST(HTMLTextTest, MakesPlainText) {
  const std::pair<std::string, std::string> cases[] = {
      {"<ul><li>One</li><li class=\"x\">Two</li></ul>", "\u2022 One\n\u2022 Two"},
      {"first<br>second<BR/>third<br   />fourth", "first\nsecond\nthird\nfourth"},
      {"a<br\v>b<BR\u00a0/>c<br\u2028\u3000>d", "a\nb\nc\nd"},
      {"<p>One</p><P>Two</P><div>Three</div><h3>Four</h3>Five", "One\nTwo\nThree\nFour\nFive"},
      {"<p>A</p>\n\n\n\n<p>B</p>", "A\n\nB"},
      {"<style>p { color: red }</style><SCRIPT type=x>if (a < b) {}</script>Text", "Text"},
      {"<b>bold</b> &amp; <i>italic</i> &lt;tag&gt; &quot;q&quot; &#39;a&apos;",
       "bold & italic <tag> \"q\" 'a'"},
      {"&rsquo;&lsquo;&ldquo;&rdquo;&mdash;&ndash;&hellip;&nbsp;x",
       "\u2019\u2018\u201c\u201d\u2014\u2013\u2026 x"},
      {"caf&#233; &#x263A; &copy; &#\u0661\u0662;!", "caf &#x263A; &copy; !"},
      {"a < b and c > d", "a  d"},
      {"<a <br>", "<a"},
      {"<link rel=x>item", "\u2022 item"},
      {"one\r\ntwo\rthree\u2028four", "one\ntwo\nthree\nfour"},
  };
  for (const auto& [html, text] : cases) EXPECT_EQ(HTMLText::plainText(html), text) << html;
}

TEST(HTMLTextTest, FindsLineBreaksAtEveryPlaceInLongText) {
  // Breaks and look-alike bytes at every offset within and across eight-byte words.
  const std::pair<std::string, std::string> joins[] = {
      {"\r\n", "\n"},       {"\v", "\n"},         {"\u0085", "\n"},         {"\u2028", "\n"},
      {"\u00a0", "\u00a0"}, {"\xe2\n", "\xe2\n"}, {"\xc2\u2028", "\xc2\n"},
  };
  for (size_t offset = 0; offset < 18; ++offset) {
    const std::string before = std::string(offset, 'a') + "x", after = "y" + std::string(9, 'b');
    for (const auto& [join, expected] : joins)
      EXPECT_EQ(HTMLText::plainText(before + join + after), before + expected + after)
          << offset << " " << join;
  }
}

TEST(HTMLTextTest, CutsLongTextAt4000Characters) {
  // Characters, not bytes: an accented letter written as two code points is one.
  std::string accented;
  for (int i = 0; i < 4001; ++i) accented += "e\u0301";
  std::string expected;
  for (int i = 0; i < 4000; ++i) expected += "e\u0301";
  EXPECT_EQ(HTMLText::plainText(accented), expected + "\u2026");
  std::string wide;
  for (int i = 0; i < 4000; ++i) wide += "\u00e9";
  EXPECT_EQ(HTMLText::plainText(wide), wide);
}

}  // namespace
}  // namespace larkvale
