#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "app/Handoffs.h"
#include "platform/FileSystem.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::readAll;
using test::TempDir;

// Records the scripts it is asked to open; when broken, fails as the real one does.
class RecordingTerminal : public Terminal {
 public:
  void openScript(const fs::path& script) override {
    if (broken) throw TerminalError(SystemTerminal::kNoTerminal);
    opened.push_back(script);
  }
  std::vector<fs::path> opened;
  bool broken = false;
};

fs::path writeExecutable(const TempDir& dir, std::string_view rel, std::string_view content) {
  fs::path path = dir.write(rel, content);
  fs::permissions(path, fs::perms::owner_all);
  return path;
}

// A stand-in for Homebrew that logs each argument on a line and exits with the given code.
std::string fakeBrew(const TempDir& dir, int exitCode = 0) {
  return writeExecutable(dir, "bin/brew",
                         "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + (dir / "brew.log").string() +
                             "'\nexit " + std::to_string(exitCode) + "\n")
      .string();
}

// The app's folders laid out under root.
AppFolders foldersIn(const fs::path& root) {
  return AppFolders(UserFolders::underHome(root));
}

fs::path handOff(const TempDir& dir, Terminal& terminal, int brewExit = 0) {
  return openBrewScriptInTerminal({"firefox", "zoom"}, {"Firefox", "Zoom"}, true,
                                  foldersIn(dir / "cache"), fakeBrew(dir, brewExit), terminal);
}

// Runs the script under zsh as a terminal would, with `input` typed in; the
// script itself exits 0 when it ran the command, whatever the command gave.
std::string runScript(const TempDir& dir, const fs::path& script, std::string_view input,
                      int expectedStatus) {
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
const std::string kDone = "\nDone. In Larkvale, press Check Now to see the new version.\n";
const std::string kBrewLog = "upgrade\n--cask\n--greedy\nfirefox\nzoom\n";

TEST(BrewScriptTest, OnlyReturnRunsTheCommandOnceReportsItsCodeAndRemovesTheScript) {
  struct Case {
    std::string input;
    int brewExit;
    std::string shownAfter;  // empty: brew must not run
  };
  for (const auto& [input, brewExit, after] :
       std::vector<Case>{{"\n", 0, kDone},
                         {"\n", 3, "\nbrew stopped with code 3 (see above).\n"},
                         {"", 0, ""},      // end of input
                         {"y", 0, ""}}) {  // typing, then end of input
    SCOPED_TRACE(input + std::to_string(brewExit));
    TempDir dir;
    RecordingTerminal terminal;
    fs::path script = handOff(dir, terminal, brewExit);
    ASSERT_EQ(terminal.opened, std::vector<fs::path>{script});
    EXPECT_EQ(runScript(dir, script, input, after.empty()), kShown + after);
    EXPECT_EQ(readAll(dir / "brew.log"), after.empty() ? "" : kBrewLog);
    EXPECT_EQ(fs::exists(script), after.empty());
  }
}

// The whole window as the user reads it, with the terminal's hold after the
// script: the one way to close it that is offered is the one that works.
TEST(BrewScriptTest, TheWindowEndsWithOneWayToCloseIt) {
  TempDir dir;
  RecordingTerminal terminal;
  fs::path script = handOff(dir, terminal);
  fs::path in = dir.write("stdin", "\n\n");
  fs::path out = dir / "stdout";
  // As the window runs it (sh -c <hold> sh <script>), the hold read from a
  // file so that its quotes need no quoting here.
  fs::path hold = dir.write("hold.sh", SystemTerminal::kHoldOpen);
  std::string command = "TERM=dumb /bin/sh '" + hold.string() + "' '" + script.string() + "' < '" +
                        in.string() + "' > '" + out.string() + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(readAll(out), kShown + kDone + "\nPress Return to close this window. ");
}

TEST(BrewScriptTest, HostileNamesAreShownInertAndNeverRun) {
  TempDir dir;
  RecordingTerminal terminal;
  const std::string p = (dir / "pwned").string();
  const std::string touch = "touch " + p;
  std::vector<std::string> names = {"$(" + touch + ")",      "`" + touch + "`",
                                    "\"; " + touch + "; \"", "a\n" + touch + "\n",
                                    "\\\"; " + touch + " #", "${(e):-" + touch + "}"};
  fs::path script = openBrewScriptInTerminal({"a", "b", "c", "d", "e", "f"}, names, false,
                                             foldersIn(dir / "cache"), fakeBrew(dir), terminal);
  std::string out = runScript(dir, script, "\n", 0);
  EXPECT_FALSE(fs::exists(p)) << out;
  EXPECT_EQ(readAll(dir / "brew.log"), "upgrade\n--cask\na\nb\nc\nd\ne\nf\n");
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
      openBrewScriptInTerminal(tokens, {"App"}, false, foldersIn(dir / "cache"), brew, terminal);
    } catch (const HandoffError& error) {
      return std::string(error.what());
    }
    return std::string("written");
  };
  EXPECT_EQ(failure({"a"}, std::nullopt), "Homebrew isn't installed.");
  const std::string bad = "A cask name had unexpected characters.";
  for (std::string token : {"-greedy", "$(id)", "`id`", "a'b"}) {
    EXPECT_EQ(failure({"ok", token}, fakeBrew(dir)), bad) << token;
  }
  EXPECT_EQ(failure({}, fakeBrew(dir)), bad);
  EXPECT_EQ(failure({"a"}, "/opt/home brew/bin/brew"), bad);
  EXPECT_FALSE(fs::exists(dir / "cache"));
  EXPECT_TRUE(terminal.opened.empty());
}

