#include "Pennant/MoreAppsURL.h"

#include "platform/WebURL.h"

namespace pennant {

std::optional<std::string> lowercaseHost(std::string_view url) {
  auto parts = larkvale::WebURL::parseStrict(url);
  if (!parts || !parts->host) return std::nullopt;
  return lowercaseASCII(*parts->host);
}

std::string lowercaseASCII(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace pennant
