#pragma once
// One row of the built-in table of apps whose settings locations and sign-in
// habits are known. A plain immutable value; callable from any thread.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace larkvale {

struct KnownApp {
  // A bundle identifier, or a bundle-identifier prefix when it ends in ".".
  std::string match;
  // Settings locations in tilde form ("~/..."), possibly none.
  std::vector<std::string> settings;
  // What to do about the app's licence or account on the new Mac.
  std::optional<std::string> licence;
  // Advice on carrying the app's settings.
  std::optional<std::string> tip;

  // A prefix row matches identifiers that begin with it (case-sensitive); any
  // other row matches its identifier ignoring ASCII case.
  bool matches(std::string_view bundleID) const;

  friend bool operator==(const KnownApp&, const KnownApp&) = default;
};

}  // namespace larkvale

template <>
struct std::hash<larkvale::KnownApp> {
  size_t operator()(const larkvale::KnownApp& app) const noexcept;
};
