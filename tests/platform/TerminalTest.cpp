#include "platform/Terminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

bool waitForFile(const fs::path& path) {
  for (int i = 0; i < 400 && !fs::exists(path); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return fs::exists(path);
}

fs::path writeExecutable(const TempDir& dir, std::string_view rel, std::string_view content) {
  fs::path path = dir.write(rel, content);
  fs::permissions(path, fs::perms::owner_all);
  return path;
}

// A terminal emulator that records how it was asked to run the script.
std::string loggingTerminal(const fs::path& log) {
  return "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > '" + log.string() + ".tmp'\nmv '" +
         log.string() + ".tmp' '" + log.string() + "'\n";
}

TEST(TerminalTest, FallsBackPastMissingAndBrokenProgramsToOneThatStarts) {
  TempDir dir;
  fs::path log = dir / "log";
  dir.mkdir("bin/x-terminal-emulator");  // not a program
  writeExecutable(dir, "bin/gnome-terminal",
                  "\x7f"
                  "ELF broken");  // won't start
  fs::path xterm = writeExecutable(dir, "bin/xterm", loggingTerminal(log));
  SystemTerminal terminal(SystemTerminal::commonPrograms(), (dir / "bin").string());
  terminal.openScript("/tmp/some folder/brew-upgrade-0A1B2C3D.command");
  ASSERT_TRUE(waitForFile(log));
  EXPECT_EQ(test::readAll(log),
            xterm.string() + "\n-e\n/tmp/some folder/brew-upgrade-0A1B2C3D.command\n");
}

TEST(TerminalTest, PrefersTheSystemsChosenTerminal) {
  TempDir dir;
  fs::path log = dir / "log";
  fs::path chosen = writeExecutable(dir, "bin/x-terminal-emulator", loggingTerminal(log));
  writeExecutable(dir, "bin/xterm", "#!/bin/sh\nexit 1\n");
  SystemTerminal(SystemTerminal::commonPrograms(), (dir / "bin").string()).openScript("/s.command");
  ASSERT_TRUE(waitForFile(log));
  EXPECT_EQ(test::readAll(log), chosen.string() + "\n-e\n/s.command\n");
}

TEST(TerminalTest, FailsClearlyWhenNoTerminalStarts) {
  TempDir dir;
  writeExecutable(dir, "bin/konsole", "garbage");
  for (const std::string& searchPath : {std::string(), (dir / "bin").string()}) {
    SystemTerminal terminal(SystemTerminal::commonPrograms(), searchPath);
    try {
      terminal.openScript("/s.command");
      ADD_FAILURE() << "no terminal should have started";
    } catch (const TerminalError& error) {
      EXPECT_STREQ(error.what(), "Couldn't open a terminal window.");
    }
  }
}

}  // namespace
}  // namespace larkvale
