#pragma once
// Starting a program the way a desktop launches one: detached from this
// process, so that it outlives us, never becomes our zombie and holds none of
// our files or our working folder. Used by the workspace (applications) and
// the terminal layer. Thread-safe: every call is independent.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Error.h"

namespace larkvale {

// A program could not be started; what() is the system's reason
// ("No such file or directory", "Exec format error" …).
class LaunchError : public Error {
 public:
  using Error::Error;
};

namespace WorkspaceLaunch {

// Starts `program` (a path; no search) with `arguments` (argv[1…]) in a new
// session, with standard input from /dev/null, standard output and error
// shared with this process, the working folder "/", the signal mask cleared
// and every other file descriptor closed. Returns the new process's id once
// the program has replaced the child (the kernel accepted it as something it
// can run); does not wait for it to do anything. Throws LaunchError when the
// program can't be started.
int32_t launchDetached(const std::filesystem::path& program,
                       const std::vector<std::string>& arguments);

// The first executable regular file named `name` in the folders of a
// PATH-style list. Empty and relative folders are ignored (they would make the
// result depend on the working folder). A name containing "/" is not searched.
std::optional<std::filesystem::path> findInSearchPath(std::string_view name,
                                                      std::string_view searchPath);

}  // namespace WorkspaceLaunch
}  // namespace larkvale
