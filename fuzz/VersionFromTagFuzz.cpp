// Feeds arbitrary text to the tag reader and checks the shape of its answer.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "kit/sources/GitHubReleases.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto version = larkvale::GitHubReleases::versionFromTag(text);
  if (version) {
    if (version->empty() || (*version)[0] < '0' || (*version)[0] > '9') std::abort();
    if (version->find('+') != std::string::npos) std::abort();
  }
  return 0;
}
