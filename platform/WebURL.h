#pragma once
// A web address split into its parts (RFC 3986), without the resolution of
// relative references. Pure; any thread.
#include <optional>
#include <string>
#include <string_view>

namespace larkvale {

struct WebURL {
  std::string scheme;  // as written; empty for a relative reference
  bool hasAuthority = false;
  std::string user;  // the user information before "@", as written
  std::string host;  // percent-decoded; brackets of an IPv6 literal kept
  std::string port;  // digits, possibly empty
  std::string path;  // percent-decoded
  std::optional<std::string> query;
  std::optional<std::string> fragment;

  // Nothing when the text is empty, holds a character that can't stand in an
  // address (white space, control or non-ASCII characters, a lone "%"), has a
  // port that is not all digits, or a path or host whose escapes don't decode
  // to UTF-8.
  static std::optional<WebURL> parse(std::string_view text);

  friend bool operator==(const WebURL&, const WebURL&) = default;
};

}  // namespace larkvale
