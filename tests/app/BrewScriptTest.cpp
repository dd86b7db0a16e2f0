#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/Handoffs.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::readAll;
using test::TempDir;

class RecordingTerminal : public Terminal {
 public:
  void openScript(const fs::path& script) override { opened.push_back(script); }
  std::vector<fs::path> opened;
};

class BrokenTerminal : public Terminal {
 public:
  void openScript(const fs::path&) override {
    throw TerminalError("Couldn't open a terminal window.");
  }
};

fs::path writeExecutable(const TempDir& dir, std::string_view rel, std::string_view content) {
  fs::path path = dir.write(rel, content);
  fs::permissions(path, fs::perms::owner_all);
  return path;
}

// A stand-in for Homebrew that logs each argument on a line and exits with
// the given code.
std::string fakeBrew(const TempDir& dir, int exitCode) {
  return writeExecutable(dir, "bin/brew",
                         "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + (dir / "brew.log").string() +
                             "'\nexit " + std::to_string(exitCode) + "\n")
      .string();
}

// Runs the script under zsh as a terminal would, with `input` typed in; the
// script itself exits 0 when it ran the command, whatever the command gave.
std::string runScript(const TempDir& dir, const fs::path& script, std::string_view input,
                      int expectedStatus = 0) {
  fs::path in = dir.write("stdin", input);
  fs::path out = dir / "stdout";
  std::string command = "TERM=dumb /bin/zsh '" + script.string() + "' < '" + in.string() + "' > '" +
                        out.string() + "' 2>/dev/null";
  int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), expectedStatus);
  return readAll(out);
}

const std::string kShown =
    "Larkvale: Homebrew update for Firefox, Zoom\n"
    "\n"
    "This will run:  brew upgrade --cask --greedy firefox zoom\n"
    "(Homebrew may ask for your password for some apps; it asks in this window.)\n"
    "\n";

TEST(BrewScriptTest, ReturnRunsTheCommandOnceReportsItsCodeAndTheScriptGoes) {
  for (int exitCode : {0, 3}) {
    TempDir dir;
    RecordingTerminal terminal;
    fs::path script = openBrewScriptInTerminal({"firefox", "zoom"}, {"Firefox", "Zoom"}, true,
                                               dir / "cache", fakeBrew(dir, exitCode), terminal);
    ASSERT_EQ(terminal.opened, std::vector<fs::path>{script});
    std::string closing = exitCode == 0
                              ? "Done. In Larkvale, press Check Now to see the new version.\n"
                              : "brew stopped with code 3 (see above).\n";
    EXPECT_EQ(runScript(dir, script, "\n"),
              kShown + "\n" + closing + "You can close this window.\n");
    EXPECT_EQ(readAll(dir / "brew.log"), "upgrade\n--cask\n--greedy\nfirefox\nzoom\n");
    EXPECT_FALSE(fs::exists(script));
  }
}

TEST(BrewScriptTest, WithoutReturnNothingRunsAndTheScriptStays) {
  for (std::string input : {"", "y"}) {  // end of input, with or without typing
    TempDir dir;
    RecordingTerminal terminal;
    fs::path script = openBrewScriptInTerminal({"firefox", "zoom"}, {"Firefox", "Zoom"}, true,
                                               dir / "cache", fakeBrew(dir, 0), terminal);
    EXPECT_EQ(runScript(dir, script, input, 1), kShown);
    EXPECT_FALSE(fs::exists(dir / "brew.log"));
    EXPECT_TRUE(fs::exists(script));
  }
}

TEST(BrewScriptTest, HostileNamesAreShownInertAndNeverRun) {
  TempDir dir;
  RecordingTerminal terminal;
  fs::path pwned = dir / "pwned";
  std::string touch = "touch " + pwned.string();
  std::vector<std::string> names = {"$(" + touch + ")",      "`" + touch + "`",
                                    "\"; " + touch + "; \"", "a\n" + touch + "\n",
                                    "\\\"; " + touch + " #", "${(e):-" + touch + "}"};
  fs::path script = openBrewScriptInTerminal({"a", "b", "c", "d", "e", "f"}, names, false,
                                             dir / "cache", fakeBrew(dir, 0), terminal);
  std::string out = runScript(dir, script, "\n");
  EXPECT_FALSE(fs::exists(pwned)) << out;
  EXPECT_EQ(readAll(dir / "brew.log"), "upgrade\n--cask\na\nb\nc\nd\ne\nf\n");
  std::string p = pwned.string();
  EXPECT_TRUE(out.starts_with("Larkvale: Homebrew update for (touch " + p + "), touch " + p +
                              ", ; touch " + p + "; , atouch " + p + ", ; touch " + p +
                              " #, {(e):-touch " + p + "}\n"))
      << out;
}

