#include <string_view>

#include "kit/movingday/MovingDayDocument.h"
#include "platform/TextTrim.h"

namespace larkvale::MovingDayDocument {
namespace {

// Every ASCII character that can start or close a Markdown construct, in
// CommonMark or the extensions readers commonly add: lists, headings, code,
// quotes, tables, HTML and entities, links, autolinks, emphasis, strikes,
// setext underlines, maths and emoji codes. A backslash before ASCII
// punctuation is always read as the character itself.
constexpr std::string_view kMarkup = "\\`*_{}[]()#+-.!|<>~&=:$@^";

// Outside text as inline Markdown that reads as exactly what it says: on
// one line (a name by TextTrim::oneLine, a path written out so it names its
// file), without blanks at either end that could indent it into code or
// break its line, and with every character Markdown could read escaped.
std::string markdownText(const DocSpan& span) {
  const std::string shown = span.kind == DocSpan::Kind::path ? TextTrim::writtenOut(span.text)
                                                             : TextTrim::oneLine(span.text);
  std::string out;
  for (char c : TextTrim::spaces(shown)) {
    if (kMarkup.find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out;
}

std::string markdown(const DocText& text) {
  std::string out;
  for (const auto& span : text)
    out += span.kind == DocSpan::Kind::own ? span.text : markdownText(span);
  return out;
}

// Inside a code fence nothing is read as markup, so outside text there only
// keeps to its line.
std::string codeText(const DocText& text) {
  std::string out;
  for (const auto& span : text) {
    switch (span.kind) {
      case DocSpan::Kind::own:
        out += span.text;
        break;
      case DocSpan::Kind::line:
        out += TextTrim::oneLine(span.text);
        break;
      case DocSpan::Kind::path:
        out += TextTrim::writtenOut(span.text);
        break;
    }
  }
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
      lines.add("  ", codeText(block.text));
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
