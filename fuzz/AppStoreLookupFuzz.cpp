// Feeds arbitrary bytes to the App Store answer reader. The first byte picks
// whether a store identifier is given.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "kit/sources/AppStoreLookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::optional<int64_t> storeID;
  if (data[0] & 1) storeID = 42;
  std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    auto listing = larkvale::AppStoreLookup::decodeLookup(body, "com.example.app", storeID);
    if (listing && listing->releaseNotes && listing->releaseNotes->empty()) std::abort();
  } catch (const larkvale::AppStoreLookup::DecodeError&) {
  }
  return 0;
}
