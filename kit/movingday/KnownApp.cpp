#include "kit/movingday/KnownApp.h"

#include "kit/model/Hash.h"
#include "platform/Strings.h"

namespace larkvale {
namespace {}  // namespace

bool KnownApp::matches(std::string_view bundleID) const {
  if (match.ends_with('.')) return bundleID.starts_with(match);
  return Strings::equalsIgnoringAsciiCase(bundleID, match);
}

}  // namespace larkvale

size_t std::hash<larkvale::KnownApp>::operator()(const larkvale::KnownApp& app) const noexcept {
  size_t seed = 0;
  larkvale::hashCombine(seed, app.match);
  for (const auto& s : app.settings) larkvale::hashCombine(seed, s);
  larkvale::hashCombine(seed, app.settings.size());
  larkvale::hashCombine(seed, app.licence);
  larkvale::hashCombine(seed, app.tip);
  return seed;
}
