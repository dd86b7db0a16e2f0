#pragma once
// Fakes of every service the application model is handed. Each answers from
// a prepared "next answer" and records how it was called. Fakes called from
// the model's worker threads guard themselves; the others are main-thread
// only, like the model.
#include <QFuture>
#include <QPromise>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/model/AppServices.h"
#include "app/shell/ShellActions.h"

namespace larkvale::test {

// Holds the first call that reaches it until opened (or until the caller's
// stop is requested); later calls pass. Arm it before the call.
class Gate {
 public:
  void arm();
  void open();
  // Blocks while armed and not opened; true when the caller was held.
  bool pass(std::stop_token stop = {});
  // Runs the event loop of the calling (main) thread until a caller waits.
  bool waitUntilHeld();

 private:
  std::mutex mutex_;
  std::condition_variable_any changed_;
  bool armed_ = false;
  bool opened_ = false;
  bool held_ = false;
};

class FakeClock final : public Clock {
 public:
  Date current = Date{std::chrono::seconds(1'800'000'000)};
  Date now() override { return current; }
  void advance(std::chrono::seconds by) { current += by; }
};

class FakeStore final : public StateStorage {
 public:
  AppState next;                        // what load() answers
  std::vector<AppState> saved;          // every save, in order
  std::optional<std::string> failSave;  // save throws Error with this text
  AppState load(Date) override { return next; }
  void save(const AppState& state) override;
};

class FakeScanner final : public AppScanning {
 public:
  Gate scanGate;
  Gate sandboxGate;
  std::vector<InstalledApp> apps() const;
  void setApps(std::vector<InstalledApp> apps);
  // The bundles that answer sandboxed; every other one answers not.
  void setSandboxed(std::set<std::filesystem::path> bundles);
  int scans() const { return scans_; }
  std::vector<InstalledApp> scan(std::stop_token stop) override;
  std::optional<bool> isSandboxed(const std::filesystem::path& bundle) override;

 private:
  mutable std::mutex mutex_;
  std::vector<InstalledApp> apps_;
  std::set<std::filesystem::path> sandboxed_;
  std::atomic<int> scans_{0};
};

class FakeChecker final : public UpdateChecking {
 public:
  Gate checkGate;
  std::atomic<bool> sawStop{false};  // a held check ended through its stop token
  // The report check() answers; its updates are taken as given.
  void setReport(CheckReport report);
  // (done, total) calls made, in this order, before answering.
  void setProgressScript(std::vector<WorkProgress> script);
  void setSources(std::vector<AppUpdate> sources);
  std::optional<std::string> failClear;  // clearSaved throws Error with this text
  int checks() const { return checks_; }
  std::optional<CheckOptions> lastOptions() const;
  std::vector<std::chrono::seconds> prunes() const;
  int clears = 0;

  CheckReport check(const std::vector<InstalledApp>& apps, const CheckOptions& options,
                    const Progress& progress, std::stop_token stop) override;
  std::vector<AppUpdate> listSources(const std::vector<InstalledApp>& apps,
                                     std::stop_token stop) override;
  void pruneSaved(std::chrono::seconds age) override;
  void clearSaved() override;

 private:
  mutable std::mutex mutex_;
  CheckReport report_;
  std::vector<WorkProgress> script_;
  std::vector<AppUpdate> sources_;
  std::optional<CheckOptions> lastOptions_;
  std::vector<std::chrono::seconds> prunes_;
  std::atomic<int> checks_{0};
};

class FakeHost final : public HostFacts {
 public:
  std::optional<std::string> name = "Test Mac";
  std::optional<std::string> version = "15.1.0";
  std::filesystem::path running = "/Applications/Larkvale.app";
  std::optional<std::string> macName() override { return name; }
  std::optional<std::string> systemVersion() override { return version; }
  std::filesystem::path runningPath() override { return running; }
};

class FakeBadge final : public Badge {
 public:
  std::vector<int> counts;
  void setCount(int count) override { counts.push_back(count); }
};

class FakeNotifications final : public Notifications {
 public:
  struct Posted {
    std::string identifier, title, body;
    friend bool operator==(const Posted&, const Posted&) = default;
  };
  // The next answer to requestPermission(); nothing leaves the request open
  // until answer() is called.
  std::optional<bool> nextAnswer = true;
  // What every post() answers: whether a notification service took it. A
  // post is recorded either way.
  bool serviceThere = true;
  std::vector<Posted> posted;
  std::vector<std::string> withdrawn;
  int requests = 0;
  QFuture<bool> requestPermission() override;
  QFuture<bool> post(const std::string& identifier, const std::string& title,
                     const std::string& body) override;
  void withdraw(const std::string& identifier) override { withdrawn.push_back(identifier); }
  // Answers (true/false) or fails (nothing) the open request.
  void answer(std::optional<bool> granted);

 private:
  std::unique_ptr<QPromise<bool>> open_;
};

class FakeLoginItem final : public LoginItem {
 public:
  bool enabled = false;
  std::optional<std::string> refuse;  // setEnabled throws LoginItemError with this text
  bool isEnabled() override { return enabled; }
  void setEnabled(bool on) override;
};

class FakeClipboard final : public Clipboard {
 public:
  std::vector<QString> texts;
  void setText(const QString& text) override { texts.push_back(text); }
};

class FakePanels final : public Panels {
 public:
  std::deque<std::optional<std::filesystem::path>> nextOpen;  // empty answers nothing
  std::deque<std::optional<std::filesystem::path>> nextSave;
  std::vector<Open> opens;
  std::vector<Save> saves;
  std::optional<std::filesystem::path> chooseOpen(const Open& request) override;
  std::optional<std::filesystem::path> chooseSave(const Save& request) override;
};

class FakeWorkspace final : public DesktopWorkspace {
 public:
  std::vector<std::string> running;
  std::vector<std::string> opened;
  std::vector<std::filesystem::path> revealed;
  Gate runningGate;
  Failure failure;  // what every open and reveal answers
  QFuture<Failure> openUrl(const std::string& url) override { return note(opened, url); }
  QFuture<Failure> reveal(const std::filesystem::path& path) override {
    return note(revealed, path);
  }
  QFuture<Failure> note(auto& list, const auto& item) {
    list.push_back(item);
    return QtFuture::makeReadyFuture(failure);
  }
  std::vector<std::string> runningBundleIdentifiers() override {
    runningGate.pass();
    return running;
  }
};

class FakeVolumes final : public VolumeProbe {
 public:
  std::optional<bool> internal = false;
  std::optional<bool> isInternal(const std::filesystem::path&) override { return internal; }
};

class FakeTerminal final : public TerminalHandoff {
 public:
  struct Call {
    std::vector<std::string> tokens, names;
    bool greedy = false;
    std::filesystem::path cacheFolder;
    friend bool operator==(const Call&, const Call&) = default;
  };
  std::vector<Call> calls;
  std::optional<std::string> fail;  // throws Error with this text
  bool noTerminal = false;          // throws TerminalError, as when no terminal program starts
  void openBrewScript(const std::vector<std::string>& tokens, const std::vector<std::string>& names,
                      bool greedy, const std::filesystem::path& cacheFolder) override;
};

class FakeMenuPress final : public MenuPress {
 public:
  Gate gate;
  std::atomic<bool> trusted{false};
  void setNext(MenuPressResult result);
  std::vector<std::filesystem::path> presses() const;
  MenuPressResult press(const std::filesystem::path& bundle) override;
  bool isTrusted() override { return trusted; }

 private:
  mutable std::mutex mutex_;
  MenuPressResult next_ = MenuPressResult::pressed();
  std::vector<std::filesystem::path> presses_;
};

class FakeOwnUpdater final : public OwnUpdater {
 public:
  int checks = 0;
  void checkForUpdates() override { ++checks; }
};

// One of each, wired into AppServices.
struct Fakes {
  ModelFolders folders;
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
  std::shared_ptr<FakeStore> store = std::make_shared<FakeStore>();
  std::shared_ptr<FakeScanner> scanner = std::make_shared<FakeScanner>();
  std::shared_ptr<FakeChecker> checker = std::make_shared<FakeChecker>();
  std::shared_ptr<FakeHost> host = std::make_shared<FakeHost>();
  std::shared_ptr<FakeBadge> badge = std::make_shared<FakeBadge>();
  std::shared_ptr<FakeNotifications> notifications = std::make_shared<FakeNotifications>();
  std::shared_ptr<FakeLoginItem> loginItem = std::make_shared<FakeLoginItem>();
  std::shared_ptr<FakeClipboard> clipboard = std::make_shared<FakeClipboard>();
  std::shared_ptr<FakePanels> panels = std::make_shared<FakePanels>();
  std::shared_ptr<FakeWorkspace> workspace = std::make_shared<FakeWorkspace>();
  std::shared_ptr<FakeVolumes> volumes = std::make_shared<FakeVolumes>();
  std::shared_ptr<FakeTerminal> terminal = std::make_shared<FakeTerminal>();
  std::shared_ptr<FakeMenuPress> menuPress = std::make_shared<FakeMenuPress>();
  std::shared_ptr<FakeOwnUpdater> ownUpdater = std::make_shared<FakeOwnUpdater>();

  AppServices services() const;
};

// A shell whose windows and commands do nothing, for menus shown without one.
class NoShellActions : public ShellActions {
 public:
  void openMainWindow() override {}
  void openHelp() override {}
  void showMoreApps() override {}
  void showAbout() override {}
  void checkOwnUpdates() override {}
  void quit() override {}
};

}  // namespace larkvale::test
