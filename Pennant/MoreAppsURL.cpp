#include "Pennant/MoreAppsURL.h"

#include "platform/Strings.h"
#include "platform/WebURL.h"

namespace pennant {

std::optional<std::string> lowercaseHost(std::string_view url) {
  auto parts = larkvale::WebURL::parseStrict(url);
  if (!parts || !parts->host) return std::nullopt;
  return larkvale::Strings::asciiLowercased(*parts->host);
}

}  // namespace pennant
