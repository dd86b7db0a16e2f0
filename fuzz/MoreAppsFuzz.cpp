// Feeds arbitrary bytes to the catalogue feed decoder. Whatever passes must
// pass again after a round trip through JSON, and every link of an accepted
// feed must still read as a URL that the entry can open.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Pennant/MoreAppsFeed.h"
#include "Pennant/MoreAppsValidator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  using namespace pennant;
  MoreAppsValidator::validLink(bytes);
  MoreAppsValidator::validText(bytes, 40);
  try {
    MoreAppsFeed feed = MoreAppsValidator::decode(bytes);
    if (MoreAppsValidator::decode(feed.toJson().dump()) != feed) std::abort();
    for (const auto& app : feed.apps) {
      if (!MoreAppsValidator::validLink(app.url) || !app.entryURL("larkvale")) std::abort();
      app.localizedName("es");
      app.localizedDetail("es");
    }
  } catch (const MoreAppsError&) {
  }
  return 0;
}
