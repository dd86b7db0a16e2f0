#pragma once
// Scheme and host of the outside services the update check asks. The
// defaults are the real services; tests point them at a local server.
#include <string>

namespace larkvale {

struct ServiceHosts {
  std::string appStoreLookup = "https://itunes.apple.com";
  std::string gitHubAPI = "https://api.github.com";
  std::string gitHubWeb = "https://github.com";

  friend bool operator==(const ServiceHosts&, const ServiceHosts&) = default;
};

}  // namespace larkvale
