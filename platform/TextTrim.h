#pragma once
// Trimming UTF-8 text at both ends by Unicode character class. Pure; any
// thread. Bytes that are not valid UTF-8 count as non-space.
#include <string>
#include <string_view>
#include <utility>

namespace larkvale::TextTrim {

// The code point that starts at text[i] and its length in bytes; a byte that
// starts no valid sequence gives U+FFFD and length 1.
std::pair<char32_t, size_t> decodeAt(std::string_view text, size_t i);

// Horizontal white space: tab and the space separators (U+0020, U+00A0,
// U+1680, U+2000–U+200A, U+202F, U+205F, U+3000).
bool isHorizontalSpace(char32_t c);

// Line breaks: LF, VT, FF, CR, U+0085, U+2028, U+2029.
bool isLineBreak(char32_t c);

// The text without horizontal white space at either end.
std::string_view spaces(std::string_view text);

// The text without white space or line breaks at either end.
std::string_view whitespace(std::string_view text);

// The text without the given ASCII characters at either end.
std::string_view chars(std::string_view text, std::string_view set);

// The text without the invisible characters that format it: zero-width
// spaces and joiners, the direction marks and the embeddings, overrides and
// isolates that reorder what follows them (U+061C, U+200B–U+200F,
// U+202A–U+202E, U+2066–U+2069, U+FEFF). Everything else stays, in order.
// The clean-up of invisible characters that names of installed apps get.
std::string withoutFormatting(std::string_view text);

// One line of outside text (a version, a name) made safe to show on one
// line: the formatting characters of withoutFormatting go; every line break
// (isLineBreak) and tab becomes one space; every other control character
// (C0, DEL and C1: U+0000–U+001F, U+007F–U+009F) goes. Everything else
// stays, in order, and nothing is trimmed; bytes that start no valid
// sequence are kept as they are. The one cleaner of text from outside
// that must stay on one line.
std::string oneLine(std::string_view text);

// Outside text that must keep naming what it names (a path) made safe to
// show on one line without losing a character: each control character (C0,
// DEL and C1, U+0085 among them), U+2028, U+2029 and each formatting
// character of withoutFormatting is written out as a backslash, "u" and four
// uppercase hex digits ("a\u202Eb"); all of them lie below U+10000.
// Everything else stays, in order, backslashes included; bytes that start
// no valid sequence are kept as they are.
std::string visibleControls(std::string_view text);

}  // namespace larkvale::TextTrim
