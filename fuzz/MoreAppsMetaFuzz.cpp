// Feeds arbitrary bytes to the reader of the catalogue's meta file. It must
// never throw, and what it accepts must read back equal after writing.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Pennant/MoreAppsLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using pennant::MoreAppsLoader;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto meta = MoreAppsLoader::Meta::fromJson(bytes);
  if (meta) {
    const auto back = MoreAppsLoader::Meta::fromJson(meta->toJson());
    if (!back || back->etag != meta->etag || back->lastModified != meta->lastModified ||
        back->checkedAt.has_value() != meta->checkedAt.has_value())
      std::abort();
  }
  return 0;
}
