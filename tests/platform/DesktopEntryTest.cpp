#include "platform/DesktopEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace larkvale {
namespace {

TEST(DesktopEntryTest, ExecArgumentsAreQuotedThenEscaped) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/usr/bin/larkvale", "/usr/bin/larkvale"},
      {"/opt/My App/run", R"("/opt/My App/run")"},
      {R"(/a"b)", R"("/a\\"b")"},
      {"/a$b", R"("/a\\$b")"},
      {R"(/a\b)", R"("/a\\\\b")"},
      {"/a'b", R"("/a'b")"},
      {"/100%", "/100%%"},
      {"/tab\there", R"("/tab\there")"},
      {"/line\nbreak", R"("/line\nbreak")"},
      {"", R"("")"},
  };
  for (const auto& [argument, written] : cases)
    EXPECT_EQ(DesktopEntry::execArgument(argument), written) << argument;
}

TEST(DesktopEntryTest, ReadsKeysOfTheEntryGroupOnly) {
  const std::string content =
      "# comment\n"
      "[Desktop Entry]\n"
      "Name[de]=Lerche\n"
      "Name = Larkvale \r\n"
      "Comment=\\sTwo\\nlines\\\\ and \\q\n"
      "Hidden=true\n"
      "Hidden=false\n"
      "[Desktop Action quit]\n"
      "Exec=quit\n";
  EXPECT_EQ(DesktopEntry::value(content, "Name"), "Larkvale");
  EXPECT_EQ(DesktopEntry::value(content, "Name[de]"), "Lerche");
  EXPECT_EQ(DesktopEntry::value(content, "Comment"), " Two\nlines\\ and \\q");
  EXPECT_EQ(DesktopEntry::value(content, "Hidden"), "true");
  EXPECT_EQ(DesktopEntry::value(content, "Exec"), std::nullopt);
  EXPECT_EQ(DesktopEntry::value("Hidden=true\n", "Hidden"), std::nullopt);
  EXPECT_EQ(DesktopEntry::value("[Other]\nHidden=true\n", "Hidden"), std::nullopt);
}

}  // namespace
}  // namespace larkvale
