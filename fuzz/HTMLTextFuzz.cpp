// Arbitrary text through the release-notes simplifier, and some feed dates.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kit/sources/Appcast.h"
#include "kit/sources/HTMLText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  larkvale::HTMLText::plainText(text);
  if (size < 64) larkvale::Appcast::parseFeedDate(text);
  return 0;
}
