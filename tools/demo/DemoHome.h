#pragma once
// A sample home folder for trying Larkvale without touching the user's own
// apps: an "Applications" folder of sample bundles, each pointing at one kind
// of update source, settings of several of them under "Library" (Preferences
// and Application Support) for the Moving day panes, a stand-in `brew` that
// answers for the Homebrew casks among them, and the answers a local server
// gives for the other sources.
#include <filesystem>
#include <map>
#include <string>

namespace larkvale::demo {

// What the local server answers, by request path (query left out for the
// App Store lookup, which is keyed by bundle identifier).
struct DemoAnswers {
  std::map<std::string, std::string> feeds;     // "/feeds/<name>.xml" → appcast
  std::map<std::string, std::string> lookups;   // bundle id → App Store lookup JSON
  std::map<std::string, std::string> releases;  // "/repos/<o>/<r>/releases/latest" → JSON
  std::map<std::string, std::string> pages;     // any other path → a small HTML page
  std::string ownFeed;                          // Larkvale's own appcast
};

// The sample apps, written under `home`/Applications, with the stand-in brew
// at `home`/bin/brew. `server` is the local server's "http://127.0.0.1:<port>".
// `extraFeedApps` adds that many more apps with feeds of their own (for
// measurements). Throws std::filesystem::filesystem_error when it can't write.
DemoAnswers writeDemoHome(const std::filesystem::path& home, const std::string& server,
                          int extraFeedApps = 0);

// Where writeDemoHome puts the stand-in brew.
std::filesystem::path demoBrew(const std::filesystem::path& home);

}  // namespace larkvale::demo
