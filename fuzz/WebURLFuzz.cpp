// Feeds arbitrary text to the address reader: it must not crash, the parts
// it splits must write back to the text read, and a strict reading must
// agree with the lenient split it refines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/WebURL.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parts = larkvale::WebURL::split(text);
  if (parts && parts->text() != text) std::abort();
  auto strict = larkvale::WebURL::parseStrict(text);
  if (strict && (!parts || *strict != *parts)) std::abort();
  auto url = larkvale::WebURL::parse(text);
  if (url && !parts) std::abort();
  return 0;
}
