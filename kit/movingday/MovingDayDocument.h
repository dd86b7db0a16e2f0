#pragma once
// The Moving day document: the restore checklist and the inventory as one
// list of blocks, rendered as Markdown text or as a paged US Letter PDF.
// Every function is pure apart from the font and PDF objects that renderPDF
// makes and releases itself; writes no file; callable from any thread.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "kit/movingday/DocBlock.h"
#include "platform/Dates.h"

namespace larkvale {

struct InventoryEntry;
struct ChecklistItem;

namespace MovingDayDocument {

// The four settings of every paragraph of the PDF, in points.
struct ParagraphStyle {
  double spacingBefore = 0;
  double headIndent = 0;
  double firstLineHeadIndent = 0;
  double lineSpacingAdjustment = 0;

  friend bool operator==(const ParagraphStyle&, const ParagraphStyle&) = default;
};

// Title, summary, the checklist with its ticks and the inventory grouped by
// update source. `entries` in display order; `items` as the checklist built
// them (their marked texts are used); the date is written in the en_US long
// style in the local time zone. Outside text is marked as such, never mixed
// into the app's own words.
std::vector<DocBlock> blocks(const std::vector<InventoryEntry>& entries,
                             const std::vector<ChecklistItem>& items,
                             const std::set<std::string>& ticked, const std::string& macName,
                             Date date);

// Markdown with GitHub-style tick boxes. The app's own words are written as
// they are; outside text is kept to the line it stands on (a name by
// TextTrim::oneLine, a path by TextTrim::writtenOut), loses its blanks at
// either end, and has every ASCII character Markdown could read as markup
// backslash-escaped, so it never starts a list item, heading, fence, quote,
// table, HTML, link or emphasis of its own. Always ends in one line break.
std::string renderMarkdown(const std::vector<DocBlock>& blocks);

// The PDF bytes: US Letter pages with a numbered footer, at most 200 (longer
// text is cut off after the 200th page). Outside text is drawn on its one
// line, as for Markdown but unescaped; invalid UTF-8 is drawn as U+FFFD.
// Nothing when the PDF surface can't be made or written.
std::optional<std::string> renderPDF(const std::vector<DocBlock>& blocks);

// Spacing before the paragraph, both head indents and a line spacing of 2.
ParagraphStyle paragraphStyle(double before, double indent);

}  // namespace MovingDayDocument
}  // namespace larkvale
