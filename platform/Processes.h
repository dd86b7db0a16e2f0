#pragma once
// The processes running on this system, as the proc file system lists them.
// Reading never throws; a process that ends while it is read, or whose
// details this user may not see, gives what could be read. Any thread.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace larkvale {

struct RunningProcess {
  int pid = 0;
  // The kernel's short command name ("comm", at most 15 bytes).
  std::string name;
  // The program file it runs; nothing when the link can't be read (another
  // user's process, a kernel thread).
  std::optional<std::filesystem::path> executable;

  friend bool operator==(const RunningProcess&, const RunningProcess&) = default;
};

namespace Processes {

// Every process under `procRoot` (the numbered folders), in no set order.
// Empty when the folder can't be listed.
std::vector<RunningProcess> list(const std::filesystem::path& procRoot = "/proc");

// The program file of the process whose proc folder this is ("/proc/self"
// for this one), as it was when the process started: a program replaced
// since then still gives its path. Nothing when the link can't be read.
std::optional<std::filesystem::path> executable(const std::filesystem::path& processFolder);

// The application bundle whose program this is, for a program at
// ".../Name.app/Contents/MacOS/program"; nothing otherwise.
std::optional<std::filesystem::path> bundleOf(const std::filesystem::path& program);

}  // namespace Processes
}  // namespace larkvale
