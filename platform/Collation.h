#pragma once
// The localized case-insensitive comparison of user-visible text (names in
// lists). Uses the root collation at secondary strength, so case differences
// are ignored but accents are not. Thread-safe.
#include <string>
#include <string_view>

namespace larkvale::Collation {

// -1, 0 or 1 as a sorts before, with, or after b. Invalid UTF-8 is compared
// with replacement characters in its place.
int compare(std::string_view a, std::string_view b);

inline bool less(std::string_view a, std::string_view b) {
  return compare(a, b) < 0;
}

// A key that orders as compare() does when keys are compared byte by byte
// (as std::string does), and is equal exactly where compare() gives 0: for
// sorting many texts, each worked out once instead of at every comparison.
std::string sortKey(std::string_view text);

// The text lowercased by Unicode's rules in the root locale (for words a
// person wrote: names, titles). Invalid UTF-8 becomes replacement characters.
std::string lowercased(std::string_view text);

}  // namespace larkvale::Collation
