#include <gtest/gtest.h>

#include "kit/movingday/MovingDayDocument.h"

namespace larkvale {
namespace {

// Line breaks in titles and texts; the exported document's golden file covers the rest.
TEST(MovingDayDocumentMarkdownTest, FoldsLineBreaksAndShortensBlankRuns) {
  const std::vector<DocBlock> blocks = {
      DocBlock::check("Export\nthis", true, "line one\n\nline two\n"),
      DocBlock::check("Empty detail", false, ""),
      DocBlock::bullet("Firefox 1.0: a\r\nb\rc"),
      DocBlock::bullet("\n\r\r\nd\n\r"),
  };
  EXPECT_EQ(MovingDayDocument::renderMarkdown(blocks),
            "- [x] Export this\n"
            "  line one\n"
            "  line two\n"
            "- [ ] Empty detail\n"
            "- Firefox 1.0: a b c\n"
            "-    d  \n");

  // Blank runs shorten by one, and the text always ends in a line break.
  EXPECT_EQ(MovingDayDocument::renderMarkdown({}), "\n");
  EXPECT_EQ(MovingDayDocument::renderMarkdown({DocBlock::code("x"), DocBlock::heading("H")}),
            "\n  ```\n  x\n  ```\n\n## H\n\n");
  // Blank lines inside a paragraph are text: each run loses one break.
  EXPECT_EQ(MovingDayDocument::renderMarkdown({DocBlock::paragraph("a\n\n\n\n\n\nb")}),
            "a\n\n\n\nb\n\n");
  // Nothing is escaped.
  EXPECT_EQ(MovingDayDocument::renderMarkdown({DocBlock::bullet("*a* <b> [x]")}),
            "- *a* <b> [x]\n");
}

}  // namespace
}  // namespace larkvale
