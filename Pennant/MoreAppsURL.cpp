#include "Pennant/MoreAppsURL.h"

namespace pennant {
namespace {

bool isAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isHex(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isUnreserved(char c) {
  return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool isSubDelim(char c) {
  switch (c) {
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
      return true;
    default:
      return false;
  }
}

// Every character is unreserved, a sub-delimiter, one of `extra`, or a
// complete percent escape.
bool isComponent(std::string_view text, std::string_view extra) {
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return false;
      i += 2;
    } else if (!isUnreserved(c) && !isSubDelim(c) && extra.find(c) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

bool isScheme(std::string_view text) {
  if (text.empty() || !isAlpha(text[0])) return false;
  for (char c : text) {
    if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

bool isIPLiteral(std::string_view inner) {
  if (inner.empty()) return false;
  for (char c : inner) {
    if (!isHex(c) && c != ':' && c != '.') return false;
  }
  return true;
}

// Splits "userinfo@host:port" into the parts; false when a piece is malformed.
bool readAuthority(std::string_view authority, URLParts& parts) {
  if (auto at = authority.rfind('@'); at != std::string_view::npos) {
    auto userinfo = authority.substr(0, at);
    if (!isComponent(userinfo, ":")) return false;
    parts.userinfo = std::string(userinfo);
    authority.remove_prefix(at + 1);
  }
  std::string_view host = authority;
  std::string_view rest;
  if (!authority.empty() && authority[0] == '[') {
    auto close = authority.find(']');
    if (close == std::string_view::npos || !isIPLiteral(authority.substr(1, close - 1))) {
      return false;
    }
    host = authority.substr(0, close + 1);
    rest = authority.substr(close + 1);
    if (!rest.empty() && rest[0] != ':') return false;
  } else if (auto colon = authority.find(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    rest = authority.substr(colon);
    if (!isComponent(host, "")) return false;
  } else if (!isComponent(host, "")) {
    return false;
  }
  if (!rest.empty()) {
    auto port = rest.substr(1);
    for (char c : port) {
      if (!isDigit(c)) return false;
    }
    parts.port = std::string(port);
  }
  parts.host = std::string(host);
  return true;
}

}  // namespace

std::optional<URLParts> parseURL(std::string_view text) {
  URLParts parts;
  auto colon = text.find(':');
  if (colon == std::string_view::npos || !isScheme(text.substr(0, colon))) return std::nullopt;
  parts.scheme = std::string(text.substr(0, colon));
  text.remove_prefix(colon + 1);

  if (auto hash = text.find('#'); hash != std::string_view::npos) {
    auto fragment = text.substr(hash + 1);
    if (!isComponent(fragment, ":@/?")) return std::nullopt;
    parts.fragment = std::string(fragment);
    text = text.substr(0, hash);
  }
  if (auto question = text.find('?'); question != std::string_view::npos) {
    auto query = text.substr(question + 1);
    if (!isComponent(query, ":@/?")) return std::nullopt;
    parts.query = std::string(query);
    text = text.substr(0, question);
  }
  if (text.starts_with("//")) {
    text.remove_prefix(2);
    auto slash = text.find('/');
    if (!readAuthority(text.substr(0, slash), parts)) return std::nullopt;
    text = slash == std::string_view::npos ? std::string_view() : text.substr(slash);
  }
  if (!isComponent(text, ":@/")) return std::nullopt;
  parts.path = std::string(text);
  return parts;
}

std::string URLParts::text() const {
  std::string out = scheme + ":";
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

}  // namespace pennant
