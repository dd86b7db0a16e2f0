// Property-list bytes read the way the scanner reads an Info.plist.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kit/model/AppScanner.h"
#include "kit/sources/GitHubRepos.h"
#include "platform/FileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace larkvale;
  auto value = PropertyList::parse(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!value || !value->dict()) return 0;
  const PlistDict& info = *value->dict();
  if (auto app = AppScanner::factsFromInfo(info, "Fuzz.app")) {
    // Every text of the record must survive a later JSON save.
    if (app->bundleID.empty() || app->version.empty()) __builtin_trap();
    for (const std::string* text : {&app->bundleID, &app->name, &app->version, &app->build})
      if (!FileSystem::isValidUtf8(*text)) __builtin_trap();
    if (app->feedURL && !FileSystem::isValidUtf8(*app->feedURL)) __builtin_trap();
  }
  AppScanner::detectSelfUpdater("/nonexistent/Fuzz.app", info);
  if (auto repo = GitHubReleases::repoFromInfo(info); repo && !GitHubReleases::isRepoName(*repo))
    __builtin_trap();
  return 0;
}
