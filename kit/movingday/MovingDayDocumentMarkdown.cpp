#include <algorithm>
#include <string_view>

#include "kit/movingday/MovingDayDocument.h"

namespace larkvale::MovingDayDocument {
namespace {

// The document's lines joined by line feeds, built in one string.
class Lines {
 public:
  void add(std::string_view prefix, std::string_view text = {}) {
    if (!empty_) text_ += '\n';
    empty_ = false;
    text_ += prefix;
    text_ += text;
  }
  // A list item's text on one line: every line break ("\r\n", "\n" or "\r")
  // becomes a blank.
  void addOneLine(std::string_view prefix, std::string_view text) {
    add(prefix);
    size_t from = 0;
    size_t lf = text.find('\n'), cr = text.find('\r');
    while (lf != std::string_view::npos || cr != std::string_view::npos) {
      const size_t at = std::min(lf, cr);
      text_.append(text, from, at - from);
      text_ += ' ';
      from = at == cr && lf == at + 1 ? at + 2 : at + 1;
      if (lf < from) lf = text.find('\n', from);
      if (cr < from) cr = text.find('\r', from);
    }
    text_.append(text, from);
  }
  std::string& text() { return text_; }

 private:
  std::string text_;
  bool empty_ = true;
};

void addDetail(Lines& lines, std::string_view detail) {
  size_t start = 0;
  while (start <= detail.size()) {
    size_t end = detail.find('\n', start);
    if (end == std::string_view::npos) end = detail.size();
    if (end > start) lines.add("  ", detail.substr(start, end - start));
    start = end + 1;
  }
}

void addBlock(Lines& lines, const DocBlock& block) {
  switch (block.kind) {
    case DocBlock::Kind::title:
      lines.add("# ", block.text);
      lines.add("");
      break;
    case DocBlock::Kind::heading:
      lines.add("");
      lines.add("## ", block.text);
      lines.add("");
      break;
    case DocBlock::Kind::paragraph:
      lines.add(block.text);
      lines.add("");
      break;
    case DocBlock::Kind::bullet:
      lines.addOneLine("- ", block.text);
      break;
    case DocBlock::Kind::check:
      lines.addOneLine(block.done ? "- [x] " : "- [ ] ", block.text);
      if (block.detail) addDetail(lines, *block.detail);
      break;
    case DocBlock::Kind::code:
      // Indented so that the fence stays inside the list item above it.
      lines.add("");
      lines.add("  ```");
      lines.add("  ", block.text);
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
