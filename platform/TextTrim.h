#pragma once
// Trimming UTF-8 text at both ends by Unicode character class, and the one
// rule by which outside text is made safe to show (isHidden and its three
// forms). Pure; any thread. Bytes that are not valid UTF-8 count as
// non-space.
#include <string>
#include <string_view>
#include <utility>

namespace larkvale::TextTrim {

// The code point that starts at text[i] and its length in bytes; a byte that
// starts no valid sequence (surrogates and code points past U+10FFFF among
// them) gives U+FFFD and length 1.
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

// Characters that show nothing of their own but can hide, break, reorder or
// drive what is around them: the general categories Cc (controls), Cf
// (format: direction marks, embeddings, overrides and isolates, zero-width
// spaces and joiners, the tag characters …), Zl and Zp (line and paragraph
// separators), and every Default_Ignorable_Code_Point (U+00AD, U+034F,
// U+115F, U+3164, the variation selectors …), by ICU's properties. The one
// rule for outside text: the three forms below differ only in what they do
// with these.
bool isHidden(char32_t c);

// The text as valid UTF-8: each byte that starts no valid sequence (a stray
// continuation byte, a cut or overlong sequence, a surrogate, a code point
// past U+10FFFF) becomes U+FFFD, so that nothing dropped later can make its
// neighbours join into a character of their own.
std::string validUtf8(std::string_view text);

// One line of outside text (a name, a version, an identifier, a token, a
// host) made safe to show: made valid (validUtf8) first; every line break
// (isLineBreak) and tab becomes one space; every other hidden character
// goes, except a joiner or variation selector that is part of an emoji
// (U+200D between two pictographs, U+FE0E/U+FE0F after an emoji).
// Everything else stays, in order, and nothing is trimmed.
std::string oneLine(std::string_view text);

// Whether oneLine gives the text back as it is: valid UTF-8 with no line
// break, tab or hidden character but the emoji parts oneLine keeps. A check
// that takes outside text only whole (the catalogue's) asks this, so that
// what it takes is exactly what is shown and the two can't drift apart.
bool showsAsWritten(std::string_view text);

// Outside text of several lines (release notes) made safe to show: as
// oneLine, except that line feeds stay line feeds (CR LF and a lone CR
// become one), so paragraphs keep their breaks.
std::string lines(std::string_view text);

// Outside text that must keep naming what it names (a path) made safe to
// show on one line without losing or confusing anything: each hidden
// character is written out as a backslash, "u" and four uppercase hex digits
// ("a\u202Eb"), or "U" and eight above U+FFFF; each byte that starts no
// valid sequence as "\x" and two ("\xFF"); and a backslash of its own is
// doubled, so that two different texts never show alike ("\u202E" typed
// out shows as "\\u202E"). Everything else stays, in order.
std::string writtenOut(std::string_view text);

}  // namespace larkvale::TextTrim
