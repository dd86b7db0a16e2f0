#pragma once
// A strict reader of absolute URLs for the catalogue: the generic syntax of
// RFC 3986 and nothing more. No character is repaired or percent-encoded on
// the reader's behalf, so anything outside the grammar (a space, a non-ASCII
// byte, a stray "%", "<" …) means the text is no URL. Pure functions; any
// thread.
#include <optional>
#include <string>
#include <string_view>

namespace pennant {

struct URLParts {
  std::string scheme;                   // as written
  std::optional<std::string> userinfo;  // text before "@" in the authority
  std::optional<std::string> host;      // as written; present (maybe empty) with "//"
  std::optional<std::string> port;      // digits after ":" (maybe empty)
  std::string path;
  std::optional<std::string> query;
  std::optional<std::string> fragment;

  // The URL written back from its parts.
  std::string text() const;

  friend bool operator==(const URLParts&, const URLParts&) = default;
};

// The parts of an absolute URL ("scheme:…"), or nothing when the text breaks
// the grammar.
std::optional<URLParts> parseURL(std::string_view text);

}  // namespace pennant
