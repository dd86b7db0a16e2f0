#include <string_view>

#include "kit/movingday/MovingDayDocument.h"

namespace larkvale::MovingDayDocument {
namespace {

// One line of a list item: every line break ("\r\n", "\n" or "\r") becomes a blank.
std::string oneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += (text[i] == '\n' || text[i] == '\r') ? ' ' : text[i];
  }
  return out;
}

void appendDetail(std::vector<std::string>& lines, std::string_view detail) {
  size_t start = 0;
  while (start <= detail.size()) {
    size_t end = detail.find('\n', start);
    if (end == std::string_view::npos) end = detail.size();
    if (end > start) lines.push_back("  " + std::string(detail.substr(start, end - start)));
    start = end + 1;
  }
}

void appendBlock(std::vector<std::string>& lines, const DocBlock& block) {
  switch (block.kind) {
    case DocBlock::Kind::title:
      lines.insert(lines.end(), {"# " + block.text, ""});
      break;
    case DocBlock::Kind::heading:
      lines.insert(lines.end(), {"", "## " + block.text, ""});
      break;
    case DocBlock::Kind::paragraph:
      lines.insert(lines.end(), {block.text, ""});
      break;
    case DocBlock::Kind::bullet:
      lines.push_back("- " + oneLine(block.text));
      break;
    case DocBlock::Kind::check:
      lines.push_back((block.done ? "- [x] " : "- [ ] ") + oneLine(block.text));
      if (block.detail) appendDetail(lines, *block.detail);
      break;
    case DocBlock::Kind::code:
      // Indented so that the fence stays inside the list item above it.
      lines.insert(lines.end(), {"", "  ```", "  " + block.text, "  ```", ""});
      break;
  }
}

// Three line breaks become two, left to right without overlaps, so a longer
// run is shortened by one only.
std::string collapseBlankRuns(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 1);
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 3, "\n\n\n") == 0) {
      out += "\n\n";
      i += 3;
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace

std::string renderMarkdown(const std::vector<DocBlock>& blocks) {
  std::vector<std::string> lines;
  for (const auto& block : blocks) appendBlock(lines, block);
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += '\n';
    joined += lines[i];
  }
  return collapseBlankRuns(joined) + "\n";
}

}  // namespace larkvale::MovingDayDocument
