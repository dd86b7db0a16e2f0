#include "kit/sources/Homebrew.h"

namespace larkvale::Homebrew {

bool isCaskToken(std::string_view token) {
  // Tokens end up inside a Terminal command line, so only a small, shell-inert
  // alphabet passes; a leading hyphen would read as an option to brew.
  if (token.empty() || token.size() > 99 || token.front() == '-') return false;
  for (char c : token) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum && c != '-' && c != '_' && c != '.' && c != '@' && c != '+' && c != '/')
      return false;
  }
  return true;
}

}  // namespace larkvale::Homebrew
