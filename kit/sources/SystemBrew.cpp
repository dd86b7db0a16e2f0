#include "kit/sources/SystemBrew.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "kit/sources/BrewError.h"
#include "platform/FileSystem.h"
#include "platform/ProcessRunner.h"

namespace larkvale {
namespace {

constexpr size_t kErrorTextBytes = 400;
// A real answer is a few megabytes at most; anything past this is not one.
constexpr size_t kOutputLimit = 256u << 20;

std::string joined(const std::vector<std::string>& arguments) {
  std::string out;
  for (const auto& a : arguments) {
    if (!out.empty()) out += ' ';
    out += a;
  }
  return out;
}

std::string timeLimitText(std::chrono::milliseconds limit) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit).count();
  if (seconds >= 1) return "brew didn't finish within " + std::to_string(seconds) + " seconds";
  return "brew didn't finish within " + std::to_string(limit.count()) + " milliseconds";
}

}  // namespace

const std::vector<std::string>& SystemBrew::infoArguments() {
  static const std::vector<std::string> list{"info", "--cask", "--installed", "--json=v2"};
  return list;
}

const std::vector<std::string>& SystemBrew::outdatedArguments() {
  static const std::vector<std::string> list{"outdated", "--cask", "--greedy", "--json=v2"};
  return list;
}

const std::array<std::vector<std::string>, 2>& SystemBrew::allowedArguments() {
  static const std::array<std::vector<std::string>, 2> lists{infoArguments(), outdatedArguments()};
  return lists;
}

const std::vector<std::string>& SystemBrew::defaultCandidates() {
  static const std::vector<std::string> paths{"/opt/homebrew/bin/brew", "/usr/local/bin/brew"};
  return paths;
}

std::optional<std::string> SystemBrew::findBrew(const std::vector<std::string>& candidates) {
  for (const auto& path : candidates)
    if (FileSystem::isExecutableFile(path)) return path;
  return std::nullopt;
}

std::string SystemBrew::run(const std::vector<std::string>& arguments) const {
  if (!brewPath_) throw BrewError::notInstalled();
  const auto& allowed = allowedArguments();
  if (std::find(allowed.begin(), allowed.end(), arguments) == allowed.end())
    throw BrewError::refused(joined(arguments));

  ProcessRequest request;
  request.executable = *brewPath_;
  request.arguments = arguments;
  request.environment = ProcessRunner::environmentWith({
      "HOMEBREW_NO_AUTO_UPDATE=1",
      "HOMEBREW_NO_ANALYTICS=1",
      "HOMEBREW_NO_ENV_HINTS=1",
      "HOMEBREW_NO_INSTALL_CLEANUP=1",
      "PATH=/opt/homebrew/bin:/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin",
  });
  request.timeLimit = timeLimit_;
  request.outputLimit = kOutputLimit;
  ProcessResult result = ProcessRunner::run(request);

  if (result.ending == ProcessResult::Ending::timedOut)
    throw BrewError::failed(-1, timeLimitText(timeLimit_));
  // Cut output is not an answer; parsing half a document would only hide that.
  if (result.outputTruncated)
    throw BrewError::failed(result.status,
                            "brew wrote more than " + std::to_string(kOutputLimit >> 20) + " MB");
  if (result.succeeded() || !result.standardOutput.empty()) return std::move(result.standardOutput);

  std::string text = result.standardError.substr(0, kErrorTextBytes);
  if (!FileSystem::isValidUtf8(text)) text.clear();
  throw BrewError::failed(result.status, std::move(text));
}

}  // namespace larkvale
