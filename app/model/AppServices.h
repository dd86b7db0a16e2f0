#pragma once
// Everything the application model does to the world outside its own memory
// goes through one of these narrow interfaces, handed in as one struct. The
// running app wires the Linux implementations (app/desktop, platform); tests
// hand in fakes (tests/support/FakeServices.h).
//
// Threads: unless an interface says otherwise, the model calls it on the main
// thread. Interfaces marked "any thread" are called from the model's worker
// pool and must guard themselves.
#include <QFuture>
#include <QString>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "app/Handoffs.h"
#include "kit/model/AppState.h"
#include "kit/model/CheckReport.h"
#include "kit/model/InstalledApp.h"
#include "kit/model/WorkProgress.h"
#include "kit/sources/CheckOptions.h"
#include "platform/Dates.h"
#include "platform/Error.h"

namespace larkvale {

// The wall clock. Timers run on Qt's own clock; only "now" is injected.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual Date now() = 0;
};

// The saved document's file.
class StateStorage {
 public:
  virtual ~StateStorage() = default;
  // Never fails: a missing, unreadable or damaged file gives the defaults.
  virtual AppState load(Date now) = 0;
  // Throws Error (what() is the sentence for the user) when it can't write.
  virtual void save(const AppState& state) = 0;
};

// Lists the installed apps. Any thread.
class AppScanning {
 public:
  virtual ~AppScanning() = default;
  // Sorted by name; never fails. Throws Cancelled when `stop` is requested.
  virtual std::vector<InstalledApp> scan(std::stop_token stop) = 0;
  // Whether the bundle is sandboxed; nothing when its signature can't be read.
  virtual std::optional<bool> isSandboxed(const std::filesystem::path& bundle) = 0;
};

// Asks the update sources. Any thread.
class UpdateChecking {
 public:
  virtual ~UpdateChecking() = default;
  using Progress = ProgressCallback;
  // Never fails apart from Cancelled.
  virtual CheckReport check(const std::vector<InstalledApp>& apps, const CheckOptions& options,
                            const Progress& progress, std::stop_token stop) = 0;
  // The source each app would be asked, with no web request.
  virtual std::vector<AppUpdate> listSources(const std::vector<InstalledApp>& apps,
                                             std::stop_token stop) = 0;
  // Deletes saved answers older than `age`; errors are ignored.
  virtual void pruneSaved(std::chrono::seconds age) = 0;
  // Deletes every saved answer (the folder "http" of the cache folder); none
  // saved is no error. Throws Error with the system's description when the
  // folder can't be removed.
  virtual void clearSaved() = 0;
};

// Facts about this computer.
class HostFacts {
 public:
  virtual ~HostFacts() = default;
  // The computer's name as people know it; nothing when none can be read.
  virtual std::optional<std::string> macName() = 0;
  // "major.minor.patch" of the system; nothing when it isn't known.
  virtual std::optional<std::string> systemVersion() = 0;
  // The running app's own bundle (or executable) path, to tell which copy of
  // the program is the one running.
  virtual std::filesystem::path runningPath() = 0;
};

// The count of waiting updates on the app's launcher icon.
class Badge {
 public:
  virtual ~Badge() = default;
  // 0 shows no badge.
  virtual void setCount(int count) = 0;
};

// The desktop's notifications.
class Notifications {
 public:
  virtual ~Notifications() = default;
  // Asks for permission to show alerts with sound. The future gives true when
  // granted; false when refused or when the request failed.
  virtual QFuture<bool> requestPermission() = 0;
  // Posts (or replaces) the notification with this identifier. The future
  // gives true once the desktop's notification service has taken it, false
  // when there is no such service or it refused; it never holds an error,
  // and a caller that doesn't care may drop it.
  virtual QFuture<bool> post(const std::string& identifier, const std::string& title,
                             const std::string& body) = 0;
  // Takes back the notification with this identifier, posted or on its way,
  // once what it said no longer holds; nothing when there is none. A post
  // not yet sent goes unsent, and its future gives true.
  virtual void withdraw(const std::string& identifier) = 0;
};

class LoginItemError : public Error {
 public:
  using Error::Error;
};

