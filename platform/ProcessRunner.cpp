#include "platform/ProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <thread>

#include "platform/FileDescriptor.h"
#include "platform/TextTrim.h"

extern char** environ;

namespace larkvale {
namespace {

using Clock = std::chrono::steady_clock;

struct Pipe {
  FileDescriptor readEnd, writeEnd;
};

// Both ends close-on-exec from birth: a spawn on another thread between
// pipe() and fcntl() would otherwise inherit them and hold the pipe open.
void openPipe(Pipe& pipe) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    const int code = errno;
    throw ProcessError(std::string("Couldn't make a pipe: ") + std::strerror(code), code);
  }
  pipe.readEnd.reset(fds[0]);
  pipe.writeEnd.reset(fds[1]);
}

std::vector<char*> cStrings(std::vector<std::string>& texts) {
  std::vector<char*> out;
  out.reserve(texts.size() + 1);
  for (auto& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

// Kills and reaps a started child if the parent bails out with an exception,
// so no zombie or orphan outlives the call.
class ChildGuard {
 public:
  explicit ChildGuard(pid_t pid) : pid_(pid) {}
  ~ChildGuard() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    int status;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  void release() { pid_ = -1; }

 private:
  pid_t pid_;
};

pid_t spawn(const ProcessRequest& request, Pipe& out, Pipe& err) {
  std::vector<std::string> argv{request.executable};
  argv.insert(argv.end(), request.arguments.begin(), request.arguments.end());
  std::vector<std::string> env;
  if (request.environment) env = *request.environment;
  auto argvPtrs = cStrings(argv);
  auto envPtrs = cStrings(env);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.writeEnd.get(), 1);
  posix_spawn_file_actions_adddup2(&actions, err.writeEnd.get(), 2);

  // The child starts with no blocked signals and default dispositions, whatever
  // this process did to its own, and in a group of its own so that a time-out
  // can kill whatever it started too.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attr, &signals);
  for (int s : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD}) sigaddset(&signals, s);
  posix_spawnattr_setsigdefault(&attr, &signals);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, request.executable.c_str(), &actions, &attr, argvPtrs.data(),
                               request.environment ? envPtrs.data() : environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  out.writeEnd.reset();
  err.writeEnd.reset();
  if (rc != 0)
    throw ProcessError(
        "Couldn't start " + TextTrim::writtenOut(request.executable) + ": " + std::strerror(rc),
        rc);
  return pid;
}

struct Stream {
  FileDescriptor* fd;
  std::string* data;
  bool* truncated;
};

// Reads what is waiting on one pipe. False once the pipe is at its end.
bool readSome(Stream& s, size_t limit) {
  char buffer[65536];
  const ssize_t n = ::read(s.fd->get(), buffer, sizeof buffer);
  if (n < 0) return errno == EINTR || errno == EAGAIN;
  if (n == 0) return false;
  const size_t room = limit > s.data->size() ? limit - s.data->size() : 0;
  const size_t keep = std::min(room, static_cast<size_t>(n));
  s.data->append(buffer, keep);
  if (keep < static_cast<size_t>(n)) *s.truncated = true;
  return true;
}

// Milliseconds until the deadline for poll(): -1 without one, 0 once passed.
int pollTimeout(const std::optional<Clock::time_point>& deadline) {
  if (!deadline) return -1;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
  return left.count() <= 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 1 << 30));
}

// Drains both pipes until each is at its end. False when the deadline passed.
bool drain(Stream (&streams)[2], size_t limit, const std::optional<Clock::time_point>& deadline) {
  while (streams[0].fd->get() >= 0 || streams[1].fd->get() >= 0) {
    const int timeout = pollTimeout(deadline);
    if (deadline && timeout == 0) return false;
    pollfd fds[2];
    for (int i = 0; i < 2; ++i) fds[i] = {streams[i].fd->get(), POLLIN, 0};
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno != EINTR) return true;  // nothing sane left to wait on
    for (int i = 0; i < 2 && ready > 0; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      if (!readSome(streams[i], limit)) streams[i].fd->reset();
    }
  }
  return true;
}

bool reap(pid_t pid, int& status, bool block) {
  for (;;) {
    const pid_t r = ::waitpid(pid, &status, block ? 0 : WNOHANG);
    if (r == pid) return true;
    if (r < 0 && errno == EINTR) continue;
    return false;
  }
}

// Waits for the child after its pipes closed; a child that closed them and
// kept running still answers to the deadline.
bool waitForExit(pid_t pid, int& status, const std::optional<Clock::time_point>& deadline) {
  if (!deadline) return reap(pid, status, true);
  while (Clock::now() < *deadline) {
    if (reap(pid, status, false)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return reap(pid, status, false);
}

}  // namespace

ProcessResult ProcessRunner::run(const ProcessRequest& request) {
  Pipe out, err;
  openPipe(out);
  openPipe(err);
  std::optional<Clock::time_point> deadline;
  if (request.timeLimit.count() > 0) deadline = Clock::now() + request.timeLimit;

  const pid_t pid = spawn(request, out, err);
  ChildGuard guard(pid);
  ProcessResult result;
  Stream streams[2] = {{&out.readEnd, &result.standardOutput, &result.outputTruncated},
                       {&err.readEnd, &result.standardError, &result.errorTruncated}};
  int status = 0;
  const bool finished =
      drain(streams, request.outputLimit, deadline) && waitForExit(pid, status, deadline);
  if (!finished) {
    // The guard kills the whole group and reaps the child.
    out.readEnd.reset();
    err.readEnd.reset();
    result.ending = ProcessResult::Ending::timedOut;
    result.status = SIGKILL;
    return result;
  }
  guard.release();
  if (WIFSIGNALED(status)) {
    result.ending = ProcessResult::Ending::signalled;
    result.status = WTERMSIG(status);
  } else {
    result.status = WEXITSTATUS(status);
  }
  return result;
}

std::vector<std::string> ProcessRunner::environmentWith(const std::vector<std::string>& overrides) {
  auto nameOf = [](std::string_view entry) { return entry.substr(0, entry.find('=')); };
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    const std::string_view entry(*e);
    bool replaced = false;
    for (const auto& o : overrides) replaced = replaced || nameOf(o) == nameOf(entry);
    if (!replaced) env.emplace_back(entry);
  }
  env.insert(env.end(), overrides.begin(), overrides.end());
  return env;
}

}  // namespace larkvale
