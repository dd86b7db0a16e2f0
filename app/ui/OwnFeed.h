#pragma once
// Where Larkvale looks for its own new versions: an appcast on the maker's
// web host, the same host the catalogue of the maker's other apps comes from.
#include <string>

#include "Pennant/MoreAppsHosts.h"

namespace larkvale::OwnFeed {

inline std::string defaultURL() {
  return "https://" + std::string(pennant::MoreAppsHosts::maker) + "/larkvale/appcast.xml";
}

}  // namespace larkvale::OwnFeed
