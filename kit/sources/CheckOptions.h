#pragma once
#include <chrono>
#include <optional>
#include <string>

namespace larkvale {

// The options of one update check.
struct CheckOptions {
  std::chrono::seconds maxAge{0};  // how old a saved answer may be and still be reused
  std::string country;             // App Store country code, such as "us"
  // This machine's system version, "major.minor.patch"; nothing (or empty)
  // when it is unknown, and then no release is refused for the minimum
  // system version it names.
  std::optional<std::string> systemVersion;
  int parallel = 1;  // apps judged at once; below 1 counts as 1

  friend bool operator==(const CheckOptions&, const CheckOptions&) = default;
};

}  // namespace larkvale
