#pragma once
// Trimming UTF-8 text at both ends by Unicode character class. Pure; any
// thread. Bytes that are not valid UTF-8 count as non-space.
#include <string_view>

namespace larkvale::TextTrim {

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

}  // namespace larkvale::TextTrim
