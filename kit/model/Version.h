#pragma once
// The one order of version strings. Only runs of ASCII digits and ASCII
// letters count; every other character separates. Total: any two strings,
// the empty one included, have an order. Not transitive in every case, so
// never use it as a sort comparator. Pure; callable from any thread.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace larkvale::Version {

// One token of a version string: a run of digits (the value of its first 18
// digits) or a run of letters (lowercased).
struct Part {
  std::variant<uint64_t, std::string> value;

  static Part number(uint64_t n) { return {n}; }
  static Part text(std::string s) { return {std::move(s)}; }
  bool isNumber() const { return std::holds_alternative<uint64_t>(value); }

  friend bool operator==(const Part&, const Part&) = default;
};

std::vector<Part> parts(std::string_view s);

// -1 when a is older than b, 0 when they count as the same version, 1 when a
// is newer. compare(b, a) == -compare(a, b) always.
int compare(std::string_view a, std::string_view b);

inline bool isNewer(std::string_view a, std::string_view than) {
  return compare(a, than) > 0;
}

// Whether s holds an ASCII digit that stands as a character of its own.
bool hasNumber(std::string_view s);

// The version part of a version written by the Homebrew tool:
// "1.2.3,456" gives "1.2.3", "1.2.3 beta" gives "1.2.3".
std::string cleanCaskVersion(std::string_view s);

}  // namespace larkvale::Version
