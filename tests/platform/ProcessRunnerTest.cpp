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

std::string writeScript(const TempDir& dir, const std::string& name, const std::string& body) {
  auto path = dir.write(name, "#!/bin/sh\n" + body);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  return path.string();
}

ProcessResult runScript(const std::string& path, std::vector<std::string> args = {}) {
  ProcessRequest request;
  request.executable = path;
  request.arguments = std::move(args);
  return ProcessRunner::run(request);
}

TEST(ProcessRunnerTest, PassesArgumentsAndReportsExitStatus) {
  TempDir dir;
  auto script = writeScript(dir, "s", "printf '[%s]' \"$@\"; printf 'oops' >&2; exit 3\n");
  auto result = runScript(script, {"two words", "", "$HOME;*"});
  EXPECT_EQ(result.standardOutput, "[two words][][$HOME;*]");
  EXPECT_EQ(result.standardError, "oops");
  EXPECT_EQ(result.ending, ProcessResult::Ending::exited);
  EXPECT_EQ(result.status, 3);
  EXPECT_FALSE(result.succeeded());
}

TEST(ProcessRunnerTest, ReportsTheSignalThatEndedTheChild) {
  TempDir dir;
  auto result = runScript(writeScript(dir, "s", "kill -TERM $$\nsleep 5\n"));
  EXPECT_EQ(result.ending, ProcessResult::Ending::signalled);
  EXPECT_EQ(result.status, SIGTERM);
}

TEST(ProcessRunnerTest, GivesExactlyTheEnvironmentAndNoInput) {
  TempDir dir;
  ProcessRequest request;
  request.executable = writeScript(dir, "s", "env | sort; readlink /proc/self/fd/0 >&2\n");
  request.environment = std::vector<std::string>{"ONE=1", "TWO=two words"};
  auto result = ProcessRunner::run(request);
  // sh may add PWD of its own; nothing of this process's environment leaks in.
  EXPECT_NE(result.standardOutput.find("ONE=1\n"), std::string::npos);
  EXPECT_NE(result.standardOutput.find("TWO=two words\n"), std::string::npos);
  EXPECT_EQ(result.standardOutput.find("HOME="), std::string::npos);
  EXPECT_EQ(result.standardError, "/dev/null\n");
}

TEST(ProcessRunnerTest, EnvironmentWithReplacesEntriesOfTheSameName) {
  ::setenv("LARKVALE_RUNNER_TEST", "old", 1);
  ::setenv("LARKVALE_RUNNER_KEEP", "kept", 1);
  auto env = ProcessRunner::environmentWith({"LARKVALE_RUNNER_TEST=new"});
  int count = 0;
  bool kept = false;
  for (const auto& e : env) {
    count += e.starts_with("LARKVALE_RUNNER_TEST=");
    kept = kept || e == "LARKVALE_RUNNER_KEEP=kept";
  }
  EXPECT_EQ(count, 1);
  EXPECT_EQ(env.back(), "LARKVALE_RUNNER_TEST=new");
  EXPECT_TRUE(kept);
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
  auto result = runScript(writeScript(dir, "s", "exec ls -l /proc/self/fd\n"));
  size_t pipes = 0;
  for (size_t at = 0; (at = result.standardOutput.find("pipe:", at)) != std::string::npos; ++at)
    ++pipes;
  EXPECT_EQ(pipes, 2u + inherited) << result.standardOutput;
}

TEST(ProcessRunnerTest, DrainsBothStreamsOfAChattyChild) {
  TempDir dir;
  // Standard error is filled far past a pipe's buffer before standard output
  // gets a byte: reading one stream to its end first would deadlock.
  auto script = writeScript(dir, "s",
                            "head -c 3000000 /dev/zero >&2\nhead -c 2000000 /dev/zero\n"
                            "head -c 1000000 /dev/zero >&2\n");
  auto result = runScript(script);
  EXPECT_TRUE(result.succeeded());
  EXPECT_EQ(result.standardOutput.size(), 2000000u);
  EXPECT_EQ(result.standardError.size(), 4000000u);
}

TEST(ProcessRunnerTest, KeepsOnlyTheOutputLimitButReadsEverything) {
  TempDir dir;
  ProcessRequest request;
  request.executable = writeScript(dir, "s", "head -c 500000 /dev/zero\necho done >&2\n");
  request.outputLimit = 1000;
  auto result = ProcessRunner::run(request);
  EXPECT_TRUE(result.succeeded());
  EXPECT_EQ(result.standardOutput.size(), 1000u);
  EXPECT_TRUE(result.outputTruncated);
  EXPECT_EQ(result.standardError, "done\n");
  EXPECT_FALSE(result.errorTruncated);
}

TEST(ProcessRunnerTest, KillsAChildAndItsChildrenPastTheTimeLimit) {
  TempDir dir;
  ProcessRequest request;
  // The grandchild holds the pipes open; only killing the group ends the wait.
  request.executable = writeScript(dir, "s", "echo started\nsleep 60\n");
  request.timeLimit = std::chrono::milliseconds(300);
  auto result = ProcessRunner::run(request);
  EXPECT_EQ(result.ending, ProcessResult::Ending::timedOut);
  EXPECT_EQ(result.standardOutput, "started\n");

  // A child that closes its pipes and lives on is bounded the same way.
  request.executable = writeScript(dir, "t", "exec >&- 2>&-\nsleep 60\n");
  EXPECT_EQ(ProcessRunner::run(request).ending, ProcessResult::Ending::timedOut);
}

TEST(ProcessRunnerTest, ThrowsWhenTheChildCannotStart) {
  TempDir dir;
  auto folder = dir.mkdir("a-folder");
  for (const std::string& path : {folder.string(), (dir / "missing").string()}) {
    try {
      runScript(path);
      ADD_FAILURE() << path;
    } catch (const ProcessError& e) {
      EXPECT_TRUE(std::string(e.what()).starts_with("Couldn't start " + path + ": ")) << e.what();
      EXPECT_NE(e.code(), 0);
    }
  }
}

}  // namespace
}  // namespace larkvale
