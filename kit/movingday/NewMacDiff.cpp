#include "kit/movingday/NewMacDiff.h"

#include <cctype>
#include <unordered_map>

#include "kit/model/Version.h"
#include "kit/sources/Homebrew.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Strings.h"

namespace larkvale {
namespace {

// One app per bundle identifier (any letter case): the newest copy, the
// first one scanned among equals. A linear keep-or-replace, never a sort by
// the version order.
std::unordered_map<std::string, const InstalledApp*> indexByBundleID(
    const std::vector<InstalledApp>& installed) {
  std::unordered_map<std::string, const InstalledApp*> index;
  for (const InstalledApp& app : installed) {
    auto [it, added] = index.try_emplace(Strings::asciiLowercased(app.bundleID), &app);
    if (!added && Version::compare(it->second->version, app.version) == -1) it->second = &app;
  }
  return index;
}

}  // namespace

NewMacDiff::NewMacDiff(MovingManifest m, std::filesystem::path f,
                       const std::vector<InstalledApp>& installed,
                       const std::filesystem::path& home, std::stop_token stop)
    : manifest(std::move(m)), folder(std::move(f)) {
  auto index = indexByBundleID(installed);
  for (const auto& app : manifest.apps) {
    Cancelled::check(stop);
    auto it = index.find(Strings::asciiLowercased(app.bundleID));
    if (it == index.end()) {
      missingApps.push_back({app, std::nullopt});
      continue;
    }
    const std::string& here = it->second->version;
    bool older = Version::hasNumber(app.version) && Version::compare(here, app.version) == -1;
    (older ? olderApps : presentApps).push_back({app, here});
  }
  for (const auto& setting : manifest.settings) {
    Cancelled::check(stop);
    SettingLine line{setting, setting.copyIn(folder), false};
    line.copyExists = line.copy && FileSystem::exists(*line.copy);
    auto place = setting.placeIn(home);
    bool here = place && FileSystem::exists(*place);
    (here ? presentSettings : missingSettings).push_back(std::move(line));
  }
}

bool NewMacDiff::isComplete() const {
  return missingApps.empty() && olderApps.empty() && missingSettings.empty();
}

std::optional<std::string> NewMacDiff::brewInstallCommand() const {
  std::string tokens;
  for (const auto& line : missingApps) {
    if (!line.app.caskToken || !Homebrew::isCaskToken(*line.app.caskToken)) continue;
    tokens += " " + *line.app.caskToken;
  }
  if (tokens.empty()) return std::nullopt;
  return "brew install --cask" + tokens;
}

}  // namespace larkvale
