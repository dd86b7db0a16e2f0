#pragma once
// Small text helpers shared by the feed and cask readers. Pure; callable
// from any thread. Texts are UTF-8; malformed bytes are left as they are.
#include <optional>
#include <string>
#include <string_view>

namespace larkvale::FeedText {

bool isWideSpaceAt(std::string_view text, size_t at, size_t* length);
bool isWideLineBreakAt(std::string_view text, size_t at, size_t* length);

// Spaces and tabs (every Unicode space separator counts as a space); on a
// match, *length is the character's length in bytes.
inline bool isSpaceAt(std::string_view text, size_t at, size_t* length) {
  const auto c = static_cast<unsigned char>(text[at]);
  if (c < 0x80) return (c == ' ' || c == '\t') && (*length = 1, true);
  return isWideSpaceAt(text, at, length);
}

// Line breaks: LF, VT, FF, CR, NEL, LINE and PARAGRAPH SEPARATOR.
inline bool isLineBreakAt(std::string_view text, size_t at, size_t* length) {
  const auto c = static_cast<unsigned char>(text[at]);
  if (c < 0x80) return c >= '\n' && c <= '\r' && (*length = 1, true);
  return isWideLineBreakAt(text, at, length);
}

// The text without spaces (and, with lineBreaks, line breaks) at either end.
std::string_view trimmed(std::string_view text, bool lineBreaks = true);

// The text as a URL: trimmed of spaces and line breaks, then kept when it is
// a scheme and a colon and passes WebURL::isKeepable (characters allowed in
// a URL, percent escapes complete). Nothing otherwise.
std::optional<std::string> url(std::string_view text);

// url(), kept only when its scheme is http or https (any case).
std::optional<std::string> webAddress(std::string_view text);

}  // namespace larkvale::FeedText
