#include "app/wiring/KitServices.h"

#include <system_error>
#include <utility>

#include "kit/model/AppScanner.h"
#include "kit/sources/SystemBrew.h"
#include "kit/sources/UpdateChecker.h"
#include "platform/AppFolders.h"
#include "platform/FileRemoval.h"
#include "platform/HttpSession.h"

namespace larkvale {

namespace fs = std::filesystem;

BrewFinder systemBrewFinder() {
  return [] { return SystemBrew::findBrew(); };
}

KitAppScanning::KitAppScanning(std::vector<fs::path> roots, std::optional<std::string> runningPath)
    : roots_(std::move(roots)), runningPath_(std::move(runningPath)) {}

std::shared_ptr<KitAppScanning> KitAppScanning::forHome(const fs::path& home,
                                                        std::optional<std::string> runningPath) {
  return std::make_shared<KitAppScanning>(AppScanner::defaultRoots(home), std::move(runningPath));
}

std::vector<InstalledApp> KitAppScanning::scan(std::stop_token stop) {
  return AppScanner{roots_, runningPath_}.scan(stop);
}

std::optional<bool> KitAppScanning::isSandboxed(const fs::path& bundle) {
  return AppScanner::isSandboxed(bundle);
}

KitUpdateChecking::KitUpdateChecking(ModelFolders folders, Options options)
    : folders_(std::move(folders)), options_(std::move(options)) {}

PoliteFetcher& KitUpdateChecking::fetcher() {
  std::lock_guard lock(mutex_);
  if (!fetcher_) {
    PoliteFetcher::Options fetchOptions;
    fetchOptions.spacing = options_.spacing;
    fetcher_ = std::make_unique<PoliteFetcher>(makeCurlSession(), folders_.http(), fetchOptions);
  }
  return *fetcher_;
}

CheckReport KitUpdateChecking::check(const std::vector<InstalledApp>& apps,
                                     const CheckOptions& options, const Progress& progress,
                                     std::stop_token stop) {
  SystemBrew brew(options_.findBrew());
  return UpdateChecker(fetcher(), &brew, folders_.home, options_.hosts)
      .check(apps, options, progress, stop);
}

std::vector<AppUpdate> KitUpdateChecking::listSources(const std::vector<InstalledApp>& apps,
                                                      std::stop_token stop) {
  SystemBrew brew(options_.findBrew());
  return UpdateChecker(fetcher(), &brew, folders_.home, options_.hosts).listSources(apps, stop);
}

void KitUpdateChecking::pruneSaved(std::chrono::seconds age) {
  {
    std::lock_guard lock(mutex_);
    const auto now = std::chrono::steady_clock::now();
    if (lastPrune_ && now - *lastPrune_ < kPruneInterval) return;
    lastPrune_ = now;
  }
  fetcher().pruneSaved(age);
}

void KitUpdateChecking::clearSaved() {
  std::error_code ec = FileRemoval::removeInside(folders_.caches, folders_.http());
  if (ec) throw FileError(ec.message());
  // The fetcher makes its folder only when it is made; one that already
  // exists would otherwise save nothing more until the app restarts.
  std::lock_guard lock(mutex_);
  if (fetcher_) fs::create_directories(folders_.http(), ec);
}

KitStateStorage::~KitStateStorage() = default;  // a reading under way is waited for

void KitStateStorage::readAhead() {
  if (ahead_.valid()) return;
  ahead_ = std::async(std::launch::async, [store = store_] { return store.load(); });
}

void KitStateStorage::waitForReadAhead() const {
  if (ahead_.valid()) ahead_.wait();
}

AppState KitStateStorage::load(Date now) {
  if (ahead_.valid()) return ahead_.get();
  return store_.load(now);
}

void KitStateStorage::save(const AppState& state) {
  ahead_ = {};  // waits for a reading under way: after this save it is out of date
  store_.save(state);
}

KitTerminalHandoff::KitTerminalHandoff(std::shared_ptr<Terminal> terminal, BrewFinder findBrew)
    : terminal_(std::move(terminal)), findBrew_(std::move(findBrew)) {}

void KitTerminalHandoff::openBrewScript(const std::vector<std::string>& tokens,
                                        const std::vector<std::string>& names, bool greedy,
                                        const fs::path& cacheFolder) {
  // Only the cache folder's own places matter to the script.
  AppFolders folders{UserFolders{}};
  folders.caches = cacheFolder;
  folders.http = cacheFolder / "http";
  folders.terminal = cacheFolder / "terminal";
  openBrewScriptInTerminal(tokens, names, greedy, folders, findBrew_(), *terminal_);
}

KitMenuPress::KitMenuPress(std::shared_ptr<Workspace> workspace,
                           std::shared_ptr<Accessibility> accessibility)
    : workspace_(std::move(workspace)), accessibility_(std::move(accessibility)) {}

MenuPressResult KitMenuPress::press(const fs::path& bundle) {
  // Accessibility requests must come from one thread at a time.
  std::lock_guard lock(pressing_);
  return pressCheckForUpdates(bundle, *workspace_, *accessibility_);
}

}  // namespace larkvale
