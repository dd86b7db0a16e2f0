// Feeds arbitrary bytes to the latest-release reader, then through every
// operation that takes a release.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "kit/sources/GitHubReleases.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view body(reinterpret_cast<const char*>(data), size);
  try {
    auto release = larkvale::GitHubReleases::parseRelease(body);
    if (release.tag.empty()) std::abort();
    if (release.body && release.body->empty()) std::abort();
    for (const auto& asset : release.assets)
      if (!asset.url.starts_with("https:")) std::abort();
    larkvale::GitHubReleases::pickMacAsset(release, true);
    larkvale::GitHubReleases::pickMacAsset(release, false);
    release.version();
    if (larkvale::releaseFromJson(larkvale::toJson(release)) != release) std::abort();
  } catch (const larkvale::GitHubError&) {
  }
  return 0;
}
