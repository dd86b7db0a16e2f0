#pragma once
// What the Homebrew tool says about the casks on this machine, as plain
// values. BrewCask and BrewOutdated code to JSON with their field names as
// keys (absent optionals left out); nothing stores them.
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Json.h"

namespace larkvale {

// One installed cask.
struct BrewCask {
  std::string token;
  std::string name;                      // the first of the cask's names, else the token
  std::string latest;                    // current version, cleaned; empty when not given
  std::optional<std::string> installed;  // installed version, cleaned
  bool autoUpdates = false;              // the app updates itself
  // Bundles the cask installs: absolute paths or bare "Name.app" file names.
  std::vector<std::string> appPaths;
  std::optional<std::string> homepage;  // a URL

  friend bool operator==(const BrewCask&, const BrewCask&) = default;
};

// One row of the outdated answer.
struct BrewOutdated {
  std::string token;
  std::vector<std::string> installed;  // as the tool lists them, not cleaned
  std::string current;                 // newest version, cleaned
  bool pinned = false;

  friend bool operator==(const BrewOutdated&, const BrewOutdated&) = default;
};

Json toJson(const BrewCask& cask);
Json toJson(const BrewOutdated& row);
// Every key but installed and homepage is required; homepage must read as a
// URL. Throws JsonDecodingError.
template <>
BrewCask fromJson<BrewCask>(const JsonIn& in);
// Every key is required. Throws JsonDecodingError.
template <>
BrewOutdated fromJson<BrewOutdated>(const JsonIn& in);

// One reading of the tool.
struct BrewReport {
  std::vector<BrewCask> casks;                   // in the order of the info answer
  std::map<std::string, BrewOutdated> outdated;  // by cask token
  bool outdatedRan = false;                      // the outdated answer was obtained and read

  friend bool operator==(const BrewReport&, const BrewReport&) = default;
};

}  // namespace larkvale

template <>
struct std::hash<larkvale::BrewCask> {
  size_t operator()(const larkvale::BrewCask& c) const noexcept;
};

template <>
struct std::hash<larkvale::BrewOutdated> {
  size_t operator()(const larkvale::BrewOutdated& o) const noexcept;
};
