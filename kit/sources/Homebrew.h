#pragma once
// Reading the Homebrew tool's two JSON answers (format version 2), matching
// installed apps to casks, and vetting cask tokens. Pure functions, callable
// from any thread.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/model/InstalledApp.h"
#include "kit/sources/BrewCask.h"
#include "platform/Error.h"

namespace larkvale {

// An answer of the tool that could not be read; what() says where and why
// (e.g. "casks[2].version: expected a string").
class BrewAnswerError : public Error {
 public:
  using Error::Error;
};

namespace Homebrew {

// Reads the answer of "info --cask --installed --json=v2". Not JSON, a cask
// without a "token" text, or a known key holding the wrong type fails the
// whole answer with BrewAnswerError; artifacts and app entries are read
// leniently and never fail it. A cask whose token fails isCaskToken is left
// out, as if brew had not listed it. A missing "casks" gives no casks. A
// leading "~" in an app path becomes the home folder given.
std::vector<BrewCask> parseInfo(std::string_view data, std::string_view home);

// Reads the answer of "outdated --cask --greedy --json=v2" into rows by
// token; a later row of the same token replaces an earlier one, and a row
// whose token fails isCaskToken is left out. Failures as for parseInfo
// ("name" is required in each row).
std::map<std::string, BrewOutdated> parseOutdated(std::string_view data);

// The first cask (in order) with an app path that names the app: an absolute
// path equal to the app's path, or a bare bundle name equal to the app's
// when the app lies directly in an Applications folder.
std::optional<BrewCask> caskForApp(const InstalledApp& app, const std::vector<BrewCask>& casks);

// Whether a cask token may stand in a shell command: 1 to 99 characters of
// ASCII letters, digits and "-_.@+/", not beginning with "-".
bool isCaskToken(std::string_view token);

}  // namespace Homebrew
}  // namespace larkvale
