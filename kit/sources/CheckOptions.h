#pragma once
#include <string>

namespace larkvale {

// The options of one update check.
struct CheckOptions {
  double maxAge = 0;          // seconds a saved answer may be reused
  std::string country;        // App Store country code, such as "us"
  std::string systemVersion;  // this machine's system version, "major.minor.patch"
  int parallel = 1;           // apps judged at once; below 1 counts as 1

  friend bool operator==(const CheckOptions&, const CheckOptions&) = default;
};

}  // namespace larkvale
