#pragma once
// The catalogue's reading of links: absolute addresses by the strict grammar
// of WebURL::parseStrict, compared by their hosts in lower case. Pure
// functions; any thread.
#include <optional>
#include <string>
#include <string_view>

namespace pennant {

// The host of an absolute URL with its ASCII letters lowered; nothing when
// the text is no URL or names no host.
std::optional<std::string> lowercaseHost(std::string_view url);

}  // namespace pennant
