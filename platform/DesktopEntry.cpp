#include "platform/DesktopEntry.h"

namespace larkvale::DesktopEntry {
namespace {

constexpr std::string_view kGroup = "[Desktop Entry]";

// Characters that make an Exec argument need quotes.
bool isReserved(char c) {
  constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  return kReserved.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20 ||
         c == 0x7f;
}

std::string escapeString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string unescapeString(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    switch (char c = text[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\', out += c;  // not an escape: both stay
    }
  }
  return out;
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::string execArgument(std::string_view argument) {
  bool quote = argument.empty();
  for (char c : argument) quote = quote || isReserved(c);
  std::string quoted;
  if (quote) quoted += '"';
  for (char c : argument) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  if (quote) quoted += '"';
  return escapeString(quoted);
}

std::optional<std::string> value(std::string_view content, std::string_view key) {
  bool inGroup = false;
  while (!content.empty()) {
    size_t end = content.find('\n');
    std::string_view line = trimBlanks(content.substr(0, end));
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      // The group after the entry's own (an action, say) ends it.
      if (inGroup) return std::nullopt;
      inGroup = line == kGroup;
      continue;
    }
    if (!inGroup) continue;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos || trimBlanks(line.substr(0, equals)) != key) continue;
    return unescapeString(trimBlanks(line.substr(equals + 1)));
  }
  return std::nullopt;
}

}  // namespace larkvale::DesktopEntry
