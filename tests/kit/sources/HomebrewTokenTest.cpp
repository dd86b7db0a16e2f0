#include <gtest/gtest.h>

#include <string>

#include "kit/sources/Homebrew.h"

namespace larkvale {
namespace {

TEST(HomebrewTokenTest, AcceptsOnlyShellInertTokens) {
  struct Case {
    std::string token;
    bool ok;
  };
  const Case cases[] = {
      {"firefox", true},
      {"visual-studio-code", true},
      {"homebrew/cask-versions/firefox@beta", true},
      {"a_b.c+d", true},
      {"trailing-", true},
      {std::string(99, 'a'), true},
      {std::string(100, 'a'), false},
      {"", false},
      {"-rf", false},
      {"two words", false},
      {"evil;rm", false},
      {"quote'", false},
      {"$(x)", false},
      {"line\r\nbreak", false},
      {"caf\xc3\xa9", false},
      {std::string("nul\0x", 5), false},
  };
  for (const auto& c : cases) EXPECT_EQ(Homebrew::isCaskToken(c.token), c.ok) << c.token;
}

}  // namespace
}  // namespace larkvale
