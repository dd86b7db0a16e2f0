#include "kit/model/Links.h"

namespace larkvale::Links {

std::optional<std::string> appStore(std::optional<std::int64_t> trackID) {
  if (!trackID) return std::nullopt;
  return "macappstore://" + std::string(appStoreHost) + "/app/id" + std::to_string(*trackID);
}

std::string releasesPage(std::string_view repo, std::string_view site) {
  return std::string(site) + "/" + std::string(repo) + "/releases";
}

}  // namespace larkvale::Links
