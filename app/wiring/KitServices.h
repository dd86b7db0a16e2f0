#pragma once
// The model's services that the logic library and the platform layer carry
// out by themselves, with no toolkit: scanning the application folders,
// checking for updates through the one fetcher, the state file, the
// Terminal hand-off, pressing another app's update item, and the clock.
// The running app hands these to AppModel; tests hand in fakes instead.
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/model/AppServices.h"
#include "kit/model/StateStore.h"
#include "kit/sources/PoliteFetcher.h"
#include "kit/sources/ServiceHosts.h"
#include "platform/Accessibility.h"
#include "platform/Terminal.h"
#include "platform/Workspace.h"

namespace larkvale {

// Where Homebrew is; asked afresh for every check, as it may be installed
// while the app runs.
using BrewFinder = std::function<std::optional<std::string>()>;
BrewFinder systemBrewFinder();

class SystemClock final : public Clock {
 public:
  Date now() override { return std::chrono::system_clock::now(); }
};

// Scans the given folders. Any thread.
class KitAppScanning final : public AppScanning {
 public:
  KitAppScanning(std::vector<std::filesystem::path> roots, std::optional<std::string> runningPath);
  // "/Applications" and the home folder's "Applications".
  static std::shared_ptr<KitAppScanning> forHome(const std::filesystem::path& home,
                                                 std::optional<std::string> runningPath);

  std::vector<InstalledApp> scan(std::stop_token stop) override;
  std::optional<bool> isSandboxed(const std::filesystem::path& bundle) override;

 private:
  std::vector<std::filesystem::path> roots_;
  std::optional<std::string> runningPath_;
};

// Checks through the app's one PoliteFetcher, kept in folders.http() and made
// on first use. Any thread; checks may overlap.
class KitUpdateChecking final : public UpdateChecking {
 public:
  struct Options {
    ServiceHosts hosts;  // the real services unless pointed elsewhere
    BrewFinder findBrew = systemBrewFinder();
    std::chrono::milliseconds spacing{1000};  // between two requests to one host
  };

  KitUpdateChecking(ModelFolders folders, Options options);
  explicit KitUpdateChecking(ModelFolders folders) : KitUpdateChecking(std::move(folders), {}) {}

  CheckReport check(const std::vector<InstalledApp>& apps, const CheckOptions& options,
                    const Progress& progress, std::stop_token stop) override;
  std::vector<AppUpdate> listSources(const std::vector<InstalledApp>& apps,
                                     std::stop_token stop) override;
  // Walks the saved answers at most once per kPruneInterval: answers live
  // for weeks, and a walk reads every one of them, as much disk work as a
  // check of saved answers itself.
  void pruneSaved(std::chrono::seconds age) override;
  void clearSaved() override;

  static constexpr std::chrono::hours kPruneInterval{24};

 private:
  PoliteFetcher& fetcher();

  ModelFolders folders_;
  Options options_;
  std::mutex mutex_;  // guards the making of fetcher_ and lastPrune_
  std::unique_ptr<PoliteFetcher> fetcher_;
  std::optional<std::chrono::steady_clock::time_point> lastPrune_;
};

// The state file "state.json" in a folder.
//
// readAhead() starts reading the file on a worker thread, so that a start
// builds what needs no state while it is read; the next load() takes that
// reading (waiting for it if need be). A save waits for a reading still
// under way, so the two never run at the same time, and drops it: the next
// load reads what was saved.
class KitStateStorage final : public StateStorage {
 public:
  explicit KitStateStorage(std::filesystem::path folder) : store_(std::move(folder)) {}
  ~KitStateStorage() override;
  void readAhead();
  // Returns once a reading ahead, if any, has finished, and leaves it for the
  // next load(); for a caller that must know the file has been read (a test
  // of what a later save does to the reading).
  void waitForReadAhead() const;
  AppState load(Date now) override;
  void save(const AppState& state) override;

 private:
  StateStore store_;
  std::future<AppState> ahead_;
};

// Writes the upgrade script and opens it in a terminal window.
class KitTerminalHandoff final : public TerminalHandoff {
 public:
  explicit KitTerminalHandoff(
      std::shared_ptr<Terminal> terminal = std::make_shared<SystemTerminal>(),
      BrewFinder findBrew = systemBrewFinder());
  void openBrewScript(const std::vector<std::string>& tokens, const std::vector<std::string>& names,
                      bool greedy, const std::filesystem::path& cacheFolder) override;

 private:
  std::shared_ptr<Terminal> terminal_;
  BrewFinder findBrew_;
};

// Opens an app and presses its update item where Accessibility allows. Any
// thread; one press at a time (later ones wait their turn).
class KitMenuPress final : public MenuPress {
 public:
  explicit KitMenuPress(
      std::shared_ptr<Workspace> workspace = std::make_shared<SystemWorkspace>(),
      std::shared_ptr<Accessibility> accessibility = std::make_shared<SystemAccessibility>());
  MenuPressResult press(const std::filesystem::path& bundle) override;
  bool isTrusted() override { return accessibility_->isProcessTrusted(); }

 private:
  std::mutex pressing_;
  std::shared_ptr<Workspace> workspace_;
  std::shared_ptr<Accessibility> accessibility_;
};

}  // namespace larkvale
