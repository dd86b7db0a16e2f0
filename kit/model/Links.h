#pragma once
// The links this app opens for an app: its App Store page and its GitHub
// releases page. Every record and screen that offers one of them builds it
// here, so the texts stay the same everywhere. Pure functions; any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace larkvale::Links {

// The App Store's web host inside a store link.
inline constexpr std::string_view appStoreHost = "apps.apple.com";
// The host of GitHub's web pages, and its site with the scheme.
inline constexpr std::string_view gitHubHost = "github.com";
inline constexpr std::string_view gitHubSite = "https://github.com";

// "macappstore://apps.apple.com/app/id<n>", n in decimal (a minus sign first
// when negative); nothing without an identifier.
std::optional<std::string> appStore(std::optional<std::int64_t> trackID);

// "<site>/<repo>/releases". The repo text goes in unescaped, so a caller that
// needs an address to open checks the name first (GitHubReleases::releasesPage).
std::string releasesPage(std::string_view repo, std::string_view site = gitHubSite);

}  // namespace larkvale::Links
