#pragma once
// Runs a child process to its end and collects what it writes.
//
// The child gets exactly the argument list and environment given, reads its
// standard input from /dev/null and writes standard output and standard error
// into two pipes that are drained together, so a child that fills one pipe
// while the caller waits on the other cannot deadlock. Every pipe end the
// parent holds is close-on-exec, so concurrent spawns from other threads
// never inherit them. The child leads a process group of its own; when the
// time limit passes, the whole group is killed.
//
// run blocks the calling thread until the child has ended (or been killed)
// and been reaped. Callable from any thread; nothing is shared between calls.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/Error.h"

namespace larkvale {

// The child could not be started (no such file, not executable, out of
// processes …); what() names the executable and the system's reason.
class ProcessError : public Error {
 public:
  ProcessError(const std::string& text, int code) : Error(text), code_(code) {}
  int code() const { return code_; }  // errno of the failed start

 private:
  int code_;
};

struct ProcessRequest {
  std::string executable;              // a path; the search path is not consulted
  std::vector<std::string> arguments;  // without the program name
  // "NAME=value" entries; nothing inherits this process's environment.
  std::optional<std::vector<std::string>> environment;
  // Zero means no limit. Once it passes, the child's group gets SIGKILL and
  // the result says timedOut.
  std::chrono::milliseconds timeLimit{0};
  // Bytes kept of each stream; the rest is read and dropped (see truncated).
  size_t outputLimit = 64u << 20;
};

struct ProcessResult {
  enum class Ending { exited, signalled, timedOut };
  Ending ending = Ending::exited;
  int status = 0;  // exit status, or the signal that ended the child
  std::string standardOutput;
  std::string standardError;
  bool outputTruncated = false;
  bool errorTruncated = false;

  bool succeeded() const { return ending == Ending::exited && status == 0; }
};

namespace ProcessRunner {

// Throws ProcessError when the child can't be started; everything after a
// successful start is reported in the result.
ProcessResult run(const ProcessRequest& request);

// This process's environment with the given "NAME=value" entries set,
// replacing any entry of the same name.
std::vector<std::string> environmentWith(const std::vector<std::string>& overrides);

}  // namespace ProcessRunner
}  // namespace larkvale
