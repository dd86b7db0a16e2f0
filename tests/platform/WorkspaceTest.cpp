#include "platform/Workspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/PropertyList.h"
#include "platform/Terminal.h"
#include "platform/WorkspaceLaunch.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Detached programs report back through files; wait (generously) for one.
bool waitForFile(const fs::path& path) {
  for (int i = 0; i < 400 && !fs::exists(path); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return fs::exists(path);
}

fs::path writeExecutable(const TempDir& dir, std::string_view rel, std::string_view content) {
  fs::path path = dir.write(rel, content);
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  return path;
}

fs::path makeBundle(const TempDir& dir, const PlistDict& info) {
  dir.write("Apps/Tool.app/Contents/Info.plist", PropertyList::toXml(info));
  return dir / "Apps/Tool.app";
}

// A terminal emulator that records how it was asked to run the script.
fs::path loggingTerminal(const TempDir& dir, std::string_view rel, const fs::path& log) {
  return writeExecutable(dir, rel,
                         "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > '" + log.string() +
                             ".tmp'\nmv '" + log.string() + ".tmp' '" + log.string() + "'\n");
}

TEST(TerminalTest, PrefersTheSystemsChoiceAndFallsBackPastProgramsThatDontStart) {
  TempDir dir;
  const std::string bin = (dir / "bin").string();
  dir.mkdir("bin/x-terminal-emulator");  // not a program
  writeExecutable(dir, "bin/gnome-terminal",
                  "\x7f"
                  "ELF broken");  // won't start
  fs::path xterm = loggingTerminal(dir, "bin/xterm", dir / "log");
  const std::string held = std::string("/bin/sh\n-c\n") + SystemTerminal::kHoldOpen + "\nsh\n";
  SystemTerminal(SystemTerminal::commonPrograms(), bin)
      .openScript("/tmp/some folder/brew-upgrade-0A1B2C3D.command");
  ASSERT_TRUE(waitForFile(dir / "log"));
  EXPECT_EQ(test::readAll(dir / "log"),
            xterm.string() + "\n-e\n" + held + "/tmp/some folder/brew-upgrade-0A1B2C3D.command\n");

  ASSERT_TRUE(dir.remove(dir / "bin/x-terminal-emulator"));
  fs::path chosen = loggingTerminal(dir, "bin/x-terminal-emulator", dir / "chosen");
  SystemTerminal(SystemTerminal::commonPrograms(), bin).openScript("/s.command");
  ASSERT_TRUE(waitForFile(dir / "chosen"));
  EXPECT_EQ(test::readAll(dir / "chosen"), chosen.string() + "\n-e\n" + held + "/s.command\n");
}

TEST(TerminalTest, WindowWaitsForReturnAfterTheScriptEnds) {
  TempDir dir;
  fs::path script = writeExecutable(dir, "my scripts/s.command", "#!/bin/sh\necho 'last line'\n");
  fs::path out = dir / "out";
  ::setenv("LARKVALE_HOLD_OPEN", SystemTerminal::kHoldOpen, 1);
  const std::string command = "/bin/sh -c \"$LARKVALE_HOLD_OPEN\" sh '" + script.string() +
                              "' < /dev/null > '" + out.string() + "'";
  std::system(command.c_str());  // read meets the end of input: status 1
  EXPECT_EQ(test::readAll(out), "last line\n\nPress Return to close this window. ");
}

TEST(TerminalTest, FailsClearlyWhenNoTerminalStarts) {
  TempDir dir;
  writeExecutable(dir, "bin/konsole", "garbage");
  EXPECT_THAT(
      [&] {
        SystemTerminal(SystemTerminal::commonPrograms(), (dir / "bin").string())
            .openScript("/s.command");
      },
      testing::ThrowsMessage<TerminalError>(testing::StrEq(SystemTerminal::kNoTerminal)));
}

TEST(WorkspaceLaunchTest, ProgramRunsDetachedInItsOwnSessionFromTheRootFolder) {
  TempDir dir;
  fs::path out = dir / "report";
  fs::path program = writeExecutable(dir, "bin/report",
                                     "#!/bin/sh\n"
                                     "{ pwd; read -r line && echo got-input; echo \"$1|$2\"; "
                                     "ps -o sid= -p $$ | tr -d ' '; echo $$; } > \"$3.tmp\"\n"
                                     "mv \"$3.tmp\" \"$3\"\n");
  int32_t pid = WorkspaceLaunch::launchDetached(program, {"a b", "$(x)", out.string()});
  // Not our child: nothing for us to reap.
  EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  ASSERT_TRUE(waitForFile(out));
  // pwd, no input read, the arguments untouched, then its session and its id.
  const std::string report = test::readAll(out);
  EXPECT_TRUE(report.starts_with("/\na b|$(x)\n")) << report;
  EXPECT_TRUE(report.ends_with("\n" + std::to_string(pid) + "\n")) << report;
  EXPECT_EQ(report.find("\n" + std::to_string(::getsid(0)) + "\n"), std::string::npos) << report;
}

TEST(WorkspaceLaunchTest, SearchPathSkipsFoldersRelativeEntriesAndNonPrograms) {
  TempDir dir;
  dir.mkdir("one/tool");                    // a folder under the name
  dir.write("two/tool", "not executable");  // no execute permission at all
  fs::path found = writeExecutable(dir, "three/tool", "#!/bin/sh\n");
  std::string path = "relative:" + (dir / "one").string() + "::" + (dir / "two").string() + ":" +
                     (dir / "three").string();
  EXPECT_EQ(WorkspaceLaunch::findInSearchPath("tool", path), found);
  EXPECT_EQ(WorkspaceLaunch::findInSearchPath("absent", path), std::nullopt);
  EXPECT_EQ(WorkspaceLaunch::findInSearchPath("three/tool", dir.path().string()), std::nullopt);
}

TEST(WorkspaceTest, OpensTheBundlesNamedExecutableOrSaysWhyNot) {
  TempDir dir;
  SystemWorkspace workspace;
  auto failure = [&](const fs::path& bundle) -> std::string {
    try {
      workspace.openApplication(bundle);
    } catch (const WorkspaceError& error) {
      return error.what();
    }
    return "opened";
  };
  const std::string prefix = "The application \u201CTool.app\u201D can't be opened";
  EXPECT_EQ(failure(dir / "Apps/Tool.app"), prefix + " because it isn't there.");
  dir.mkdir("Apps/Tool.app/Contents");
  EXPECT_EQ(failure(dir / "Apps/Tool.app"),
            prefix + " because its Info.plist is missing or unreadable.");
  dir.write("Apps/Tool.app/Contents/Info.plist", "<plist><dict>");
  EXPECT_EQ(failure(dir / "Apps/Tool.app"), prefix + " because its Info.plist is damaged.");

  EXPECT_EQ(failure(makeBundle(dir, {{"CFBundleExecutable", "../../../bin/sh"}})),
            prefix + " because its Info.plist names no executable.");
  fs::path bundle = makeBundle(dir, {{"CFBundleExecutable", "Tool"}});
  EXPECT_EQ(failure(bundle),
            prefix + " because its program \u201CContents/MacOS/Tool\u201D is missing.");
  // A program built for another system: the kernel won't run it.
  writeExecutable(dir, "Apps/Tool.app/Contents/MacOS/Tool",
                  std::string("\xcf\xfa\xed\xfe\x07\x00\x00\x01", 8));
  EXPECT_EQ(failure(bundle), prefix + ": Exec format error.");

  fs::path marker = dir / "ran";
  writeExecutable(dir, "Apps/Tool.app/Contents/MacOS/Tool",
                  "#!/bin/sh\ntouch '" + marker.string() + "'\n");
  RunningApplication app = workspace.openApplication(bundle);
  EXPECT_GT(app.processIdentifier, 0);
  EXPECT_TRUE(app.isFinishedLaunching());
  EXPECT_TRUE(waitForFile(marker));
}

}  // namespace
}  // namespace larkvale
