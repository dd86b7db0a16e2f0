#pragma once
// The localized case-insensitive comparison of user-visible text (names in
// lists). Uses the root collation at secondary strength, so case differences
// are ignored but accents are not. Thread-safe.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// Many texts compared as compare() does, for sorting them: texts of plain
// ASCII compare by their places in a table taken from the collator; any
// other text gets its sortKey() the first time it is compared (and so does
// an ASCII text the first time it meets such a text). The texts must
// outlive it; one thread at a time may use one.
class SortKeys {
 public:
  explicit SortKeys(std::vector<std::string_view> texts);
  // compare(texts[a], texts[b]).
  int compare(size_t a, size_t b);
  bool less(size_t a, size_t b) { return compare(a, b) < 0; }

 private:
  enum class Kind : unsigned char { ascii, unkeyed, keyed };
  void keyFromCollator(size_t i);

  std::vector<std::string_view> texts_;
  std::vector<Kind> kinds_;
  std::vector<std::string> keys_;  // of each text: its places, or its sort key once keyed
};

// The text lowercased by Unicode's rules in the root locale (for words a
// person wrote: names, titles). Invalid UTF-8 becomes replacement characters.
std::string lowercased(std::string_view text);

}  // namespace larkvale::Collation
