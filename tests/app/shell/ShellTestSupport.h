#pragma once
// Small builders shared by the shell's tests: reports and a model holding
// one, and a ShellActions that records what the menus asked for.
#include <QStringList>
#include <memory>

#include "app/model/AppModel.h"
#include "app/shell/ShellActions.h"

namespace larkvale::test {

inline AppUpdate update(const std::string& name, UpdateSource source = UpdateSource::unknown(),
                        UpdateStatus status = UpdateStatus::updateAvailable(),
                        std::optional<std::string> latest = "2.0") {
  AppUpdate u;
  u.app.path = "/Applications/" + name + ".app";
  u.app.name = name;
  u.app.bundleID = "com.example." + name;
  u.app.version = "1.0";
  u.source = std::move(source);
  u.status = std::move(status);
  u.latestVersion = std::move(latest);
  return u;
}

inline AppState stateWith(std::vector<AppUpdate> updates) {
  AppState state;
  state.lastReport = CheckReport{std::chrono::system_clock::now(), std::move(updates), true, {}};
  return state;
}

// `count` waiting updates named App1, App2 … whose source is a Homebrew cask.
inline std::vector<AppUpdate> waiting(int count) {
  std::vector<AppUpdate> updates;
  for (int i = 1; i <= count; ++i) {
    std::string name = "App" + std::to_string(i);
    updates.push_back(update(name, UpdateSource::homebrew("app" + std::to_string(i))));
  }
  return updates;
}

// A model with no outside services: enough for its values and derived lists.
inline std::unique_ptr<AppModel> bareModel() {
  return std::make_unique<AppModel>(AppServices{});
}

class RecordingShell : public ShellActions {
 public:
  QStringList calls;
  void openMainWindow() override { calls << "openMainWindow"; }
  void openHelp() override { calls << "openHelp"; }
  void showMoreApps() override { calls << "showMoreApps"; }
  void showAbout() override { calls << "showAbout"; }
  void checkOwnUpdates() override { calls << "checkOwnUpdates"; }
  void quit() override { calls << "quit"; }
};

}  // namespace larkvale::test
