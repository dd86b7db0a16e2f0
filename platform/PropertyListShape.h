#pragma once
// Checks on the shape of a property list, made before the parsing library
// sees the bytes. The library recurses once per level of nesting, both when
// it parses and when it frees, and copies an object once for every reference
// to it; a hostile file can therefore exhaust the stack or ask for billions
// of values from a few bytes. These checks walk the document without
// recursion, in time linear in its size, and refuse such shapes.
//
// Internal to the property-list layer. Pure; callable from any thread.
#include <cstdint>
#include <string_view>

namespace larkvale::PropertyListShape {

// Far deeper than any real property list (an Info.plist nests four or five).
inline constexpr int kMaxDepth = 512;

// Values of a binary list once every shared object is copied out, as the
// library builds them. Real lists hold dozens to a few thousand.
inline constexpr uint64_t kMaxValues = uint64_t{1} << 18;

// A binary list ("bplist00"): false when the objects reachable from the top
// nest deeper than kMaxDepth, refer to themselves, add up to more than
// kMaxValues, or can't be read (an offset, a reference or a count outside
// the file), which the library would refuse in any case.
bool binaryFits(std::string_view bytes);

// An XML list: false when elements nest deeper than kMaxDepth, or when a
// text with more than kMaxDepth "<" in it is not well-formed XML (comments,
// CDATA sections and processing instructions are read as what they are, not
// counted as elements).
bool xmlFits(std::string_view bytes);

}  // namespace larkvale::PropertyListShape
