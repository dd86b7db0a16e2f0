// Arbitrary bytes as the tool's outdated-casks answer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kit/sources/Homebrew.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    larkvale::Homebrew::parseOutdated(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const larkvale::BrewAnswerError&) {
  }
  return 0;
}
