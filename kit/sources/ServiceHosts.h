#pragma once
// Scheme and host of the outside services the update check asks. The
// defaults are the real services; tests point them at a local server.
#include <string>

#include "kit/model/Links.h"

namespace larkvale {

struct ServiceHosts {
  std::string appStoreLookup = "https://itunes.apple.com";
  std::string gitHubAPI = "https://api.github.com";
  std::string gitHubWeb = std::string(Links::gitHubSite);

  friend bool operator==(const ServiceHosts&, const ServiceHosts&) = default;
};

}  // namespace larkvale
