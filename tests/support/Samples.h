#pragma once
// Apps, updates and states built in memory, shared by the app's tests.
#include <string>
#include <vector>

#include "kit/model/AppState.h"
#include "kit/model/CheckReport.h"

namespace larkvale::test {

inline InstalledApp app(const std::string& name, const std::string& bundleID = "",
                        const std::string& version = "1.0") {
  InstalledApp a;
  a.path = "/Applications/" + name + ".app";
  a.name = name;
  a.bundleID = bundleID.empty() ? "com.example." + name : bundleID;
  a.version = a.build = version;
  return a;
}

inline AppUpdate update(const std::string& name,
                        UpdateStatus status = UpdateStatus::updateAvailable(),
                        UpdateSource source = UpdateSource::sparkle("https://example.com/f.xml"),
                        std::optional<std::string> latest = "2.0") {
  AppUpdate u;
  u.app = app(name);
  u.source = std::move(source);
  u.status = std::move(status);
  u.latestVersion = std::move(latest);
  return u;
}

// A waiting update from a Homebrew cask.
inline AppUpdate cask(const std::string& name, const std::string& token, bool autoUpdates = false) {
  AppUpdate u = update(name, UpdateStatus::updateAvailable(), UpdateSource::homebrew(token));
  u.caskAutoUpdates = autoUpdates;
  return u;
}

// `count` waiting casks named App1, App2 …
inline std::vector<AppUpdate> waitingCasks(int count) {
  std::vector<AppUpdate> updates;
  for (int i = 1; i <= count; ++i) {
    updates.push_back(cask("App" + std::to_string(i), "app" + std::to_string(i)));
  }
  return updates;
}

// A state whose last report holds these updates.
inline AppState stateWith(std::vector<AppUpdate> updates,
                          Date date = std::chrono::system_clock::now()) {
  AppState state;
  state.lastReport = CheckReport{date, std::move(updates), true, {}};
  return state;
}

}  // namespace larkvale::test
