#include "kit/movingday/KnownApp.h"

#include "kit/model/Hash.h"

namespace larkvale {
namespace {

char asciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace

bool KnownApp::matches(std::string_view bundleID) const {
  if (match.ends_with('.')) return bundleID.starts_with(match);
  return equalsIgnoringAsciiCase(bundleID, match);
}

}  // namespace larkvale

size_t std::hash<larkvale::KnownApp>::operator()(const larkvale::KnownApp& app) const noexcept {
  return larkvale::hashValues(app.match, app.settings, app.licence, app.tip);
}
