#pragma once
// The Homebrew tool installed on this machine. Holds only its path, so it is
// freely shared between threads.
#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "kit/sources/BrewRunning.h"

namespace larkvale {

class SystemBrew : public BrewRunning {
 public:
  // The only two argument lists the tool is ever run with; both only read.
  static const std::vector<std::string>& infoArguments();
  static const std::vector<std::string>& outdatedArguments();
  static const std::array<std::vector<std::string>, 2>& allowedArguments();

  // Where Homebrew installs itself; the search path is never consulted.
  static const std::vector<std::string>& defaultCandidates();

  // A hung tool must not hold up every later check: past this it is killed
  // and the run reported as failed.
  static constexpr std::chrono::milliseconds kTimeLimit{120'000};

  // The first candidate that is an executable regular file (links followed).
  static std::optional<std::string> findBrew(
      const std::vector<std::string>& candidates = defaultCandidates());

  explicit SystemBrew(std::optional<std::string> brewPath,
                      std::chrono::milliseconds timeLimit = kTimeLimit)
      : brewPath_(std::move(brewPath)), timeLimit_(timeLimit) {}

  std::optional<std::string> brewPath() const override { return brewPath_; }

  // notInstalled without a path (checked first); refused for any list but the
  // two allowed ones, before anything is started; ProcessError when the tool
  // can't be started. Standard output is returned when the tool exits with 0
  // or wrote anything there; otherwise failed with the exit status (or the
  // signal that ended it) and the first 400 bytes of standard error (empty
  // when those bytes are not valid UTF-8). A run past the time limit is
  // killed and gives failed(-1, "brew didn't finish within 120 seconds").
  std::string run(const std::vector<std::string>& arguments) const override;

 private:
  std::optional<std::string> brewPath_;
  std::chrono::milliseconds timeLimit_;
};

}  // namespace larkvale
