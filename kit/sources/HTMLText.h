#pragma once
// Release notes written in HTML, made readable as plain text. Pure; callable
// from any thread.
#include <cstddef>
#include <string>
#include <string_view>

namespace larkvale::HTMLText {

// Release notes, from any source, are cut to this many user-perceived
// characters.
inline constexpr size_t maxNoteCharacters = 4000;

// The text cut after maxNoteCharacters user-perceived characters, with "…"
// appended; unchanged when it has no more than that.
std::string cutNotes(std::string text);

// Drops scripts, styles and tags; turns line breaks, block ends and list
// items into lines ("• " before each item); decodes the common entities and
// drops other decimal references; trims every line, drops leading, trailing
// and doubled blank lines; cuts the result with cutNotes. Never fails; malformed markup stays as
// text.
std::string plainText(std::string_view html);

}  // namespace larkvale::HTMLText
