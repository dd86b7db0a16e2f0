#include "platform/WebURL.h"

#include "platform/FileSystem.h"

namespace larkvale {
namespace {

bool isAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Printable ASCII that may appear in an address, escapes checked separately.
bool isAllowed(char c) {
  if (c <= 0x20 || c >= 0x7F) return false;
  switch (c) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return false;
    default:
      return true;
  }
}

bool wellFormed(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!isAllowed(text[i])) return false;
    if (text[i] == '%' &&
        (i + 2 >= text.size() || hexValue(text[i + 1]) < 0 || hexValue(text[i + 2]) < 0))
      return false;
  }
  return true;
}

std::optional<std::string> percentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%') {
      out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  if (!FileSystem::isValidUtf8(out)) return std::nullopt;
  return out;
}

// The length of the scheme at the start of text (without its ":"), or 0.
size_t schemeLength(std::string_view text) {
  if (text.empty() || !isAlpha(text[0])) return 0;
  for (size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == ':') return i;
    if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return 0;
  }
  return 0;
}

bool splitAuthority(std::string_view authority, WebURL& url) {
  if (size_t at = authority.rfind('@'); at != std::string_view::npos) {
    url.user = std::string(authority.substr(0, at));
    authority.remove_prefix(at + 1);
  }
  size_t hostEnd = authority.size();
  if (!authority.empty() && authority[0] == '[') {
    size_t close = authority.find(']');
    if (close == std::string_view::npos) return false;
    hostEnd = close + 1;
    if (hostEnd < authority.size() && authority[hostEnd] != ':') return false;
  } else if (size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
    hostEnd = colon;
  }
  std::string_view port = hostEnd < authority.size() ? authority.substr(hostEnd + 1) : "";
  for (char c : port)
    if (!isDigit(c)) return false;
  auto host = percentDecode(authority.substr(0, hostEnd));
  if (!host) return false;
  url.host = std::move(*host);
  url.port = std::string(port);
  return true;
}

}  // namespace

std::optional<WebURL> WebURL::parse(std::string_view text) {
  if (text.empty() || !wellFormed(text)) return std::nullopt;
  WebURL url;
  if (size_t n = schemeLength(text); n > 0) {
    url.scheme = std::string(text.substr(0, n));
    text.remove_prefix(n + 1);
  }
  if (size_t hash = text.find('#'); hash != std::string_view::npos) {
    url.fragment = std::string(text.substr(hash + 1));
    text = text.substr(0, hash);
  }
  if (size_t mark = text.find('?'); mark != std::string_view::npos) {
    url.query = std::string(text.substr(mark + 1));
    text = text.substr(0, mark);
  }
  if (text.starts_with("//")) {
    text.remove_prefix(2);
    size_t slash = text.find('/');
    if (slash == std::string_view::npos) slash = text.size();
    url.hasAuthority = true;
    if (!splitAuthority(text.substr(0, slash), url)) return std::nullopt;
    text.remove_prefix(slash);
  }
  auto path = percentDecode(text);
  if (!path) return std::nullopt;
  url.path = std::move(*path);
  return url;
}

}  // namespace larkvale
