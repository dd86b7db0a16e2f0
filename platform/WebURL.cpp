#include "platform/WebURL.h"

#include <unicode/uchar.h>

#include "platform/FileSystem.h"
#include "platform/TextTrim.h"

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

}  // namespace

bool WebURL::isWellFormed(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!isAllowed(text[i])) return false;
    if (text[i] == '%' &&
        (i + 2 >= text.size() || hexValue(text[i + 1]) < 0 || hexValue(text[i + 2]) < 0))
      return false;
  }
  return true;
}

bool WebURL::isHostName(std::string_view host) {
  if (host.empty()) return false;
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    for (char c : host.substr(1, host.size() - 2))
      if (hexValue(c) < 0 && c != ':' && c != '.') return false;
    return true;
  }
  for (size_t i = 0; i < host.size();) {
    const auto [c, length] = TextTrim::decodeAt(host, i);
    if (c == 0xFFFD && length == 1) return false;  // not UTF-8
    i += length;
    if (c < 0x80) {
      const char a = static_cast<char>(c);
      if (!isAlpha(a) && !isDigit(a) && a != '-' && a != '.' && a != '_') return false;
      continue;
    }
    // What an internationalised name is spelt with: letters, their marks and
    // digits; never a space, a symbol or punctuation, nor a character that
    // shows nothing (a variation selector is a mark that hides).
    constexpr uint32_t kSpelling = U_GC_L_MASK | U_GC_M_MASK | U_GC_ND_MASK;
    if ((U_GET_GC_MASK(static_cast<UChar32>(c)) & kSpelling) == 0 || TextTrim::isHidden(c))
      return false;
  }
  return true;
}

namespace {

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

// The host as decoded when it names one (or is empty, as in "file:///x");
// nothing otherwise.
std::optional<std::string> decodedHost(std::string_view written) {
  auto host = percentDecode(written);
  if (!host || (!host->empty() && !WebURL::isHostName(*host))) return std::nullopt;
  return host;
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

bool isHex(char c) {
  return hexValue(c) >= 0;
}

// The authority split at its last "@" and at the ":" of its port; false
// when the port is not all digits or an IP literal is not closed.
bool splitAuthority(std::string_view authority, URLParts& parts) {
  if (size_t at = authority.rfind('@'); at != std::string_view::npos) {
    parts.userinfo = std::string(authority.substr(0, at));
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
  if (hostEnd < authority.size()) {
    std::string_view port = authority.substr(hostEnd + 1);
    for (char c : port)
      if (!isDigit(c)) return false;
    parts.port = std::string(port);
  }
  parts.host = std::string(authority.substr(0, hostEnd));
  return true;
}

bool isUnreserved(char c) {
  return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool isSubDelim(char c) {
  return std::string_view("!$&'()*+,;=").find(c) != std::string_view::npos;
}

// Every character is unreserved, a sub-delimiter or one of `extra`; escapes
// are complete already (isWellFormed).
bool isComponent(std::string_view text, std::string_view extra) {
  for (char c : text) {
    if (c != '%' && !isUnreserved(c) && !isSubDelim(c) && extra.find(c) == std::string_view::npos)
      return false;
  }
  return true;
}

bool isStrictHost(std::string_view host) {
  if (!host.starts_with('[')) return isComponent(host, "");
  std::string_view inner = host.substr(1, host.size() - 2);
  if (inner.empty()) return false;
  for (char c : inner)
    if (!isHex(c) && c != ':' && c != '.') return false;
  return true;
}

}  // namespace

bool WebURL::isKeepable(std::string_view text) {
  const auto parts = split(text);
  return parts && (!parts->host || decodedHost(*parts->host));
}

std::optional<std::string> WebURL::keepable(std::optional<std::string> link) {
  if (link && !isKeepable(*link)) link.reset();
  return link;
}

std::optional<URLParts> WebURL::split(std::string_view text) {
  if (text.empty() || !isWellFormed(text)) return std::nullopt;
  URLParts parts;
  if (size_t n = schemeLength(text); n > 0) {
    parts.scheme = std::string(text.substr(0, n));
    text.remove_prefix(n + 1);
  }
  if (size_t hash = text.find('#'); hash != std::string_view::npos) {
    parts.fragment = std::string(text.substr(hash + 1));
    text = text.substr(0, hash);
  }
  if (size_t mark = text.find('?'); mark != std::string_view::npos) {
    parts.query = std::string(text.substr(mark + 1));
    text = text.substr(0, mark);
  }
  if (text.starts_with("//")) {
    text.remove_prefix(2);
    size_t slash = text.find('/');
    if (slash == std::string_view::npos) slash = text.size();
    if (!splitAuthority(text.substr(0, slash), parts)) return std::nullopt;
    text.remove_prefix(slash);
  }
  parts.path = std::string(text);
  return parts;
}

std::optional<WebURL> WebURL::parse(std::string_view text) {
  auto parts = split(text);
  if (!parts) return std::nullopt;
  WebURL url;
  url.scheme = std::move(parts->scheme);
  url.hasAuthority = parts->host.has_value();
  if (parts->host) {
    auto host = decodedHost(*parts->host);
    if (!host) return std::nullopt;
    url.user = parts->userinfo.value_or("");
    url.host = std::move(*host);
    url.port = parts->port.value_or("");
  }
  auto path = percentDecode(parts->path);
  if (!path) return std::nullopt;
  url.path = std::move(*path);
  url.query = std::move(parts->query);
  url.fragment = std::move(parts->fragment);
  return url;
}

std::optional<URLParts> WebURL::parseStrict(std::string_view text) {
  auto parts = split(text);
  if (!parts || parts->scheme.empty()) return std::nullopt;
  if (parts->userinfo && !isComponent(*parts->userinfo, ":")) return std::nullopt;
  if (parts->host && (!isStrictHost(*parts->host) || !decodedHost(*parts->host)))
    return std::nullopt;
  if (!isComponent(parts->path, ":@/")) return std::nullopt;
  if (parts->query && !isComponent(*parts->query, ":@/?")) return std::nullopt;
  if (parts->fragment && !isComponent(*parts->fragment, ":@/?")) return std::nullopt;
  return parts;
}

std::string URLParts::text() const {
  std::string out = scheme.empty() ? std::string() : scheme + ":";
  if (host) {
    out += "//";
    if (userinfo) out += *userinfo + "@";
    out += *host;
    if (port) out += ":" + *port;
  }
  out += path;
  if (query) out += "?" + *query;
  if (fragment) out += "#" + *fragment;
  return out;
}

}  // namespace larkvale
