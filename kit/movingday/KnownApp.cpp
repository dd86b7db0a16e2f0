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
  return larkvale::hashValues(app.match, app.settings, app.licence, app.tip);
}
