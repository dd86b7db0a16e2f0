#pragma once
// Release notes written in HTML, made readable as plain text. Pure; callable
// from any thread.
#include <string>
#include <string_view>

namespace larkvale::HTMLText {

// Drops scripts, styles and tags; turns line breaks, block ends and list
// items into lines ("• " before each item); decodes the common entities and
// drops other decimal references; trims every line, drops leading, trailing
// and doubled blank lines; cuts the result to 4000 user-perceived characters
// plus "…". Never fails; malformed markup stays as text.
std::string plainText(std::string_view html);

}  // namespace larkvale::HTMLText
