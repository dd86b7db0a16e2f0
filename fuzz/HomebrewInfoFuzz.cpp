// Arbitrary bytes as the tool's installed-casks answer, then matched to an app.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kit/sources/Homebrew.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const auto casks = larkvale::Homebrew::parseInfo(
        std::string_view(reinterpret_cast<const char*>(data), size), "/home/fuzz");
    larkvale::InstalledApp app;
    app.path = "/Applications/Firefox.app";
    larkvale::Homebrew::caskForApp(app, casks);
    for (const auto& cask : casks) larkvale::Homebrew::isCaskToken(cask.token);
  } catch (const larkvale::BrewAnswerError&) {
  }
  return 0;
}
