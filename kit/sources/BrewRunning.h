#pragma once
// The way the check pipeline reaches the Homebrew tool, so that tests and
// other implementations can stand in for it. Implementations must be safe to
// call from any thread.
#include <optional>
#include <string>
#include <vector>

namespace larkvale {

class BrewRunning {
 public:
  virtual ~BrewRunning() = default;

  // The tool's executable; nothing when Homebrew is not installed.
  virtual std::optional<std::string> brewPath() const = 0;

  // Runs the tool with one of the two fixed argument lists and returns what
  // it wrote to standard output. Blocks until the tool has ended. Throws
  // BrewError, or ProcessError when the tool can't be started.
  virtual std::string run(const std::vector<std::string>& arguments) const = 0;
};

}  // namespace larkvale
