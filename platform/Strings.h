#pragma once
// Small text helpers with no locale behind them. Pure; any thread.
#include <string>
#include <string_view>
#include <vector>

namespace larkvale::Strings {

// The parts with the separator between each two.
inline std::string join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

}  // namespace larkvale::Strings
