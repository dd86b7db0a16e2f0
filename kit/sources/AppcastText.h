#pragma once
// Small text helpers shared by the feed and cask readers. Pure; callable
// from any thread. Texts are UTF-8; malformed bytes are left as they are.
#include <optional>
#include <string>
#include <string_view>

namespace larkvale::FeedText {

// Spaces and tabs (every Unicode space separator counts as a space).
bool isSpaceAt(std::string_view text, size_t at, size_t* length);
// Line breaks: LF, VT, FF, CR, NEL, LINE and PARAGRAPH SEPARATOR.
bool isLineBreakAt(std::string_view text, size_t at, size_t* length);

// The text without spaces (and, with lineBreaks, line breaks) at either end.
std::string_view trimmed(std::string_view text, bool lineBreaks = true);

// The text as a URL: trimmed of spaces and line breaks, then kept when it is
// a scheme, a colon and characters allowed in a URL (percent escapes
// complete). Nothing otherwise.
std::optional<std::string> url(std::string_view text);

// url(), kept only when its scheme is http or https (any case).
std::optional<std::string> webAddress(std::string_view text);

// ASCII-only case-insensitive comparisons.
bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);

}  // namespace larkvale::FeedText
