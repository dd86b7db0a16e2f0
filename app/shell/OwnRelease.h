#pragma once
// The release of Larkvale itself that its own feed offers, if any. Pure;
// any thread.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/sources/AppcastItem.h"

namespace larkvale {

struct OwnRelease {
  std::string version;               // as the feed shows it to people
  std::optional<std::string> notes;  // plain text
  std::optional<std::string> page;   // http(s) page to get it from
  friend bool operator==(const OwnRelease&, const OwnRelease&) = default;
};

// The newest item of the default channel that is meant for this system (no
// system named, or "linux"), when it is newer than `currentVersion`. Its page
// is the item's link, else its download, else its release notes' address,
// whichever is first an http or https address.
std::optional<OwnRelease> newerRelease(const std::vector<AppcastItem>& items,
                                       std::string_view currentVersion);

}  // namespace larkvale
