#pragma once
// The web hosts of this deployment, in one place. The link rule of the feed,
// MoreAppsEntry::isAppStore / isMakerSite and the default feed URL all read
// them from here. The maker's host and the storefront host are placeholders
// until the maker supplies its own.
#include <string_view>

namespace pennant::MoreAppsHosts {

// The maker's web site; "www." followed by it is accepted too.
inline constexpr std::string_view maker = "maker.example";
// The App Store's web pages.
inline constexpr std::string_view appStore = "apps.apple.com";
// The storefront where the maker sells its apps; any subdomain of it counts.
inline constexpr std::string_view storefront = "store.example";

}  // namespace pennant::MoreAppsHosts
