#include "kit/sources/AppcastText.h"

namespace larkvale::FeedText {
namespace {

// The code point of the UTF-8 sequence at `at`, or -1 when it is malformed.
long decodeAt(std::string_view s, size_t at, size_t* length) {
  const auto c = static_cast<unsigned char>(s[at]);
  int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || at + n > s.size()) return -1;
  long cp = n == 1 ? c : c & (0x7f >> n);
  for (int i = 1; i < n; ++i) {
    const auto d = static_cast<unsigned char>(s[at + i]);
    if ((d & 0xc0) != 0x80) return -1;
    cp = (cp << 6) | (d & 0x3f);
  }
  *length = n;
  return cp;
}

bool isSpaceSeparator(long cp) {
  return cp == 0x20 || cp == 0xa0 || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200a) ||
         cp == 0x202f || cp == 0x205f || cp == 0x3000;
}

bool isSchemeChar(char c, bool first) {
  const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool isHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Characters that may stand in a URL as written (RFC 3986), '%' checked apart.
bool isURLChar(unsigned char c) {
  if (c <= 0x20 || c >= 0x7f) return false;
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

}  // namespace

bool isWideSpaceAt(std::string_view text, size_t at, size_t* length) {
  const long cp = decodeAt(text, at, length);
  return cp >= 0 && isSpaceSeparator(cp);
}

bool isWideLineBreakAt(std::string_view text, size_t at, size_t* length) {
  const long cp = decodeAt(text, at, length);
  return cp == 0x85 || cp == 0x2028 || cp == 0x2029;
}

std::string_view trimmed(std::string_view text, bool lineBreaks) {
  size_t n = 0;
  auto isTrimmable = [&](size_t at) {
    return isSpaceAt(text, at, &n) || (lineBreaks && isLineBreakAt(text, at, &n));
  };
  while (!text.empty() && isTrimmable(0)) text.remove_prefix(n);
  // Walk back to the start of the last character before testing it.
  while (!text.empty()) {
    size_t at = text.size() - 1;
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xc0) == 0x80 && text.size() - at < 4)
      --at;
    if (!isTrimmable(at) || at + n != text.size()) break;
    text.remove_suffix(n);
  }
  return text;
}

std::optional<std::string> url(std::string_view text) {
  text = trimmed(text);
  size_t colon = 0;
  while (colon < text.size() && isSchemeChar(text[colon], colon == 0)) ++colon;
  if (colon == 0 || colon >= text.size() || text[colon] != ':') return std::nullopt;
  for (size_t i = colon + 1; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '%') {
      if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return std::nullopt;
    } else if (!isURLChar(c)) {
      return std::nullopt;
    }
  }
  return std::string(text);
}

std::optional<std::string> webAddress(std::string_view text) {
  auto u = url(text);
  if (!u) return std::nullopt;
  const std::string_view scheme = std::string_view(*u).substr(0, u->find(':'));
  if (!equalsIgnoringCase(scheme, "http") && !equalsIgnoringCase(scheme, "https"))
    return std::nullopt;
  return u;
}

}  // namespace larkvale::FeedText
