#include "platform/WorkspaceLaunch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileDescriptor.h"

extern char** environ;

namespace larkvale::WorkspaceLaunch {
namespace {

// What the helper processes tell the caller through the pipe. Each message
// is far below PIPE_BUF, so writes from the two helpers never interleave.
struct Message {
  enum Kind : int32_t { kStarted = 1, kExecFailed = 2, kForkFailed = 3 } kind;
  int32_t value;
};

void send(int fd, Message::Kind kind, int32_t value) {
  Message message{kind, value};
  [[maybe_unused]] auto written = ::write(fd, &message, sizeof message);
}

// Runs in the grandchild, after fork in a possibly multi-threaded process:
// only async-signal-safe calls from here to execve.
[[noreturn]] void execProgram(const char* program, char* const* argv, int reportFd) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction defaults {};
  defaults.sa_handler = SIG_DFL;
  sigaction(SIGPIPE, &defaults, nullptr);

  if (int null = ::open("/dev/null", O_RDONLY); null >= 0) {
    ::dup2(null, STDIN_FILENO);
    if (null != STDIN_FILENO) ::close(null);
  }
  [[maybe_unused]] int changed = ::chdir("/");
  if (reportFd > 3) ::close_range(3, static_cast<unsigned>(reportFd) - 1, 0);
  ::close_range(static_cast<unsigned>(reportFd) + 1, ~0U, 0);

  ::execve(program, argv, environ);
  send(reportFd, Message::kExecFailed, errno);
  ::_exit(127);
}

// The middle process gives the program its own session and exits at once,
// so the program is re-parented and this process never has to reap it.
[[noreturn]] void runMiddle(const char* program, char* const* argv, int reportFd) {
  ::setsid();
  pid_t pid = ::fork();
  if (pid == 0) execProgram(program, argv, reportFd);
  if (pid < 0) {
    send(reportFd, Message::kForkFailed, errno);
  } else {
    send(reportFd, Message::kStarted, pid);
  }
  ::_exit(0);
}

std::string reason(int error) {
  return std::strerror(error);
}

}  // namespace

int32_t launchDetached(const std::filesystem::path& program,
                       const std::vector<std::string>& arguments) {
  // Everything the children need is built before fork: they may not allocate.
  std::string programText = program.string();
  std::vector<char*> argv;
  argv.push_back(programText.data());
  std::vector<std::string> args = arguments;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw LaunchError(reason(errno));
  FileDescriptor readEnd{fds[0]}, writeEnd{fds[1]};
  pid_t middle = ::fork();
  if (middle == 0) runMiddle(programText.c_str(), argv.data(), writeEnd.get());
  int forkError = errno;
  writeEnd.reset();
  if (middle < 0) throw LaunchError(reason(forkError));
  while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }

  // The pipe reaches end of input once the middle process has exited and the
  // program has either been replaced by execve (close-on-exec) or exited.
  std::optional<int32_t> pid;
  int failure = 0;
  Message message{};
  for (;;) {
    ssize_t got = ::read(readEnd.get(), &message, sizeof message);
    if (got < 0 && errno == EINTR) continue;
    if (got != static_cast<ssize_t>(sizeof message)) break;
    if (message.kind == Message::kStarted) pid = message.value;
    if (message.kind != Message::kStarted) failure = message.value;
  }
  readEnd.reset();
  if (failure != 0) throw LaunchError(reason(failure));
  if (!pid) throw LaunchError("The program could not be started.");
  return *pid;
}

std::optional<std::filesystem::path> findInSearchPath(std::string_view name,
                                                      std::string_view searchPath) {
  if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  while (!searchPath.empty()) {
    size_t colon = searchPath.find(':');
    std::string_view folder = searchPath.substr(0, colon);
    searchPath =
        colon == std::string_view::npos ? std::string_view() : searchPath.substr(colon + 1);
    if (folder.empty() || folder.front() != '/') continue;
    std::filesystem::path candidate = std::filesystem::path(folder) / name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace larkvale::WorkspaceLaunch