TEST(BrewScriptTest, EachHandOffWritesANewOwnerOnlyScriptInTheTerminalFolder) {
  TempDir dir;
  RecordingTerminal terminal;
  for (int i = 0; i < 2; ++i) {
    openBrewScriptInTerminal({"a"}, {"A"}, false, foldersIn(dir / "cache"), fakeBrew(dir),
                             terminal);
  }
  ASSERT_EQ(terminal.opened.size(), 2u);
  EXPECT_NE(terminal.opened[0], terminal.opened[1]);
  for (const auto& script : terminal.opened) {
    EXPECT_EQ(script.parent_path(), foldersIn(dir / "cache").terminal);
    EXPECT_THAT(script.filename().string(),
                testing::MatchesRegex("brew-upgrade-[0-9A-F]{8}\\.command"));
    struct stat info {};
    ASSERT_EQ(::stat(script.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(foldersIn(dir / "cache").terminal),
                          fs::directory_iterator()),
            2);
}

TEST(BrewScriptTest, FileSystemAndTerminalFailuresReachTheCaller) {
  TempDir dir;
  const AppFolders folders = foldersIn(dir / "cache");
  dir.write(fs::relative(folders.terminal, dir.path()).string(), "a file where the folder belongs");
  RecordingTerminal terminal;
  EXPECT_THROW(openBrewScriptInTerminal({"a"}, {"A"}, false, folders, fakeBrew(dir), terminal),
               FileError);
  EXPECT_TRUE(terminal.opened.empty());

  // A terminal that can't start is no hand-off, and its script is not left
  // behind; nothing else in the folder goes with it.
  terminal.broken = true;
  const fs::path kept = dir.write(
      fs::relative(foldersIn(dir / "other").terminal / "brew-upgrade-0A1B2C3D.command", dir.path())
          .string(),
      "an earlier script");
  EXPECT_THAT(
      [&] {
        openBrewScriptInTerminal({"a"}, {"A"}, false, foldersIn(dir / "other"), fakeBrew(dir),
                                 terminal);
      },
      testing::ThrowsMessage<TerminalError>(testing::StrEq(SystemTerminal::kNoTerminal)));
  EXPECT_EQ(FileSystem::listNames(foldersIn(dir / "other").terminal),
            std::vector<std::string>{kept.filename().string()});

  // The script removes the path it was started as, from the terminal's own
  // working folder: a folder not named absolutely is refused before anything
  // is written.
  terminal.broken = false;
  AppFolders relative = foldersIn(dir / "unused");
  relative.terminal = "relative/terminal";
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_THROW(openBrewScriptInTerminal({"a"}, {"A"}, false, relative, fakeBrew(dir), terminal),
               FileError);
  fs::current_path(before);
  EXPECT_FALSE(fs::exists(dir / "relative"));
  EXPECT_TRUE(terminal.opened.empty());
}

}  // namespace
}  // namespace larkvale
