#include "kit/sources/Handoff.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using Tokens = std::vector<std::string>;
namespace fs = std::filesystem;

// A folder of stand-ins: bin/brew and bin/env that may run, plain/brew that
// may not, and a folder folder/brew.
const test::TempDir& tools() {
  static const test::TempDir dir;
  static const bool made = [] {
    for (const char* rel : {"bin/brew", "bin/env", "plain/brew"}) dir.write(rel, "#!/bin/sh\n");
    for (const char* rel : {"bin/brew", "bin/env"})
      fs::permissions(dir / rel, fs::perms::owner_exec, fs::perm_options::add);
    dir.mkdir("folder/brew");
    return true;
  }();
  (void)made;
  return dir;
}

std::string fakeBrew() {
  return (tools() / "bin/brew").string();
}

TEST(HandoffTest, UpgradeCommandRefusesAnyTokenAShellWouldInterpret) {
  EXPECT_EQ(Handoff::upgradeCommand({"firefox"}, false, "/opt/homebrew/bin/brew"),
            "/opt/homebrew/bin/brew upgrade --cask firefox");
  EXPECT_EQ(Handoff::upgradeCommand({}, false, "brew"), std::nullopt);
  EXPECT_EQ(Handoff::upgradeCommand({"ok", "a;b"}, false, "brew"), std::nullopt);
  EXPECT_EQ(Handoff::terminalScript({"a;b"}, {"App"}, false, fakeBrew()), std::nullopt);
}

TEST(HandoffTest, ScriptIsTheFourteenLinesWithThePathRunAndTheBareWordShown) {
  auto script =
      Handoff::terminalScript({"firefox", "zoom"}, {"Firefox", "zoom.us"}, true, fakeBrew());
  ASSERT_TRUE(script);
  EXPECT_EQ(
      *script,
      "#!/bin/zsh\n"
      "# Written by Larkvale. Nothing runs until you press Return in this window.\n"
      "clear\n"
      "print -r -- \"Larkvale: Homebrew update for Firefox, zoom.us\"\n"
      "print\n"
      "print -r -- \"This will run:  brew upgrade --cask --greedy firefox zoom\"\n"
      "print -r -- \"(Homebrew may ask for your password for some apps; it asks in this "
      "window.)\"\n"
      "print\n"
      "read -r \"?Press Return to run it, or close this window to cancel. \" || exit 1\n" +
          fakeBrew() +
          " upgrade --cask --greedy firefox zoom\n"
          "code=$?\n"
          "print\n"
          "if (( code == 0 )); then print \"Done. In Larkvale, press Check Now to see the new "
          "version.\"; else print \"brew stopped with code $code (see above).\"; fi\n"
          "rm -f -- \"$0\"\n");
}

TEST(HandoffTest, ScriptRefusesABrewPathWithAnythingButThePlainAlphabet) {
  // A command line can be built with such a path; the script still refuses it.
  EXPECT_TRUE(Handoff::upgradeCommand({"a"}, false, "/opt/home brew/brew"));
  Tokens unsafe = {"~/brew",
                   "/caf\u00e9/brew",
                   "",
                   "brew",
                   "./brew",
                   "/./",
                   (tools() / "bin/env").string(),
                   (tools() / "plain/brew").string(),
                   (tools() / "folder/brew").string(),
                   (tools() / "bin/brew/").string(),
                   (tools() / "none/brew").string()};
  for (char c : std::string(" \"'`$\\;\n*")) unsafe.push_back(std::string("/a") + c);
  for (const auto& path : unsafe) {
    EXPECT_FALSE(Handoff::isSafeBrewPath(path)) << path;
    EXPECT_EQ(Handoff::terminalScript({"a"}, {"A"}, false, path), std::nullopt) << path;
  }
  EXPECT_TRUE(Handoff::terminalScript({"a"}, {"A"}, false, fakeBrew()));
  const fs::path link = tools() / "A_b-c+d@e.1/brew";
  fs::create_directories(link.parent_path());
  fs::create_symlink(fakeBrew(), link);
  EXPECT_TRUE(Handoff::terminalScript({"a"}, {"A"}, false, link.string())) << link;
}

TEST(HandoffTest, NamesLoseEverythingThatCouldActInsideTheQuotedHeading) {
  auto script = Handoff::terminalScript(
      {"a", "b", "c"},
      {"Say \"Hi\" $HOME `id` C:\\x", "Two\nLines\r\x1b[2J\u009b8m", "Caf\u00e9\u00a0Plain"}, false,
      fakeBrew());
  ASSERT_TRUE(script);
  EXPECT_NE(script->find("print -r -- \"Larkvale: Homebrew update for Say Hi HOME id C:x, "
                         "TwoLines[2J8m, Caf\u00e9\u00a0Plain\"\n"),
            std::string::npos)
      << *script;
  EXPECT_EQ(std::count(script->begin(), script->end(), '\n'), 14);
}

TEST(HandoffTest, CheckForUpdatesTitles) {
  for (std::string title : {"Check For Updates...", "  check for update\t", "CHECK FOR UPDATES NOW",
                            "Check for Updates\u00a0\u2026", "\u2003check for new version"})
    EXPECT_TRUE(Handoff::isCheckForUpdatesTitle(title)) << title;
  for (std::string title :
       {"Check for Updates Automatically", "check for updates\n", "Check for Updates...."})
    EXPECT_FALSE(Handoff::isCheckForUpdatesTitle(title)) << title;
}

}  // namespace
}  // namespace larkvale
