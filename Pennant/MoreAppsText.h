#pragma once
// Unicode facts the feed rules need, answered by ICU: user-perceived
// characters (extended grapheme clusters) and character categories.
// Every function takes UTF-8 and treats invalid UTF-8 as failing its test.
// Pure functions; any thread.
#include <cstddef>
#include <string>
#include <string_view>

namespace pennant::MoreAppsText {

// The number of extended grapheme clusters, counted no further than `stopAfter`
// (so a long text costs no more than its first stopAfter characters): a text
// is at most N characters long when characterCount(text, N + 1) <= N.
// Invalid UTF-8 counts as longer than any limit.
size_t characterCount(std::string_view text, size_t stopAfter);

// Whether the text has at most `maxCharacters` grapheme clusters. Cheap when
// it has no more scalars than that (a cluster holds at least one scalar).
// False for invalid UTF-8.
bool fitsIn(std::string_view text, size_t maxCharacters);

// The first `count` grapheme clusters (the whole text when it is shorter).
// Invalid UTF-8 is cut at the first bad byte.
std::string characterPrefix(std::string_view text, size_t count);

// True when some scalar is a line or paragraph separator, a control, a
// format character (the zero-width joiner and the tag characters among
// them), a surrogate, for private use or unassigned; when the shown-text rule
// would not show the text as written (larkvale::TextTrim::showsAsWritten: an
// invisible letter such as a Hangul filler, a variation selector after no
// emoji); and for invalid UTF-8. A variation selector after an emoji, a
// keycap, a skin tone and a two-letter flag pass.
bool hasForbiddenScalar(std::string_view text);

// True when nothing is left once space separators and tabs are trimmed
// (line breaks are kept by the trim). False for invalid UTF-8.
bool isBlank(std::string_view text);

// True when some scalar has the Unicode White_Space property or is below
// U+0020, and for invalid UTF-8.
bool hasSpaceOrControl(std::string_view text);

}  // namespace pennant::MoreAppsText