// Starting the app when the user logs in.
class LoginItem {
 public:
  virtual ~LoginItem() = default;
  virtual bool isEnabled() = 0;
  // Throws LoginItemError with the system's description when it can't.
  virtual void setEnabled(bool on) = 0;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content with plain text.
  virtual void setText(const QString& text) = 0;
};

// The modal open and save panels. Each answers nothing when cancelled.
class Panels {
 public:
  virtual ~Panels() = default;
  struct Open {
    bool folders = true;
    bool files = false;
    bool canCreateFolders = false;
    std::vector<std::string> fileSuffixes;  // files the panel accepts, e.g. "json"
    QString prompt;                         // the confirm button's title
    QString message;
  };
  struct Save {
    QString proposedName;
    std::vector<std::string> fileSuffixes;  // e.g. "pdf", or "md"
  };
  virtual std::optional<std::filesystem::path> chooseOpen(const Open& request) = 0;
  virtual std::optional<std::filesystem::path> chooseSave(const Save& request) = 0;
};

// The desktop's shell: links, the file manager, running apps.
class DesktopWorkspace {
 public:
  virtual ~DesktopWorkspace() = default;
  // Why the desktop could not open something: a sentence for the user that
  // says what failed and what to do instead. Nothing once it was opened.
  using Failure = std::optional<std::string>;
  // Opens a web link in the desktop's browser. The future finishes once the
  // desktop has taken the link or failed to; never throws.
  virtual QFuture<Failure> openUrl(const std::string& url) = 0;
  // Shows the file or folder selected in the file manager (else opens the
  // folder that holds it). The future as for openUrl.
  virtual QFuture<Failure> reveal(const std::filesystem::path& path) = 0;
  // Bundle identifiers of the running applications (as known; any case).
  // Called on the model's worker threads, possibly more than one at once.
  virtual std::vector<std::string> runningBundleIdentifiers() = 0;
};

// Where a chosen destination folder lives.
class VolumeProbe {
 public:
  virtual ~VolumeProbe() = default;
  // Whether the folder lies on an internal disk; nothing when unknown.
  virtual std::optional<bool> isInternal(const std::filesystem::path& folder) = 0;
};

// Hands a Homebrew cask upgrade to a terminal window.
class TerminalHandoff {
 public:
  virtual ~TerminalHandoff() = default;
  // Writes the script into `cacheFolder`/terminal and opens it. Throws Error
  // (what() is the sentence for the user) when it can't, TerminalError when
  // it could write the script but no terminal program started.
  virtual void openBrewScript(const std::vector<std::string>& tokens,
                              const std::vector<std::string>& names, bool greedy,
                              const std::filesystem::path& cacheFolder) = 0;
};

// Opens an app and presses its "Check for Updates…" item. Any thread; may
// block for several seconds.
class MenuPress {
 public:
  virtual ~MenuPress() = default;
  virtual MenuPressResult press(const std::filesystem::path& bundle) = 0;
  // Whether this process may reach other apps' menus.
  virtual bool isTrusted() = 0;
};

// The app's own update check (it shows its own dialogs).
class OwnUpdater {
 public:
  virtual ~OwnUpdater() = default;
  virtual void checkForUpdates() = 0;
};

// The model's folders and the user's home.
struct ModelFolders {
  std::filesystem::path home;    // the user's home folder (Moving day works below it)
  std::filesystem::path caches;  // the app's cache folder: "http" and "terminal" live in it
  std::filesystem::path http() const { return caches / "http"; }
};

struct AppServices {
  ModelFolders folders;
  std::shared_ptr<Clock> clock;
  std::shared_ptr<StateStorage> store;
  std::shared_ptr<AppScanning> scanner;
  std::shared_ptr<UpdateChecking> checker;
  std::shared_ptr<HostFacts> host;
  std::shared_ptr<Badge> badge;
  std::shared_ptr<Notifications> notifications;
  std::shared_ptr<LoginItem> loginItem;
  std::shared_ptr<Clipboard> clipboard;
  std::shared_ptr<Panels> panels;
  std::shared_ptr<DesktopWorkspace> workspace;
  std::shared_ptr<VolumeProbe> volumes;
  std::shared_ptr<TerminalHandoff> terminal;
  std::shared_ptr<MenuPress> menuPress;
  std::shared_ptr<OwnUpdater> ownUpdater;
};

}  // namespace larkvale
