#pragma once
#include <string_view>

namespace larkvale::Homebrew {

// Whether a cask token may stand in a shell command.
bool isCaskToken(std::string_view token);

}  // namespace larkvale::Homebrew
