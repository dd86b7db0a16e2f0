#include <gtest/gtest.h>

#include "kit/movingday/MovingDayDocument.h"

namespace larkvale {
namespace {

TEST(MovingDayDocumentMarkdownTest, RendersEveryKindOfBlock) {
  const std::vector<DocBlock> blocks = {
      DocBlock::title("Moving day: Studio"),
      DocBlock::paragraph("Made by Larkvale."),
      DocBlock::heading("Restore checklist"),
      DocBlock::heading("Before you leave this Mac"),
      DocBlock::check("Export\nthis", true, "line one\n\nline two\n"),
      DocBlock::check("Save a Brewfile", false, std::nullopt),
      DocBlock::code("brew bundle dump --file=~/Brewfile"),
      DocBlock::check("Empty detail", false, ""),
      DocBlock::heading("Inventory"),
      DocBlock::bullet("Firefox 1.0: a\r\nb\rc"),
  };
  EXPECT_EQ(MovingDayDocument::renderMarkdown(blocks),
            "# Moving day: Studio\n"
            "\n"
            "Made by Larkvale.\n"
            "\n"
            "## Restore checklist\n"
            "\n"
            "## Before you leave this Mac\n"
            "\n"
            "- [x] Export this\n"
            "  line one\n"
            "  line two\n"
            "- [ ] Save a Brewfile\n"
            "\n"
            "  ```\n"
            "  brew bundle dump --file=~/Brewfile\n"
            "  ```\n"
            "\n"
            "- [ ] Empty detail\n"
            "\n"
            "## Inventory\n"
            "\n"
            "- Firefox 1.0: a b c\n");
}

TEST(MovingDayDocumentMarkdownTest, ShortensBlankRunsByOneAndAlwaysEndsInALineBreak) {
  EXPECT_EQ(MovingDayDocument::renderMarkdown({}), "\n");
  EXPECT_EQ(MovingDayDocument::renderMarkdown({DocBlock::heading("A")}), "\n## A\n\n");
  EXPECT_EQ(MovingDayDocument::renderMarkdown({DocBlock::code("x"), DocBlock::heading("H")}),
            "\n  ```\n  x\n  ```\n\n## H\n\n");
  // Blank lines inside a paragraph are text: four breaks lose one, six lose two.
  EXPECT_EQ(MovingDayDocument::renderMarkdown({DocBlock::paragraph("a\n\n\n\nb")}), "a\n\n\nb\n\n");
  EXPECT_EQ(MovingDayDocument::renderMarkdown({DocBlock::paragraph("a\n\n\n\n\n\nb")}),
            "a\n\n\n\nb\n\n");
  // Nothing is escaped.
  EXPECT_EQ(MovingDayDocument::renderMarkdown({DocBlock::bullet("*a* <b> [x]")}),
            "- *a* <b> [x]\n");
}

}  // namespace
}  // namespace larkvale
