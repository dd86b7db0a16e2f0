#include "platform/HostName.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace larkvale {
namespace {

TEST(HostNameTest, UnquotesValuesByTheShellsRules) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"plain", "plain"},
      {"Ada\\'s\\ Mac", "Ada's Mac"},
      {"'Ada \"$HOME\" \\n'", "Ada \"$HOME\" \\n"},
      {R"("Ada's \"Mac\" \$1 \\ \n")", R"(Ada's "Mac" $1 \ \n)"},
      {"\"two\\\nlines\"", "twolines"},
      {"mixed' 'words\" \"here", "mixed words here"},
      {"trailing   ", "trailing"},
      {"' kept '", " kept "},
      {"\"unclosed", std::nullopt},
      {"'unclosed", std::nullopt},
  };
  for (const auto& [value, unquoted] : cases)
    EXPECT_EQ(HostName::unquoteShellValue(value), unquoted) << value;
}

TEST(HostNameTest, PrettyNameIsTheLastValidAssignment) {
  EXPECT_EQ(HostName::prettyName("PRETTY_HOSTNAME=\"Ada’s MacBook\"\nCHASSIS=laptop\n"),
            "Ada’s MacBook");
  EXPECT_EQ(HostName::prettyName("PRETTY_HOSTNAME=First\n  PRETTY_HOSTNAME='Second'"), "Second");
  EXPECT_EQ(HostName::prettyName("# PRETTY_HOSTNAME=Comment\nXPRETTY_HOSTNAME=No\n"), std::nullopt);
  EXPECT_EQ(HostName::prettyName("PRETTY_HOSTNAME=\"\"\n"), std::nullopt);
  EXPECT_EQ(HostName::prettyName("PRETTY_HOSTNAME=Good\nPRETTY_HOSTNAME=\"bad\n"), std::nullopt);
  EXPECT_EQ(HostName::prettyName("PRETTY_HOSTNAME=\xff\xfe\n"), std::nullopt);
}

}  // namespace
}  // namespace larkvale
