// Update-configuration text and repository addresses: whatever comes out
// must be a valid repository name.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kit/sources/GitHubRepos.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace larkvale::GitHubReleases;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (auto repo : {repoFromUpdateConfig(text), repoFromURL(text)})
    if (repo && !isRepoName(*repo)) __builtin_trap();
  knownRepo(text);
  return 0;
}
