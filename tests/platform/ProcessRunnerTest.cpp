#include "platform/ProcessRunner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using test::TempDir;

// A request to run a new shell script with the given body.
ProcessRequest script(const TempDir& dir, const std::string& body) {
  static int made = 0;
  auto path = dir.write("s" + std::to_string(++made), "#!/bin/sh\n" + body);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  ProcessRequest request;
  request.executable = path.string();
  return request;
}

TEST(ProcessRunnerTest, PassesArgumentsAndReportsHowTheChildEnded) {
  TempDir dir;
  auto request = script(dir, "printf '[%s]' \"$@\"; printf 'oops' >&2; exit 3\n");
  request.arguments = {"two words", "", "$HOME;*"};
  auto result = ProcessRunner::run(request);
  EXPECT_EQ(result.standardOutput, "[two words][][$HOME;*]");
  EXPECT_EQ(result.standardError, "oops");
  EXPECT_EQ(result.ending, ProcessResult::Ending::exited);
  EXPECT_EQ(result.status, 3);
  EXPECT_FALSE(result.succeeded());

  auto killed = ProcessRunner::run(script(dir, "kill -TERM $$\nsleep 5\n"));
  EXPECT_EQ(killed.ending, ProcessResult::Ending::signalled);
  EXPECT_EQ(killed.status, SIGTERM);
}

TEST(ProcessRunnerTest, GivesExactlyTheEnvironmentAndNoInput) {
  TempDir dir;
  auto request = script(dir, "env | sort; readlink /proc/self/fd/0 >&2\n");
  request.environment = std::vector<std::string>{"ONE=1", "TWO=two words"};
  auto result = ProcessRunner::run(request);
  // sh may add PWD of its own; nothing of this process's environment leaks in.
  EXPECT_NE(result.standardOutput.find("ONE=1\n"), std::string::npos);
  EXPECT_NE(result.standardOutput.find("TWO=two words\n"), std::string::npos);
  EXPECT_EQ(result.standardOutput.find("HOME="), std::string::npos);
  EXPECT_EQ(result.standardError, "/dev/null\n");
}

// Pipes this process leaves open to children (the test driver may hand some).
size_t inheritablePipes() {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink(entry.path(), ec).string();
    const int fd = std::stoi(entry.path().filename().string());
    // 0 to 2 are replaced in the child.
    if (fd > 2 && target.starts_with("pipe:") && !(::fcntl(fd, F_GETFD) & FD_CLOEXEC)) ++count;
  }
  return count;
}

TEST(ProcessRunnerTest, ChildInheritsNoPipeOfTheParentButItsOwnTwo) {
  TempDir dir;
  const size_t inherited = inheritablePipes();
  auto result = ProcessRunner::run(script(dir, "exec ls -l /proc/self/fd\n"));
  size_t pipes = 0;
  for (size_t at = 0; (at = result.standardOutput.find("pipe:", at)) != std::string::npos; ++at)
    ++pipes;
  EXPECT_EQ(pipes, 2u + inherited) << result.standardOutput;
}

TEST(ProcessRunnerTest, DrainsBothStreamsAndKeepsOnlyTheOutputLimit) {
  TempDir dir;
  // Standard error is filled far past a pipe's buffer before standard output
  // gets a byte: reading one stream to its end first would deadlock. What
  // passes the limit is still read, or the child would block.
  auto request = script(dir,
                        "head -c 3000000 /dev/zero >&2\nhead -c 2000000 /dev/zero\n"
                        "head -c 1000000 /dev/zero >&2\n");
  request.outputLimit = 3000000;
  auto result = ProcessRunner::run(request);
  EXPECT_TRUE(result.succeeded());
  EXPECT_EQ(result.standardOutput.size(), 2000000u);
  EXPECT_FALSE(result.outputTruncated);
  EXPECT_EQ(result.standardError.size(), 3000000u);
  EXPECT_TRUE(result.errorTruncated);
}

TEST(ProcessRunnerTest, KillsAChildAndItsChildrenPastTheTimeLimit) {
  TempDir dir;
  // The grandchild holds the pipes open; only killing the group ends the wait.
  auto request = script(dir, "echo started\nsleep 60\n");
  request.timeLimit = std::chrono::milliseconds(300);
  auto result = ProcessRunner::run(request);
  EXPECT_EQ(result.ending, ProcessResult::Ending::timedOut);
  EXPECT_EQ(result.standardOutput, "started\n");

  // A child that closes its pipes and lives on is bounded the same way.
  request.executable = script(dir, "exec >&- 2>&-\nsleep 60\n").executable;
  EXPECT_EQ(ProcessRunner::run(request).ending, ProcessResult::Ending::timedOut);
}

}  // namespace
}  // namespace larkvale
