#include "kit/model/OwnApp.h"

#include <algorithm>

#include "kit/model/Version.h"
#include "platform/FileSystem.h"

namespace larkvale::OwnApp {
namespace {

// The copy of the program that stays when a scan finds several.
const InstalledApp* chooseKeeper(const std::vector<const InstalledApp*>& copies,
                                 const std::optional<std::string>& runningPath) {
  if (runningPath && !runningPath->empty()) {
    const std::string running = FileSystem::resolveLinks(*runningPath).string();
    for (const InstalledApp* copy : copies) {
      if (FileSystem::resolveLinks(copy->path).string() == running) return copy;
    }
  }
  // A linear best-so-far scan: the version order is not transitive, so it
  // can't serve as a sort comparator.
  const InstalledApp* keeper = copies.front();
  for (size_t i = 1; i < copies.size(); ++i) {
    const InstalledApp* copy = copies[i];
    int order = Version::compare(keeper->build, copy->build);
    if (order == -1 || (order == 0 && copy->path < keeper->path)) keeper = copy;
  }
  return keeper;
}

}  // namespace

const std::set<std::string, std::less<>>& bundleIDs() {
  static const std::set<std::string, std::less<>> ids{"com.tarn4820.Larkvale",
                                                      "com.tarn4820.Larkvale.debug"};
  return ids;
}

bool isOwn(std::string_view bundleID) {
  return bundleIDs().contains(bundleID);
}

std::vector<InstalledApp> keepOneOwnCopy(std::vector<InstalledApp> apps,
                                         const std::optional<std::string>& runningPath) {
  std::vector<const InstalledApp*> copies;
  for (const InstalledApp& app : apps) {
    if (isOwn(app.bundleID)) copies.push_back(&app);
  }
  if (copies.size() < 2) return apps;
  const std::string keeperPath = chooseKeeper(copies, runningPath)->path;
  std::erase_if(
      apps, [&](const InstalledApp& app) { return isOwn(app.bundleID) && app.path != keeperPath; });
  return apps;
}

}  // namespace larkvale::OwnApp
