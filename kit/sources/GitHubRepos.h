#pragma once
// Finding an app's GitHub repository ("owner/repo"). Pure functions, callable
// from any thread.
#include <optional>
#include <string>
#include <string_view>

#include "platform/PropertyList.h"

namespace larkvale::GitHubReleases {

// The scheme-and-host of GitHub's web pages.
inline constexpr std::string_view kWebHost = "github.com";

bool isRepoName(std::string_view text);
std::optional<std::string> repoFromURL(std::string_view text);
std::optional<std::string> repoFromInfo(const PlistDict& info);
std::optional<std::string> repoFromUpdateConfig(std::string_view text);
std::optional<std::string> knownRepo(std::string_view bundleID);

}  // namespace larkvale::GitHubReleases
