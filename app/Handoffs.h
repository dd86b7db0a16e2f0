#pragma once
// The two hand-offs that reach outside Larkvale: a Homebrew cask upgrade
// written as a script that a terminal window runs once the user presses
// Return, and an app opened so that its own updater takes over, with its
// "Check for Updates…" item pressed when Accessibility allows it.
//
// The application model alone calls these and turns their outcomes into
// notices. They block (see each function); the model runs them where
// blocking is acceptable, one hand-off at a time.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Accessibility.h"
#include "platform/AppFolders.h"
#include "platform/Error.h"
#include "platform/Terminal.h"
#include "platform/Workspace.h"

namespace larkvale {

// A hand-off that could not start; what() is the sentence for the user.
class HandoffError : public Error {
 public:
  using Error::Error;
};

// The outcome of opening an app and pressing its update item.
struct MenuPressResult {
  enum class Kind {
    pressed,  // opened, and an update item in its menus was pressed
    opened,   // opened and brought forward; the user must choose the item
    failed,   // not opened; `message` says why
  };
  Kind kind = Kind::opened;
  std::string message;

  static MenuPressResult pressed() { return {Kind::pressed, {}}; }
  static MenuPressResult opened() { return {Kind::opened, {}}; }
  static MenuPressResult failed(std::string message) { return {Kind::failed, std::move(message)}; }

  friend bool operator==(const MenuPressResult&, const MenuPressResult&) = default;
};

// Writes the upgrade script for `tokens` (shown as `names`, with --greedy when
// `greedy`) into the folders' `terminal` folder (made when missing) as
// "brew-upgrade-XXXXXXXX.command" (eight upper-case hexadecimal digits, a new
// name each time), mode 0700, atomically, and opens it in a terminal window
// without waiting for it. `brewPath` is where Homebrew was found (nothing
// when it isn't installed). Throws, writing nothing unless said:
//   HandoffError "Homebrew isn't installed."
//   HandoffError "A cask name had unexpected characters." (a bad token, no
//     token, or a brew path a shell would interpret)
//   FileError when the folder can't be made or the file can't be written
//   TerminalError when no terminal could be started (the script is removed;
//     where else the command can be had depends on where this was asked
//     from, so what() doesn't say)
// Returns the path of the script.
std::filesystem::path openBrewScriptInTerminal(const std::vector<std::string>& tokens,
                                               const std::vector<std::string>& names, bool greedy,
                                               const AppFolders& folders,
                                               const std::optional<std::string>& brewPath,
                                               Terminal& terminal);

// Sleeps for the given time on the monotonic clock. A sleep cut short is
// harmless to the callers below.
using Sleeper = std::function<void(std::chrono::milliseconds)>;
void sleepOnSteadyClock(std::chrono::milliseconds duration);

// How long pressCheckForUpdates waits for a freshly opened app.
struct LaunchWait {
  int polls = 20;                                    // at most this many checks of
  std::chrono::milliseconds pollInterval{300};       // "finished launching", this far apart,
  std::chrono::milliseconds settle{1200};            // then this long for its menus to fill
  std::chrono::milliseconds messagingTimeout{1500};  // per Accessibility request
};

// Opens the app bundle at `path` through the workspace. When this process is
// trusted for Accessibility, waits for the app to finish launching (up to
// polls × pollInterval), waits `settle` more and presses its update item.
// Never throws: a workspace failure is `failed` with its message; no trust, no
// menu bar, no matching item or a refused press is `opened`. Blocks for up to
// about 7.2 s plus the Accessibility requests.
MenuPressResult pressCheckForUpdates(const std::filesystem::path& path, Workspace& workspace,
                                     Accessibility& accessibility,
                                     const Sleeper& sleep = sleepOnSteadyClock,
                                     const LaunchWait& wait = {});

// Walks the menus of the app with process id `pid` — every bar item but the
// first (the system's own menu), each of its menus, each menu's items, not
// deeper — and presses the first item whose title passes
// Handoff::isCheckForUpdatesTitle. True when that press succeeded; false when
// the menu bar can't be read, nothing matches, or the press was refused (no
// further item is tried). Each request waits at most `messagingTimeout`.
bool pressUpdateMenuItem(
    int32_t pid, Accessibility& accessibility,
    std::chrono::milliseconds messagingTimeout = std::chrono::milliseconds(1500));

}  // namespace larkvale
