#pragma once
// Larkvale's knowledge of itself: its bundle identifiers, and the rule that
// keeps one copy of it in a scan. Pure functions over plain values; callable
// from any thread.
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "kit/model/InstalledApp.h"

namespace larkvale::OwnApp {

// The program's own bundle identifiers, release and debug. Built once, on
// first use (thread-safe), and never changed.
const std::set<std::string, std::less<>>& bundleIDs();

// Shown on the program's own row instead of an update check. It checks for
// its own updates and shows the new version's page; it never installs itself.
inline constexpr std::string_view selfUpdateNote =
    "Larkvale checks for its own updates: Check for Updates\u2026 in its menu shows the new "
    "version's page; it never installs itself.";

// Exactly when bundleIDs() holds the identifier (case-sensitive).
bool isOwn(std::string_view bundleID);

// The apps with at most one copy of the program left, everything else
// untouched and in order. The copy kept is the one at runningPath (symbolic
// links resolved on both sides); failing that, the one with the greatest
// build, and among equal builds the one with the smallest path. The file
// system is touched only to resolve links.
std::vector<InstalledApp> keepOneOwnCopy(std::vector<InstalledApp> apps,
                                         const std::optional<std::string>& runningPath);

}  // namespace larkvale::OwnApp
