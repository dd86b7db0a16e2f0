#pragma once
// What a host app tells the catalogue: who it is, how it is sold and whether
// the list may ask the feed. A plain value.
#include <optional>
#include <string>
#include <utility>

namespace pennant {

struct MoreAppsConfig {
  std::string thisApp;                  // the host app's own entry id; that entry is never listed
  std::string utmSource;                // link-tracking source for links to the maker's site
  bool isDirect = true;                 // sold outside the App Store
  std::optional<std::string> bundleID;  // an entry with this bundleId is never listed
  bool allowsNetwork = true;            // whether the list may ask the feed

  // Without a utmSource the host app's entry id serves as the source.
  MoreAppsConfig(std::string thisApp, std::optional<std::string> utmSource, bool isDirect,
                 std::optional<std::string> bundleID, bool allowsNetwork)
      : thisApp(std::move(thisApp)),
        utmSource(utmSource ? std::move(*utmSource) : this->thisApp),
        isDirect(isDirect),
        bundleID(std::move(bundleID)),
        allowsNetwork(allowsNetwork) {}
};

}  // namespace pennant
