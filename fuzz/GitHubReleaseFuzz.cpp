// Feeds arbitrary bytes to the latest-release reader, then through every
// operation that takes a release.
#include <chrono>
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
    // Dates travel as a double number of seconds, which far from 2001 may
    // round by a few nanoseconds; everything else must come back exactly.
    auto back = larkvale::releaseFromJson(larkvale::toJson(release));
    if (!back || back->published.has_value() != release.published.has_value()) std::abort();
    if (release.published) {
      if (std::chrono::abs(*back->published - *release.published) >= std::chrono::seconds(1))
        std::abort();
      back->published = release.published;
    }
    if (*back != release) std::abort();
  } catch (const larkvale::GitHubError&) {
  }
  return 0;
}
