#pragma once
// Web addresses (RFC 3986), split without the resolution of relative
// references. The one reader of addresses in the program: WebURL gives the
// parts decoded, URLParts exactly as written. Pure; any thread.
#include <optional>
#include <string>
#include <string_view>

namespace larkvale {

// An address split into its parts exactly as written; nothing is decoded.
struct URLParts {
  std::string scheme;                   // empty for a relative reference
  std::optional<std::string> userinfo;  // text before "@" in the authority
  std::optional<std::string> host;      // present (maybe empty) with "//"
  std::optional<std::string> port;      // digits after ":" (maybe empty)
  std::string path;
  std::optional<std::string> query;
  std::optional<std::string> fragment;

  // The address written back from its parts.
  std::string text() const;

  friend bool operator==(const URLParts&, const URLParts&) = default;
};

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
  // port that is not all digits, a path or host whose escapes don't decode
  // to UTF-8, or a host that decodes to what names no host (isHostName; an
  // empty host, as in "file:///x", is kept).
  static std::optional<WebURL> parse(std::string_view text);

  // The parts as written, by the same rules as parse() less the decoding.
  static std::optional<URLParts> split(std::string_view text);

  // An absolute address ("scheme:…") by the generic syntax of RFC 3986 and
  // nothing more: no character is repaired on the reader's behalf, so
  // anything outside the grammar ("[" outside an IP literal, a "#" in the
  // fragment, a ":" in a host name …) means the text is no address. The
  // host must also name one once decoded, as for parse.
  static std::optional<URLParts> parseStrict(std::string_view text);

  // Whether a decoded host names one: an IPv6 literal in brackets (hex
  // digits, ":" and "."), or a name of ASCII letters, digits, "-", "_" and
  // "." (an IPv4 address among them) whose other characters are letters,
  // marks and digits of an internationalised name. White space, line breaks,
  // characters that show nothing (TextTrim::isHidden), other punctuation and
  // symbols, and bytes that are not UTF-8 name no host; nor does "".
  static bool isHostName(std::string_view host);

  // Whether every character may stand in an address as written and every
  // "%" starts a complete escape.
  static bool isWellFormed(std::string_view text);

  // The one rule for a link that any record keeps: not empty, well formed,
  // split into its parts, and any host it has names one once decoded. A
  // source drops a link that fails it, as if it had none. The saved state
  // reads its links by the looser syntax alone (JsonIn::url), so nothing a
  // source records, nor a link an earlier build kept, makes it unreadable.
  static bool isKeepable(std::string_view text);
  // The link when it passes isKeepable; nothing otherwise.
  static std::optional<std::string> keepable(std::optional<std::string> link);

  friend bool operator==(const WebURL&, const WebURL&) = default;
};

}  // namespace larkvale