TEST(BrewScriptTest, RefusalsWriteNothing) {
  TempDir dir;
  RecordingTerminal terminal;
  auto failure = [&](std::vector<std::string> tokens, std::optional<std::string> brew) {
    try {
      openBrewScriptInTerminal(tokens, {"App"}, false, dir / "cache", brew, terminal);
    } catch (const HandoffError& error) {
      return std::string(error.what());
    }
    return std::string("written");
  };
  EXPECT_EQ(failure({"a"}, std::nullopt), "Homebrew isn't installed.");
  const std::string bad = "A cask name had unexpected characters.";
  for (std::string token : {"-greedy", "a b", "$(id)", "`id`", "a\nb", "a'b", ""}) {
    EXPECT_EQ(failure({"ok", token}, "/usr/bin/brew"), bad) << token;
  }
  EXPECT_EQ(failure({}, "/usr/bin/brew"), bad);
  EXPECT_EQ(failure({"a"}, "/opt/home brew/bin/brew"), bad);
  EXPECT_EQ(failure({"a"}, "/opt/*/brew"), bad);
  EXPECT_FALSE(fs::exists(dir / "cache"));
  EXPECT_TRUE(terminal.opened.empty());
}

TEST(BrewScriptTest, EachHandOffWritesANewOwnerOnlyScriptInTheTerminalFolder) {
  TempDir dir;
  RecordingTerminal terminal;
  for (int i = 0; i < 2; ++i) {
    openBrewScriptInTerminal({"a"}, {"A"}, false, dir / "cache", "/usr/bin/brew", terminal);
  }
  ASSERT_EQ(terminal.opened.size(), 2u);
  EXPECT_NE(terminal.opened[0], terminal.opened[1]);
  for (const auto& script : terminal.opened) {
    EXPECT_EQ(script.parent_path(), dir / "cache" / "terminal");
    std::string name = script.filename().string();
    ASSERT_EQ(name.size(), std::string("brew-upgrade-XXXXXXXX.command").size()) << name;
    EXPECT_TRUE(name.starts_with("brew-upgrade-") && name.ends_with(".command")) << name;
    EXPECT_EQ(name.substr(13, 8).find_first_not_of("0123456789ABCDEF"), std::string::npos) << name;
    struct stat info {};
    ASSERT_EQ(::stat(script.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "cache/terminal"), fs::directory_iterator()),
            2);
}

TEST(BrewScriptTest, FileSystemAndTerminalFailuresReachTheCaller) {
  TempDir dir;
  dir.write("cache/terminal", "a file where the folder belongs");
  RecordingTerminal terminal;
  EXPECT_THROW(
      openBrewScriptInTerminal({"a"}, {"A"}, false, dir / "cache", "/usr/bin/brew", terminal),
      FileError);
  EXPECT_TRUE(terminal.opened.empty());

  BrokenTerminal broken;
  try {
    openBrewScriptInTerminal({"a"}, {"A"}, false, dir / "other", "/usr/bin/brew", broken);
    ADD_FAILURE() << "a terminal that can't start must not count as a hand-off";
  } catch (const TerminalError& error) {
    EXPECT_STREQ(error.what(), "Couldn't open a terminal window.");
  }
  // The script is written before the terminal is asked, and stays.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "other/terminal"), fs::directory_iterator()),
            1);
}

TEST(BrewScriptTest, TheSystemTerminalRunsTheScriptEndToEnd) {
  TempDir dir;
  fs::path out = dir / "terminal.out";
  writeExecutable(dir, "terminals/x-terminal-emulator",
                  "#!/bin/sh\n[ \"$1\" = -e ] || exit 2\nprintf '\\n' | TERM=dumb \"$2\" > '" +
                      out.string() + ".tmp' 2>/dev/null\nmv '" + out.string() + ".tmp' '" +
                      out.string() + "'\n");
  SystemTerminal terminal({{"x-terminal-emulator", {"-e"}}}, (dir / "terminals").string());
  fs::path script = openBrewScriptInTerminal({"firefox", "zoom"}, {"Firefox", "Zoom"}, true,
                                             dir / "cache", fakeBrew(dir, 0), terminal);
  for (int i = 0; i < 400 && !fs::exists(out); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  EXPECT_EQ(readAll(out), kShown +
                              "\nDone. In Larkvale, press Check Now to see the new version.\n"
                              "You can close this window.\n");
  EXPECT_EQ(readAll(dir / "brew.log"), "upgrade\n--cask\n--greedy\nfirefox\nzoom\n");
  EXPECT_FALSE(fs::exists(script));
}

}  // namespace
}  // namespace larkvale
