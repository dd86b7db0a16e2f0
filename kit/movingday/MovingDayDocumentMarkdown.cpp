#include <string_view>

#include "kit/movingday/MovingDayDocument.h"
#include "platform/TextTrim.h"

namespace larkvale::MovingDayDocument {
namespace {

// ASCII characters Markdown reads wherever they stand, in CommonMark or
// the extensions readers commonly add: escapes, code, emphasis and strikes,
// links and images, HTML, autolinks and entities, table cells, a heading's
// closing hashes and maths. A backslash before ASCII punctuation is always
// read as the character itself.
constexpr std::string_view kInline = "\\`*_[]<>&~|!#$";
// Those that open a block only where a line's text begins: list items,
// quotes, setext underlines and rules. An ordered list item begins with up
// to nine digits and "." or ")".
constexpr std::string_view kBlockStart = "-+=>";

bool opensOrderedItem(std::string_view text, size_t at) {
  if (at == 0 || at > 9 || (text[at] != '.' && text[at] != ')')) return false;
  return text.substr(0, at).find_first_not_of("0123456789") == std::string_view::npos;
}

// Outside text as inline Markdown that reads as exactly what it says: on
// one line (a name by TextTrim::oneLine, a path written out so it names its
// file), without blanks at either end that could indent it into code or
// break its line, and with every character Markdown could read there
// escaped; `atStart` when nothing stands before it on its line.
std::string markdownText(const DocSpan& span, bool atStart) {
  // Inside a code fence nothing is read as markup, so outside text there
  // only keeps to its line (Doc::shown); here it is escaped as well.
  const std::string shown = Doc::shown(span);
  const std::string_view text = TextTrim::spaces(shown);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool blockOpener =
        atStart &&
        ((i == 0 && kBlockStart.find(c) != std::string_view::npos) || opensOrderedItem(text, i));
    if (blockOpener || kInline.find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out;
}

// `text` written where a line's text begins: after a list marker, a
// heading's hashes or the indent of an item's detail.
std::string markdown(const DocText& text) {
  std::string out;
  for (const auto& span : text)
    out += span.kind == DocSpan::Kind::own ? span.text : markdownText(span, out.empty());
  return out;
}

// The document's lines joined by line feeds, built in one string.
class Lines {
 public:
  void add(std::string_view prefix, std::string_view text = {}) {
    if (!empty_) text_ += '\n';
    empty_ = false;
    text_ += prefix;
    text_ += text;
  }
  std::string& text() { return text_; }

 private:
  std::string text_;
  bool empty_ = true;
};

void addBlock(Lines& lines, const DocBlock& block) {
  switch (block.kind) {
    case DocBlock::Kind::title:
      lines.add("# ", markdown(block.text));
      lines.add("");
      break;
    case DocBlock::Kind::heading:
      lines.add("");
      lines.add("## ", markdown(block.text));
      lines.add("");
      break;
    case DocBlock::Kind::paragraph:
      lines.add(markdown(block.text));
      lines.add("");
      break;
    case DocBlock::Kind::bullet:
      lines.add("- ", markdown(block.text));
      break;
    case DocBlock::Kind::check:
      lines.add(block.done ? "- [x] " : "- [ ] ", markdown(block.text));
      for (const auto& detail : block.detail) {
        // A blank line would end the item's paragraph.
        if (std::string line = markdown(detail); !line.empty()) lines.add("  ", line);
      }
      break;
    case DocBlock::Kind::code:
      // Indented so that the fence stays inside the list item above it.
      lines.add("");
      lines.add("  ```");
      lines.add("  ", Doc::shown(block.text));
      lines.add("  ```");
      lines.add("");
      break;
  }
}

// Three line breaks become two, left to right without overlaps, so a longer
// run is shortened by one only.
std::string collapseBlankRuns(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 1);
  size_t from = 0;
  for (size_t at; (at = text.find("\n\n\n", from)) != std::string::npos; from = at + 3) {
    out.append(text, from, at - from);
    out += "\n\n";
  }
  out.append(text, from);
  return out;
}

}  // namespace

std::string renderMarkdown(const std::vector<DocBlock>& blocks) {
  Lines lines;
  for (const auto& block : blocks) addBlock(lines, block);
  std::string out = collapseBlankRuns(lines.text());
  out += '\n';
  return out;
}

}  // namespace larkvale::MovingDayDocument
