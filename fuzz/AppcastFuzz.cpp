// Feeds arbitrary bytes to the appcast reader and picks a release from
// whatever it returns.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kit/sources/Appcast.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const auto items = larkvale::Appcast::parseAppcast(
        std::string_view(reinterpret_cast<const char*>(data), size));
    larkvale::Appcast::bestItem(items, "15.3.0");
  } catch (const larkvale::AppcastError&) {
  }
  return 0;
}
