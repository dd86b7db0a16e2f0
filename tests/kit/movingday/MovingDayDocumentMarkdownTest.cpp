#include <gtest/gtest.h>

#include "kit/movingday/MovingDayDocument.h"

namespace larkvale {
namespace {

using Doc::line, Doc::own, Doc::path;

// The writer's own rules; what outside text may do in a whole document is
// MovingDayDocumentTest's.
TEST(MovingDayDocumentMarkdownTest, WritesOwnWordsAsTheyAreAndEscapesOutsideText) {
  const std::vector<DocBlock> blocks = {
      DocBlock::check({own("Copy "), line(" *a* <b> [x] 1.0 "), own("'s settings (quit)")}, true,
                      {{own("From "), line("\u00fcber.example"), own(".")},
                       {line("  ")},
                       {path("~/a\\b\u202E c")}}),
      DocBlock::check({own("Empty detail")}, false, {}),
      DocBlock::bullet({line("Tab\tName"), own(" 1.0: x")}),
  };
  EXPECT_EQ(MovingDayDocument::renderMarkdown(blocks),
            "- [x] Copy \\*a\\* \\<b\\> \\[x\\] 1.0's settings (quit)\n"
            "  From \u00fcber.example.\n"
            "  \\~/a\\\\\\\\b\\\\u202E c\n"
            "- [ ] Empty detail\n"
            "- Tab Name 1.0: x\n");

  // What opens a block is escaped only where the line's text begins: an
  // ordered item's number (at most nine digits), a list marker, a quote, a
  // setext rule; the same characters further on stay as they are.
  EXPECT_EQ(
      MovingDayDocument::renderMarkdown({DocBlock::check({line("1. a")}, false,
                                                         {{line("22) b - c + d = e > f 3. g")},
                                                          {line("+ h")},
                                                          {line("=== i")},
                                                          {line("> j")},
                                                          {line("1234567890. k")}})}),
      "- [ ] 1\\. a\n"
      "  22\\) b - c + d = e \\> f 3. g\n"
      "  \\+ h\n"
      "  \\=== i\n"
      "  \\> j\n"
      "  1234567890. k\n");

  // Blank runs shorten by one, and the text always ends in a line break.
  EXPECT_EQ(MovingDayDocument::renderMarkdown({}), "\n");
  EXPECT_EQ(MovingDayDocument::renderMarkdown(
                {DocBlock::code({own("brew install --cask "), line("a\rb")}),
                 DocBlock::heading({own("H")})}),
            "\n  ```\n  brew install --cask a b\n  ```\n\n## H\n\n");
  // Blank lines inside a paragraph of the app's own are text: each run loses one break.
  EXPECT_EQ(MovingDayDocument::renderMarkdown({DocBlock::paragraph({own("a\n\n\n\n\n\nb")})}),
            "a\n\n\n\nb\n\n");
}

}  // namespace
}  // namespace larkvale
