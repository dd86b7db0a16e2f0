#pragma once
// Finding an app's GitHub repository as one text "owner/repo": from its
// Info.plist keys, from an update-configuration file in its bundle, or from a
// built-in table of well-known apps. Pure functions that never fail (unusable
// input gives nothing); callable from any thread.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kit/model/Links.h"
#include "platform/PropertyList.h"

namespace larkvale::GitHubReleases {

// The host of GitHub's web pages.
inline constexpr std::string_view kWebHost = Links::gitHubHost;

// Whether the text is "owner/repo": an owner of 1 to 39 ASCII letters, digits
// and "-" (not first), one "/", and a name of 1 to 100 ASCII letters, digits,
// "-", "_" and "." other than "." and "..".
bool isRepoName(std::string_view text);

// The repository's releases page on GitHub's web site, or nothing for a text
// isRepoName refuses (it would not stand in an address unescaped).
std::optional<std::string> releasesPage(std::string_view repo);

// "owner/repo" from a repository's web address (any page below it, with or
// without "https://", or the "git@github.com:" remote form) or from a bare
// "owner/repo".
std::optional<std::string> repoFromURL(std::string_view text);

// The first repository named by a key containing "github", "repository" or
// "repo" (any letter case), keys visited in byte order.
std::optional<std::string> repoFromInfo(const PlistDict& info);

// The repository of an update-configuration text ("provider: github",
// "owner: …", "repo: …" lines, later lines winning, indentation ignored).
std::optional<std::string> repoFromUpdateConfig(std::string_view text);

// The built-in table of well-known apps that name no repository themselves:
// bundle identifier and repository, in table order. Built once (thread-safe).
const std::vector<std::pair<std::string, std::string>>& knownRepos();

// The table's repository for a bundle identifier, compared whole and
// ignoring ASCII letter case.
std::optional<std::string> knownRepo(std::string_view bundleID);

}  // namespace larkvale::GitHubReleases
